// How a search of the history reads in its list and is stored, and where
// its range lies in a rebuilt catalogue.
#include "model/contentstree.h"
#include "model/historyentry.h"
#include "support/testcorpus.h"
#include "text/codeconverter.h"

#include <gtest/gtest.h>

namespace {

TEST(HistoryEntryTest, ReadsAsAChainWithItsOptions) {
    SearchRequestTag request;
    request.steps = {{u"春風\u3000花", false, true, TextPart::WholeText}, {u"明月", false, true, TextPart::WholeText}};
    EXPECT_EQ(CHistoryEntry::Chain(request), u"春風 花 → 明月");
    EXPECT_EQ(CHistoryEntry::Options(request), u"and・異体字・全文");
    request.steps[1].bOr = true;
    request.steps[1].bVariants = false;
    request.steps[1].ePart = TextPart::Annotations;
    EXPECT_EQ(CHistoryEntry::Options(request), u"and・異体字・全文 → or・異体字なし・注釈");
    EXPECT_EQ(CHistoryEntry::Chain(SearchRequestTag{}), u"");
    EXPECT_EQ(CHistoryEntry::Options(SearchRequestTag{}), u"");
}

TEST(HistoryEntryTest, ARequestIsStoredWholeAndOnlyAWellFormedOneIsRead) {
    SearchRequestTag request;
    request.nRange = 42;
    request.steps = {{u"春風\u3000\"花\":,", true, false, TextPart::MainText},
                     {u"a\\n\nb\\", false, true, TextPart::Annotations},
                     {u"", false, true, TextPart::WholeText}};
    const std::u16string strText = CHistoryEntry::EncodeRequest(request);
    EXPECT_EQ(strText, u"range=42\nor,exact,main:春風\u3000\"花\":,\nand,variants,annotations:a\\\\n\\nb\\\\\n"
                       u"and,variants,whole:");
    SearchRequestTag back;
    ASSERT_TRUE(CHistoryEntry::DecodeRequest(strText, back));
    EXPECT_EQ(back.nRange, 42);
    ASSERT_EQ(back.steps.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(back.steps[i].keywords, request.steps[i].keywords) << i;
        EXPECT_EQ(back.steps[i].bOr, request.steps[i].bOr) << i;
        EXPECT_EQ(back.steps[i].bVariants, request.steps[i].bVariants) << i;
        EXPECT_EQ(back.steps[i].ePart, request.steps[i].ePart) << i;
    }

    const std::u16string strManySteps = [] {
        std::u16string s = u"range=1";
        for (size_t n = 0; n <= CHistoryEntry::MaxSteps; ++n) s += u"\nand,variants,whole:a";
        return s;
    }();
    const std::u16string strLong = u"range=1\nand,variants,whole:" + std::u16string(CHistoryEntry::MaxKeywordUnits + 1, u'a');
    const std::u16string bad[] = {
        u"",
        u"range=",
        u"range=1",                                   // no step
        u"range=x\nand,variants,whole:a",
        u"range=-1\nand,variants,whole:a",
        u"range=99999999999\nand,variants,whole:a",  // beyond 32 bits
        u"range=1 \nand,variants,whole:a",
        u"range=1\nand,variants,whole",              // no colon
        u"range=1\nnot,variants,whole:a",
        u"range=1\nand,maybe,whole:a",
        u"range=1\nand,variants,all:a",
        u"range=1\nand,variants,whole:a\\",         // a backslash at the end
        u"range=1\nand,variants,whole:a\\t",        // an escape not written
        u"{\"range\":1}",
        strManySteps,
        strLong,
    };
    for (const std::u16string& strBad : bad) {
        SearchRequestTag untouched = request;
        EXPECT_FALSE(CHistoryEntry::DecodeRequest(strBad, untouched)) << CCodeConverter::Utf16ToUtf8(strBad);
        EXPECT_EQ(untouched.nRange, 42);
        EXPECT_EQ(untouched.steps.size(), 3u);
    }
}

TEST(HistoryEntryTest, FindsItsRangeByNameInARebuiltCatalogue) {
    // K (1) / P (2) / X (3); Q (4) / Z (5). Rebuilt with a book before P:
    // K (1) / N (2) / Y (3); P (4) / X (5); Q (6) / Z (7).
    CContentsTree before, after;
    for (const CatalogRecord& record : {Record(u"K", 1, 1, 2), Record(u"P", 2, 1, 1), Record(u"X", 3, 1, 1),
                                        Record(u"Q", 2, 2, 1), Record(u"Z", 3, 2, 1)})
        before.AddCatalogueRecord(record);
    for (const CatalogRecord& record :
         {Record(u"K", 1, 1, 3), Record(u"N", 2, 1, 1), Record(u"Y", 3, 1, 1), Record(u"P", 2, 2, 1),
          Record(u"X", 3, 2, 1), Record(u"Q", 2, 3, 1), Record(u"Z", 3, 3, 1)})
        after.AddCatalogueRecord(record);
    EXPECT_EQ(CHistoryEntry::FindRange(before, 2, before.RangeLabel(2)), 2);
    EXPECT_EQ(CHistoryEntry::FindRange(after, 2, before.RangeLabel(2)), 4);   // K\P moved to slot 4
    EXPECT_EQ(CHistoryEntry::FindRange(after, 3, before.RangeLabel(3)), 5);   // K\P\X
    EXPECT_EQ(CHistoryEntry::FindRange(after, 1, before.RangeLabel(1)), 1);   // K stayed
    EXPECT_EQ(CHistoryEntry::FindRange(after, 5, u"K\\R"), 0);               // no such range
    EXPECT_EQ(CHistoryEntry::FindRange(after, 6, u""), 6);                    // no label: the slot
    EXPECT_EQ(CHistoryEntry::FindRange(after, 99, u""), 0);
}

}  // namespace
