#pragma once

#include "text/varianttable.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Reads every file of a corpus and reports what is damaged: what the reader
// would otherwise pass over in silence (a cut postings file makes searches
// find fewer pages, a wrong catalogue range opens the wrong page).
//
// The quick check reads the sizes and the tables: the page store's header
// and records (bounds, names, page numbers, lengths), the three index
// headers (sizes, first blocks, last pages, the chain table), the catalogue
// (levels, outline order, page ranges inside the page store and inside
// their parents, the page numbers of each volume) and the variant table
// (its format and slots). The whole check also walks every postings chain
// (loops, blocks past the end or shared by two chains, page steps, position
// lengths, pages past the last page or the page count) and compares what
// the three indexes post for each page, slot by slot, with the characters
// of the page's text: a page whose text changed, or whose postings went
// missing, no longer matches (doc/damage.md lists the changes no check can
// see).
//
// A problem names the file and where in it (a record, slot, block, line or
// page) and what is wrong.
class CCorpusCheck {
public:
    struct Problem {
        std::string strFile;  // the file's name in the corpus folder ("Index-idx.m")
        std::string strWhat;  // where and what ("slot 19981 (不): the chain loops at block 7")
    };
    // Called now and then with what is being checked and how far it is
    // (0 to 100).
    using ProgressCallback = std::function<void(const std::string& strStep, int nPercent)>;

    // Problems kept for one file; the others are counted.
    static constexpr size_t MaxProblemsPerFile = 50;

    void SetProgressCallback(ProgressCallback callback) { m_progress = std::move(callback); }

    // Checks the corpus in strFolder. False, with strError, when it cannot
    // run: the folder is missing or holds none of a corpus's files. Damage
    // is not a failure: Problems() lists it.
    bool Check(const std::string& strFolder, bool bQuick, std::string& strError /* OUT */);

    const std::vector<Problem>& Problems() const { return m_problems; }
    // Problems found beyond MaxProblemsPerFile, by file.
    const std::vector<std::pair<std::string, size_t>>& Unlisted() const { return m_unlisted; }
    // Problems found in all.
    size_t ProblemCount() const { return m_nProblems; }
    // The files read and their bytes.
    size_t FileCount() const { return m_nFiles; }
    uint64_t ByteCount() const { return m_nBytes; }

private:
    struct Store;
    struct IndexFile;

    void Report(const std::string& strFile, const std::string& strWhat);
    void Step(const std::string& strStep, uint64_t nDone, uint64_t nTotal);

    void CheckStore(const std::string& strFolder, bool bQuick, Store& store);
    void CheckCatalogue(const std::string& strFolder, const Store& store);
    void CheckVariants(const std::string& strFolder);
    void CheckIndex(const std::string& strFolder, int nScope, bool bQuick, uint32_t nPageCount, IndexFile& index);
    void WalkChains(IndexFile& index, uint32_t nPageCount);
    void CheckPageTexts(const std::string& strFolder, const Store& store, const IndexFile* pIndexes);

    ProgressCallback m_progress;
    std::vector<Problem> m_problems;
    std::vector<std::pair<std::string, size_t>> m_unlisted;
    size_t m_nProblems = 0;
    size_t m_nFiles = 0;
    uint64_t m_nBytes = 0;
    std::string m_strLastStep;
    int m_nLastPercent = -1;
    // The variant table as the reader loads it.
    CVariantTable m_variants;
};
