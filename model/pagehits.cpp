#include "model/pagehits.h"

#include "index/index.h"
#include "text/codeconverter.h"
#include "text/varianttable.h"

#include <algorithm>

CPageHits::CPageHits(const std::u16string& strPattern, const CVariantTable* pVariants) : m_pVariants(pVariants) {
    if (strPattern.size() > CIndex::MaxPatternUnits) return;
    std::vector<Term> segment;
    for (char32_t c : CCodeConverter::Utf16ToUtf32(strPattern)) {
        if (c == U'*') {
            if (!segment.empty()) m_segments.push_back(segment);
            segment.clear();
        } else if (c == U'?' || c == U'\uFF1F') {
            ++m_nLength;
        } else if (CCodeConverter::IndexSlot(c) >= 0) {
            int32_t nGroupSlot = -1;
            if (m_pVariants) m_pVariants->MapVariantSlot(c, nGroupSlot);
            segment.push_back({c, nGroupSlot, m_nLength++});
        }
    }
    if (!segment.empty()) m_segments.push_back(segment);
}

bool CPageHits::Matches(const Term& term, char32_t c) const {
    if (term.nGroupSlot < 0) return c == term.c;
    int32_t nSlot = -1;
    return m_pVariants->MapVariantSlot(c, nSlot) && nSlot == term.nGroupSlot;
}

void CPageHits::Find(const std::vector<PositionedChar>& chars, TextPart ePart, std::vector<HitSpan>& hits) const {
    hits.clear();
    if (m_segments.empty()) return;
    // The characters the part's index holds: those with a slot, of the part.
    std::vector<const PositionedChar*> scoped;
    for (const PositionedChar& ch : chars) {
        if (CCodeConverter::IndexSlot(ch.c) < 0) continue;
        if (ePart == TextPart::MainText && ch.annotation) continue;
        if (ePart == TextPart::Annotations && !ch.annotation) continue;
        scoped.push_back(&ch);
    }
    auto at = [&scoped](uint64_t nPosition) -> const PositionedChar* {
        auto it = std::lower_bound(scoped.begin(), scoped.end(), nPosition,
                                   [](const PositionedChar* p, uint64_t n) { return p->position < n; });
        return it != scoped.end() && (*it)->position == nPosition ? *it : nullptr;
    };
    // Where each segment occurs: the value of its places, aligned to the
    // pattern's end (a term at position p has the value p + P - 1 - offset).
    const uint64_t nLast = m_nLength - 1;
    std::vector<std::vector<uint64_t>> values(m_segments.size());
    for (size_t s = 0; s < m_segments.size(); ++s) {
        const std::vector<Term>& segment = m_segments[s];
        for (const PositionedChar* pChar : scoped) {
            if (!Matches(segment[0], pChar->c)) continue;
            const uint64_t nValue = pChar->position + nLast - segment[0].nOffset;
            bool bAll = true;
            for (size_t t = 1; t < segment.size() && bAll; ++t) {
                const uint64_t nShift = nLast - segment[t].nOffset;
                const PositionedChar* pOther = nValue >= nShift ? at(nValue - nShift) : nullptr;
                bAll = pOther && Matches(segment[t], pOther->c);
            }
            if (bAll) values[s].push_back(nValue);
        }
    }
    // Keep the places from which the later segments can follow.
    for (size_t s = values.size() - 1; s-- > 0;) {
        std::vector<uint64_t> kept;
        for (uint64_t a : values[s]) {
            auto it = std::lower_bound(values[s + 1].begin(), values[s + 1].end(), a);
            if (it != values[s + 1].end() && *it - a <= CIndex::MaxGap) kept.push_back(a);
        }
        values[s] = std::move(kept);
    }
    for (uint64_t a : values[0]) {
        uint64_t nEnd = a;
        for (size_t s = 1; s < values.size(); ++s) nEnd = *std::lower_bound(values[s].begin(), values[s].end(), nEnd);
        hits.push_back({a >= nLast ? a - nLast : 0, nEnd});
    }
}
