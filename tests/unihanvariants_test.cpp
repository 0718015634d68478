#include "builder/unihanvariants.h"
#include "builder/variantgroupbuilder.h"
#include "text/varianttable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

// Lines as Unihan_Variants.txt (Unicode 15.0) writes them.
const char* const kExcerpt =
    "# Unihan_Variants.txt\n"
    "# Date: 2022-08-03\n"
    "\n"
    "U+4E7E\tkSimplifiedVariant\tU+4E7E U+5E72\n"     // 乾 -> 乾 干
    "U+5B66\tkTraditionalVariant\tU+5B78\n"           // 学 -> 學
    "U+56EF\tkSemanticVariant\tU+570B<kMeyerWempe\n"  // 囯 ~ 國
    "U+56FD\tkTraditionalVariant\tU+570B\n"           // 国 -> 國
    "U+570B\tkSimplifiedVariant\tU+56FD\r\n"          // 國 -> 国
    "U+5B78\tkSemanticVariant\tU+6588<kLau,kMatthews,kMeyerWempe\n"  // 學 ~ 斈
    "U+5E72\tkTraditionalVariant\tU+4E7E U+5E72 U+5E79\n"           // 干 -> 乾 干 幹
    "U+4E00\tkSpecializedSemanticVariant\tU+58F9<kFenn\n"           // 一 / 壹: not joined
    "U+0030\tkSpoofingVariant\tU+3007\n"                            // not joined
    "U+4E0E\tkCompatibilityVariant\tU+F900\n"                       // another field: ignored
    "U+20000\tkZVariant\tU+2A6DF\n"                                 // beyond the BMP
    "U+9F9C\tkSimplifiedVariant\tU+9F9C\n";                         // 龜 names only itself

}  // namespace

TEST(UnihanVariantsTest, JoinsTraditionalSimplifiedZAndSemanticVariants) {
    CVariantGroupBuilder groups;
    std::string strError;
    EXPECT_EQ(CUnihanVariants::Parse(kExcerpt, groups, strError), 12u) << strError;
    size_t nDropped = 99;
    const std::vector<CVariantTable::Group> expected = {
        {0x4E7E, 0x5E72, 0x5E79},  // 乾 干 幹
        {0x56EF, 0x56FD, 0x570B},  // 囯 国 國
        {0x5B66, 0x5B78, 0x6588},  // 学 學 斈
        {0x20000, 0x2A6DF},
    };
    EXPECT_EQ(groups.Build(nDropped), expected);
    EXPECT_EQ(nDropped, 0u);

    // The table the build writes: 国 finds 國 and 囯, 学 finds 學.
    CVariantTable table;
    table.Parse(CVariantTable::Format(groups.Build(nDropped)));
    EXPECT_EQ(table.VariantsOf(U'国'), (std::vector<char32_t>{U'囯', U'国', U'國'}));
    EXPECT_EQ(table.VariantsOf(U'學'), (std::vector<char32_t>{U'学', U'學', U'斈'}));
    EXPECT_EQ(table.GroupOf(U'一'), -1);
    EXPECT_EQ(table.GroupOf(0x9F9C), -1);

    // The order of the lines does not matter.
    std::vector<std::string> lines;
    const std::string strExcerpt = kExcerpt;
    for (size_t nStart = 0; nStart < strExcerpt.size();) {
        const size_t nEnd = strExcerpt.find('\n', nStart);
        lines.push_back(strExcerpt.substr(nStart, nEnd - nStart + 1));
        nStart = nEnd + 1;
    }
    std::mt19937 rng(7);
    for (int i = 0; i < 5; ++i) {
        std::shuffle(lines.begin(), lines.end(), rng);
        std::string strShuffled;
        for (const std::string& strLine : lines) strShuffled += strLine;
        CVariantGroupBuilder again;
        ASSERT_GT(CUnihanVariants::Parse(strShuffled, again, strError), 0u) << strError;
        EXPECT_EQ(again.Build(nDropped), expected);
    }
}

TEST(UnihanVariantsTest, RefusesWhatIsNotVariantData) {
    struct Case {
        std::string strText;
        const char* pszMessage;
    };
    const std::vector<Case> cases = {
        {"", "no traditional, simplified, Z or semantic variants"},
        {"# only comments\nU+4E00\tkDefinition\tone\n", "no traditional"},
        {"U+56FD kTraditionalVariant U+570B\n", "line 1: expected U+XXXX<TAB>field<TAB>value"},
        {"# c\nU+56FD\tkTraditionalVariant\n", "line 2: expected"},
        {"56FD\tkTraditionalVariant\tU+570B\n", "line 1: the line does not start with a code point"},
        {"U+56F\tkTraditionalVariant\tU+570B\n", "does not start with a code point"},
        {"U+D800\tkZVariant\tU+570B\n", "does not start with a code point"},
        {"U+110000\tkZVariant\tU+570B\n", "does not start with a code point"},
        {"U+56FD\tkTraditionalVariant\tU+570\n", "line 1: kTraditionalVariant: expected a code point"},
        {"U+56FD\tkTraditionalVariant\t570B\n", "expected a code point"},
        {"U+56FD\tkTraditionalVariant\tU+570BX\n", "unexpected text after a code point"},
        {"U+56FD\tkTraditionalVariant\t\n", "kTraditionalVariant: no code point"},
    };
    for (const Case& c : cases) {
        CVariantGroupBuilder groups;
        std::string strError;
        EXPECT_EQ(CUnihanVariants::Parse(c.strText, groups, strError), 0u) << c.strText;
        EXPECT_NE(strError.find(c.pszMessage), std::string::npos) << c.strText << "\n" << strError;
        size_t nDropped = 0;
        EXPECT_TRUE(groups.Build(nDropped).empty()) << c.strText;  // a refused text joins nothing
    }
}

TEST(UnihanVariantsTest, KeepsAsManyGroupsAsTheIndexHasSlots) {
    std::string strText;
    const size_t nGroups = CVariantGroupBuilder::MaxGroups + 3;
    for (size_t i = 0; i < nGroups; ++i) {
        char szLine[64];
        std::snprintf(szLine, sizeof szLine, "U+%04zX\tkZVariant\tU+%04zX\n", 0x10000 + 2 * i, 0x10001 + 2 * i);
        strText += szLine;
    }
    CVariantGroupBuilder groups;
    std::string strError;
    ASSERT_GT(CUnihanVariants::Parse(strText, groups, strError), 0u) << strError;
    size_t nDropped = 0;
    const std::vector<CVariantTable::Group> kept = groups.Build(nDropped);
    ASSERT_EQ(kept.size(), CVariantTable::MaxSearchableGroups);
    EXPECT_EQ(nDropped, 3u);
    // The groups kept are the first ones in order.
    EXPECT_EQ(kept.back(), (CVariantTable::Group{0x10000 + 2 * 11934, 0x10001 + 2 * 11934}));
}
