#include "corpus/filelist.h"
#include "corpus/filelistwriter.h"

#include "support/tempdir.h"

#include <gtest/gtest.h>

namespace {

// Three pages in two documents: "a\b\0001.htm", "a\b\0002.htm", "a\c\0001.htm".
class FileListTest : public ::testing::Test {
protected:
    void SetUp() override {
        CFileListWriter writer;
        std::string strError;
        ASSERT_TRUE(writer.Open(m_dir.Path(), "Index", strError)) << strError;
        ASSERT_TRUE(writer.AddPage("a\\b\\0001.htm", "<p>one</p>", strError));
        ASSERT_TRUE(writer.AddPage("a\\b\\0002.htm", "", strError));
        ASSERT_TRUE(writer.AddPage("a\\c\\0001.htm", "\xE4\xB8\xAD", strError));
        ASSERT_TRUE(writer.Finish(14, "header text", strError)) << strError;
    }

    // Overwrites bytes of a written file.
    void Patch(const std::string& strName, size_t nOffset, const std::string& strBytes) {
        std::string strFile = m_dir.Read(strName);
        strFile.replace(nOffset, strBytes.size(), strBytes);
        m_dir.Write(strName, strFile);
    }

    static std::string Int32(int32_t n) {
        std::string s(4, '\0');
        for (int i = 0; i < 4; ++i) s[static_cast<size_t>(i)] = static_cast<char>((static_cast<uint32_t>(n) >> (8 * i)) & 0xFF);
        return s;
    }

    CTempDir m_dir;
    CFileList m_list;
};

TEST_F(FileListTest, ReadsPagesBack) {
    ASSERT_TRUE(m_list.Open(m_dir.Path(), "Index"));
    EXPECT_EQ(m_list.GetHeaderValue(), 14);
    EXPECT_STREQ(m_list.m_szHeaderText, "header text");
    EXPECT_EQ(m_list.GetPageCount(), 3);
    // W = 100: records are 108 bytes and start at 268.
    EXPECT_EQ(m_dir.Read("Index-fl.h").size(), 268u + 3 * 108);
    std::string strPage;
    ASSERT_TRUE(m_list.ReadPage(0, strPage));
    EXPECT_EQ(strPage, "<p>one</p>");
    strPage = "old";
    ASSERT_TRUE(m_list.ReadPage(1, strPage));  // a page of length 0
    EXPECT_EQ(strPage, "");
    int32_t nLength = -1;
    ASSERT_TRUE(m_list.GetPageLength(2, nLength));
    EXPECT_EQ(nLength, 3);
    // Stored scrambled: every byte XOR 0xA7.
    EXPECT_EQ(m_dir.Read("Index-fl.cnt").substr(0, 3), std::string("\x9B\xD7\x99", 3));
}

TEST_F(FileListTest, FindsPagesFromADocumentStart) {
    ASSERT_TRUE(m_list.Open(m_dir.Path(), "Index"));
    int32_t nPage = -1;
    EXPECT_TRUE(m_list.FindPage(0, 2, nPage));
    EXPECT_EQ(nPage, 1);
    EXPECT_TRUE(m_list.FindPage(1, 1, nPage));  // page 1 occurs first in the later document
    EXPECT_EQ(nPage, 2);
    nPage = -1;
    EXPECT_FALSE(m_list.FindPage(2, 2, nPage));
    EXPECT_FALSE(m_list.FindPage(-5, 1, nPage));
    EXPECT_FALSE(m_list.FindPage(9, 1, nPage));
    EXPECT_EQ(nPage, -1);
}

TEST(FileListNameTest, PageNumberOfName) {
    struct Case {
        const char* pszName;
        int32_t nPage;
    } cases[] = {
        {"a\\b\\0007.htm", 7}, {"a\\7.txt", 7},     {"a\\x7.htm", 0},     {"0007.htm", 0},
        {"a\\0007", 0},        {"a.b\\0012", 0},   {"a\\ 12.htm", 12},   {"a\\-3.htm", -3},
        {"a\\12.b.htm", 12},    {"a\\99999999999.htm", INT32_MAX}, {"a\\123456789012345.htm", INT32_MAX},
    };
    for (const Case& c : cases) EXPECT_EQ(CFileList::PageNumberOfName(c.pszName), c.nPage) << c.pszName;
}

TEST_F(FileListTest, ClosedListRefusesEverything) {
    int32_t n = -1;
    std::string strPage = "unchanged";
    EXPECT_FALSE(m_list.GetPageLength(0, n));
    EXPECT_FALSE(m_list.ReadPage(0, strPage));
    EXPECT_FALSE(m_list.FindPage(0, 1, n));
    EXPECT_EQ(strPage, "unchanged");
    EXPECT_EQ(n, -1);
    // Reopening with missing files leaves it closed, header value kept.
    ASSERT_TRUE(m_list.Open(m_dir.Path(), "Index"));
    EXPECT_FALSE(m_list.Open(m_dir.Path(), "Missing"));
    EXPECT_FALSE(m_list.IsOpen());
    EXPECT_FALSE(m_list.ReadPage(0, strPage));
    EXPECT_EQ(m_list.GetHeaderValue(), 14);
}

TEST_F(FileListTest, CorruptRecordsFailCleanly) {
    const size_t nRecord0 = 268;
    struct Case {
        const char* pszName;
        size_t nOffset;
        std::string strBytes;
        int32_t nPage;
    } cases[] = {
        {"end beyond the content file", nRecord0 + 100, Int32(1000), 0},
        {"length beyond end", nRecord0 + 104, Int32(11), 0},
        {"negative length", nRecord0 + 104, Int32(-1), 0},
        {"negative end", nRecord0 + 100, Int32(-4), 0},
        {"huge length", nRecord0 + 104, Int32(INT32_MAX), 0},
    };
    for (const Case& c : cases) {
        SetUp();
        Patch("Index-fl.h", c.nOffset, c.strBytes);
        ASSERT_TRUE(m_list.Open(m_dir.Path(), "Index")) << c.pszName;
        std::string strPage = "unchanged";
        EXPECT_FALSE(m_list.ReadPage(c.nPage, strPage)) << c.pszName;
        EXPECT_EQ(strPage, "unchanged") << c.pszName;
        EXPECT_TRUE(m_list.ReadPage(2, strPage)) << c.pszName;  // other records still read
    }
    // A page index at or beyond the record count.
    SetUp();
    ASSERT_TRUE(m_list.Open(m_dir.Path(), "Index"));
    std::string strPage;
    int32_t n = 0;
    EXPECT_FALSE(m_list.ReadPage(3, strPage));
    EXPECT_FALSE(m_list.ReadPage(-1, strPage));
    EXPECT_FALSE(m_list.GetPageLength(3, n));
}

TEST_F(FileListTest, NameWithoutNulStopsTheScan) {
    Patch("Index-fl.h", 268, std::string(100, 'x'));
    ASSERT_TRUE(m_list.Open(m_dir.Path(), "Index"));
    int32_t nPage = -1;
    std::string strName;
    EXPECT_FALSE(m_list.GetPageName(0, strName));
    EXPECT_FALSE(m_list.FindPage(0, 2, nPage));
    EXPECT_TRUE(m_list.FindPage(1, 2, nPage));
    EXPECT_EQ(nPage, 1);
}

TEST_F(FileListTest, EveryTruncatedRecordFileOpensOrFailsCleanly) {
    const std::string strFull = m_dir.Read("Index-fl.h");
    for (size_t nLength = 0; nLength < strFull.size(); ++nLength) {
        m_dir.Write("Index-fl.h", strFull.substr(0, nLength));
        bool bOpen = m_list.Open(m_dir.Path(), "Index");
        EXPECT_EQ(bOpen, nLength >= 268) << nLength;
        if (!bOpen) {
            EXPECT_FALSE(m_list.GetError().empty());
            continue;
        }
        const int32_t nWhole = static_cast<int32_t>((nLength - 268) / 108);
        EXPECT_EQ(m_list.GetPageCount(), nWhole) << nLength;
        std::string strPage;
        for (int32_t i = 0; i < 4; ++i) EXPECT_EQ(m_list.ReadPage(i, strPage), i < nWhole) << nLength;
    }
}

TEST_F(FileListTest, BadNameWidthOrMissingContentFailsToOpen) {
    for (int32_t nWidth : {0, -1, 261, INT32_MAX}) {
        SetUp();
        Patch("Index-fl.h", 4, Int32(nWidth));
        EXPECT_FALSE(m_list.Open(m_dir.Path(), "Index")) << nWidth;
        EXPECT_NE(m_list.GetError().find("name width"), std::string::npos);
    }
    SetUp();
    std::remove(m_dir.File("Index-fl.cnt").c_str());
    EXPECT_FALSE(m_list.Open(m_dir.Path(), "Index"));
    EXPECT_NE(m_list.GetError().find("Index-fl.cnt"), std::string::npos);
}

}  // namespace
