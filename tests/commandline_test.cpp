#include "cli/commandline.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Parses args against a table with one listed option and one switch.
CCommandLine Parsed(std::vector<std::string> args) {
    CCommandLine commandLine({{"--engines", "LIST", "engines"}, {"--reuse", nullptr, "keep"}});
    std::vector<char*> argv;
    for (std::string& strArg : args) argv.push_back(strArg.data());
    std::string strError;
    EXPECT_TRUE(commandLine.Parse(static_cast<int>(argv.size()), argv.data(), strError)) << strError;
    return commandLine;
}

TEST(CommandLineTest, ListValuesJoinRepeatedOptionsAndCommaLists) {
    struct Case {
        const char* pszName;
        std::vector<std::string> args;
        std::vector<std::string> items;
    } cases[] = {
        {"one list", {"--engines", "ours,scan"}, {"ours", "scan"}},
        {"repeated, in order", {"--engines", "ours,scan", "--reuse", "--engines=fts5"}, {"ours", "scan", "fts5"}},
        {"empty items left out", {"--engines", ",ours,,scan,"}, {"ours", "scan"}},
        {"only commas", {"--engines", ",,"}, {}},
        {"not given", {"--reuse"}, {}},
    };
    for (const Case& c : cases) EXPECT_EQ(Parsed(c.args).ListValues("--engines"), c.items) << c.pszName;
    EXPECT_EQ(Parsed({"--engines", "a;b,c"}).ListValues("--engines", ';'), (std::vector<std::string>{"a", "b,c"}));
}

TEST(CommandLineTest, ParseNumberTakesPlainDecimalsOnly) {
    struct Case {
        const char* pszText;
        bool bOk;
        double dValue;
    } cases[] = {
        {"20", true, 20},
        {"0.5", true, 0.5},
        {"2.", true, 2},
        {".25", true, 0.25},
        {"007", true, 7},
        {"999999999.5", true, 999999999.5},
        {"1000000000", false, 0},  // ten digits before the point
        {"", false, 0},
        {".", false, 0},
        {"-1", false, 0},
        {"+1", false, 0},
        {"1e3", false, 0},
        {"1.2.3", false, 0},
        {"1,5", false, 0},
        {" 1", false, 0},
        {"1 ", false, 0},
        {"inf", false, 0},
    };
    for (const Case& c : cases) {
        double dValue = -7;
        EXPECT_EQ(CCommandLine::ParseNumber(c.pszText, dValue), c.bOk) << '"' << c.pszText << '"';
        EXPECT_DOUBLE_EQ(dValue, c.bOk ? c.dValue : -7) << '"' << c.pszText << "\": left alone when refused";
    }
}

}  // namespace
