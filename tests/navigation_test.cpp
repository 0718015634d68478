#include "model/navigation.h"

#include "model/contentstree.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

CatalogRecord Record(const std::u16string& strName, int32_t nLevel, int32_t nDocNo = 1, uint16_t nCurFileName = 1) {
    CatalogRecord record;
    record.name = strName;
    record.level = nLevel;
    record.docID = 1;
    record.docNo = nDocNo;
    record.curFileName = nCurFileName;
    return record;
}

// Two categories; volumes with a book's record (slot 5) and a category's
// and a book's (slots 7, 8) between them, and a record of level 4 after the
// last volume.
//   1 K          2 P         3 X: pages 1-3   4 Y: page 5 alone
//   5 Q          6 Z: 1-2    7 L              8 B
//   9 V: 7-10   10 (level 4)
class NavigationTest : public ::testing::Test {
protected:
    NavigationTest() {
        for (const CatalogRecord& record :
             {Record(u"K", 1, 16), Record(u"P", 2, 4), Record(u"X", 3, 3), Record(u"Y", 3, 1, 5), Record(u"Q", 2, 2),
              Record(u"Z", 3, 2), Record(u"L", 1, 4), Record(u"B", 2, 4), Record(u"V", 3, 4, 7), Record(u"W", 4)})
            m_contents.AddCatalogueRecord(record);
    }

    CContentsTree m_contents;
};

TEST_F(NavigationTest, PagesAndVolumes) {
    struct Case {
        const char* pszName;
        int32_t nVolume;
        int32_t nPage;
        bool bPrevPage, bNextPage;
        int32_t nPrevVolume, nNextVolume;  // NeighbourVolume(-1), (+1)
        bool bPrevVolume, bNextVolume;
    };
    const Case cases[] = {
        {"first page of the first volume", 3, 1, false, true, 0, 4, false, true},
        {"a page inside a volume", 3, 2, true, true, 0, 4, false, true},
        {"last page of a volume", 3, 3, true, false, 0, 4, false, true},
        {"a volume of one page, a book's record after it", 4, 5, false, false, 3, 6, true, true},
        {"after a book's record", 6, 1, false, true, 4, 9, true, true},
        {"after a category's and a book's record, level 4 after it", 9, 7, false, true, 6, 0, true, false},
        {"last page of the last volume", 9, 10, true, false, 6, 0, true, false},
        {"a page past the volume's last", 9, 11, true, false, 6, 0, true, false},
        // Compared unsigned: the page just below the first leads to it, one
        // further below leads nowhere.
        {"the page just below the volume's first", 9, 6, false, true, 6, 0, true, false},
        {"a page further below the volume's first", 9, 5, false, false, 6, 0, true, false},
        {"a book's record as the current volume", 2, 1, false, true, 0, 3, false, true},
        {"no current volume", 0, 0, false, false, 0, 3, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName);
        const CNavigation navigation(m_contents, c.nVolume, c.nPage, 0, 0);
        EXPECT_EQ(navigation.CanPrevPage(), c.bPrevPage);
        EXPECT_EQ(navigation.CanNextPage(), c.bNextPage);
        EXPECT_EQ(navigation.PrevPage(), c.nPage - 1);
        EXPECT_EQ(navigation.NextPage(), c.nPage + 1);
        EXPECT_EQ(navigation.NeighbourVolume(-1), c.nPrevVolume);
        EXPECT_EQ(navigation.NeighbourVolume(+1), c.nNextVolume);
        EXPECT_EQ(navigation.CanPrevVolume(), c.bPrevVolume);
        EXPECT_EQ(navigation.CanNextVolume(), c.bNextVolume);
    }
}

TEST_F(NavigationTest, Hits) {
    struct Case {
        const char* pszName;
        int32_t nHit;
        int32_t nCount;
        bool bPrev, bNext;
    };
    const Case cases[] = {
        {"no result page", 0, 0, false, false},
        {"first of three", 0, 3, false, true},
        {"middle of three", 1, 3, true, true},
        {"last of three", 2, 3, true, false},
        {"at the count", 3, 3, true, false},
        {"the only hit", 0, 1, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName);
        // The hit rules do not depend on a volume.
        const CNavigation navigation(m_contents, 0, 0, c.nHit, c.nCount);
        EXPECT_EQ(navigation.CanPrevHit(), c.bPrev);
        EXPECT_EQ(navigation.CanNextHit(), c.bNext);
        EXPECT_EQ(navigation.PrevHit(), c.nHit - 1);
        EXPECT_EQ(navigation.NextHit(), c.nHit + 1);
    }
}

}  // namespace
