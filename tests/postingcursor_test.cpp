#include "index/postingcursor.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr uint32_t B = PostingCursor::BlockSize;

// A postings file of nBlocks zeroed blocks with the given chain table.
struct Postings {
    Postings(uint32_t nBlocks, std::vector<uint32_t> next) : bytes(nBlocks * B, 0), nextBlock(std::move(next)) {
        view.pData = bytes.data();
        view.nSize = bytes.size();
        view.pNextBlock = nextBlock.data();
        view.nNextBlocks = static_cast<uint32_t>(nextBlock.size());
    }
    std::vector<uint8_t> bytes;
    std::vector<uint32_t> nextBlock;
    PostingsView view;
};

TEST(PostingCursorTest, NumbersStraddleBlockEnds) {
    // Chain 2 -> 0: a three-byte number whose last two bytes are in block 0,
    // then a two-byte length split 1 + 1 at the next block end.
    Postings p(3, {1, 0, 0});
    p.bytes[2 * B + 4095] = 0xC1;
    p.bytes[0] = 0x02;
    p.bytes[1] = 0x03;
    PostingCursor cursor;
    cursor.Start(&p.view, 2);
    cursor.offset = 4095;
    EXPECT_EQ(cursor.ReadPacked(false), 0x010203u);
    EXPECT_EQ(cursor.block, 0u);
    EXPECT_EQ(cursor.offset, 2);

    // Page header: step 0x85 0x01 (two bytes: 5 * 256 + 1) ending block 0,
    // length 0x34 0x12 across the end of block 0 into block 1.
    p.bytes[4093] = 0x85;
    p.bytes[4094] = 0x01;
    p.bytes[4095] = 0x34;
    p.bytes[B + 0] = 0x12;
    cursor.Start(&p.view, 0);
    cursor.offset = 4093;
    cursor.ReadPageHeader();
    EXPECT_FALSE(cursor.Bad());
    EXPECT_EQ(cursor.page, 5u * 256 + 1);
    EXPECT_EQ(cursor.bytesLeft, 0x1234);
    EXPECT_EQ(cursor.block, 1u);
    EXPECT_EQ(cursor.offset, 1);
}

TEST(PostingCursorTest, SkipPositionsAcrossBlocks) {
    Postings p(2, {1, 0});
    p.bytes[B] = 0x2A;
    PostingCursor cursor;
    cursor.Start(&p.view, 0);
    cursor.offset = 4000;
    cursor.bytesLeft = 200;
    cursor.SkipPositions();
    EXPECT_EQ(cursor.block, 1u);
    EXPECT_EQ(cursor.offset, 104);

    cursor.Start(&p.view, 0);
    cursor.offset = 3000;
    cursor.bytesLeft = 1096;
    cursor.SkipPositions();
    EXPECT_EQ(cursor.block, 0u);
    EXPECT_EQ(cursor.offset, 4096);
    EXPECT_EQ(cursor.NextByte(false), 0x2A);  // offset 0 of the next block
    EXPECT_EQ(cursor.block, 1u);
    EXPECT_FALSE(cursor.Bad());
}

TEST(PostingCursorTest, HostileChainsEndInABadCursor) {
    struct Case {
        const char* pszName;
        uint32_t nBlocks;
        std::vector<uint32_t> next;
        uint32_t nFirst;
    } cases[] = {
        {"chain loops on itself", 2, {0, 0}, 0},
        {"chain loops over two blocks", 2, {1, 0}, 0},
        {"first block beyond the file", 2, {1, 0}, 7},
        {"next block beyond the file", 2, {9, 0}, 0},
        {"block beyond the chain table", 3, {1}, 0},
        {"no chain table at all", 2, {}, 0},
    };
    for (const Case& c : cases) {
        Postings p(c.nBlocks, c.next);
        PostingCursor cursor;
        cursor.Start(&p.view, c.nFirst);
        uint64_t nReads = 0;
        while (!cursor.Bad() && nReads < 100u * B) {
            cursor.NextByte(false);
            ++nReads;
        }
        EXPECT_TRUE(cursor.Bad()) << c.pszName;
        EXPECT_LE(nReads, 4u * B) << c.pszName;
        EXPECT_EQ(cursor.NextByte(false), 0) << c.pszName;  // stays bad
    }
    // SkipPositions on a loop ends too.
    Postings p(1, {0});
    PostingCursor cursor;
    cursor.Start(&p.view, 0);
    for (int i = 0; i < 10 && !cursor.Bad(); ++i) {
        cursor.bytesLeft = 0xFFFF;
        cursor.SkipPositions();
    }
    EXPECT_TRUE(cursor.Bad());
}

TEST(PostingCursorTest, RecordsThatBreakTheFormatEndInABadCursor) {
    // Page 0 (step 0 is fine for the first record), length 1, position 3;
    // then a step of 0, which would repeat page 0.
    Postings p(1, {0});
    const uint8_t stream[] = {0x00, 0x01, 0x00, 0x03, 0x00, 0x01, 0x00, 0x04};
    std::copy(std::begin(stream), std::end(stream), p.bytes.begin());
    PostingCursor cursor;
    cursor.Start(&p.view, 0);
    cursor.ReadPageHeader();
    EXPECT_EQ(cursor.page, 0u);
    EXPECT_EQ(cursor.ReadPacked(true), 3u);
    EXPECT_FALSE(cursor.Bad());
    EXPECT_EQ(cursor.ReadPacked(true), 0u);  // reading past the position data
    EXPECT_TRUE(cursor.Bad());

    cursor.Start(&p.view, 0);
    cursor.ReadPageHeader();
    cursor.SkipPositions();
    cursor.ReadPageHeader();
    EXPECT_TRUE(cursor.Bad());

    // A step that wraps the page index around.
    const uint8_t wrap[] = {0xFF, 0xFF, 0xFF, 0x01, 0x00, 0x00};
    std::fill(p.bytes.begin(), p.bytes.end(), 0);
    std::copy(std::begin(wrap), std::end(wrap), p.bytes.begin());
    cursor.Start(&p.view, 0);
    cursor.page = 0xFFFFFFF0u;
    cursor.ReadPageHeader();
    EXPECT_TRUE(cursor.Bad());
}

TEST(PostingCursorTest, ScanPositionsCountsAndMasksThem) {
    // Positions 3, 3 + 200, 3 + 200 + 70000 (numbers of 1, 2 and 3 bytes),
    // placed at the start of a block (read in place) and across the end of
    // block 0 into block 1 (read number by number).
    const std::vector<uint8_t> positions = {0x03, 0x80, 0xC8, 0xC1, 0x11, 0x70};
    const uint64_t nMask = uint64_t{1} << 3 | uint64_t{1} << (203 % 64) | uint64_t{1} << (70203 % 64);
    for (uint32_t nStart : {0u, B - 4}) {
        Postings p(2, {1, 0});
        std::copy(positions.begin(), positions.end(), p.bytes.begin() + nStart);
        PostingCursor cursor;
        cursor.Start(&p.view, 0);
        cursor.offset = static_cast<uint16_t>(nStart);
        cursor.bytesLeft = static_cast<uint16_t>(positions.size());
        uint64_t nFound = 0;
        EXPECT_EQ(cursor.ScanPositions(nFound), 3u) << nStart;
        EXPECT_EQ(nFound, nMask) << nStart;
        EXPECT_FALSE(cursor.Bad()) << nStart;
        EXPECT_EQ(cursor.bytesLeft, 0) << nStart;
        EXPECT_EQ(cursor.block * B + cursor.offset, (nStart + positions.size()) % (2 * B)) << nStart;

        // The last number runs one byte past L; and a record without positions.
        for (uint16_t nLength : {uint16_t(positions.size() - 1), uint16_t(0)}) {
            cursor.Start(&p.view, 0);
            cursor.offset = static_cast<uint16_t>(nStart);
            cursor.bytesLeft = nLength;
            cursor.ScanPositions(nFound);
            EXPECT_TRUE(cursor.Bad()) << nStart << " L " << nLength;
        }
    }
}

}  // namespace
