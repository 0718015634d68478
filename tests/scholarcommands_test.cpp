// The scholar's commands of tessaline-cli on a small built corpus: cite and
// page --cite, kwic, and where search's hits lie.
#include "index/index.h"
#include "model/hitparts.h"
#include "support/clirunner.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class ScholarCommandsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_pDir = new CTempDir;
        s_pDir->Write("src/01 經部/01 論語/01 學而/0001.txt", "子曰{學}學而時習之\n有朋自遠方來\n");
        s_pDir->Write("src/01 經部/01 論語/01 學而/0002.txt", "學而不思則罔\n");
        s_pDir->Write("src/01 經部/01 論語/02 為政/0001.txt", "為政以德{學者}\n");
        s_pDir->Write("src/02 集部/01 唐詩/01 卷一/0001.txt", "白日依山盡\n");
        const CliResult build = RunCli({"build", "--no-unihan", "--no-opencc", "--no-joyo", s_pDir->File("src"), s_pDir->File("c")});
        ASSERT_EQ(build.nStatus, 0) << build.strErr;
    }
    static void TearDownTestSuite() { delete s_pDir; }
    static CliResult Cli(std::vector<std::string> args) {
        args.insert(args.begin() + 1, {"--data", s_pDir->File("c")});
        return RunCli(args);
    }
    static size_t Lines(const std::string& s) { return static_cast<size_t>(std::count(s.begin(), s.end(), '\n')); }

    static CTempDir* s_pDir;
};

CTempDir* ScholarCommandsTest::s_pDir = nullptr;

TEST_F(ScholarCommandsTest, CiteAndGoToACitation) {
    EXPECT_EQ(Cli({"cite", "1"}).strOut, "論語 學而 2\n");
    EXPECT_EQ(Cli({"cite", "3"}).strOut, "唐詩 卷一 1\n");
    const CliResult none = Cli({"cite", "9"});
    EXPECT_EQ(none.nStatus, 1);
    EXPECT_NE(none.strErr.find("page 9 lies in no volume"), std::string::npos) << none.strErr;
    // The page a citation names, as the page index gives it.
    EXPECT_EQ(Cli({"page", "--cite", "論語 學而 2"}).strOut, Cli({"page", "1"}).strOut);
    EXPECT_EQ(Cli({"page", "--cite", "「學而不思則罔」(論語 學而 2)", "學而"}).strOut, Cli({"page", "1", "學而"}).strOut);
    struct Case {
        const char* pszCitation;
        int nStatus;
        const char* pszMessage;
    } cases[] = {
        {"論語 學而 ３", 1, "論語 學而 has pages 1 to 2, not 3"},
        {"論語 里仁 1", 1, "論語 has no volume '里仁'"},
        {"孟子 1", 1, "no book of the catalogue is named '孟子'"},
        {"論語", 2, "not a citation"},
    };
    for (const Case& c : cases) {
        const CliResult result = Cli({"page", "--cite", c.pszCitation});
        EXPECT_EQ(result.nStatus, c.nStatus) << c.pszCitation;
        EXPECT_NE(result.strErr.find(c.pszMessage), std::string::npos) << c.pszCitation << "\n" << result.strErr;
    }
}

TEST_F(ScholarCommandsTest, KwicHasARowForEveryHit) {
    const CliResult search = Cli({"search", "學"});
    EXPECT_NE(search.strOut.find("全部で 3 頁で、4 箇所でした。"), std::string::npos) << search.strOut;
    const CliResult kwic = Cli({"kwic", "--context", "2", "學"});
    ASSERT_EQ(kwic.nStatus, 0) << kwic.strErr;
    EXPECT_EQ(Lines(kwic.strOut), 1u + 4u);  // the header and the 4 hits
    EXPECT_NE(kwic.strOut.find("子曰\t學\t而時\t論語\t學而\t1\t正文\t論語 學而 1\n"), std::string::npos) << kwic.strOut;
    EXPECT_NE(kwic.strOut.find("\t學\t\t論語\t學而\t1\t注釈\t"), std::string::npos) << kwic.strOut;
    const CliResult csv = Cli({"kwic", "--format", "csv", "--sort", "right", "學"});
    EXPECT_EQ(csv.strOut.compare(0, 3, "\xEF\xBB\xBF"), 0);
    EXPECT_EQ(Lines(csv.strOut), 5u);
    const CliResult json = Cli({"kwic", "--format", "json", "--range", "5", "白日"});
    EXPECT_NE(json.strOut.find("{\"left\": \"\", \"keyword\": \"白日\", \"right\": \"依山盡\", \"book\": \"唐詩\""), std::string::npos)
        << json.strOut;
    EXPECT_NE(json.strOut.find("\"hits\": 1\n"), std::string::npos);
    EXPECT_EQ(Cli({"kwic", "史"}).nStatus, 1);
    EXPECT_EQ(Cli({"kwic", "--sort", "up", "學"}).nStatus, 2);
    EXPECT_EQ(Cli({"kwic", "--context", "x", "學"}).nStatus, 2);
}

TEST_F(ScholarCommandsTest, SearchSaysWhereTheHitsLie) {
    EXPECT_EQ(Cli({"search", "--show-parts", "學"}).strOut,
              "經部\t論語\t學而\t1\t0\t2\tboth\n經部\t論語\t為政\t1\t2\t1\tannotations\n經部\t論語\t學而\t2\t1\t1\tmain\n"
              "全部で 3 頁で、4 箇所でした。\n");
}

// One CHitParts serves every search of a window: what one search found must
// not leak into the next, and its part indexes, kept open, must answer each
// new keyword. Pages come in the list's order, not the index's.
TEST_F(ScholarCommandsTest, HitPartsServeOneSearchAfterAnother) {
    struct Step {
        const char* pszFolder;
        TextPart ePart;
        std::u16string keywords;
        std::vector<int32_t> pages;
        std::vector<uint8_t> expected;  // the parts of pages 0 to 3
    };
    const uint8_t M = CHitParts::MainText, A = CHitParts::Annotations;
    const std::vector<Step> steps = {
        {"c", TextPart::WholeText, u"學", {2, 0, 1}, {M | A, M, A, 0}},
        {"c", TextPart::WholeText, u"白日", {3}, {0, 0, 0, M}},
        {"c", TextPart::MainText, u"學", {1, 0}, {M, M, 0, 0}},
        {"c", TextPart::Annotations, u"學", {2, 0}, {A, 0, A, 0}},
        {"c", TextPart::WholeText, u"學者　為政", {2}, {0, 0, M | A, 0}},
        {"none", TextPart::WholeText, u"學", {0, 1, 2}, {0, 0, 0, 0}},
        {"c", TextPart::WholeText, u"學", {0, 1, 2}, {M | A, M, A, 0}},
    };
    // From the pages' text (a list page's rows), and through the part
    // indexes (every row).
    for (size_t nLookups : {CHitParts::PageLookups, size_t{0}}) {
        CHitParts parts;
        parts.SetPageLookups(nLookups);
        for (size_t k = 0; k < steps.size(); ++k) {
            const Step& step = steps[k];
            CIndex index;
            index.Open(s_pDir->File(step.pszFolder), "Index", IndexScope::WholeText);
            parts.Compute(index, s_pDir->File(step.pszFolder), step.ePart, step.keywords, true, step.pages);
            for (uint32_t nPage = 0; nPage < 4; ++nPage)
                EXPECT_EQ(parts.PartsOf(nPage), step.expected[nPage])
                    << "lookups " << nLookups << ", step " << k << ", page " << nPage;
        }
        parts.CloseIndexes();
        CIndex index;
        ASSERT_TRUE(index.Open(s_pDir->File("c"), "Index", IndexScope::WholeText));
        parts.Compute(index, s_pDir->File("c"), TextPart::WholeText, u"學", true, {1});
        EXPECT_EQ(parts.PartsOf(1), M);
    }
}

}  // namespace
