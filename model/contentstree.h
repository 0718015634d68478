#pragma once

#include "corpus/catalog.h"
#include "model/contentsnode.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The catalogue table and the contents tree built from it.
//
// The table holds the catalogue records in slots 1 to 9,999 in file order
// (slot 0 is never used); GetNodeCount() is the next free slot, one more
// than the number of records. Every record keeps its slot, also one that
// has no place in the tree, so that slot numbers always match the file.
//
// The tree has a root named "root" (level 0, all numbers 0); each record of
// level 1 to 3 becomes a node under the parent that FindParentNode gives.
// Records that do not fit the outline:
//   - level outside 1..3: stored in its slot, no node (GetNode() is null);
//   - level L > 1 with no node of level L - 1 before it: the node is made
//     and kept by the tree, but outside the root's subtree (parent null),
//     so no search range or row lookup reaches it.
//
// Ownership: the tree owns the root, every node and the table. Pointers
// and references it returns stay valid until Clear() or destruction.
// Not copyable.
class CContentsTree {
public:
    static constexpr int32_t MaxRecords = static_cast<int32_t>(CCatalog::MaxRecords);

    enum AddResult {
        AddedToTree = 0,     // node made and placed under its parent
        AddedWithoutParent,  // no node of level L - 1 before it; kept outside the tree
        AddedWithoutNode,    // level outside 1..3; only the table holds it
        TableFull,           // 9,999 records already; nothing stored
    };

    CContentsTree();
    CContentsTree(const CContentsTree&) = delete;
    CContentsTree& operator=(const CContentsTree&) = delete;

    // Back to an empty catalogue: the root alone, GetNodeCount() == 1.
    void Clear();

    // Stores record in the next free slot and makes its node.
    AddResult AddCatalogueRecord(const CatalogRecord& record);

    // The parent of node, searched from pCandidate down: pCandidate itself
    // if node's level is one more than its own; otherwise the result of the
    // last child whose subtree gives one (children in order); null if none
    // does. From the root this is the last node of level L - 1 reached
    // through the last children that hold one. REQUIRES: pCandidate != null.
    static ContentsNodeTag* FindParentNode(ContentsNodeTag* pCandidate, const ContentsNodeTag& node);

    int32_t GetNodeCount() const { return m_nNodeCount; }
    int32_t GetRecordCount() const { return m_nNodeCount - 1; }
    // The record in nSlot; null outside 1 .. GetRecordCount().
    const CatalogRecord* GetRecord(int32_t nSlot) const;
    // The node made from nSlot's record; null when there is none.
    const ContentsNodeTag* GetNode(int32_t nSlot) const;
    const ContentsNodeTag& GetRoot() const { return *m_pRoot; }

    // The node a search with range nSlot builds its rows from: the first
    // node (pre-order from the root) equal to the slot's record. Null when
    // the slot holds no record, its level is outside 1..3, or no node in
    // the root's subtree matches.
    const ContentsNodeTag* FindRangeNode(int32_t nSlot) const;

    // The search range label of nSlot: the names from the top-level
    // ancestor down to the slot's node, joined with "\" (K\P\Y). Empty when
    // the slot has no node.
    std::u16string RangeLabel(int32_t nSlot) const;

    // The debugging dump of the catalogue, UTF-8: for each record in slot
    // order, "\t" for level 2, "\t\t" for level 3, then
    // "name=%s\tdocID=%d\tdocNo=%d\tcurFileName=%d\n".
    std::string FormatDump() const;

private:
    std::unique_ptr<ContentsNodeTag> m_pRoot;
    std::vector<CatalogRecord> m_NodeItem;                 // slot 0 unused
    std::vector<const ContentsNodeTag*> m_slotNodes;       // parallel to m_NodeItem
    std::vector<std::unique_ptr<ContentsNodeTag>> m_orphans;  // nodes without a parent
    int32_t m_nNodeCount = 1;
};
