#pragma once

#include <cstdint>
#include <vector>

// The postings file as the cursor sees it: the mapped bytes and the chain
// table of the header. Both are owned by CIndex and outlive every cursor.
struct PostingsView {
    const uint8_t* pData = nullptr;
    uint64_t nSize = 0;               // bytes in the postings file
    const uint32_t* pNextBlock = nullptr;
    uint32_t nNextBlocks = 0;         // N, the entries of NextBlockTable
};

// Reading state in one slot's postings stream.
//
// A slot's stream starts at byte 0 of block FirstBlockTable[slot] and goes
// on at byte 0 of block NextBlockTable[b] whenever block b (4,096 bytes) is
// used up. It is a run of page records:
//   record := pageStep:packed  L:uint16le  positions:packed{>=1, L bytes}
//   packed := 0xxxxxxx                      value x
//           | 10xxxxxx b1                   value x*256 + b1
//           | 11xxxxxx b1 b2                value x*65536 + b1*256 + b2
// pageStep is the page index minus the previous record's (the first record:
// the page index); each position is the step from the previous one (the
// first: the position itself). Any field may straddle a block end.
// Example: page 5 with positions 3 and 4 is 05 02 00 03 01.
//
// The stream has no end mark; the caller stops at the slot's last page. The
// cursor never reads outside the view: a block beyond the file or beyond N,
// a chain longer than the file has blocks (a loop), a page that does not
// ascend, or position data read past L make it Bad(); a bad cursor reads
// zeros and stays bad.
class PostingCursor {
public:
    static constexpr uint32_t BlockSize = 4096;

    // Why a cursor went bad.
    enum class Failure {
        None,
        BlockPastEnd,         // a block of the chain lies (partly) beyond the postings file
        ChainTableEnds,       // the chain goes on from a block that has no entry in NextBlockTable
        ChainLoops,           // the chain visits more blocks than the file has
        PageNotAscending,     // a page step of 0 after the first record, or one that wraps around
        NoPositions,          // a record with no position bytes
        PositionsPastLength,  // the positions run past the record's length L
    };

    // REQUIRES: pView outlives the cursor.
    void Start(const PostingsView* pView, uint32_t nFirstBlock);
    // Places the cursor at a record start that an earlier walk of the same
    // chain reached: byte nOffset of block nBlock, the nVisited-th block of
    // the chain, after the record of nPage (bFirstRecord: before the first
    // record). The next ReadPageHeader reads that record.
    void Resume(const PostingsView* pView, uint32_t nBlock, uint16_t nOffset, uint64_t nVisited, uint32_t nPage,
                bool bFirstRecord);
    // While set, every block the cursor enters is appended to *pChain, the
    // first block included (call before Start). Null stops it.
    void RecordChain(std::vector<uint32_t>* pChain) { m_pChain = pChain; }

    // The next byte of the stream; inline while the current block lasts.
    uint8_t NextByte(bool bPositionByte) {
        if (bPositionByte) {
            if (bytesLeft == 0) return Fail(Failure::PositionsPastLength);
            --bytesLeft;
        }
        if (offset < m_nBlockBytes) return m_pBlock[offset++];
        return NextByteAcrossBlocks();
    }
    uint32_t ReadPacked(bool bPositionBytes) {
        // Fast path: the whole number lies in this block (and, for position
        // bytes, inside L).
        if (offset + 3u <= m_nBlockBytes && (!bPositionBytes || bytesLeft >= 3)) {
            const uint8_t* p = m_pBlock + offset;
            const uint32_t b0 = p[0];
            const uint32_t nBytes = b0 < 0x80 ? 1 : b0 < 0xC0 ? 2 : 3;
            offset = static_cast<uint16_t>(offset + nBytes);
            if (bPositionBytes) bytesLeft = static_cast<uint16_t>(bytesLeft - nBytes);
            if (nBytes == 1) return b0;
            if (nBytes == 2) return (b0 & 0x3F) << 8 | p[1];
            return (b0 & 0x3F) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[2];
        }
        const uint32_t b = NextByte(bPositionBytes);
        if (b < 0x80) return b;
        if (b < 0xC0) return (b & 0x3F) << 8 | NextByte(bPositionBytes);
        const uint32_t b1 = NextByte(bPositionBytes);
        return (b & 0x3F) << 16 | b1 << 8 | NextByte(bPositionBytes);
    }
    // Advances to the next page record: page += step, reads L.
    void ReadPageHeader();
    // Moves past the position bytes of the current record not yet read.
    void SkipPositions();
    // Reads the positions of the current record (none read yet) and returns
    // how many there are; bit p % 64 of nMask is set for each position p.
    // A record without positions, or whose last number runs past L, makes
    // the cursor bad (as reading them one by one would).
    uint32_t ScanPositions(uint64_t& nMask);
    // Reads the next record: its header, then with bCount all its position
    // data (returns how many positions), else its first position (returns
    // 1). The outcome of ReadPageHeader followed by ScanPositions or
    // ReadPacked(true), in one pass where the record lies inside the block.
    uint32_t ReadRecord(bool bCount) {
        if (offset + 5u <= m_nBlockBytes) {
            const uint8_t* p = m_pBlock + offset;
            const uint32_t b0 = p[0];
            const uint32_t n = b0 < 0x80 ? 1 : b0 < 0xC0 ? 2 : 3;
            const uint32_t nStep = n == 1 ? b0
                                   : n == 2 ? (b0 & 0x3F) << 8 | p[1]
                                            : (b0 & 0x3F) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[2];
            const uint32_t nLength = p[n] | static_cast<uint32_t>(p[n + 1]) << 8;
            const uint32_t nStart = offset + n + 2;
            // Two bytes to spare: a last number that runs past L is read
            // inside the block (and sends the record to the careful path).
            if (nLength > 0 && nStart + nLength + 2 <= m_nBlockBytes && (m_bFirstRecord || nStep != 0) &&
                page <= UINT32_MAX - nStep) {
                const uint8_t* q = m_pBlock + nStart;
                uint32_t nCount = 0;
                uint32_t i = 0;
                if (bCount) {
                    while (i < nLength) {
                        const uint32_t b = q[i];
                        i += b < 0x80 ? 1 : b < 0xC0 ? 2 : 3;
                        ++nCount;
                    }
                } else {
                    i = q[0] < 0x80 ? 1 : q[0] < 0xC0 ? 2 : 3;
                    nCount = 1;
                    if (i <= nLength) i = nLength;
                }
                if (i == nLength) {
                    m_bFirstRecord = false;
                    page += nStep;
                    offset = static_cast<uint16_t>(nStart + nLength);
                    bytesLeft = 0;
                    return nCount;
                }
            }
        }
        ReadPageHeader();
        if (m_bBad) return 0;
        if (bCount) {
            uint64_t nMask = 0;
            return ScanPositions(nMask);
        }
        ReadPacked(true);
        return m_bBad ? 0 : 1;
    }

    bool Bad() const { return m_bBad; }
    // Whether a record has been read (page is the page of one).
    bool Started() const { return !m_bFirstRecord; }
    Failure GetFailure() const { return m_eFailure; }

    uint32_t block = 0;
    uint16_t offset = 0;       // 0..4096; 4096: the block is used up
    uint32_t page = 0;
    uint16_t bytesLeft = 0;

private:
    bool FollowChain();
    void EnterBlock();
    void MapBlock();
    uint8_t NextByteAcrossBlocks();
    uint8_t Fail(Failure eFailure) {
        if (!m_bBad) m_eFailure = eFailure;
        m_bBad = true;
        m_nBlockBytes = 0;
        return 0;
    }

    std::vector<uint32_t>* m_pChain = nullptr;
    const PostingsView* m_pView = nullptr;
    const uint8_t* m_pBlock = nullptr;  // the current block's bytes in the view
    uint32_t m_nBlockBytes = 0;         // how many of them lie inside the file; 0 once bad
    uint64_t m_nBlocksVisited = 0;
    bool m_bFirstRecord = true;
    bool m_bBad = false;
    Failure m_eFailure = Failure::None;
};
