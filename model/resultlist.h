#pragma once

#include "corpus/catalog.h"
#include "model/contentsnode.h"

#include <cstddef>
#include <cstdint>
#include <string>
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

    // Row i, 0 <= i < GetRowCount(), in display order.
    SearchNodeTag GetRow(size_t i) const;
    size_t GetRowCount() const { return m_rows.size(); }
    // The page index of every row, in display order.
    std::vector<int32_t> GetPageIndexes() const;
    int64_t GetTotalHits() const { return m_nTotalHits; }

    // Number of list pages for nRows rows: ceil(nRows / 100).
    static int32_t ListPageCount(size_t nRows);
    int32_t GetListPageCount() const { return ListPageCount(m_rows.size()); }
    // The rows [nBegin, nEnd) of 1-based list page nListPage. False, with
    // nothing written, when nListPage is outside 1 .. GetListPageCount().
    bool GetListPageRows(int32_t nListPage, size_t& nBegin /* OUT */, size_t& nEnd /* OUT */) const;

    // "全部で %d 頁で、%d 箇所でした。" (UTF-8) with the rows and the hits.
    static std::string FormatSummary(int64_t nRows, int64_t nHits);
    std::string GetSummaryLine() const;

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

    std::vector<Row> m_rows;
    std::vector<Row> m_sorted;  // the sort's second buffer, kept for the next search
    const ContentsNodeTag* m_pCategory = nullptr;
    int64_t m_nTotalHits = 0;
};
