#include "index/indexwriter.h"

#include "index/index.h"
#include "index/postingcursor.h"
#include "platform/atomicfile.h"

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <random>

namespace {

void PutUint32(std::string& out, uint32_t n) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((n >> (8 * i)) & 0xFF));
}

}  // namespace

CIndexWriter::CIndexWriter() : m_slots(CIndex::SlotCount) {}

void CIndexWriter::AppendPacked(std::string& out, uint32_t n) {
    if (n < 0x80) {
        out.push_back(static_cast<char>(n));
    } else if (n < 0x4000) {
        out.push_back(static_cast<char>(0x80 | (n >> 8)));
        out.push_back(static_cast<char>(n & 0xFF));
    } else {
        out.push_back(static_cast<char>(0xC0 | (n >> 16)));
        out.push_back(static_cast<char>((n >> 8) & 0xFF));
        out.push_back(static_cast<char>(n & 0xFF));
    }
}

bool CIndexWriter::CloseRecord(SlotStream& s, std::string& strError) {
    if (!s.open) return true;
    uint32_t nStep = s.any ? s.page - s.lastWrittenPage : s.page;
    if (nStep > MaxStep) {
        strError = "page step " + std::to_string(nStep) + " does not fit a packed number";
        return false;
    }
    if (s.positions.size() > MaxPositionBytes) {
        strError = "page " + std::to_string(s.page) + " has more position data than a record can hold";
        return false;
    }
    AppendPacked(s.bytes, nStep);
    s.bytes.push_back(static_cast<char>(s.positions.size() & 0xFF));
    s.bytes.push_back(static_cast<char>(s.positions.size() >> 8));
    s.bytes += s.positions;
    s.positions.clear();
    s.lastWrittenPage = s.page;
    s.any = true;
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
        AppendPacked(s.positions, nStep);
    } else {
        if ((s.open && nPage < s.page) || (!s.open && s.any && nPage <= s.lastWrittenPage)) {
            strError = "pages must ascend within a slot";
            return false;
        }
        if (!CloseRecord(s, strError)) return false;
        if (nPosition > MaxStep) {
            strError = "position " + std::to_string(nPosition) + " does not fit a packed number";
            return false;
        }
        s.open = true;
        s.page = nPage;
        AppendPacked(s.positions, nPosition);
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
    constexpr uint32_t B = PostingCursor::BlockSize;
    for (SlotStream& s : m_slots)
        if (!CloseRecord(s, strError)) return false;

    // Cut every stream into blocks; give each block a place in the file.
    struct Piece {
        uint32_t slot;
        uint32_t index;  // block number within the slot's chain
    };
    std::vector<Piece> pieces;
    for (uint32_t slot = 0; slot < m_slots.size(); ++slot) {
        uint32_t nBlocks = static_cast<uint32_t>((m_slots[slot].bytes.size() + B - 1) / B);
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
    std::string strPostings(nFileBlocks * B, '\0');
    for (uint32_t slot = 0; slot < m_slots.size(); ++slot) {
        const std::vector<uint32_t>& places = placeOf[slot];
        if (places.empty()) continue;
        firstBlock[slot] = places[0];
        for (size_t i = 0; i + 1 < places.size(); ++i) nextBlock[places[i]] = places[i + 1];
        // The last block's entry is never consulted; point it at itself.
        nextBlock[places.back()] = places.back();
        const std::string& bytes = m_slots[slot].bytes;
        for (size_t i = 0; i < places.size(); ++i) {
            size_t nFrom = i * B;
            size_t nCount = std::min<size_t>(B, bytes.size() - nFrom);
            std::copy_n(bytes.data() + nFrom, nCount, strPostings.data() + static_cast<size_t>(places[i]) * B);
        }
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

    return CAtomicFile::Write(strHeaderPath, strHeader, CAtomicFile::Mode::Durable, strError) &&
           CAtomicFile::Write(strPostingsPath, strPostings, CAtomicFile::Mode::Durable, strError);
}
