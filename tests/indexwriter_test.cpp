// The index writer's two ways in (a page at a time, an occurrence at a time)
// and its two places for full blocks (memory, a temporary file) write the
// same files, also where a record's length is set after its block went to
// the file, and the postings read back as they went in.

#include "index/index.h"
#include "index/indexwriter.h"
#include "index/postingcursor.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

using Page = std::vector<CIndexWriter::Occurrence>;

// Several mebibytes of postings: slot 7 opens with one long record (more
// than a block), then many pages of other slots, so that by the time slot 7
// comes back its first block is in the temporary file.
std::vector<Page> MakePages() {
    std::mt19937 rng(12345);
    std::vector<Page> pages(4000);
    for (uint32_t i = 0; i < 6000; ++i) pages[0].push_back({7, i});
    for (size_t p = 1; p < pages.size(); ++p) {
        for (uint32_t i = 0; i < 400; ++i) {
            const auto nSlot = static_cast<int32_t>(rng() % 300 + 100);
            pages[p].push_back({nSlot, i * 2});
            if (rng() % 50 == 0) pages[p].push_back({nSlot, i * 2});  // repeated: ignored
        }
        if (p % 1000 == 999) pages[p].push_back({7, 5});
        std::shuffle(pages[p].begin(), pages[p].end(), rng);
    }
    return pages;
}

std::string Files(const CTempDir& dir, const std::string& strName) {
    return dir.Read(strName + ".h") + "|" + dir.Read(strName + ".m");
}

}  // namespace

TEST(IndexWriterTest, EveryWayInAndEveryPoolWriteTheSameFiles) {
    const std::vector<Page> pages = MakePages();
    CTempDir dir;
    std::string strError;
    for (const std::string strName : {"pages-memory", "pages-spilled", "positions-spilled"}) {
        CIndexWriter writer;
        if (strName.find("spilled") != std::string::npos) {
            ASSERT_TRUE(writer.SpillTo(dir.Path(), strError)) << strError;
        }
        for (size_t p = 0; p < pages.size(); ++p) {
            Page page = pages[p];
            if (strName.compare(0, 5, "pages") == 0) {
                ASSERT_TRUE(writer.AddPage(static_cast<uint32_t>(p), page, strError)) << strError;
                continue;
            }
            std::sort(page.begin(), page.end(), [](const auto& a, const auto& b) { return a.position < b.position; });
            std::stable_sort(page.begin(), page.end(), [](const auto& a, const auto& b) { return a.slot < b.slot; });
            for (const CIndexWriter::Occurrence& occurrence : page)
                ASSERT_TRUE(writer.AddPosition(occurrence.slot, static_cast<uint32_t>(p), occurrence.position, strError))
                    << strError;
        }
        ASSERT_TRUE(writer.Write(dir.File(strName + ".h"), dir.File(strName + ".m"), strError)) << strError;
    }
    const std::string strReference = Files(dir, "pages-memory");
    EXPECT_GT(strReference.size(), size_t{4} << 20);
    EXPECT_EQ(Files(dir, "pages-spilled"), strReference);
    EXPECT_EQ(Files(dir, "positions-spilled"), strReference);

    // Slot 7 as it went in, read from the files by hand: its long first
    // record, then one position on each of four pages.
    const std::string strHeader = dir.Read("pages-memory.h");
    const std::string strPostings = dir.Read("pages-memory.m");
    auto uint32At = [&](size_t nAt) {
        uint32_t n = 0;
        for (int i = 3; i >= 0; --i) n = n << 8 | static_cast<uint8_t>(strHeader.at(nAt + static_cast<size_t>(i)));
        return n;
    };
    uint32_t nBlock = uint32At(7 * 4);
    size_t nOffset = 0;
    size_t nRead = 0;
    auto next = [&]() -> uint32_t {
        ++nRead;
        if (nOffset == PostingCursor::BlockSize) {
            nBlock = uint32At(CIndex::HeaderTablesSize + size_t{nBlock} * 4);
            nOffset = 0;
        }
        return static_cast<uint8_t>(strPostings.at(size_t{nBlock} * PostingCursor::BlockSize + nOffset++));
    };
    auto packed = [&]() {
        const uint32_t b = next();
        if (b < 0x80) return b;
        if (b < 0xC0) return (b & 0x3F) << 8 | next();
        const uint32_t b1 = next();
        return (b & 0x3F) << 16 | b1 << 8 | next();
    };
    std::map<uint32_t, size_t> counts;
    for (uint32_t nPage = 0; nPage != 3999;) {
        nPage += packed();
        const uint32_t nLow = next();
        const uint32_t nHigh = next();
        const size_t nEnd = nRead + (nLow | nHigh << 8);
        for (; nRead < nEnd; ++counts[nPage]) packed();
        ASSERT_EQ(nRead, nEnd);
    }
    EXPECT_EQ(counts, (std::map<uint32_t, size_t>{{0, 6000}, {999, 1}, {1999, 1}, {2999, 1}, {3999, 1}}));
}

TEST(IndexWriterTest, ATemporaryFileThatCannotBeMadeIsAnError) {
    CIndexWriter writer;
    std::string strError;
    EXPECT_FALSE(writer.SpillTo("/nonexistent/folder", strError));
    EXPECT_NE(strError.find("/nonexistent/folder"), std::string::npos) << strError;
}
