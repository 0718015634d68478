#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One character of a page's marked cell, as the index sees it.
struct PageChar {
    char32_t codePoint = 0;
    uint32_t position = 0;
    bool annotation = false;  // in an annotation (注釈), else main text (正文)
};

// Turns the text of one source page into the page's HTML and the positioned
// characters of its marked cell.
//
// Source text: one paragraph per line ("\n", an "\r" before it is dropped;
// a final line break ends the last line and starts none). A line starting
// with "# " is a heading. "{…}" inside a line is an annotation. Braces:
//   - "{" in main text opens an annotation; a "}" in main text is text;
//   - inside an annotation, "{" and "}" nest: they are text of the
//     annotation, which ends at the "}" that closes its first "{";
//   - an annotation still open at the end of its line ends there;
//   - an empty annotation ("{}") is dropped;
//   - annotations that meet ("{a}{b}") stay two annotations.
//
// HTML: the title "book volume page", then one table row of two cells
// opened by "<TD" and closed by "</TD>". The text goes into the first cell
// on even page numbers and into the second on odd ones (the cell that the
// renderer marks); the other cell holds the margin label book<br>volume<br>
// page. In the text cell every line is "<p>" + line or "<h4>" + line +
// "</h4>", lines joined by "\n"; an annotation is wrapped in exactly
// AnnotationOpen … AnnotationClose and never spans a line. "<", ">" and "&"
// are escaped everywhere.
//
// Positions: every character of the text cell (punctuation and spaces
// included) takes the next position, starting at 0. Every paragraph or
// heading break (before each line but the first) and every boundary between
// main text and annotation add BreakGap, so that neither a phrase nor a "*"
// gap of a search crosses them. An annotation always has main text (maybe
// empty) on both sides, as the renderer's segments do, so it adds two
// boundaries: one before it and one after it, also at the end of a line and
// between two annotations that meet. No other tag stands inside the text, so
// the gap of TagGap for a tag inside a segment never arises.
class CPageBuilder {
public:
    static constexpr uint32_t BreakGap = 301;
    static constexpr uint32_t TagGap = 1;
    static constexpr const char* AnnotationOpen = "<font size=-1 color=\"#993366\">";
    static constexpr const char* AnnotationClose = "</font>";

    // Builds the page, replacing the previous result. strBook, strVolume and
    // strText are UTF-8; malformed bytes become U+FFFD (CSourceTree::Check
    // refuses them beforehand).
    void Build(const std::string& strBook, const std::string& strVolume, int32_t nPageNumber,
               const std::string& strText);

    const std::string& Html() const { return m_strHtml; }
    // The characters of the text cell in text order (positions ascending).
    const std::vector<PageChar>& Chars() const { return m_chars; }

    // Whether the text goes into the first cell.
    static bool TextInFirstCell(int32_t nPageNumber) { return nPageNumber % 2 == 0; }
    // Appends strText (UTF-8) with "<", ">" and "&" escaped.
    static void AppendEscaped(const std::string& strText, std::string& strOut);

private:
    struct Run {
        std::u32string text;
        bool annotation = false;
    };
    static void SplitLine(const std::u32string& line, std::vector<Run>& runs);
    void AddLine(const std::u32string& line, bool bFirst);

    std::string m_strHtml;
    std::string m_strCell;
    std::vector<PageChar> m_chars;
    uint32_t m_nNext = 0;
};
