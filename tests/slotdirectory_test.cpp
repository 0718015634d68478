#include "index/slotdirectory.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr uint32_t B = PostingCursor::BlockSize;

// A postings file whose one chain runs through the blocks in the order
// given, holding stream; bytes not written are zero.
struct Chain {
    Chain(const std::vector<uint32_t>& order, const std::vector<uint8_t>& stream) {
        uint32_t nBlocks = 0;
        for (uint32_t b : order) nBlocks = std::max(nBlocks, b + 1);
        bytes.assign(static_cast<size_t>(nBlocks) * B, 0);
        next.assign(nBlocks, 0);
        for (size_t i = 0; i + 1 < order.size(); ++i) next[order[i]] = order[i + 1];
        for (size_t i = 0; i < stream.size(); ++i) bytes[static_cast<size_t>(order[i / B]) * B + i % B] = stream[i];
        view.pData = bytes.data();
        view.nSize = bytes.size();
        view.pNextBlock = next.data();
        view.nNextBlocks = nBlocks;
    }
    std::vector<uint8_t> bytes;
    std::vector<uint32_t> next;
    PostingsView view;
};

// Records of nPages pages (page 3k), each with 1 + k % 3 positions, the
// first at k % 50; every record takes 6 to 8 bytes, so they straddle
// block ends now and then.
std::vector<uint8_t> Stream(uint32_t nPages) {
    std::vector<uint8_t> stream;
    for (uint32_t k = 0; k < nPages; ++k) {
        stream.push_back(k == 0 ? 0 : 3);
        const uint32_t nPositions = 1 + k % 3;
        stream.push_back(static_cast<uint8_t>(nPositions));
        stream.push_back(0);
        stream.push_back(static_cast<uint8_t>(k % 50));
        for (uint32_t i = 1; i < nPositions; ++i) stream.push_back(1);
    }
    return stream;
}

TEST(SlotDirectoryTest, FindsEveryRecordAndStartsCursorsOnIt) {
    // 2,000 records (about 10,000 bytes) over three blocks in the order 2,
    // 0, 1; pages 0, 3, 6, ... (a third of the range: a bitmap).
    const uint32_t nPages = 2000;
    const Chain chain({2, 0, 1}, Stream(nPages));
    auto pDirectory = CSlotDirectory::Build(chain.view, 2, 3 * (nPages - 1), 100000);
    ASSERT_TRUE(pDirectory);
    const CSlotDirectory& d = *pDirectory;
    EXPECT_TRUE(d.HasBitmap());
    EXPECT_FALSE(d.EndsBad());
    ASSERT_EQ(d.RecordCount(), nPages);
    size_t nFrom = 0;
    for (uint32_t nPage = 0; nPage <= 3 * nPages; ++nPage) {
        size_t nRecord = 0;
        const bool bHeld = d.Find(nPage, nFrom, nRecord);
        ASSERT_EQ(bHeld, nPage % 3 == 0 && nPage < 3 * nPages) << nPage;
        if (!bHeld) continue;
        const uint32_t k = nPage / 3;
        ASSERT_EQ(nRecord, k);
        EXPECT_EQ(d.Hits(k), 1 + k % 3);
        EXPECT_EQ(d.Mask(k) & 1ull << (k % 50), 1ull << (k % 50));
        PostingCursor cursor;
        d.StartAt(&chain.view, k, cursor);
        EXPECT_EQ(cursor.page, nPage);
        ASSERT_EQ(cursor.ReadPacked(true), k % 50) << nPage;
        EXPECT_EQ(cursor.bytesLeft, k % 3);
        EXPECT_FALSE(cursor.Bad());
        nFrom = nRecord;
    }
    EXPECT_EQ(d.Seek(3 * 100 + 1, 0), 101u);
    EXPECT_EQ(d.Seek(3 * 100 + 1, 120), 120u);  // never moves back
    EXPECT_EQ(d.Seek(0xFFFFFFFF, 5), nPages);

    // No more records than allowed.
    EXPECT_FALSE(CSlotDirectory::Build(chain.view, 2, 3 * (nPages - 1), nPages - 1));
}

TEST(SlotDirectoryTest, SparsePagesGetAListAndGallop) {
    std::vector<uint8_t> stream;
    for (uint32_t k = 0; k < 100; ++k) {
        stream.insert(stream.end(), {0x81, 0x00, 0x01, 0x00, 0x07});  // step 256, one position
    }
    const Chain chain({0}, stream);
    auto pDirectory = CSlotDirectory::Build(chain.view, 0, 256 * 100, 1000);
    ASSERT_TRUE(pDirectory);
    EXPECT_FALSE(pDirectory->HasBitmap());
    size_t nRecord = 0;
    EXPECT_TRUE(pDirectory->Find(256 * 57, 3, nRecord));
    EXPECT_EQ(nRecord, 56u);
    EXPECT_FALSE(pDirectory->Find(256 * 57 + 1, nRecord, nRecord));
    EXPECT_EQ(nRecord, 57u);
}

TEST(SlotDirectoryTest, CorruptChainsEndTheDirectoryWhereACursorGoesBad) {
    struct Case {
        const char* pszName;
        std::vector<uint8_t> stream;
        uint32_t nLastPage;
        size_t nRecords;  // the good records before the damage
    } cases[] = {
        {"pages that do not ascend", {5, 1, 0, 1, 0, 1, 0, 2, 9, 1, 0, 3}, 30, 1},
        {"a page beyond the last page", {5, 1, 0, 1, 9, 1, 0, 2}, 10, 1},
        {"positions that run past L", {5, 1, 0, 1, 2, 1, 0, 0x80, 0x01}, 30, 1},
        {"a record without positions", {5, 1, 0, 1, 2, 0, 0, 3, 1, 0, 1}, 30, 1},
        {"the file ends (zeros: step 0)", {5, 1, 0, 1}, 30, 1},
        {"bad from the first record", {0, 0, 0}, 30, 0},
    };
    for (const Case& c : cases) {
        const Chain chain({0}, c.stream);
        auto pDirectory = CSlotDirectory::Build(chain.view, 0, c.nLastPage, 1000);
        ASSERT_TRUE(pDirectory) << c.pszName;
        EXPECT_TRUE(pDirectory->EndsBad()) << c.pszName;
        EXPECT_EQ(pDirectory->RecordCount(), c.nRecords) << c.pszName;
    }
    // A chain that loops, and a first block beyond the file.
    Chain loop({0}, std::vector<uint8_t>(B, 0x01));  // page steps of 1 with L = 257 ...
    loop.next[0] = 0;
    for (uint32_t nFirst : {0u, 5u}) {
        auto pDirectory = CSlotDirectory::Build(loop.view, nFirst, 0xFFFFFFFF, 1u << 20);
        ASSERT_TRUE(pDirectory);
        EXPECT_TRUE(pDirectory->EndsBad());
    }
}

TEST(SlotDirectoryTest, CacheKeepsItsBound) {
    const Chain chain({0, 1}, Stream(1500));
    CSlotDirectoryCache cache;
    // The first search of a slot gets none (it walks), the second builds it.
    EXPECT_FALSE(cache.Get(1, chain.view, 0, 3 * 1499));
    EXPECT_FALSE(cache.Get(2, chain.view, 0, 3 * 1499));
    auto pFirst = cache.Get(1, chain.view, 0, 3 * 1499);
    ASSERT_TRUE(pFirst);
    EXPECT_EQ(cache.Get(1, chain.view, 0, 3 * 1499), pFirst);  // kept
    EXPECT_TRUE(cache.Get(2, chain.view, 0, 3 * 1499));
    cache.SetLimits(CSlotDirectoryCache::DefaultMaxBytes, 100000, 1);
    EXPECT_EQ(cache.Bytes(), 0u);
    ASSERT_TRUE(cache.Get(1, chain.view, 0, 3 * 1499));  // built on the first search
    const size_t nOne = cache.Bytes();
    EXPECT_GE(nOne, pFirst->Bytes());

    // Room for two: the least recently used goes first.
    cache.SetLimits(2 * nOne + nOne / 2, 100000, 1);
    auto p1 = cache.Get(1, chain.view, 0, 3 * 1499);
    auto p2 = cache.Get(2, chain.view, 0, 3 * 1499);
    EXPECT_EQ(cache.Get(1, chain.view, 0, 3 * 1499), p1);
    cache.Get(3, chain.view, 0, 3 * 1499);  // drops 2, not 1
    EXPECT_LE(cache.Bytes(), 2 * nOne + nOne / 2);
    EXPECT_EQ(cache.Get(1, chain.view, 0, 3 * 1499), p1);
    EXPECT_NE(cache.Get(2, chain.view, 0, 3 * 1499), p2);

    // Too small to keep one: each is built for its caller only.
    cache.SetLimits(16, 100000, 1);
    EXPECT_TRUE(cache.Get(1, chain.view, 0, 3 * 1499));
    EXPECT_EQ(cache.Bytes(), 0u);
    // Directories off.
    cache.SetLimits(1u << 30, 0);
    EXPECT_FALSE(cache.Get(1, chain.view, 0, 3 * 1499));
}

}  // namespace
