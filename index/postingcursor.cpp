#include "index/postingcursor.h"

void PostingCursor::Start(const PostingsView* pView, uint32_t nFirstBlock) {
    m_pView = pView;
    block = nFirstBlock;
    offset = 0;
    page = 0;
    bytesLeft = 0;
    m_nBlocksVisited = 1;
    m_bFirstRecord = true;
    m_bBad = false;
}

bool PostingCursor::FollowChain() {
    // A valid chain visits each block of the file at most once; a longer
    // walk can only be a loop.
    const uint64_t nFileBlocks = m_pView->nSize / BlockSize + 1;
    if (block >= m_pView->nNextBlocks || ++m_nBlocksVisited > nFileBlocks) {
        m_bBad = true;
        return false;
    }
    block = m_pView->pNextBlock[block];
    return true;
}

uint8_t PostingCursor::NextByte(bool bPositionByte) {
    if (m_bBad) return 0;
    if (bPositionByte) {
        if (bytesLeft == 0) {
            m_bBad = true;
            return 0;
        }
        --bytesLeft;
    }
    if (offset >= BlockSize) {
        if (!FollowChain()) return 0;
        offset = 0;
    }
    uint64_t nAt = static_cast<uint64_t>(block) * BlockSize + offset;
    if (nAt >= m_pView->nSize) {
        m_bBad = true;
        return 0;
    }
    ++offset;
    return m_pView->pData[nAt];
}

uint32_t PostingCursor::ReadPacked(bool bPositionBytes) {
    uint32_t b = NextByte(bPositionBytes);
    if (b < 0x80) return b;
    if (b < 0xC0) {
        uint32_t b1 = NextByte(bPositionBytes);
        return (b & 0x3F) << 8 | b1;
    }
    uint32_t b1 = NextByte(bPositionBytes);
    uint32_t b2 = NextByte(bPositionBytes);
    return (b & 0x3F) << 16 | b1 << 8 | b2;
}

void PostingCursor::ReadPageHeader() {
    uint32_t nStep = ReadPacked(false);
    uint32_t nLow = NextByte(false);
    uint32_t nHigh = NextByte(false);
    if (m_bBad) return;
    // Page indexes ascend strictly; a step of 0 after the first record, or
    // one that wraps around, is corruption.
    if ((!m_bFirstRecord && nStep == 0) || page > UINT32_MAX - nStep) {
        m_bBad = true;
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
