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

// The first of a list of nodes, in list order, whose range holds a page.
// When the nodes' ranges ascend without overlapping (as in any catalogue the
// builder writes), a binary search finds it; otherwise the list is walked,
// which gives the same node.
class CFirstHolder {
public:
    explicit CFirstHolder(std::vector<const ContentsNodeTag*> nodes) : m_nodes(std::move(nodes)) {
        uint32_t nPrevLast = 0;
        bool bAny = false;
        for (const ContentsNodeTag* pNode : m_nodes) {
            const uint32_t nFirst = static_cast<uint32_t>(pNode->docID);
            const uint32_t nLast = nFirst + static_cast<uint32_t>(pNode->docNo) - 1u;
            if (nFirst > nLast) continue;  // holds nothing
            if (bAny && nFirst <= nPrevLast) {
                m_bSorted = false;
                break;
            }
            m_spans.push_back({nFirst, nLast, pNode});
            nPrevLast = nLast;
            bAny = true;
        }
    }

    const ContentsNodeTag* Find(uint32_t q) const {
        if (!m_bSorted) {
            for (const ContentsNodeTag* pNode : m_nodes)
                if (Holds(*pNode, q)) return pNode;
            return nullptr;
        }
        auto it = std::upper_bound(m_spans.begin(), m_spans.end(), q,
                                   [](uint32_t n, const Span& span) { return n < span.nFirst; });
        if (it == m_spans.begin()) return nullptr;
        --it;
        return q <= it->nLast ? it->pNode : nullptr;
    }

private:
    struct Span {
        uint32_t nFirst;
        uint32_t nLast;
        const ContentsNodeTag* pNode;
    };
    std::vector<const ContentsNodeTag*> m_nodes;
    std::vector<Span> m_spans;
    bool m_bSorted = true;
};

// The book and the volume of a page below a range node: the nodes to look
// in are gathered once per search, not once per page.
class CRowPlacer {
public:
    explicit CRowPlacer(const ContentsNodeTag& range)
        : m_range(range), m_books(Nodes(range, range.level == 1 ? 1 : 0)),
          m_volumes(Nodes(range, range.level == 1 ? 2 : range.level == 2 ? 1 : 0)) {}

    const ContentsNodeTag* Book(uint32_t q) const {
        if (m_range.level == 1) return m_books.Find(q);
        if (m_range.level == 2) return &m_range;
        if (m_range.level == 3) return m_range.parent;
        return nullptr;
    }

    const ContentsNodeTag* Volume(uint32_t q) const {
        if (m_range.level == 1 || m_range.level == 2) return m_volumes.Find(q);
        return &m_range;
    }

private:
    // The children (nDepth 1) or grandchildren (2) of range, in order.
    static std::vector<const ContentsNodeTag*> Nodes(const ContentsNodeTag& range, int nDepth) {
        std::vector<const ContentsNodeTag*> nodes;
        for (const auto& pChild : range.children) {
            if (nDepth == 1) nodes.push_back(pChild.get());
            if (nDepth == 2)
                for (const auto& pGrandchild : pChild->children) nodes.push_back(pGrandchild.get());
        }
        return nodes;
    }

    const ContentsNodeTag& m_range;
    CFirstHolder m_books;
    CFirstHolder m_volumes;
};

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
    m_rows.clear();
    m_pCategory = nullptr;
    m_nTotalHits = 0;
}

int64_t CResultList::BuildResults(const ContentsNodeTag& range, const std::vector<uint32_t>& pages,
                                  const std::vector<uint32_t>& hits) {
    Clear();
    m_pCategory = Category(range);
    const CRowPlacer placer(range);
    m_rows.reserve(pages.size());
    for (size_t i = 0; i < pages.size(); ++i) {
        const uint32_t q = pages[i] + 1u;
        if (!Holds(range, q)) continue;
        Row row{static_cast<int32_t>(pages[i]), 0, 0, placer.Book(q), placer.Volume(q)};
        if (row.pVolume) {
            // Unsigned arithmetic: a catalogue that does not fit the store
            // gives a strange number, never undefined behaviour.
            row.pageNo = static_cast<int32_t>(q - static_cast<uint32_t>(row.pVolume->docID) + row.pVolume->curFileName);
        }
        if (i < hits.size()) {
            row.hitCount = static_cast<int32_t>(hits[i]);
            m_nTotalHits += hits[i];
        }
        m_rows.push_back(row);
    }
    SortByPageNo();
    return m_nTotalHits;
}

// Stable, so that equal page numbers (pages of different volumes) come in
// the index's order and the same search always lists the same way. Page
// numbers are small in any real catalogue: a counting sort then does it in
// linear time.
void CResultList::SortByPageNo() {
    auto key = [](const Row& row) { return static_cast<uint32_t>(row.pageNo); };
    uint32_t nMax = 0;
    for (const Row& row : m_rows) nMax = std::max(nMax, key(row));
    constexpr uint32_t MaxCountingKey = 1u << 20;
    if (nMax >= MaxCountingKey || m_rows.size() < 64) {
        std::stable_sort(m_rows.begin(), m_rows.end(), [&](const Row& a, const Row& b) { return key(a) < key(b); });
        return;
    }
    std::vector<uint32_t> starts(static_cast<size_t>(nMax) + 2, 0);
    for (const Row& row : m_rows) ++starts[key(row) + 1];
    for (size_t k = 1; k < starts.size(); ++k) starts[k] += starts[k - 1];
    m_sorted.resize(m_rows.size());
    for (const Row& row : m_rows) m_sorted[starts[key(row)]++] = row;
    m_rows.swap(m_sorted);
}

SearchNodeTag CResultList::GetRow(size_t i) const {
    const Row& row = m_rows.at(i);
    SearchNodeTag tag;
    tag.category = NameOf(m_pCategory);
    tag.bookName = NameOf(row.pBook);
    tag.volumeName = NameOf(row.pVolume);
    tag.pageIndex = row.pageIndex;
    tag.pageNo = row.pageNo;
    tag.hitCount = row.hitCount;
    return tag;
}

int32_t CResultList::ListPageCount(size_t nRows) {
    const size_t nPages = nRows / RowsPerListPage + (nRows % RowsPerListPage != 0 ? 1 : 0);
    return static_cast<int32_t>(std::min<size_t>(nPages, INT32_MAX));
}

bool CResultList::GetListPageRows(int32_t nListPage, size_t& nBegin, size_t& nEnd) const {
    if (nListPage < 1 || nListPage > GetListPageCount()) return false;
    nBegin = static_cast<size_t>(nListPage - 1) * RowsPerListPage;
    nEnd = std::min(nBegin + RowsPerListPage, m_rows.size());
    return true;
}

std::string CResultList::FormatSummary(int64_t nRows, int64_t nHits) {
    return "全部で " + std::to_string(nRows) + " 頁で、" + std::to_string(nHits) + " 箇所でした。";
}

std::string CResultList::GetSummaryLine() const {
    return FormatSummary(static_cast<int64_t>(m_rows.size()), m_nTotalHits);
}
