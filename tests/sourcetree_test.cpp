#include "builder/sourcetree.h"

#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Names(const CorpusSource& source) {
    std::vector<std::string> names;
    for (const SourceCategory& category : source.categories) names.push_back(category.name);
    return names;
}

// One valid category/book/volume/page, the base that each bad case spoils.
const char* const kVolume = "src/1 類/1 書/1 卷";

void WriteValid(const CTempDir& dir) { dir.Write(std::string(kVolume) + "/0001.txt", "子曰\n"); }

}  // namespace

TEST(SourceTreeTest, ReadsAndOrdersTheTree) {
    CTempDir dir;
    // Numbered folders by number (2 before 10), then unnumbered ones by
    // name; the prefix is the number and one space only.
    for (const char* pszCategory : {"10 十", "2 二", "甲", "乙", "3  三"})
        dir.Write(std::string("src/") + pszCategory + "/書/卷/0001.txt", pszCategory);
    dir.Write("src/2 二/書/卷/.hidden.txt", "ignored");
    dir.Write("src/.git/config", "ignored");
    // Pages by number; a byte-order mark is dropped.
    dir.Write("src/甲/b/v/0010.txt", "十");
    dir.Write("src/甲/b/v/9.txt", "\xEF\xBB\xBF九");
    dir.Write("src/甲/b/v/0008.txt", "八");
    dir.Write("src/甲/a/02 v2/0001.txt", "p");
    dir.Write("src/甲/a/01 v1/0001.txt", "p");

    CorpusSource source;
    std::string strError;
    ASSERT_TRUE(CSourceTree::Read(dir.File("src"), source, strError)) << strError;
    EXPECT_EQ(Names(source), (std::vector<std::string>{"二", " 三", "十", "乙", "甲"}));
    EXPECT_EQ(source.categories[0].books[0].volumes[0].pages[0].text, "2 二");
    EXPECT_EQ(source.categories[0].books[0].volumes[0].pages.size(), 1u);

    const SourceCategory& jia = source.categories[4];
    ASSERT_EQ(jia.books.size(), 3u);  // a, b, 書
    EXPECT_EQ(jia.books[0].name, "a");
    EXPECT_EQ(jia.books[0].volumes[0].name, "v1");
    EXPECT_EQ(jia.books[0].volumes[1].name, "v2");
    const std::vector<SourcePage>& pages = jia.books[1].volumes[0].pages;
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0].number, 8);
    EXPECT_EQ(pages[1].number, 9);
    EXPECT_EQ(pages[1].text, "九");
    EXPECT_EQ(pages[1].origin, dir.File("src/甲/b/v/9.txt"));
    EXPECT_EQ(pages[2].number, 10);
    EXPECT_EQ(source.PageCount(), 10u);
    EXPECT_EQ(source.BookCount(), 7u);
    EXPECT_EQ(source.VolumeCount(), 8u);
}

TEST(SourceTreeTest, SplitsTheOrderingPrefix) {
    struct Case {
        const char* pszFolder;
        bool bPrefix;
        const char* pszNumber;
        const char* pszName;
    };
    const Case cases[] = {
        {"01 論語", true, "01", "論語"}, {"1  x", true, "1", " x"}, {"01", false, "", ""},
        {"01論語", false, "", ""},      {" 1 x", false, "", ""},   {"01 ", true, "01", ""},
    };
    for (const Case& c : cases) {
        std::string strNumber, strName;
        ASSERT_EQ(CSourceTree::SplitPrefix(c.pszFolder, strNumber, strName), c.bPrefix) << c.pszFolder;
        if (!c.bPrefix) continue;
        EXPECT_EQ(strNumber, c.pszNumber);
        EXPECT_EQ(strName, c.pszName);
    }
}

TEST(SourceTreeTest, RefusesBadTreesNamingTheFile) {
    struct Case {
        const char* pszWhat;
        std::function<void(const CTempDir&)> spoil;
        std::string strPath;  // what the message must name, under the folder
        const char* pszReason;
    };
    const std::string V = kVolume;
    const std::vector<Case> cases = {
        {"non-numeric stem", [&](const CTempDir& d) { d.Write(V + "/00a2.txt", ""); }, V + "/00a2.txt", "page number"},
        {"not a page file", [&](const CTempDir& d) { d.Write(V + "/notes.md", ""); }, V + "/notes.md", "NNNN.txt"},
        {"first page above 16 bits",
         [&](const CTempDir& d) {
             std::filesystem::remove(d.File(V + "/0001.txt"));
             d.Write(V + "/65536.txt", "");
         },
         V + "/65536.txt", "65535"},
        {"too many digits", [&](const CTempDir& d) { d.Write(V + "/0001234567890.txt", ""); }, V + "/0001234567890.txt",
         "too large"},
        {"invalid UTF-8", [&](const CTempDir& d) { d.Write(V + "/0002.txt", "子曰\n學\xE8\x80而"); }, V + "/0002.txt",
         "invalid UTF-8 at byte 10 (line 2)"},
        {"NUL byte", [&](const CTempDir& d) { d.Write(V + "/0002.txt", std::string("a\0b", 3)); }, V + "/0002.txt",
         "NUL"},
        {"annotation never closed", [&](const CTempDir& d) { d.Write(V + "/0002.txt", "子曰{注}\n學{而{時}\n習"); },
         V + "/0002.txt", "line 2: an annotation opened with '{' is not closed"},
        {"empty volume", [&](const CTempDir& d) { d.Write("src/1 類/1 書/2 卷/.keep", ""); }, "src/1 類/1 書/2 卷",
         "no page files"},
        {"page in a book folder", [&](const CTempDir& d) { d.Write("src/1 類/1 書/0002.txt", ""); },
         "src/1 類/1 書/0002.txt", "volume folder is expected"},
        {"file at the top", [&](const CTempDir& d) { d.Write("src/README.txt", ""); }, "src/README.txt",
         "category folder is expected"},
        {"folder in a volume", [&](const CTempDir& d) { d.Write(V + "/sub/0002.txt", ""); }, V + "/sub",
         "folder inside a volume"},
        {"gap in the pages", [&](const CTempDir& d) { d.Write(V + "/0003.txt", ""); }, V + "/0003.txt",
         "consecutively"},
        {"page twice", [&](const CTempDir& d) { d.Write(V + "/1.txt", ""); }, V + "/", "twice"},
        {"empty book", [&](const CTempDir& d) { d.Write("src/1 類/2 書/.keep", ""); }, "src/1 類/2 書", "no volume"},
        {"unnamed folder", [&](const CTempDir& d) { d.Write("src/2 /b/v/0001.txt", ""); }, "src/2 ", "empty name"},
    };
    for (const Case& c : cases) {
        CTempDir dir;
        WriteValid(dir);
        c.spoil(dir);
        CorpusSource source;
        std::string strError;
        EXPECT_FALSE(CSourceTree::Read(dir.File("src"), source, strError)) << c.pszWhat;
        EXPECT_NE(strError.find(dir.File(c.strPath)), std::string::npos) << c.pszWhat << ": " << strError;
        EXPECT_NE(strError.find(c.pszReason), std::string::npos) << c.pszWhat << ": " << strError;
    }

    CorpusSource source;
    std::string strError;
    EXPECT_FALSE(CSourceTree::Read("/nonexistent/tessaline-source", source, strError));
    EXPECT_NE(strError.find("/nonexistent/tessaline-source"), std::string::npos) << strError;
}

// Volumes are read by several threads; with several faults in a tree the
// one reported is the first that reading in outline order meets.
TEST(SourceTreeTest, OfSeveralFaultsReportsTheFirstInOutlineOrder) {
    const std::string strBadPage = "src/1 類/1 書/30 卷/00x1.txt";  // a volume late in book 1
    const std::string strStray = "src/1 類/2 書/0001.txt";        // a page file in book 2's folder
    const std::string strLater = "src/1 類/3 書/2 卷/00y1.txt";    // a volume of book 3
    struct Case {
        std::vector<std::string> faults;
        std::string strReported;
    };
    const std::vector<Case> cases = {
        {{strBadPage, strStray, strLater}, strBadPage},
        {{strStray, strLater}, strStray},
        {{strLater, strBadPage}, strBadPage},
        {{strLater}, strLater},
    };
    for (const Case& c : cases) {
        CTempDir dir;
        for (int b = 1; b <= 3; ++b)
            for (int v = 1; v <= 40; ++v)
                dir.Write("src/1 類/" + std::to_string(b) + " 書/" + std::to_string(v) + " 卷/0001.txt", "子曰\n");
        for (const std::string& strFault : c.faults) dir.Write(strFault, "");
        CorpusSource source;
        std::string strError;
        EXPECT_FALSE(CSourceTree::Read(dir.File("src"), source, strError));
        EXPECT_NE(strError.find(dir.File(c.strReported)), std::string::npos) << c.strReported << ": " << strError;
    }
}

// Models built in memory are checked as strictly as read ones.
TEST(SourceTreeTest, ChecksModelsBuiltInMemory) {
    const auto valid = [] {
        CorpusSource source;
        source.categories = {{"類", {{"書", {{"卷", {{7, "子曰", ""}, {8, "學而", ""}}}}}}}};
        return source;
    };
    std::string strError;
    ASSERT_TRUE(CSourceTree::Check(valid(), strError)) << strError;

    struct Case {
        const char* pszWhat;
        std::function<void(CorpusSource&)> spoil;
        const char* pszMessage;
    };
    const std::vector<Case> cases = {
        {"no categories", [](CorpusSource& s) { s.categories.clear(); }, "no categories"},
        {"empty volume", [](CorpusSource& s) { s.categories[0].books[0].volumes[0].pages.clear(); },
         "類/書/卷: the volume has no pages"},
        {"pages out of order", [](CorpusSource& s) { s.categories[0].books[0].volumes[0].pages[1].number = 6; },
         "類/書/卷/page 6: page 6 follows page 7"},
        {"invalid UTF-8 text", [](CorpusSource& s) { s.categories[0].books[0].volumes[0].pages[1].text = "\xED\xA0\x80"; },
         "類/書/卷/page 8: invalid UTF-8 at byte 0"},
        {"negative page", [](CorpusSource& s) { s.categories[0].books[0].volumes[0].pages[0].number = -1; },
         "page number -1"},
        {"long name", [](CorpusSource& s) { s.categories[0].books[0].name = std::string(100, 'x'); },
         "longer than 99"},
        {"empty name", [](CorpusSource& s) { s.categories[0].books[0].volumes[0].name.clear(); }, "empty name"},
        {"bad name", [](CorpusSource& s) { s.categories[0].name = "\xFF"; }, "not valid UTF-8"},
        {"too many records",
         [](CorpusSource& s) {
             SourceVolume volume = s.categories[0].books[0].volumes[0];
             s.categories[0].books[0].volumes.assign(9998, volume);
         },
         "at most 9999"},
    };
    for (const Case& c : cases) {
        CorpusSource source = valid();
        c.spoil(source);
        EXPECT_FALSE(CSourceTree::Check(source, strError)) << c.pszWhat;
        EXPECT_NE(strError.find(c.pszMessage), std::string::npos) << c.pszWhat << ": " << strError;
    }
}
