#include "bench/benchoptions.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

bool Parse(std::vector<std::string> args, CBenchOptions& options, std::string& strError) {
    std::vector<char*> argv;
    for (std::string& strArg : args) argv.push_back(strArg.data());
    return options.Parse(static_cast<int>(argv.size()), argv.data(), strError);
}

TEST(BenchOptionsTest, DefaultsRunEveryEngineSideBySideOnTheQuerySetInTheRepository) {
    CBenchOptions options;
    std::string strError;
    ASSERT_TRUE(Parse({}, options, strError)) << strError;
    EXPECT_EQ(options.m_eMode, CBenchOptions::Mode::SideBySide);
    EXPECT_EQ(options.m_strQueries, "bench/queries.tsv");
    EXPECT_EQ(options.m_engines, (std::set<std::string>{"ours", "fts5", "trigram", "xapian", "ripgrep", "scan"}));
    EXPECT_NE(options.m_strCli.find("/../cli/tessaline-cli"), std::string::npos) << options.m_strCli;
}

TEST(BenchOptionsTest, ChoosesTheRunAndReadsItsValues) {
    CBenchOptions options;
    std::string strError;
    ASSERT_TRUE(
        Parse({"--scale", "30", "--scale-check", "--engines", "ours,scan", "--engines=fts5", "--queries", "q.tsv"},
              options, strError))
        << strError;
    EXPECT_EQ(options.m_eMode, CBenchOptions::Mode::Scale);
    EXPECT_EQ(options.m_nScale, 30u);
    EXPECT_TRUE(options.m_bScaleCheck);
    EXPECT_FALSE(options.m_bScaleForce);
    EXPECT_EQ(options.m_engines, (std::set<std::string>{"ours", "scan", "fts5"}));
    EXPECT_EQ(options.m_strQueries, "q.tsv");

    CBenchOptions loop;
    ASSERT_TRUE(Parse({"--loop", "q07", "--seconds", "0.5"}, loop, strError)) << strError;
    EXPECT_EQ(loop.m_eMode, CBenchOptions::Mode::Loop);
    EXPECT_EQ(loop.m_strLoop, "q07");
    EXPECT_DOUBLE_EQ(loop.m_dSeconds, 0.5);
    EXPECT_FALSE(loop.m_bFirst);
    CBenchOptions first;
    ASSERT_TRUE(Parse({"--loop", "all", "--first"}, first, strError)) << strError;
    EXPECT_TRUE(first.m_bFirst);

    CBenchOptions help;
    ASSERT_TRUE(Parse({"--help", "--scale", "0"}, help, strError)) << strError;
    EXPECT_TRUE(help.m_bHelp);
}

TEST(BenchOptionsTest, RefusesWhatDoesNotFitWithAMessageNamingIt) {
    struct Case {
        std::vector<std::string> args;
        const char* pszError;  // part of the message
    } cases[] = {
        {{"--bogus"}, "unknown option --bogus"},
        {{"stray"}, "unexpected argument 'stray'"},
        {{"--corpus"}, "--corpus needs a value"},
        {{"--scale", "0"}, "--scale 0: expected a number of copies"},
        {{"--scale", "3x"}, "--scale 3x"},
        {{"--scale", "-3"}, "--scale -3"},
        {{"--forms", "--scale", "3"}, "--scale and --forms are two different runs"},
        {{"--forms", "--loop", "q01"}, "--forms and --loop"},
        {{"--scale-check"}, "--scale-check goes with --scale"},
        {{"--forms", "--scale-force"}, "--scale-force goes with --scale"},
        {{"--seconds", "3"}, "--seconds goes with --loop"},
        {{"--first"}, "--first goes with --loop"},
        {{"--loop", "q01", "--seconds", "0"}, "--seconds 0: expected a number of seconds above 0"},
        {{"--loop", "q01", "--seconds", "1e3"}, "--seconds 1e3"},
        {{"--engines", "ours,Xapian"}, "no engine is called 'Xapian' (ours, fts5, trigram, xapian, ripgrep, scan)"},
        {{"--engines", ","}, "--engines: the list names no engine"},
        {{"--reuse=yes"}, "--reuse takes no value"},
    };
    for (const Case& c : cases) {
        CBenchOptions options;
        std::string strError;
        EXPECT_FALSE(Parse(c.args, options, strError)) << c.args[0];
        EXPECT_NE(strError.find(c.pszError), std::string::npos) << strError;
    }
}

}  // namespace
