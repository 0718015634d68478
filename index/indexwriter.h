#pragma once

#include "index/blockpool.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Writes one index pair (header and postings) in the format that CIndex
// reads. Occurrences are added slot by slot in any interleaving, but for
// each slot in ascending page order, and within a page in ascending
// position order; each slot's stream is encoded as it grows, into 4,096-byte
// blocks that become the blocks of its chain. Full blocks go to a pool (in
// memory, or after SpillTo in a temporary file); each stream keeps only its
// unfinished last block, so that a writer that spills holds little more
// than those. Write puts the blocks in chain order.
class CIndexWriter {
public:
    // Largest page step or position step a packed number can hold.
    static constexpr uint32_t MaxStep = 0x3FFFFF;
    static constexpr uint32_t MaxPositionBytes = 0xFFFF;

    CIndexWriter();

    // Records that the character of nSlot stands at nPosition on nPage.
    // False (with strError) when the order is broken or a step or a page's
    // position data does not fit the format. A repeated (page, position) is
    // ignored.
    bool AddPosition(int32_t nSlot, uint32_t nPage, uint32_t nPosition, std::string& strError);

    // One occurrence of a page: the slot of a character and its position.
    struct Occurrence {
        int32_t slot;
        uint32_t position;
    };
    // Records every occurrence of page nPage at once, in any order: the same
    // as AddPosition for each, slot by slot in ascending position order, but
    // each slot's record is written whole, in one place. The occurrences are
    // grouped by slot in linear time; a slot's positions are sorted only
    // when they do not already ascend (a page's characters come in order).
    bool AddPage(uint32_t nPage, std::vector<Occurrence>& occurrences, std::string& strError);

    // Keeps the full blocks in a temporary file of strFolder instead of in
    // memory. Before the first occurrence.
    bool SpillTo(const std::string& strFolder, std::string& strError) { return m_pool.SpillTo(strFolder, strError); }

    // How the blocks of the chains are placed in the postings file: in slot
    // order (each chain's blocks consecutive), or shuffled with a seed so
    // that every chain jumps around the file (tests use it).
    void SetShuffleSeed(uint64_t nSeed) { m_nShuffleSeed = nSeed; }

    // Writes the two files (through temporary names, renamed at the end).
    bool Write(const std::string& strHeaderPath, const std::string& strPostingsPath, std::string& strError);

    // A postings file holds at most 4 GiB: block numbers and byte places
    // are 32-bit, and CIndex reads no chain entry beyond this many blocks.
    static constexpr uint64_t MaxPostingsBlocks = (uint64_t{1} << 32) / 4096;
    // False with strError (naming strPostingsPath) when nBlocks blocks do
    // not fit a postings file; Write refuses such an index before writing.
    static bool CheckPostingsBlocks(uint64_t nBlocks, const std::string& strPostingsPath, std::string& strError);

private:
    static constexpr uint32_t BlockSize = CBlockPool::BlockSize;

    struct SlotStream {
        std::vector<uint32_t> blocks;  // the pool's numbers of the stream's full blocks, in chain order
        std::vector<uint8_t> tail;     // the bytes after them: the chain's last block, 4,096 bytes at most
        uint64_t size = 0;             // bytes of the stream
        uint64_t lengthAt = 0;         // where the open record's L goes
        uint32_t page = 0;             // page of the open record
        uint32_t position = 0;         // last position on that page
        uint32_t pageCount = 0;
        uint32_t occurrences = 0;
        bool open = false;             // a record is being collected
        bool any = false;              // at least one record was opened before
        uint32_t lastWrittenPage = 0;  // page of the record before the open one
    };
    // AddPage's part for one slot: its positions on the page, in any order.
    bool AddRecord(int32_t nSlot, uint32_t nPage, uint32_t* pFirst, uint32_t* pLast, std::string& strError);
    bool CloseRecord(SlotStream& stream, std::string& strError);
    // Appends bytes to the stream, its full last block going to the pool.
    bool Append(SlotStream& stream, const uint8_t* pBytes, size_t nCount, std::string& strError);
    bool AppendPacked(SlotStream& stream, uint32_t n, std::string& strError);
    // Writes n packed at p; returns the byte after it.
    static uint8_t* PutPacked(uint8_t* p, uint32_t n);

    std::vector<SlotStream> m_slots;
    CBlockPool m_pool;
    // AddPage's scratch: occurrences per slot, the slots of the page in the
    // order met, positions grouped by slot, a record being encoded.
    std::vector<uint32_t> m_counts;
    std::vector<int32_t> m_touched;
    std::vector<uint32_t> m_positions;
    std::vector<uint8_t> m_record;
    uint64_t m_nShuffleSeed = 0;
};
