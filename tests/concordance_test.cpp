// The concordance must hold exactly the search's hits: random corpora
// written by the corpus writer, searched, and each page's rows counted
// against the brute-force scan, in every text part, with and without
// variants; then what a row holds and how the rows sort and export.
#include "builder/corpuswriter.h"
#include "index/index.h"
#include "model/citation.h"
#include "model/concordance.h"
#include "support/randomcorpus.h"
#include "support/tempdir.h"
#include "support/testcorpus.h"
#include "support/textpartnames.h"
#include "text/codeconverter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

namespace {

TEST(ConcordanceTest, OneRowForEveryHitTheSearchCounts) {
    size_t nRows = 0;
    for (unsigned nSeed : {31u, 32u}) {
        const CRandomCorpus corpus(nSeed);
        std::mt19937 rng(nSeed);
        CTempDir dir;
        std::string strError;
        ASSERT_TRUE(corpus.Write(dir.Path(), strError)) << strError;
        const CScanReference reference(corpus.Pages(), corpus.VariantTable());
        for (IndexScope eScope : {IndexScope::WholeText, IndexScope::MainText, IndexScope::Annotations}) {
            CIndex index;
            ASSERT_TRUE(index.Open(dir.Path(), "Index", eScope));
            for (int i = 0; i < 80; ++i) {
                const bool bVariants = rng() % 2;
                // One keyword: an ideographic space would cut it in two (the
                // search drops it from a pattern: it has no slot).
                std::u16string strPattern = corpus.RandomPattern(rng);
                strPattern.erase(std::remove(strPattern.begin(), strPattern.end(), u'\u3000'), strPattern.end());
                const std::map<uint32_t, uint32_t> expected = reference.Search(strPattern, eScope, bVariants);
                std::vector<int32_t> pages;
                for (const auto& [nPage, nHits] : expected) pages.push_back(static_cast<int32_t>(nPage));
                CConcordance concordance;
                ASSERT_TRUE(concordance.Build(index, pages, strPattern, bVariants, TextPartOf(eScope)));
                std::map<uint32_t, uint32_t> actual;
                for (const ConcordanceRowTag& row : concordance.Rows()) {
                    ++actual[static_cast<uint32_t>(row.pageIndex)];
                    EXPECT_FALSE(row.keyword.empty());
                    if (eScope != IndexScope::WholeText) {
                        EXPECT_EQ(row.annotation, eScope == IndexScope::Annotations);
                    }
                }
                EXPECT_EQ(actual, expected) << CCodeConverter::Utf16ToUtf8(strPattern) << " scope " << eScope
                                            << (bVariants ? " variants" : "") << " seed " << nSeed;
                nRows += concordance.Rows().size();
            }
        }
    }
    EXPECT_GT(nRows, 3000u);
}

// A small corpus where what a row holds can be read off.
class ConcordanceRowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        SourceVolume volume{"學而",
                            {{1, "子曰{注學}學而時習之不亦說乎\n# 學而第一\n有朋自遠方來", ""}, {2, "學學學而", ""}}};
        CorpusSource source;
        source.categories = {{"經部", {{"論語", {volume}}}}};
        CVariantTable variants;
        variants.Parse("5B66,5B78\n");
        CCorpusWriter writer;
        std::string strError;
        ASSERT_TRUE(writer.Write(source, variants, m_dir.Path(), strError)) << strError;
        ASSERT_TRUE(m_index.Open(m_dir.Path(), "Index", IndexScope::WholeText));
        for (const CatalogRecord& record : {Record(u"經部", 1, 1, 2), Record(u"論語", 2, 1, 2), Record(u"學而", 3, 1, 2, 1)})
            m_tree.AddCatalogueRecord(record);
    }

    CTempDir m_dir;
    CIndex m_index;
    CContentsTree m_tree;
};

TEST_F(ConcordanceRowsTest, ContextStaysInTheParagraphAndItsPart) {
    CConcordance concordance;
    concordance.Build(m_index, {1, 0}, u"学", true, TextPart::WholeText, 3);
    struct Expected {
        int32_t nPage;
        const char16_t* pszLeft;
        const char16_t* pszKeyword;
        const char16_t* pszRight;
        bool bAnnotation;
    };
    // In place order: page 0's annotation, its main text (the annotation
    // skipped in the context), the heading; then page 1.
    const std::vector<Expected> expected = {
        {0, u"注", u"學", u"", true},       {0, u"子曰", u"學", u"而時習", false}, {0, u"", u"學", u"而第一", false},
        {1, u"", u"學", u"學學而", false}, {1, u"學", u"學", u"學而", false},   {1, u"學學", u"學", u"而", false},
    };
    ASSERT_EQ(concordance.Rows().size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const ConcordanceRowTag& row = concordance.Rows()[i];
        EXPECT_EQ(row.pageIndex, expected[i].nPage) << i;
        EXPECT_EQ(row.left, expected[i].pszLeft) << i;
        EXPECT_EQ(row.keyword, expected[i].pszKeyword) << i;
        EXPECT_EQ(row.right, expected[i].pszRight) << i;
        EXPECT_EQ(row.annotation, expected[i].bAnnotation) << i;
    }
    // "*" keeps what lies between in the keyword; "?" the character it stands for.
    concordance.Build(m_index, {0}, u"學*習 有?自", false, TextPart::WholeText, 2);
    ASSERT_EQ(concordance.Rows().size(), 2u);
    EXPECT_EQ(concordance.Rows()[0].keyword, u"學而時習");
    EXPECT_EQ(concordance.Rows()[1].keyword, u"有朋自");
    EXPECT_EQ(concordance.Rows()[1].right, u"遠方");
}

// The text of a display page after its anchor nAnchor, tags left out.
std::string TextAfterAnchor(const std::string& strHtml, int32_t nAnchor) {
    char szAnchor[32];
    std::snprintf(szAnchor, sizeof szAnchor, "<a name=\"%04d\"></a>", nAnchor);
    const size_t nAt = strHtml.find(szAnchor);
    if (nAt == std::string::npos) return "(no anchor)";
    std::string strText;
    bool bInTag = false;
    for (size_t i = nAt; i < strHtml.size() && strText.size() < 24; ++i) {
        if (strHtml[i] == '<') bInTag = true;
        if (!bInTag) strText += strHtml[i];
        if (strHtml[i] == '>') bInTag = false;
    }
    return strText;
}

TEST_F(ConcordanceRowsTest, EachRowOpensAtItsOwnMark) {
    // The display marks keyword by keyword and form by form; every row's
    // anchor must lie on its own occurrence, the rows of a page on
    // different anchors. Typed 学 marks 學 (its variant), and "*" spans.
    for (const auto& [pszKeywords, bVariants] : {std::pair{u"学 而", true}, {u"而 學", false}, {u"學*習 學", false}}) {
        CConcordance concordance;
        concordance.Build(m_index, {0, 1}, pszKeywords, bVariants, TextPart::WholeText);
        ASSERT_FALSE(concordance.Rows().empty());
        std::map<int32_t, std::set<int32_t>> anchors;
        for (size_t i = 0; i < concordance.Rows().size(); ++i) {
            const ConcordanceRowTag& row = concordance.Rows()[i];
            std::string strHtml;
            m_index.RenderPage(row.pageIndex, strHtml, pszKeywords, TextPart::WholeText, bVariants);
            const int32_t nAnchor = concordance.AnchorOf(i);
            const std::string strKeyword = CCodeConverter::Utf16ToUtf8(row.keyword);
            EXPECT_EQ(TextAfterAnchor(strHtml, nAnchor).compare(0, strKeyword.size(), strKeyword), 0)
                << CCodeConverter::Utf16ToUtf8(pszKeywords) << " row " << i << " anchor " << nAnchor;
            EXPECT_TRUE(anchors[row.pageIndex].insert(nAnchor).second) << "row " << i << " shares anchor " << nAnchor;
        }
    }
}

TEST_F(ConcordanceRowsTest, SortsAndExports) {
    CConcordance concordance;
    concordance.Build(m_index, {0, 1}, u"學", true, TextPart::MainText, 2);
    concordance.Sort(CConcordance::Order::Right);
    std::vector<std::u16string> rights;
    for (const ConcordanceRowTag& row : concordance.Rows()) rights.push_back(row.right);
    EXPECT_TRUE(std::is_sorted(rights.begin(), rights.end()));
    concordance.Sort(CConcordance::Order::Left);
    // Read backwards from the keyword: "" < "學" < "曰子"'s reverse "子曰" ...
    std::vector<std::u16string> lefts;
    for (const ConcordanceRowTag& row : concordance.Rows()) lefts.push_back(std::u16string(row.left.rbegin(), row.left.rend()));
    EXPECT_TRUE(std::is_sorted(lefts.begin(), lefts.end()));
    concordance.Sort(CConcordance::Order::Place);
    EXPECT_EQ(concordance.Rows().front().left, u"子曰");

    const CCitation citation(m_tree);
    const std::string strCsv = concordance.Export(CConcordance::Format::Csv, citation);
    EXPECT_EQ(strCsv.compare(0, 3, "\xEF\xBB\xBF"), 0);  // a byte-order mark for spreadsheets
    EXPECT_NE(strCsv.find("\"左文脈\",\"キーワード\",\"右文脈\",\"書名\",\"巻\",\"頁\",\"正文/注釈\",\"引用\"\r\n"),
              std::string::npos);
    EXPECT_NE(strCsv.find("\"子曰\",\"學\",\"而時\",\"論語\",\"學而\",\"1\",\"正文\",\"論語 學而 1\"\r\n"), std::string::npos)
        << strCsv;
    const std::string strTsv = concordance.Export(CConcordance::Format::Tsv, citation);
    EXPECT_EQ(strTsv.compare(0, 10, "左文脈\t"), 0);
    EXPECT_NE(strTsv.find("子曰\t學\t而時\t論語\t學而\t1\t正文\t論語 學而 1\n"), std::string::npos) << strTsv;
    // A cancel stops the export.
    EXPECT_EQ(concordance.Export(CConcordance::Format::Tsv, citation, [](size_t, size_t) { return false; }).size(),
              concordance.Rows().size() < 4096 ? strTsv.size() : 0u);
}

}  // namespace
