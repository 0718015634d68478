#include "model/searchchain.h"

#include "index/index.h"
#include "text/codeconverter.h"

#include <algorithm>

CSearchChain::Searched CSearchChain::Search(CIndex& index, const SearchStepTag& step) {
    Searched searched;
    searched.step = step;
    searched.strSearched = step.keywords;
    if (step.bOr)
        index.SearchOr(searched.strSearched, true, step.bVariants);
    else
        index.SearchAnd(searched.strSearched, true, step.bVariants);
    searched.pages = index.GetResultPages();
    searched.hits = index.GetResultHits();
    searched.hits.resize(searched.pages.size(), 0);
    return searched;
}

void CSearchChain::Start(CIndex& index, const SearchStepTag& step) {
    m_steps.clear();
    m_steps.push_back(Search(index, step));
}

void CSearchChain::Narrow(CIndex& index, const SearchStepTag& step) {
    if (m_steps.empty()) {
        Start(index, step);
        return;
    }
    Searched searched = Search(index, step);
    std::vector<uint32_t> before(m_steps.back().pages);
    std::sort(before.begin(), before.end());
    size_t nKept = 0;
    for (size_t i = 0; i < searched.pages.size(); ++i) {
        if (!std::binary_search(before.begin(), before.end(), searched.pages[i])) continue;
        searched.pages[nKept] = searched.pages[i];
        searched.hits[nKept] = searched.hits[i];
        ++nKept;
    }
    searched.pages.resize(nKept);
    searched.hits.resize(nKept);
    m_steps.push_back(std::move(searched));
}

bool CSearchChain::StepBack() {
    if (m_steps.size() < 2) return false;
    m_steps.pop_back();
    return true;
}

std::string CSearchChain::FormatChain() const {
    std::string out;
    for (const Searched& step : m_steps) {
        std::u16string strShown = step.step.keywords;
        std::replace(strShown.begin(), strShown.end(), u'\u3000', u' ');
        if (!out.empty()) out += " → ";
        out += CCodeConverter::Utf16ToUtf8(strShown);
    }
    return out;
}
