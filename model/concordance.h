#pragma once

#include "corpus/textparts.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CCitation;
class CIndex;

// One occurrence of a keyword, in its context.
struct ConcordanceRowTag {
    int32_t pageIndex = 0;
    uint64_t position = 0;     // of its first place, for the order of the page
    uint32_t term = 0;         // which keyword of the search
    bool annotation = false;   // in an annotation (注釈), else main text (正文)
    std::u16string left;       // up to the context's width before it
    std::u16string keyword;    // the occurrence itself ("*" gaps included)
    std::u16string right;      // up to the context's width after it
};

// The concordance of a search: every hit of every keyword on the pages it
// found, with its left and right context, so that a reader sees each
// occurrence in its place. Its rows are exactly the search's hits (one per
// hit the index counts: CPageHits finds them in the page's text by the
// search's rules). The context stays within the hit's paragraph: for a hit
// in the main text the main text of its line, annotations skipped; for a
// hit in an annotation that annotation.
//
// The pages are read in batches (Continue), so that a window can show the
// first rows at once and go on with the rest; Build reads them all.
// No user interface: the window and the command line both use it.
// REQUIRES: the index outlives the object and is not closed or searched
// with another scope until the rows are built.
class CConcordance {
public:
    static constexpr int DefaultContext = 12;
    enum class Order {
        Place,  // by page (reading order) and place in the page
        Right,  // by the right context, then the keyword
        Left,   // by the left context read backwards from the keyword
    };
    enum class Format { Tsv, Csv };
    // Called after each batch with the pages read and the pages in all;
    // false stops the work (a reader's cancel).
    using ProgressCallback = std::function<bool(size_t nDone, size_t nTotal)>;

    // Starts the concordance of strKeywords (terms cut at U+0020 and
    // U+3000) on pages (page indexes, any order), as the search did it:
    // with or without variants, in the text part the index was opened for.
    void Start(CIndex& index, std::vector<int32_t> pages, const std::u16string& strKeywords, bool bUseVariants,
               TextPart ePart, int nContext = DefaultContext);
    // Reads up to nPages more pages, appending their rows; false once every
    // page is read.
    bool Continue(size_t nPages);
    bool Done() const { return m_nNext >= m_pages.size(); }
    size_t PagesRead() const { return m_nNext; }
    size_t PageCount() const { return m_pages.size(); }
    // Start and Continue to the end. False when progress stopped it.
    bool Build(CIndex& index, std::vector<int32_t> pages, const std::u16string& strKeywords, bool bUseVariants,
               TextPart ePart, int nContext = DefaultContext, const ProgressCallback& progress = nullptr);

    const std::vector<ConcordanceRowTag>& Rows() const { return m_rows; }
    // The rows in an order. REQUIRES: Done().
    void Sort(Order eOrder);

    // The anchor that the display page of row i's page (CIndex::RenderPage
    // with the search's keywords, variants and text part) sets at row i's
    // occurrence, so that a window can open the page at it. The display
    // marks keyword by keyword, each form in turn (every mark of one form
    // before the next form's), so the anchor is the marks of the forms
    // before the one that marks this occurrence plus the occurrence's place
    // among that form's. Where the display marks otherwise than the search
    // counts (a "*" it spans differently), the nearest mark of that form;
    // 0 when the page shows no mark. REQUIRES: i < Rows().size().
    int32_t AnchorOf(size_t i) const;
    Order GetOrder() const { return m_eOrder; }

    // The whole concordance as text: a header line, then one line a row:
    // left context, keyword, right context, book, volume, page, 正文/注釈,
    // page index. CSV quotes every field (RFC 4180) and starts with a
    // byte-order mark, so that spreadsheet programs take it as UTF-8; TSV
    // turns tabs and line breaks inside fields into spaces. progress is
    // called now and then with the rows written.
    std::string Export(Format eFormat, const CCitation& citation, const ProgressCallback& progress = nullptr) const;
    // The titles of the columns, as the export and the window name them:
    // 左文脈, キーワード, 右文脈, 書名, 巻, 頁, 正文/注釈, 引用 (the export only).
    static const std::vector<std::u16string>& ColumnTitles();
    // The header line and one row's line, as Export writes them.
    static std::string ExportHeader(Format eFormat);
    std::string ExportRow(size_t i, Format eFormat, const CCitation& citation) const;

    // Sort orders from their names in the command line: place, right, left.
    static bool ParseOrder(const std::string& strName, Order& eOrder /* OUT */);

private:
    CIndex* m_pIndex = nullptr;
    std::vector<int32_t> m_pages;
    std::vector<std::u16string> m_terms;
    bool m_bUseVariants = true;
    TextPart m_ePart = TextPart::WholeText;
    int m_nContext = DefaultContext;
    size_t m_nNext = 0;
    std::vector<ConcordanceRowTag> m_rows;
    Order m_eOrder = Order::Place;
};
