#include "import/jsonreader.h"
#include "import/jsonvalue.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

CJsonValue ParseOk(const std::string& strText) {
    CJsonValue value;
    std::string strError;
    EXPECT_TRUE(CJsonReader::Parse(strText, value, strError)) << strText << ": " << strError;
    return value;
}

}  // namespace

TEST(JsonReaderTest, ReadsADocument) {
    const CJsonValue doc = ParseOk(
        "\xEF\xBB\xBF [ {\"title\": \"登鸛雀樓\", \"no#\": 1, \"notes\": [\"\", null],\n"
        "  \"esc\": \"\\\"\\\\\\/\\b\\f\\n\\r\\t\\u4e2D\\ud840\\udc0b\", \"ok\": true, \"x\": false, \"title\": \"again\"},\n"
        "  -0.5e+3, [], {} ]  \n");
    ASSERT_TRUE(doc.IsArray());
    ASSERT_EQ(doc.Items().size(), 4u);
    const CJsonValue& poem = doc.Items()[0];
    ASSERT_TRUE(poem.IsObject());
    EXPECT_EQ(poem.Keys(), (std::vector<std::string>{"title", "no#", "notes", "esc", "ok", "x", "title"}));
    ASSERT_NE(poem.FindString("title"), nullptr);
    EXPECT_EQ(*poem.FindString("title"), "登鸛雀樓");  // the first of two
    int64_t n = 0;
    ASSERT_TRUE(poem.Find("no#")->GetInt64(n));
    EXPECT_EQ(n, 1);
    EXPECT_EQ(poem.Find("notes")->Items().size(), 2u);
    EXPECT_TRUE(poem.Find("notes")->Items()[1].IsNull());
    EXPECT_EQ(*poem.FindString("esc"), "\"\\/\b\f\n\r\t中\U0002000B");
    EXPECT_TRUE(poem.Find("ok")->GetBool());
    EXPECT_EQ(poem.Find("x")->GetType(), CJsonValue::Bool);
    EXPECT_EQ(poem.Find("missing"), nullptr);
    EXPECT_EQ(poem.FindString("no#"), nullptr);  // not a string
    EXPECT_EQ(doc.Items()[1].GetText(), "-0.5e+3");
    EXPECT_FALSE(doc.Items()[1].GetInt64(n));
    EXPECT_TRUE(doc.Items()[2].IsArray());
    EXPECT_TRUE(doc.Items()[3].IsObject());
    EXPECT_EQ(doc.Find("title"), nullptr);  // not an object
}

TEST(JsonReaderTest, RefusesMalformedTextSayingWhere) {
    struct Case {
        std::string strText;
        const char* pszMessage;
    };
    const std::vector<Case> cases = {
        {"", "line 1, column 1: the text ends where a value is expected"},
        {"  \n", "line 2, column 1"},
        {"[1, 2", "the text ends inside a list"},
        {"[1, 2,", "the text ends where a value is expected"},
        {"{\"a\": 1", "the text ends inside an object"},
        {"{\"a\"", "expected ':'"},
        {"{\"a\" 1}", "expected ':'"},
        {"{1: 2}", "expected a member name"},
        {"[1 2]", "expected ',' or ']'"},
        {"[1,]", "unexpected character"},
        {"\"abc", "the text ends inside a string"},
        {"\"ab\\", "the text ends inside an escape"},
        {"\"\\x\"", "unknown escape"},
        {"\"\\u12G4\"", "four hexadecimal digits"},
        {"\"\\u12\"", "four hexadecimal digits"},
        {"\"\\ud800\"", "high surrogate without its low surrogate"},
        {"\"\\ud800\\u0041\"", "high surrogate without its low surrogate"},
        {"\"\\udc00\"", "lone low surrogate"},
        {"\"a\nb\"", "control character"},
        {"\"\xC0\x80\"", "invalid UTF-8"},          // overlong
        {"\"\xED\xA0\x80\"", "invalid UTF-8"},      // a surrogate
        {"\"\xF5\x80\x80\x80\"", "invalid UTF-8"},  // above U+10FFFF
        {"\"\xE4\xB8\"", "invalid UTF-8"},          // cut short
        {"\"\x80\"", "invalid UTF-8"},
        {"012", "must not start with 0"},
        {"-", "a digit must follow '-'"},
        {"1.", "decimal point"},
        {"1e+", "exponent"},
        {"nul", "unknown word"},
        {"True", "unexpected character"},
        {"'a'", "unexpected character"},
        {"[] []", "line 1, column 4: unexpected text after the value"},
        {std::string("[\"a\0\"]", 5), "control character"},
    };
    for (const Case& c : cases) {
        CJsonValue value = CJsonValue::MakeString("old");
        std::string strError;
        EXPECT_FALSE(CJsonReader::Parse(c.strText, value, strError)) << c.strText;
        EXPECT_NE(strError.find(c.pszMessage), std::string::npos) << c.strText << "\n" << strError;
        EXPECT_EQ(strError.rfind("line ", 0), 0u) << strError;
        EXPECT_TRUE(value.IsNull()) << c.strText;
    }
}

TEST(JsonReaderTest, BoundsNestingAndKeepsLongNumbersAsText) {
    const size_t D = CJsonReader::MaxDepth;
    ParseOk(std::string(D, '[') + std::string(D, ']'));
    std::string strMembers;
    for (int i = 0; i < 300000; ++i) strMembers += "{\"a\":[";
    for (const std::string& strDeep :
         {std::string(D + 1, '[') + std::string(D + 1, ']'), std::string(1000000, '['), strMembers}) {
        CJsonValue value;
        std::string strError;
        EXPECT_FALSE(CJsonReader::Parse(strDeep, value, strError));
        EXPECT_NE(strError.find("nested deeper than"), std::string::npos) << strError.substr(0, 200);
    }
    // {"a":{"a":...}} deeper than allowed fails too.
    std::string strObjects;
    for (size_t i = 0; i <= D; ++i) strObjects += "{\"a\":";
    strObjects += "1" + std::string(D + 1, '}');
    CJsonValue value;
    std::string strError;
    EXPECT_FALSE(CJsonReader::Parse(strObjects, value, strError));

    const std::string strHuge = "1" + std::string(100000, '7') + ".5e99999999999";
    EXPECT_EQ(ParseOk(strHuge).GetText(), strHuge);
    struct Case {
        const char* pszText;
        bool bInteger;
        int64_t nValue;
    };
    const Case cases[] = {
        {"9223372036854775807", true, INT64_MAX}, {"-9223372036854775808", true, INT64_MIN},
        {"9223372036854775808", false, 0},        {"-9223372036854775809", false, 0},
        {"99999999999999999999", false, 0},       {"-0", true, 0},
        {"1e2", false, 0},                        {"1.0", false, 0},
    };
    for (const Case& c : cases) {
        int64_t n = -7;
        EXPECT_EQ(ParseOk(c.pszText).GetInt64(n), c.bInteger) << c.pszText;
        if (c.bInteger) {
            EXPECT_EQ(n, c.nValue) << c.pszText;
        }
    }
}

// Damaged copies of a real-looking file (cut anywhere, bytes changed) either
// parse or fail with a message; nothing else happens.
TEST(JsonReaderTest, SurvivesDamagedFiles) {
    const std::string strGood =
        "[{\"title\":\"日詩\",\"author\":\"宋太祖\",\"paragraphs\":[\"欲出未出光辣達，千山萬山如火發。\","
        "\"須臾走向天上來\\u3002\"],\"id\":\"08e4\",\"tags\":[1,-2.5e3,true,null,{}]}]";
    std::mt19937 rng(12345);
    const char kBytes[] = "[]{}\",:\\u0123456789eE+-.tfn \x80\xBF\xE4\xF0\xFF";
    size_t nParsed = 0;
    for (int i = 0; i < 3000; ++i) {
        std::string strText = strGood;
        const int nEdits = 1 + static_cast<int>(rng() % 4);
        for (int k = 0; k < nEdits; ++k) {
            const size_t nAt = rng() % strText.size();
            switch (rng() % 3) {
            case 0: strText.resize(nAt); break;
            case 1: strText[nAt] = kBytes[rng() % (sizeof kBytes - 1)]; break;
            default: strText.insert(nAt, 1, kBytes[rng() % (sizeof kBytes - 1)]); break;
            }
            if (strText.empty()) strText = "[";
        }
        CJsonValue value;
        std::string strError;
        if (CJsonReader::Parse(strText, value, strError))
            ++nParsed;
        else
            EXPECT_EQ(strError.rfind("line ", 0), 0u) << strError;
    }
    EXPECT_LT(nParsed, 3000u);
}

TEST(JsonReaderTest, FileErrorsNameTheFile) {
    CTempDir dir;
    dir.Write("bad.json", "{\n  \"a\": [1,\n");
    CJsonValue value;
    std::string strError;
    EXPECT_FALSE(CJsonReader::ParseFile(dir.File("bad.json"), value, strError));
    EXPECT_EQ(strError, dir.File("bad.json") + ": not valid JSON: line 3, column 1: the text ends where a value is expected");
    EXPECT_FALSE(CJsonReader::ParseFile(dir.File("missing.json"), value, strError));
    EXPECT_EQ(strError.rfind(dir.File("missing.json") + ": ", 0), 0u) << strError;
    dir.Write("good.json", "{\"name\": \"chinese-poetry\"}");
    ASSERT_TRUE(CJsonReader::ParseFile(dir.File("good.json"), value, strError)) << strError;
    EXPECT_EQ(*value.FindString("name"), "chinese-poetry");
}
