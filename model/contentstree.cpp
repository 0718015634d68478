#include "model/contentstree.h"

#include "model/resultlist.h"
#include "text/codeconverter.h"

namespace {

std::unique_ptr<ContentsNodeTag> MakeRoot() {
    auto pRoot = std::make_unique<ContentsNodeTag>();
    pRoot->name = u"root";
    return pRoot;
}

bool IsTreeLevel(int32_t nLevel) { return nLevel >= 1 && nLevel <= 3; }

}  // namespace

CContentsTree::CContentsTree() { Clear(); }

void CContentsTree::Clear() {
    m_pRoot = MakeRoot();
    m_orphans.clear();
    m_NodeItem.assign(1, CatalogRecord{});
    m_slotNodes.assign(1, nullptr);
    m_nNodeCount = 1;
}

ContentsNodeTag* CContentsTree::FindParentNode(ContentsNodeTag* pCandidate, const ContentsNodeTag& node) {
    if (node.level == pCandidate->level + 1) return pCandidate;
    ContentsNodeTag* pFound = nullptr;
    for (const auto& pChild : pCandidate->children)
        if (ContentsNodeTag* pResult = FindParentNode(pChild.get(), node)) pFound = pResult;
    return pFound;
}

CContentsTree::AddResult CContentsTree::AddCatalogueRecord(const CatalogRecord& record) {
    if (m_nNodeCount > MaxRecords) return TableFull;
    m_NodeItem.push_back(record);
    m_slotNodes.push_back(nullptr);
    ++m_nNodeCount;
    // Only levels 1 to 3 have a place in the outline; any other level would
    // hang below a volume or above the root.
    if (!IsTreeLevel(record.level)) return AddedWithoutNode;

    auto pNode = std::make_unique<ContentsNodeTag>();
    pNode->name = record.name;
    pNode->level = record.level;
    pNode->docID = record.docID;
    pNode->docNo = record.docNo;
    pNode->curFileName = record.curFileName;
    ContentsNodeTag* pParent = FindParentNode(m_pRoot.get(), *pNode);
    if (!pParent) {
        m_slotNodes.back() = pNode.get();
        m_orphans.push_back(std::move(pNode));
        return AddedWithoutParent;
    }
    m_slotNodes.back() = pParent->AddChild(std::move(pNode));
    return AddedToTree;
}

const CatalogRecord* CContentsTree::GetRecord(int32_t nSlot) const {
    if (nSlot < 1 || nSlot >= m_nNodeCount) return nullptr;
    return &m_NodeItem[static_cast<size_t>(nSlot)];
}

const ContentsNodeTag* CContentsTree::GetNode(int32_t nSlot) const {
    if (nSlot < 1 || nSlot >= m_nNodeCount) return nullptr;
    return m_slotNodes[static_cast<size_t>(nSlot)];
}

const ContentsNodeTag* CContentsTree::FindRangeNode(int32_t nSlot) const {
    const CatalogRecord* pRecord = GetRecord(nSlot);
    // A record of level 0 with zero numbers would match the root itself.
    if (!pRecord || !IsTreeLevel(pRecord->level)) return nullptr;
    return CResultList::FindRangeNode(m_pRoot.get(), *pRecord);
}

std::u16string CContentsTree::RangeLabel(int32_t nSlot) const {
    const ContentsNodeTag* pNode = GetNode(nSlot);
    if (!pNode) return {};
    std::u16string strLabel = pNode->name;
    for (const ContentsNodeTag* p = pNode->parent; p && p != m_pRoot.get(); p = p->parent)
        strLabel = p->name + u"\\" + strLabel;
    return strLabel;
}

std::string CContentsTree::FormatDump() const {
    std::string out;
    for (int32_t nSlot = 1; nSlot < m_nNodeCount; ++nSlot) {
        const CatalogRecord& record = m_NodeItem[static_cast<size_t>(nSlot)];
        if (record.level == 2) out += "\t";
        if (record.level == 3) out += "\t\t";
        out += "name=" + CCodeConverter::Utf16ToUtf8(record.name);
        out += "\tdocID=" + std::to_string(record.docID);
        out += "\tdocNo=" + std::to_string(record.docNo);
        out += "\tcurFileName=" + std::to_string(record.curFileName) + "\n";
    }
    return out;
}
