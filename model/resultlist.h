#pragma once

#include "corpus/catalog.h"
#include "model/contentsnode.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

// One row of the result list: a page found by a search, with where it lies.
struct SearchNodeTag {
    std::u16string category;    // the level-1 node above the search range
    std::u16string bookName;    // the book holding the page; empty if none
    std::u16string volumeName;  // the volume holding the page; empty if none
    int32_t pageIndex = 0;      // 0-based page index in the page store
    int32_t pageNo = 0;         // page number shown to the user; 0 without a volume
    int32_t hitCount = 0;       // hits on the page
};

// The rows of the last search, built from the index's result set and the
// contents tree, in display order (by page number), and their division into
// list pages of 100 rows. No user interface and no output: the window and
// the command line both show what it builds.
//
// The rows refer to the nodes of the contents tree for their names, so that
// a search that finds most of the corpus builds its rows quickly; a row's
// names are copied out only when it is shown (GetRow).
// REQUIRES: the contents tree passed to BuildResults outlives the rows (until
// the next BuildResults or Clear). The result set need not.
class CResultList {
public:
    static constexpr int32_t RowsPerListPage = 100;

    // The first node, depth-first in pre-order from pNode, whose level,
    // docID, docNo and curFileName equal the record's; null if none (or
    // pNode is null).
    static const ContentsNodeTag* FindRangeNode(const ContentsNodeTag* pNode, const CatalogRecord& record);

    // Replaces the rows with one per page of pages that lies inside range
    // (range.docID <= page + 1 <= range.docID + range.docNo - 1, compared
    // unsigned), sorted by page number ascending (unsigned; equal numbers
    // keep the index's order). hits[i] belongs to pages[i]; a page without
    // an entry in hits (a search that did not count) gets 0. Returns the sum
    // of the kept pages' hits, which GetTotalHits() also gives.
    int64_t BuildResults(const ContentsNodeTag& range, const std::vector<uint32_t>& pages,
                         const std::vector<uint32_t>& hits);
    void Clear();

    // The rows shown: every row, or those under the node the list is
    // narrowed to (Narrow). Row i, 0 <= i < GetRowCount(), in display order.
    SearchNodeTag GetRow(size_t i) const;
    size_t GetRowCount() const { return Shown().size(); }
    // The book and volume nodes of shown row i (null where none holds it).
    const ContentsNodeTag* GetBookNode(size_t i) const { return Shown().at(i).pBook; }
    const ContentsNodeTag* GetVolumeNode(size_t i) const { return Shown().at(i).pVolume; }
    // The page indexes of the shown rows, ascending: what the labels of the
    // rows and the concordance look up, whatever order the rows are in.
    std::vector<int32_t> GetPageIndexes() const;
    // Every row of the search and their hits, however the list is narrowed.
    size_t GetAllRowCount() const { return m_rows.size(); }
    int64_t GetTotalHits() const { return m_nTotalHits; }

    // The range the rows were built for; null before BuildResults.
    const ContentsNodeTag* GetRange() const { return m_pRange; }
    // Calls f(pBook, pVolume, hitCount) for every row, however the list is
    // narrowed, in display order.
    template <typename F>
    void ForEachRow(F f) const {
        for (const Row& row : m_rows) f(row.pBook, row.pVolume, row.hitCount);
    }

    // Shows only the rows under pNode (a book or a volume of the contents
    // tree), in the same order; null shows every row again. False, with
    // nothing changed, for a node that holds no row.
    bool Narrow(const ContentsNodeTag* pNode);
    const ContentsNodeTag* GetNarrowNode() const { return m_pNarrow; }
    int64_t GetShownHits() const { return m_pNarrow ? m_nShownHits : m_nTotalHits; }

    // The order of the rows: by page number (as a search gives them), or in
    // reading order, the order of the contents tree (category, book,
    // volume, then page).
    enum class Order { PageNumber, Reading };
    void SortRows(Order eOrder);
    Order GetOrder() const { return m_eOrder; }

    // Number of list pages for nRows rows: ceil(nRows / 100).
    static int32_t ListPageCount(size_t nRows);
    int32_t GetListPageCount() const { return ListPageCount(Shown().size()); }
    // The rows [nBegin, nEnd) of 1-based list page nListPage. False, with
    // nothing written, when nListPage is outside 1 .. GetListPageCount().
    bool GetListPageRows(int32_t nListPage, size_t& nBegin /* OUT */, size_t& nEnd /* OUT */) const;

    // "全部で %d 頁で、%d 箇所でした。" (UTF-8) with the rows and the hits,
    // of every row, however the list is narrowed.
    static std::string FormatSummary(int64_t nRows, int64_t nHits);
    std::string GetSummaryLine() const;
    // While the list is narrowed, what it shows: "「御定全唐詩 卷一」の 35 頁、
    // 40 箇所を表示しています。"; empty otherwise.
    std::string GetNarrowLine() const;

private:
    // A row as built: the page and where it lies.
    struct Row {
        int32_t pageIndex;
        int32_t pageNo;
        int32_t hitCount;
        const ContentsNodeTag* pBook;    // null: no book holds the page
        const ContentsNodeTag* pVolume;  // null: no volume holds the page
    };
    void SortByPageNo();

    const std::vector<Row>& Shown() const { return m_pNarrow ? m_shown : m_rows; }
    void SortByReadingOrder();
    void CollectShown();

    std::vector<Row> m_rows;
    std::vector<Row> m_sorted;  // the sort's second buffer, kept for the next search
    std::vector<uint32_t> m_keys;  // the rows' page numbers while they are put in order
    // Page numbers below this are put in order by counting.
    static constexpr uint32_t MaxCountingKey = 1u << 20;
    // From this many pages on, BuildResults puts each row straight in its
    // place (two passes); fewer are built and then sorted.
    static constexpr size_t PlacedRows = 4096;
    // The reading order's buffers: each place's rank, each row's place, the
    // places' first rows.
    std::unordered_map<const ContentsNodeTag*, uint32_t> m_placeRanks;
    std::vector<uint32_t> m_placeOfRow;
    std::vector<uint32_t> m_placeStarts;
    std::vector<Row> m_shown;   // the rows under m_pNarrow, when it is set
    const ContentsNodeTag* m_pNarrow = nullptr;
    int64_t m_nShownHits = 0;
    Order m_eOrder = Order::PageNumber;
    const ContentsNodeTag* m_pRange = nullptr;
    const ContentsNodeTag* m_pCategory = nullptr;
    int64_t m_nTotalHits = 0;
};
