#include "model/searchforms.h"

#include "index/index.h"
#include "model/keywordcheck.h"
#include "text/codeconverter.h"

#include <algorithm>

namespace {

bool IsWildcard(char32_t c) { return c == U'*' || c == U'?' || c == U'\uFF1F'; }

std::string Utf8(const std::u16string& s) { return CCodeConverter::Utf16ToUtf8(s); }

}  // namespace

void CSearchForms::Build(const CIndex& index, const std::u16string& strKeywords, bool bUseVariants,
                         const ContentsNodeTag& range, Counts eCounts) {
    m_keywords.clear();
    const CVariantTable& table = index.GetVariants();
    // The range's pages: docID is the 1-based number of its first page.
    const uint32_t nFirstPage = range.docID > 0 ? static_cast<uint32_t>(range.docID - 1) : 0;
    const uint32_t nEndPage = nFirstPage + static_cast<uint32_t>(std::max(range.docNo, 0));
    for (const std::u16string& strTerm : CKeywordCheck::Terms(strKeywords)) {
        Keyword keyword;
        keyword.text = strTerm;

        size_t nCharacters = 0;
        for (char32_t c : CCodeConverter::Utf16ToUtf32(keyword.text)) {
            std::vector<std::u16string> forms(1);
            CCodeConverter::AppendUtf16(c, forms[0]);
            if (bUseVariants && !IsWildcard(c)) {
                for (char32_t v : table.VariantsOf(c)) {
                    if (v == c) continue;
                    forms.emplace_back();
                    CCodeConverter::AppendUtf16(v, forms.back());
                }
            }
            nCharacters += IsWildcard(c) ? 0 : 1;
            keyword.characters.push_back(std::move(forms));
        }
        m_keywords.push_back(std::move(keyword));
    }
    // Each count reads a chain of the index (the first time, all of it):
    // where the line will not show, it is not worth it.
    if (eCounts == Counts::WhereShown && !HasOtherForms()) return;
    for (Keyword& keyword : m_keywords) {
        // One character (not a wildcard): each of its forms is counted.
        if (keyword.characters.size() != 1 || IsWildcard(CCodeConverter::Utf16ToUtf32(keyword.text).front())) continue;
        for (const std::u16string& strForm : keyword.characters[0]) {
            FormCount count;
            count.form = strForm;
            index.CountPattern(strForm, false, nFirstPage, nEndPage, count.pages, count.places);
            keyword.counts.push_back(count);
        }
        // Most pages first; the typed form, then group order, among equals.
        std::stable_sort(keyword.counts.begin(), keyword.counts.end(),
                         [](const FormCount& a, const FormCount& b) { return a.pages > b.pages; });
    }
}

bool CSearchForms::HasOtherForms() const {
    for (const Keyword& keyword : m_keywords)
        for (const std::vector<std::u16string>& forms : keyword.characters)
            if (forms.size() > 1) return true;
    return false;
}

std::string CSearchForms::FormatLine() const {
    std::string out;
    for (const Keyword& keyword : m_keywords) {
        if (!out.empty()) out += "\u3000";
        out += Utf8(keyword.text) + ": ";
        if (!keyword.counts.empty()) {
            for (size_t i = 0; i < keyword.counts.size(); ++i) {
                const FormCount& count = keyword.counts[i];
                out += (i ? " · " : "") + Utf8(count.form) + " " + std::to_string(count.pages) + " 頁";
                if (count.places > 0) out += " " + std::to_string(count.places) + " 箇所";
            }
            continue;
        }
        for (const std::vector<std::u16string>& forms : keyword.characters) {
            if (forms.size() == 1) {
                out += Utf8(forms[0]);
                continue;
            }
            out += "[";
            for (const std::u16string& strForm : forms) out += Utf8(strForm);
            out += "]";
        }
    }
    return out;
}
