#include "index/indexwriter.h"

#include "index/index.h"
#include "index/postingcursor.h"
#include "platform/atomicfile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <numeric>
#include <random>

namespace {

void PutUint32(std::string& out, uint32_t n) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((n >> (8 * i)) & 0xFF));
}

}  // namespace

CIndexWriter::CIndexWriter() : m_slots(CIndex::SlotCount), m_counts(CIndex::SlotCount, 0) {}

uint8_t* CIndexWriter::PutPacked(uint8_t* p, uint32_t n) {
    if (n < 0x80) {
        *p++ = static_cast<uint8_t>(n);
    } else if (n < 0x4000) {
        *p++ = static_cast<uint8_t>(0x80 | (n >> 8));
        *p++ = static_cast<uint8_t>(n & 0xFF);
    } else {
        *p++ = static_cast<uint8_t>(0xC0 | (n >> 16));
        *p++ = static_cast<uint8_t>((n >> 8) & 0xFF);
        *p++ = static_cast<uint8_t>(n & 0xFF);
    }
    return p;
}

bool CIndexWriter::Append(SlotStream& s, const uint8_t* pBytes, size_t nCount, std::string& strError) {
    s.size += nCount;
    while (nCount > 0) {
        if (s.tail.size() == BlockSize) {
            if (!m_pool.Store(s.tail.data(), strError)) return false;
            s.blocks.push_back(m_pool.Count() - 1);
            s.tail.clear();
        }
        const size_t nTake = std::min<size_t>(nCount, BlockSize - s.tail.size());
        // Grown by doubling up to one block: a rare character's stream takes
        // its few bytes, not a whole block, until it is written.
        if (s.tail.capacity() < s.tail.size() + nTake)
            s.tail.reserve(std::min<size_t>(BlockSize, std::max(s.tail.size() + nTake, 2 * s.tail.capacity())));
        s.tail.insert(s.tail.end(), pBytes, pBytes + nTake);
        pBytes += nTake;
        nCount -= nTake;
    }
    return true;
}

bool CIndexWriter::AppendPacked(SlotStream& s, uint32_t n, std::string& strError) {
    uint8_t bytes[3];
    return Append(s, bytes, static_cast<size_t>(PutPacked(bytes, n) - bytes), strError);
}

bool CIndexWriter::AddPage(uint32_t nPage, std::vector<Occurrence>& occurrences, std::string& strError) {
    for (const Occurrence& occurrence : occurrences)
        if (occurrence.slot < 0 || occurrence.slot >= CIndex::SlotCount) {
            strError = "slot " + std::to_string(occurrence.slot) + " is outside the index";
            return false;
        }
    // Grouped by slot in two passes, counting then placing; the streams are
    // independent, so the slots need no order among themselves.
    m_touched.clear();
    for (const Occurrence& occurrence : occurrences)
        if (m_counts[static_cast<size_t>(occurrence.slot)]++ == 0) m_touched.push_back(occurrence.slot);
    uint32_t nStart = 0;
    for (int32_t nSlot : m_touched) {
        uint32_t& nCount = m_counts[static_cast<size_t>(nSlot)];
        const uint32_t n = nCount;
        nCount = nStart;  // where the slot's positions go
        nStart += n;
    }
    m_positions.resize(occurrences.size());
    for (const Occurrence& occurrence : occurrences)
        m_positions[m_counts[static_cast<size_t>(occurrence.slot)]++] = occurrence.position;
    // Each count is now the end of its slot's positions, which start where
    // the previous slot's end.
    bool bOk = true;
    nStart = 0;
    for (int32_t nSlot : m_touched) {
        uint32_t& nEnd = m_counts[static_cast<size_t>(nSlot)];
        if (bOk)
            bOk = AddRecord(nSlot, nPage, m_positions.data() + nStart, m_positions.data() + nEnd, strError);
        nStart = nEnd;
        nEnd = 0;
    }
    return bOk;
}

bool CIndexWriter::AddRecord(int32_t nSlot, uint32_t nPage, uint32_t* pFirst, uint32_t* pLast,
                             std::string& strError) {
    if (!std::is_sorted(pFirst, pLast)) std::sort(pFirst, pLast);
    SlotStream& s = m_slots[static_cast<size_t>(nSlot)];
    if (s.open) {
        // A record still open from AddPosition: AddPosition says what to do.
        for (const uint32_t* p = pFirst; p != pLast; ++p)
            if (!AddPosition(nSlot, nPage, *p, strError)) return false;
        return true;
    }
    if (s.any && nPage <= s.lastWrittenPage) {
        strError = "pages must ascend within a slot";
        return false;
    }
    const uint32_t nStep = s.any ? nPage - s.lastWrittenPage : nPage;
    if (nStep > MaxStep) {
        strError = "page step " + std::to_string(nStep) + " does not fit a packed number";
        return false;
    }
    // The record whole: page step, L, positions (at most 3 bytes each).
    m_record.resize(5 + 3 * static_cast<size_t>(pLast - pFirst));
    uint8_t* const pPositions = PutPacked(m_record.data(), nStep) + 2;
    uint8_t* pOut = pPositions;
    uint32_t nLast = *pFirst;
    if (nLast > MaxStep) {
        strError = "position " + std::to_string(nLast) + " does not fit a packed number";
        return false;
    }
    pOut = PutPacked(pOut, nLast);
    uint32_t nCount = 1;
    for (const uint32_t* p = pFirst + 1; p != pLast; ++p) {
        const uint32_t nPosition = *p;
        if (nPosition == nLast) continue;  // a repeated (page, position)
        if (nPosition - nLast > MaxStep) {
            strError = "position step " + std::to_string(nPosition - nLast) + " does not fit a packed number";
            return false;
        }
        pOut = PutPacked(pOut, nPosition - nLast);
        nLast = nPosition;
        ++nCount;
    }
    const size_t nLength = static_cast<size_t>(pOut - pPositions);
    if (nLength > MaxPositionBytes) {
        strError = "page " + std::to_string(nPage) + " has more position data than a record can hold";
        return false;
    }
    pPositions[-2] = static_cast<uint8_t>(nLength & 0xFF);
    pPositions[-1] = static_cast<uint8_t>(nLength >> 8);
    if (!Append(s, m_record.data(), static_cast<size_t>(pOut - m_record.data()), strError)) return false;
    s.any = true;
    s.page = nPage;
    s.position = nLast;
    s.lastWrittenPage = nPage;
    ++s.pageCount;
    s.occurrences += nCount;
    return true;
}

// Ends the open record: its L, written when it was opened as two zero
// bytes, becomes the length of its position data.
bool CIndexWriter::CloseRecord(SlotStream& s, std::string& strError) {
    if (!s.open) return true;
    const uint64_t nLength = s.size - (s.lengthAt + 2);
    if (nLength > MaxPositionBytes) {
        strError = "page " + std::to_string(s.page) + " has more position data than a record can hold";
        return false;
    }
    for (uint64_t i = 0; i < 2; ++i) {
        const uint64_t nAt = s.lengthAt + i;
        const size_t nBlock = static_cast<size_t>(nAt / BlockSize);
        const auto nOffset = static_cast<uint32_t>(nAt % BlockSize);
        const auto nByte = static_cast<uint8_t>(nLength >> (8 * i));
        if (nBlock < s.blocks.size()) {
            if (!m_pool.Patch(s.blocks[nBlock], nOffset, nByte, strError)) return false;
        } else {
            s.tail[nOffset] = nByte;
        }
    }
    s.lastWrittenPage = s.page;
    s.open = false;
    ++s.pageCount;
    return true;
}

bool CIndexWriter::AddPosition(int32_t nSlot, uint32_t nPage, uint32_t nPosition, std::string& strError) {
    if (nSlot < 0 || nSlot >= CIndex::SlotCount) {
        strError = "slot " + std::to_string(nSlot) + " is outside the index";
        return false;
    }
    SlotStream& s = m_slots[static_cast<size_t>(nSlot)];
    if (s.open && nPage == s.page) {
        if (nPosition == s.position) return true;
        if (nPosition < s.position) {
            strError = "positions must ascend within a page";
            return false;
        }
        uint32_t nStep = nPosition - s.position;
        if (nStep > MaxStep) {
            strError = "position step " + std::to_string(nStep) + " does not fit a packed number";
            return false;
        }
        if (!AppendPacked(s, nStep, strError)) return false;
    } else {
        if ((s.open && nPage < s.page) || (!s.open && s.any && nPage <= s.lastWrittenPage)) {
            strError = "pages must ascend within a slot";
            return false;
        }
        if (!CloseRecord(s, strError)) return false;
        const uint32_t nStep = s.any ? nPage - s.lastWrittenPage : nPage;
        if (nStep > MaxStep) {
            strError = "page step " + std::to_string(nStep) + " does not fit a packed number";
            return false;
        }
        if (nPosition > MaxStep) {
            strError = "position " + std::to_string(nPosition) + " does not fit a packed number";
            return false;
        }
        if (!AppendPacked(s, nStep, strError)) return false;
        s.lengthAt = s.size;
        static const uint8_t Zeros[2] = {0, 0};
        if (!Append(s, Zeros, 2, strError)) return false;
        s.open = true;
        s.any = true;
        s.page = nPage;
        if (!AppendPacked(s, nPosition, strError)) return false;
    }
    s.position = nPosition;
    ++s.occurrences;
    return true;
}

bool CIndexWriter::CheckPostingsBlocks(uint64_t nBlocks, const std::string& strPostingsPath, std::string& strError) {
    static_assert(MaxPostingsBlocks * PostingCursor::BlockSize == uint64_t{1} << 32, "4 GiB of blocks");
    if (nBlocks <= MaxPostingsBlocks) return true;
    strError = strPostingsPath + ": the postings exceed 4 GiB (" + std::to_string(nBlocks) + " blocks of " +
               std::to_string(PostingCursor::BlockSize) + " bytes; a postings file holds at most " +
               std::to_string(MaxPostingsBlocks) + "); build the corpus from fewer pages";
    return false;
}

bool CIndexWriter::Write(const std::string& strHeaderPath, const std::string& strPostingsPath,
                         std::string& strError) {
    for (SlotStream& s : m_slots)
        if (!CloseRecord(s, strError)) return false;

    // Every stream's blocks; each gets a place in the file.
    struct Piece {
        uint32_t slot;
        uint32_t index;  // block number within the slot's chain
    };
    std::vector<Piece> pieces;
    for (uint32_t slot = 0; slot < m_slots.size(); ++slot) {
        const SlotStream& s = m_slots[slot];
        const auto nBlocks = static_cast<uint32_t>(s.blocks.size() + (s.tail.empty() ? 0 : 1));
        for (uint32_t i = 0; i < nBlocks; ++i) pieces.push_back({slot, i});
    }
    if (!CheckPostingsBlocks(pieces.size(), strPostingsPath, strError)) return false;
    if (m_nShuffleSeed != 0) {
        std::mt19937_64 rng(m_nShuffleSeed);
        std::shuffle(pieces.begin(), pieces.end(), rng);
    }
    // A postings file cannot be empty (it could not be mapped): an index
    // without any occurrence still gets one block of zeros.
    const size_t nFileBlocks = std::max<size_t>(pieces.size(), 1);
    std::vector<uint32_t> firstBlock(m_slots.size(), CIndex::NoBlock);
    std::vector<uint32_t> nextBlock(nFileBlocks, 0);
    std::vector<std::vector<uint32_t>> placeOf(m_slots.size());
    for (uint32_t b = 0; b < pieces.size(); ++b) {
        std::vector<uint32_t>& places = placeOf[pieces[b].slot];
        if (places.size() <= pieces[b].index) places.resize(pieces[b].index + 1);
        places[pieces[b].index] = b;
    }
    for (uint32_t slot = 0; slot < m_slots.size(); ++slot) {
        const std::vector<uint32_t>& places = placeOf[slot];
        if (places.empty()) continue;
        firstBlock[slot] = places[0];
        for (size_t i = 0; i + 1 < places.size(); ++i) nextBlock[places[i]] = places[i + 1];
        // The last block's entry is never consulted; point it at itself.
        nextBlock[places.back()] = places.back();
    }

    std::string strHeader;
    strHeader.reserve(CIndex::HeaderTablesSize + nextBlock.size() * 4);
    for (uint32_t n : firstBlock) PutUint32(strHeader, n);
    // Two tables that readers skip: pages per slot (16-bit, capped) and
    // occurrences per slot.
    for (const SlotStream& s : m_slots) {
        uint32_t n = std::min<uint32_t>(s.pageCount, 0xFFFF);
        strHeader.push_back(static_cast<char>(n & 0xFF));
        strHeader.push_back(static_cast<char>(n >> 8));
    }
    for (const SlotStream& s : m_slots) PutUint32(strHeader, s.occurrences);
    for (const SlotStream& s : m_slots) PutUint32(strHeader, s.any ? s.lastWrittenPage : 0);
    for (uint32_t n : nextBlock) PutUint32(strHeader, n);
    if (!CAtomicFile::Write(strHeaderPath, strHeader, CAtomicFile::Mode::Durable, strError)) return false;

    // The blocks in file order: the full ones from the pool, each stream's
    // last from its tail, its unused end zeros.
    CAtomicFile postings;
    if (!postings.Open(strPostingsPath, CAtomicFile::Mode::Durable, strError)) return false;
    if (pieces.empty()) {
        const std::string strZeros(BlockSize, '\0');
        if (!postings.Append(strZeros, strError)) return false;
    }
    // Written a chunk of blocks at a time.
    std::vector<uint8_t> chunk(size_t{CBlockPool::ChunkBlocks} * BlockSize);
    size_t nFilled = 0;
    for (const Piece& piece : pieces) {
        const SlotStream& s = m_slots[piece.slot];
        uint8_t* pBlock = chunk.data() + nFilled;
        if (piece.index < s.blocks.size()) {
            if (!m_pool.Read(s.blocks[piece.index], pBlock, strError)) return false;
        } else {
            std::fill(std::copy(s.tail.begin(), s.tail.end(), pBlock), pBlock + BlockSize, uint8_t{0});
        }
        nFilled += BlockSize;
        if (nFilled == chunk.size() || &piece == &pieces.back()) {
            if (!postings.Append(reinterpret_cast<const char*>(chunk.data()), nFilled, strError)) return false;
            nFilled = 0;
        }
    }
    return postings.Commit(strError);
}
