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

void CIndexWriter::NewBlock(SlotStream& s) {
    const size_t nBlock = m_pBlockOf.size();
    if (nBlock % ChunkBlocks == 0) m_chunks.push_back(std::make_unique<uint8_t[]>(size_t{ChunkBlocks} * BlockSize));
    s.pLast = m_chunks.back().get() + (nBlock % ChunkBlocks) * BlockSize;
    m_pBlockOf.push_back(s.pLast);
    s.blocks.push_back(static_cast<uint32_t>(nBlock));
    s.used = 0;
}

void CIndexWriter::AppendPacked(std::vector<uint8_t>& out, uint32_t n) {
    if (n < 0x80) {
        out.push_back(static_cast<uint8_t>(n));
    } else if (n < 0x4000) {
        out.push_back(static_cast<uint8_t>(0x80 | (n >> 8)));
        out.push_back(static_cast<uint8_t>(n & 0xFF));
    } else {
        out.push_back(static_cast<uint8_t>(0xC0 | (n >> 16)));
        out.push_back(static_cast<uint8_t>((n >> 8) & 0xFF));
        out.push_back(static_cast<uint8_t>(n & 0xFF));
    }
}

bool CIndexWriter::AddPage(uint32_t nPage, std::vector<Occurrence>& occurrences, std::string& strError) {
    std::sort(occurrences.begin(), occurrences.end(), [](const Occurrence& a, const Occurrence& b) {
        return a.slot != b.slot ? a.slot < b.slot : a.position < b.position;
    });
    for (size_t i = 0; i < occurrences.size();) {
        const int32_t nSlot = occurrences[i].slot;
        size_t nEnd = i + 1;
        while (nEnd < occurrences.size() && occurrences[nEnd].slot == nSlot) ++nEnd;
        if (nSlot < 0 || nSlot >= CIndex::SlotCount || m_slots[static_cast<size_t>(nSlot)].open) {
            // A slot outside the index, or one with a record still open from
            // AddPosition: AddPosition says what to do.
            for (; i < nEnd; ++i)
                if (!AddPosition(nSlot, nPage, occurrences[i].position, strError)) return false;
            continue;
        }
        SlotStream& s = m_slots[static_cast<size_t>(nSlot)];
        if (s.any && nPage <= s.lastWrittenPage) {
            strError = "pages must ascend within a slot";
            return false;
        }
        const uint32_t nStep = s.any ? nPage - s.lastWrittenPage : nPage;
        if (nStep > MaxStep) {
            strError = "page step " + std::to_string(nStep) + " does not fit a packed number";
            return false;
        }
        m_record.clear();
        uint32_t nLast = occurrences[i].position;
        if (nLast > MaxStep) {
            strError = "position " + std::to_string(nLast) + " does not fit a packed number";
            return false;
        }
        AppendPacked(m_record, nLast);
        uint32_t nCount = 1;
        for (size_t k = i + 1; k < nEnd; ++k) {
            const uint32_t nPosition = occurrences[k].position;
            if (nPosition == nLast) continue;  // a repeated (page, position)
            if (nPosition - nLast > MaxStep) {
                strError = "position step " + std::to_string(nPosition - nLast) + " does not fit a packed number";
                return false;
            }
            AppendPacked(m_record, nPosition - nLast);
            nLast = nPosition;
            ++nCount;
        }
        if (m_record.size() > MaxPositionBytes) {
            strError = "page " + std::to_string(nPage) + " has more position data than a record can hold";
            return false;
        }
        PutPacked(s, nStep);
        Put(s, static_cast<uint8_t>(m_record.size() & 0xFF));
        Put(s, static_cast<uint8_t>(m_record.size() >> 8));
        for (uint8_t b : m_record) Put(s, b);
        s.any = true;
        s.page = nPage;
        s.position = nLast;
        s.lastWrittenPage = nPage;
        ++s.pageCount;
        s.occurrences += nCount;
        i = nEnd;
    }
    return true;
}

void CIndexWriter::PutPacked(SlotStream& s, uint32_t n) {
    if (n < 0x80) {
        Put(s, static_cast<uint8_t>(n));
    } else if (n < 0x4000) {
        Put(s, static_cast<uint8_t>(0x80 | (n >> 8)));
        Put(s, static_cast<uint8_t>(n & 0xFF));
    } else {
        Put(s, static_cast<uint8_t>(0xC0 | (n >> 16)));
        Put(s, static_cast<uint8_t>((n >> 8) & 0xFF));
        Put(s, static_cast<uint8_t>(n & 0xFF));
    }
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
        BlockBytes(s.blocks[static_cast<size_t>(nAt / BlockSize)])[nAt % BlockSize] =
            static_cast<uint8_t>(nLength >> (8 * i));
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
        PutPacked(s, nStep);
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
        PutPacked(s, nStep);
        s.lengthAt = s.size;
        Put(s, 0);
        Put(s, 0);
        s.open = true;
        s.any = true;
        s.page = nPage;
        PutPacked(s, nPosition);
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
        const uint32_t nBlocks = static_cast<uint32_t>(m_slots[slot].blocks.size());
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

    // The blocks in file order, from the pool (the unused end of a
    // stream's last block is still zero).
    CAtomicFile postings;
    if (!postings.Open(strPostingsPath, CAtomicFile::Mode::Durable, strError)) return false;
    if (pieces.empty()) {
        const std::string strZeros(BlockSize, '\0');
        if (!postings.Append(strZeros, strError)) return false;
    }
    for (const Piece& piece : pieces) {
        const uint8_t* pBlock = BlockBytes(m_slots[piece.slot].blocks[piece.index]);
        if (!postings.Append(reinterpret_cast<const char*>(pBlock), BlockSize, strError)) return false;
    }
    return postings.Commit(strError);
}
