#pragma once

#include "index/postingcursor.h"

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <unordered_map>
#include <vector>

// The page records of one slot's postings, read once and kept in memory, so
// that a search can go straight to the record of any page instead of
// stepping through every record before it (the postings hold no skip data).
//
// For each record it keeps the page, where its positions start in the
// stream (the index of their block in the chain times 4,096 plus the byte
// in the block), their length L, how many positions there are and which
// residues modulo 64 they take (a 64-bit mask): two terms of a phrase can
// only meet on a page where their masks, turned by their places in the
// phrase, share a bit, which rules out most shared pages without reading
// their positions. A slot whose pages cover much of
// its range also gets a bitmap of its pages with the record count before
// each 64-bit word, so that intersecting two such slots is a word-wise AND
// and a page's record is found in constant time.
//
// Built by one walk of the chain that reads every record as a search would
// (positions included). Where that walk goes bad (a loop, a block beyond
// the file, pages that do not ascend, a page beyond the slot's last page,
// positions that run past their record) the directory ends at the last
// good record and says so: a search must then not trust any page after it,
// as a cursor walking the chain would have gone bad there.
class CSlotDirectory {
public:
    // Reads the chain that starts at block nFirstBlock up to the record of
    // nLastPage. Null when it holds more than nMaxRecords records.
    static std::shared_ptr<const CSlotDirectory> Build(const PostingsView& view, uint32_t nFirstBlock,
                                                       uint32_t nLastPage, size_t nMaxRecords);

    size_t RecordCount() const { return m_pages.size(); }
    const std::vector<uint32_t>& Pages() const { return m_pages; }
    uint32_t Hits(size_t i) const { return m_hits[i]; }
    // Bit p % 64 set for each position p of record i.
    uint64_t Mask(size_t i) const { return m_masks[i]; }
    const std::vector<uint16_t>& HitCounts() const { return m_hits; }
    bool EndsBad() const { return m_bEndsBad; }

    bool HasBitmap() const { return !m_bitmap.empty(); }
    // Bit p % 64 of word p / 64: a record of page p. Empty without a bitmap.
    const std::vector<uint64_t>& Bitmap() const { return m_bitmap; }

    // The first record at or after nFrom whose page is at least nPage
    // (RecordCount() if none), by galloping from nFrom.
    size_t Seek(uint32_t nPage, size_t nFrom) const;
    // Whether a record holds nPage, and which (nFrom: no record before it
    // can hold the page; a hint for the search without a bitmap).
    bool Find(uint32_t nPage, size_t nFrom, size_t& nRecord) const {
        if (m_bitmap.empty()) return FindInList(nPage, nFrom, nRecord);
        const size_t w = nPage / 64;
        if (w >= m_bitmap.size()) return false;
        const uint64_t nBit = uint64_t{1} << (nPage % 64);
        if (!(m_bitmap[w] & nBit)) return false;
        nRecord = m_ranks[w] + PopCount(m_bitmap[w] & (nBit - 1));
        return true;
    }
    // Bits set in x (without relying on a popcount instruction).
    static uint32_t PopCount(uint64_t x) {
        x = x - ((x >> 1) & 0x5555555555555555ull);
        x = (x & 0x3333333333333333ull) + ((x >> 2) & 0x3333333333333333ull);
        x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Full;
        return static_cast<uint32_t>((x * 0x0101010101010101ull) >> 56);
    }

    // Places cursor on record i as if its header had just been read: the
    // next byte is its first position byte.
    void StartAt(const PostingsView* pView, size_t i, PostingCursor& cursor) const;

    // Memory held, for the cache's bound.
    size_t Bytes() const;

private:
    bool FindInList(uint32_t nPage, size_t nFrom, size_t& nRecord) const;

    std::vector<uint32_t> m_pages;
    std::vector<uint32_t> m_places;  // chain index * 4096 + byte of each record's first position
    std::vector<uint16_t> m_lengths; // L
    std::vector<uint16_t> m_hits;    // at most L
    std::vector<uint64_t> m_masks;
    std::vector<uint32_t> m_chain;   // the chain's blocks in order
    std::vector<uint64_t> m_bitmap;
    std::vector<uint32_t> m_ranks;   // records before each bitmap word
    bool m_bEndsBad = false;
};

// The directories of the slots used lately, built while the index is open,
// least recently used dropped first once their memory passes a bound. A
// slot's directory is built on its second search by default: the first
// walks the chain, which reads only the page records it passes and skips
// the positions of pages not every term shares, so a character searched
// once costs one walk and no directory. Not thread-safe (like the searches
// of CIndex).
class CSlotDirectoryCache {
public:
    static constexpr size_t DefaultMaxBytes = size_t{128} << 20;
    static constexpr size_t DefaultMaxRecords = size_t{8} << 20;
    static constexpr unsigned DefaultBuildOnUse = 2;

    // nMaxBytes bounds the memory of the directories kept between searches
    // (a search holds those it uses until it ends); a slot with more than
    // nMaxRecords records gets no directory. nMaxRecords 0: none at all.
    // nBuildOnUse: the search of a slot (1: its first) that builds its
    // directory; those before get none.
    void SetLimits(size_t nMaxBytes, size_t nMaxRecords, unsigned nBuildOnUse = DefaultBuildOnUse);

    // The slot's directory (see CSlotDirectory::Build); null when the slot
    // gets none, or none yet.
    std::shared_ptr<const CSlotDirectory> Get(int32_t nSlot, const PostingsView& view, uint32_t nFirstBlock,
                                              uint32_t nLastPage);
    void Clear();
    size_t Bytes() const { return m_nBytes; }

private:
    struct Entry {
        std::shared_ptr<const CSlotDirectory> pDirectory;  // null: too many records, or not built yet
        std::list<int32_t>::iterator use;
        size_t nBytes = 0;
        unsigned nUses = 0;  // searches of the slot; the directory is built at m_nBuildOnUse
    };
    // Keeps the entry as the most recent, dropping the oldest while the
    // entries take more than m_nMaxBytes.
    void Keep(int32_t nSlot, Entry entry);

    std::unordered_map<int32_t, Entry> m_entries;
    std::list<int32_t> m_uses;  // most recent first
    size_t m_nBytes = 0;
    size_t m_nMaxBytes = DefaultMaxBytes;
    size_t m_nMaxRecords = DefaultMaxRecords;
    unsigned m_nBuildOnUse = DefaultBuildOnUse;
};
