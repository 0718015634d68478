#include "index/slotdirectory.h"

#include <algorithm>

namespace {

constexpr uint32_t BlockBits = 12;  // PostingCursor::BlockSize is 1 << 12
static_assert(PostingCursor::BlockSize == 1u << BlockBits, "a place is chain index and byte in 32 bits");
// A place must fit 32 bits. A valid chain has fewer blocks (the postings
// hold at most 4 GiB); a longer one can only be a loop.
constexpr size_t MaxChainBlocks = (size_t{1} << (32 - BlockBits)) - 1;

}  // namespace

std::shared_ptr<const CSlotDirectory> CSlotDirectory::Build(const PostingsView& view, uint32_t nFirstBlock,
                                                            uint32_t nLastPage, size_t nMaxRecords) {
    auto pDirectory = std::make_shared<CSlotDirectory>();
    CSlotDirectory& d = *pDirectory;
    PostingCursor cursor;
    cursor.RecordChain(&d.m_chain);
    cursor.Start(&view, nFirstBlock);
    for (;;) {
        cursor.ReadPageHeader();
        if (cursor.Bad() || cursor.page > nLastPage || d.m_chain.size() > MaxChainBlocks) {
            d.m_bEndsBad = true;
            break;
        }
        // The positions start at the cursor's byte; a byte of 4,096 is byte
        // 0 of the next block of the chain, which reading them enters.
        const uint32_t nPlace = static_cast<uint32_t>(((d.m_chain.size() - 1) << BlockBits) + cursor.offset);
        const uint16_t nLength = cursor.bytesLeft;
        uint64_t nMask = 0;
        const uint32_t nHits = cursor.ScanPositions(nMask);
        if (cursor.Bad()) {
            d.m_bEndsBad = true;
            break;
        }
        if (d.m_pages.size() >= nMaxRecords) return nullptr;
        d.m_pages.push_back(cursor.page);
        d.m_places.push_back(nPlace);
        d.m_lengths.push_back(nLength);
        d.m_hits.push_back(static_cast<uint16_t>(nHits));
        d.m_masks.push_back(nMask);
        if (cursor.page == nLastPage) break;
    }
    cursor.RecordChain(nullptr);
    d.m_pages.shrink_to_fit();
    d.m_places.shrink_to_fit();
    d.m_lengths.shrink_to_fit();
    d.m_hits.shrink_to_fit();
    d.m_masks.shrink_to_fit();
    d.m_chain.shrink_to_fit();

    // A bitmap where the pages are dense enough (one in 64 or more) that it
    // takes at most twice the memory of the page list.
    if (!d.m_pages.empty()) {
        const uint64_t nWords = static_cast<uint64_t>(d.m_pages.back()) / 64 + 1;
        if (nWords <= d.m_pages.size()) {
            d.m_bitmap.assign(static_cast<size_t>(nWords), 0);
            for (uint32_t nPage : d.m_pages) d.m_bitmap[nPage / 64] |= uint64_t{1} << (nPage % 64);
            d.m_ranks.resize(d.m_bitmap.size());
            uint32_t nBefore = 0;
            for (size_t w = 0; w < d.m_bitmap.size(); ++w) {
                d.m_ranks[w] = nBefore;
                nBefore += PopCount(d.m_bitmap[w]);
            }
        }
    }
    return pDirectory;
}

size_t CSlotDirectory::Seek(uint32_t nPage, size_t nFrom) const {
    const size_t n = m_pages.size();
    if (nFrom >= n || m_pages[nFrom] >= nPage) return nFrom;
    // m_pages[nLow] < nPage; gallop until m_pages[nHigh] >= nPage (or the end).
    size_t nLow = nFrom;
    size_t nStep = 1;
    size_t nHigh = nFrom + 1;
    while (nHigh < n && m_pages[nHigh] < nPage) {
        nLow = nHigh;
        nStep *= 2;
        nHigh = nLow + nStep;
    }
    nHigh = std::min(nHigh, n);
    return static_cast<size_t>(std::lower_bound(m_pages.begin() + static_cast<std::ptrdiff_t>(nLow + 1),
                                                m_pages.begin() + static_cast<std::ptrdiff_t>(nHigh), nPage) -
                               m_pages.begin());
}

bool CSlotDirectory::FindInList(uint32_t nPage, size_t nFrom, size_t& nRecord) const {
    nRecord = Seek(nPage, nFrom);
    return nRecord < m_pages.size() && m_pages[nRecord] == nPage;
}

void CSlotDirectory::StartAt(const PostingsView* pView, size_t i, PostingCursor& cursor) const {
    const uint32_t nPlace = m_places[i];
    const size_t nChainIndex = nPlace >> BlockBits;
    cursor.Resume(pView, m_chain[nChainIndex], static_cast<uint16_t>(nPlace & (PostingCursor::BlockSize - 1)),
                  nChainIndex + 1, m_pages[i], false);
    cursor.bytesLeft = m_lengths[i];
}

size_t CSlotDirectory::Bytes() const {
    return sizeof(*this) + m_pages.capacity() * sizeof(uint32_t) + m_places.capacity() * sizeof(uint32_t) +
           m_lengths.capacity() * sizeof(uint16_t) + m_hits.capacity() * sizeof(uint16_t) + m_masks.capacity() * sizeof(uint64_t) + m_chain.capacity() * sizeof(uint32_t) +
           m_bitmap.capacity() * sizeof(uint64_t) + m_ranks.capacity() * sizeof(uint32_t);
}

void CSlotDirectoryCache::SetLimits(size_t nMaxBytes, size_t nMaxRecords, unsigned nBuildOnUse) {
    m_nMaxBytes = nMaxBytes;
    m_nMaxRecords = nMaxRecords;
    m_nBuildOnUse = std::max(nBuildOnUse, 1u);
    Clear();
}

std::shared_ptr<const CSlotDirectory> CSlotDirectoryCache::Get(int32_t nSlot, const PostingsView& view,
                                                               uint32_t nFirstBlock, uint32_t nLastPage) {
    if (m_nMaxRecords == 0) return nullptr;
    Entry entry;
    auto it = m_entries.find(nSlot);
    if (it != m_entries.end()) {
        if (it->second.pDirectory || it->second.nUses >= m_nBuildOnUse) {
            m_uses.splice(m_uses.begin(), m_uses, it->second.use);
            return it->second.pDirectory;
        }
        entry.nUses = it->second.nUses;
        m_nBytes -= it->second.nBytes;
        m_uses.erase(it->second.use);
        m_entries.erase(it);
    }
    ++entry.nUses;
    // A slot refused for its size is remembered too, so that it is not
    // walked again only to be refused.
    if (entry.nUses >= m_nBuildOnUse)
        entry.pDirectory = CSlotDirectory::Build(view, nFirstBlock, nLastPage, m_nMaxRecords);
    entry.nBytes = (entry.pDirectory ? entry.pDirectory->Bytes() : 0) + sizeof(Entry) + 4 * sizeof(void*);
    std::shared_ptr<const CSlotDirectory> pDirectory = entry.pDirectory;
    if (entry.nBytes <= m_nMaxBytes) Keep(nSlot, std::move(entry));  // else used by this search only
    return pDirectory;
}

void CSlotDirectoryCache::Keep(int32_t nSlot, Entry entry) {
    while (!m_uses.empty() && m_nBytes + entry.nBytes > m_nMaxBytes) {
        auto oldest = m_entries.find(m_uses.back());
        m_nBytes -= oldest->second.nBytes;
        m_entries.erase(oldest);
        m_uses.pop_back();
    }
    m_uses.push_front(nSlot);
    entry.use = m_uses.begin();
    m_nBytes += entry.nBytes;
    m_entries.emplace(nSlot, std::move(entry));
}

void CSlotDirectoryCache::Clear() {
    m_entries.clear();
    m_uses.clear();
    m_nBytes = 0;
}
