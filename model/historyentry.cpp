#include "model/historyentry.h"

#include "model/contentstree.h"

#include <algorithm>

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

}  // namespace

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

bool CHistoryEntry::SameStep(const SearchStepTag& a, const SearchStepTag& b) {
    return a.keywords == b.keywords && a.bOr == b.bOr && a.bVariants == b.bVariants && a.ePart == b.ePart;
}

bool CHistoryEntry::IsStepBack(const SearchRequestTag& earlier, const SearchRequestTag& later) {
    if (later.steps.empty() || later.steps.size() >= earlier.steps.size() || later.nRange != earlier.nRange)
        return false;
    for (size_t i = 0; i < later.steps.size(); ++i)
        if (!SameStep(earlier.steps[i], later.steps[i])) return false;
    return true;
}
