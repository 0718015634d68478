// tessaline-cli page on the sample corpus: the display page on standard
// output, "marks: N" on standard error, anchors numbered without gaps.
#include "support/clirunner.h"
#include "support/tempdir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>

namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

class PageCommandTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_pDir = new CTempDir;
        const std::string strSamples = std::string(TESSALINE_SOURCE_DIR) + "/samples";
        CliResult result = RunCli({"build", "--variants", strSamples + "/yitizi.txt", strSamples + "/source",
                                   s_pDir->File("corpus")});
        ASSERT_EQ(result.nStatus, 0) << result.strErr;
    }
    static void TearDownTestSuite() { delete s_pDir; }
    static std::string Data() { return s_pDir->File("corpus"); }

    static CTempDir* s_pDir;
};
CTempDir* PageCommandTest::s_pDir = nullptr;

int CountOf(const std::string& strText, const std::string& strNeedle) {
    int n = 0;
    for (size_t i = strText.find(strNeedle); i != std::string::npos; i = strText.find(strNeedle, i + 1)) ++n;
    return n;
}

TEST_F(PageCommandTest, MarksEveryHitWithNumberedAnchors) {
    // Page 3 is the first page of 唐詩選 卷一: 黃河 twice in the main text,
    // and written 黃 once more in an annotation.
    CliResult result = RunCli({"page", "--data", Data(), "3", "黄河"});
    ASSERT_EQ(result.nStatus, 0) << result.strErr;
    EXPECT_EQ(result.strErr, "marks: 2\n");
    EXPECT_EQ(CountOf(result.strOut, "<a name="), 2);
    EXPECT_THAT(result.strOut, HasSubstr("<a name=\"0000\"></a><b style='color:red;background:#D9D9D9;'>黃河</b>"));
    EXPECT_THAT(result.strOut, HasSubstr("<a name=\"0001\"></a>"));
    EXPECT_THAT(result.strOut, StartsWith("<html><head>\t\t<meta"));

    // Without variants the simplified form marks nothing.
    result = RunCli({"page", "--data", Data(), "--no-variants", "3", "黄河"});
    EXPECT_EQ(result.nStatus, 1);
    EXPECT_EQ(result.strErr, "marks: 0\n");

    // Annotations only: the one in the annotation.
    result = RunCli({"page", "--data", Data(), "--part", "annotations", "3", "白雲"});
    EXPECT_EQ(result.strErr, "marks: 1\n");
}

TEST_F(PageCommandTest, WithoutKeywordsPrintsTheStoredPage) {
    CliResult result = RunCli({"page", "--data", Data(), "0"});
    ASSERT_EQ(result.nStatus, 0) << result.strErr;
    EXPECT_EQ(result.strErr, "marks: 0\n");
    EXPECT_THAT(result.strOut, HasSubstr("<title>論語 學而第一 1</title>"));
    EXPECT_THAT(result.strOut, Not(HasSubstr("<a name=")));
}

TEST_F(PageCommandTest, Errors) {
    struct Case {
        std::vector<std::string> args;
        const char* pszMessage;
    } cases[] = {
        {{"page", "--data", "DATA", "99"}, "the corpus has 5 pages"},
        {{"page", "--data", "DATA", "x"}, "expected a page index"},
        {{"page", "--data", "DATA"}, "a PAGE_INDEX is needed"},
        {{"page", "--data", "DATA", "0", "黃A"}, "キーワードに使えない文字があります: 'A' (U+0041)"},
        {{"page", "--data", "DATA", "--part", "notes", "0"}, "expected whole, main or annotations"},
        {{"page", "--data", "/nonexistent", "0", "黃"}, "データを開けませんでした。"},
    };
    for (Case& c : cases) {
        for (std::string& arg : c.args)
            if (arg == "DATA") arg = Data();
        CliResult result = RunCli(c.args);
        EXPECT_EQ(result.nStatus, 2) << c.pszMessage;
        EXPECT_THAT(result.strErr, HasSubstr(c.pszMessage));
        EXPECT_EQ(result.strOut, "");
    }
}

}  // namespace
