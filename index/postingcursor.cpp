#include "index/postingcursor.h"

#include <algorithm>

void PostingCursor::Start(const PostingsView* pView, uint32_t nFirstBlock) {
    m_pView = pView;
    block = nFirstBlock;
    offset = 0;
    page = 0;
    bytesLeft = 0;
    m_nBlocksVisited = 1;
    m_bFirstRecord = true;
    m_bBad = false;
    m_eFailure = Failure::None;
    EnterBlock();
}

void PostingCursor::Resume(const PostingsView* pView, uint32_t nBlock, uint16_t nOffset, uint64_t nVisited,
                           uint32_t nPage, bool bFirstRecord) {
    m_pView = pView;
    block = nBlock;
    offset = nOffset;
    page = nPage;
    bytesLeft = 0;
    m_nBlocksVisited = nVisited;
    m_bFirstRecord = bFirstRecord;
    m_bBad = false;
    m_eFailure = Failure::None;
    MapBlock();
}

void PostingCursor::EnterBlock() {
    if (m_pChain) m_pChain->push_back(block);
    MapBlock();
}

void PostingCursor::MapBlock() {
    const uint64_t nStart = static_cast<uint64_t>(block) * BlockSize;
    if (nStart >= m_pView->nSize) {
        m_pBlock = nullptr;
        m_nBlockBytes = 0;
        return;
    }
    m_pBlock = m_pView->pData + nStart;
    m_nBlockBytes = static_cast<uint32_t>(std::min<uint64_t>(BlockSize, m_pView->nSize - nStart));
}

bool PostingCursor::FollowChain() {
    // A valid chain visits each block of the file at most once; a longer
    // walk can only be a loop.
    const uint64_t nFileBlocks = m_pView->nSize / BlockSize + 1;
    if (block >= m_pView->nNextBlocks) {
        Fail(Failure::ChainTableEnds);
        return false;
    }
    if (++m_nBlocksVisited > nFileBlocks) {
        Fail(Failure::ChainLoops);
        return false;
    }
    block = m_pView->pNextBlock[block];
    EnterBlock();
    return true;
}

// The slow path of NextByte: the block is used up (or lies partly beyond
// the file, or the cursor is bad).
uint8_t PostingCursor::NextByteAcrossBlocks() {
    if (m_bBad) return 0;
    if (offset >= BlockSize) {
        if (!FollowChain()) return 0;
        offset = 0;
    }
    if (offset >= m_nBlockBytes) return Fail(Failure::BlockPastEnd);
    return m_pBlock[offset++];
}

void PostingCursor::ReadPageHeader() {
    uint32_t nStep = ReadPacked(false);
    uint32_t nLow = NextByte(false);
    uint32_t nHigh = NextByte(false);
    if (m_bBad) return;
    // Page indexes ascend strictly; a step of 0 after the first record, or
    // one that wraps around, is corruption.
    if ((!m_bFirstRecord && nStep == 0) || page > UINT32_MAX - nStep) {
        Fail(Failure::PageNotAscending);
        return;
    }
    m_bFirstRecord = false;
    page += nStep;
    bytesLeft = static_cast<uint16_t>(nLow | nHigh << 8);
}

void PostingCursor::SkipPositions() {
    if (m_bBad) return;
    uint32_t s = static_cast<uint32_t>(offset) + bytesLeft;
    while (s > BlockSize) {
        if (!FollowChain()) return;
        s -= BlockSize;
    }
    offset = static_cast<uint16_t>(s);
    bytesLeft = 0;
}

uint32_t PostingCursor::ScanPositions(uint64_t& nMask) {
    nMask = 0;
    if (m_bBad) return 0;
    if (bytesLeft == 0) {
        Fail(Failure::NoPositions);
        return 0;
    }
    uint32_t nCount = 0;
    uint64_t nPosition = 0;
    if (offset + static_cast<uint32_t>(bytesLeft) + 2 <= m_nBlockBytes) {
        // The whole rest of the record lies in this block, with two bytes to
        // spare for a last number that runs past L (caught below).
        const uint8_t* p = m_pBlock + offset;
        const uint32_t nEnd = bytesLeft;
        uint32_t i = 0;
        while (i < nEnd) {
            const uint32_t b = p[i];
            if (b < 0x80) {
                nPosition += b;
                i += 1;
            } else if (b < 0xC0) {
                nPosition += (b & 0x3F) << 8 | p[i + 1];
                i += 2;
            } else {
                nPosition += (b & 0x3F) << 16 | static_cast<uint32_t>(p[i + 1]) << 8 | p[i + 2];
                i += 3;
            }
            nMask |= uint64_t{1} << (nPosition % 64);
            ++nCount;
        }
        if (i != nEnd) {  // the last number runs past L
            Fail(Failure::PositionsPastLength);
            nMask = 0;
            return 0;
        }
        offset = static_cast<uint16_t>(offset + nEnd);
        bytesLeft = 0;
        return nCount;
    }
    while (bytesLeft > 0 && !m_bBad) {
        nPosition += ReadPacked(true);
        nMask |= uint64_t{1} << (nPosition % 64);
        ++nCount;
    }
    if (m_bBad) {
        nMask = 0;
        return 0;
    }
    return nCount;
}
