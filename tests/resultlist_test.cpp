#include "model/resultlist.h"

#include "model/contentstree.h"
#include "model/hitdistribution.h"
#include "support/testcorpus.h"
#include "text/codeconverter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using Numbers = std::vector<uint32_t>;

// "category|book|volume|pageNo|pageIndex|hits" per row, for readable failures.
std::vector<std::string> Rows(const CResultList& results) {
    std::vector<std::string> rows;
    for (size_t i = 0; i < results.GetRowCount(); ++i) {
        const SearchNodeTag row = results.GetRow(i);
        rows.push_back(CCodeConverter::Utf16ToUtf8(row.category) + "|" + CCodeConverter::Utf16ToUtf8(row.bookName) +
                       "|" + CCodeConverter::Utf16ToUtf8(row.volumeName) + "|" + std::to_string(row.pageNo) + "|" +
                       std::to_string(row.pageIndex) + "|" + std::to_string(row.hitCount));
    }
    return rows;
}

// Pages are 1-based here, as the catalogue counts them (page index + 1):
//   K 1..13          slot 1
//     P 1..7         slot 2
//       X 1..3       slot 3, page numbers from 1
//       Y 4..6       slot 4, page numbers from 10
//       (7: in P, in no volume)
//     Q 8..11        slot 5
//       Z 8..11      slot 6, page numbers from 2
//     (12, 13: in K, in no book)
//   M 14..15         slot 7
//     R 14..15       slot 8
//       S 14..15     slot 9
class ResultListTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const CatalogRecord& record :
             {Record(u"K", 1, 1, 13), Record(u"P", 2, 1, 7), Record(u"X", 3, 1, 3, 1), Record(u"Y", 3, 4, 3, 10),
              Record(u"Q", 2, 8, 4), Record(u"Z", 3, 8, 4, 2), Record(u"M", 1, 14, 2), Record(u"R", 2, 14, 2),
              Record(u"S", 3, 14, 2, 1)})
            ASSERT_EQ(m_tree.AddCatalogueRecord(record), CContentsTree::AddedToTree);
    }

    const ContentsNodeTag& Range(int32_t nSlot) {
        const ContentsNodeTag* pNode = m_tree.FindRangeNode(nSlot);
        EXPECT_NE(pNode, nullptr) << nSlot;
        return pNode ? *pNode : m_tree.GetRoot();
    }

    CContentsTree m_tree;
};

TEST_F(ResultListTest, RowsPerRangeLevel) {
    struct Case {
        const char* pszName;
        int32_t nRangeSlot;
        Numbers pages;  // page indexes, 0-based
        Numbers hits;
        std::vector<std::string> rows;
        int64_t nTotal;
    } cases[] = {
        // The ends docID and docID + docNo - 1 stay; docID - 1 and
        // docID + docNo go, and their hits (1 and 5) are not counted.
        {"volume: range edges", 4, {6, 5, 4, 3, 2}, {5, 4, 3, 2, 1},
         {"K|P|Y|10|3|2", "K|P|Y|11|4|3", "K|P|Y|12|5|4"}, 9},
        // Book and volume looked up per page; a page in no book or in no
        // volume gets empty names and page number 0. Equal page numbers keep
        // the index's order (Z's page 2 before X's page 2).
        {"category: lookups per page", 1, {12, 6, 0, 7, 9, 13, 1}, {1, 2, 3, 4, 5, 6, 7},
         {"K|||0|12|1", "K|P||0|6|2", "K|P|X|1|0|3", "K|Q|Z|2|7|4", "K|P|X|2|1|7", "K|Q|Z|4|9|5"}, 22},
        {"category: equal page numbers the other way round", 1, {1, 7}, {1, 1},
         {"K|P|X|2|1|1", "K|Q|Z|2|7|1"}, 2},
        {"book: volume per page", 2, {6, 4, 1, 7}, {1, 1, 1, 1}, {"K|P||0|6|1", "K|P|X|2|1|1", "K|P|Y|11|4|1"}, 3},
        {"volume of another category", 9, {0, 13, 14, 15}, {1, 2, 3, 4}, {"M|R|S|1|13|2", "M|R|S|2|14|3"}, 5},
        {"nothing in range", 6, {0, 1, 2}, {1, 1, 1}, {}, 0},
        {"no pages", 1, {}, {}, {}, 0},
    };
    for (const Case& c : cases) {
        CResultList results;
        EXPECT_EQ(results.BuildResults(Range(c.nRangeSlot), c.pages, c.hits), c.nTotal) << c.pszName;
        EXPECT_EQ(results.GetTotalHits(), c.nTotal) << c.pszName;
        EXPECT_THAT(Rows(results), ElementsAreArray(c.rows)) << c.pszName;
    }
}

TEST_F(ResultListTest, ReadingOrderNarrowingAndWhereTheHitsFall) {
    CResultList results;
    results.BuildResults(Range(1), {12, 6, 0, 7, 9, 13, 1}, {1, 2, 3, 4, 5, 6, 7});
    // The contents tree's order: book by book, volume by volume, page by
    // page; a book's pages in no volume after its volumes, pages in no book
    // last.
    results.SortRows(CResultList::Order::Reading);
    EXPECT_THAT(Rows(results), ElementsAre("K|P|X|1|0|3", "K|P|X|2|1|7", "K|P||0|6|2", "K|Q|Z|2|7|4", "K|Q|Z|4|9|5",
                                           "K|||0|12|1"));
    // Narrowed to a volume, then to a book: the rows under it, in the same
    // order; the summary stays the search's.
    ASSERT_TRUE(results.Narrow(m_tree.GetNode(6)));
    EXPECT_THAT(Rows(results), ElementsAre("K|Q|Z|2|7|4", "K|Q|Z|4|9|5"));
    EXPECT_EQ(results.GetNarrowLine(), "「Q Z」の 2 頁、9 箇所を表示しています。");
    EXPECT_EQ(results.GetSummaryLine(), "全部で 6 頁で、22 箇所でした。");
    EXPECT_THAT(results.GetPageIndexes(), ElementsAre(7, 9));
    ASSERT_TRUE(results.Narrow(m_tree.GetNode(2)));
    EXPECT_THAT(Rows(results), ElementsAre("K|P|X|1|0|3", "K|P|X|2|1|7", "K|P||0|6|2"));
    results.SortRows(CResultList::Order::PageNumber);
    EXPECT_THAT(Rows(results), ElementsAre("K|P||0|6|2", "K|P|X|1|0|3", "K|P|X|2|1|7"));
    EXPECT_EQ(results.GetShownHits(), 12);
    EXPECT_FALSE(results.Narrow(m_tree.GetNode(9)));  // a volume without rows changes nothing
    EXPECT_EQ(results.GetRowCount(), 3u);
    ASSERT_TRUE(results.Narrow(nullptr));
    EXPECT_EQ(results.GetRowCount(), 6u);
    EXPECT_EQ(results.GetNarrowLine(), "");

    // The pages and places per book and per volume, in the tree's order;
    // rows in no book (or volume) counted under null, last. The counts add
    // up to the summary's.
    auto counts = [&](CHitDistribution::Level eLevel, const ContentsNodeTag* pWithin = nullptr) {
        std::vector<std::string> out;
        for (const HitCountTag& count : CHitDistribution::Count(results, eLevel, pWithin))
            out.push_back(CCodeConverter::Utf16ToUtf8(count.pNode ? count.pNode->name : u"-") + " " +
                          std::to_string(count.nPages) + " " + std::to_string(count.nPlaces));
        return out;
    };
    EXPECT_THAT(counts(CHitDistribution::Level::Book), ElementsAre("P 3 12", "Q 2 9", "- 1 1"));
    EXPECT_THAT(counts(CHitDistribution::Level::Volume), ElementsAre("X 2 10", "Z 2 9", "- 2 3"));
    EXPECT_THAT(counts(CHitDistribution::Level::Volume, m_tree.GetNode(2)), ElementsAre("X 2 10", "- 1 2"));
    // Narrowing does not change what is counted.
    results.Narrow(m_tree.GetNode(6));
    EXPECT_THAT(counts(CHitDistribution::Level::Book), ElementsAre("P 3 12", "Q 2 9", "- 1 1"));
}

TEST_F(ResultListTest, RebuildReplacesTheRows) {
    CResultList results;
    results.BuildResults(Range(1), {0, 1, 2}, {1, 1, 1});
    results.BuildResults(Range(3), {2}, {4});
    EXPECT_THAT(Rows(results), ElementsAre("K|P|X|3|2|4"));
    EXPECT_EQ(results.GetTotalHits(), 4);
}

// A search that did not count leaves fewer hits than pages: the pages
// without an entry get 0 and nothing is read past the hits.
TEST_F(ResultListTest, HitsShorterThanPages) {
    CResultList results;
    EXPECT_EQ(results.BuildResults(Range(3), {0, 1, 2}, {}), 0);
    EXPECT_THAT(Rows(results), ElementsAre("K|P|X|1|0|0", "K|P|X|2|1|0", "K|P|X|3|2|0"));
    EXPECT_EQ(results.BuildResults(Range(3), {2, 1, 0}, {5}), 5);
    EXPECT_THAT(Rows(results), ElementsAre("K|P|X|1|0|0", "K|P|X|2|1|0", "K|P|X|3|2|5"));
}

TEST_F(ResultListTest, FindRangeNodeMatchesTheRecordInPreOrder) {
    const ContentsNodeTag& root = m_tree.GetRoot();
    EXPECT_EQ(CResultList::FindRangeNode(&root, Record(u"", 3, 4, 3, 10)), m_tree.GetNode(4));
    EXPECT_EQ(CResultList::FindRangeNode(&root, Record(u"any name", 2, 8, 4)), m_tree.GetNode(5));
    // Every number must match, curFileName as 16 bits.
    EXPECT_EQ(CResultList::FindRangeNode(&root, Record(u"Y", 3, 4, 3, 11)), nullptr);
    EXPECT_EQ(CResultList::FindRangeNode(&root, Record(u"Y", 2, 4, 3, 10)), nullptr);
    EXPECT_EQ(CResultList::FindRangeNode(&root, Record(u"Y", 3, 4, 4, 10)), nullptr);
    EXPECT_EQ(CResultList::FindRangeNode(nullptr, Record(u"Y", 3, 4, 3, 10)), nullptr);

    // Two equal records: the first one in pre-order is the range.
    CContentsTree tree;
    for (const CatalogRecord& record : {Record(u"K", 1, 1, 4), Record(u"P", 2, 1, 2), Record(u"X", 3, 1, 2),
                                        Record(u"Q", 2, 3, 2), Record(u"X again", 3, 1, 2)})
        tree.AddCatalogueRecord(record);
    EXPECT_EQ(tree.FindRangeNode(5), tree.GetNode(3));
}

// Rows of equal page numbers keep the order of the result set, however many
// there are, so that the same search always lists the same way.
TEST(ResultListOrderTest, EqualPageNumbersKeepTheIndexOrder) {
    // Few rows are sorted by comparison, more (64 and up) by counting, many
    // (CResultList's PlacedRows, 4,096, and up) put straight in place.
    for (uint32_t nVolume : {30u, 40u, 2100u}) {
        CContentsTree tree;
        const auto n2 = static_cast<int32_t>(2 * nVolume), n1 = static_cast<int32_t>(nVolume);
        for (const CatalogRecord& record : {Record(u"K", 1, 1, n2), Record(u"P", 2, 1, n1), Record(u"X", 3, 1, n1),
                                            Record(u"Q", 2, n1 + 1, n1), Record(u"Z", 3, n1 + 1, n1)})
            tree.AddCatalogueRecord(record);
        Numbers pages, hits;
        std::vector<std::string> expected;
        for (uint32_t i = 0; i < nVolume; ++i) {
            // Z's page before X's page of the same number, from the last number down.
            const uint32_t n = nVolume - 1 - i;
            pages.insert(pages.end(), {nVolume + n, n});
            hits.insert(hits.end(), {1, 1});
        }
        for (uint32_t n = 0; n < nVolume; ++n) {
            expected.push_back("K|Q|Z|" + std::to_string(n + 1) + "|" + std::to_string(nVolume + n) + "|1");
            expected.push_back("K|P|X|" + std::to_string(n + 1) + "|" + std::to_string(n) + "|1");
        }
        CResultList results;
        results.BuildResults(*tree.FindRangeNode(1), pages, hits);
        EXPECT_THAT(Rows(results), ElementsAreArray(expected)) << nVolume << " pages a volume";
    }
}

// Ranges and page numbers are unsigned 32-bit: a range may reach past
// INT32_MAX, and a page number that does sorts after the small ones.
TEST(ResultListUnsignedTest, RangesAndPageNumbersAreUnsigned) {
    CContentsTree tree;
    tree.AddCatalogueRecord(Record(u"K", 1, 1, INT32_MAX));
    tree.AddCatalogueRecord(Record(u"P", 2, 1, INT32_MAX));
    tree.AddCatalogueRecord(Record(u"V", 3, 1, INT32_MAX, 10));
    tree.AddCatalogueRecord(Record(u"W", 3, INT32_MAX, 2, 5));
    tree.AddCatalogueRecord(Record(u"E", 3, 5, 0, 1));

    CResultList results;
    results.BuildResults(*tree.FindRangeNode(3), {0x7FFFFFFDu, 0u, 0xFFFFFFFFu}, {1, 1, 1});
    EXPECT_THAT(Rows(results), ElementsAre("K|P|V|10|0|1", "K|P|V|" + std::to_string(int32_t(0x80000007)) + "|2147483645|1"));

    // W holds INT32_MAX and INT32_MAX + 1 (page index 0x7FFFFFFF).
    results.BuildResults(*tree.FindRangeNode(4), {0x7FFFFFFEu, 0x7FFFFFFFu, 0x80000000u}, {1, 1, 1});
    EXPECT_THAT(Rows(results), ElementsAre("K|P|W|5|2147483646|1", "K|P|W|6|2147483647|1"));

    // A node of no pages holds nothing.
    results.BuildResults(*tree.FindRangeNode(5), {3, 4, 5}, {1, 1, 1});
    EXPECT_THAT(Rows(results), IsEmpty());
}

TEST(ResultListPagesTest, ListPagesOf100Rows) {
    struct Case {
        size_t nRows;
        int32_t nListPages;
    } cases[] = {{0, 0}, {1, 1}, {99, 1}, {100, 1}, {101, 2}, {200, 2}, {201, 3}};
    for (const Case& c : cases) EXPECT_EQ(CResultList::ListPageCount(c.nRows), c.nListPages) << c.nRows;

    CContentsTree tree;
    tree.AddCatalogueRecord(Record(u"K", 1, 1, 300));
    tree.AddCatalogueRecord(Record(u"P", 2, 1, 300));
    tree.AddCatalogueRecord(Record(u"V", 3, 1, 300));
    for (uint32_t nRows : {100u, 101u}) {
        Numbers pages, hits;
        for (uint32_t i = 0; i < nRows; ++i) {
            pages.push_back(i);
            hits.push_back(1);
        }
        CResultList results;
        results.BuildResults(*tree.FindRangeNode(3), pages, hits);
        size_t nBegin = 7, nEnd = 7;
        ASSERT_TRUE(results.GetListPageRows(1, nBegin, nEnd));
        EXPECT_EQ(nBegin, 0u);
        EXPECT_EQ(nEnd, 100u);
        if (nRows == 100) {
            EXPECT_EQ(results.GetListPageCount(), 1);
            EXPECT_FALSE(results.GetListPageRows(2, nBegin, nEnd));
        } else {
            EXPECT_EQ(results.GetListPageCount(), 2);
            ASSERT_TRUE(results.GetListPageRows(2, nBegin, nEnd));
            EXPECT_EQ(nBegin, 100u);
            EXPECT_EQ(nEnd, 101u);
            EXPECT_EQ(results.GetRow(nBegin).pageNo, 101);
            EXPECT_FALSE(results.GetListPageRows(3, nBegin, nEnd));
        }
        EXPECT_FALSE(results.GetListPageRows(0, nBegin, nEnd));
        EXPECT_FALSE(results.GetListPageRows(-1, nBegin, nEnd));
        EXPECT_EQ(results.GetSummaryLine(), "全部で " + std::to_string(nRows) + " 頁で、" + std::to_string(nRows) + " 箇所でした。");
    }
    CResultList empty;
    size_t nBegin = 0, nEnd = 0;
    EXPECT_FALSE(empty.GetListPageRows(1, nBegin, nEnd));
}

TEST(ResultListSummaryTest, ExactText) {
    EXPECT_EQ(CResultList::FormatSummary(0, 0),
              "\xE5\x85\xA8\xE9\x83\xA8\xE3\x81\xA7 0 \xE9\xA0\x81\xE3\x81\xA7\xE3\x80\x81"
              "0 \xE7\xAE\x87\xE6\x89\x80\xE3\x81\xA7\xE3\x81\x97\xE3\x81\x9F\xE3\x80\x82");
    EXPECT_EQ(CResultList::FormatSummary(101, 2345), "全部で 101 頁で、2345 箇所でした。");
    EXPECT_EQ(CResultList().GetSummaryLine(), "全部で 0 頁で、0 箇所でした。");
}

}  // namespace
