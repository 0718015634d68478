#include "model/catalogueloader.h"

#include "corpus/catalog.h"
#include "support/tempdir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using ::testing::HasSubstr;
using Problem = CCatalogueLoader::Problem;

CatalogRecord Record(const std::u16string& strName, int32_t nLevel) {
    CatalogRecord record;
    record.name = strName;
    record.level = nLevel;
    record.docID = 1;
    record.docNo = 1;
    record.curFileName = 1;
    return record;
}

std::string Catalogue(const std::vector<CatalogRecord>& records) { return CCatalog::Format(records); }

// "kind slot level fileBytes lastBytes" per problem, for readable failures.
std::vector<std::string> Describe(const std::vector<Problem>& problems) {
    static const char* const kKinds[] = {"TooManyRecords", "ShortLastRecord", "NameWithoutEnd", "LevelOutsideTree",
                                         "NoParent"};
    std::vector<std::string> lines;
    for (const Problem& problem : problems)
        lines.push_back(std::string(kKinds[problem.eKind]) + " " + std::to_string(problem.nSlot) + " " +
                        std::to_string(problem.nLevel) + " " + std::to_string(problem.nFileBytes) + " " +
                        std::to_string(problem.nLastBytes));
    return lines;
}

std::string NameWithoutEnd() {
    std::string strBytes = Catalogue({Record(u"K", 1), Record(u"P", 2)});
    for (size_t i = 0; i < 2 * CCatalog::NameUnits; i += 2) strBytes[i] = 'A';
    return strBytes;
}

std::string TooManyRecords() {
    std::vector<CatalogRecord> records{Record(u"K", 1), Record(u"P", 2)};
    records.resize(CCatalog::MaxRecords + 2, Record(u"V", 3));
    // Cut short after the records that are read: not noted, never read.
    return Catalogue(records).substr(0, (CCatalog::MaxRecords + 2) * CCatalog::RecordSize - 4);
}

TEST(CatalogueLoaderTest, NotesEachProblemAndLoadsWhatItCan) {
    struct Case {
        const char* pszName;
        std::string strBytes;
        int32_t nRecords;
        std::vector<std::string> problems;
    };
    const std::string strThree = Catalogue({Record(u"K", 1), Record(u"P", 2), Record(u"X", 3)});
    const Case cases[] = {
        {"a sound catalogue", strThree, 3, {}},
        {"an empty file", "", 0, {}},
        // The cut loses the level of the third record.
        {"last record cut short", strThree.substr(0, 2 * 216 + 120), 3,
         {"ShortLastRecord 0 0 552 120", "LevelOutsideTree 3 0 0 0"}},
        {"more records than the table holds", TooManyRecords(), 9999, {"TooManyRecords 0 0 0 0"}},
        {"levels 0 and 4",
         Catalogue({Record(u"Z", 0), Record(u"K", 1), Record(u"P", 2), Record(u"X", 3), Record(u"Q", 4)}), 5,
         {"LevelOutsideTree 1 0 0 0", "LevelOutsideTree 5 4 0 0"}},
        {"a volume before any book, a book after it",
         Catalogue({Record(u"K", 1), Record(u"X", 3), Record(u"P", 2), Record(u"Y", 3)}), 4, {"NoParent 2 3 0 0"}},
        {"a book without a category", Catalogue({Record(u"P", 2)}), 1, {"NoParent 1 2 0 0"}},
        {"a name without its terminating zero", NameWithoutEnd(), 2, {"NameWithoutEnd 1 1 0 0"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName);
        CTempDir dir;
        dir.Write("vmk.dir", c.strBytes);
        CContentsTree tree;
        tree.AddCatalogueRecord(Record(u"left over", 1));
        CCatalogueLoader loader;
        std::string strError;
        ASSERT_TRUE(loader.Load(dir.File("vmk.dir"), tree, strError)) << strError;
        // Slots count from 1 whatever the tree held before.
        EXPECT_EQ(tree.GetRecordCount(), c.nRecords);
        EXPECT_EQ(Describe(loader.Problems()), c.problems);
    }
}

TEST(CatalogueLoaderTest, AFileThatCannotBeReadLeavesAnEmptyTree) {
    CTempDir dir;
    CContentsTree tree;
    tree.AddCatalogueRecord(Record(u"K", 1));
    CCatalogueLoader loader;
    dir.Write("vmk.dir", Catalogue({Record(u"P", 2)}));
    std::string strError;
    ASSERT_TRUE(loader.Load(dir.File("vmk.dir"), tree, strError));
    ASSERT_EQ(loader.Problems().size(), 1u);

    EXPECT_FALSE(loader.Load(dir.File("missing.dir"), tree, strError));
    EXPECT_THAT(strError, HasSubstr(dir.File("missing.dir")));
    EXPECT_EQ(tree.GetNodeCount(), 1);
    EXPECT_TRUE(loader.Problems().empty());
}

}  // namespace
