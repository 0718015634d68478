// A reader types 新字体 with a Japanese input method; the texts hold the
// 旧字体. A corpus built with the default variant sources must find the
// 旧字体, mark them on the page and say which forms it searched.
#include "corpus/corpusfiles.h"
#include "corpus/hitmarker.h"
#include "index/index.h"
#include "model/searchforms.h"
#include "support/clirunner.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class JapaneseFormsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_pDir = new CTempDir;
        const CTempDir& dir = *s_pDir;
        dir.Write("src/01 集部/01 詩集/01 卷一/0001.txt", "櫻花落盡\n讀書萬卷{注}\n");
        dir.Write("src/01 集部/01 詩集/01 卷一/0002.txt", "戰場白骨\n{讀書樂}\n");
        dir.Write("src/01 集部/01 詩集/01 卷一/0003.txt", "愼終如始\n廣陵散 龍門\n");
        s_pBuild = new CliResult(RunCli({"build", dir.File("src"), dir.File("out")}));
    }
    static void TearDownTestSuite() {
        delete s_pBuild;
        delete s_pDir;
    }

    static CliResult Cli(std::vector<std::string> args) {
        args.insert(args.begin() + 1, {"--data", s_pDir->File("out")});
        return RunCli(args);
    }
    // The page indexes of the rows that `search` printed.
    static std::vector<std::string> Pages(const CliResult& result) {
        std::vector<std::string> pages;
        for (size_t nStart = 0; nStart < result.strOut.size();) {
            const size_t nEnd = result.strOut.find('\n', nStart);
            const std::string strLine = result.strOut.substr(nStart, nEnd - nStart);
            nStart = nEnd + 1;
            size_t nTab = 0;
            for (int i = 0; i < 4 && nTab != std::string::npos; ++i) nTab = strLine.find('\t', nTab + 1);
            if (nTab != std::string::npos) pages.push_back(strLine.substr(nTab + 1, strLine.find('\t', nTab + 1) - nTab - 1));
        }
        return pages;
    }

    static CTempDir* s_pDir;
    static CliResult* s_pBuild;
};

CTempDir* JapaneseFormsTest::s_pDir = nullptr;
CliResult* JapaneseFormsTest::s_pBuild = nullptr;

TEST_F(JapaneseFormsTest, BuildNamesTheSourcesItJoined) {
    ASSERT_EQ(s_pBuild->nStatus, 0) << s_pBuild->strErr;
    for (const char* pszSource : {"Unihan_Variants.txt", "/usr/share/opencc/JPVariants.ocd2",
                                  "/usr/share/opencc/JPShinjitaiCharacters.ocd2", "常用漢字表の旧字体 (built in): 306 pairs",
                                  "variant groups (the largest has"})
        EXPECT_NE(s_pBuild->strErr.find(pszSource), std::string::npos) << pszSource << "\n" << s_pBuild->strErr;
    EXPECT_EQ(s_pBuild->strErr.find("warning"), std::string::npos) << s_pBuild->strErr;
}

TEST_F(JapaneseFormsTest, NewFormsFindTheOldOnes) {
    struct Case {
        std::vector<std::string> args;
        std::vector<std::string> pages;
    };
    const std::vector<Case> cases = {
        {{"search", "桜"}, {"0"}},
        {{"search", "桜花"}, {"0"}},
        {{"search", "読書"}, {"0", "1"}},
        {{"search", "--part", "main", "読書"}, {"0"}},
        {{"search", "--part", "annotations", "読書楽"}, {"1"}},
        {{"search", "戦場", "白骨"}, {"1"}},
        {{"search", "慎終"}, {"2"}},  // a pair only the 常用漢字表 gives
        {{"search", "広陵", "竜門"}, {"2"}},
        {{"search", "--or", "櫻", "戦"}, {"0", "1"}},  // and the old form finds itself
        {{"search", "--no-variants", "桜"}, {}},
    };
    for (const Case& c : cases) {
        const CliResult result = Cli(c.args);
        EXPECT_EQ(result.nStatus, c.pages.empty() ? 1 : 0) << c.args.back() << "\n" << result.strErr;
        EXPECT_EQ(Pages(result), c.pages) << c.args.back() << "\n" << result.strOut;
    }
}

TEST_F(JapaneseFormsTest, ThePageMarksTheOldForms) {
    const std::string strBold = CHitMarker::BoldOpen;
    const CliResult page = Cli({"page", "0", "桜花", "読書"});
    ASSERT_EQ(page.nStatus, 0) << page.strErr;
    EXPECT_NE(page.strErr.find("marks: 2"), std::string::npos) << page.strErr;
    EXPECT_NE(page.strOut.find(strBold + "櫻花</b>"), std::string::npos);
    EXPECT_NE(page.strOut.find(strBold + "讀書</b>"), std::string::npos);
}

TEST_F(JapaneseFormsTest, FormsSearchedAreShown) {
    const CliResult tsv = Cli({"search", "--forms", "桜", "読書"});
    ASSERT_EQ(tsv.nStatus, 0) << tsv.strErr;
    // The line after the summary; the rows stay as they are without --forms.
    EXPECT_NE(tsv.strOut.find("でした。\n桜: 櫻 1 頁 1 箇所 · 桜 0 頁 · 樱 0 頁\u3000読書: [読讀读][書书]\n"),
              std::string::npos)
        << tsv.strOut;
    EXPECT_EQ(Cli({"search", "桜", "読書"}).strOut + "桜: 櫻 1 頁 1 箇所 · 桜 0 頁 · 樱 0 頁\u3000読書: [読讀读][書书]\n",
              tsv.strOut);
    const CliResult json = Cli({"search", "--forms", "--format", "json", "桜"});
    EXPECT_NE(json.strOut.find("\"forms\": [\n    {\"keyword\": \"桜\", \"characters\": [[\"桜\", \"樱\", \"櫻\"]], "
                               "\"counts\": [{\"form\": \"櫻\", \"pages\": 1, \"hits\": 1}, {\"form\": \"桜\", \"pages\": 0, "
                               "\"hits\": 0}, {\"form\": \"樱\", \"pages\": 0, \"hits\": 0}]}\n  ],"),
              std::string::npos)
        << json.strOut;
    EXPECT_EQ(Cli({"search", "--format", "json", "桜"}).strOut.find("\"forms\""), std::string::npos);
}

// The window counts the forms only where their line shows: a keyword with
// no other form costs no count, one with other forms gets the counts the
// command line prints.
TEST_F(JapaneseFormsTest, TheWindowCountsFormsOnlyWhereTheLineShows) {
    CIndex index;
    ASSERT_TRUE(index.Open(s_pDir->File("out"), CCorpusFiles::BaseName, IndexScope::WholeText)) << index.GetOpenError();
    ContentsNodeTag range;
    range.docID = 1;
    range.docNo = 3;
    struct Case {
        std::u16string keywords;
        bool bShown;
    };
    for (const Case& c : {Case{u"始", false}, Case{u"桜 始", true}, Case{u"読書", true}}) {
        CSearchForms always;
        CSearchForms window;
        always.Build(index, c.keywords, true, range);
        window.Build(index, c.keywords, true, range, CSearchForms::Counts::WhereShown);
        EXPECT_EQ(window.HasOtherForms(), c.bShown);
        if (c.bShown) {
            EXPECT_EQ(window.FormatLine(), always.FormatLine());
        } else {
            EXPECT_FALSE(always.Keywords()[0].counts.empty());
            EXPECT_TRUE(window.Keywords()[0].counts.empty());
        }
    }
}

TEST_F(JapaneseFormsTest, SourcesCanBeLeftOut) {
    const CTempDir& dir = *s_pDir;
    const CliResult build = RunCli({"build", "--no-opencc", "--no-joyo", dir.File("src"), dir.File("unihan-only")});
    ASSERT_EQ(build.nStatus, 0) << build.strErr;
    EXPECT_EQ(build.strErr.find("JPVariants"), std::string::npos) << build.strErr;
    EXPECT_EQ(build.strErr.find("常用漢字表"), std::string::npos) << build.strErr;
    // Unicode's data alone does not pair 慎 with 愼.
    EXPECT_EQ(RunCli({"search", "--data", dir.File("unihan-only"), "慎終"}).nStatus, 1);
    // A table of one's own instead of the built-in one.
    dir.Write("joyo.txt", "# 新字体 and 旧字体\n慎\t愼\n");
    const CliResult own = RunCli({"build", "--no-unihan", "--no-opencc", "--joyo", dir.File("joyo.txt"), dir.File("src"),
                                  dir.File("own")});
    ASSERT_EQ(own.nStatus, 0) << own.strErr;
    EXPECT_NE(own.strErr.find("variants from " + dir.File("joyo.txt") + ": 1 pair"), std::string::npos) << own.strErr;
    EXPECT_EQ(dir.Read("own/yitizi.txt"), "613C,614E\n");
    EXPECT_EQ(RunCli({"search", "--data", dir.File("own"), "慎終"}).nStatus, 0);
}

}  // namespace
