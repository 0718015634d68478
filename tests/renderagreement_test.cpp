// A page that the index finds must show its hits when opened: random
// corpora written by the corpus writer, searched through the index and
// rendered for display, for keywords without "*". The display marks
// occurrences that do not overlap, from the left; the index counts all.
#include "corpus/hitmarker.h"
#include "index/index.h"
#include "text/codeconverter.h"

#include "support/randomcorpus.h"
#include "support/tempdir.h"
#include "support/textpartnames.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// The keyword with the characters the index drops (no slot) removed: the
// display would look for them literally.
std::u16string SlotCharactersOnly(const std::u16string& strPattern) {
    std::u16string out;
    for (char32_t c : CCodeConverter::Utf16ToUtf32(strPattern))
        if (c == U'?' || CCodeConverter::IndexSlot(c) >= 0) CCodeConverter::AppendUtf16(c, out);
    return out;
}

// Anchors one marked occurrence writes: one per literal and one per "?" gap.
int AnchorsPerMatch(const std::u16string& strKeyword) {
    int n = 0;
    for (const FilterItem& item : CHitMarker::BuildFilter(CCodeConverter::Utf16ToUtf8(strKeyword)))
        n += item.m_nKind == 1 ? 2 : 1;
    return n;
}

TEST(RenderAgreementTest, FoundPagesShowTheirHits) {
    int nCompared = 0;  // found pages whose marks were counted exactly
    for (unsigned nSeed : {21u, 22u}) {
        const CRandomCorpus corpus(nSeed, true);
        std::mt19937 rng(nSeed);
        CTempDir dir;
        std::string strError;
        ASSERT_TRUE(corpus.Write(dir.Path(), strError)) << strError;
        const CScanReference reference(corpus.Pages(), corpus.VariantTable());
        const uint32_t nPages = static_cast<uint32_t>(corpus.Pages().size());

        // Index scope and the text part that shows it.
        for (IndexScope eScope : {IndexScope::WholeText, IndexScope::MainText, IndexScope::Annotations}) {
            const TextPart ePart = TextPartOf(eScope);
            CIndex index;
            ASSERT_TRUE(index.Open(dir.Path(), "Index", eScope));
            for (int i = 0; i < 80; ++i) {
                const std::u16string strKeyword = SlotCharactersOnly(corpus.RandomPattern(rng, false));
                if (CIndex::CountTerms(strKeyword) != 1) continue;
                const bool bVariants = i % 3 == 0;
                const std::string strName = CCodeConverter::Utf16ToUtf8(strKeyword) + " part " +
                                            std::to_string(static_cast<int>(ePart)) + (bVariants ? " variants" : "");
                index.SearchPattern(strKeyword, CombineReplace, true, bVariants);
                std::set<uint32_t> found(index.GetResultPages().begin(), index.GetResultPages().end());
                const std::map<uint32_t, uint32_t> shown =
                    reference.SearchNonOverlapping(strKeyword, eScope, bVariants);
                // Every found page, and a few others that must show nothing.
                std::set<uint32_t> pages = found;
                for (int k = 0; k < 10; ++k) pages.insert(static_cast<uint32_t>(rng() % nPages));
                for (uint32_t nPage : pages) {
                    std::string out;
                    const int nMarks = index.RenderPage(static_cast<int32_t>(nPage), out, strKeyword, ePart, bVariants);
                    if (!found.count(nPage)) {
                        EXPECT_EQ(nMarks, 0) << strName << " page " << nPage;
                        continue;
                    }
                    EXPECT_GT(nMarks, 0) << strName << " page " << nPage;
                    if (bVariants) continue;  // forms applied one after another: counted apart
                    auto it = shown.find(nPage);
                    const int nExpected = it == shown.end() ? 0 : static_cast<int>(it->second);
                    EXPECT_EQ(nMarks, nExpected * AnchorsPerMatch(strKeyword)) << strName << " page " << nPage;
                    ++nCompared;
                }
            }
        }
    }
    EXPECT_GT(nCompared, 1000);
}

}  // namespace
