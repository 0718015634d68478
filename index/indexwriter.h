#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes one index pair (header and postings) in the format that CIndex
// reads. Occurrences are added slot by slot in any interleaving, but for
// each slot in ascending page order, and within a page in ascending
// position order; each slot's stream is encoded as it grows.
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

    // Encodes a packed number (1 to 3 bytes). REQUIRES: n <= MaxStep.
    static void AppendPacked(std::string& out, uint32_t n);

private:
    struct SlotStream {
        std::string bytes;       // finished page records
        std::string positions;   // position data of the open record
        uint32_t page = 0;       // page of the open record
        uint32_t position = 0;   // last position on that page
        uint32_t pageCount = 0;
        uint32_t occurrences = 0;
        bool open = false;       // a record is being collected
        bool any = false;        // at least one record was written
        uint32_t lastWrittenPage = 0;
    };
    bool CloseRecord(SlotStream& stream, std::string& strError);

    std::vector<SlotStream> m_slots;
    uint64_t m_nShuffleSeed = 0;
};
