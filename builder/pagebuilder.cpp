#include "builder/pagebuilder.h"

#include "text/codeconverter.h"

namespace {

void AppendEscapedChar(char32_t c, std::string& strOut) {
    switch (c) {
    case U'<': strOut += "&lt;"; break;
    case U'>': strOut += "&gt;"; break;
    case U'&': strOut += "&amp;"; break;
    default: CCodeConverter::AppendUtf8(c, strOut); break;
    }
}

}  // namespace

void CPageBuilder::AppendEscaped(const std::string& strText, std::string& strOut) {
    for (char32_t c : CCodeConverter::Utf8ToUtf32(strText)) AppendEscapedChar(c, strOut);
}

void CPageBuilder::SplitLine(const std::u32string& line, std::vector<Run>& runs) {
    runs.clear();
    Run current;
    auto flush = [&runs](Run& run, bool bNextAnnotation) {
        if (!run.text.empty()) {
            // Dropping an empty annotation can leave two runs of main text
            // side by side: they are one.
            if (!run.annotation && !runs.empty() && !runs.back().annotation)
                runs.back().text += run.text;
            else
                runs.push_back(run);
        }
        run.text.clear();
        run.annotation = bNextAnnotation;
    };
    int nDepth = 0;
    for (char32_t c : line) {
        if (nDepth == 0) {
            if (c == U'{') {
                flush(current, true);
                nDepth = 1;
            } else {
                current.text.push_back(c);
            }
            continue;
        }
        if (c == U'}' && --nDepth == 0) {
            flush(current, false);
            continue;
        }
        if (c == U'{') ++nDepth;
        current.text.push_back(c);
    }
    flush(current, false);
}

void CPageBuilder::AddLine(const std::u32string& line, bool bFirst) {
    const bool bHeading = line.size() >= 2 && line[0] == U'#' && line[1] == U' ';
    if (!bFirst) {
        m_strCell += '\n';
        m_nNext += BreakGap;
    }
    m_strCell += bHeading ? "<h4>" : "<p>";
    std::vector<Run> runs;
    SplitLine(bHeading ? line.substr(2) : line, runs);
    // Each annotation is a segment of its own between two segments of main
    // text (empty ones where annotations meet or end the line): two
    // boundaries.
    for (const Run& run : runs) {
        if (run.annotation) {
            m_nNext += BreakGap;
            m_strCell += AnnotationOpen;
        }
        for (char32_t c : run.text) {
            AppendEscapedChar(c, m_strCell);
            m_chars.push_back(PageChar{c, m_nNext++, run.annotation});
        }
        if (run.annotation) {
            m_strCell += AnnotationClose;
            m_nNext += BreakGap;
        }
    }
    if (bHeading) m_strCell += "</h4>";
}

void CPageBuilder::Build(const std::string& strBook, const std::string& strVolume, int32_t nPageNumber,
                         const std::string& strText) {
    m_strHtml.clear();
    m_strCell.clear();
    m_chars.clear();
    m_nNext = 0;

    const std::u32string text = CCodeConverter::Utf8ToUtf32(strText);
    size_t nStart = 0;
    bool bFirst = true;
    while (nStart < text.size()) {
        size_t nEnd = text.find(U'\n', nStart);
        if (nEnd == std::u32string::npos) nEnd = text.size();
        size_t nLineEnd = nEnd;
        if (nLineEnd > nStart && text[nLineEnd - 1] == U'\r') --nLineEnd;
        AddLine(text.substr(nStart, nLineEnd - nStart), bFirst);
        bFirst = false;
        nStart = nEnd + 1;
    }

    const std::string strPage = std::to_string(nPageNumber);
    std::string strLabel;
    AppendEscaped(strBook, strLabel);
    strLabel += "<br>";
    AppendEscaped(strVolume, strLabel);
    strLabel += "<br>" + strPage;
    const std::string strTextCell = "<TD width=450 vAlign=top>" + m_strCell + "</TD>";
    const std::string strLabelCell = "<TD width=80 vAlign=top align=\"center\">" + strLabel + "</TD>";

    m_strHtml = "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\"><title>";
    AppendEscaped(strBook + " " + strVolume + " " + strPage, m_strHtml);
    m_strHtml += "</title></head>\n<body><TABLE border=1 cellPadding=4 cellSpacing=1 width=635>\n<tr>";
    if (TextInFirstCell(nPageNumber))
        m_strHtml += strTextCell + strLabelCell;
    else
        m_strHtml += strLabelCell + strTextCell;
    m_strHtml += "</tr>\n</TABLE></body></html>\n";
}
