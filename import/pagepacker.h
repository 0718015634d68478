#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Packs pieces of text (a poem, a chapter's paragraph) into pages of about
// one screen for the source layout (see CPageBuilder for the line syntax:
// "# " heading, "{...}" annotation; annotations here never nest).
//
// Size: the page cell is about RowChars characters wide; a line takes
// ceil(characters / RowChars) rows (at least one) plus one row for the gap
// between paragraphs, and a page holds PageRows rows.
//
// Rules, in order:
//   - a piece that does not fit on what is left of the current page starts
//     a new page; a piece longer than a page starts on a new page and
//     continues on the next ones, cut between lines;
//   - a line longer than a page (never a heading) is cut into parts that
//     fit, after a sentence end (。！？), else after a clause end (；，、：),
//     else between any two characters, each only where the part comes to at
//     least half a page; never inside an annotation: where an annotation
//     is in the way, the part ends before it, or, when that would leave
//     less than half a page, after it (an oversized page).
// A page is the text of one page file: its lines, each ended by "\n".
class CPagePacker {
public:
    static constexpr size_t RowChars = 26;
    static constexpr size_t PageRows = 32;

    void AddPiece(const std::vector<std::string>& lines);

    // Ends the current page and hands over all pages, leaving the packer
    // empty.
    std::vector<std::string> TakePages();

    // The rows a line takes (see above).
    static size_t LineRows(const std::string& strLine);

private:
    void AddLine(const std::string& strLine);
    void EndPage();

    std::vector<std::string> m_pages;
    std::string m_strPage;
    size_t m_nRows = 0;
};
