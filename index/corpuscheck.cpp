#include "index/corpuscheck.h"

#include "corpus/catalog.h"
#include "corpus/corpusfiles.h"
#include "corpus/filelist.h"
#include "corpus/pagemarkup.h"
#include "corpus/pagepositions.h"
#include "index/index.h"
#include "index/postingcursor.h"
#include "platform/fileexception.h"
#include "platform/readonlyfile.h"
#include "platform/readonlymapping.h"
#include "text/codeconverter.h"
#include "text/varianttable.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <unordered_map>

namespace fs = std::filesystem;

namespace {

uint32_t Le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

std::string Num(uint64_t n) { return std::to_string(n); }

// The mark of a slot at a position in the page sums: any fixed mix will do,
// so long as different pairs rarely collide.
uint64_t Mix(uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

uint64_t Mark(int32_t nSlot, uint64_t nPosition) {
    return Mix(static_cast<uint64_t>(static_cast<uint32_t>(nSlot)) << 40 ^ nPosition);
}

const char* FailureText(PostingCursor::Failure eFailure) {
    switch (eFailure) {
    case PostingCursor::Failure::BlockPastEnd: return "goes on into a block past the end of the postings file";
    case PostingCursor::Failure::ChainTableEnds: return "goes on from a block that has no entry in the chain table";
    case PostingCursor::Failure::ChainLoops: return "loops (it visits more blocks than the file has)";
    case PostingCursor::Failure::PageNotAscending: return "has a page that does not follow the one before";
    case PostingCursor::Failure::NoPositions: return "has a record without positions";
    case PostingCursor::Failure::PositionsPastLength: return "has positions that run past their record's length";
    case PostingCursor::Failure::None: break;
    }
    return "goes bad";
}

const char* ScopeName(IndexScope eScope) {
    switch (eScope) {
    case IndexScope::MainText: return "main-text";
    case IndexScope::Annotations: return "annotation";
    default: return "whole-text";
    }
}

std::string FileName(const std::string& strPath) { return fs::path(strPath).filename().string(); }

}  // namespace

// The page store as the checks after it need it.
struct CCorpusCheck::Store {
    bool bRead = false;                // the header could be read: the records below are
    uint32_t nPages = 0;
    std::vector<int32_t> pageNumbers;  // per record; 0 when its name gives none
    std::vector<uint32_t> ends;
    std::vector<uint32_t> lengths;
    std::vector<bool> usable;          // the record's bytes lie inside the content file
    uint64_t nContentSize = 0;
};

// What the walk of one index's chains gave, per page: the sum of the marks
// of the slots posted on it (each mark times the slot's hits), for the own
// slots of the characters and for the variant groups' slots, and what the
// group slots should hold by the members' postings.
struct CCorpusCheck::IndexFile {
    IndexScope eScope = IndexScope::WholeText;
    bool bWalked = false;
    std::vector<uint64_t> characters;
    std::vector<uint64_t> groups;
    std::vector<uint64_t> groupsOfMembers;
};

void CCorpusCheck::Report(const std::string& strFile, const std::string& strWhat) {
    ++m_nProblems;
    size_t nListed = 0;
    for (const Problem& problem : m_problems) nListed += problem.strFile == strFile;
    if (nListed < MaxProblemsPerFile) {
        m_problems.push_back({strFile, strWhat});
        return;
    }
    for (auto& entry : m_unlisted) {
        if (entry.first == strFile) {
            ++entry.second;
            return;
        }
    }
    m_unlisted.emplace_back(strFile, 1);
}

void CCorpusCheck::Step(const std::string& strStep, uint64_t nDone, uint64_t nTotal) {
    if (!m_progress) return;
    const int nPercent = nTotal == 0 ? 100 : static_cast<int>(std::min<uint64_t>(100, nDone * 100 / nTotal));
    if (strStep == m_strLastStep && nPercent == m_nLastPercent) return;
    m_strLastStep = strStep;
    m_nLastPercent = nPercent;
    m_progress(strStep, nPercent);
}

bool CCorpusCheck::Check(const std::string& strFolder, bool bQuick, std::string& strError) {
    m_problems.clear();
    m_unlisted.clear();
    m_nProblems = 0;
    m_nFiles = 0;
    m_nBytes = 0;
    m_variants.Clear();
    std::error_code ec;
    if (!fs::is_directory(strFolder, ec)) {
        strError = strFolder + ": not a folder";
        return false;
    }
    const std::vector<std::string> names = CCorpusFiles::Names();
    std::vector<std::string> missing;
    for (const std::string& strName : names) {
        const fs::path path = fs::path(strFolder) / strName;
        if (fs::is_regular_file(path, ec)) {
            ++m_nFiles;
            m_nBytes += fs::file_size(path, ec);
        } else {
            missing.push_back(strName);
        }
    }
    if (m_nFiles == 0) {
        strError = strFolder + ": holds none of the files of a corpus (" + CCorpusFiles::StoreRecords(".").substr(2) +
                   ", " + CCorpusFiles::IndexHeader(".", IndexScope::WholeText).substr(2) + ", " +
                   CCorpusFiles::Catalogue + ", ...)";
        return false;
    }
    for (const std::string& strName : missing) Report(strName, "missing");

    Store store;
    CheckStore(strFolder, bQuick, store);
    CheckCatalogue(strFolder, store);
    CheckVariants(strFolder);
    IndexFile indexes[3];
    const IndexScope scopes[3] = {IndexScope::WholeText, IndexScope::MainText, IndexScope::Annotations};
    for (int i = 0; i < 3; ++i) {
        indexes[i].eScope = scopes[i];
        CheckIndex(strFolder, static_cast<int>(scopes[i]), bQuick, store.bRead ? store.nPages : UINT32_MAX, indexes[i]);
    }
    if (!bQuick && store.bRead) CheckPageTexts(strFolder, store, indexes);
    return true;
}

// Index-fl.h: header := value:int32 W:int32 text:byte[260]; record :=
// name:byte[W] end:int32 length:int32. The builder writes the pages' bytes
// one after another, so each record's bytes start where the previous ended.
void CCorpusCheck::CheckStore(const std::string& strFolder, bool /*bQuick*/, Store& store) {
    const std::string strRecords = CCorpusFiles::StoreRecords(strFolder);
    const std::string strContent = CCorpusFiles::StoreContent(strFolder);
    const std::string strFile = FileName(strRecords);
    std::error_code ec;
    if (!fs::is_regular_file(strRecords, ec)) return;
    store.nContentSize = fs::is_regular_file(strContent, ec) ? fs::file_size(strContent, ec) : 0;
    CReadOnlyMapping records;
    try {
        records.Open(strRecords);
    } catch (const CFileException& e) {
        Report(strFile, e.what());
        return;
    }
    const uint64_t nSize = records.Size();
    const uint8_t* p = records.Data();
    if (nSize < CFileList::HeaderSize) {
        Report(strFile, Num(nSize) + " bytes: shorter than the " + Num(CFileList::HeaderSize) + "-byte header");
        return;
    }
    const int32_t nWidth = static_cast<int32_t>(Le32(p + 4));
    if (nWidth < 1 || nWidth > CFileList::MaxNameWidth) {
        Report(strFile, "header: the name width " + std::to_string(nWidth) + " is outside 1 to 260");
        return;
    }
    const uint64_t nRecordSize = static_cast<uint64_t>(nWidth) + 8;
    const uint64_t nRecords = (nSize - CFileList::HeaderSize) / nRecordSize;
    if ((nSize - CFileList::HeaderSize) % nRecordSize != 0)
        Report(strFile, Num((nSize - CFileList::HeaderSize) % nRecordSize) + " bytes after the last whole record (a record is " +
                            Num(nRecordSize) + " bytes)");
    if (nRecords > static_cast<uint64_t>(INT32_MAX)) {
        Report(strFile, Num(nRecords) + " records: more than a page index can name");
        return;
    }
    store.bRead = true;
    store.nPages = static_cast<uint32_t>(nRecords);
    store.pageNumbers.assign(nRecords, 0);
    store.ends.assign(nRecords, 0);
    store.lengths.assign(nRecords, 0);
    store.usable.assign(nRecords, false);
    uint64_t nPreviousEnd = 0;
    for (uint64_t i = 0; i < nRecords; ++i) {
        if (i % 4096 == 0) Step("checking the page store's records", i, nRecords);
        const uint8_t* pRecord = p + CFileList::HeaderSize + i * nRecordSize;
        const std::string strWhere = "record " + Num(i);
        const auto* pName = reinterpret_cast<const char*>(pRecord);
        const void* pNul = std::memchr(pName, 0, static_cast<size_t>(nWidth));
        if (!pNul) {
            Report(strFile, strWhere + ": its name has no NUL within its " + Num(static_cast<uint64_t>(nWidth)) + " bytes");
        } else {
            const std::string strName(pName, static_cast<const char*>(pNul));
            store.pageNumbers[i] = CFileList::PageNumberOfName(strName);
            if (store.pageNumbers[i] <= 0)
                Report(strFile, strWhere + " (" + strName + "): its name gives no page number");
        }
        const int32_t nEnd = static_cast<int32_t>(Le32(pRecord + nWidth));
        const int32_t nLength = static_cast<int32_t>(Le32(pRecord + nWidth + 4));
        if (nEnd < 0 || nLength < 0 || nLength > nEnd) {
            Report(strFile, strWhere + ": its end " + std::to_string(nEnd) + " and length " + std::to_string(nLength) +
                                " give no range of bytes");
            continue;
        }
        if (nLength > CFileList::MaxPageBytes)
            Report(strFile, strWhere + ": its length " + std::to_string(nLength) + " is more than a page may have");
        if (static_cast<uint64_t>(nEnd) > store.nContentSize) {
            Report(strFile, strWhere + ": its bytes end at " + std::to_string(nEnd) + ", past the " +
                                Num(store.nContentSize) + " bytes of " + FileName(strContent));
            continue;
        }
        if (static_cast<uint64_t>(nEnd - nLength) != nPreviousEnd)
            Report(strFile, strWhere + ": its bytes start at " + std::to_string(nEnd - nLength) +
                                ", not where the previous page's end (" + Num(nPreviousEnd) + ")");
        nPreviousEnd = static_cast<uint64_t>(nEnd);
        store.ends[i] = static_cast<uint32_t>(nEnd);
        store.lengths[i] = static_cast<uint32_t>(nLength);
        store.usable[i] = nLength <= CFileList::MaxPageBytes;
    }
    if (store.nContentSize > nPreviousEnd && nRecords > 0)
        Report(FileName(strContent), Num(store.nContentSize - nPreviousEnd) + " bytes after the last page's");
}

// vmk.dir: records of 216 bytes in outline order (see CCatalog).
void CCorpusCheck::CheckCatalogue(const std::string& strFolder, const Store& store) {
    const std::string strPath = strFolder + "/" + CCorpusFiles::Catalogue;
    const std::string strFile = CCorpusFiles::Catalogue;
    std::error_code ec;
    if (!fs::is_regular_file(strPath, ec)) return;
    std::string strBytes;
    try {
        strBytes = CReadOnlyFile::ReadAll(strPath, 64u << 20);
    } catch (const CFileException& e) {
        Report(strFile, e.what());
        return;
    }
    if (strBytes.size() % CCatalog::RecordSize != 0)
        Report(strFile, Num(strBytes.size()) + " bytes: the last record is " +
                            Num(CCatalog::RecordSize - strBytes.size() % CCatalog::RecordSize) + " bytes short");
    bool bTruncated = false;
    const std::vector<CatalogRecord> records = CCatalog::Parse(strBytes, &bTruncated);
    if (bTruncated)
        Report(strFile, "more than " + Num(CCatalog::MaxRecords) + " records: the reader reads only the first " +
                            Num(CCatalog::MaxRecords));
    if (records.empty()) Report(strFile, "no record");

    // The open record of each level above the current one, and where its
    // next child should start (1-based page numbers, as docID counts).
    struct Open {
        size_t nRecord = SIZE_MAX;
        int64_t nFirst = 0, nLast = 0;
        int64_t nNextChild = 0;
        bool bChildren = false;
    };
    Open open[4];
    int64_t nNextCategory = 1;  // the categories cover the page store, in order
    const int64_t nStorePages = store.bRead ? static_cast<int64_t>(store.nPages) : INT64_MAX;
    const char* const kKinds[] = {"", "category", "book", "volume"};
    auto closeLevel = [&](int nLevel) {
        // A record whose children leave pages of it uncovered at its end.
        Open& o = open[nLevel];
        const std::string strWho =
            o.nRecord == SIZE_MAX ? std::string() : "slot " + Num(o.nRecord + 1) + " (" +
                                                        CCodeConverter::Utf16ToUtf8(records[o.nRecord].name) + ")";
        if (o.nRecord != SIZE_MAX && nLevel < 3 && !o.bChildren)
            Report(strFile, strWho + ": the " + kKinds[nLevel] + " holds no " + kKinds[nLevel + 1]);
        else if (o.nRecord != SIZE_MAX && o.nNextChild <= o.nLast && nLevel < 3)
            Report(strFile, strWho + ": pages " + std::to_string(o.nNextChild) + " to " + std::to_string(o.nLast) +
                                " lie in none of its " + kKinds[nLevel + 1] + "s");
        o = Open{};
    };
    for (size_t r = 0; r < records.size(); ++r) {
        const CatalogRecord& record = records[r];
        const std::string strWhere =
            "slot " + Num(r + 1) + " (" + CCodeConverter::Utf16ToUtf8(record.name) + ")";
        const size_t nNameUnits = std::min(CCatalog::NameUnits, (strBytes.size() - r * CCatalog::RecordSize) / 2);
        bool bNul = false;
        for (size_t u = 0; u < nNameUnits && !bNul; ++u)
            bNul = strBytes[r * CCatalog::RecordSize + 2 * u] == 0 && strBytes[r * CCatalog::RecordSize + 2 * u + 1] == 0;
        if (!bNul) Report(strFile, strWhere + ": its name has no end (no zero unit in its 100 units)");
        if (record.level < 1 || record.level > 3) {
            Report(strFile, strWhere + ": level " + std::to_string(record.level) +
                                " is not 1 to 3 (the record is not in the contents tree)");
            continue;
        }
        const int nLevel = record.level;
        for (int l = 3; l >= nLevel; --l) closeLevel(l);
        if (nLevel > 1 && open[nLevel - 1].nRecord == SIZE_MAX) {
            Report(strFile, strWhere + ": no record of level " + std::to_string(nLevel - 1) +
                                " before it (the record is not in the contents tree)");
            continue;
        }
        const int64_t nFirst = record.docID;
        const int64_t nLast = static_cast<int64_t>(record.docID) + record.docNo - 1;
        if (record.docID < 1 || record.docNo < 1 || nLast > nStorePages) {
            Report(strFile, strWhere + ": its pages " + std::to_string(record.docID) + " to " + std::to_string(nLast) +
                                " are not inside the page store's 1 to " +
                                (store.bRead ? Num(store.nPages) : std::string("?")));
            continue;
        }
        if (nLevel > 1) {
            Open& parent = open[nLevel - 1];
            const std::string strParent = CCodeConverter::Utf16ToUtf8(records[parent.nRecord].name);
            if (nFirst < parent.nFirst || nLast > parent.nLast)
                Report(strFile, strWhere + ": its pages " + std::to_string(nFirst) + " to " + std::to_string(nLast) +
                                    " are not inside those of " + strParent + " (" + std::to_string(parent.nFirst) +
                                    " to " + std::to_string(parent.nLast) + ")");
            else if (nFirst < parent.nNextChild)
                Report(strFile, strWhere + ": its pages overlap those of the " + kKinds[nLevel] + " before it");
            else if (nFirst > parent.nNextChild)
                Report(strFile, "slot " + Num(parent.nRecord + 1) + " (" + strParent + "): pages " +
                                    std::to_string(parent.nNextChild) + " to " + std::to_string(nFirst - 1) +
                                    " lie in none of its " + kKinds[nLevel] + "s");
            parent.nNextChild = std::max(parent.nNextChild, nLast + 1);
            parent.bChildren = true;
        } else {
            if (nFirst < nNextCategory)
                Report(strFile, strWhere + ": its pages overlap those of the category before it");
            else if (nFirst > nNextCategory)
                Report(strFile, "pages " + std::to_string(nNextCategory) + " to " + std::to_string(nFirst - 1) +
                                    " of the page store lie in no category");
            nNextCategory = std::max(nNextCategory, nLast + 1);
        }
        open[nLevel] = Open{r, nFirst, nLast, nFirst, false};
        // The page numbers: the first page is curFileName, and a volume's
        // pages count up from it (the reader's page commands and slider rely
        // on that).
        if (store.bRead) {
            const size_t nIndex = static_cast<size_t>(nFirst - 1);
            if (store.pageNumbers[nIndex] != record.curFileName)
                Report(strFile, strWhere + ": its first page (page index " + Num(nIndex) + ") is page " +
                                    std::to_string(store.pageNumbers[nIndex]) + ", not " +
                                    std::to_string(record.curFileName) + " as the record says");
            else if (nLevel == 3) {
                for (int64_t k = 1; k < record.docNo; ++k) {
                    const size_t i = nIndex + static_cast<size_t>(k);
                    if (store.pageNumbers[i] != record.curFileName + k) {
                        Report(strFile, strWhere + ": page index " + Num(i) + " is page " +
                                            std::to_string(store.pageNumbers[i]) + " where the volume counts " +
                                            std::to_string(record.curFileName + k));
                        break;
                    }
                }
            }
        }
    }
    for (int l = 3; l >= 1; --l) closeLevel(l);
    if (store.bRead && nNextCategory <= nStorePages && !records.empty())
        Report(strFile, "pages " + std::to_string(nNextCategory) + " to " + Num(store.nPages) +
                            " of the page store lie in no category");
}

// yitizi.txt: lines of code points in hexadecimal, separated by commas.
void CCorpusCheck::CheckVariants(const std::string& strFolder) {
    const std::string strPath = strFolder + "/" + CCorpusFiles::Variants;
    const std::string strFile = CCorpusFiles::Variants;
    std::error_code ec;
    if (!fs::is_regular_file(strPath, ec)) return;
    if (fs::file_size(strPath, ec) > CVariantTable::MaxFileBytes) {
        Report(strFile, "larger than the " + Num(CVariantTable::MaxFileBytes >> 20) +
                            " MiB the reader loads: searches take no variants");
        return;
    }
    std::string strBytes;
    try {
        strBytes = CReadOnlyFile::ReadAll(strPath, CVariantTable::MaxFileBytes);
    } catch (const CFileException& e) {
        Report(strFile, e.what());
        return;
    }
    m_variants.Parse(strBytes);
    std::unordered_map<uint32_t, size_t> lineOf;  // code point -> the line of its first group
    size_t nLine = 0;
    size_t nGroups = 0;
    for (size_t nStart = 0; nStart < strBytes.size();) {
        size_t nEnd = strBytes.find('\n', nStart);
        if (nEnd == std::string::npos) nEnd = strBytes.size();
        std::string strLine = strBytes.substr(nStart, nEnd - nStart);
        nStart = nEnd + 1;
        ++nLine;
        if (strLine.empty()) continue;
        if (strLine.back() == '\r') strLine.pop_back();
        ++nGroups;
        for (size_t i = 0; i <= strLine.size();) {
            size_t j = strLine.find(',', i);
            if (j == std::string::npos) j = strLine.size();
            const std::string strField = strLine.substr(i, j - i);
            i = j + 1;
            if (strField.empty()) continue;
            const std::string strWhere = "line " + Num(nLine) + ": ";
            if (strField.size() > 8 || strField.find_first_not_of("0123456789ABCDEFabcdef") != std::string::npos) {
                Report(strFile, strWhere + "'" + strField.substr(0, 20) + "' is not a code point in hexadecimal");
                continue;
            }
            const uint32_t c = static_cast<uint32_t>(std::stoul(strField, nullptr, 16));
            if (c == 0 || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
                Report(strFile, strWhere + strField + " is not a character");
                continue;
            }
            const auto inserted = lineOf.emplace(c, nLine);
            if (!inserted.second && inserted.first->second != nLine)
                Report(strFile, strWhere + strField + " stands in line " + Num(inserted.first->second) +
                                    " too: only that group counts");
        }
    }
    if (nGroups > CVariantTable::MaxSearchableGroups)
        Report(strFile, Num(nGroups) + " groups: only the first " + Num(CVariantTable::MaxSearchableGroups) +
                            " have a slot in the index");
}

// Index*-idx.h: FirstBlockTable[100000] unused[50000] unused[100000]
// LastPageTable[100000] NextBlockTable[N]; Index*-idx.m: 4,096-byte blocks.
void CCorpusCheck::CheckIndex(const std::string& strFolder, int nScope, bool bQuick, uint32_t nPageCount,
                              IndexFile& index) {
    const IndexScope eScope = static_cast<IndexScope>(nScope);
    const std::string strHeaderPath = CCorpusFiles::IndexHeader(strFolder, eScope);
    const std::string strPostingsPath = CCorpusFiles::IndexPostings(strFolder, eScope);
    const std::string strHeader = FileName(strHeaderPath);
    const std::string strPostings = FileName(strPostingsPath);
    std::error_code ec;
    if (!fs::is_regular_file(strHeaderPath, ec) || !fs::is_regular_file(strPostingsPath, ec)) return;
    CReadOnlyMapping header;
    CReadOnlyMapping postings;
    try {
        header.Open(strHeaderPath);
    } catch (const CFileException& e) {
        Report(strHeader, e.what());
        return;
    }
    if (header.Size() < CIndex::HeaderTablesSize) {
        Report(strHeader, Num(header.Size()) + " bytes: shorter than the " + Num(CIndex::HeaderTablesSize) +
                              " bytes of the slot tables");
        return;
    }
    if ((header.Size() - CIndex::HeaderTablesSize) % 4 != 0)
        Report(strHeader, Num((header.Size() - CIndex::HeaderTablesSize) % 4) +
                              " bytes after the last whole entry of the chain table");
    const uint64_t nEntries = (header.Size() - CIndex::HeaderTablesSize) / 4;
    try {
        postings.Open(strPostingsPath);
    } catch (const CFileException& e) {
        Report(strPostings, e.what());
        return;
    }
    const uint64_t nBlocks = (postings.Size() + PostingCursor::BlockSize - 1) / PostingCursor::BlockSize;
    if (postings.Size() % PostingCursor::BlockSize != 0)
        Report(strPostings, Num(postings.Size()) + " bytes: the file ends inside a block (blocks are 4,096 bytes)");
    if (nEntries != nBlocks)
        Report(strHeader, "the chain table has " + Num(nEntries) + " entries for the " + Num(nBlocks) + " blocks of " +
                              strPostings);

    const uint8_t* pHeader = header.Data();
    const size_t nLastPageTable = 1000000;
    std::vector<uint32_t> firstBlocks(CIndex::SlotCount);
    std::vector<uint32_t> lastPages(CIndex::SlotCount);
    for (int32_t s = 0; s < CIndex::SlotCount; ++s) {
        firstBlocks[s] = Le32(pHeader + 4 * static_cast<size_t>(s));
        lastPages[s] = Le32(pHeader + nLastPageTable + 4 * static_cast<size_t>(s));
        if (firstBlocks[s] == CIndex::NoBlock) continue;
        if (firstBlocks[s] >= nBlocks)
            Report(strHeader, CIndex::SlotName(s) + ": its first block " + Num(firstBlocks[s]) + " lies past the end of " +
                                  strPostings + " (" + Num(nBlocks) + " blocks)");
        if (nPageCount != UINT32_MAX && lastPages[s] >= nPageCount)
            Report(strHeader, CIndex::SlotName(s) + ": its last page " + Num(lastPages[s]) + " is past the page store's " +
                                  Num(nPageCount) + " pages");
    }
    uint64_t nBadEntries = 0;
    const uint8_t* pChain = pHeader + CIndex::HeaderTablesSize;
    for (uint64_t b = 0; b < nEntries; ++b) nBadEntries += Le32(pChain + 4 * b) >= nBlocks;
    if (nBadEntries > 0)
        Report(strHeader, Num(nBadEntries) + " entries of the chain table point past the end of " + strPostings);
    if (bQuick || nPageCount == UINT32_MAX) return;

    // The whole check: every chain, record by record.
    std::vector<uint32_t> chainTable(static_cast<size_t>(std::min<uint64_t>(nEntries, UINT32_MAX)));
    for (size_t b = 0; b < chainTable.size(); ++b) chainTable[b] = Le32(pChain + 4 * b);
    PostingsView view;
    view.pData = postings.Data();
    view.nSize = postings.Size();
    view.pNextBlock = chainTable.data();
    view.nNextBlocks = static_cast<uint32_t>(chainTable.size());
    index.characters.assign(nPageCount, 0);
    index.groups.assign(nPageCount, 0);
    index.groupsOfMembers.assign(nPageCount, 0);
    std::vector<int32_t> owner(static_cast<size_t>(nBlocks), -1);
    std::vector<uint32_t> chain;
    const std::string strStep = std::string("checking the ") + ScopeName(eScope) + " index";
    for (int32_t s = 0; s < CIndex::SlotCount; ++s) {
        if (s % 1000 == 0) Step(strStep, static_cast<uint64_t>(s), CIndex::SlotCount);
        const uint32_t nFirst = firstBlocks[s];
        if (nFirst == CIndex::NoBlock || nFirst >= nBlocks) continue;
        const uint32_t nLast = lastPages[s];
        // Where this slot's positions should stand again: its group's slot.
        int32_t nGroupSlot = -1;
        if (s < CVariantTable::VariantSlotBase) {
            const char32_t c = CCodeConverter::CodePointOfSlot(s);
            if (c != 0) m_variants.MapVariantSlot(c, nGroupSlot);
        }
        chain.clear();
        PostingCursor cursor;
        cursor.RecordChain(&chain);
        cursor.Start(&view, nFirst);
        std::string strFailure;
        for (;;) {
            const uint32_t nPrevious = cursor.page;
            cursor.ReadPageHeader();
            if (cursor.Bad()) {
                strFailure = std::string("its chain ") + FailureText(cursor.GetFailure()) + " after page " + Num(nPrevious);
                break;
            }
            if (cursor.page > nLast) {
                strFailure = "its chain holds page " + Num(cursor.page) + " after its last page " + Num(nLast) +
                             " should have ended it";
                break;
            }
            if (cursor.page >= nPageCount) {
                strFailure = "its chain holds page " + Num(cursor.page) + ", past the page store's " + Num(nPageCount) +
                             " pages";
                break;
            }
            if (cursor.bytesLeft == 0) {
                strFailure = "page " + Num(cursor.page) + ": its record " +
                             FailureText(PostingCursor::Failure::NoPositions);
                break;
            }
            const size_t p = cursor.page;
            uint64_t nPosition = 0;
            bool bAscending = true;
            for (bool bFirst = true; cursor.bytesLeft > 0 && !cursor.Bad(); bFirst = false) {
                const uint32_t nStep = cursor.ReadPacked(true);
                bAscending = bAscending && (bFirst || nStep > 0);
                nPosition += nStep;
                if (s >= CVariantTable::VariantSlotBase) {
                    index.groups[p] += Mark(s, nPosition);
                } else {
                    index.characters[p] += Mark(s, nPosition);
                    if (nGroupSlot >= 0) index.groupsOfMembers[p] += Mark(nGroupSlot, nPosition);
                }
            }
            if (cursor.Bad()) {
                strFailure = "page " + Num(cursor.page) + ": its record " + FailureText(cursor.GetFailure());
                break;
            }
            if (!bAscending) {
                strFailure = "page " + Num(cursor.page) + ": its positions do not ascend";
                break;
            }
            if (cursor.page == nLast) break;
        }
        cursor.RecordChain(nullptr);
        if (!strFailure.empty()) Report(strPostings, CIndex::SlotName(s) + ": " + strFailure);
        for (uint32_t b : chain) {
            if (b >= owner.size()) continue;
            if (owner[b] >= 0 && owner[b] != s) {
                Report(strPostings, "block " + Num(b) + " is in the chains of " + CIndex::SlotName(owner[b]) + " and " +
                                        CIndex::SlotName(s));
                break;
            }
            owner[b] = s;
        }
    }
    Step(strStep, CIndex::SlotCount, CIndex::SlotCount);
    // Each group's slot posts what its members post, page by page.
    size_t nMismatched = 0;
    size_t nFirstMismatch = 0;
    for (size_t p = 0; p < nPageCount; ++p) {
        if (index.groups[p] == index.groupsOfMembers[p]) continue;
        if (nMismatched++ == 0) nFirstMismatch = p;
    }
    if (nMismatched > 0)
        Report(strPostings, "page " + Num(nFirstMismatch) + (nMismatched > 1 ? " and " + Num(nMismatched - 1) + " more" : "") +
                                ": the variant groups' slots do not post what their members post (damaged postings, or a " +
                                CCorpusFiles::Variants + " other than the one the index was built with)");
    index.bWalked = true;
}

// Each page's text against what the indexes post for it: the characters
// of the cell the renderer marks, main text and annotations apart.
void CCorpusCheck::CheckPageTexts(const std::string& strFolder, const Store& store, const IndexFile* pIndexes) {
    const std::string strContent = CCorpusFiles::StoreContent(strFolder);
    CReadOnlyMapping content;
    try {
        content.Open(strContent);
    } catch (const CFileException& e) {
        Report(FileName(strContent), e.what());
        return;
    }
    std::string strPage;
    std::vector<HTMLNode> parts;
    for (uint32_t p = 0; p < store.nPages; ++p) {
        if (p % 2048 == 0) Step("checking the pages' text", p, store.nPages);
        if (!store.usable[p]) continue;
        const uint8_t* pBytes = content.Data() + (store.ends[p] - store.lengths[p]);
        strPage.assign(reinterpret_cast<const char*>(pBytes), store.lengths[p]);
        for (char& c : strPage) c = static_cast<char>(c ^ CFileList::ScrambleKey);
        parts.clear();
        CPageMarkup::ParsePage(strPage, parts);
        uint64_t nMain = 0, nNotes = 0;
        CPagePositions::ForEach(parts[(store.pageNumbers[p] & 1) == 0 ? 1 : 2].m_pText, [&](const PositionedChar& ch) {
            const int32_t nSlot = CCodeConverter::IndexSlot(ch.c);
            if (nSlot >= 0) (ch.annotation ? nNotes : nMain) += Mark(nSlot, ch.position);
        });
        // A changed text disagrees with the whole-text index and with the
        // index of its part; damage to one index, with that one alone.
        bool bDisagrees[3] = {false, false, false};
        for (int i = 0; i < 3; ++i) {
            const IndexFile& index = pIndexes[i];
            const uint64_t nText = index.eScope == IndexScope::MainText      ? nMain
                                   : index.eScope == IndexScope::Annotations ? nNotes
                                                                             : nMain + nNotes;
            bDisagrees[i] = index.bWalked && index.characters[p] != nText;
        }
        const std::string strPage = "page " + Num(p) + " (page " + std::to_string(store.pageNumbers[p]) + " of its volume)";
        if (bDisagrees[0] && (bDisagrees[1] || bDisagrees[2])) {
            Report(FileName(strContent), strPage + ": its text does not hold the characters the indexes post for it");
            continue;
        }
        for (int i = 0; i < 3; ++i)
            if (bDisagrees[i])
                Report(FileName(CCorpusFiles::IndexPostings(strFolder, pIndexes[i].eScope)),
                       strPage + ": the " + ScopeName(pIndexes[i].eScope) +
                           " index does not post the characters of the page's text");
    }
    Step("checking the pages' text", store.nPages, store.nPages);
}
