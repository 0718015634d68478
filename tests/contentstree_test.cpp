#include "model/contentstree.h"

#include "model/resultlist.h"
#include "support/testcorpus.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using ::testing::ElementsAre;

std::vector<std::u16string> ChildNames(const ContentsNodeTag& node) {
    std::vector<std::u16string> names;
    for (const auto& pChild : node.children) names.push_back(pChild->name);
    return names;
}

// The slot whose node is pNode, or 0.
int32_t SlotOf(const CContentsTree& tree, const ContentsNodeTag* pNode) {
    for (int32_t nSlot = 1; nSlot < tree.GetNodeCount(); ++nSlot)
        if (pNode && tree.GetNode(nSlot) == pNode) return nSlot;
    return 0;
}

// K (1), P (2), X (3), Y (3), Q (2), Z (3) in this order give
// K -> {P -> {X, Y}, Q -> {Z}}, in slots 1 to 6.
TEST(ContentsTreeTest, OutlineOrderBuildsTheTree) {
    CContentsTree tree;
    const ContentsNodeTag& root = tree.GetRoot();
    EXPECT_EQ(root.name, u"root");
    EXPECT_EQ(root.level, 0);
    EXPECT_EQ(root.docID, 0);
    EXPECT_EQ(root.docNo, 0);
    EXPECT_EQ(root.curFileName, 0);
    EXPECT_EQ(root.parent, nullptr);
    EXPECT_EQ(tree.GetNodeCount(), 1);

    for (const CatalogRecord& record :
         {Record(u"K", 1, 1, 6), Record(u"P", 2, 1, 3), Record(u"X", 3, 1, 2), Record(u"Y", 3, 3, 1, 7),
          Record(u"Q", 2, 4, 3), Record(u"Z", 3, 4, 3)})
        EXPECT_EQ(tree.AddCatalogueRecord(record), CContentsTree::AddedToTree);
    EXPECT_EQ(tree.GetNodeCount(), 7);
    EXPECT_EQ(tree.GetRecordCount(), 6);

    EXPECT_THAT(ChildNames(root), ElementsAre(u"K"));
    const ContentsNodeTag& k = *root.children[0];
    EXPECT_EQ(k.parent, &root);
    EXPECT_THAT(ChildNames(k), ElementsAre(u"P", u"Q"));
    EXPECT_THAT(ChildNames(*k.children[0]), ElementsAre(u"X", u"Y"));
    EXPECT_THAT(ChildNames(*k.children[1]), ElementsAre(u"Z"));
    EXPECT_EQ(k.children[1]->children[0]->parent, k.children[1].get());

    // Slots follow the file; the nodes carry the records' numbers.
    const ContentsNodeTag* pY = tree.GetNode(4);
    ASSERT_NE(pY, nullptr);
    EXPECT_EQ(pY->name, u"Y");
    EXPECT_EQ(pY->docID, 3);
    EXPECT_EQ(pY->docNo, 1);
    EXPECT_EQ(pY->curFileName, 7);
    EXPECT_EQ(tree.GetRecord(4)->name, u"Y");
    EXPECT_EQ(tree.GetRecord(0), nullptr);
    EXPECT_EQ(tree.GetRecord(7), nullptr);
    EXPECT_EQ(tree.GetNode(0), nullptr);

    EXPECT_EQ(tree.RangeLabel(1), u"K");
    EXPECT_EQ(tree.RangeLabel(2), u"K\\P");
    EXPECT_EQ(tree.RangeLabel(4), u"K\\P\\Y");
    EXPECT_EQ(tree.RangeLabel(6), u"K\\Q\\Z");
    EXPECT_EQ(tree.RangeLabel(7), u"");

    for (int32_t nSlot = 1; nSlot <= 6; ++nSlot) EXPECT_EQ(SlotOf(tree, tree.FindRangeNode(nSlot)), nSlot);
    EXPECT_EQ(tree.FindRangeNode(0), nullptr);
    EXPECT_EQ(tree.FindRangeNode(7), nullptr);
}

// The parent is the last node of level L - 1 that the search reaches through
// the last children holding one, also when a later category has no book.
TEST(ContentsTreeTest, ParentIsTheLastNodeOneLevelUp) {
    CContentsTree tree;
    for (const CatalogRecord& record : {Record(u"K", 1), Record(u"P", 2), Record(u"X", 3), Record(u"L", 1),
                                        Record(u"Y", 3), Record(u"Q", 2), Record(u"Z", 3)})
        EXPECT_EQ(tree.AddCatalogueRecord(record), CContentsTree::AddedToTree);
    const ContentsNodeTag& root = tree.GetRoot();
    EXPECT_THAT(ChildNames(root), ElementsAre(u"K", u"L"));
    // Y comes after L, which has no book yet: it joins K's book P.
    EXPECT_THAT(ChildNames(*root.children[0]->children[0]), ElementsAre(u"X", u"Y"));
    EXPECT_THAT(ChildNames(*root.children[1]), ElementsAre(u"Q"));
    EXPECT_THAT(ChildNames(*root.children[1]->children[0]), ElementsAre(u"Z"));
    EXPECT_EQ(tree.RangeLabel(5), u"K\\P\\Y");
    EXPECT_EQ(tree.RangeLabel(7), u"L\\Q\\Z");
}

// Records that do not fit the outline keep their slot and disturb nothing
// after them; they can never be a search range.
TEST(ContentsTreeTest, RecordsOutsideTheOutline) {
    struct Case {
        const char* pszName;
        std::vector<CatalogRecord> before;  // records before the bad one
        CatalogRecord bad;
        CContentsTree::AddResult expected;
    } cases[] = {
        {"level 0 with zero numbers (equal to the root)", {Record(u"K", 1)}, Record(u"R", 0, 0, 0, 0),
         CContentsTree::AddedWithoutNode},
        {"level 4", {Record(u"K", 1), Record(u"P", 2), Record(u"X", 3)}, Record(u"W", 4),
         CContentsTree::AddedWithoutNode},
        {"negative level", {Record(u"K", 1)}, Record(u"N", -1), CContentsTree::AddedWithoutNode},
        {"volume first", {}, Record(u"X", 3), CContentsTree::AddedWithoutParent},
        {"volume under a category without a book", {Record(u"K", 1)}, Record(u"X", 3),
         CContentsTree::AddedWithoutParent},
        {"book first", {}, Record(u"P", 2), CContentsTree::AddedWithoutParent},
    };
    for (const Case& c : cases) {
        CContentsTree tree;
        for (const CatalogRecord& record : c.before) tree.AddCatalogueRecord(record);
        const int32_t nSlot = tree.GetNodeCount();
        EXPECT_EQ(tree.AddCatalogueRecord(c.bad), c.expected) << c.pszName;
        EXPECT_EQ(tree.GetNodeCount(), nSlot + 1) << c.pszName;
        ASSERT_NE(tree.GetRecord(nSlot), nullptr) << c.pszName;
        EXPECT_EQ(tree.GetRecord(nSlot)->name, c.bad.name) << c.pszName;
        EXPECT_EQ(tree.FindRangeNode(nSlot), nullptr) << c.pszName;
        if (c.expected == CContentsTree::AddedWithoutNode) {
            EXPECT_EQ(tree.GetNode(nSlot), nullptr) << c.pszName;
            EXPECT_EQ(tree.RangeLabel(nSlot), u"") << c.pszName;
        } else {
            ASSERT_NE(tree.GetNode(nSlot), nullptr) << c.pszName;
            EXPECT_EQ(tree.GetNode(nSlot)->parent, nullptr) << c.pszName;
            EXPECT_EQ(tree.RangeLabel(nSlot), c.bad.name) << c.pszName;
        }
        // Nothing new below the root's subtree.
        size_t nNodes = 0;
        std::vector<const ContentsNodeTag*> stack{&tree.GetRoot()};
        while (!stack.empty()) {
            const ContentsNodeTag* p = stack.back();
            stack.pop_back();
            ++nNodes;
            for (const auto& pChild : p->children) stack.push_back(pChild.get());
        }
        EXPECT_EQ(nNodes, 1 + c.before.size()) << c.pszName;

        // A proper record after the bad one still finds its parent.
        EXPECT_EQ(tree.AddCatalogueRecord(Record(u"L", 1, 9, 1)), CContentsTree::AddedToTree) << c.pszName;
        EXPECT_EQ(tree.AddCatalogueRecord(Record(u"Q", 2, 9, 1)), CContentsTree::AddedToTree) << c.pszName;
        EXPECT_EQ(tree.RangeLabel(nSlot + 2), u"L\\Q") << c.pszName;
    }
}

TEST(ContentsTreeTest, EmptyCatalogue) {
    CContentsTree tree;
    EXPECT_EQ(tree.GetNodeCount(), 1);
    EXPECT_EQ(tree.GetRecordCount(), 0);
    EXPECT_TRUE(tree.GetRoot().children.empty());
    EXPECT_EQ(tree.GetRecord(1), nullptr);
    EXPECT_EQ(tree.FindRangeNode(1), nullptr);
    EXPECT_EQ(tree.RangeLabel(1), u"");
    EXPECT_EQ(tree.FormatDump(), "");
}

TEST(ContentsTreeTest, TableHoldsAtMost9999Records) {
    CContentsTree tree;
    EXPECT_EQ(tree.AddCatalogueRecord(Record(u"K", 1, 1, 20000)), CContentsTree::AddedToTree);
    EXPECT_EQ(tree.AddCatalogueRecord(Record(u"P", 2, 1, 20000)), CContentsTree::AddedToTree);
    for (int32_t i = 3; i <= 9999; ++i)
        ASSERT_EQ(tree.AddCatalogueRecord(Record(u"V", 3, i, 1)), CContentsTree::AddedToTree) << i;
    EXPECT_EQ(tree.GetNodeCount(), 10000);
    EXPECT_EQ(tree.AddCatalogueRecord(Record(u"late", 3, 10000, 1)), CContentsTree::TableFull);
    EXPECT_EQ(tree.GetNodeCount(), 10000);
    EXPECT_EQ(tree.GetRecord(10000), nullptr);
    EXPECT_EQ(tree.GetRoot().children[0]->children[0]->children.size(), 9997u);
    EXPECT_EQ(tree.GetRecord(9999)->docID, 9999);
}

TEST(ContentsTreeTest, DumpText) {
    CContentsTree tree;
    tree.AddCatalogueRecord(Record(u"經部", 1, 1, 10, 1));
    tree.AddCatalogueRecord(Record(u"論語", 2, 1, 10, 1));
    tree.AddCatalogueRecord(Record(u"學而第一", 3, 1, 10, 65535));
    tree.AddCatalogueRecord(Record(u"odd", 7, -5, 0, 0));
    EXPECT_EQ(tree.FormatDump(),
              "name=經部\tdocID=1\tdocNo=10\tcurFileName=1\n"
              "\tname=論語\tdocID=1\tdocNo=10\tcurFileName=1\n"
              "\t\tname=學而第一\tdocID=1\tdocNo=10\tcurFileName=65535\n"
              "name=odd\tdocID=-5\tdocNo=0\tcurFileName=0\n");
}

}  // namespace
