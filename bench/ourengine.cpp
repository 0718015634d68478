#include "bench/ourengine.h"

#include "builder/corpuswriter.h"
#include "corpus/catalog.h"
#include "corpus/corpusfiles.h"
#include "text/codeconverter.h"

#include <filesystem>

namespace fs = std::filesystem;

bool COurEngine::Build(const CPageExport& /*pages*/, const std::string& strFolder, std::string& strError) {
    return Open(strFolder, strError);
}

bool COurEngine::Open(const std::string& strFolder, std::string& strError) {
    m_strFolder = strFolder;
    m_index.Close();
    if (!m_index.Open(strFolder, CCorpusFiles::BaseName, IndexScope::WholeText)) {
        strError = m_index.GetOpenError();
        return false;
    }
    std::vector<CatalogRecord> records;
    if (!CCatalog::Read(strFolder + "/" + CCorpusFiles::Catalogue, records, strError)) return false;
    m_tree.Clear();
    for (const CatalogRecord& record : records) m_tree.AddCatalogueRecord(record);
    m_categories.clear();
    m_lists.clear();
    for (const auto& pChild : m_tree.GetRoot().children) {
        m_categories.push_back(pChild.get());
        m_lists.push_back(std::make_unique<CResultList>());
    }
    if (m_categories.empty()) {
        strError = strFolder + "/" + CCorpusFiles::Catalogue + ": the catalogue holds no category";
        return false;
    }
    return true;
}

bool COurEngine::Reopen(std::string& strError) {
    m_index.Close();
    if (m_index.Open(m_strFolder, CCorpusFiles::BaseName, IndexScope::WholeText)) return true;
    strError = m_index.GetOpenError();
    return false;
}

uint64_t COurEngine::IndexBytes() const {
    std::error_code ec;
    uint64_t n = 0;
    n += fs::file_size(CCorpusFiles::IndexHeader(m_strFolder, IndexScope::WholeText), ec);
    n += fs::file_size(CCorpusFiles::IndexPostings(m_strFolder, IndexScope::WholeText), ec);
    return n;
}

uint64_t COurEngine::CorpusBytes() const {
    uint64_t n = 0;
    for (const std::string& strName : CCorpusFiles::Names()) {
        std::error_code ec;
        const uintmax_t nSize = fs::file_size(m_strFolder + "/" + strName, ec);
        if (!ec) n += nSize;
    }
    return n;
}

BenchTranslation COurEngine::Translate(const CBenchQuery& query) const {
    BenchTranslation translation;
    std::string strKeywords;
    for (const BenchPattern& pattern : query.m_patterns) {
        strKeywords += (strKeywords.empty() ? "" : " ") + CCodeConverter::Utf16ToUtf8(pattern.text);
    }
    translation.text = std::string(query.m_bOr ? "SearchOr" : "SearchAnd") + "(\"" + strKeywords + "\") + rows";
    return translation;
}

bool COurEngine::Run(const CBenchQuery& query, std::string& strError) {
    if (!m_index.IsOpen()) {
        strError = m_strFolder + ": the index is not open";
        return false;
    }
    std::u16string strKeywords = query.Keywords();
    if (query.m_bOr)
        m_index.SearchOr(strKeywords, true, true);
    else
        m_index.SearchAnd(strKeywords, true, true);
    for (size_t i = 0; i < m_categories.size(); ++i)
        m_lists[i]->BuildResults(*m_categories[i], m_index.GetResultPages(), m_index.GetResultHits());
    return true;
}

void COurEngine::LastResult(std::vector<uint32_t>& pages, std::vector<uint32_t>& hits) const {
    pages.clear();
    hits.clear();
    for (const auto& pList : m_lists) {
        for (size_t i = 0; i < pList->GetRowCount(); ++i) {
            const SearchNodeTag row = pList->GetRow(i);
            pages.push_back(static_cast<uint32_t>(row.pageIndex));
            hits.push_back(static_cast<uint32_t>(row.hitCount));
        }
    }
}
