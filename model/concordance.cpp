#include "model/concordance.h"

#include "corpus/filelist.h"
#include "corpus/pagepositions.h"
#include "index/index.h"
#include "model/citation.h"
#include "model/hitparts.h"
#include "model/keywordcheck.h"
#include "model/pagehits.h"
#include "text/codeconverter.h"

#include <algorithm>

namespace {

// The characters of chars[nFrom .. nTo] as UTF-16.
std::u16string Text(const std::vector<PositionedChar>& chars, size_t nFrom, size_t nTo) {
    std::u16string s;
    for (size_t i = nFrom; i <= nTo && i < chars.size(); ++i) CCodeConverter::AppendUtf16(chars[i].c, s);
    return s;
}

bool Continues(const PositionedChar& a, const PositionedChar& b) { return a.position + 1 == b.position; }

std::string CsvField(const std::u16string& s) {
    std::string out = "\"";
    for (char c : CCodeConverter::Utf16ToUtf8(s)) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

std::string TsvField(const std::u16string& s) {
    std::string out = CCodeConverter::Utf16ToUtf8(s);
    for (char& c : out)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    return out;
}

std::u16string Decimal(int64_t n) {
    std::u16string s;
    for (char c : std::to_string(n)) s.push_back(static_cast<char16_t>(c));
    return s;
}

// Whether a keyword form marks text: each character equal, "?" (or "？")
// one character, "*" any run.
bool FormMatches(const std::u32string& form, size_t f, const std::u32string& text, size_t t) {
    for (; f < form.size(); ++f, ++t) {
        if (form[f] == U'*') {
            for (size_t n = t; n <= text.size(); ++n)
                if (FormMatches(form, f + 1, text, n)) return true;
            return false;
        }
        if (t >= text.size() || (form[f] != U'?' && form[f] != U'\uFF1F' && form[f] != text[t])) return false;
    }
    return t == text.size();
}

}  // namespace

void CConcordance::Start(CIndex& index, std::vector<int32_t> pages, const std::u16string& strKeywords,
                         bool bUseVariants, TextPart ePart, int nContext) {
    m_pIndex = &index;
    if (!std::is_sorted(pages.begin(), pages.end())) std::sort(pages.begin(), pages.end());
    pages.erase(std::unique(pages.begin(), pages.end()), pages.end());
    m_pages = std::move(pages);
    m_terms = CKeywordCheck::Terms(strKeywords);
    m_bUseVariants = bUseVariants;
    m_ePart = ePart;
    m_nContext = std::max(0, nContext);
    m_nNext = 0;
    m_rows.clear();
    m_eOrder = Order::Place;
}

bool CConcordance::Continue(size_t nPages) {
    if (!m_pIndex || Done()) return false;
    const CVariantTable* pVariants =
        m_bUseVariants && !m_pIndex->GetVariants().Empty() ? &m_pIndex->GetVariants() : nullptr;
    std::vector<CPageHits> finders;
    for (const std::u16string& strTerm : m_terms) finders.emplace_back(strTerm, pVariants);
    std::string strPage;
    std::vector<PositionedChar> chars;
    std::vector<HitSpan> hits;
    for (size_t n = 0; n < nPages && !Done(); ++n) {
        const int32_t nPage = m_pages[m_nNext++];
        int nParity = 0;
        if (!m_pIndex->GetFileList().ReadPageForRendering(nPage, strPage, nParity)) continue;
        CPagePositions::Read(strPage, nParity, chars);
        const size_t nPageRows = m_rows.size();
        for (uint32_t t = 0; t < finders.size(); ++t) {
            finders[t].Find(chars, m_ePart, hits);
            for (const HitSpan& hit : hits) {
                auto byPosition = [](const PositionedChar& ch, uint64_t n) { return ch.position < n; };
                const size_t i0 = static_cast<size_t>(std::lower_bound(chars.begin(), chars.end(), hit.first, byPosition) - chars.begin());
                const size_t iEnd = static_cast<size_t>(std::lower_bound(chars.begin(), chars.end(), hit.last + 1, byPosition) - chars.begin());
                if (i0 >= iEnd) continue;  // cannot be: the span holds its terms
                const size_t i1 = iEnd - 1;
                ConcordanceRowTag row;
                row.pageIndex = nPage;
                row.position = hit.first;
                row.term = t;
                row.annotation = chars[i0].annotation;
                row.keyword = Text(chars, i0, i1);
                // The context: the hit's line; for the main text its main
                // text, annotations skipped; for an annotation that one.
                std::u16string left;
                size_t nLeft = 0;
                for (size_t j = i0, nPrevious = i0; j-- > 0 && nLeft < static_cast<size_t>(m_nContext);) {
                    const PositionedChar& ch = chars[j];
                    if (ch.line != chars[i0].line) break;
                    if (row.annotation) {
                        if (!ch.annotation || !Continues(ch, chars[nPrevious])) break;
                    } else if (ch.annotation) {
                        continue;
                    }
                    std::u16string one;
                    CCodeConverter::AppendUtf16(ch.c, one);
                    left.insert(0, one);
                    ++nLeft;
                    nPrevious = j;
                }
                row.left = std::move(left);
                size_t nRight = 0;
                for (size_t j = i1 + 1, nPrevious = i1; j < chars.size() && nRight < static_cast<size_t>(m_nContext); ++j) {
                    const PositionedChar& ch = chars[j];
                    if (ch.line != chars[i1].line) break;
                    if (row.annotation) {
                        if (!ch.annotation || !Continues(chars[nPrevious], ch)) break;
                    } else if (ch.annotation) {
                        continue;
                    }
                    CCodeConverter::AppendUtf16(ch.c, row.right);
                    ++nRight;
                    nPrevious = j;
                }
                m_rows.push_back(std::move(row));
            }
        }
        // Within a page: by place, then by keyword.
        std::stable_sort(m_rows.begin() + static_cast<std::ptrdiff_t>(nPageRows), m_rows.end(),
                         [](const ConcordanceRowTag& a, const ConcordanceRowTag& b) { return a.position < b.position; });
    }
    return !Done();
}

bool CConcordance::Build(CIndex& index, std::vector<int32_t> pages, const std::u16string& strKeywords,
                         bool bUseVariants, TextPart ePart, int nContext, const ProgressCallback& progress) {
    Start(index, std::move(pages), strKeywords, bUseVariants, ePart, nContext);
    while (Continue(1024))
        if (progress && !progress(m_nNext, m_pages.size())) return false;
    return !progress || progress(m_nNext, m_pages.size());
}

void CConcordance::Sort(Order eOrder) {
    m_eOrder = eOrder;
    auto place = [](const ConcordanceRowTag& a, const ConcordanceRowTag& b) {
        if (a.pageIndex != b.pageIndex) return a.pageIndex < b.pageIndex;
        if (a.position != b.position) return a.position < b.position;
        return a.term < b.term;
    };
    switch (eOrder) {
    case Order::Place: std::stable_sort(m_rows.begin(), m_rows.end(), place); break;
    case Order::Right:
        std::stable_sort(m_rows.begin(), m_rows.end(), [&place](const ConcordanceRowTag& a, const ConcordanceRowTag& b) {
            if (a.right != b.right) return a.right < b.right;
            if (a.keyword != b.keyword) return a.keyword < b.keyword;
            return place(a, b);
        });
        break;
    case Order::Left:
        std::stable_sort(m_rows.begin(), m_rows.end(), [&place](const ConcordanceRowTag& a, const ConcordanceRowTag& b) {
            // The left context read backwards, from the keyword out.
            const bool bLess = std::lexicographical_compare(a.left.rbegin(), a.left.rend(), b.left.rbegin(), b.left.rend());
            if (bLess || a.left != b.left) return bLess;
            if (a.keyword != b.keyword) return a.keyword < b.keyword;
            return place(a, b);
        });
        break;
    }
}

int32_t CConcordance::AnchorOf(size_t i) const {
    const ConcordanceRowTag& row = m_rows.at(i);
    std::string strPage;
    int nParity = 0;
    if (!m_pIndex || !m_pIndex->GetFileList().ReadPageForRendering(row.pageIndex, strPage, nParity)) return 0;
    std::u16string strKeywords;
    for (const std::u16string& strTerm : m_terms) strKeywords += (strKeywords.empty() ? u"" : u" ") + strTerm;
    const std::u16string strDisplay = m_pIndex->DisplayKeywords(strKeywords, m_bUseVariants, strPage);

    // The forms in the order the display applies them, once each.
    std::vector<std::u16string> forms;
    for (size_t nStart = 0; nStart <= strDisplay.size();) {
        size_t nEnd = strDisplay.find_first_of(u" \u3000", nStart);
        if (nEnd == std::u16string::npos) nEnd = strDisplay.size();
        std::u16string strForm = strDisplay.substr(nStart, nEnd - nStart);
        if (!strForm.empty() && std::find(forms.begin(), forms.end(), strForm) == forms.end())
            forms.push_back(std::move(strForm));
        nStart = nEnd + 1;
    }
    std::vector<std::u32string> forms32;
    for (const std::u16string& strForm : forms) forms32.push_back(CCodeConverter::Utf16ToUtf32(strForm));
    auto formOf = [&](const ConcordanceRowTag& r) -> size_t {
        const std::u32string text = CCodeConverter::Utf16ToUtf32(r.keyword);
        for (size_t f = 0; f < forms32.size(); ++f)
            if (FormMatches(forms32[f], 0, text, 0)) return f;
        return forms32.size();
    };
    const size_t nForm = formOf(row);

    // The occurrence's place among the rows of its page that its form marks.
    int32_t nOrdinal = 0;
    for (const ConcordanceRowTag& other : m_rows)
        if (other.pageIndex == row.pageIndex && other.position < row.position &&
            (nForm == forms32.size() || formOf(other) == nForm))
            ++nOrdinal;

    auto marks = [&](size_t nForms) -> int32_t {
        std::u16string strPrefix;
        for (size_t f = 0; f < nForms && f < forms.size(); ++f) strPrefix += (f ? u" " : u"") + forms[f];
        std::string strOut;
        return strPrefix.empty() ? 0 : CFileList::RenderBytes(strPage, strOut, strPrefix, nParity, m_ePart);
    };
    if (nForm == forms32.size()) {
        // No form marks it alone: its place among the page's rows.
        const int32_t nAll = marks(forms.size());
        return nAll == 0 ? 0 : std::min(nOrdinal, nAll - 1);
    }
    const int32_t nBefore = marks(nForm);
    const int32_t nThrough = marks(nForm + 1);
    if (nThrough > nBefore) return nBefore + std::min(nOrdinal, nThrough - nBefore - 1);
    return nBefore > 0 ? nBefore - 1 : 0;
}

bool CConcordance::ParseOrder(const std::string& strName, Order& eOrder) {
    if (strName == "place")
        eOrder = Order::Place;
    else if (strName == "right")
        eOrder = Order::Right;
    else if (strName == "left")
        eOrder = Order::Left;
    else
        return false;
    return true;
}

const std::vector<std::u16string>& CConcordance::ColumnTitles() {
    static const std::vector<std::u16string> kTitles = {u"左文脈", u"キーワード", u"右文脈", u"書名",
                                                        u"巻",     u"頁",         u"正文/注釈", u"引用"};
    return kTitles;
}

std::string CConcordance::ExportHeader(Format eFormat) {
    const std::vector<std::u16string>& columns = ColumnTitles();
    std::string out = eFormat == Format::Csv ? "\xEF\xBB\xBF" : "";
    for (size_t i = 0; i < columns.size(); ++i) {
        if (i) out += eFormat == Format::Csv ? "," : "\t";
        out += eFormat == Format::Csv ? CsvField(columns[i]) : TsvField(columns[i]);
    }
    return out + (eFormat == Format::Csv ? "\r\n" : "\n");
}

std::string CConcordance::ExportRow(size_t i, Format eFormat, const CCitation& citation) const {
    const ConcordanceRowTag& row = m_rows[i];
    CCitation::Place place;
    citation.Locate(row.pageIndex, place);
    const std::u16string fields[] = {row.left,
                                     row.keyword,
                                     row.right,
                                     place.strBook,
                                     place.strVolume,
                                     place.nPageNumber ? Decimal(place.nPageNumber) : u"",
                                     CHitParts::Label(row.annotation ? CHitParts::Annotations : CHitParts::MainText),
                                     citation.Format(row.pageIndex)};
    std::string out;
    for (size_t f = 0; f < std::size(fields); ++f) {
        if (f) out += eFormat == Format::Csv ? "," : "\t";
        out += eFormat == Format::Csv ? CsvField(fields[f]) : TsvField(fields[f]);
    }
    return out + (eFormat == Format::Csv ? "\r\n" : "\n");
}

std::string CConcordance::Export(Format eFormat, const CCitation& citation, const ProgressCallback& progress) const {
    std::string out = ExportHeader(eFormat);
    out.reserve(m_rows.size() * 96);
    for (size_t i = 0; i < m_rows.size(); ++i) {
        out += ExportRow(i, eFormat, citation);
        if (progress && i % 4096 == 4095 && !progress(i + 1, m_rows.size())) return "";
    }
    return out;
}
