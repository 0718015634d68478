#include "corpus/pagemarkup.h"

#include <gtest/gtest.h>

namespace {

const std::string kOpen = CPageMarkup::AnnotationOpen;
const std::string kClose = CPageMarkup::AnnotationClose;

TEST(PageMarkupTest, ParsePage) {
    struct Case {
        const char* pszName;
        std::string page;
        std::string title, first, second;
    } cases[] = {
        {"title and two cells",
         "<html><head><title>T</title></head><body><table><tr><TD width=80>X</TD><TD>Y<br>Z</TD></tr></table>after",
         "T", "X", "Y<br>Z"},
        {"lower-case cells open nothing", "<title>T</title><td>X</td><td>Y</td>", "T", "", ""},
        {"upper-case title is no title", "<TITLE>T</TITLE><TD>X</TD>", "", "", ""},
        {"second title tag is ordinary", "<title>T</title><TD>a<title>b</TD>", "T", "a<title>b", ""},
        {"nested cell tag dropped, its close ends the cell", "<title>T</title><TD>a<TD>b</TD>c</TD><TD>d</TD>", "T",
         "ab", "d"},
        {"cells before the title", "<TD>X</TD><title>T</title><TD>Y</TD>", "T", "Y", ""},
        {"unfinished tag at the end is dropped", "<title>T</title><TD>X<b", "T", "X", ""},
        {"lone > is text, lone < swallows up to the next >", "<title>a>b</title><TD>x<y</TD>z</TD>", "a>b",
         "x<y</TD>z", ""},
        {"empty page", "", "", "", ""},
    };
    for (const Case& c : cases) {
        std::vector<HTMLNode> nodes;
        CPageMarkup::ParsePage(c.page, nodes);
        ASSERT_EQ(nodes.size(), 3u) << c.pszName;
        EXPECT_EQ(nodes[0].m_pText, c.title) << c.pszName;
        EXPECT_EQ(nodes[1].m_pText, c.first) << c.pszName;
        EXPECT_EQ(nodes[2].m_pText, c.second) << c.pszName;
        for (const HTMLNode& node : nodes) EXPECT_EQ(node.m_nType, 2);
    }
}

TEST(PageMarkupTest, SplitSegments) {
    using Segs = std::vector<std::pair<int, std::string>>;
    struct Case {
        const char* pszName;
        std::string cell;
        Segs segments;
    } cases[] = {
        {"main, note, main", "A" + kOpen + "B" + kClose + "C", {{0, "A"}, {1, "B"}, {0, "C"}}},
        {"note at both ends", kOpen + "B" + kClose, {{0, ""}, {1, "B"}, {0, ""}}},
        {"close in main text is ordinary", "A</font>B", {{0, "A</font>B"}}},
        {"other font tags are ordinary", "A<font color=red>B</font>", {{0, "A<font color=red>B</font>"}}},
        {"opened twice", kOpen + "a" + kOpen + "b" + kClose + "c", {{0, ""}, {1, "a"}, {1, "b"}, {0, "c"}}},
        {"never closed", "A" + kOpen + "B<br>C", {{0, "A"}, {1, "B<br>C"}}},
        {"empty cell", "", {{0, ""}}},
    };
    for (const Case& c : cases) {
        std::vector<Seg> segments;
        HTMLNode node;
        node.m_pText = c.cell;
        CPageMarkup::SplitSegments(node, segments);
        Segs actual;
        for (const Seg& seg : segments) actual.emplace_back(seg.m_nKind, seg.m_pText);
        EXPECT_EQ(actual, c.segments) << c.pszName;
    }
}

}  // namespace
