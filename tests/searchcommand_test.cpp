// The search and catalog subcommands of tessaline-cli, run as a program on a
// small corpus: exact output and exit status.

#include "corpus/catalog.h"
#include "index/index.h"
#include "index/indexwriter.h"
#include "support/clirunner.h"
#include "support/tempdir.h"
#include "support/testcorpus.h"
#include "support/textpartnames.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;

// Seven pages (page index: text), the catalogue in slots 1 to 7:
//   K      slot 1, pages 1..6 (1-based)
//     P    slot 2, pages 1..3
//       X  slot 3, pages 1..2, numbered from 1    0: 中國中國  1: 史
//       Y  slot 4, page 3, numbered 7             2: 中國史
//     Q    slot 5, pages 4..5
//       Z  slot 6, pages 4..5, numbered from 1    3: 國中  4: 中國
//     (page 6 in no book)                         5: 中國
//   L      slot 7, page 7, no books               6: 中國
// 国 (U+56FD) is a variant of 國 (U+570B).
class SearchCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteSimpleCorpus(m_dir.Path(), {u"中國中國", u"史", u"中國史", u"國中", u"中國", u"中國", u"中國"},
                          "56FD,570B\n");
        m_dir.Write("vmk.dir", CCatalog::Format({Record(u"K", 1, 1, 6, 1), Record(u"P", 2, 1, 3, 1),
                                                 Record(u"X", 3, 1, 2, 1), Record(u"Y", 3, 3, 1, 7),
                                                 Record(u"Q", 2, 4, 2, 1), Record(u"Z", 3, 4, 2, 1),
                                                 Record(u"L", 1, 7, 1, 1)}));
    }

    CliResult Search(std::vector<std::string> args) {
        args.insert(args.begin(), {"search", "--data", m_dir.Path()});
        return RunCli(args);
    }

    CTempDir m_dir;
};

TEST_F(SearchCommandTest, RowsAndSummary) {
    struct Case {
        const char* pszName;
        std::vector<std::string> args;
        std::string strOut;
        int nStatus;
    } cases[] = {
        {"one keyword, range on the category: a page in no book has page number 0",
         {"中國"},
         "K\t\t\t0\t5\t1\n"
         "K\tP\tX\t1\t0\t2\n"
         "K\tQ\tZ\t2\t4\t1\n"
         "K\tP\tY\t7\t2\t1\n"
         "全部で 4 頁で、5 箇所でした。\n",
         0},
        {"and: hits of both terms", {"中國 史"}, "K\tP\tY\t7\t2\t2\n全部で 1 頁で、2 箇所でした。\n", 0},
        {"arguments are joined with a space", {"中國", "史"}, "K\tP\tY\t7\t2\t2\n全部で 1 頁で、2 箇所でした。\n", 0},
        {"an ideographic space separates terms", {"中國\u3000史"}, "K\tP\tY\t7\t2\t2\n全部で 1 頁で、2 箇所でした。\n", 0},
        {"or: equal page numbers keep the index's order (中國's pages first)",
         {"--or", "中國 史"},
         "K\t\t\t0\t5\t1\n"
         "K\tP\tX\t1\t0\t2\n"
         "K\tQ\tZ\t2\t4\t1\n"
         "K\tP\tX\t2\t1\t1\n"
         "K\tP\tY\t7\t2\t2\n"
         "全部で 5 頁で、7 箇所でした。\n",
         0},
        {"range on a volume", {"--range", "4", "中國"}, "K\tP\tY\t7\t2\t1\n全部で 1 頁で、1 箇所でした。\n", 0},
        {"range on a book", {"--range=5", "中國"}, "K\tQ\tZ\t2\t4\t1\n全部で 1 頁で、1 箇所でした。\n", 0},
        {"range on a category without books", {"--range", "7", "中國"}, "L\t\t\t0\t6\t1\n全部で 1 頁で、1 箇所でした。\n", 0},
        {"a variant finds every page with 國",
         {"国"},
         "K\t\t\t0\t5\t1\n"
         "K\tP\tX\t1\t0\t2\n"
         "K\tQ\tZ\t1\t3\t1\n"
         "K\tQ\tZ\t2\t4\t1\n"
         "K\tP\tY\t7\t2\t1\n"
         "全部で 5 頁で、6 箇所でした。\n",
         0},
        {"no variants", {"--no-variants", "中国"}, "全部で 0 頁で、0 箇所でした。\n", 1},
        {"nothing found", {"歷"}, "全部で 0 頁で、0 箇所でした。\n", 1},
        {"found only outside the range", {"--range", "6", "史"}, "全部で 0 頁で、0 箇所でした。\n", 1},
        // Within results: the pages of the searches before that also match
        // the last keywords, with the last keywords' hits.
        {"within", {"--within", "史", "中國"}, "K\tP\tY\t7\t2\t1\n全部で 1 頁で、1 箇所でした。\n", 0},
        {"within, twice in a row",
         {"--within", "中國", "--within=國中", "中"},
         "K\tP\tX\t1\t0\t2\n全部で 1 頁で、2 箇所でした。\n",
         0},
        {"within: nothing left", {"--within", "史", "國中"}, "全部で 0 頁で、0 箇所でした。\n", 1},
        {"reading order: book by book, volume by volume; a page in no book last",
         {"--order", "reading", "中國"},
         "K\tP\tX\t1\t0\t2\n"
         "K\tP\tY\t7\t2\t1\n"
         "K\tQ\tZ\t2\t4\t1\n"
         "K\t\t\t0\t5\t1\n"
         "全部で 4 頁で、5 箇所でした。\n",
         0},
        {"pages and hits per book; pages in no book last, unnamed",
         {"--by", "book", "中國"},
         "K\tP\t2\t3\nK\tQ\t1\t1\n\t\t1\t1\n全部で 4 頁で、5 箇所でした。\n",
         0},
        {"per volume",
         {"--by", "volume", "中國"},
         "K\tP\tX\t1\t2\nK\tP\tY\t1\t1\nK\tQ\tZ\t1\t1\n\t\t\t1\t1\n全部で 4 頁で、5 箇所でした。\n",
         0},
        {"per book, nothing found", {"--by", "book", "歷"}, "全部で 0 頁で、0 箇所でした。\n", 1},
    };
    for (const Case& c : cases) {
        CliResult result = Search(c.args);
        EXPECT_EQ(result.strOut, c.strOut) << c.pszName;
        EXPECT_EQ(result.strErr, "") << c.pszName;
        EXPECT_EQ(result.nStatus, c.nStatus) << c.pszName;
    }
}

// 国 stands alone on no page; with variants it finds 國 wherever it stands.
TEST_F(SearchCommandTest, CountsAsJsonAndBadLevels) {
    CliResult result = Search({"--by", "volume", "--format", "json", "--range", "2", "中國"});
    EXPECT_EQ(result.strOut,
              "{\n  \"by\": \"volume\",\n  \"counts\": [\n"
              "    {\"category\": \"K\", \"book\": \"P\", \"volume\": \"X\", \"pages\": 1, \"hits\": 2},\n"
              "    {\"category\": \"K\", \"book\": \"P\", \"volume\": \"Y\", \"pages\": 1, \"hits\": 1}\n"
              "  ],\n  \"pages\": 2,\n  \"hits\": 3\n}\n");
    EXPECT_EQ(result.nStatus, 0);
    for (const auto& [args, strError] :
         {std::pair<std::vector<std::string>, std::string>{{"--by", "chapter", "中國"}, "--by chapter: expected book or volume"},
          {{"--order", "random", "中國"}, "--order random: expected page or reading"},
          {{"--within", "abc", "中國"}, "--within 'abc': "}}) {
        result = Search(args);
        EXPECT_THAT(result.strErr, HasSubstr(strError));
        EXPECT_EQ(result.strOut, "");
        EXPECT_EQ(result.nStatus, 2);
    }
}

TEST_F(SearchCommandTest, VariantsWidenTheSearch) {
    CliResult result = Search({"中国"});
    EXPECT_EQ(result.strOut, Search({"中國"}).strOut);
    EXPECT_EQ(result.nStatus, 0);
}

TEST_F(SearchCommandTest, Json) {
    CliResult result = Search({"--format", "json", "中國 史"});
    EXPECT_EQ(result.strOut,
              "{\n"
              "  \"rows\": [\n"
              "    {\"category\": \"K\", \"book\": \"P\", \"volume\": \"Y\", \"pageNo\": 7, \"pageIndex\": 2, \"hits\": 2, "
              "\"part\": \"both\"}\n"
              "  ],\n"
              "  \"pages\": 1,\n"
              "  \"hits\": 2\n"
              "}\n");
    EXPECT_EQ(result.nStatus, 0);
    // Where the hits lie ends each row only on request (this corpus posts
    // every character in all three indexes).
    EXPECT_EQ(Search({"--show-parts", "中國 史"}).strOut, "K\tP\tY\t7\t2\t2\tboth\n全部で 1 頁で、2 箇所でした。\n");

    result = Search({"--format", "json", "歷"});
    EXPECT_EQ(result.strOut, "{\n  \"rows\": [],\n  \"pages\": 0,\n  \"hits\": 0\n}\n");
    EXPECT_EQ(result.nStatus, 1);

    // Names are escaped.
    m_dir.Write("vmk.dir", CCatalog::Format({Record(u"a\"b\\c\td", 1, 1, 7, 1)}));
    result = Search({"--format", "json", "史"});
    EXPECT_THAT(result.strOut, HasSubstr("\"category\": \"a\\\"b\\\\c\\u0009d\", \"book\": \"\""));
    // In TSV a tab inside a name becomes a space.
    EXPECT_EQ(Search({"史"}).strOut, "a\"b\\c d\t\t\t0\t1\t1\na\"b\\c d\t\t\t0\t2\t1\n全部で 2 頁で、2 箇所でした。\n");
}

// The part chooses the index: the main-text index here holds only 史 on
// page 1; the annotation index is missing.
TEST_F(SearchCommandTest, PartChoosesTheIndex) {
    CIndexWriter writer;
    std::string strError;
    ASSERT_TRUE(writer.AddPosition(0x53F2 - 0x3400, 1, 0, strError)) << strError;
    ASSERT_TRUE(writer.Write(CCorpusFiles::IndexHeader(m_dir.Path(), IndexScope::MainText),
                             CCorpusFiles::IndexPostings(m_dir.Path(), IndexScope::MainText), strError))
        << strError;
    std::remove(CCorpusFiles::IndexHeader(m_dir.Path(), IndexScope::Annotations).c_str());

    EXPECT_EQ(Search({"史"}).strOut, "K\tP\tX\t2\t1\t1\nK\tP\tY\t7\t2\t1\n全部で 2 頁で、2 箇所でした。\n");
    EXPECT_EQ(Search({"--part", "whole", "史"}).strOut, Search({"史"}).strOut);
    EXPECT_EQ(Search({"--part", "main", "史"}).strOut, "K\tP\tX\t2\t1\t1\n全部で 1 頁で、1 箇所でした。\n");

    CliResult result = Search({"--part", "annotations", "史"});
    EXPECT_EQ(result.nStatus, 2);
    EXPECT_EQ(result.strOut, "");
    EXPECT_THAT(result.strErr, HasSubstr("データを開けませんでした。"));
    EXPECT_THAT(result.strErr, HasSubstr(m_dir.Path() + "/Index_desc-idx.h"));
}

TEST_F(SearchCommandTest, RefusedInput) {
    std::string strTerm298, strTerm299;
    for (int i = 0; i < 298; ++i) strTerm298 += "中";
    strTerm299 = strTerm298 + "中";
    struct Case {
        const char* pszName;
        std::vector<std::string> args;
        std::string strMessage;
    } cases[] = {
        {"a Latin letter", {"中A國"}, "キーワードに使えない文字があります: 'A' (U+0041)"},
        {"a digit in another argument", {"中國", "2"}, "キーワードに使えない文字があります: '2' (U+0032)"},
        {"a Latin-1 letter", {"中é"}, "キーワードに使えない文字があります: 'é' (U+00E9)"},
        {"a control character is named by its code only", {"中\t國"}, "キーワードに使えない文字があります: (U+0009)"},
        {"no keywords", {}, "何かキーワードを入力して検索をして下さい。"},
        {"only separators", {" \u3000 "}, "何かキーワードを入力して検索をして下さい。"},
        {"a term longer than a pattern", {"史 " + strTerm299}, "1 語は UTF-16 で 298 単位までですが、299 単位の語があります"},
        {"not UTF-8", {"中\xff"}, "the keywords are not valid UTF-8"},
        {"range 0", {"--range", "0", "中"}, "検索範囲をまた指定していません。"},
        {"range not a number", {"--range", "1x", "中"}, "--range 1x: expected a catalogue slot number"},
        {"range past the catalogue", {"--range", "8", "中"}, "the catalogue has no record in slot 8 (it has 7 records)"},
        {"unknown part", {"--part", "notes", "中"}, "--part notes: expected whole, main or annotations"},
        {"unknown format", {"--format", "xml", "中"}, "--format xml: expected tsv or json"},
        {"unknown option", {"--and", "中"}, "unknown option --and"},
        {"option without its value", {"中", "--range"}, "option --range needs a value"},
    };
    for (const Case& c : cases) {
        CliResult result = Search(c.args);
        EXPECT_EQ(result.nStatus, 2) << c.pszName;
        EXPECT_EQ(result.strOut, "") << c.pszName;
        EXPECT_THAT(result.strErr, HasSubstr(c.strMessage)) << c.pszName;
        EXPECT_EQ(result.strErr.rfind("tessaline-cli search: ", 0), 0u) << c.pszName << ": " << result.strErr;
    }
    // 298 units is still a pattern (it finds nothing here).
    EXPECT_EQ(Search({strTerm298}).nStatus, 1);
}

TEST_F(SearchCommandTest, MissingOrDamagedData) {
    CliResult result = RunCli({"search", "--data", m_dir.File("nowhere"), "中國"});
    EXPECT_EQ(result.nStatus, 2);
    EXPECT_EQ(result.strOut, "");
    EXPECT_THAT(result.strErr, HasSubstr("データを開けませんでした。 " + m_dir.File("nowhere") + "/Index-idx.h"));

    // Bad catalogue records make no range.
    m_dir.Write("vmk.dir", CCatalog::Format({Record(u"K", 1, 1, 7, 1), Record(u"odd", 9, 1, 7, 1),
                                             Record(u"X", 3, 1, 7, 1)}));
    result = Search({"--range", "2", "中國"});
    EXPECT_EQ(result.nStatus, 2);
    EXPECT_THAT(result.strErr, HasSubstr("slot 2 has level 9; a search range is a category, book or volume"));
    result = Search({"--range", "3", "中國"});
    EXPECT_EQ(result.nStatus, 2);
    EXPECT_THAT(result.strErr, HasSubstr("slot 3 (level 3) has no record of level 2 before it"));
    EXPECT_EQ(Search({"中國"}).nStatus, 0);

    m_dir.Write("vmk.dir", "");
    result = Search({"中國"});
    EXPECT_EQ(result.nStatus, 2);
    EXPECT_THAT(result.strErr, HasSubstr("the catalogue has no record in slot 1 (it has 0 records)"));

    std::remove(m_dir.File("vmk.dir").c_str());
    result = Search({"中國"});
    EXPECT_EQ(result.nStatus, 2);
    EXPECT_EQ(result.strOut, "");
    EXPECT_THAT(result.strErr, HasSubstr("you delete data file! " + m_dir.File("vmk.dir")));
}

TEST_F(SearchCommandTest, DataFolderFromEnvironmentOrProgram) {
    const std::string strExpected = Search({"中國 史"}).strOut;
    CliResult result = RunCli({"search", "中國 史"}, m_dir.Path());
    EXPECT_EQ(result.strOut, strExpected);
    EXPECT_EQ(result.nStatus, 0);

    // --data wins over the environment.
    result = RunCli({"search", "--data", m_dir.Path(), "中國 史"}, m_dir.File("nowhere"));
    EXPECT_EQ(result.strOut, strExpected);

    // Neither: the program's own folder, which holds no corpus.
    const std::string strProgram = TESSALINE_CLI;
    const std::string strProgramFolder = strProgram.substr(0, strProgram.rfind('/'));
    result = RunCli({"search", "中國"});
    EXPECT_EQ(result.nStatus, 2);
    EXPECT_THAT(result.strErr, HasSubstr(strProgramFolder + "/Index-idx.h"));
}

TEST_F(SearchCommandTest, Help) {
    for (const char* pszCommand : {"search", "catalog"}) {
        CliResult result = RunCli({pszCommand, "--help"});
        EXPECT_EQ(result.nStatus, 0) << pszCommand;
        EXPECT_THAT(result.strOut, HasSubstr(std::string("Usage: tessaline-cli ") + pszCommand)) << pszCommand;
        EXPECT_THAT(result.strOut, HasSubstr("  --data DIR")) << pszCommand;
        EXPECT_EQ(result.strErr, "") << pszCommand;
    }
    CliResult result = RunCli({"search", "--help"});
    for (const char* pszOption : {"--or", "--no-variants", "--part PART", "--range SLOT", "--format FORMAT"})
        EXPECT_THAT(result.strOut, HasSubstr("  " + std::string(pszOption))) << pszOption;
}

TEST_F(SearchCommandTest, Catalog) {
    CliResult result = RunCli({"catalog", "--data", m_dir.Path()});
    EXPECT_EQ(result.strOut,
              "1\t1\tK\t1\t6\t1\n"
              "2\t2\tP\t1\t3\t1\n"
              "3\t3\tX\t1\t2\t1\n"
              "4\t3\tY\t3\t1\t7\n"
              "5\t2\tQ\t4\t2\t1\n"
              "6\t3\tZ\t4\t2\t1\n"
              "7\t1\tL\t7\t1\t1\n");
    EXPECT_EQ(result.strErr, "");
    EXPECT_EQ(result.nStatus, 0);
    EXPECT_EQ(RunCli({"catalog"}, m_dir.Path()).strOut, result.strOut);

    // Records outside the outline are listed and noted; a short last record
    // is read as far as it goes.
    std::string strBytes = CCatalog::Format({Record(u"X", 3, 1, 2, 1), Record(u"經部", 1, 1, 5, 65535),
                                             Record(u"odd", 4, -1, 0, 0)});
    strBytes += std::string(CCatalog::Format({Record(u"AB", 1, 0, 0, 0)}), 0, 4);
    m_dir.Write("vmk.dir", strBytes);
    result = RunCli({"catalog", "--data", m_dir.Path()});
    EXPECT_EQ(result.strOut,
              "1\t3\tX\t1\t2\t1\n"
              "2\t1\t經部\t1\t5\t65535\n"
              "3\t4\todd\t-1\t0\t0\n"
              "4\t0\tAB\t0\t0\t0\n");
    EXPECT_EQ(result.nStatus, 0);
    const std::string strPath = m_dir.File("vmk.dir");
    EXPECT_EQ(result.strErr,
              "tessaline-cli catalog: warning: " + strPath +
                  ": 652 bytes is not a whole number of 216-byte records; the last record is short\n"
                  "tessaline-cli catalog: warning: " + strPath +
                  ": slot 1: no record of level 2 before this level-3 record; it is not in the contents tree\n"
                  "tessaline-cli catalog: warning: " + strPath +
                  ": slot 3: level 4 is not 1 to 3; the record is not in the contents tree\n"
                  "tessaline-cli catalog: warning: " + strPath +
                  ": slot 4: level 0 is not 1 to 3; the record is not in the contents tree\n");

    m_dir.Write("vmk.dir", "");
    result = RunCli({"catalog", "--data", m_dir.Path()});
    EXPECT_EQ(result.strOut, "");
    EXPECT_EQ(result.nStatus, 1);

    std::remove(strPath.c_str());
    result = RunCli({"catalog", "--data", m_dir.Path()});
    EXPECT_EQ(result.nStatus, 2);
    EXPECT_THAT(result.strErr, HasSubstr("you delete data file! " + strPath));

    result = RunCli({"catalog", "--data", m_dir.Path(), "extra"});
    EXPECT_EQ(result.nStatus, 2);
    EXPECT_THAT(result.strErr, HasSubstr("unexpected argument 'extra'"));
}

}  // namespace
