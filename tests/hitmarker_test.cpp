#include "corpus/hitmarker.h"

#include <gtest/gtest.h>

namespace {

// Short names for the markup in expected outputs.
std::string A(int n) {
    std::string s;
    CHitMarker::AppendAnchor(n, s);
    return s;
}
const std::string B = CHitMarker::BoldOpen;
const std::string E = CHitMarker::BoldClose;
std::string Hit(int n, const std::string& s) { return A(n) + B + s + E; }

TEST(HitMarkerTest, BuildFilter) {
    using Items = std::vector<std::tuple<int, std::string, int>>;  // kind, bytes, count
    struct Case {
        const char* pszKeyword;
        Items items;
    } cases[] = {
        {"ab", {{2, "ab", 1}}},
        {"a?b", {{2, "a", 1}, {1, "b", 1}}},
        {"a??b", {{2, "a", 1}, {1, "b", 2}}},
        {"a*b", {{2, "a", 1}, {0, "b", 1}}},
        {"*a", {{0, "a", 1}}},
        {"?a", {{2, "a", 2}}},
        {"a?", {{2, "a", 1}}},
        {"a*", {{2, "a", 1}}},
        {"a**b", {{2, "a", 1}, {0, "b", 1}}},
        {"a*?b", {{2, "a", 1}, {0, "b", 2}}},
        {"?", {}},
        {"*?*", {}},
        {"", {}},
    };
    for (const Case& c : cases) {
        Items actual;
        for (const FilterItem& item : CHitMarker::BuildFilter(c.pszKeyword))
            actual.emplace_back(item.m_nKind, item.m_bytes, item.m_nCount);
        EXPECT_EQ(actual, c.items) << c.pszKeyword;
    }
}

TEST(HitMarkerTest, MarkSegment) {
    // x, y, z, A, B, C stand for three-byte characters.
    const std::string x = "中", y = "國", z = "史", a = "甲", b = "乙", c = "丙";
    struct Case {
        const char* pszName;
        std::string text;
        std::string keyword;
        int nCounterIn;
        std::string expected;
        int nMatches;
    } cases[] = {
        {"two hits numbered in text order from the counter", x + a + y + a, a, 5,
         x + Hit(5, a) + y + Hit(6, a), 2},
        {"overlapping occurrences: only the first", a + a + a, a + a, 0, A(0) + B + a + a + E + a, 1},
        {"a?b marks the character between", a + x + b, a + "?" + b, 3,
         Hit(3, a) + B + A(4) + x + E + Hit(5, b), 1},
        {"a?b with two characters between", a + x + y + b, a + "?" + b, 0, a + x + y + b, 0},
        {"a?b over a one-byte character", a + "q" + b, a + "?" + b, 0, a + "q" + b, 0},
        {"a*b", a + x + y + b, a + "*" + b, 0, Hit(0, a) + x + y + Hit(1, b), 1},
        {"a*b stops at a paragraph, finds the later pair", a + "<p>" + b + a + x + b, a + "*" + b, 0,
         a + "<p>" + b + Hit(0, a) + x + Hit(1, b), 1},
        {"a*b stops at a heading", a + "<h4>" + b, a + "*" + b, 0, a + "<h4>" + b, 0},
        {"literal broken by a tag", a + "<br>" + b, a + b, 0, a + "<br>" + b, 0},
        {"a failing item moves the resume point past a true match", a + x + a + y + b + z + c,
         a + "?" + b + "*" + c, 0, a + x + a + y + b + z + c, 0},
        {"wildcards only mark nothing", a + b, "?*?", 0, a + b, 0},
        {"tags are searched bytes", "<br>", "br", 0, "<" + Hit(0, "br") + ">", 1},
    };
    for (const Case& cs : cases) {
        Seg segment;
        segment.m_pText = cs.text;
        std::string out = "pre";
        int nCounter = cs.nCounterIn;
        EXPECT_EQ(CHitMarker::MarkSegment(segment, cs.keyword, out, nCounter), cs.nMatches) << cs.pszName;
        EXPECT_EQ(out, "pre" + cs.expected) << cs.pszName;
    }
}

TEST(HitMarkerTest, AnchorsWidenPast9999) {
    std::string s;
    CHitMarker::AppendAnchor(7, s);
    CHitMarker::AppendAnchor(12345, s);
    EXPECT_EQ(s, "<a name=\"0007\"></a><a name=\"12345\"></a>");
}

TEST(HitMarkerTest, LongSegmentsStayLinear) {
    // Many short attempts over a long segment where "<p>" never occurs and
    // the literal after "?" lies far ahead: every search is remembered, so
    // this finishes at once rather than in quadratic time.
    Seg segment;
    for (int i = 0; i < 200000; ++i) segment.m_pText += "甲乙";
    segment.m_pText += "丙";
    std::string out;
    int nCounter = 0;
    EXPECT_EQ(CHitMarker::MarkSegment(segment, "甲*乙", out, nCounter), 200000);
    // The literal after "?" stands only at the very end: every attempt asks
    // whether it occurs further on.
    out.clear();
    EXPECT_EQ(CHitMarker::MarkSegment(segment, "甲?丙", out, nCounter), 1);
    EXPECT_TRUE(out.size() > segment.m_pText.size()) << "marked nothing";
}

}  // namespace
