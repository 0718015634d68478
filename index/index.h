#pragma once

#include "corpus/corpusfiles.h"
#include "corpus/filelist.h"
#include "index/postingcursor.h"
#include "index/slotdirectory.h"
#include "platform/readonlymapping.h"
#include "text/varianttable.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// How a search term's pages are merged into the result set.
enum CombineMode {
    CombineReplace = 0,    // also any value other than 1 and 2
    CombineUnion = 1,
    CombineIntersect = 2,
};

// The full-text index of one text part, with the page store, the variant
// table and the result set of the last search.
//
// Header file (base + scope suffix + "-idx.h"), uint32 little-endian:
//   FirstBlockTable[100000]   first postings block per slot, 0xFFFFFFFF: none
//   unused[50000]             read past, never consulted
//   unused[100000]            read past, never consulted
//   LastPageTable[100000]     page index of the slot's last page record
//   NextBlockTable[N]         N = (size - 1,400,000) / 4; trailing bytes ignored
// Postings file (base + scope suffix + "-idx.m"): 4,096-byte blocks holding
// each slot's chain (see PostingCursor).
//
// The index is read-only while open; searches only read it. Not copyable.
class CPatternSearch;

class CIndex {
public:
    static constexpr int32_t SlotCount = 100000;
    static constexpr uint32_t NoBlock = 0xFFFFFFFFu;
    static constexpr uint64_t HeaderTablesSize = 1400000;
    // A pattern may hold at most this many UTF-16 units; a longer one
    // matches nothing (the search's fixed arrays have room for no more).
    static constexpr size_t MaxPatternUnits = 298;
    // "*" spans 0 to this many positions.
    static constexpr uint64_t MaxGap = 300;
    // The message shown when an index cannot be opened.
    static const char* const OpenFailedMessage;

    using MessageCallback = std::function<void(const std::string& strMessage)>;

    CIndex() = default;
    ~CIndex() { Close(); }
    CIndex(const CIndex&) = delete;
    CIndex& operator=(const CIndex&) = delete;

    // Where Open reports its failure ("データを開けませんでした。"); the
    // user interface shows it in a message box. Without a callback the
    // failure is only returned.
    void SetMessageCallback(MessageCallback callback) { m_messageCallback = std::move(callback); }

    // Loads the index of one scope, the variant table and the page store
    // from strFolder. REQUIRES: closed (call Close first to change scope).
    // On failure: reports the message, closes, returns false; GetOpenError()
    // then names the file and the reason.
    bool Open(const std::string& strFolder, const std::string& strBaseName, IndexScope eScope);
    void Close();
    bool IsOpen() const { return m_postings.IsOpen(); }
    const std::string& GetOpenError() const { return m_strOpenError; }

    // Variant table ("yitizi.txt" in the folder); Open loads it.
    void LoadVariants(const std::string& strFolder) {
        variantGroups.LoadFile(strFolder + "/" + CCorpusFiles::Variants);
    }
    bool MapVariantSlot(uint32_t nCodePoint, int32_t& nSlot) const {
        return variantGroups.MapVariantSlot(nCodePoint, nSlot);
    }
    const CVariantTable& GetVariants() const { return variantGroups; }

    // Starts cursor at the slot's chain. False when the index is closed,
    // the slot is outside 0..99,999 or it has no postings.
    bool StartCursor(int32_t nSlot, PostingCursor& cursor) const;
    uint32_t GetLastPage(int32_t nSlot) const { return m_lastPageTable[static_cast<size_t>(nSlot)]; }
    // The slot's page directory (see CSlotDirectory), built on its second
    // use (see CSlotDirectoryCache) and kept while the index is open; null
    // when the index is closed, the slot has no postings or gets no
    // directory (not yet, too many records, or turned off).
    std::shared_ptr<const CSlotDirectory> GetSlotDirectory(int32_t nSlot) const;
    const PostingsView* GetPostingsView() const { return &m_view; }
    // Bounds of the directories (see CSlotDirectoryCache::SetLimits); drops
    // those built. nMaxRecords 0 makes every search walk the chains.
    void SetDirectoryLimits(size_t nMaxBytes, size_t nMaxRecords,
                            unsigned nBuildOnUse = CSlotDirectoryCache::DefaultBuildOnUse) {
        m_directories.SetLimits(nMaxBytes, nMaxRecords, nBuildOnUse);
    }
    size_t GetDirectoryBytes() const { return m_directories.Bytes(); }
    // Drops the directories built so far (the next search builds its own).
    void ClearDirectories() { m_directories.Clear(); }
    // N, the entries of the chain table loaded from the header.
    uint32_t GetChainTableSize() const { return m_nNextBlocks; }

    // Page access, passed through to the page store.
    bool GetPageLength(int32_t nPage, int32_t& nLength) { return m_fileList.GetPageLength(nPage, nLength); }
    bool ReadPage(int32_t nPage, std::string& strPage) { return m_fileList.ReadPage(nPage, strPage); }
    bool FindPage(int32_t nStart, int32_t nPageNo, int32_t& nPage) { return m_fileList.FindPage(nStart, nPageNo, nPage); }
    int32_t GetHeaderValue() const { return m_fileList.GetHeaderValue(); }
    CFileList& GetFileList() { return m_fileList; }

    // The display page of a result page (see CFileList::RenderPage). With
    // bUseVariants the keywords are first replaced by their variant forms,
    // joined with U+0020, so that every form the search could have found
    // is marked: those of every combination that occur on the page
    // (CVariantTable::ExpandVariantsOnPage).
    int32_t RenderPage(int32_t nPage, std::string& strOut, const std::u16string& strKeywords, TextPart ePart,
                       bool bUseVariants);
    // The keyword text that RenderPage hands to the page store for the
    // page strPage.
    std::u16string DisplayKeywords(const std::u16string& strKeywords, bool bUseVariants,
                                   const std::string& strPage) const;

    // Search (index search). Finds the pages on which strPattern occurs,
    // counts its hits when bCountHits, and merges them into the result set.
    // After a counting call the hits are parallel to the pages: a counting
    // union gives the pages of an earlier search that did not count 0 hits
    // of their own.
    // Returns the result count, or 0 where the call ends early.
    // REQUIRES: IsOpen().
    int32_t SearchPattern(const std::u16string& strPattern, int nCombine, bool bCountHits, bool bUseVariants);

    // The pages in [nFirstPage, nEndPage) on which strPattern occurs and
    // its hits on them, found as SearchPattern finds them but leaving the
    // result set alone. Both 0 when it occurs on none.
    void CountPattern(const std::u16string& strPattern, bool bUseVariants, uint32_t nFirstPage, uint32_t nEndPage,
                      int32_t& nPages /* OUT */, int64_t& nHits /* OUT */) const;

    // A slot as messages name it: "slot 19981 (不)", or "slot 88070 (the
    // variant group of line 6 of yitizi.txt)".
    static std::string SlotName(int32_t nSlot);
    // Where the searches since Open met damaged postings (a chain that goes
    // bad, a page past the slot's last page), as "Index-idx.m, slot 19981
    // (不), after page 55012"; empty when they met none. Their results may
    // then be incomplete.
    const std::string& GetDamage() const { return m_strDamage; }

    // Query terms. The number of terms in strKeywords, or 0 when it is
    // empty or holds a unit that is not allowed (see FindRefusedUnit).
    static int32_t CountTerms(const std::u16string& strKeywords);
    // The first unit that makes CountTerms refuse the string, or npos.
    static size_t FindRefusedUnit(const std::u16string& strKeywords);
    // Searches every term (and) / any term (or); each U+0020 in strKeywords
    // is rewritten to U+3000. Refused keywords leave the result set as it was.
    void SearchAnd(std::u16string& strKeywords, bool bCountHits, bool bUseVariants);
    void SearchOr(std::u16string& strKeywords, bool bCountHits, bool bUseVariants);

    // The result set of the last search: page indexes and, after a counting
    // search, their hits (parallel). Valid until the next search.
    const std::vector<uint32_t>& GetResultPages() const { return resultPages; }
    const std::vector<uint32_t>& GetResultHits() const { return resultHits; }
    int32_t GetResultCount() const { return resultCount; }

private:
    void SearchTerms(std::u16string& strKeywords, bool bCountHits, bool bUseVariants, bool bAnd);
    void ClearResults();
    void MergeResults(std::vector<uint32_t>&& foundPages, std::vector<uint32_t>&& foundHits, int nCombine,
                      bool bCountHits);
    bool Fail(const std::string& strReason);
    // Keeps where search met damaged postings, if it did and nothing was
    // kept before.
    void NoteDamage(const CPatternSearch& search) const;

    CFileList m_fileList;
    CReadOnlyMapping m_postings;
    std::vector<uint32_t> m_nextBlockTable;
    std::vector<uint32_t> m_firstBlockTable;
    std::vector<uint32_t> m_lastPageTable;
    PostingsView m_view;
    uint32_t m_nNextBlocks = 0;
    // Filled by searches, which only read the index otherwise.
    mutable CSlotDirectoryCache m_directories;

    std::vector<uint32_t> resultPages;
    std::vector<uint32_t> resultHits;
    int32_t resultCount = 0;

    CVariantTable variantGroups;

    MessageCallback m_messageCallback;
    std::string m_strOpenError;
    std::string m_strPostingsName;        // the postings file open, for GetDamage
    mutable std::string m_strDamage;
};
