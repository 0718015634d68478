#include "model/historyentry.h"

#include "model/contentstree.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

std::u16string StepOptions(const SearchStepTag& step) {
    std::u16string out = step.bOr ? u"or" : u"and";
    out += step.bVariants ? u"・異体字" : u"・異体字なし";
    switch (step.ePart) {
    case TextPart::MainText:
        out += u"・正文";
        break;
    case TextPart::Annotations:
        out += u"・注釈";
        break;
    default:
        out += u"・全文";
        break;
    }
    return out;
}

const char16_t* const kParts[] = {u"whole", u"main", u"annotations"};  // by TextPart

// Whether s[nAt..] starts with strWord; moves nAt past it if so.
bool Take(const std::u16string& s, size_t& nAt, std::u16string_view strWord) {
    if (s.compare(nAt, strWord.size(), strWord) != 0) return false;
    nAt += strWord.size();
    return true;
}

}  // namespace

std::u16string CHistoryEntry::EncodeRequest(const SearchRequestTag& request) {
    std::u16string out = u"range=";
    for (char c : std::to_string(request.nRange)) out.push_back(static_cast<char16_t>(c));
    for (const SearchStepTag& step : request.steps) {
        out += step.bOr ? u"\nor," : u"\nand,";
        out += step.bVariants ? u"variants," : u"exact,";
        const int nPart = static_cast<int>(step.ePart);
        out += kParts[nPart >= 0 && nPart <= 2 ? nPart : 0];
        out += u':';
        for (char16_t u : step.keywords) {
            if (u == u'\\')
                out += u"\\\\";
            else if (u == u'\n')
                out += u"\\n";
            else
                out.push_back(u);
        }
    }
    return out;
}

bool CHistoryEntry::DecodeRequest(const std::u16string& s, SearchRequestTag& request) {
    SearchRequestTag decoded;
    size_t nAt = 0;
    if (!Take(s, nAt, u"range=")) return false;
    int64_t nRange = 0;
    const size_t nDigits = nAt;
    while (nAt < s.size() && s[nAt] >= u'0' && s[nAt] <= u'9' && nAt - nDigits < 10) nRange = nRange * 10 + (s[nAt++] - u'0');
    if (nAt == nDigits || nRange > INT32_MAX || (nAt < s.size() && s[nAt] != u'\n')) return false;
    decoded.nRange = static_cast<int32_t>(nRange);
    while (nAt < s.size()) {
        ++nAt;  // the line break
        if (decoded.steps.size() >= MaxSteps) return false;
        SearchStepTag step;
        if (Take(s, nAt, u"or,"))
            step.bOr = true;
        else if (!Take(s, nAt, u"and,"))
            return false;
        if (Take(s, nAt, u"exact,"))
            step.bVariants = false;
        else if (!Take(s, nAt, u"variants,"))
            return false;
        bool bPart = false;
        for (int nPart = 0; nPart < 3 && !bPart; ++nPart) {
            if (Take(s, nAt, kParts[nPart])) {
                step.ePart = static_cast<TextPart>(nPart);
                bPart = true;
            }
        }
        if (!bPart || !Take(s, nAt, u":")) return false;
        for (; nAt < s.size() && s[nAt] != u'\n'; ++nAt) {
            char16_t u = s[nAt];
            if (u == u'\\') {
                if (++nAt >= s.size() || (s[nAt] != u'\\' && s[nAt] != u'n')) return false;
                u = s[nAt] == u'n' ? u'\n' : u'\\';
            }
            if (step.keywords.size() >= MaxKeywordUnits) return false;
            step.keywords.push_back(u);
        }
        decoded.steps.push_back(std::move(step));
    }
    if (decoded.steps.empty()) return false;
    request = std::move(decoded);
    return true;
}

std::u16string CHistoryEntry::Chain(const SearchRequestTag& request) {
    std::u16string out;
    for (const SearchStepTag& step : request.steps) {
        std::u16string strShown = step.keywords;
        std::replace(strShown.begin(), strShown.end(), u'\u3000', u' ');
        if (!out.empty()) out += u" → ";
        out += strShown;
    }
    return out;
}

std::u16string CHistoryEntry::Options(const SearchRequestTag& request) {
    if (request.steps.empty()) return std::u16string();
    const std::u16string strFirst = StepOptions(request.steps.front());
    bool bAllSame = true;
    for (const SearchStepTag& step : request.steps) bAllSame = bAllSame && StepOptions(step) == strFirst;
    if (bAllSame) return strFirst;
    std::u16string out;
    for (const SearchStepTag& step : request.steps) {
        if (!out.empty()) out += u" → ";
        out += StepOptions(step);
    }
    return out;
}

int32_t CHistoryEntry::FindRange(const CContentsTree& tree, int32_t nSlot, const std::u16string& strLabel) {
    if (nSlot >= 1 && tree.FindRangeNode(nSlot) && (strLabel.empty() || tree.RangeLabel(nSlot) == strLabel))
        return nSlot;
    if (strLabel.empty()) return 0;
    for (int32_t n = 1; n <= tree.GetRecordCount(); ++n)
        if (tree.FindRangeNode(n) && tree.RangeLabel(n) == strLabel) return n;
    return 0;
}
