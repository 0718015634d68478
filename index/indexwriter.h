#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Writes one index pair (header and postings) in the format that CIndex
// reads. Occurrences are added slot by slot in any interleaving, but for
// each slot in ascending page order, and within a page in ascending
// position order; each slot's stream is encoded as it grows, straight into
// 4,096-byte blocks that become the blocks of its chain (so the postings
// take in memory what they take on disk, and are written from there).
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
    // Records every occurrence of page nPage at once (in any order; sorted
    // here): the same as AddPosition for each, slot by slot in ascending
    // position order, but each slot's record is written whole, in one
    // place, instead of a byte at a time among all the others.
    bool AddPage(uint32_t nPage, std::vector<Occurrence>& occurrences, std::string& strError);

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
    static constexpr uint32_t BlockSize = 4096;
    static constexpr uint32_t ChunkBlocks = 256;  // blocks are allocated 1 MiB at a time

    struct SlotStream {
        std::vector<uint32_t> blocks;  // the stream's blocks in the pool, in order
        uint8_t* pLast = nullptr;      // the bytes of the last of them
        uint32_t used = BlockSize;     // bytes used in the last block
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
    bool CloseRecord(SlotStream& stream, std::string& strError);
    void Put(SlotStream& stream, uint8_t nByte) {
        if (stream.used == BlockSize) NewBlock(stream);
        stream.pLast[stream.used++] = nByte;
        ++stream.size;
    }
    void PutPacked(SlotStream& stream, uint32_t n);
    static void AppendPacked(std::vector<uint8_t>& out, uint32_t n);
    void NewBlock(SlotStream& stream);
    uint8_t* BlockBytes(uint32_t nBlock) const { return m_pBlockOf[nBlock]; }

    std::vector<SlotStream> m_slots;
    std::vector<std::unique_ptr<uint8_t[]>> m_chunks;  // zeroed, ChunkBlocks blocks each
    std::vector<uint8_t*> m_pBlockOf;                  // the bytes of each block of the pool
    std::vector<uint8_t> m_record;                     // AddPage's record being encoded
    uint64_t m_nShuffleSeed = 0;
};
