#pragma once

#include "bench/benchengine.h"

#include <xapian.h>

#include <memory>
#include <string>
#include <vector>

// Xapian with one term per character: each page is a document (document id
// = page index + 1) whose terms are its characters folded to their variant
// group's stand-in, each posted at the very position the reader's index
// gives it (gaps of 301 at runs included; characters without a slot take
// their place but post no term). Built into a scratch database, then
// compacted.
//
// Queries: a keyword is OP_PHRASE over its characters with a window of its
// places, which is exact without "?"; with "?" the window also lets fewer
// characters stand between (inexact). "a*b" between single characters is
// OP_PHRASE with a window of 302 places, exact; longer segments around "*"
// become the segments' phrases AND one ordered window over all characters
// (inexact). Every document is fetched with BoolWeight in document order.
class CXapianEngine : public CBenchEngine {
public:
    std::string Name() const override { return "Xapian (term per character)"; }
    bool Build(const CPageExport& pages, const std::string& strFolder, std::string& strError) override;
    bool Open(const std::string& strFolder, std::string& strError) override;
    // A new database handle.
    bool Reopen(std::string& strError) override { return Open(m_strFolder, strError); }
    uint64_t IndexBytes() const override;
    std::string IndexNote() const override { return "database folder, compacted"; }

    BenchTranslation Translate(const CBenchQuery& query) const override;
    bool Run(const CBenchQuery& query, std::string& strError) override;
    void LastResult(std::vector<uint32_t>& pages, std::vector<uint32_t>& hits) const override;

    void SetFolding(const CPageExport& pages) { m_pPages = &pages; }

private:
    Xapian::Query MakeQuery(const CBenchQuery& query, BenchTranslation* pTranslation) const;
    std::string Term(char32_t c) const;

    const CPageExport* m_pPages = nullptr;
    std::vector<uint32_t> m_pages;  // of the last run
    std::unique_ptr<Xapian::Database> m_pDb;
    std::string m_strFolder;
};
