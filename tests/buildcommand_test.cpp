#include "corpus/catalog.h"
#include "index/index.h"
#include "support/clirunner.h"
#include "support/tempdir.h"
#include "support/textpartnames.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// Runs tessaline-cli build with the arguments.
CliResult RunBuild(const CTempDir&, const std::vector<std::string>& args) {
    std::vector<std::string> all = {"build"};
    all.insert(all.end(), args.begin(), args.end());
    return RunCli(all);
}

void WriteSource(const CTempDir& dir) {
    dir.Write("src/01 經部/01 論語/01 學而第一/0001.txt", "子曰{注}學而時習之\n");
    dir.Write("src/01 經部/01 論語/01 學而第一/0002.txt", "有朋自遠方來\n");
    dir.Write("src/02 史部/史記/本紀/0001.txt", "黃帝者\n");
}

}  // namespace

TEST(BuildCommandTest, BuildsACorpusFromASourceFolder) {
    CTempDir dir;
    WriteSource(dir);
    dir.Write("variants.txt", "5B78,5B66\n");
    const std::string strOut = dir.File("deep/out");  // parents are made too
    const CliResult result =
        RunBuild(dir, {"--header-value", "7", "--variants", dir.File("variants.txt"), dir.File("src"), strOut});
    ASSERT_EQ(result.nStatus, 0) << result.strErr;
    EXPECT_NE(result.strErr.find("3 pages"), std::string::npos) << result.strErr;
    EXPECT_NE(result.strErr.find("2 categories, 2 books, 2 volumes"), std::string::npos) << result.strErr;
    EXPECT_EQ(result.strErr.find('\r'), std::string::npos);  // no progress line off a terminal
    EXPECT_EQ(dir.Read("deep/out/yitizi.txt"), "5B78,5B66\n");

    std::vector<CatalogRecord> records;
    std::string strError;
    ASSERT_TRUE(CCatalog::Read(strOut + "/vmk.dir", records, strError)) << strError;
    ASSERT_EQ(records.size(), 6u);
    EXPECT_EQ(records[0].name, u"經部");
    EXPECT_EQ(records[2].name, u"學而第一");
    EXPECT_EQ(records[2].docNo, 2);
    EXPECT_EQ(records[5].name, u"本紀");

    CIndex index;
    ASSERT_TRUE(index.Open(strOut, "Index", IndexScope::MainText)) << index.GetOpenError();
    EXPECT_EQ(index.GetHeaderValue(), 7);
    index.SearchPattern(u"学而", CombineReplace, true, true);
    EXPECT_EQ(index.GetResultPages(), (std::vector<uint32_t>{0}));

    // Built again from Unicode Han variant data (plain or bzip2, as Debian
    // ships it), with the default header value.
    dir.Write("Unihan_Variants.txt", "# excerpt\nU+5B66\tkTraditionalVariant\tU+5B78\n"
                                     "U+570B\tkSemanticVariant\tU+56EF<kMeyerWempe\nU+56FD\tkTraditionalVariant\tU+570B\n");
    ASSERT_EQ(std::system(("bzip2 -k '" + dir.File("Unihan_Variants.txt") + "'").c_str()), 0);
    for (const char* pszUnihan : {"Unihan_Variants.txt", "Unihan_Variants.txt.bz2"}) {
        const CliResult unihan =
            RunBuild(dir, {"--unihan", dir.File(pszUnihan), "--no-opencc", "--no-joyo", dir.File("src"), strOut});
        ASSERT_EQ(unihan.nStatus, 0) << unihan.strErr;
        EXPECT_NE(unihan.strErr.find("variants from " + dir.File(pszUnihan) + ": 3 relations"), std::string::npos)
            << unihan.strErr;
        EXPECT_NE(unihan.strErr.find("2 variant groups (the largest has 3 members)"), std::string::npos) << unihan.strErr;
        EXPECT_EQ(dir.Read("deep/out/yitizi.txt"), "56EF,56FD,570B\n5B66,5B78\n");
    }
    CIndex again;
    ASSERT_TRUE(again.Open(strOut, "Index", IndexScope::WholeText)) << again.GetOpenError();
    EXPECT_EQ(again.GetHeaderValue(), 14);
}

TEST(BuildCommandTest, HelpListsTheOptions) {
    CTempDir dir;
    const CliResult result = RunBuild(dir, {"--help"});
    EXPECT_EQ(result.nStatus, 0);
    for (const char* pszOption : {"--header-value N", "--variants FILE", "--unihan FILE", "--help", "SOURCE_DIR OUT_DIR"})
        EXPECT_NE(result.strOut.find(pszOption), std::string::npos) << pszOption << "\n" << result.strOut;
}

TEST(BuildCommandTest, ReportsErrorsWithStatus2) {
    CTempDir dir;
    WriteSource(dir);
    dir.Write("bad/1 類/1 書/1 卷/0001.txt", "\xFF");
    dir.Write("fake.bz2", "BZh9 not really");
    dir.Write("fake.ocd2", "OPENCC_MARISA_0.2.5 and then nothing a dictionary holds");
    const std::string S = dir.File("src"), O = dir.File("out");
    struct Case {
        std::vector<std::string> args;
        std::string strMessage;
    };
    const std::vector<Case> cases = {
        {{S}, "expected SOURCE_DIR and OUT_DIR"},
        {{"--frobnicate", S, O}, "unknown option --frobnicate"},
        {{"--header-value", "x", S, O}, "--header-value"},
        {{"--header-value", "99999999999", S, O}, "--header-value"},
        {{S, O, "--variants"}, "needs a value"},
        {{"--variants", dir.File("none.txt"), S, O}, dir.File("none.txt")},
        {{"--unihan", dir.File("none.txt"), S, O}, "--unihan: " + dir.File("none.txt")},
        {{"--unihan", dir.File("bad/1 類/1 書/1 卷/0001.txt"), S, O}, "0001.txt: line 1: expected U+XXXX"},
        {{"--unihan", dir.File("fake.bz2"), S, O}, dir.File("fake.bz2") + ": not valid bzip2 data"},
        {{"--unihan", dir.File("none.txt"), "--variants", dir.File("none.txt"), S, O}, "either --variants or the sources"},
        {{"--no-joyo", "--variants", dir.File("none.txt"), S, O}, "either --variants or the sources"},
        {{"--unihan", dir.File("none.txt"), "--no-unihan", S, O}, "either --unihan or --no-unihan"},
        {{"--opencc", dir.File("none.ocd2"), S, O}, "--opencc: " + dir.File("none.ocd2")},
        {{"--opencc", dir.File("fake.bz2"), S, O}, dir.File("fake.bz2") + ": line 1: expected KEY<TAB>VALUE"},
        {{"--opencc", dir.File("fake.ocd2"), S, O}, dir.File("fake.ocd2") + ": not an OpenCC dictionary"},
        {{"--joyo", dir.File("none.txt"), S, O}, "--joyo: " + dir.File("none.txt")},
        {{"--joyo", dir.File("bad/1 類/1 書/1 卷/0001.txt"), S, O}, "0001.txt: line 1: not valid UTF-8"},
        {{dir.File("missing"), O}, dir.File("missing")},
        {{dir.File("bad"), O}, dir.File("bad/1 類/1 書/1 卷/0001.txt") + ": invalid UTF-8"},
        {{S, S + "/out"}, "inside the source folder"},
    };
    for (const Case& c : cases) {
        const CliResult result = RunBuild(dir, c.args);
        EXPECT_EQ(result.nStatus, 2) << c.strMessage;
        EXPECT_NE(result.strErr.find(c.strMessage), std::string::npos) << c.strMessage << "\n" << result.strErr;
    }
    EXPECT_FALSE(std::filesystem::exists(O));
}
