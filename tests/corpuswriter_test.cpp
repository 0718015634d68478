#include "builder/corpuswriter.h"
#include "builder/pagebuilder.h"
#include "corpus/catalog.h"
#include "corpus/corpusfiles.h"
#include "index/index.h"
#include "support/tempdir.h"
#include "support/textpartnames.h"
#include "text/codeconverter.h"
#include "text/varianttable.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

// Page indexes: 0-2 學而第一 pages 1-3, 3-4 為政第二 pages 1-2, 5-6 梁惠王
// pages 5-6, 7 本紀 page 1.
CorpusSource MakeSource() {
    CorpusSource source;
    source.categories = {
        {"經部",
         {{"論語",
           {{"學而第一",
             {{1, "# 學而第一\n子曰{注云}學而時習之\n不亦說乎", ""},
              {2, "有朋自遠方來{國人}\n其為人也孝弟", ""},
              {3, "為國以禮", ""}}},
            {"為政第二", {{1, "為政以德{德者得也}", ""}, {2, "学而", ""}}}}},
          {"孟子", {{"梁惠王", {{5, "孟子見梁惠王", ""}, {6, "王曰叟", ""}}}}}}},
        {"史部", {{"史記", {{"本紀", {{1, "黃帝者，少典之子", ""}}}}}}},
    };
    return source;
}

// The empty first group shifts the numbering: the index must use the slots
// of the table that the reader loads back from yitizi.txt.
const char* const kVariants = ",\n5B78,5B66\n570B,56FD\n";  // 學/学, 國/国

std::vector<uint32_t> Search(CIndex& index, const std::u16string& strPattern, bool bVariants) {
    index.SearchPattern(strPattern, CombineReplace, true, bVariants);
    return index.GetResultPages();
}

std::map<std::string, std::string> ReadFolder(const std::string& strFolder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(strFolder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        files[entry.path().filename().string()] =
            std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return files;
}

class CorpusWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        CVariantTable variants;
        variants.Parse(kVariants);
        CCorpusWriter writer;
        writer.SetHeaderValue(9);
        writer.SetShuffleSeed(77);
        writer.SetProgressCallback([this](size_t nDone, size_t nTotal) { m_progress.emplace_back(nDone, nTotal); });
        std::string strError;
        ASSERT_TRUE(writer.Write(MakeSource(), variants, m_dir.File("out"), strError)) << strError;
        m_summary = writer.Summary();
    }

    CTempDir m_dir;
    CorpusSummary m_summary;
    std::vector<std::pair<size_t, size_t>> m_progress;
};

}  // namespace

TEST_F(CorpusWriterTest, WritesPagesAndCatalogueThatReadBack) {
    EXPECT_EQ(m_summary.pages, 8u);
    EXPECT_EQ(m_summary.categories, 2u);
    EXPECT_EQ(m_summary.books, 3u);
    EXPECT_EQ(m_summary.volumes, 4u);
    ASSERT_EQ(m_progress.size(), 8u);
    EXPECT_EQ(m_progress.back(), (std::pair<size_t, size_t>(8, 8)));

    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_dir.File("out")))
        names.insert(entry.path().filename().string());
    const std::vector<std::string> expected = CCorpusFiles::Names();
    EXPECT_EQ(names, std::set<std::string>(expected.begin(), expected.end()));  // no staging folder left
    EXPECT_EQ(m_dir.Read("out/yitizi.txt"), kVariants);

    std::vector<CatalogRecord> records;
    std::string strError;
    ASSERT_TRUE(CCatalog::Read(m_dir.File("out/vmk.dir"), records, strError)) << strError;
    struct Expected {
        const char16_t* pszName;
        int32_t level, docID, docNo;
        uint16_t curFileName;
    };
    const std::vector<Expected> catalog = {
        {u"經部", 1, 1, 7, 1}, {u"論語", 2, 1, 5, 1}, {u"學而第一", 3, 1, 3, 1}, {u"為政第二", 3, 4, 2, 1},
        {u"孟子", 2, 6, 2, 5}, {u"梁惠王", 3, 6, 2, 5}, {u"史部", 1, 8, 1, 1},   {u"史記", 2, 8, 1, 1},
        {u"本紀", 3, 8, 1, 1},
    };
    ASSERT_EQ(records.size(), catalog.size());
    for (size_t i = 0; i < catalog.size(); ++i) {
        EXPECT_EQ(records[i].name, catalog[i].pszName) << i;
        EXPECT_EQ(records[i].level, catalog[i].level) << i;
        EXPECT_EQ(records[i].docID, catalog[i].docID) << i;
        EXPECT_EQ(records[i].docNo, catalog[i].docNo) << i;
        EXPECT_EQ(records[i].curFileName, catalog[i].curFileName) << i;
    }

    for (IndexScope eScope : {IndexScope::WholeText, IndexScope::MainText, IndexScope::Annotations}) {
        CIndex index;
        ASSERT_TRUE(index.Open(m_dir.Path() + "/out", "Index", eScope)) << index.GetOpenError();
        EXPECT_EQ(index.GetHeaderValue(), 9);
        ASSERT_EQ(index.GetFileList().GetPageCount(), 8);

        // Every page reads back as built, under a name whose stem is its
        // page number.
        const CorpusSource source = MakeSource();
        int32_t nPage = 0;
        CPageBuilder builder;
        for (size_t c = 0; c < source.categories.size(); ++c)
            for (size_t b = 0; b < source.categories[c].books.size(); ++b)
                for (size_t v = 0; v < source.categories[c].books[b].volumes.size(); ++v)
                    for (const SourcePage& page : source.categories[c].books[b].volumes[v].pages) {
                        const std::string& strBook = source.categories[c].books[b].name;
                        builder.Build(strBook, source.categories[c].books[b].volumes[v].name, page.number, page.text);
                        std::string strPage, strName;
                        ASSERT_TRUE(index.ReadPage(nPage, strPage));
                        EXPECT_EQ(strPage, builder.Html());
                        ASSERT_TRUE(index.GetFileList().GetPageName(nPage, strName));
                        EXPECT_EQ(strName, CCorpusWriter::PageName(c + 1, b + 1, v + 1, page.number));
                        EXPECT_EQ(CFileList::PageNumberOfName(strName), page.number);
                        ++nPage;
                    }

        // Every page of every volume is found from its document start.
        for (const CatalogRecord& record : records) {
            if (record.level != 3) continue;
            for (int32_t k = 0; k < record.docNo; ++k) {
                int32_t nFound = -1;
                ASSERT_TRUE(index.FindPage(record.docID - 1, record.curFileName + k, nFound));
                EXPECT_EQ(nFound, record.docID - 1 + k);
            }
        }
    }
}

TEST_F(CorpusWriterTest, IndexesEachTextPartWithItsPositions) {
    struct Case {
        const char16_t* pszPattern;
        bool bVariants;
        std::vector<uint32_t> whole, main, notes;
    };
    const std::vector<Case> cases = {
        {u"學而", false, {0}, {0}, {}},
        {u"學而", true, {0, 4}, {0, 4}, {}},
        {u"学而", true, {0, 4}, {0, 4}, {}},
        {u"注云", false, {0}, {}, {0}},
        {u"國", false, {1, 2}, {2}, {1}},
        {u"国", false, {}, {}, {}},
        {u"国", true, {1, 2}, {2}, {1}},
        {u"德", false, {3}, {3}, {3}},
        // Punctuation takes a position and is indexed where it has a slot.
        {u"，少典", false, {7}, {7}, {}},
        {u"者少典", false, {}, {}, {}},
        // Neither a phrase nor a "*" gap crosses an annotation boundary or a
        // paragraph or heading break.
        {u"曰注", false, {}, {}, {}},
        {u"曰學", false, {}, {}, {}},
        {u"學*之", false, {0}, {0}, {}},
        {u"習*不", false, {}, {}, {}},
        {u"一*子", false, {}, {}, {}},
        {u"來*其", false, {}, {}, {}},
        {u"來國", false, {}, {}, {}},
    };
    const std::pair<IndexScope, std::vector<uint32_t> Case::*> scopes[] = {
        {IndexScope::WholeText, &Case::whole}, {IndexScope::MainText, &Case::main}, {IndexScope::Annotations, &Case::notes}};
    for (const auto& scope : scopes) {
        CIndex index;
        ASSERT_TRUE(index.Open(m_dir.Path() + "/out", "Index", scope.first)) << index.GetOpenError();
        for (const Case& c : cases)
            EXPECT_EQ(Search(index, c.pszPattern, c.bVariants), c.*scope.second)
                << CCodeConverter::Utf16ToUtf8(c.pszPattern) << " scope " << static_cast<int>(scope.first) << " variants " << c.bVariants;
    }
}

TEST_F(CorpusWriterTest, FailedBuildLeavesTheFolderAsItWas) {
    const std::map<std::string, std::string> before = ReadFolder(m_dir.File("out"));

    // A page whose characters stand too far down for the index format.
    CorpusSource tooLong = MakeSource();
    tooLong.categories[1].books[0].volumes[0].pages[0].text = std::string(14000, '\n') + "中";
    CCorpusWriter writer;
    std::string strError;
    EXPECT_FALSE(writer.Write(tooLong, CVariantTable(), m_dir.File("out"), strError));
    EXPECT_NE(strError.find("史部/史記/本紀/page 1"), std::string::npos) << strError;
    EXPECT_EQ(ReadFolder(m_dir.File("out")), before);

    // A source that fails its check creates nothing at all.
    CorpusSource empty = MakeSource();
    empty.categories[0].books[1].volumes[0].pages.clear();
    EXPECT_FALSE(writer.Write(empty, CVariantTable(), m_dir.File("new"), strError));
    EXPECT_NE(strError.find("經部/孟子/梁惠王"), std::string::npos) << strError;
    EXPECT_FALSE(std::filesystem::exists(m_dir.File("new")));
}
