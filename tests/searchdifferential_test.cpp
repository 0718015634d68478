// Random corpora written by the corpus writer, searched through the index
// and compared with a brute-force scan of the page texts (see
// support/randomcorpus.h for the positions the scan uses).
#include "corpus/corpuswriter.h"
#include "index/index.h"
#include "text/codeconverter.h"

#include "support/randomcorpus.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <set>

namespace {

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
        const CRandomCorpus corpus(nSeed);
        std::mt19937 rng(nSeed);
        CTempDir dir;
        CCorpusWriter writer;
        writer.SetShuffleSeed(nSeed * 7919);
        std::string strError;
        ASSERT_TRUE(writer.Write(corpus.Source(), corpus.VariantTable(), dir.Path(), strError)) << strError;

        const CScanReference reference(corpus.Pages(), corpus.VariantTable());
        for (int nScope : {ScopeWholeText, ScopeMainText, ScopeAnnotations}) {
            CIndex index;
            ASSERT_TRUE(index.Open(dir.Path(), "Index", nScope));
            for (int i = 0; i < 300; ++i) {
                const bool bVariants = rng() % 2;
                std::u16string strPattern = corpus.RandomPattern(rng);
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
                    terms.push_back(corpus.RandomPattern(rng));
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
