#include "panel/resultlist.h"

#include <algorithm>

namespace {

// Whether node's pages docID .. docID + docNo - 1 hold the 1-based page q.
// Unsigned, as the catalogue's numbers are compared everywhere: a node with
// docNo 0 holds nothing unless docID is 0, where the end wraps round.
bool Holds(const ContentsNodeTag& node, uint32_t q) {
    const uint32_t nFirst = static_cast<uint32_t>(node.docID);
    const uint32_t nLast = nFirst + static_cast<uint32_t>(node.docNo) - 1u;
    return nFirst <= q && q <= nLast;
}

const std::u16string& NameOf(const ContentsNodeTag* pNode) {
    static const std::u16string strEmpty;
    return pNode ? pNode->name : strEmpty;
}

const ContentsNodeTag* Category(const ContentsNodeTag& range) {
    if (range.level == 1) return &range;
    if (range.level == 2) return range.parent;
    return range.parent ? range.parent->parent : nullptr;
}

const ContentsNodeTag* Book(const ContentsNodeTag& range, uint32_t q) {
    if (range.level == 1) {
        for (const auto& pChild : range.children)
            if (Holds(*pChild, q)) return pChild.get();
        return nullptr;
    }
    if (range.level == 2) return &range;
    if (range.level == 3) return range.parent;
    return nullptr;
}

const ContentsNodeTag* Volume(const ContentsNodeTag& range, uint32_t q) {
    if (range.level == 1) {
        // Every grandchild in order, whichever book holds the page.
        for (const auto& pChild : range.children)
            for (const auto& pGrandchild : pChild->children)
                if (Holds(*pGrandchild, q)) return pGrandchild.get();
        return nullptr;
    }
    if (range.level == 2) {
        for (const auto& pChild : range.children)
            if (Holds(*pChild, q)) return pChild.get();
        return nullptr;
    }
    return &range;
}

}  // namespace

const ContentsNodeTag* CResultList::FindRangeNode(const ContentsNodeTag* pNode, const CatalogRecord& record) {
    if (!pNode) return nullptr;
    if (pNode->level == record.level && pNode->docID == record.docID && pNode->docNo == record.docNo &&
        pNode->curFileName == record.curFileName)
        return pNode;
    for (const auto& pChild : pNode->children)
        if (const ContentsNodeTag* pFound = FindRangeNode(pChild.get(), record)) return pFound;
    return nullptr;
}

void CResultList::Clear() {
    m_results.clear();
    m_nTotalHits = 0;
}

int64_t CResultList::BuildResults(const ContentsNodeTag& range, const std::vector<uint32_t>& pages,
                                  const std::vector<uint32_t>& hits) {
    Clear();
    const std::u16string& strCategory = NameOf(Category(range));
    for (size_t i = 0; i < pages.size(); ++i) {
        const uint32_t q = pages[i] + 1u;
        if (!Holds(range, q)) continue;
        SearchNodeTag row;
        row.category = strCategory;
        row.bookName = NameOf(Book(range, q));
        if (const ContentsNodeTag* pVolume = Volume(range, q)) {
            row.volumeName = pVolume->name;
            // Unsigned arithmetic: a catalogue that does not fit the store
            // gives a strange number, never undefined behaviour.
            row.pageNo = static_cast<int32_t>(q - static_cast<uint32_t>(pVolume->docID) + pVolume->curFileName);
        }
        row.pageIndex = static_cast<int32_t>(pages[i]);
        if (i < hits.size()) {
            row.hitCount = static_cast<int32_t>(hits[i]);
            m_nTotalHits += hits[i];
        }
        m_results.push_back(std::move(row));
    }
    // Stable, so that equal page numbers (pages of different volumes) come
    // in the index's order and the same search always lists the same way.
    std::stable_sort(m_results.begin(), m_results.end(), [](const SearchNodeTag& a, const SearchNodeTag& b) {
        return static_cast<uint32_t>(a.pageNo) < static_cast<uint32_t>(b.pageNo);
    });
    return m_nTotalHits;
}

int32_t CResultList::ListPageCount(size_t nRows) {
    const size_t nPages = nRows / RowsPerListPage + (nRows % RowsPerListPage != 0 ? 1 : 0);
    return static_cast<int32_t>(std::min<size_t>(nPages, INT32_MAX));
}

bool CResultList::GetListPageRows(int32_t nListPage, size_t& nBegin, size_t& nEnd) const {
    if (nListPage < 1 || nListPage > GetListPageCount()) return false;
    nBegin = static_cast<size_t>(nListPage - 1) * RowsPerListPage;
    nEnd = std::min(nBegin + RowsPerListPage, m_results.size());
    return true;
}

std::string CResultList::FormatSummary(int64_t nRows, int64_t nHits) {
    return "全部で " + std::to_string(nRows) + " 頁で、" + std::to_string(nHits) + " 箇所でした。";
}

std::string CResultList::GetSummaryLine() const {
    return FormatSummary(static_cast<int64_t>(m_results.size()), m_nTotalHits);
}
