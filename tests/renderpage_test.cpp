#include "corpus/filelist.h"
#include "corpus/filelistwriter.h"
#include "corpus/hitmarker.h"
#include "corpus/pagemarkup.h"
#include "text/codeconverter.h"
#include "text/varianttable.h"

#include "support/tempdir.h"
#include "support/textpartnames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

const std::string kHead =
    "<html><head>\t\t<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\"><title>";
// The text cell has the wide column: the second cell of an odd page, the
// first cell of an even one.
const std::string kTable =
    "</title></head><div align=\"center\"><center><BODY>\t\t<TABLE border=1 cellPadding=0 cellSpacing=1 "
    "class=wd_gray height=477 width=635 bordercolor=\"#FFCC66\">\t\t<tr>  ";
const std::string kAfterTitle =
    kTable + "<TD height=477 width=80 vAlign=top align=\"center\" background=\"../Back.gif\">";
const std::string kBetween = "</TD>\t\t<TD height=477 width=450 vAlign=top align=\"center\">";
const std::string kAfterTitleEven =
    kTable + "<TD height=477 width=450 vAlign=top align=\"center\" background=\"../Back.gif\">";
const std::string kBetweenEven = "</TD>\t\t<TD height=477 width=80 vAlign=top align=\"center\">";
const std::string kTail = "</TD> \t\t</tr></table></div></div>\t\t</center></BODY></html>";
const std::string kOpen = CPageMarkup::AnnotationOpen;
const std::string kClose = CPageMarkup::AnnotationClose;

std::string Hit(int n, const std::string& s) {
    std::string out;
    CHitMarker::AppendAnchor(n, out);
    return out + CHitMarker::BoldOpen + s + CHitMarker::BoldClose;
}

std::string Display(const std::string& title, const std::string& first, const std::string& second, int nParity = 1) {
    return kHead + title + (nParity ? kAfterTitle : kAfterTitleEven) + first + (nParity ? kBetween : kBetweenEven) +
           second + kTail;
}

// A store of pages given as (page number, HTML).
class RenderPageTest : public ::testing::Test {
protected:
    void Store(const std::vector<std::pair<int, std::string>>& pages) {
        CFileListWriter writer;
        std::string strError;
        ASSERT_TRUE(writer.Open(m_dir.Path(), "Index", strError));
        for (const auto& [nNumber, strHtml] : pages)
            ASSERT_TRUE(writer.AddPage("b\\v\\" + std::to_string(nNumber) + ".htm", strHtml, strError));
        ASSERT_TRUE(writer.Finish(14, "", strError));
        ASSERT_TRUE(m_list.Open(m_dir.Path(), "Index"));
    }

    CTempDir m_dir;
    CFileList m_list;
};

TEST_F(RenderPageTest, TemplateAndTargetCellByParity) {
    const std::string strPage = "<html><head><title>T</title></head><body><table><tr><TD w=1>L甲</TD><TD>X甲<br>Y</TD>";
    Store({{1, strPage}, {2, strPage}});
    std::string out;
    EXPECT_EQ(m_list.RenderPage(0, out, u"甲", TextPart::WholeText), 1);  // odd: the second cell
    EXPECT_EQ(out, Display("T", "L甲", "X" + Hit(0, "甲") + "<br>Y"));
    EXPECT_EQ(m_list.RenderPage(1, out, u"甲", TextPart::WholeText), 1);  // even: the first cell, now the wide one
    EXPECT_EQ(out, Display("T", "L" + Hit(0, "甲"), "X甲<br>Y", 0));
}

TEST_F(RenderPageTest, TextParts) {
    Store({{1, "<title>T</title><TD></TD><TD>甲" + kOpen + "甲" + kClose + "甲" + kOpen + "乙"}});
    struct Case {
        TextPart ePart;
        int nMarks;
        std::string cell;
    } cases[] = {
        {TextPart::WholeText, 3, Hit(0, "甲") + kOpen + Hit(1, "甲") + kClose + Hit(2, "甲") + kOpen + "乙" + kClose},
        {TextPart::MainText, 2, Hit(0, "甲") + kOpen + "甲" + kClose + Hit(1, "甲") + kOpen + "乙" + kClose},
        {TextPart::Annotations, 1, "甲" + kOpen + Hit(0, "甲") + kClose + "甲" + kOpen + "乙" + kClose},
        {static_cast<TextPart>(7), 0, ""},  // no such part: the cell keeps nothing
    };
    for (const Case& c : cases) {
        std::string out;
        EXPECT_EQ(m_list.RenderPage(0, out, u"甲", c.ePart), c.nMarks) << c.ePart;
        EXPECT_EQ(out, Display("T", "", c.cell)) << c.ePart;
    }
}

TEST_F(RenderPageTest, EachDistinctKeywordOnceInOrder) {
    Store({{1, "<title>T</title><TD></TD><TD>乙甲乙丙</TD>"}});
    std::string out;
    // 甲, 乙, 甲 again (skipped), an ideographic space, 丙.
    EXPECT_EQ(m_list.RenderPage(0, out, u"甲 乙 甲\u3000丙", TextPart::WholeText), 4);
    EXPECT_EQ(out, Display("T", "", Hit(1, "乙") + Hit(0, "甲") + Hit(2, "乙") + Hit(3, "丙")));
    // A later keyword inside an earlier hit is marked inside it.
    EXPECT_EQ(m_list.RenderPage(0, out, u"甲乙 乙", TextPart::WholeText), 3);
    EXPECT_EQ(out, Display("T", "", Hit(1, "乙") + Hit(0, "甲" + Hit(2, "乙")) + "丙"));
}

TEST_F(RenderPageTest, NothingToRenderLeavesTheOutputAlone) {
    Store({{1, "<title>T</title><TD></TD><TD>甲</TD>"}});
    std::string out = "untouched";
    EXPECT_EQ(m_list.RenderPage(0, out, u"", TextPart::WholeText), 0);
    EXPECT_EQ(m_list.RenderPage(0, out, u"  \u3000 ", TextPart::WholeText), 0);
    EXPECT_EQ(m_list.RenderPage(5, out, u"甲", TextPart::WholeText), 0);
    EXPECT_EQ(out, "untouched");
    // A keyword of wildcards still runs its pass: the page comes back templated.
    EXPECT_EQ(m_list.RenderPage(0, out, u"?*", TextPart::WholeText), 0);
    EXPECT_EQ(out, Display("T", "", "甲"));
    m_list.Close();
    out = "untouched";
    EXPECT_EQ(m_list.RenderPage(0, out, u"甲", TextPart::WholeText), 0);
    EXPECT_EQ(out, "untouched");
}

TEST_F(RenderPageTest, HostilePagesRender) {
    std::string strBig(1 << 20, '<');
    std::string strAngles;
    for (int i = 0; i < 100000; ++i) strAngles += i % 2 ? "<TD>" : "</TD>甲";
    const std::vector<std::pair<int, std::string>> pages = {
        {1, ""},
        {1, "no markup at all 甲"},
        {1, "<title>no cells 甲"},
        {1, "<title>T</title><td>lower 甲</td><td>甲</td>"},
        {1, "<title>T</title><TD><table><TD>nested 甲</TD></table>甲</TD><TD>甲</TD>"},
        {1, "<title>T</title><TD></TD><TD>" + kOpen + "unclosed 甲"},
        {1, "<title>T</title><TD></TD><TD>甲<unclosed tag 甲"},
        {1, "<title>T</title><TD></TD><TD>a > b < c 甲</TD>"},
        {1, "<title>T</title><TD></TD><TD>\xFF\xFE\xE7\x94 bad \xB2 utf-8 \xE7\x94\xB2</TD>"},
        {1, strBig},
        {1, "<title>T</title>" + strAngles},
    };
    Store(pages);
    for (int32_t nPage = 0; nPage < static_cast<int32_t>(pages.size()); ++nPage) {
        for (TextPart ePart : {TextPart::WholeText, TextPart::MainText, TextPart::Annotations}) {
            std::string out;
            int nMarks = m_list.RenderPage(nPage, out, u"甲 *甲 甲?? ?", ePart);
            EXPECT_GE(nMarks, 0);
            EXPECT_EQ(out.compare(0, kHead.size(), kHead), 0) << nPage;
            // The display page parses back into its three parts.
            std::vector<HTMLNode> parts;
            CPageMarkup::ParsePage(out, parts);
            EXPECT_EQ(parts.size(), 3u);
        }
    }
    // The unclosed annotation gains its close tag.
    std::string out;
    m_list.RenderPage(5, out, u"甲", TextPart::WholeText);
    EXPECT_NE(out.find(kOpen + "unclosed " + Hit(0, "甲") + kClose + kTail), std::string::npos);
}

TEST(RenderBoundTest, PassesStopAtTheWorkBound) {
    // A page of just over 4 MiB and 40 keywords that each occur once: a pass
    // starts while less than 64 MiB have been read, so 16 passes run.
    std::u16string strKeywords;
    std::string strCell;
    for (char16_t u = u'一'; u < u'一' + 40; ++u) {
        strKeywords += std::u16string(1, u) + u" ";
        CCodeConverter::AppendUtf8(u, strCell);
    }
    strCell.resize(4u << 20, 'x');
    const std::string strPage = "<title>T</title><TD>" + strCell + "</TD>";
    std::string out;
    const int nMarks = CFileList::RenderBytes(strPage, out, strKeywords, 0, TextPart::WholeText);
    EXPECT_EQ(nMarks, 16);
}

TEST(VariantExpansionTest, Combinations) {
    CVariantTable table;
    table.Parse("56FD,570B,56EF\n4E2D\n5B66,5B78\n27944,2000B\n");
    struct Case {
        const char16_t* pszKeywords;
        std::vector<std::u16string> forms;
    } cases[] = {
        {u"中國", {u"中国", u"中國", u"中囯"}},
        {u"國 ?學", {u"国 ?学", u"国 ?學", u"國 ?学", u"國 ?學", u"囯 ?学", u"囯 ?學"}},
        {u"天下", {u"天下"}},
        {u"\U00027944*", {u"\U00027944*", u"\U0002000B*"}},
        {u"\xD840", {u"\xD840"}},  // an unpaired surrogate stands for itself
    };
    for (const Case& c : cases) {
        std::vector<std::u16string> forms;
        EXPECT_TRUE(table.ExpandVariants(c.pszKeywords, forms));
        EXPECT_EQ(forms, c.forms);
    }
}

TEST(VariantExpansionTest, TooManyCombinationsAreBounded) {
    CVariantTable table;
    table.Parse("56FD,570B,56EF\n");
    std::u16string strKeywords(30, u'國');  // 3^30 combinations
    strKeywords += u" 学";
    std::vector<std::u16string> forms;
    EXPECT_FALSE(table.ExpandVariants(strKeywords, forms));
    ASSERT_FALSE(forms.empty());
    EXPECT_EQ(forms[0], strKeywords);  // what was typed comes first
    EXPECT_LE(forms.size(), CVariantTable::MaxCombinations);
    // Every term gets a share: the short one all its forms.
    EXPECT_NE(std::find(forms.begin(), forms.end(), u"学"), forms.end());
    // A very long keyword string stays within the unit bound.
    std::u16string strLong(1 << 20, u'國');
    EXPECT_FALSE(table.ExpandVariants(strLong, forms));
    size_t nUnits = 0;
    for (const auto& form : forms) nUnits += form.size();
    EXPECT_LE(nUnits, CVariantTable::MaxExpandedUnits + strLong.size());
}

// The page display marks only the forms that occur on the page; what it
// shows must be what marking every combination shows.
TEST(VariantExpansionTest, FormsOnThePageMarkWhatEveryCombinationMarks) {
    CVariantTable table;
    table.Parse("56FD,570B,56EF\n5B66,5B78\n684C,6A31,6AFB\n8AAD,8B80,8BFB\n");  // 国國囯 学學 桜樱櫻 読讀读
    const std::u16string strAlphabet = u"国國囯学學桜樱櫻読讀读書而";
    std::mt19937 rng(5);
    auto pick = [&](const std::u16string& from) { return from[rng() % from.size()]; };
    int nMarked = 0;
    for (int i = 0; i < 300; ++i) {
        std::string strCell;
        for (int n = 0; n < 40; ++n) {
            if (rng() % 9 == 0) strCell += rng() % 2 ? kOpen : kClose;
            if (rng() % 11 == 0) strCell += "<p>";
            CCodeConverter::AppendUtf8(pick(strAlphabet), strCell);
        }
        const std::string strPage = "<title>T</title><TD>" + strCell + "</TD><TD>" + strCell + "</TD>";
        std::u16string strKeywords;
        for (int nTerms = 1 + static_cast<int>(rng() % 3); nTerms > 0; --nTerms) {
            if (!strKeywords.empty()) strKeywords += rng() % 2 ? u" " : u"\u3000";
            for (int n = 1 + static_cast<int>(rng() % 3); n > 0; --n) {
                const unsigned k = rng() % 8;
                strKeywords += k == 0 ? u'?' : k == 1 ? u'*' : pick(strAlphabet);
            }
        }
        std::vector<std::u16string> every;
        if (!table.ExpandVariants(strKeywords, every)) continue;  // too many to compare with
        std::vector<std::u16string> onPage;
        ASSERT_TRUE(table.ExpandVariantsOnPage(strKeywords, strPage, onPage));
        EXPECT_LE(onPage.size(), every.size() * 3);
        auto join = [](const std::vector<std::u16string>& forms) {
            std::u16string s;
            for (const auto& form : forms) s += (s.empty() ? u"" : u" ") + form;
            return s;
        };
        for (int nParity : {0, 1}) {
            for (TextPart ePart : {TextPart::WholeText, TextPart::MainText, TextPart::Annotations}) {
                std::string strEvery, strOnPage;
                const int nEvery = CFileList::RenderBytes(strPage, strEvery, join(every), nParity, ePart);
                const int nOnPage = CFileList::RenderBytes(strPage, strOnPage, onPage.empty() ? strKeywords : join(onPage),
                                                           nParity, ePart);
                EXPECT_EQ(nOnPage, nEvery) << CCodeConverter::Utf16ToUtf8(strKeywords);
                EXPECT_EQ(strOnPage, strEvery) << CCodeConverter::Utf16ToUtf8(strKeywords) << "\n" << strPage;
                nMarked += nEvery > 0;
            }
        }
    }
    EXPECT_GT(nMarked, 200);  // the cases mark something
}

TEST(VariantExpansionTest, LongPhrasesTypedInNewFormsMarkEveryHit) {
    // Twelve characters of three forms each: 531,441 combinations, far
    // beyond what marking every combination may try.
    CVariantTable table;
    table.Parse("6C17,6C14,6C23\n8AAD,8B80,8BFB\n6226,6230,6218\n697D,6A02,4E50\n");  // 気氣气 読讀读 戦戰战 楽樂乐
    const std::u16string strTyped = u"気読戦楽気読戦楽気読戦楽";
    std::vector<std::u16string> every;
    EXPECT_FALSE(table.ExpandVariants(strTyped, every));  // bounded: not every form
    const std::string strOld = "氣讀戰樂氣讀戰樂氣讀戰樂";
    const std::string strMixed = "气讀戰樂氣读戰樂氣讀战乐";
    const std::string strPage = "<title>T</title><TD>" + strOld + "<p>" + strMixed + "<p>" + strOld + "</TD><TD></TD>";
    std::vector<std::u16string> forms;
    ASSERT_TRUE(table.ExpandVariantsOnPage(strTyped, strPage, forms));
    // In the order of the combinations: 气 comes before 氣 in its group.
    EXPECT_EQ(forms, (std::vector<std::u16string>{u"气讀戰樂氣读戰樂氣讀战乐", u"氣讀戰樂氣讀戰樂氣讀戰樂"}));
    std::string out;
    EXPECT_EQ(CFileList::RenderBytes(strPage, out, forms[0] + u" " + forms[1], 0, TextPart::WholeText), 3);
    // A page without the phrase in any form: nothing to mark.
    EXPECT_TRUE(table.ExpandVariantsOnPage(strTyped, "<TD>氣讀戰樂</TD>", forms));
    EXPECT_TRUE(forms.empty());
}

}  // namespace
