#pragma once

#include "corpus/pagepositions.h"
#include "corpus/textparts.h"

#include <cstdint>
#include <string>
#include <vector>

class CVariantTable;

// One occurrence of a pattern on a page: the positions of its first place
// and of its last (of the whole match, gaps of "*" included).
struct HitSpan {
    uint64_t first = 0;
    uint64_t last = 0;
};

// Finds a pattern's occurrences in a page's positioned characters by the
// search's own rules, so that a page gives exactly the hits the index
// counts for it: characters without an index slot are dropped from the
// pattern and take no place; "?" (or "？") takes one place, whatever stands
// there; "*" cuts the pattern into segments, each following the one before
// within 0 to 300 positions; with variants a character of a group matches
// every member of it. An occurrence is counted once for each place of its
// first segment from which the rest can follow; its span runs to the
// nearest such completion.
class CPageHits {
public:
    // pVariants null: variants off. REQUIRES: *pVariants outlives the object.
    CPageHits(const std::u16string& strPattern, const CVariantTable* pVariants);

    // Whether the pattern can match at all (as CPatternSearch::Compile).
    bool Valid() const { return !m_segments.empty(); }

    // The occurrences among chars (positions ascending) of the text part's
    // characters, in the order of their first places.
    void Find(const std::vector<PositionedChar>& chars, TextPart ePart, std::vector<HitSpan>& hits /* OUT */) const;

private:
    struct Term {
        char32_t c;
        int32_t nGroupSlot;  // -1: matched exactly
        uint32_t nOffset;    // its place in the pattern
    };
    bool Matches(const Term& term, char32_t c) const;

    const CVariantTable* m_pVariants;
    std::vector<std::vector<Term>> m_segments;
    uint32_t m_nLength = 0;  // the pattern's places (P)
};
