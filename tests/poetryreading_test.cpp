// The importer's reading of the package: its JSON files (nlohmann-json,
// behind CPackageFile) and the pieces in them (CPieceReader), on small
// fixtures. Malformed text, bad UTF-8 and wrong shapes must each give a
// message that says where; nothing else may happen.

#include "import/packagefile.h"
#include "import/piecereader.h"
#include "support/tempdir.h"
#include "text/codeconverter.h"

#include <nlohmann/json.hpp>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using ::testing::HasSubstr;
using json = nlohmann::json;

namespace {

json ParseOk(const std::string& strText) {
    json root;
    std::string strError;
    EXPECT_TRUE(CPackageFile::Parse(strText, root, strError)) << strText.substr(0, 80) << ": " << strError;
    return root;
}

// The members of a poem as most collections name them.
const PieceFields kPoem = {"title", "rhythmic", "author", "biography", "chapter", "section",
                           "paragraphs", "content", true, "notes"};

}  // namespace

TEST(PoetryReadingTest, RefusesMalformedTextSayingWhere) {
    struct Case {
        std::string strText;
        std::string strMessage;  // a part of the message
    };
    const std::string E = "syntax error while parsing value - ";
    const std::vector<Case> cases = {
        {"", "line 1, column 1: syntax error while parsing value - unexpected end of input"},
        {"  \n", "line 2, column 1: "},
        {"[1, 2", "line 1, column 6: syntax error while parsing array - unexpected end of input; expected ']'"},
        {"[1, 2,", "unexpected end of input"},
        {"{\"a\": 1", "expected '}'"},
        {"{\"a\"", "expected ':'"},
        {"{\"a\" 1}", "expected ':'"},
        {"{1: 2}", "expected string literal"},
        {"[1 2]", "expected ']'"},
        {"[1,]", "unexpected ']'"},
        {"\"abc", "missing closing quote"},
        {"\"ab\\", "forbidden character after backslash"},
        {"\"\\x\"", "forbidden character after backslash"},
        {"\"\\u12G4\"", "'\\u' must be followed by 4 hex digits"},
        {"\"\\u12\"", "'\\u' must be followed by 4 hex digits"},
        {"\"\\ud800\"", "surrogate U+D800..U+DBFF must be followed by U+DC00..U+DFFF"},
        {"\"\\ud800\\u0041\"", "surrogate U+D800..U+DBFF must be followed by U+DC00..U+DFFF"},
        {"\"\\udc00\"", "surrogate U+DC00..U+DFFF must follow U+D800..U+DBFF"},
        {"\"a\nb\"", "control character U+000A (LF) must be escaped"},
        {std::string("[\"a\0\"]", 5), "control character U+0000 (NUL) must be escaped"},
        {"\"\xC0\x80\"", "line 1, column 2: " + E + "invalid string: ill-formed UTF-8 byte"},  // overlong
        {"\"\xED\xA0\x80\"", "ill-formed UTF-8 byte"},                                         // a surrogate
        {"\"\xF5\x80\x80\x80\"", "ill-formed UTF-8 byte"},                                     // above U+10FFFF
        {"\"\xE4\xB8\"", "ill-formed UTF-8 byte"},                                             // cut short
        {"\"\x80\"", "ill-formed UTF-8 byte"},                                                 // a stray continuation
        {"[\xE4\xB8\xAD]", "invalid literal"},                                                 // text outside a string
        {"\xEF\xBB[1]", "invalid BOM"},
        {"012", "expected end of input"},
        {"-", "expected digit after '-'"},
        {"1.", "expected digit after '.'"},
        {"1e+", "expected digit after exponent sign"},
        {"1e999", "number overflow parsing '1e999'"},
        {"nul", "invalid literal"},
        {"True", "invalid literal"},
        {"'a'", "invalid literal"},
        {"[] []", "line 1, column 4: " + E + "unexpected '['; expected end of input"},
    };
    for (const Case& c : cases) {
        json root = "old";
        std::string strError;
        EXPECT_FALSE(CPackageFile::Parse(c.strText, root, strError)) << c.strText;
        EXPECT_THAT(strError, HasSubstr(c.strMessage)) << c.strText;
        EXPECT_EQ(strError.rfind("[json.exception", 0), std::string::npos) << strError;
        // The bytes nlohmann quotes are made UTF-8 for the message.
        EXPECT_EQ(CCodeConverter::FindInvalidUtf8(strError), std::string::npos) << strError;
        EXPECT_TRUE(root.is_null()) << c.strText;
    }

    // A long token is quoted only in part.
    std::string strError;
    json root;
    EXPECT_FALSE(CPackageFile::Parse("[\"" + std::string(100000, 'x') + "\x80\"]", root, strError));
    EXPECT_THAT(strError, HasSubstr("ill-formed UTF-8 byte"));
    EXPECT_LE(CCodeConverter::Utf8ToUtf32(strError).size(), CPackageFile::MaxQuoteChars + 1);
}

TEST(PoetryReadingTest, BoundsNesting) {
    const size_t D = CPackageFile::MaxDepth;
    ParseOk(std::string(D, '[') + std::string(D, ']'));
    std::string strMembers;
    for (int i = 0; i < 300000; ++i) strMembers += "{\"a\":[";
    std::string strObjects;
    for (size_t i = 0; i <= D; ++i) strObjects += "{\"a\":";
    strObjects += "1" + std::string(D + 1, '}');
    for (const std::string& strDeep :
         {std::string(D + 1, '[') + std::string(D + 1, ']'), std::string(1000000, '['), strMembers, strObjects}) {
        json root;
        std::string strError;
        EXPECT_FALSE(CPackageFile::Parse(strDeep, root, strError));
        EXPECT_EQ(strError, "nested deeper than 200 levels");
        EXPECT_TRUE(root.is_null());
    }
}

TEST(PoetryReadingTest, ReadsWhatThePackageWrites) {
    const json doc = ParseOk(
        "\xEF\xBB\xBF [ {\"title\": \"登鸛雀樓\", \"no#\": 1, \"notes\": [\"\", null],\n"
        "  \"esc\": \"\\\"\\\\\\/\\b\\f\\n\\r\\t\\u4e2D\\ud840\\udc0b\", \"ok\": true, \"title\": \"again\"},\n"
        "  -0.5e+3, 18446744073709551615, [], {} ]  \n");
    ASSERT_TRUE(doc.is_array());
    ASSERT_EQ(doc.size(), 5u);
    const json& poem = doc[0];
    EXPECT_EQ(poem.at("title"), "again");  // a member named twice keeps its last value
    EXPECT_EQ(poem.at("esc"), "\"\\/\b\f\n\r\t中\U0002000B");
    EXPECT_EQ(poem.at("notes").size(), 2u);
    EXPECT_EQ(CPackageFile::TypeName(poem.at("ok")), std::string("a boolean"));
    EXPECT_EQ(CPackageFile::TypeName(doc[1]), std::string("a number"));
    EXPECT_EQ(CPackageFile::TypeName(doc[2]), std::string("a number"));
    EXPECT_EQ(CPackageFile::TypeName(doc[3]), std::string("a list"));
    EXPECT_EQ(CPackageFile::TypeName(doc[4]), std::string("an object"));
}

TEST(PoetryReadingTest, ShapesAndMembersNameTheItem) {
    using Shape = CPackageFile::Shape;
    struct Case {
        const char* pszWhat;
        std::string strText;
        Shape eShape;
        std::string strMessage;  // "" when the piece reads
    };
    const std::vector<Case> cases = {
        {"a list", R"([{"title": "a", "paragraphs": ["b"]}])", Shape::List, ""},
        {"an object for a list", R"({"title": "a"})", Shape::List, "f.json: expected a list of items, found an object"},
        {"a number for a list", "5", Shape::List, "f.json: expected a list of items, found a number"},
        {"null for a list", "null", Shape::List, "f.json: expected a list of items, found null"},
        {"a string for a list", "\"诗\"", Shape::List, "f.json: expected a list of items, found a string"},
        {"true for an object", "true", Shape::Object, "f.json: expected an object, found a boolean"},
        {"a list for an object", "[{}]", Shape::Object, "f.json: expected an object, found a list"},
        {"an item not an object", R"([{"paragraphs": []}, ["b"]])", Shape::List, "f.json: item 2 is a list, not an object"},
        {"one object", R"({"paragraphs": "一"})", Shape::ListOrObject, ""},
        {"one object's fault", R"({"paragraphs": 1})", Shape::ListOrObject,
         "f.json: \"paragraphs\" is a number, not a list of strings"},
        {"no lines", R"([{"title": "a"}])", Shape::List, "f.json: item 1: no \"paragraphs\""},
        {"null lines", R"([{"paragraphs": null}])", Shape::List, "f.json: item 1: no \"paragraphs\""},
        {"null content", R"([{"content": null}])", Shape::List, "f.json: item 1: no \"content\""},
        {"lines a number", R"([{"paragraphs": 5}])", Shape::List, "item 1: \"paragraphs\" is a number, not a list of strings"},
        {"a line a list", R"([{"content": ["a", ["b"]]}])", Shape::List,
         "item 1: \"content\" entry 2 is a list, not a string"},
        {"notes an object", R"([{"paragraphs": [], "notes": {"a": 1}}])", Shape::List,
         "item 1: \"notes\" is an object, not a list of strings"},
        {"a title a number", R"([{"title": 1, "paragraphs": []}])", Shape::List, "item 1: \"title\" is a number, not a string"},
        {"an author a list", R"([{"author": [], "paragraphs": []}])", Shape::List,
         "item 1: \"author\" is a list, not a string"},
        {"the first fault counts", R"([{}, {"title": {}, "paragraphs": 1}])", Shape::List,
         "item 1: no \"paragraphs\""},
        {"the title before the lines", R"([{"title": {}, "paragraphs": 1}])", Shape::List,
         "item 1: \"title\" is an object, not a string"},
        {"a tune not a string", R"([{"title": "", "rhythmic": 7, "paragraphs": []}])", Shape::List,
         "item 1: \"rhythmic\" is a number, not a string"},
        {"a section not a string", R"([{"section": false, "paragraphs": []}])", Shape::List,
         "item 1: \"section\" is a boolean, not a string"},
    };
    for (const Case& c : cases) {
        json root;
        std::string strError;
        ASSERT_TRUE(CPackageFile::Parse(c.strText, root, strError)) << c.pszWhat << ": " << strError;
        std::vector<const json*> items;
        bool bOk = CPackageFile::Items("f.json", root, c.eShape, items, strError);
        for (size_t i = 0; bOk && i < items.size(); ++i) {
            Piece piece;
            bOk = CPieceReader::Read(*items[i], kPoem, CPackageFile::ItemWhere("f.json", root, i), piece, strError);
        }
        if (c.strMessage.empty()) {
            EXPECT_TRUE(bOk) << c.pszWhat << ": " << strError;
        } else {
            EXPECT_FALSE(bOk) << c.pszWhat;
            EXPECT_THAT(strError, HasSubstr(c.strMessage)) << c.pszWhat;
        }
    }
}

TEST(PoetryReadingTest, ReadsAPieceCleaned) {
    const json item = ParseOk(R"({"title": "", "rhythmic": "清平乐", "author": " 李白\n", "biography": "字太白",
        "chapter": "国风", "section": "周南", "content": ["云想衣裳{花}想容", "", null, "  "], "notes": "注&amp;解"})");
    Piece piece;
    std::string strError;
    ASSERT_TRUE(CPieceReader::Read(item, kPoem, "f.json: item 1", piece, strError)) << strError;
    EXPECT_EQ(piece.title, "清平乐");  // a ci's tune when it has no title
    EXPECT_EQ(piece.author, "李白");
    EXPECT_EQ(piece.biography, "字太白");
    EXPECT_EQ(piece.volume, "国风·周南");
    EXPECT_EQ(piece.paragraphs, std::vector<std::string>{"云想衣裳｛花｝想容"});
    EXPECT_EQ(piece.notes, std::vector<std::string>{"注&解"});

    // The volume's second name only when it names something else.
    const PieceFields kVolumeOnly = {nullptr, nullptr, nullptr, nullptr, "chapter", "section",
                                     "desc", nullptr, false, nullptr};
    for (const auto& t : std::vector<std::pair<const char*, const char*>>{
             {R"({"chapter": "周南", "section": "周南"})", "周南"},
             {R"({"section": "周南"})", "周南"},
             {R"({"chapter": "国风"})", "国风"}}) {
        ASSERT_TRUE(CPieceReader::Read(ParseOk(t.first), kVolumeOnly, "f.json", piece, strError)) << strError;
        EXPECT_EQ(piece.volume, t.second) << t.first;
        EXPECT_TRUE(piece.paragraphs.empty());  // "desc" may be missing
    }
}

// Damaged copies of a real-looking file (cut anywhere, bytes changed) either
// read or fail with a message; nothing else happens.
TEST(PoetryReadingTest, SurvivesDamagedFiles) {
    const std::string strGood =
        "[{\"title\":\"日詩\",\"author\":\"宋太祖\",\"paragraphs\":[\"欲出未出光辣達，千山萬山如火發。\","
        "\"須臾走向天上來\\u3002\"],\"notes\":[\"&amp;{注}\"],\"id\":\"08e4\",\"tags\":[1,-2.5e3,true,null,{}]}]";
    auto read = [](const std::string& strText) {
        json root;
        std::string strError;
        bool bOk = CPackageFile::Parse(strText, root, strError);
        if (!bOk) {
            EXPECT_TRUE(strError.rfind("line ", 0) == 0 || strError.rfind("number overflow", 0) == 0) << strError;
            return false;
        }
        std::vector<const json*> items;
        bOk = CPackageFile::Items("f.json", root, CPackageFile::Shape::ListOrObject, items, strError);
        for (size_t i = 0; bOk && i < items.size(); ++i) {
            Piece piece;
            bOk = CPieceReader::Read(*items[i], kPoem, CPackageFile::ItemWhere("f.json", root, i), piece, strError);
        }
        if (!bOk) {
            EXPECT_EQ(strError.rfind("f.json", 0), 0u) << strError;
        }
        return bOk;
    };
    ASSERT_TRUE(read(strGood));
    // Every prefix is cut short: none is JSON.
    for (size_t n = 0; n < strGood.size(); ++n) EXPECT_FALSE(read(strGood.substr(0, n))) << n;

    std::mt19937 rng(12345);
    const char kBytes[] = "[]{}\",:\\u0123456789eE+-.tfn \x80\xBF\xE4\xF0\xFF";
    size_t nRead = 0;
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
        if (read(strText)) ++nRead;
    }
    EXPECT_LT(nRead, 3000u);
}

TEST(PoetryReadingTest, FilesNameThemselves) {
    CTempDir dir;
    json root;
    std::string strError;
    dir.Write("bad.json", "{\n  \"a\": [1,\n");
    EXPECT_FALSE(CPackageFile::Read(dir.File("bad.json"), root, strError));
    EXPECT_EQ(strError, dir.File("bad.json") +
                            ": not valid JSON: line 3, column 1: syntax error while parsing value - unexpected end of "
                            "input; expected '[', '{', or a literal");
    EXPECT_FALSE(CPackageFile::Read(dir.File("missing.json"), root, strError));
    EXPECT_EQ(strError.rfind(dir.File("missing.json") + ": ", 0), 0u) << strError;
    dir.Write("big.json", "[" + std::string(CPackageFile::MaxFileBytes, ' ') + "]");
    EXPECT_FALSE(CPackageFile::Read(dir.File("big.json"), root, strError));
    EXPECT_EQ(strError, dir.File("big.json") + ": file too large");
    dir.Write("good.json", "{\"name\": \"chinese-poetry\"}");
    ASSERT_TRUE(CPackageFile::Read(dir.File("good.json"), root, strError)) << strError;
    EXPECT_EQ(root.at("name"), "chinese-poetry");

    // Author files: a name two authors share gets no biography; empty texts none.
    dir.Write("authors.json", R"([{"name": "王", "desc": "甲"}, {"name": "王", "desc": "乙"}, {"name": "王", "desc": "甲"},
        {"name": "李", "desc": "字太白"}, {"name": "李", "desc": "字太白"}, {"name": "趙", "desc": " "}, {"name": "", "desc": "x"}])");
    BiographyMap biographies;
    ASSERT_TRUE(CPieceReader::ReadBiographies(dir.File("authors.json"), "desc", biographies, strError)) << strError;
    EXPECT_EQ(biographies, (BiographyMap{{"李", "字太白"}}));
    dir.Write("authors.json", R"([{"name": "李"}, {"desc": "x"}])");
    EXPECT_FALSE(CPieceReader::ReadBiographies(dir.File("authors.json"), "desc", biographies, strError));
    EXPECT_EQ(strError, dir.File("authors.json") + ": item 2: no \"name\"");
}

TEST(PoetryReadingTest, ListsAndNumbersFiles) {
    CTempDir dir;
    for (const char* pszName : {"poet.song.10.json", "poet.song.2.json", "poet.song.0.json", "poet.song.b.json",
                                "poet.song.a.json", "poet.tang.1.json", "poet.song..json", "other.txt"})
        dir.Write(std::string("f/") + pszName, "[]");
    dir.Write("f/poet.song.5.json/inner", "");  // a folder
    std::vector<std::string> files;
    std::string strError;
    ASSERT_TRUE(CPackageFile::List(dir.File("f"), "poet.song.", files, strError)) << strError;
    std::vector<std::string> expected;
    for (const char* pszStem : {"0", "2", "10", "a", "b"}) expected.push_back(dir.File("f/poet.song.") + pszStem + ".json");
    EXPECT_EQ(files, expected);
    EXPECT_FALSE(CPackageFile::List(dir.File("f"), "ci.", files, strError));
    EXPECT_EQ(strError, dir.File("f") + ": no files ci.*.json");
    EXPECT_FALSE(CPackageFile::List(dir.File("none"), "", files, strError));
    EXPECT_EQ(strError.rfind(dir.File("none") + ": cannot read the folder (", 0), 0u) << strError;

    using Numbering = CPackageFile::Numbering;
    const struct {
        Numbering eNumbering;
        const char* pszStem;
        bool bNumbered;
        size_t nNumber;
    } cases[] = {
        {Numbering::Stem, "001", true, 1},         {Numbering::Stem, "900", true, 900},
        {Numbering::Stem, "01a", false, 0},        {Numbering::Stem, "", false, 0},
        {Numbering::Dashed, "0-preface", true, 0}, {Numbering::Dashed, "1-juan", true, 1},
        {Numbering::Dashed, "x-juan", true, 10},   {Numbering::Dashed, "X", true, 10},
        {Numbering::Dashed, "12", true, 12},       {Numbering::Dashed, "12345-juan", false, 0},
        {Numbering::Dashed, "y-juan", false, 0},   {Numbering::Dashed, "-juan", false, 0},
        {Numbering::None, "1", false, 0},
    };
    for (const auto& c : cases) {
        size_t n = 777;
        EXPECT_EQ(CPackageFile::FileNumber(c.eNumbering, c.pszStem, n), c.bNumbered) << c.pszStem;
        if (c.bNumbered) {
            EXPECT_EQ(n, c.nNumber) << c.pszStem;
        }
    }
}
