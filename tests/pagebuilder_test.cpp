#include "builder/pagebuilder.h"

#include "text/codeconverter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string kOpen = "<font size=-1 color=\"#993366\">";
const std::string kClose = "</font>";

// The page as the renderer takes it apart: title and the two cells (tags
// beginning "<title", "<TD", "</title>", "</TD>"), then a cell cut into
// segments at the annotation tags. Only what the builder's pages need.
struct ParsedPage {
    std::string title, cell1, cell2;
};

ParsedPage ParseLikeRenderer(const std::string& strPage) {
    ParsedPage page;
    std::string* parts[7] = {nullptr, &page.title, nullptr, &page.cell1, nullptr, &page.cell2, nullptr};
    int nState = 0;
    for (size_t i = 0; i < strPage.size();) {
        if (strPage[i] != '<') {
            if (parts[nState]) parts[nState]->push_back(strPage[i]);
            ++i;
            continue;
        }
        const size_t nEnd = strPage.find('>', i);
        if (nEnd == std::string::npos) break;
        const std::string strTag = strPage.substr(i, nEnd + 1 - i);
        i = nEnd + 1;
        if (strTag.rfind("<title", 0) == 0 && nState == 0) nState = 1;
        else if (strTag.rfind("<TD", 0) == 0) nState = nState == 2 ? 3 : nState == 4 ? 5 : nState;
        else if (strTag.rfind("</title>", 0) == 0) nState = 2;
        else if (strTag.rfind("</TD>", 0) == 0) nState = nState == 3 ? 4 : nState == 5 ? 6 : nState;
        else if (parts[nState]) *parts[nState] += strTag;
    }
    return page;
}

struct Segment {
    std::string bytes;
    bool annotation;
};

std::vector<Segment> SplitLikeRenderer(const std::string& strCell) {
    std::vector<Segment> segments{{"", false}};
    for (size_t i = 0; i < strCell.size();) {
        if (strCell.compare(i, kOpen.size(), kOpen) == 0) {
            segments.push_back({"", true});
            i += kOpen.size();
        } else if (segments.back().annotation && strCell.compare(i, kClose.size(), kClose) == 0) {
            segments.push_back({"", false});
            i += kClose.size();
        } else {
            segments.back().bytes.push_back(strCell[i++]);
        }
    }
    return segments;
}

std::string Utf8(const std::u32string& s) {
    std::string out;
    for (char32_t c : s) CCodeConverter::AppendUtf8(c, out);
    return out;
}

}  // namespace

TEST(PageBuilderTest, WritesThePageHtml) {
    CPageBuilder builder;
    builder.Build("論語", "學而<一>", 3, "# 學而\n子曰{注}a&b\n");
    EXPECT_EQ(builder.Html(),
              "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">"
              "<title>論語 學而&lt;一&gt; 3</title></head>\n"
              "<body><TABLE border=1 cellPadding=4 cellSpacing=1 width=635>\n"
              "<tr><TD width=80 vAlign=top align=\"center\">論語<br>學而&lt;一&gt;<br>3</TD>"
              "<TD width=450 vAlign=top><h4>學而</h4>\n"
              "<p>子曰<font size=-1 color=\"#993366\">注</font>a&amp;b</TD></tr>\n"
              "</TABLE></body></html>\n");

    // Even page numbers put the text into the first cell.
    builder.Build("論語", "學而", 2, "子曰");
    EXPECT_NE(builder.Html().find("<tr><TD width=450 vAlign=top><p>子曰</TD><TD width=80 vAlign=top "
                                  "align=\"center\">論語<br>學而<br>2</TD></tr>"),
              std::string::npos)
        << builder.Html();
}

TEST(PageBuilderTest, GivesPositionsWithGapsAtBreaksAndBoundaries) {
    struct Case {
        const char* pszText;
        std::vector<PageChar> chars;
    };
    const uint32_t G = CPageBuilder::BreakGap;
    const std::vector<Case> cases = {
        {"子曰", {{U'子', 0, false}, {U'曰', 1, false}}},
        // Punctuation and spaces take positions like any character.
        {"a, b", {{U'a', 0, false}, {U',', 1, false}, {U' ', 2, false}, {U'b', 3, false}}},
        {"子\n曰", {{U'子', 0, false}, {U'曰', 1 + G, false}}},
        {"子\r\n曰\n", {{U'子', 0, false}, {U'曰', 1 + G, false}}},
        {"子\n\n曰", {{U'子', 0, false}, {U'曰', 1 + 2 * G, false}}},
        {"# 子\n曰", {{U'子', 0, false}, {U'曰', 1 + G, false}}},
        {"子{注}曰", {{U'子', 0, false}, {U'注', 1 + G, true}, {U'曰', 2 + 2 * G, false}}},
        {"{注}曰", {{U'注', G, true}, {U'曰', 1 + 2 * G, false}}},
        // The annotation ends with its line: a boundary, then the break.
        {"子{注\n曰", {{U'子', 0, false}, {U'注', 1 + G, true}, {U'曰', 2 + 3 * G, false}}},
        // Two annotations that meet have (empty) main text between them.
        {"{甲}{乙}", {{U'甲', G, true}, {U'乙', 1 + 3 * G, true}}},
        // An empty annotation is nothing at all.
        {"子{}曰", {{U'子', 0, false}, {U'曰', 1, false}}},
        {"", {}},
    };
    CPageBuilder builder;
    for (const Case& c : cases) {
        builder.Build("b", "v", 1, c.pszText);
        ASSERT_EQ(builder.Chars().size(), c.chars.size()) << c.pszText;
        for (size_t i = 0; i < c.chars.size(); ++i) {
            EXPECT_EQ(builder.Chars()[i].codePoint, c.chars[i].codePoint) << c.pszText << " #" << i;
            EXPECT_EQ(builder.Chars()[i].position, c.chars[i].position) << c.pszText << " #" << i;
            EXPECT_EQ(builder.Chars()[i].annotation, c.chars[i].annotation) << c.pszText << " #" << i;
        }
    }
}

TEST(PageBuilderTest, ReadsBracesByItsRules) {
    struct Case {
        const char* pszText;
        const char* pszCell;  // the text cell's contents
    };
    const std::string O = kOpen, C = kClose;
    const std::vector<Case> cases = {
        {"a{b}c", "<p>a<font size=-1 color=\"#993366\">b</font>c"},
        // Braces nest inside an annotation and stay its text.
        {"a{b{c}d}e", "<p>a<font size=-1 color=\"#993366\">b{c}d</font>e"},
        // An unclosed annotation runs to the end of its line only.
        {"a{bc\nd}e", "<p>a<font size=-1 color=\"#993366\">bc</font>\n<p>d}e"},
        {"a{b{c}", "<p>a<font size=-1 color=\"#993366\">b{c}</font>"},
        // A stray closing brace is text.
        {"a}b", "<p>a}b"},
        {"a{}b", "<p>ab"},
        {"{a}{b}", "<p><font size=-1 color=\"#993366\">a</font><font size=-1 color=\"#993366\">b</font>"},
        {"# {a}", "<h4><font size=-1 color=\"#993366\">a</font></h4>"},
        // Only "# " makes a heading.
        {"#a", "<p>#a"},
        {"<p>&", "<p>&lt;p&gt;&amp;"},
    };
    CPageBuilder builder;
    for (const Case& c : cases) {
        builder.Build("b", "v", 0, c.pszText);
        EXPECT_EQ(ParseLikeRenderer(builder.Html()).cell1, c.pszCell) << c.pszText;
    }
}

// What the index holds must be what the renderer sees: the marked cell's
// segments, read back, give the builder's characters in order, with
// neighbouring positions exactly where the renderer sees neighbouring
// characters of one segment and one paragraph.
TEST(PageBuilderTest, PositionsAgreeWithTheCellTheRendererMarks) {
    const char* texts[] = {
        "# 學而第一\n子曰{注：孔子也}學而時習之，不亦說乎？\n有朋{朋{同門}也}自遠方來\n",
        "{首注}正文{注一}{注二}\n\n尾{未完",
        "a < b & c > d\n# 標題\n}{",
    };
    CPageBuilder builder;
    for (const char* pszText : texts) {
        for (int32_t nPage : {6, 7}) {
            builder.Build("書", "卷", nPage, pszText);
            const ParsedPage page = ParseLikeRenderer(builder.Html());
            EXPECT_EQ(page.title, std::string("書 卷 ") + std::to_string(nPage));
            const std::string& strText = nPage % 2 == 0 ? page.cell1 : page.cell2;
            const std::string& strLabel = nPage % 2 == 0 ? page.cell2 : page.cell1;
            EXPECT_EQ(strLabel, "書<br>卷<br>" + std::to_string(nPage));

            // Walk the segments as text, noting where the renderer would see
            // a break between two characters.
            struct Seen {
                char32_t c;
                bool annotation;
                bool adjacent;  // follows the previous character directly
            };
            std::vector<Seen> seen;
            for (const Segment& segment : SplitLikeRenderer(strText)) {
                bool bAdjacent = false;
                std::string strBytes = segment.bytes;
                for (size_t i = 0; i < strBytes.size();) {
                    if (strBytes[i] == '<') {
                        size_t nEnd = strBytes.find('>', i);
                        ASSERT_NE(nEnd, std::string::npos);
                        bAdjacent = false;
                        i = nEnd + 1;
                        continue;
                    }
                    if (strBytes[i] == '\n') {  // between lines, before a tag
                        ++i;
                        continue;
                    }
                    std::string strChar;
                    if (strBytes[i] == '&') {
                        size_t nEnd = strBytes.find(';', i);
                        const std::string strEntity = strBytes.substr(i, nEnd + 1 - i);
                        strChar = strEntity == "&lt;" ? "<" : strEntity == "&gt;" ? ">" : "&";
                        i = nEnd + 1;
                    } else {
                        size_t nLength = 1;
                        while (i + nLength < strBytes.size() && (strBytes[i + nLength] & 0xC0) == 0x80) ++nLength;
                        strChar = strBytes.substr(i, nLength);
                        i += nLength;
                    }
                    seen.push_back({CCodeConverter::Utf8ToUtf32(strChar)[0], segment.annotation, bAdjacent});
                    bAdjacent = true;
                }
            }
            const std::vector<PageChar>& chars = builder.Chars();
            ASSERT_EQ(seen.size(), chars.size()) << pszText;
            for (size_t i = 0; i < chars.size(); ++i) {
                EXPECT_EQ(Utf8({chars[i].codePoint}), Utf8({seen[i].c})) << pszText << " #" << i;
                EXPECT_EQ(chars[i].annotation, seen[i].annotation) << pszText << " #" << i;
                if (i == 0) continue;
                const uint32_t nStep = chars[i].position - chars[i - 1].position;
                if (seen[i].adjacent)
                    EXPECT_EQ(nStep, 1u) << pszText << " #" << i;
                else
                    EXPECT_GT(nStep, 1 + 300u) << pszText << " #" << i;  // beyond any "*" gap
            }
        }
    }
}
