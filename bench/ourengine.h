#pragma once

#include "bench/benchengine.h"
#include "index/index.h"
#include "model/contentstree.h"
#include "model/resultlist.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The reader's own road, in process: the keywords go to CIndex::SearchAnd
// or SearchOr (hits counted, variants on) on the whole-text index, and the
// result set becomes the result list's rows for the whole corpus, that is
// CResultList::BuildResults over each category (level-1 node) of the
// contents tree. The pages are the rows' page indexes.
class COurEngine : public CBenchEngine {
public:
    std::string Name() const override { return "Tessaline"; }
    // The corpus is built by tessaline-cli build; Build only opens it.
    bool Build(const CPageExport& pages, const std::string& strFolder, std::string& strError) override;
    bool Open(const std::string& strFolder, std::string& strError) override;
    // The index closed and opened again: no page directory, fresh mappings.
    bool Reopen(std::string& strError) override;
    uint64_t IndexBytes() const override;
    std::string IndexNote() const override { return "whole-text index (Index-idx.h, Index-idx.m)"; }
    // Every file of the corpus: page store, three indexes, catalogue, variants.
    uint64_t CorpusBytes() const;

    BenchTranslation Translate(const CBenchQuery& query) const override;
    // The search and the rows (timed); LastResult reads the rows' pages.
    bool Run(const CBenchQuery& query, std::string& strError) override;
    void LastResult(std::vector<uint32_t>& pages, std::vector<uint32_t>& hits) const override;

    CIndex& Index() { return m_index; }
    const std::string& Folder() const { return m_strFolder; }
    const CContentsTree& Tree() const { return m_tree; }
    const std::vector<const ContentsNodeTag*>& Categories() const { return m_categories; }

private:
    std::string m_strFolder;
    CIndex m_index;
    CContentsTree m_tree;
    std::vector<const ContentsNodeTag*> m_categories;
    std::vector<std::unique_ptr<CResultList>> m_lists;  // one per category
};
