// Citations made from the catalogue and read back as a reader pastes or
// types them.
#include "model/citation.h"
#include "support/testcorpus.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// 經部: 論語 (學而 pages 1-3, 為政 pages 5-6); 唐詩 (卷一 pages 1-2).
// 集部: 唐詩 (卷一 pages 1-4) — a book name two categories hold;
// 全宋詩 (第一冊 宋太祖—朱貞白, pages 1-2) — a volume name with a space.
class CitationTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const CatalogRecord& record :
             {Record(u"經部", 1, 1, 7), Record(u"論語", 2, 1, 5), Record(u"學而", 3, 1, 3, 1), Record(u"為政", 3, 4, 2, 5),
              Record(u"唐詩", 2, 6, 2), Record(u"卷一", 3, 6, 2, 1), Record(u"集部", 1, 8, 6), Record(u"唐詩", 2, 8, 4),
              Record(u"卷一", 3, 8, 4, 1), Record(u"全宋詩", 2, 12, 2), Record(u"第一冊 宋太祖—朱貞白", 3, 12, 2, 1)})
            m_tree.AddCatalogueRecord(record);
    }

    CContentsTree m_tree;
};

TEST_F(CitationTest, EveryPageReadsBackFromItsCitation) {
    const CCitation citation(m_tree);
    EXPECT_EQ(citation.Format(0), u"論語 學而 1");
    EXPECT_EQ(citation.Format(4), u"論語 為政 6");
    EXPECT_EQ(citation.Format(5), u"經部 唐詩 卷一 1");  // the category first: two books are 唐詩
    EXPECT_EQ(citation.Format(12), u"全宋詩 第一冊 宋太祖—朱貞白 2");
    EXPECT_EQ(citation.Format(13), u"");  // past the last volume
    EXPECT_EQ(citation.Format(-1), u"");
    for (int32_t nPage = 0; nPage < 13; ++nPage) {
        const CCitation::Match match = citation.Parse(citation.Format(nPage));
        EXPECT_EQ(match.eOutcome, CCitation::Outcome::Found) << nPage;
        EXPECT_EQ(match.nPageIndex, nPage);
        EXPECT_EQ(match.nVolumeSlot, citation.VolumeSlotOf(nPage));
    }
    EXPECT_EQ(citation.VolumeSlotOf(5), 6);
    EXPECT_EQ(CCitation::Quote(u"學而時習之", u"論語 學而 1"), u"「學而時習之」(論語 學而 1)");
}

TEST_F(CitationTest, ReadsWhatReadersWrite) {
    const CCitation citation(m_tree);
    struct Case {
        const char16_t* pszText;
        int32_t nPage;
    } cases[] = {
        {u"論語 學而 2", 1},
        {u"論語學而2", 1},                              // no spaces
        {u"  論語\u3000 學而\t 2 ", 1},                 // any spacing
        {u"論語 學而 ２", 1},                           // a full-width digit
        {u"論語 學而 第2頁", 1},
        {u"論語 學而 2頁", 1},
        {u"論語 學而 第二頁", 1},                       // Chinese numerals set apart by 第 and 頁
        {u"論語 學而 三", 2},                           // or by a space
        {u"經部 論語 學而 1", 0},                       // the category too
        {u"「學而時習之」(論語 學而 1)", 0},            // a copied quotation
        {u"「學而時習之」（論語 學而 1）", 0},
        {u"集部 唐詩 卷一 4", 10},
        {u"全宋詩 第一冊宋太祖—朱貞白 1", 11},
        {u"全宋詩 1", 11},                              // a book of one volume
    };
    for (const Case& c : cases) {
        const CCitation::Match match = citation.Parse(c.pszText);
        EXPECT_EQ(match.eOutcome, CCitation::Outcome::Found) << std::u16string(c.pszText).size();
        EXPECT_EQ(match.nPageIndex, c.nPage);
    }
}

TEST_F(CitationTest, SaysWhatDidNotMatch) {
    const CCitation citation(m_tree);
    CCitation::Match match = citation.Parse(u"論語 學而 9");
    EXPECT_EQ(match.eOutcome, CCitation::Outcome::NoPage);
    EXPECT_EQ(match.strCitation, u"論語 學而");
    EXPECT_EQ(match.nFirstPage, 1);
    EXPECT_EQ(match.nLastPage, 3);
    EXPECT_EQ(citation.Parse(u"論語 為政 4").eOutcome, CCitation::Outcome::NoPage);  // it starts at page 5

    match = citation.Parse(u"論語 里仁 1");
    EXPECT_EQ(match.eOutcome, CCitation::Outcome::NoVolume);
    EXPECT_EQ(match.strBook, u"論語");
    EXPECT_EQ(match.strVolume, u"里仁");
    EXPECT_EQ(citation.Parse(u"論語 1").eOutcome, CCitation::Outcome::NoVolume);  // two volumes: which?

    match = citation.Parse(u"孟子 梁惠王上 1");
    EXPECT_EQ(match.eOutcome, CCitation::Outcome::NoBook);
    EXPECT_EQ(match.strName, u"孟子梁惠王上");

    match = citation.Parse(u"唐詩 卷一 1");
    EXPECT_EQ(match.eOutcome, CCitation::Outcome::Ambiguous);
    EXPECT_EQ(match.candidates, (std::vector<std::u16string>{u"經部 唐詩 卷一", u"集部 唐詩 卷一"}));

    for (const char16_t* pszText : {u"", u"論語 學而", u"12", u"論語 學而 1234567890", u"（）"})
        EXPECT_EQ(citation.Parse(pszText).eOutcome, CCitation::Outcome::Malformed) << std::u16string(pszText).size();
}

}  // namespace
