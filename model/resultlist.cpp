#include "model/resultlist.h"

#include "text/codeconverter.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <memory>
#include <unordered_map>

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

// The children (nDepth 1) or grandchildren (2) of range, in order.
std::vector<const ContentsNodeTag*> Nodes(const ContentsNodeTag& range, int nDepth) {
    std::vector<const ContentsNodeTag*> nodes;
    for (const auto& pChild : range.children) {
        if (nDepth == 1) nodes.push_back(pChild.get());
        if (nDepth == 2)
            for (const auto& pGrandchild : pChild->children) nodes.push_back(pGrandchild.get());
    }
    return nodes;
}

// The first of the children (nDepth 1) or grandchildren (2) of a range, in
// order, whose range holds a page, for pages that mostly come in ascending
// order (as a search's results do). A cursor moves forward over the nodes
// that end before the page (or hold nothing); none of them can hold it or
// a later page, so the node under the cursor, if it holds the page, is the
// first that does. In a catalogue the builder writes that finds every page
// in amortised constant time, with nothing gathered beforehand, which
// matters when a search finds few pages. Anything else (a page the node
// under the cursor does not hold, pages going back more than a few times)
// is answered by CFirstHolder, made on first need.
class CNodeSweep {
public:
    CNodeSweep(const ContentsNodeTag& range, int nDepth) : m_range(range), m_nDepth(nDepth) {}

    const ContentsNodeTag* Find(uint32_t q) {
        // Most pages lie in the node found for the page before.
        if (m_pCurrent && q >= m_nLastPage && Holds(*m_pCurrent, q)) {
            m_nLastPage = q;
            return m_pCurrent;
        }
        m_bFromHolder = false;
        const ContentsNodeTag* pFound = FindFromCursor(q);
        m_pCurrent = m_bFromHolder ? nullptr : pFound;
        return pFound;
    }

private:
    static constexpr int MaxRewinds = 8;

    // Find, the node found last aside; the answer is kept only when it is
    // the node under the cursor.
    const ContentsNodeTag* FindFromCursor(uint32_t q) {
        if (q < m_nLastPage) {
            if (++m_nRewinds > MaxRewinds) {
                m_bFromHolder = true;
                return Holder().Find(q);
            }
            m_nChild = 0;
            m_nGrandchild = 0;
        }
        m_nLastPage = q;
        const auto& children = m_range.children;
        if (m_nDepth == 1) return Sweep(children, m_nChild, q);
        for (; m_nChild < children.size(); ++m_nChild, m_nGrandchild = 0) {
            const auto& grandchildren = children[m_nChild]->children;
            const ContentsNodeTag* pFound = Sweep(grandchildren, m_nGrandchild, q);
            if (m_nGrandchild < grandchildren.size()) return pFound;
        }
        return nullptr;  // every node ends before q
    }

    // Moves nAt over the nodes that end before q or hold nothing; then the
    // node there, if it holds q, is the answer. Leaves nAt at the end of
    // nodes when all end before q (and returns null).
    const ContentsNodeTag* Sweep(const std::vector<std::unique_ptr<ContentsNodeTag>>& nodes, size_t& nAt,
                                 uint32_t q) {
        for (; nAt < nodes.size(); ++nAt) {
            const ContentsNodeTag& node = *nodes[nAt];
            const uint32_t nFirst = static_cast<uint32_t>(node.docID);
            const uint32_t nLast = nFirst + static_cast<uint32_t>(node.docNo) - 1u;
            if (nFirst > nLast || nLast < q) continue;
            if (nFirst <= q) return &node;
            m_bFromHolder = true;
            return Holder().Find(q);  // a gap, or nodes out of order
        }
        return nullptr;
    }

    const CFirstHolder& Holder() {
        if (!m_pHolder) m_pHolder = std::make_unique<CFirstHolder>(Nodes(m_range, m_nDepth));
        return *m_pHolder;
    }

    const ContentsNodeTag& m_range;
    int m_nDepth;
    size_t m_nChild = 0;
    size_t m_nGrandchild = 0;
    uint32_t m_nLastPage = 0;
    int m_nRewinds = 0;
    const ContentsNodeTag* m_pCurrent = nullptr;  // the node under the cursor, found last
    bool m_bFromHolder = false;
    std::unique_ptr<CFirstHolder> m_pHolder;
};

// Where the rows of each key start once they are put in key order: for
// each key up to nMax, how many keys are below it.
std::vector<uint32_t> CountingStarts(const std::vector<uint32_t>& keys, uint32_t nMax) {
    std::vector<uint32_t> starts(static_cast<size_t>(nMax) + 2, 0);
    for (uint32_t nKey : keys) ++starts[nKey + 1];
    for (size_t k = 1; k < starts.size(); ++k) starts[k] += starts[k - 1];
    return starts;
}

// The book and the volume of a page below a range node.
class CRowPlacer {
public:
    explicit CRowPlacer(const ContentsNodeTag& range)
        : m_range(range), m_books(range, 1), m_volumes(range, range.level == 1 ? 2 : 1) {}

    const ContentsNodeTag* Book(uint32_t q) {
        if (m_range.level == 1) return m_books.Find(q);
        if (m_range.level == 2) return &m_range;
        if (m_range.level == 3) return m_range.parent;
        return nullptr;
    }

    const ContentsNodeTag* Volume(uint32_t q) {
        if (m_range.level == 1 || m_range.level == 2) return m_volumes.Find(q);
        return &m_range;
    }

private:
    const ContentsNodeTag& m_range;
    CNodeSweep m_books;
    CNodeSweep m_volumes;
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
    m_shown.clear();
    m_pNarrow = nullptr;
    m_nShownHits = 0;
    m_eOrder = Order::PageNumber;
    m_pCategory = nullptr;
    m_pRange = nullptr;
    m_nTotalHits = 0;
}

int64_t CResultList::BuildResults(const ContentsNodeTag& range, const std::vector<uint32_t>& pages,
                                  const std::vector<uint32_t>& hits) {
    Clear();
    m_pCategory = Category(range);
    m_pRange = &range;
    // Unsigned arithmetic: a catalogue that does not fit the store gives a
    // strange page number, never undefined behaviour.
    auto pageNo = [](uint32_t q, const ContentsNodeTag* pVolume) {
        return pVolume ? static_cast<int32_t>(q - static_cast<uint32_t>(pVolume->docID) + pVolume->curFileName) : 0;
    };
    CRowPlacer placer(range);
    auto row = [&](size_t i) {
        const uint32_t q = pages[i] + 1u;
        Row made{static_cast<int32_t>(pages[i]), 0, 0, placer.Book(q), placer.Volume(q)};
        made.pageNo = pageNo(q, made.pVolume);
        if (i < hits.size()) {
            made.hitCount = static_cast<int32_t>(hits[i]);
            m_nTotalHits += hits[i];
        }
        return made;
    };
    // Many rows go straight to their places in page-number order (stable:
    // in the index's order among equal numbers): a first pass counts the
    // page numbers, a second puts each row where its number starts, so
    // that a search of 119,800 pages fills one buffer instead of filling
    // two and copying one into the other.
    if (pages.size() >= PlacedRows) {
        m_keys.clear();
        uint32_t nMax = 0;
        CRowPlacer counter(range);
        for (uint32_t nPage : pages) {
            const uint32_t q = nPage + 1u;
            if (!Holds(range, q)) continue;
            m_keys.push_back(static_cast<uint32_t>(pageNo(q, counter.Volume(q))));
            nMax = std::max(nMax, m_keys.back());
        }
        if (nMax < MaxCountingKey) {
            std::vector<uint32_t> starts = CountingStarts(m_keys, nMax);
            m_rows.resize(m_keys.size());
            for (size_t i = 0, k = 0; i < pages.size(); ++i)
                if (Holds(range, pages[i] + 1u)) m_rows[starts[m_keys[k++]]++] = row(i);
            return m_nTotalHits;
        }
    }
    m_rows.reserve(pages.size());
    for (size_t i = 0; i < pages.size(); ++i)
        if (Holds(range, pages[i] + 1u)) m_rows.push_back(row(i));
    SortByPageNo();
    return m_nTotalHits;
}

// Stable, so that equal page numbers (pages of different volumes) come in
// the index's order and the same search always lists the same way. Page
// numbers are small in any real catalogue: a counting sort then does it in
// linear time.
void CResultList::SortByPageNo() {
    m_keys.clear();
    uint32_t nMax = 0;
    for (const Row& row : m_rows) {
        m_keys.push_back(static_cast<uint32_t>(row.pageNo));
        nMax = std::max(nMax, m_keys.back());
    }
    if (nMax >= MaxCountingKey || m_rows.size() < 64) {
        std::stable_sort(m_rows.begin(), m_rows.end(), [](const Row& a, const Row& b) {
            return static_cast<uint32_t>(a.pageNo) < static_cast<uint32_t>(b.pageNo);
        });
        return;
    }
    std::vector<uint32_t> starts = CountingStarts(m_keys, nMax);
    m_sorted.resize(m_rows.size());
    for (size_t i = 0; i < m_rows.size(); ++i) m_sorted[starts[m_keys[i]]++] = m_rows[i];
    m_rows.swap(m_sorted);
}

void CResultList::SortRows(Order eOrder) {
    if (eOrder == Order::Reading)
        SortByReadingOrder();
    else
        SortByPageNo();
    m_eOrder = eOrder;
    CollectShown();
}

// The books and their volumes in the order of the contents tree, then the
// page number; in a book, rows that no volume holds after its volumes; rows
// that no book holds last, by page index. A row's place is its volume (or
// its book, without one), and the places in post-order under the range are
// exactly that order: a book's volumes, then the book itself. So the rows,
// first put by page number (stable, in the index's order), are bucketed by
// place in linear time; the buffers stay for the next sort.
void CResultList::SortByReadingOrder() {
    SortByPageNo();
    m_placeRanks.clear();
    uint32_t nRank = 0;
    struct Visit {
        const ContentsNodeTag* pNode;
        size_t nChild;
    };
    std::vector<Visit> stack;
    if (m_pRange) stack.push_back({m_pRange, 0});
    while (!stack.empty()) {
        Visit& visit = stack.back();
        if (visit.nChild < visit.pNode->children.size()) {
            const ContentsNodeTag* pChild = visit.pNode->children[visit.nChild++].get();
            stack.push_back({pChild, 0});
            continue;
        }
        m_placeRanks.emplace(visit.pNode, nRank++);
        stack.pop_back();
    }
    const uint32_t nLast = nRank;  // rows that no book holds, or a place outside the range
    m_placeOfRow.resize(m_rows.size());
    m_placeStarts.assign(static_cast<size_t>(nLast) + 2, 0);
    const ContentsNodeTag* pLastPlace = nullptr;
    uint32_t nLastRank = nLast;
    for (size_t i = 0; i < m_rows.size(); ++i) {
        const ContentsNodeTag* pPlace = m_rows[i].pVolume ? m_rows[i].pVolume : m_rows[i].pBook;
        if (pPlace != pLastPlace || i == 0) {
            const auto it = pPlace ? m_placeRanks.find(pPlace) : m_placeRanks.end();
            nLastRank = it == m_placeRanks.end() ? nLast : it->second;
            pLastPlace = pPlace;
        }
        m_placeOfRow[i] = nLastRank;
        ++m_placeStarts[nLastRank + 1];
    }
    for (size_t k = 1; k < m_placeStarts.size(); ++k) m_placeStarts[k] += m_placeStarts[k - 1];
    m_sorted.resize(m_rows.size());
    for (size_t i = 0; i < m_rows.size(); ++i) m_sorted[m_placeStarts[m_placeOfRow[i]]++] = m_rows[i];
    m_rows.swap(m_sorted);
}

bool CResultList::Narrow(const ContentsNodeTag* pNode) {
    if (!pNode) {
        m_pNarrow = nullptr;
        m_shown.clear();
        m_nShownHits = 0;
        return true;
    }
    const bool bAny = std::any_of(m_rows.begin(), m_rows.end(),
                                  [pNode](const Row& row) { return row.pBook == pNode || row.pVolume == pNode; });
    if (!bAny) return false;
    m_pNarrow = pNode;
    CollectShown();
    return true;
}

void CResultList::CollectShown() {
    m_shown.clear();
    m_nShownHits = 0;
    if (!m_pNarrow) return;
    for (const Row& row : m_rows) {
        if (row.pBook != m_pNarrow && row.pVolume != m_pNarrow) continue;
        m_shown.push_back(row);
        m_nShownHits += row.hitCount;
    }
}

std::string CResultList::GetNarrowLine() const {
    if (!m_pNarrow) return std::string();
    std::u16string strName = m_pNarrow->name;
    if (m_pNarrow->level == 3 && m_pNarrow->parent) strName = m_pNarrow->parent->name + u" " + strName;
    return "「" + CCodeConverter::Utf16ToUtf8(strName) + "」の " + std::to_string(m_shown.size()) + " 頁、" +
           std::to_string(m_nShownHits) + " 箇所を表示しています。";
}

SearchNodeTag CResultList::GetRow(size_t i) const {
    const Row& row = Shown().at(i);
    SearchNodeTag tag;
    tag.category = NameOf(m_pCategory);
    tag.bookName = NameOf(row.pBook);
    tag.volumeName = NameOf(row.pVolume);
    tag.pageIndex = row.pageIndex;
    tag.pageNo = row.pageNo;
    tag.hitCount = row.hitCount;
    return tag;
}

std::vector<int32_t> CResultList::GetPageIndexes() const {
    // Put in order through a bitmap of the pages: linear in the rows and the
    // corpus (a search of 不 has 119,800 rows; sorting them took 4 ms).
    int32_t nMax = -1;
    for (const Row& row : Shown()) nMax = std::max(nMax, row.pageIndex);
    std::vector<uint64_t> bits(static_cast<size_t>(nMax + 1) / 64 + 1, 0);
    for (const Row& row : Shown())
        if (row.pageIndex >= 0) bits[static_cast<size_t>(row.pageIndex) / 64] |= uint64_t{1} << (row.pageIndex % 64);
    std::vector<int32_t> pages;
    pages.reserve(Shown().size());
    for (size_t w = 0; w < bits.size(); ++w)
        for (uint64_t word = bits[w]; word != 0; word &= word - 1)
            pages.push_back(static_cast<int32_t>(w * 64 + static_cast<size_t>(__builtin_ctzll(word))));
    return pages;
}

int32_t CResultList::ListPageCount(size_t nRows) {
    const size_t nPages = nRows / RowsPerListPage + (nRows % RowsPerListPage != 0 ? 1 : 0);
    return static_cast<int32_t>(std::min<size_t>(nPages, INT32_MAX));
}

bool CResultList::GetListPageRows(int32_t nListPage, size_t& nBegin, size_t& nEnd) const {
    if (nListPage < 1 || nListPage > GetListPageCount()) return false;
    nBegin = static_cast<size_t>(nListPage - 1) * RowsPerListPage;
    nEnd = std::min(nBegin + RowsPerListPage, Shown().size());
    return true;
}

std::string CResultList::FormatSummary(int64_t nRows, int64_t nHits) {
    return "全部で " + std::to_string(nRows) + " 頁で、" + std::to_string(nHits) + " 箇所でした。";
}

std::string CResultList::GetSummaryLine() const {
    return FormatSummary(static_cast<int64_t>(m_rows.size()), m_nTotalHits);
}
