// Damaged index files: every search must end, without reading outside the
// files, whatever the header tables and postings hold.
#include "index/index.h"

#include "support/tempdir.h"
#include "support/testcorpus.h"
#include "support/textpartnames.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

namespace {

const char16_t kAlphabet[] = u"之不人中國史天下明月";

class IndexDamageTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::mt19937 rng(7);
        std::vector<std::u16string> pages;
        for (int p = 0; p < 400; ++p) {
            std::u16string text;
            int nLength = 50 + static_cast<int>(rng() % 400);
            for (int i = 0; i < nLength; ++i) text.push_back(kAlphabet[rng() % 10]);
            pages.push_back(text);
        }
        WriteSimpleCorpus(m_dir.Path(), pages, "4E2D,570B\n", 99);
        m_header = m_dir.Read("Index-idx.h");
        m_postings = m_dir.Read("Index-idx.m");
    }

    // Runs a fixed set of searches, through the page directories and by
    // walking the chains. Whatever the damage, each ends with results that
    // stay in bounds: pages below the page count, each once, in ascending
    // order after an and, with a hit count for each.
    void SearchAll() {
        CIndex index;
        ASSERT_TRUE(index.Open(m_dir.Path(), "Index", IndexScope::WholeText)) << index.GetOpenError();
        const uint32_t nPageCount = static_cast<uint32_t>(index.GetFileList().GetPageCount());
        ASSERT_EQ(nPageCount, 400u);
        for (size_t nMaxRecords : {CSlotDirectoryCache::DefaultMaxRecords, size_t{0}}) {
            index.SetDirectoryLimits(CSlotDirectoryCache::DefaultMaxBytes, nMaxRecords, 1);
            for (const char16_t* pszKeywords : {u"之", u"中國", u"天下 明月", u"明*月", u"人?史", u"不不不", u"之 不 人"}) {
                for (bool bAnd : {true, false}) {
                    std::u16string keywords = pszKeywords;
                    if (bAnd)
                        index.SearchAnd(keywords, true, true);
                    else
                        index.SearchOr(keywords, true, false);
                    const std::vector<uint32_t>& pages = index.GetResultPages();
                    ASSERT_EQ(index.GetResultHits().size(), pages.size());
                    ASSERT_EQ(static_cast<size_t>(index.GetResultCount()), pages.size());
                    std::set<uint32_t> seen;
                    for (size_t i = 0; i < pages.size(); ++i) {
                        ASSERT_LT(pages[i], nPageCount);
                        ASSERT_TRUE(seen.insert(pages[i]).second) << "page " << pages[i] << " twice";
                        if (bAnd && i > 0) {
                            ASSERT_LT(pages[i - 1], pages[i]);
                        }
                    }
                }
            }
        }
    }

    static void PutUint32(std::string& s, size_t nAt, uint32_t n) {
        for (int i = 0; i < 4; ++i) s[nAt + static_cast<size_t>(i)] = static_cast<char>((n >> (8 * i)) & 0xFF);
    }

    CTempDir m_dir;
    std::string m_header;
    std::string m_postings;
};

TEST_F(IndexDamageTest, PostingsCutAtEveryBlockAndMidBlock) {
    for (size_t nLength = 1; nLength < m_postings.size(); nLength += 1531) {
        m_dir.Write("Index-idx.m", m_postings.substr(0, nLength));
        SearchAll();
    }
}

TEST_F(IndexDamageTest, RandomBytesInPostings) {
    std::mt19937 rng(11);
    for (int nRound = 0; nRound < 40; ++nRound) {
        std::string strDamaged = m_postings;
        for (int i = 0; i < 20; ++i) strDamaged[rng() % strDamaged.size()] = static_cast<char>(rng());
        m_dir.Write("Index-idx.m", strDamaged);
        SearchAll();
    }
}

TEST_F(IndexDamageTest, RandomTableEntries) {
    const uint32_t nBlocks = static_cast<uint32_t>(m_postings.size() / 4096);
    const size_t nChainEntries = (m_header.size() - 1400000) / 4;
    ASSERT_GT(nChainEntries, 1u);
    std::mt19937 rng(13);
    const uint32_t kValues[] = {0, 1, nBlocks - 1, nBlocks, nBlocks + 1, 0x7FFFFFFF, 0xFFFFFFFE, 0xFFFFFFFF};
    for (int nRound = 0; nRound < 60; ++nRound) {
        std::string strDamaged = m_header;
        for (int i = 0; i < 30; ++i) {
            uint32_t nValue = rng() % 2 ? kValues[rng() % 8] : rng() % (nBlocks + 2);
            switch (rng() % 3) {
            case 0:  // FirstBlockTable of a slot in use
                PutUint32(strDamaged, 4 * (0x4E00 - 0x3400 + rng() % 0x800), nValue);
                break;
            case 1:  // LastPageTable
                PutUint32(strDamaged, 1000000 + 4 * (0x4E00 - 0x3400 + rng() % 0x800), rng() % 2 ? nValue : rng() % 500);
                break;
            default:  // NextBlockTable, loops included
                PutUint32(strDamaged, 1400000 + 4 * (rng() % nChainEntries), nValue);
                break;
            }
        }
        m_dir.Write("Index-idx.h", strDamaged);
        SearchAll();
    }
}

}  // namespace
