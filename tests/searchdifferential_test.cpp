// Random corpora written by the corpus writer, searched through the index
// and compared with a brute-force scan of the page texts (see
// support/randomcorpus.h for the positions the scan uses).
#include "builder/corpuswriter.h"
#include "index/index.h"
#include "model/hitparts.h"
#include "text/codeconverter.h"

#include "support/clirunner.h"
#include "support/randomcorpus.h"
#include "support/tempdir.h"
#include "support/testcorpus.h"
#include "support/textpartnames.h"

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

std::string Describe(const std::u16string& s, IndexScope eScope, bool bVariants) {
    return CCodeConverter::Utf16ToUtf8(s) + " scope " + std::to_string(static_cast<int>(eScope)) + (bVariants ? " variants" : "");
}

// The scan's result of and / or over terms, as SearchAnd / SearchOr give it:
// pages in result order, hits per page.
void ExpectedCombination(const CScanReference& reference, const std::vector<std::u16string>& terms, IndexScope eScope,
                         bool bVariants, bool bAnd, std::vector<uint32_t>& expectedPages,
                         std::map<uint32_t, uint32_t>& expectedHits) {
    expectedPages.clear();
    expectedHits.clear();
    for (size_t t = 0; t < terms.size(); ++t) {
        std::map<uint32_t, uint32_t> found = reference.Search(terms[t], eScope, bVariants);
        if (bAnd) {
            std::vector<uint32_t> kept;
            std::map<uint32_t, uint32_t> hits;
            for (const auto& [p, n] : found) {
                if (t > 0 && !expectedHits.count(p)) continue;
                kept.push_back(p);
                hits[p] = n + (t > 0 ? expectedHits[p] : 0);
            }
            expectedPages = kept;
            expectedHits = hits;
        } else {
            for (const auto& [p, n] : found) {
                if (!expectedHits.count(p)) expectedPages.push_back(p);
                expectedHits[p] += n;
            }
        }
    }
}

// Many pages per slot: a character on almost every page (its directory has
// a bitmap), others on fewer, one so rare that its directory is a list; the
// rarest term stands anywhere in the pattern. Every way of running the
// search (page directories, a cache too small to keep any, directories for
// the rare slots only, walking the chains) must give the scan's pages and
// hits.
TEST(SearchDifferentialTest, IndexAgreesWithAScanOfThePages) {
    for (unsigned nSeed : {1u, 2u, 3u}) {
        const CRandomCorpus corpus(nSeed);
        std::mt19937 rng(nSeed);
        CTempDir dir;
        std::string strError;
        ASSERT_TRUE(corpus.Write(dir.Path(), strError, nSeed * 7919)) << strError;

        const CScanReference reference(corpus.Pages(), corpus.VariantTable());
        for (IndexScope eScope : {IndexScope::WholeText, IndexScope::MainText, IndexScope::Annotations}) {
            CIndex index;
            ASSERT_TRUE(index.Open(dir.Path(), "Index", eScope));
            // Searches walking the chains, without page directories.
            CIndex walking;
            ASSERT_TRUE(walking.Open(dir.Path(), "Index", eScope));
            walking.SetDirectoryLimits(CSlotDirectoryCache::DefaultMaxBytes, 0);
            for (int i = 0; i < 300; ++i) {
                const bool bVariants = rng() % 2;
                std::u16string strPattern = corpus.RandomPattern(rng);
                std::map<uint32_t, uint32_t> expected = reference.Search(strPattern, eScope, bVariants);
                for (CIndex* pIndex : {&index, &walking}) {
                    if (pIndex == &walking && i % 3 != 0) continue;  // a third of them walk too
                    pIndex->SearchPattern(strPattern, CombineReplace, true, bVariants);
                    std::map<uint32_t, uint32_t> actual;
                    for (size_t k = 0; k < pIndex->GetResultPages().size(); ++k)
                        actual[pIndex->GetResultPages()[k]] = pIndex->GetResultHits()[k];
                    ASSERT_TRUE(actual == expected) << Describe(strPattern, eScope, bVariants) << " seed " << nSeed
                                                    << (pIndex == &walking ? " walking" : "") << Difference(actual, expected);
                }
                // Pages only: the same pages, no hits.
                index.SearchPattern(strPattern, CombineReplace, false, bVariants);
                EXPECT_EQ(index.GetResultPages().size(), expected.size()) << Describe(strPattern, eScope, bVariants);
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
                ExpectedCombination(reference, terms, eScope, bVariants, bAnd, expectedPages, expectedHits);
                if (bAnd)
                    index.SearchAnd(keywords, true, bVariants);
                else
                    index.SearchOr(keywords, true, bVariants);
                ASSERT_EQ(index.GetResultPages(), expectedPages) << Describe(keywords, eScope, bVariants) << (bAnd ? " and" : " or");
                for (size_t k = 0; k < expectedPages.size(); ++k)
                    EXPECT_EQ(index.GetResultHits()[k], expectedHits[expectedPages[k]]) << Describe(keywords, eScope, bVariants);
            }
        }
    }
}

// The variant groups a build makes by default (the Unicode Han data,
// OpenCC's Japanese tables, the 常用漢字表): larger groups, 新字体 that join
// several 旧字体. Searches agree with the scan, and every page found shows
// its hits.
TEST(SearchDifferentialTest, TheDefaultGroupsOfABuild) {
    CTempDir dir;
    dir.Write("src/1 類/1 書/1 卷/0001.txt", "之\n");
    const CliResult build = RunCli({"build", dir.File("src"), dir.File("groups")});
    ASSERT_EQ(build.nStatus, 0) << build.strErr;
    const std::string strGroups = dir.Read("groups/yitizi.txt");
    CVariantTable groups;
    groups.Parse(strGroups);
    ASSERT_EQ(groups.GroupOf(U'桜'), groups.GroupOf(U'櫻'));
    ASSERT_EQ(groups.GroupOf(U'辨'), groups.GroupOf(U'辯'));

    int nFound = 0;
    for (unsigned nSeed : {4u, 5u}) {
        const CRandomCorpus corpus(nSeed, false, strGroups);
        std::mt19937 rng(nSeed);
        CCorpusWriter writer;
        std::string strError;
        const std::string strFolder = dir.File("corpus" + std::to_string(nSeed));
        ASSERT_TRUE(writer.Write(corpus.Source(), corpus.VariantTable(), strFolder, strError)) << strError;
        const CScanReference reference(corpus.Pages(), corpus.VariantTable());
        for (IndexScope eScope : {IndexScope::WholeText, IndexScope::MainText, IndexScope::Annotations}) {
            CIndex index;
            ASSERT_TRUE(index.Open(strFolder, "Index", eScope));
            for (int i = 0; i < 200; ++i) {
                const bool bVariants = i % 4 != 0;
                const std::u16string strPattern = corpus.RandomPattern(rng);
                const std::map<uint32_t, uint32_t> expected = reference.Search(strPattern, eScope, bVariants);
                index.SearchPattern(strPattern, CombineReplace, true, bVariants);
                std::map<uint32_t, uint32_t> actual;
                for (size_t k = 0; k < index.GetResultPages().size(); ++k)
                    actual[index.GetResultPages()[k]] = index.GetResultHits()[k];
                ASSERT_TRUE(actual == expected) << Describe(strPattern, eScope, bVariants) << " seed " << nSeed
                                                << Difference(actual, expected);
                // A pattern of characters that have a slot (the search drops
                // the others, the display would look for them) marks
                // something on each page.
                bool bMarkable = true;
                for (char32_t c : CCodeConverter::Utf16ToUtf32(strPattern))
                    bMarkable = bMarkable && CCodeConverter::IndexSlot(c) >= 0 && c != U'？';
                if (!bMarkable) continue;
                for (const auto& [nPage, nHits] : actual) {
                    std::string strOut;
                    EXPECT_GT(index.RenderPage(static_cast<int32_t>(nPage), strOut, strPattern, TextPartOf(eScope), bVariants),
                              0)
                        << Describe(strPattern, eScope, bVariants) << " page " << nPage;
                    ++nFound;
                }
            }
        }
    }
    EXPECT_GT(nFound, 200);
}

TEST(SearchDifferentialTest, ManyPagesPerSlotAnyTermRarest) {
    std::mt19937 rng(29);
    std::vector<std::u16string> texts;
    std::vector<Page> pages;
    const std::u16string common = u"之之之不不人中國天下";
    for (int p = 0; p < 4000; ++p) {
        std::u16string text;
        const int nLength = 10 + static_cast<int>(rng() % 60);
        for (int i = 0; i < nLength; ++i) {
            const unsigned r = rng() % 1000;
            text.push_back(r == 0 ? u'史' : r < 4 ? u'明' : common[rng() % common.size()]);
        }
        if (p % 500 == 7) text += u"明史之";  // a few certain occurrences
        Page page;
        for (size_t i = 0; i < text.size(); ++i) page.chars[static_cast<uint32_t>(i)] = {text[i], false};
        pages.push_back(page);
        texts.push_back(text);
    }
    const char* const pszVariants = "4E2D,570B\n";
    CTempDir dir;
    WriteSimpleCorpus(dir.Path(), texts, pszVariants, 5);
    CVariantTable variants;
    variants.Parse(pszVariants);
    const CScanReference reference(pages, variants);

    const std::u16string patterns[] = {
        u"之史", u"史之", u"之?史", u"明史之", u"之之史", u"不?史?之", u"之*史", u"史*之", u"之*不*史",
        u"明?之", u"之明", u"中國", u"國中之", u"之不", u"不之不", u"之*明", u"明*之*史", u"之之之",
    };
    const std::vector<std::vector<std::u16string>> keywordSets = {
        {u"之不", u"史"}, {u"史", u"之不"}, {u"之之", u"明", u"不?之"}, {u"之*史", u"明"},
    };
    // By default a slot's first search walks its chain and the next ones use
    // its directory; the patterns repeat slots, so both roads run.
    struct Setting {
        const char* pszName;
        size_t nMaxBytes;
        size_t nMaxRecords;
        unsigned nBuildOnUse;
    } settings[] = {
        {"directories from the second search", CSlotDirectoryCache::DefaultMaxBytes,
         CSlotDirectoryCache::DefaultMaxRecords, CSlotDirectoryCache::DefaultBuildOnUse},
        {"directories from the first search", CSlotDirectoryCache::DefaultMaxBytes,
         CSlotDirectoryCache::DefaultMaxRecords, 1},
        {"no directory kept", 64, CSlotDirectoryCache::DefaultMaxRecords, 1},
        {"rare slots only", CSlotDirectoryCache::DefaultMaxBytes, 200, 1},
        {"walking the chains", CSlotDirectoryCache::DefaultMaxBytes, 0, 1},
    };
    CIndex index;
    ASSERT_TRUE(index.Open(dir.Path(), "Index", IndexScope::WholeText));
    for (const Setting& setting : settings) {
        index.SetDirectoryLimits(setting.nMaxBytes, setting.nMaxRecords, setting.nBuildOnUse);
        for (bool bVariants : {false, true}) {
            for (const std::u16string& strPattern : patterns) {
                const std::map<uint32_t, uint32_t> expected = reference.Search(strPattern, IndexScope::WholeText, bVariants);
                index.SearchPattern(strPattern, CombineReplace, true, bVariants);
                std::map<uint32_t, uint32_t> actual;
                for (size_t k = 0; k < index.GetResultPages().size(); ++k)
                    actual[index.GetResultPages()[k]] = index.GetResultHits()[k];
                ASSERT_TRUE(actual == expected) << setting.pszName << " " << Describe(strPattern, IndexScope::WholeText, bVariants)
                                                << Difference(actual, expected);
                // Pages only, ascending.
                std::vector<uint32_t> expectedPages;
                for (const auto& [p, n] : expected) expectedPages.push_back(p);
                index.SearchPattern(strPattern, CombineReplace, false, bVariants);
                EXPECT_EQ(index.GetResultPages(), expectedPages) << setting.pszName << " " << Describe(strPattern, IndexScope::WholeText, bVariants);
                index.SearchPattern(u"", CombineReplace, false, false);
            }
            for (const std::vector<std::u16string>& terms : keywordSets) {
                for (bool bAnd : {true, false}) {
                    std::u16string keywords;
                    for (const std::u16string& term : terms) keywords += (keywords.empty() ? u"" : u" ") + term;
                    std::vector<uint32_t> expectedPages;
                    std::map<uint32_t, uint32_t> expectedHits;
                    ExpectedCombination(reference, terms, IndexScope::WholeText, bVariants, bAnd, expectedPages, expectedHits);
                    if (bAnd)
                        index.SearchAnd(keywords, true, bVariants);
                    else
                        index.SearchOr(keywords, true, bVariants);
                    ASSERT_EQ(index.GetResultPages(), expectedPages) << setting.pszName << " " << Describe(keywords, IndexScope::WholeText, bVariants) << (bAnd ? " and" : " or");
                    for (size_t k = 0; k < expectedPages.size(); ++k)
                        EXPECT_EQ(index.GetResultHits()[k], expectedHits[expectedPages[k]]) << setting.pszName;
                }
            }
        }
        EXPECT_LE(index.GetDirectoryBytes(), setting.nMaxBytes) << setting.pszName;
    }
    index.Close();
    EXPECT_EQ(index.GetDirectoryBytes(), 0u);
}

}  // namespace

// The labels of the rows: found from a page's text (a list page's rows) or
// through the part indexes (every row), both give the parts in which the
// scan finds a keyword's hits.
TEST(SearchDifferentialTest, HitPartsFromThePageTextOrThePartIndexesAgreeWithAScan) {
    for (unsigned nSeed : {4u, 5u}) {
        const CRandomCorpus corpus(nSeed);
        std::mt19937 rng(nSeed);
        CTempDir dir;
        std::string strError;
        ASSERT_TRUE(corpus.Write(dir.Path(), strError)) << strError;
        const CScanReference reference(corpus.Pages(), corpus.VariantTable());
        std::vector<int32_t> pages(corpus.Pages().size());
        for (size_t i = 0; i < pages.size(); ++i) pages[i] = static_cast<int32_t>(i);
        CIndex index;
        ASSERT_TRUE(index.Open(dir.Path(), "Index", IndexScope::WholeText));
        CHitParts fromText;
        CHitParts fromIndexes;
        fromIndexes.SetPageLookups(0);
        for (int i = 0; i < 100; ++i) {
            const bool bVariants = rng() % 2;
            std::u16string strKeywords = corpus.RandomPattern(rng);
            if (rng() % 3 == 0) strKeywords += u" " + corpus.RandomPattern(rng);
            std::vector<uint8_t> expected(pages.size(), 0);
            for (size_t nStart = 0; nStart <= strKeywords.size();) {
                size_t nEnd = strKeywords.find_first_of(u" \u3000", nStart);
                if (nEnd == std::u16string::npos) nEnd = strKeywords.size();
                const std::u16string strTerm = strKeywords.substr(nStart, nEnd - nStart);
                nStart = nEnd + 1;
                for (const auto& [eScope, nPart] : {std::pair{IndexScope::MainText, CHitParts::MainText},
                                                    std::pair{IndexScope::Annotations, CHitParts::Annotations}})
                    for (const auto& hit : reference.Search(strTerm, eScope, bVariants)) expected[hit.first] |= nPart;
            }
            for (CHitParts* pParts : {&fromText, &fromIndexes}) {
                pParts->Compute(index, dir.Path(), TextPart::WholeText, strKeywords, bVariants, pages);
                for (size_t nPage = 0; nPage < pages.size(); ++nPage)
                    ASSERT_EQ(pParts->PartsOf(static_cast<uint32_t>(nPage)), expected[nPage])
                        << "seed " << nSeed << ", " << (pParts == &fromText ? "text" : "indexes") << ", keywords "
                        << CCodeConverter::Utf16ToUtf8(strKeywords) << ", variants " << bVariants << ", page " << nPage;
            }
        }
    }
}
