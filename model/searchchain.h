#pragma once

#include "corpus/textparts.h"

#include <cstdint>
#include <string>
#include <vector>

class CIndex;

// One search of a chain: its keywords and options.
struct SearchStepTag {
    std::u16string keywords;  // as typed (spaces ASCII or ideographic)
    bool bOr = false;         // pages with any keyword, else with every one
    bool bVariants = true;
    TextPart ePart = TextPart::WholeText;
};

// A search as a reader asked for it: a first search, then each search
// within the results before it (結果内検索), over a range of the catalogue.
struct SearchRequestTag {
    std::vector<SearchStepTag> steps;
    int32_t nRange = 1;  // catalogue slot
};

// The chain of searches within results: a first search, then searches that
// keep only the pages of the result before them which also match their own
// keywords. Each step keeps its pages and hits, so that a step back restores
// the result before it without searching again. A page's hits are those of
// the last step's keywords (the ones its result pages mark). No user
// interface: the window and the command line both use it.
class CSearchChain {
public:
    // Starts a new chain with step, searched in index (opened for the step's
    // text part).
    void Start(CIndex& index, const SearchStepTag& step);
    // Searches step within the last result. REQUIRES: !Empty().
    void Narrow(CIndex& index, const SearchStepTag& step);
    // Drops the last step; false (nothing changed) when one step or none
    // is left.
    bool StepBack();
    void Clear() { m_steps.clear(); }

    bool Empty() const { return m_steps.empty(); }
    size_t StepCount() const { return m_steps.size(); }
    SearchStepTag Step(size_t i) const { return m_steps.at(i).step; }
    // The keywords of the last step as the index rewrote them (spaces as
    // U+3000), the pages of the last result (the index's order) and their
    // hits, parallel to them.
    const std::u16string& Keywords() const { return m_steps.back().strSearched; }
    const std::vector<uint32_t>& Pages() const { return m_steps.back().pages; }
    const std::vector<uint32_t>& Hits() const { return m_steps.back().hits; }

    // "春風 → 明月": each step's keywords (U+3000 shown as a space), oldest
    // first; empty for no step.
    std::string FormatChain() const;

private:
    struct Searched {
        SearchStepTag step;
        std::u16string strSearched;
        std::vector<uint32_t> pages;
        std::vector<uint32_t> hits;
    };
    static Searched Search(CIndex& index, const SearchStepTag& step);

    std::vector<Searched> m_steps;
};
