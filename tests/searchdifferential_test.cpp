// Random corpora written by the corpus writer, searched through the index
// and compared with a brute-force scan of the page texts.
//
// The scan works in the positions the builder gives: every character takes
// the next position, and each paragraph break and each boundary between main
// text and annotation adds 301. A pattern is cut at "*" into segments; a
// segment occurs at value v where each of its characters stands at
// v - (P - 1 - offset); consecutive segments must follow within 0 to 300.
// A page's hits are the values of the first segment from which the rest of
// the pattern can be completed.
#include "corpus/corpuswriter.h"
#include "index/index.h"
#include "text/codeconverter.h"
#include "text/varianttable.h"

#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <unordered_map>

namespace {

constexpr uint32_t kBreak = 301;

// The alphabet: frequent and rare characters, variant forms, characters
// outside the basic plane, characters without a slot (。, ideographic space,
// a Latin letter) and a full-width comma, which has one.
const char32_t kCommon[] = U"之不人中天下明月山";
const char32_t kRare[] = U"國国囯學学\U00027944\U0002000B，。\u3000aの";
const char* kVariants = "56FD,570B,56EF\n5B66,5B78\n27944,2000B\n4E0B,4E0D\n";

struct Run {
    std::u32string text;
    bool annotation = false;
};
// A line alternates main text and annotations: main, note, main, note, main.
struct Line {
    bool heading = false;
    std::vector<Run> runs;
};
struct Page {
    std::vector<Line> lines;
    std::map<uint32_t, std::pair<char32_t, bool>> chars;  // position -> character, annotation
};

char32_t RandomChar(std::mt19937& rng) {
    if (rng() % 5 != 0) return kCommon[rng() % (std::size(kCommon) - 1)];
    return kRare[rng() % (std::size(kRare) - 1)];
}

std::u32string RandomText(std::mt19937& rng, int nMax) {
    std::u32string s;
    int n = static_cast<int>(rng() % static_cast<unsigned>(nMax + 1));
    for (int i = 0; i < n; ++i) s.push_back(RandomChar(rng));
    return s;
}

Page RandomPage(std::mt19937& rng) {
    Page page;
    // Now and then a long page, so that positions need three-byte numbers
    // and position data runs past 255 bytes.
    int nLines = rng() % 10 == 0 ? 60 + static_cast<int>(rng() % 20) : 1 + static_cast<int>(rng() % 8);
    uint32_t nNext = 0;
    for (int l = 0; l < nLines; ++l) {
        Line line;
        line.heading = rng() % 6 == 0;
        int nNotes = rng() % 3 == 0 ? 1 + static_cast<int>(rng() % 2) : 0;
        for (int r = 0; r <= 2 * nNotes; ++r) {
            Run run;
            run.annotation = r % 2 == 1;
            run.text = RandomText(rng, run.annotation ? 12 : 40);
            if (run.annotation && run.text.empty()) run.text.assign(1, U'之');
            line.runs.push_back(run);
        }
        if (l > 0) nNext += kBreak;
        for (size_t r = 0; r < line.runs.size(); ++r) {
            if (r > 0) nNext += kBreak;
            for (char32_t c : line.runs[r].text) page.chars[nNext++] = {c, line.runs[r].annotation};
        }
        page.lines.push_back(line);
    }
    return page;
}

std::string SourceText(const Page& page) {
    std::u32string s;
    for (const Line& line : page.lines) {
        if (line.heading) s += U"# ";
        for (const Run& run : line.runs) s += run.annotation ? U"{" + run.text + U"}" : run.text;
        s += U"\n";
    }
    std::string out;
    for (char32_t c : s) CCodeConverter::AppendUtf8(c, out);
    return out;
}

// A pattern in position space.
struct RefPattern {
    struct Term {
        char32_t c;
        uint32_t offset;
    };
    std::vector<std::vector<Term>> segments;  // only segments that hold a term
    uint32_t length = 0;                      // P
    bool valid = false;
};

RefPattern CompileReference(const std::u16string& strPattern) {
    RefPattern pattern;
    if (strPattern.size() > CIndex::MaxPatternUnits) return pattern;
    std::u32string chars = CCodeConverter::Utf8ToUtf32(CCodeConverter::Utf16ToUtf8(strPattern));
    std::vector<RefPattern::Term> segment;
    for (char32_t c : chars) {
        if (c == U'*') {
            if (!segment.empty()) pattern.segments.push_back(segment);
            segment.clear();
        } else if (c == U'?' || c == U'？') {
            ++pattern.length;
        } else if (CCodeConverter::IndexSlot(c) >= 0) {
            segment.push_back({c, pattern.length++});
        }
    }
    if (!segment.empty()) pattern.segments.push_back(segment);
    pattern.valid = !pattern.segments.empty();
    return pattern;
}

class Reference {
public:
    Reference(const std::vector<Page>& pages, const CVariantTable& variants) : m_variants(variants) {
        for (int nScope = 0; nScope < 3; ++nScope) {
            for (const Page& page : pages) {
                ScopedPage scoped;
                for (const auto& [nPos, value] : page.chars) {
                    if (nScope != ScopeWholeText && (nScope == ScopeAnnotations) != value.second) continue;
                    scoped.at[nPos] = value.first;
                    scoped.chars.emplace_back(nPos, value.first);
                }
                m_scoped[nScope].push_back(std::move(scoped));
            }
        }
    }

    // Hits per page (pages without hits left out), ascending.
    std::map<uint32_t, uint32_t> Search(const std::u16string& strPattern, int nScope, bool bVariants) const {
        std::map<uint32_t, uint32_t> found;
        RefPattern pattern = CompileReference(strPattern);
        if (!pattern.valid) return found;
        const std::vector<ScopedPage>& pages = m_scoped[nScope == 1 || nScope == 2 ? nScope : 0];
        for (uint32_t p = 0; p < pages.size(); ++p) {
            uint32_t n = CountOnPage(pages[p], pattern, bVariants);
            if (n) found[p] = n;
        }
        return found;
    }

private:
    struct ScopedPage {
        std::unordered_map<uint32_t, char32_t> at;
        std::vector<std::pair<uint32_t, char32_t>> chars;  // ascending positions
    };

    bool Matches(char32_t cPattern, char32_t cText, bool bVariants) const {
        int32_t nSlot = -1;
        if (bVariants && m_variants.MapVariantSlot(cPattern, nSlot)) {
            int32_t nTextSlot = -1;
            return m_variants.MapVariantSlot(cText, nTextSlot) && nTextSlot == nSlot;
        }
        return cPattern == cText;
    }

    uint32_t CountOnPage(const ScopedPage& page, const RefPattern& pattern, bool bVariants) const {
        // Values at which each segment occurs, ascending.
        std::vector<std::vector<uint64_t>> values;
        for (const auto& segment : pattern.segments) {
            std::vector<uint64_t> v;
            const uint32_t nShift0 = pattern.length - 1 - segment[0].offset;
            for (const auto& [nPos, c] : page.chars) {
                if (!Matches(segment[0].c, c, bVariants)) continue;
                uint64_t nValue = uint64_t{nPos} + nShift0;
                bool bAll = true;
                for (size_t t = 1; t < segment.size() && bAll; ++t) {
                    uint64_t nShift = pattern.length - 1 - segment[t].offset;
                    auto it = nValue >= nShift ? page.at.find(static_cast<uint32_t>(nValue - nShift)) : page.at.end();
                    bAll = it != page.at.end() && Matches(segment[t].c, it->second, bVariants);
                }
                if (bAll) v.push_back(nValue);
            }
            if (v.empty()) return 0;
            values.push_back(v);
        }
        // Keep the values from which the later segments can follow.
        for (size_t s = values.size() - 1; s-- > 0;) {
            std::vector<uint64_t> kept;
            for (uint64_t a : values[s]) {
                auto it = std::lower_bound(values[s + 1].begin(), values[s + 1].end(), a);
                if (it != values[s + 1].end() && *it - a <= CIndex::MaxGap) kept.push_back(a);
            }
            values[s] = kept;
        }
        return static_cast<uint32_t>(values[0].size());
    }

    std::vector<ScopedPage> m_scoped[3];
    const CVariantTable& m_variants;
};

// A pattern from the alphabet, or cut from a page so that it occurs.
std::u16string RandomPattern(std::mt19937& rng, const std::vector<Page>& pages) {
    std::u32string s;
    if (rng() % 2 == 0) {
        int n = 1 + static_cast<int>(rng() % 4);
        for (int i = 0; i < n; ++i) s.push_back(RandomChar(rng));
    } else {
        const Page& page = pages[rng() % pages.size()];
        const Line& line = page.lines[rng() % page.lines.size()];
        const Run& run = line.runs[rng() % line.runs.size()];
        if (run.text.empty()) return u"之";
        size_t nFrom = rng() % run.text.size();
        size_t nLength = 1 + rng() % std::min<size_t>(8, run.text.size() - nFrom);
        s = run.text.substr(nFrom, nLength);
    }
    std::u32string out;
    if (rng() % 8 == 0) out.push_back(U'*');
    for (char32_t c : s) {
        switch (rng() % 10) {
        case 0: out.push_back(U'?'); break;
        case 1: out.push_back(c); out.push_back(U'*'); break;
        case 2: out.push_back(U'？'); break;
        default: out.push_back(c); break;
        }
    }
    if (rng() % 6 == 0) out.push_back(U'*');
    std::u16string w;
    for (char32_t c : out) CCodeConverter::AppendUtf16(c, w);
    return w;
}

// The pages where two results differ, for failure messages.
std::string Difference(const std::map<uint32_t, uint32_t>& actual, const std::map<uint32_t, uint32_t>& expected) {
    std::string out;
    std::set<uint32_t> pages;
    for (const auto& [p, n] : actual) pages.insert(p);
    for (const auto& [p, n] : expected) pages.insert(p);
    for (uint32_t p : pages) {
        auto a = actual.find(p);
        auto e = expected.find(p);
        uint32_t na = a == actual.end() ? 0 : a->second;
        uint32_t ne = e == expected.end() ? 0 : e->second;
        if (na != ne) out += " page " + std::to_string(p) + ": " + std::to_string(na) + " hits, expected " + std::to_string(ne) + ";";
    }
    return out;
}

std::string Describe(const std::u16string& s, int nScope, bool bVariants) {
    return CCodeConverter::Utf16ToUtf8(s) + " scope " + std::to_string(nScope) + (bVariants ? " variants" : "");
}

TEST(SearchDifferentialTest, IndexAgreesWithAScanOfThePages) {
    for (unsigned nSeed : {1u, 2u, 3u}) {
        std::mt19937 rng(nSeed);
        std::vector<Page> pages;
        CorpusSource source;
        source.categories.resize(1);
        source.categories[0].name = "類";
        for (int b = 0; b < 2; ++b) {
            SourceBook book;
            book.name = "書" + std::to_string(b);
            for (int v = 0; v < 6; ++v) {
                SourceVolume volume;
                volume.name = "卷" + std::to_string(v);
                int nPages = 10 + static_cast<int>(rng() % 40);
                for (int p = 0; p < nPages; ++p) {
                    pages.push_back(RandomPage(rng));
                    volume.pages.push_back({p + 1, SourceText(pages.back()), ""});
                }
                book.volumes.push_back(volume);
            }
            source.categories[0].books.push_back(book);
        }
        CVariantTable variants;
        variants.Parse(kVariants);
        CTempDir dir;
        CCorpusWriter writer;
        writer.SetShuffleSeed(nSeed * 7919);
        std::string strError;
        ASSERT_TRUE(writer.Write(source, variants, dir.Path(), strError)) << strError;

        Reference reference(pages, variants);
        for (int nScope : {ScopeWholeText, ScopeMainText, ScopeAnnotations}) {
            CIndex index;
            ASSERT_TRUE(index.Open(dir.Path(), "Index", nScope));
            for (int i = 0; i < 300; ++i) {
                const bool bVariants = rng() % 2;
                std::u16string strPattern = RandomPattern(rng, pages);
                std::map<uint32_t, uint32_t> expected = reference.Search(strPattern, nScope, bVariants);
                index.SearchPattern(strPattern, CombineReplace, true, bVariants);
                std::map<uint32_t, uint32_t> actual;
                for (size_t k = 0; k < index.GetResultPages().size(); ++k)
                    actual[index.GetResultPages()[k]] = index.GetResultHits()[k];
                ASSERT_TRUE(actual == expected) << Describe(strPattern, nScope, bVariants) << " seed " << nSeed
                                                << Difference(actual, expected);
                // Pages only: the same pages, no hits.
                index.SearchPattern(strPattern, CombineReplace, false, bVariants);
                EXPECT_EQ(index.GetResultPages().size(), expected.size()) << Describe(strPattern, nScope, bVariants);
                EXPECT_TRUE(index.GetResultHits().empty());
                // A counting search after one that did not count is refused
                // until the result set is emptied (an empty pattern does it).
                index.SearchPattern(u"", CombineReplace, false, false);
            }
            // And / or over two or three terms.
            for (int i = 0; i < 60; ++i) {
                const bool bVariants = rng() % 2;
                const bool bAnd = rng() % 2;
                std::vector<std::u16string> terms;
                std::u16string keywords;
                int nTerms = 2 + static_cast<int>(rng() % 2);
                for (int t = 0; t < nTerms; ++t) {
                    terms.push_back(RandomPattern(rng, pages));
                    keywords += (t ? u" " : u"") + terms.back();
                }
                if (CIndex::CountTerms(keywords) == 0) {
                    // Refused (a Latin letter): the previous result stays.
                    const std::vector<uint32_t> before = index.GetResultPages();
                    index.SearchOr(keywords, true, bVariants);
                    EXPECT_EQ(index.GetResultPages(), before);
                    continue;
                }
                std::vector<uint32_t> expectedPages;
                std::map<uint32_t, uint32_t> expectedHits;
                for (int t = 0; t < nTerms; ++t) {
                    std::map<uint32_t, uint32_t> found = reference.Search(terms[static_cast<size_t>(t)], nScope, bVariants);
                    if (bAnd) {
                        std::vector<uint32_t> kept;
                        for (const auto& [p, n] : found)
                            if (t == 0 || expectedHits.count(p)) kept.push_back(p);
                        std::map<uint32_t, uint32_t> hits;
                        for (uint32_t p : kept) hits[p] = found[p] + (t ? expectedHits[p] : 0);
                        expectedPages = kept;
                        expectedHits = hits;
                    } else {
                        for (const auto& [p, n] : found) {
                            if (!expectedHits.count(p)) expectedPages.push_back(p);
                            expectedHits[p] += n;
                        }
                    }
                }
                if (bAnd)
                    index.SearchAnd(keywords, true, bVariants);
                else
                    index.SearchOr(keywords, true, bVariants);
                ASSERT_EQ(index.GetResultPages(), expectedPages) << Describe(keywords, nScope, bVariants) << (bAnd ? " and" : " or");
                for (size_t k = 0; k < expectedPages.size(); ++k)
                    EXPECT_EQ(index.GetResultHits()[k], expectedHits[expectedPages[k]]) << Describe(keywords, nScope, bVariants);
            }
        }
    }
}

}  // namespace
