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
    EnterBlock();
}

void PostingCursor::EnterBlock() {
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
    if (block >= m_pView->nNextBlocks || ++m_nBlocksVisited > nFileBlocks) {
        Fail();
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
    if (offset >= m_nBlockBytes) return Fail();
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
        Fail();
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
