#pragma once

#include "index/postingcursor.h"
#include "index/slotdirectory.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CIndex;

// One search pattern matched through the positions of the open index.
//
// A pattern is cut at each "*" into segments. Every character that is not a
// wildcard becomes a term that walks its slot's postings; "?" and "？" only
// take a place in the pattern. A term's value is its current position
// aligned to the pattern's end, position + (P - 1 - offset), so the terms of
// one segment match where their values are equal, and the next segment
// follows where its first value exceeds the previous segment's last by 0 to
// 300. Example: 中?國*史 has P = 4 and terms 中 (offset 0), 國 (2), 史 (3);
// at positions t, u, v the values are t + 3, u + 1, v.
//
// Pages are intersected first; positions are decoded only on pages that all
// terms share. The intersection uses the slots' page directories (see
// CSlotDirectory), starting from the slot with the fewest pages; where a
// slot has no directory, the terms' page records are walked in step.
class CPatternSearch {
public:
    // REQUIRES: index outlives the search and stays open while it runs.
    CPatternSearch(const CIndex& index, bool bUseVariants) : m_index(index), m_bUseVariants(bUseVariants) {}

    // Builds the terms and segments. False when the pattern can match
    // nothing: longer than 298 units, no term (empty, wildcards only, only
    // characters without a slot) or a character whose slot has no postings.
    bool Compile(const std::u16string& strPattern);

    // Finds the pages (ascending) and, when bCountHits, the hits on each.
    // REQUIRES: Compile returned true.
    void Run(bool bCountHits, std::vector<uint32_t>& foundPages, std::vector<uint32_t>& foundHits);
    // The slot whose postings went bad during Run (a chain that breaks off,
    // a page past the slot's last page), and the last good page before it
    // (NoPage: before its first); -1 when the postings were sound. Run's
    // results may then be incomplete.
    static constexpr uint32_t NoPage = UINT32_MAX;
    int32_t DamagedSlot(uint32_t& nAfterPage /* OUT */) const {
        nAfterPage = m_nDamagedAfter;
        return m_nDamagedSlot;
    }
    // Makes Run find only pages of pPages (ascending; null: every page).
    // REQUIRES: pPages outlives the search's Run.
    void RestrictTo(const std::vector<uint32_t>* pPages) { m_pWithin = pPages; }

    // For tests: the pattern after normalisation, and the layout.
    const std::u16string& Normalised() const { return m_strBuffer; }
    size_t TermCount() const { return m_terms.size(); }
    size_t SegmentCount() const { return m_segmentEnds.size(); }
    uint32_t PatternLength() const { return m_nLength; }

private:
    struct SearchTerm {
        PostingCursor cursor;
        int32_t slot = 0;
        uint32_t lastPage = 0;
        uint32_t offset = 0;
        uint64_t value = 0;  // 64-bit: no position sum can wrap
        size_t use = 0;      // its slot in m_slots
    };
    // A distinct slot of the pattern and its directory.
    struct SlotUse {
        int32_t slot = 0;
        std::shared_ptr<const CSlotDirectory> pDirectory;
        size_t next = 0;    // no record before it holds a page still to come
        size_t record = 0;  // the record of the current page
        uint64_t stamp = 0; // the candidate for which record was found
    };

    bool RunWithDirectories(bool bCountHits, std::vector<uint32_t>& foundPages, std::vector<uint32_t>& foundHits);
    void FindCandidates(uint32_t nLimit);
    void PrepareMaskChecks();
    void RunByWalking(bool bCountHits, std::vector<uint32_t>& foundPages, std::vector<uint32_t>& foundHits);
    void RunOneTermByWalking(bool bCountHits, std::vector<uint32_t>& foundPages, std::vector<uint32_t>& foundHits);
    bool Within(uint32_t nPage, size_t& nNext) const;
    bool WorkPage(uint32_t nPage, bool bCountHits, uint32_t& nHits);
    uint64_t MaxValue(size_t nFrom, size_t nTo) const;
    bool AnyBad() const;

    const CIndex& m_index;
    bool m_bUseVariants;
    std::u16string m_strBuffer;
    std::vector<SearchTerm> m_terms;
    std::vector<size_t> m_segmentEnds;  // end (one past the last term) of each segment
    uint32_t m_nLength = 0;             // P
    const std::vector<uint32_t>* m_pWithin = nullptr;
    int32_t m_nDamagedSlot = -1;
    uint32_t m_nDamagedAfter = 0;
    std::vector<SlotUse> m_slots;
    std::vector<size_t> m_order;        // m_slots by record count, fewest first
    std::vector<uint32_t> m_candidates; // pages that every slot holds
    // A term whose mask is compared on each candidate page: those of each
    // segment of two terms or more, their slots' rarest first (the mask
    // most likely to rule the page out).
    struct MaskCheck {
        SlotUse* pUse;
        const CSlotDirectory* pDirectory;
        uint32_t nTurn;       // (P - 1 - offset) % 64: from positions to values
        bool bLastOfSegment;
    };
    std::vector<MaskCheck> m_maskChecks;
};
