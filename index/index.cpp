#include "index/index.h"

#include "index/patternsearch.h"
#include "text/codeconverter.h"
#include "platform/fileexception.h"
#include "platform/readonlyfile.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>

const char* const CIndex::OpenFailedMessage = "データを開けませんでした。";

namespace {

// The postings file holds at most 4 GiB (block numbers and byte places are
// 32-bit), so no chain entry beyond this many blocks can be consulted.
constexpr uint64_t MaxBlocks = (uint64_t{1} << 32) / PostingCursor::BlockSize;

void ReadTable(CReadOnlyFile& file, std::vector<uint32_t>& table, size_t nEntries) {
    table.assign(nEntries, 0);
    file.ReadExactly(table.data(), nEntries * sizeof(uint32_t));
    // The files are little-endian, as is every machine this builds for.
    static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "index files are little-endian");
}

}  // namespace

bool CIndex::Fail(const std::string& strReason) {
    m_strOpenError = strReason;
    if (m_messageCallback) m_messageCallback(OpenFailedMessage);
    Close();
    return false;
}

bool CIndex::Open(const std::string& strFolder, const std::string& strBaseName, IndexScope eScope) {
    m_strOpenError.clear();
    m_directories.Clear();
    LoadVariants(strFolder);
    const std::string strHeader = CCorpusFiles::IndexHeader(strFolder, eScope, strBaseName);
    try {
        CReadOnlyFile header;
        header.Open(strHeader);
        const uint64_t nSize = header.GetLength();
        if (nSize == 0) return Fail(strHeader + ": empty file");
        if (nSize < HeaderTablesSize) return Fail(strHeader + ": too short for the slot tables");
        ReadTable(header, m_firstBlockTable, SlotCount);
        header.Seek(SlotCount * 4 + 50000 * 4 + SlotCount * 4);  // past the two unconsulted tables
        ReadTable(header, m_lastPageTable, SlotCount);
        const uint64_t nEntries = (nSize - HeaderTablesSize) / 4;
        m_nNextBlocks = static_cast<uint32_t>(std::min(nEntries, MaxBlocks));
        ReadTable(header, m_nextBlockTable, m_nNextBlocks);
    } catch (const CFileException& e) {
        return Fail(e.what());
    } catch (const std::bad_alloc&) {
        return Fail(strHeader + ": out of memory for the chain table");
    }
    m_strDamage.clear();
    m_strPostingsName = CCorpusFiles::IndexPostings(".", eScope, strBaseName).substr(2);
    try {
        m_postings.Open(CCorpusFiles::IndexPostings(strFolder, eScope, strBaseName));
    } catch (const CFileException& e) {
        return Fail(e.what());
    }
    m_view.pData = m_postings.Data();
    m_view.nSize = m_postings.Size();
    m_view.pNextBlock = m_nextBlockTable.data();
    m_view.nNextBlocks = m_nNextBlocks;
    if (!m_fileList.Open(strFolder, strBaseName)) return Fail(m_fileList.GetError());
    return true;
}

void CIndex::Close() {
    m_directories.Clear();
    m_firstBlockTable = {};
    m_lastPageTable = {};
    m_nextBlockTable = {};
    m_nNextBlocks = 0;
    m_postings.Close();
    m_view = PostingsView{};
    m_fileList.Close();
}

bool CIndex::StartCursor(int32_t nSlot, PostingCursor& cursor) const {
    if (!IsOpen() || nSlot < 0 || nSlot >= SlotCount) return false;
    uint32_t nBlock = m_firstBlockTable[static_cast<size_t>(nSlot)];
    if (nBlock == NoBlock) return false;
    cursor.Start(&m_view, nBlock);
    return true;
}

std::shared_ptr<const CSlotDirectory> CIndex::GetSlotDirectory(int32_t nSlot) const {
    if (!IsOpen() || nSlot < 0 || nSlot >= SlotCount) return nullptr;
    const uint32_t nBlock = m_firstBlockTable[static_cast<size_t>(nSlot)];
    if (nBlock == NoBlock) return nullptr;
    return m_directories.Get(nSlot, m_view, nBlock, m_lastPageTable[static_cast<size_t>(nSlot)]);
}

void CIndex::ClearResults() {
    resultPages.clear();
    resultHits.clear();
    resultCount = 0;
}

int32_t CIndex::SearchPattern(const std::u16string& strPattern, int nCombine, bool bCountHits, bool bUseVariants) {
    if (nCombine != CombineUnion && nCombine != CombineIntersect) nCombine = CombineReplace;
    // A counting replace or intersect cannot use a hit list that does not
    // match its page list (left by a search that did not count).
    if (bCountHits && resultPages.size() != resultHits.size() && nCombine != CombineUnion) {
        ClearResults();
        return 0;
    }
    // A counting union may follow a search that did not count: the pages
    // found then have no hit counts. They count 0 (plus what this term
    // finds on them), so that both arrays stay parallel.
    if (bCountHits && nCombine == CombineUnion) resultHits.resize(resultPages.size(), 0);
    CPatternSearch search(*this, bUseVariants);
    if (!IsOpen() || !search.Compile(strPattern)) {
        if (nCombine != CombineUnion) ClearResults();
        return 0;
    }
    // An intersection keeps only pages already found: the search need not
    // look at any other.
    if (nCombine == CombineIntersect && std::is_sorted(resultPages.begin(), resultPages.end()))
        search.RestrictTo(&resultPages);
    std::vector<uint32_t> foundPages;
    std::vector<uint32_t> foundHits;
    search.Run(bCountHits, foundPages, foundHits);
    NoteDamage(search);
    MergeResults(std::move(foundPages), std::move(foundHits), nCombine, bCountHits);
    return resultCount;
}

std::string CIndex::SlotName(int32_t nSlot) {
    std::string strName = "slot " + std::to_string(nSlot);
    if (nSlot >= CVariantTable::VariantSlotBase)
        return strName + " (the variant group of line " + std::to_string(nSlot - CVariantTable::VariantSlotBase + 1) +
               " of " + CCorpusFiles::Variants + ")";
    const char32_t c = CCodeConverter::CodePointOfSlot(nSlot);
    if (c == 0) return strName;
    strName += " (";
    CCodeConverter::AppendUtf8(c, strName);
    return strName + ")";
}

void CIndex::NoteDamage(const CPatternSearch& search) const {
    uint32_t nPage = 0;
    const int32_t nSlot = search.DamagedSlot(nPage);
    if (nSlot < 0 || !m_strDamage.empty()) return;
    m_strDamage = m_strPostingsName + ", " + SlotName(nSlot) +
                  (nPage == CPatternSearch::NoPage ? std::string(", at its first page") : ", after page " + std::to_string(nPage));
}

void CIndex::CountPattern(const std::u16string& strPattern, bool bUseVariants, uint32_t nFirstPage,
                          uint32_t nEndPage, int32_t& nPages, int64_t& nHits) const {
    nPages = 0;
    nHits = 0;
    CPatternSearch search(*this, bUseVariants);
    if (!IsOpen() || !search.Compile(strPattern)) return;
    std::vector<uint32_t> foundPages;
    std::vector<uint32_t> foundHits;
    search.Run(true, foundPages, foundHits);
    NoteDamage(search);
    const auto itBegin = std::lower_bound(foundPages.begin(), foundPages.end(), nFirstPage);
    const auto itEnd = std::lower_bound(itBegin, foundPages.end(), nEndPage);
    nPages = static_cast<int32_t>(itEnd - itBegin);
    for (auto it = itBegin; it != itEnd; ++it) nHits += foundHits[static_cast<size_t>(it - foundPages.begin())];
}

void CIndex::MergeResults(std::vector<uint32_t>&& foundPages, std::vector<uint32_t>&& foundHits, int nCombine,
                          bool bCountHits) {
    if (nCombine == CombineReplace) {
        resultPages = std::move(foundPages);
        if (bCountHits)
            resultHits = std::move(foundHits);
        else
            resultHits.clear();
        resultCount = static_cast<int32_t>(resultPages.size());
        return;
    }
    // Where each found page stands among the earlier ones (npos: not
    // there). Found pages ascend; so do the earlier ones after any search
    // but a union, and then one pass over both finds them. Otherwise a hash
    // lookup does, with the same outcome as a linear search and without its
    // quadratic cost on large result sets.
    std::vector<size_t> places(foundPages.size(), SIZE_MAX);
    if (std::is_sorted(resultPages.begin(), resultPages.end())) {
        size_t j = 0;
        for (size_t i = 0; i < foundPages.size(); ++i) {
            while (j < resultPages.size() && resultPages[j] < foundPages[i]) ++j;
            if (j < resultPages.size() && resultPages[j] == foundPages[i]) places[i] = j;
        }
    } else {
        std::unordered_map<uint32_t, size_t> earlier;
        earlier.reserve(resultPages.size());
        for (size_t i = 0; i < resultPages.size(); ++i) earlier.emplace(resultPages[i], i);
        for (size_t i = 0; i < foundPages.size(); ++i) {
            auto it = earlier.find(foundPages[i]);
            if (it != earlier.end()) places[i] = it->second;
        }
    }
    if (nCombine == CombineUnion) {
        for (size_t i = 0; i < foundPages.size(); ++i) {
            if (places[i] != SIZE_MAX) {
                if (bCountHits) resultHits[places[i]] += foundHits[i];
            } else {
                resultPages.push_back(foundPages[i]);
                if (bCountHits) resultHits.push_back(foundHits[i]);
            }
        }
        if (!bCountHits) resultHits.clear();
    } else {
        std::vector<uint32_t> keptPages;
        std::vector<uint32_t> keptHits;
        for (size_t i = 0; i < foundPages.size(); ++i) {
            if (places[i] == SIZE_MAX) continue;
            keptPages.push_back(foundPages[i]);
            if (bCountHits) keptHits.push_back(foundHits[i] + resultHits[places[i]]);
        }
        resultPages = std::move(keptPages);
        resultHits = std::move(keptHits);
    }
    resultCount = static_cast<int32_t>(resultPages.size());
}

size_t CIndex::FindRefusedUnit(const std::u16string& strKeywords) {
    for (size_t i = 0; i < strKeywords.size(); ++i) {
        char16_t u = strKeywords[i];
        if (u == u' ' || u == u'\u3000' || u == u'*' || u == u'?' || u >= 0x100) continue;
        return i;
    }
    return std::u16string::npos;
}

int32_t CIndex::CountTerms(const std::u16string& strKeywords) {
    if (strKeywords.empty() || FindRefusedUnit(strKeywords) != std::u16string::npos) return 0;
    int32_t nCount = 0;
    bool bInTerm = false;
    for (char16_t u : strKeywords) {
        if (u == u' ' || u == u'\u3000') {
            bInTerm = false;
        } else {
            if (!bInTerm) ++nCount;
            bInTerm = true;
        }
    }
    return nCount;
}

void CIndex::SearchAnd(std::u16string& strKeywords, bool bCountHits, bool bUseVariants) {
    SearchTerms(strKeywords, bCountHits, bUseVariants, true);
}

void CIndex::SearchOr(std::u16string& strKeywords, bool bCountHits, bool bUseVariants) {
    SearchTerms(strKeywords, bCountHits, bUseVariants, false);
}

void CIndex::SearchTerms(std::u16string& strKeywords, bool bCountHits, bool bUseVariants, bool bAnd) {
    if (CountTerms(strKeywords) == 0) return;
    ClearResults();
    // Only U+0020 ends a term here; each is rewritten to U+3000 in the
    // caller's string. A U+3000 that arrives is collected into the term
    // (and dropped by the search as a character without a slot).
    std::u16string strTerm;
    bool bFirst = true;
    auto searchTerm = [&]() {
        if (strTerm.empty()) return;
        int nCombine = bAnd ? (bFirst ? CombineReplace : CombineIntersect) : CombineUnion;
        SearchPattern(strTerm, nCombine, bCountHits, bUseVariants);
        bFirst = false;
        strTerm.clear();
    };
    for (char16_t& u : strKeywords) {
        if (u == u' ') {
            u = u'\u3000';
            searchTerm();
        } else {
            strTerm.push_back(u);
        }
    }
    searchTerm();
}

std::u16string CIndex::DisplayKeywords(const std::u16string& strKeywords, bool bUseVariants,
                                       const std::string& strPage) const {
    if (!bUseVariants || strKeywords.empty() || variantGroups.Empty()) return strKeywords;
    std::vector<std::u16string> forms;
    variantGroups.ExpandVariantsOnPage(strKeywords, strPage, forms);
    // No form can mark anything: the keywords as typed still give the
    // page its display template.
    if (forms.empty()) return strKeywords;
    std::u16string strJoined;
    for (const std::u16string& form : forms) {
        if (!strJoined.empty()) strJoined.push_back(u' ');
        strJoined += form;
    }
    return strJoined;
}

int32_t CIndex::RenderPage(int32_t nPage, std::string& strOut, const std::u16string& strKeywords, TextPart ePart,
                           bool bUseVariants) {
    std::string strPage;
    int nParity = 0;
    if (!m_fileList.ReadPageForRendering(nPage, strPage, nParity)) return 0;
    return CFileList::RenderBytes(strPage, strOut, DisplayKeywords(strKeywords, bUseVariants, strPage), nParity,
                                  ePart);
}
