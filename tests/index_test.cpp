#include "index/index.h"

#include "support/tempdir.h"
#include "support/testcorpus.h"
#include "support/textpartnames.h"
#include "text/codeconverter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using Pages = std::vector<uint32_t>;

std::u16string Repeat(const std::u16string& s, int n) {
    std::u16string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

// Open failures: each reports the message once, leaves the index closed and
// says which file failed.
TEST(IndexOpenTest, FailuresAreReportedAndClean) {
    struct Case {
        const char* pszName;
        const char* pszFile;     // file to damage
        long nKeepBytes;         // -1: delete it
    } cases[] = {
        {"missing header", "Index-idx.h", -1},
        {"empty header", "Index-idx.h", 0},
        {"header shorter than the tables", "Index-idx.h", 1399999},
        {"missing postings", "Index-idx.m", -1},
        {"empty postings", "Index-idx.m", 0},
        {"missing record file", "Index-fl.h", -1},
        {"short record file", "Index-fl.h", 100},
        {"missing content file", "Index-fl.cnt", -1},
    };
    for (const Case& c : cases) {
        CTempDir dir;
        WriteSimpleCorpus(dir.Path(), {u"中國"});
        if (c.nKeepBytes < 0)
            std::remove(dir.File(c.pszFile).c_str());
        else
            std::filesystem::resize_file(dir.File(c.pszFile), static_cast<uintmax_t>(c.nKeepBytes));
        CIndex index;
        std::vector<std::string> messages;
        index.SetMessageCallback([&](const std::string& s) { messages.push_back(s); });
        EXPECT_FALSE(index.Open(dir.Path(), "Index", IndexScope::WholeText)) << c.pszName;
        EXPECT_THAT(messages, ElementsAre("データを開けませんでした。")) << c.pszName;
        EXPECT_FALSE(index.IsOpen()) << c.pszName;
        EXPECT_NE(index.GetOpenError().find(c.pszFile), std::string::npos) << c.pszName << ": " << index.GetOpenError();
        PostingCursor cursor;
        EXPECT_FALSE(index.StartCursor(0x4E2D - 0x3400, cursor));
        std::u16string keywords = u"中國";
        index.SearchAnd(keywords, true, true);  // a closed index finds nothing
        EXPECT_THAT(index.GetResultPages(), IsEmpty());
    }
}

TEST(IndexOpenTest, ChainTableSizeFollowsTheHeaderSize) {
    struct Case {
        uintmax_t nSize;
        uint32_t nEntries;
    } cases[] = {{1400000, 0}, {1400003, 0}, {1400004, 1}, {1400009, 2}};
    for (const Case& c : cases) {
        CTempDir dir;
        WriteSimpleCorpus(dir.Path(), {u"中國"});
        std::filesystem::resize_file(dir.File("Index-idx.h"), c.nSize);
        CIndex index;
        ASSERT_TRUE(index.Open(dir.Path(), "Index", IndexScope::WholeText)) << c.nSize;
        EXPECT_EQ(index.GetChainTableSize(), c.nEntries);
        // Chains of one block need no table.
        EXPECT_EQ(index.SearchPattern(u"中國", CombineReplace, true, false), 1);
    }
}

TEST(IndexOpenTest, ScopesNameTheirFiles) {
    CTempDir dir;
    WriteSimpleCorpus(dir.Path(), {u"中國"});
    std::remove(dir.File("Index_desc-idx.m").c_str());
    CIndex index;
    EXPECT_FALSE(index.Open(dir.Path(), "Index", IndexScope::Annotations));
    EXPECT_NE(index.GetOpenError().find("Index_desc-idx.m"), std::string::npos);
    for (int nScope : {0, 2, 3, -1, 99}) {  // any value but 1 and 2 is the whole text
        EXPECT_TRUE(index.Open(dir.Path(), "Index", static_cast<IndexScope>(nScope))) << nScope;
        index.Close();
    }
    EXPECT_EQ(CCorpusFiles::IndexHeader("d", IndexScope::MainText), "d/Index_content-idx.h");
    EXPECT_EQ(CCorpusFiles::IndexPostings("d", IndexScope::Annotations), "d/Index_desc-idx.m");
    EXPECT_EQ(CCorpusFiles::IndexHeader("d", static_cast<IndexScope>(7)), "d/Index-idx.h");
}

TEST(IndexOpenTest, MissingVariantTableIsNoFailure) {
    CTempDir dir;
    WriteSimpleCorpus(dir.Path(), {u"中國"}, "56FD,570B\n");
    std::remove(dir.File("yitizi.txt").c_str());
    CIndex index;
    ASSERT_TRUE(index.Open(dir.Path(), "Index", IndexScope::WholeText));
    EXPECT_TRUE(index.GetVariants().Empty());
}

// Pages of the search examples; positions are the character offsets.
class IndexSearchTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteSimpleCorpus(m_dir.Path(),
                          {
                              u"中國的歷史",                            // 0
                              u"中文國史",                              // 1
                              u"人人人",                                // 2
                              u"中" + Repeat(u"的", 300) + u"國",       // 3: 300 between
                              u"中" + Repeat(u"的", 301) + u"國",       // 4: 301 between
                              u"歷史中國",                              // 5
                              u"国史\U00027944\U00027944",              // 6
                          },
                          "56FD,570B,56EF\n", 0x5eed);
        ASSERT_TRUE(m_index.Open(m_dir.Path(), "Index", IndexScope::WholeText));
    }

    CTempDir m_dir;
    CIndex m_index;
};

TEST_F(IndexSearchTest, Patterns) {
    struct Case {
        const char16_t* pszPattern;
        bool bVariants;
        Pages pages;
        Pages hits;
    } cases[] = {
        {u"中國", false, {0, 5}, {1, 1}},
        {u"***中國*", false, {0, 5}, {1, 1}},        // leading "*" and one final "*" change nothing
        {u"中。國", false, {0, 5}, {1, 1}},          // U+3002 has no slot: removed
        {u"中\u3000國", false, {0, 5}, {1, 1}},
        {u"中?國", false, {1}, {1}},
        {u"中？國", false, {1}, {1}},
        {u"中?國*史", false, {1}, {1}},
        {u"中*國", false, {0, 1, 3, 5}, {1, 1, 1, 1}},  // 300 between matches, 301 does not
        {u"人人", false, {2}, {2}},                  // overlapping occurrences count
        {u"人人人人", false, {}, {}},
        {u"國史", false, {1}, {1}},
        {u"國史", true, {1, 6}, {1, 1}},             // 国 is in 國's group
        {u"\U00027944\U00027944", false, {6}, {1}},
        {u"史?\U00027944", false, {6}, {1}},         // a pair is one character
        {u"中鬱", false, {}, {}},                    // 鬱 has a slot but no postings
        {u"*", false, {}, {}},
        {u"", false, {}, {}},
        {u"?", false, {}, {}},
        // A segment of "?" only has no term: it widens the gap by one, so
        // 1 to 301 characters stand between.
        {u"中*?*國", false, {1, 3, 4}, {1, 1, 1}},
        {u"?*國", false, {0, 1, 3, 4, 5}, {1, 1, 1, 1, 1}},
    };
    for (const Case& c : cases) {
        const std::string strName = CCodeConverter::Utf16ToUtf8(c.pszPattern);
        int32_t nCount = m_index.SearchPattern(c.pszPattern, CombineReplace, true, c.bVariants);
        EXPECT_EQ(nCount, static_cast<int32_t>(c.pages.size())) << strName;
        EXPECT_EQ(m_index.GetResultPages(), c.pages) << strName;
        EXPECT_EQ(m_index.GetResultHits(), c.hits) << strName;
    }
}

TEST(IndexGapTest, TwoGapsFindTheOccurrenceAfterAnEarlierStart) {
    // 中 at 0 and 500, 國 at 600, 史 at 700: 中(500)*國*史 occurs. The 中 at
    // 0 is too far from 國; moving every term past it used to skip 國 too.
    CTempDir dir;
    WriteSimpleCorpus(dir.Path(), {u"中" + Repeat(u"的", 499) + u"中" + Repeat(u"的", 99) + u"國" + Repeat(u"的", 99) + u"史"});
    CIndex index;
    ASSERT_TRUE(index.Open(dir.Path(), "Index", IndexScope::WholeText));
    EXPECT_EQ(index.SearchPattern(u"中*國*史", CombineReplace, true, false), 1);
    EXPECT_THAT(index.GetResultHits(), ElementsAre(1));
}

TEST_F(IndexSearchTest, CombineModes) {
    // Union: pages new to the set follow the earlier ones; shared pages add hits.
    m_index.SearchPattern(u"人人", CombineReplace, true, false);
    m_index.SearchPattern(u"中國", CombineUnion, true, false);
    EXPECT_THAT(m_index.GetResultPages(), ElementsAre(2, 0, 5));
    m_index.SearchPattern(u"國", CombineUnion, true, false);
    EXPECT_THAT(m_index.GetResultPages(), ElementsAre(2, 0, 5, 1, 3, 4));
    EXPECT_THAT(m_index.GetResultHits(), ElementsAre(2, 2, 2, 1, 1, 1));
    EXPECT_EQ(m_index.GetResultCount(), 6);

    // Intersect: the found order, hits summed.
    m_index.SearchPattern(u"的", CombineIntersect, true, false);
    EXPECT_THAT(m_index.GetResultPages(), ElementsAre(0, 3, 4));
    EXPECT_THAT(m_index.GetResultHits(), ElementsAre(3, 301, 302));

    // A character without postings: union keeps the set, the others empty it.
    m_index.SearchPattern(u"鬱", CombineUnion, true, false);
    EXPECT_EQ(m_index.GetResultCount(), 3);
    m_index.SearchPattern(u"鬱", CombineIntersect, true, false);
    EXPECT_EQ(m_index.GetResultCount(), 0);

    // Counting off: pages once, no hits.
    EXPECT_EQ(m_index.SearchPattern(u"人", CombineReplace, false, false), 1);
    EXPECT_THAT(m_index.GetResultHits(), IsEmpty());
    // Guard: a counting intersect meets a hit list that does not match.
    EXPECT_EQ(m_index.SearchPattern(u"人", CombineIntersect, true, false), 0);
    EXPECT_THAT(m_index.GetResultPages(), IsEmpty());
    // ... a counting union is not guarded.
    m_index.SearchPattern(u"人", CombineReplace, false, false);
    EXPECT_EQ(m_index.SearchPattern(u"中國", CombineUnion, true, false), 3);

    // The result set survives Close.
    m_index.Close();
    EXPECT_EQ(m_index.GetResultCount(), 3);
}

TEST_F(IndexSearchTest, CountingUnionAfterASearchThatDidNotCountKeepsTheArraysParallel) {
    // The pages found without counting have no hit counts: they count 0,
    // plus what the union finds on them.
    struct Case {
        const char16_t* pszUncounted;
        const char16_t* pszUnion;
        Pages pages;
        Pages hits;
    } cases[] = {
        {u"國", u"史", {0, 1, 3, 4, 5, 6}, {1, 1, 0, 0, 1, 1}},
        {u"人", u"中國", {2, 0, 5}, {0, 1, 1}},
        {u"國", u"鬱", {0, 1, 3, 4, 5}, {0, 0, 0, 0, 0}},  // no postings: the set stays
    };
    for (const Case& c : cases) {
        const std::string strName = CCodeConverter::Utf16ToUtf8(c.pszUncounted) + " / " +
                                    CCodeConverter::Utf16ToUtf8(c.pszUnion);
        m_index.SearchPattern(c.pszUncounted, CombineReplace, false, false);
        m_index.SearchPattern(c.pszUnion, CombineUnion, true, false);
        EXPECT_EQ(m_index.GetResultCount(), static_cast<int32_t>(c.pages.size())) << strName;
        EXPECT_EQ(m_index.GetResultPages(), c.pages) << strName;
        EXPECT_EQ(m_index.GetResultHits(), c.hits) << strName;
    }
    // Parallel again, a counting intersect goes on from there.
    m_index.SearchPattern(u"國", CombineReplace, false, false);
    m_index.SearchPattern(u"史", CombineUnion, true, false);
    EXPECT_EQ(m_index.SearchPattern(u"中", CombineIntersect, true, false), 5);
    EXPECT_THAT(m_index.GetResultPages(), ElementsAre(0, 1, 3, 4, 5));
    EXPECT_THAT(m_index.GetResultHits(), ElementsAre(2, 2, 1, 1, 2));
}

TEST(IndexTermsTest, CountTerms) {
    struct Case {
        const char16_t* pszKeywords;
        int32_t nTerms;
    } cases[] = {
        {u"", 0},
        {u" \u3000 ", 0},
        {u"中國 歷史", 2},
        {u"中國  歷史 ", 2},
        {u"中國\u3000歷史", 2},
        {u"中*國 中?國", 2},
        {u"中國 2", 0},                // a digit anywhere refuses the whole string
        {u"中a", 0},
        {u"中\u00FF", 0},
        {u"中\u0100", 1},
        {u"\t中", 0},
        {u"*", 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CIndex::CountTerms(c.pszKeywords), c.nTerms) << CCodeConverter::Utf16ToUtf8(c.pszKeywords);
    EXPECT_EQ(CIndex::FindRefusedUnit(u"中國 2"), 3u);
    EXPECT_EQ(CIndex::FindRefusedUnit(u"中國"), std::u16string::npos);
}

TEST_F(IndexSearchTest, AndOrAndRefusedKeywords) {
    std::u16string keywords = u"中國  歷史 ";
    m_index.SearchAnd(keywords, true, false);
    EXPECT_THAT(m_index.GetResultPages(), ElementsAre(0, 5));
    EXPECT_THAT(m_index.GetResultHits(), ElementsAre(2, 2));
    EXPECT_EQ(keywords, u"中國\u3000\u3000歷史\u3000");  // spaces rewritten in place

    keywords = u"中國 史";
    m_index.SearchOr(keywords, true, false);
    EXPECT_THAT(m_index.GetResultPages(), ElementsAre(0, 5, 1, 6));
    EXPECT_THAT(m_index.GetResultHits(), ElementsAre(2, 2, 1, 1));

    // Refused: nothing searched, the previous result stays.
    keywords = u"人人 2";
    m_index.SearchOr(keywords, true, false);
    EXPECT_THAT(m_index.GetResultPages(), ElementsAre(0, 5, 1, 6));
    EXPECT_EQ(keywords, u"人人 2");

    // An ideographic space reaching the entry point joins the two sides.
    keywords = u"中\u3000國";
    m_index.SearchAnd(keywords, true, false);
    EXPECT_THAT(m_index.GetResultPages(), ElementsAre(0, 5));
}

TEST_F(IndexSearchTest, OverlongPatternsMatchNothing) {
    // 298 units is the most a pattern may hold; one more matches nothing,
    // whatever it holds.
    std::u16string strPattern = u"中國" + Repeat(u"*", 296);
    EXPECT_EQ(strPattern.size(), CIndex::MaxPatternUnits);
    EXPECT_EQ(m_index.SearchPattern(strPattern, CombineReplace, true, false), 2);
    EXPECT_EQ(m_index.SearchPattern(strPattern + u"*", CombineReplace, true, false), 0);
    std::u16string keywords = Repeat(u"人", 5000);
    m_index.SearchAnd(keywords, true, false);
    EXPECT_EQ(m_index.GetResultCount(), 0);
}

}  // namespace
