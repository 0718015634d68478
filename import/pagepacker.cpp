#include "import/pagepacker.h"

#include "text/codeconverter.h"

namespace {

bool IsHeading(const std::u32string& line) { return line.size() >= 2 && line[0] == U'#' && line[1] == U' '; }

// Characters shown: everything but the heading mark and the braces.
size_t VisibleChars(const std::u32string& line) {
    size_t n = 0;
    for (size_t i = IsHeading(line) ? 2 : 0; i < line.size(); ++i)
        if (line[i] != U'{' && line[i] != U'}') ++n;
    return n;
}

size_t RowsFor(size_t nChars) {
    const size_t nText = nChars == 0 ? 1 : (nChars + CPagePacker::RowChars - 1) / CPagePacker::RowChars;
    return nText + 1;  // the gap between paragraphs
}

int CutPriority(char32_t c) {
    switch (c) {
    case U'。': case U'！': case U'？': return 2;
    case U'；': case U'，': case U'、': case U'：': return 1;
    default: return 0;
    }
}

// Where to cut a line whose first part may show at most nMaxChars
// characters: a code point index outside any annotation, or 0 when the
// line is better left whole.
size_t FindCut(const std::u32string& line, size_t nMaxChars) {
    size_t best[3] = {0, 0, 0};
    size_t nFirstOver = 0;  // the first cut past the limit (an annotation in the way)
    size_t nVisible = 0;
    bool bInNote = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char32_t c = line[i];
        if (c == U'{' && !bInNote) {
            bInNote = true;
        } else if (c == U'}' && bInNote) {
            bInNote = false;
        } else {
            ++nVisible;
        }
        // A cut after line[i]: outside an annotation, something left.
        if (bInNote || i + 1 >= line.size()) continue;
        if (nVisible <= nMaxChars) {
            best[CutPriority(c)] = i + 1;
            best[0] = i + 1;
        } else if (nFirstOver == 0) {
            nFirstOver = i + 1;
            break;
        }
    }
    // A cut counts only in the second half of the part, so that no page is
    // left mostly empty for it; short text before a long annotation stays
    // with it (an author's name with the biography) on an oversized page.
    for (int p = 2; p >= 0; --p)
        if (best[p] != 0 && VisibleChars(line.substr(0, best[p])) * 2 >= nMaxChars) return best[p];
    return nFirstOver;
}

}  // namespace

size_t CPagePacker::LineRows(const std::string& strLine) {
    return RowsFor(VisibleChars(CCodeConverter::Utf8ToUtf32(strLine)));
}

void CPagePacker::AddPiece(const std::vector<std::string>& lines) {
    size_t nRows = 0;
    for (const std::string& strLine : lines) nRows += LineRows(strLine);
    if (m_nRows > 0 && m_nRows + nRows > PageRows) EndPage();
    for (const std::string& strLine : lines) AddLine(strLine);
}

void CPagePacker::AddLine(const std::string& strLine) {
    std::u32string line = CCodeConverter::Utf8ToUtf32(strLine);
    size_t nRows = RowsFor(VisibleChars(line));
    if (m_nRows > 0 && m_nRows + nRows > PageRows) EndPage();
    if (!IsHeading(line)) {
        // Most characters a line of a whole page can show.
        const size_t nMaxChars = (PageRows - 1) * RowChars;
        while (nRows > PageRows) {
            const size_t nCut = FindCut(line, nMaxChars);
            if (nCut == 0) break;
            const std::u32string first = line.substr(0, nCut);
            std::string strFirst;
            for (char32_t c : first) CCodeConverter::AppendUtf8(c, strFirst);
            m_strPage += strFirst + "\n";
            m_nRows += RowsFor(VisibleChars(first));
            EndPage();
            line.erase(0, nCut);
            nRows = RowsFor(VisibleChars(line));
        }
    }
    for (char32_t c : line) CCodeConverter::AppendUtf8(c, m_strPage);
    m_strPage += "\n";
    m_nRows += nRows;
}

void CPagePacker::EndPage() {
    if (m_strPage.empty()) return;
    m_pages.push_back(std::move(m_strPage));
    m_strPage.clear();
    m_nRows = 0;
}

std::vector<std::string> CPagePacker::TakePages() {
    EndPage();
    std::vector<std::string> pages = std::move(m_pages);
    m_pages.clear();
    return pages;
}
