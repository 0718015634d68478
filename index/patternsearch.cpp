#include "index/patternsearch.h"

#include "index/index.h"
#include "text/codeconverter.h"

#include <algorithm>

namespace {

// Takes the character at strBuffer[i]: a surrogate pair is one character of
// two units; anything else (an unpaired surrogate included) is one unit.
char32_t CharAt(const std::u16string& s, size_t i, size_t& nUnits) {
    const char16_t* p = s.data() + i;
    const char16_t* pEnd = s.data() + std::min(s.size(), i + 2);
    char32_t c = 0;
    char32_t* q = &c;
    CCodeConverter::ConvertUtf16ToUtf32(&p, pEnd, &q, &c + 1, true);
    if (q == &c) {  // a high surrogate as the last unit
        nUnits = 1;
        return s[i];
    }
    nUnits = static_cast<size_t>(p - (s.data() + i));
    return c;
}

bool IsOneWildcard(char16_t u) { return u == u'?' || u == u'\uFF1F'; }

}  // namespace

bool CPatternSearch::Compile(const std::u16string& strPattern) {
    m_strBuffer.clear();
    m_terms.clear();
    m_segmentEnds.clear();
    m_nLength = 0;
    if (strPattern.size() > CIndex::MaxPatternUnits) return false;

    // Drop leading "*", keep one "*" of each run, close the last segment.
    for (char16_t u : strPattern) {
        if (u == u'*' && (m_strBuffer.empty() || m_strBuffer.back() == u'*')) continue;
        m_strBuffer.push_back(u);
    }
    if (!m_strBuffer.empty() && m_strBuffer.back() != u'*') m_strBuffer.push_back(u'*');

    // Remove the characters that have no slot.
    for (size_t i = 0; i < m_strBuffer.size();) {
        char16_t u = m_strBuffer[i];
        if (u == u'*' || u == u'?') {
            ++i;
            continue;
        }
        size_t nUnits = 1;
        char32_t c = CharAt(m_strBuffer, i, nUnits);
        if (CCodeConverter::IndexSlot(c) < 0)
            m_strBuffer.erase(i, nUnits);
        else
            i += nUnits;
    }

    // Terms and segments.
    uint32_t nOffset = 0;
    for (size_t i = 0; i < m_strBuffer.size();) {
        char16_t u = m_strBuffer[i];
        if (u == u'*') {
            // A segment without a term (only "?" between two "*", or a "*"
            // left next to another after the removal above) is dropped: its
            // "?" still widen the pattern, but it has no value to compare.
            if (m_segmentEnds.empty() ? !m_terms.empty() : m_segmentEnds.back() < m_terms.size())
                m_segmentEnds.push_back(m_terms.size());
            ++i;
            continue;
        }
        if (IsOneWildcard(u)) {
            ++nOffset;
            ++i;
            continue;
        }
        size_t nUnits = 1;
        char32_t c = CharAt(m_strBuffer, i, nUnits);
        i += nUnits;
        int32_t nSlot = CCodeConverter::IndexSlot(c);
        if (m_bUseVariants) m_index.MapVariantSlot(c, nSlot);
        SearchTerm term;
        if (!m_index.StartCursor(nSlot, term.cursor)) {
            m_terms.clear();
            m_segmentEnds.clear();
            return false;
        }
        term.lastPage = m_index.GetLastPage(nSlot);
        term.offset = nOffset++;
        m_terms.push_back(term);
    }
    m_nLength = nOffset;
    if (m_terms.empty()) return false;
    for (SearchTerm& term : m_terms) term.value = 0;
    return true;
}

uint64_t CPatternSearch::MaxValue(size_t nFrom, size_t nTo) const {
    uint64_t nMax = 0;
    for (size_t t = nFrom; t < nTo; ++t) nMax = std::max(nMax, m_terms[t].value);
    return nMax;
}

bool CPatternSearch::AnyBad() const {
    return std::any_of(m_terms.begin(), m_terms.end(), [](const SearchTerm& t) { return t.cursor.Bad(); });
}

void CPatternSearch::Run(bool bCountHits, std::vector<uint32_t>& foundPages, std::vector<uint32_t>& foundHits) {
    foundPages.clear();
    foundHits.clear();
    const size_t nTerms = m_terms.size();
    uint32_t n = 0;  // the page every term must reach
    for (SearchTerm& term : m_terms) {
        term.cursor.ReadPageHeader();
        // A page beyond the slot's last page can only come from a corrupt
        // stream: nothing after it can be trusted.
        if (term.cursor.Bad() || term.cursor.page > term.lastPage) return;
        n = std::max(n, term.cursor.page);
    }
    for (;;) {
        // Leapfrog: take the terms in turn, each up to n; a term that passes
        // n raises it, and the round starts again from that term. Pages that
        // not every term holds are skipped without decoding positions.
        size_t nAligned = 0;
        for (size_t t = 0; nAligned < nTerms; t = t + 1 == nTerms ? 0 : t + 1) {
            SearchTerm& term = m_terms[t];
            PostingCursor& cursor = term.cursor;
            while (cursor.page < n) {
                if (cursor.page == term.lastPage) return;  // no page can be shared any more
                cursor.SkipPositions();
                cursor.ReadPageHeader();
                if (cursor.Bad() || cursor.page > term.lastPage) return;
            }
            if (cursor.page > n) {
                n = cursor.page;
                nAligned = 1;
            } else {
                ++nAligned;
            }
        }
        uint32_t nHits = 0;
        const bool bHit = WorkPage(n, bCountHits, nHits);
        if (AnyBad()) return;
        if (bHit) {
            foundPages.push_back(n);
            if (bCountHits) foundHits.push_back(nHits);
        }
        // Every term stands on n: each must move on. A last page of
        // 0xFFFFFFFF cannot be followed by another.
        if (n == UINT32_MAX) return;
        ++n;
    }
}

// Works through page nPage, on which every term stands. Returns whether the
// pattern occurs there; nHits counts the occurrences when bCountHits.
bool CPatternSearch::WorkPage(uint32_t nPage, bool bCountHits, uint32_t& nHits) {
    (void)nPage;
    const size_t nTerms = m_terms.size();
    const size_t nSegments = m_segmentEnds.size();
    for (SearchTerm& term : m_terms)
        term.value = static_cast<uint64_t>(m_nLength - 1 - term.offset) + term.cursor.ReadPacked(true);
    if (AnyBad()) return false;

    // One term: every position is a hit, so counting them needs no values.
    if (nTerms == 1) {
        PostingCursor& cursor = m_terms[0].cursor;
        nHits = 1;
        if (bCountHits) {
            while (cursor.bytesLeft > 0 && !cursor.Bad()) {
                cursor.ReadPacked(true);
                ++nHits;
            }
        }
        return !cursor.Bad();
    }

    nHits = 0;
    for (;;) {
        uint64_t nTarget = MaxValue(0, m_segmentEnds[0]);
        size_t nFailed = 0;
        bool bFailed = false;

        // Segment check: the terms of each segment stand at one value.
        size_t nBegin = 0;
        for (size_t s = 0; s < nSegments && !bFailed; ++s) {
            for (size_t t = nBegin + 1; t < m_segmentEnds[s]; ++t) {
                if (m_terms[t].value != m_terms[nBegin].value) {
                    bFailed = true;
                    nFailed = s;
                    nTarget = MaxValue(0, m_segmentEnds[s]);
                    break;
                }
            }
            nBegin = m_segmentEnds[s];
        }
        // Order check: each segment follows the previous one within the gap.
        // When segment s + 1 stands too far ahead, only segment s (and
        // later terms behind it) can move: segment s's value cannot reach
        // any later value of segment s + 1, but earlier segments may still
        // pair with a later value of segment s. Moving them too (up to the
        // largest value of all terms) would skip real occurrences once a
        // pattern has two "*" or more.
        if (!bFailed) {
            for (size_t s = 0; s + 1 < nSegments; ++s) {
                uint64_t a = m_terms[m_segmentEnds[s] - 1].value;
                uint64_t b = m_terms[m_segmentEnds[s]].value;
                if (b < a) {
                    bFailed = true;
                    nFailed = s;
                    nTarget = MaxValue(0, m_segmentEnds[s]);
                    break;
                }
                if (b - a > CIndex::MaxGap) {
                    bFailed = true;
                    nFailed = s;
                    nTarget = b - CIndex::MaxGap;
                    break;
                }
            }
        }
        if (!bFailed) {
            ++nHits;
            if (!bCountHits) return true;
            nTarget += 1;
        }
        // Move the terms that lag behind the target, from the failed
        // segment on: every value passed over can no longer be part of an
        // occurrence.
        size_t nStart = nFailed > 0 ? m_segmentEnds[nFailed - 1] : 0;
        for (size_t t = nStart; t < nTerms; ++t) {
            SearchTerm& term = m_terms[t];
            if (term.value >= nTarget) continue;
            if (term.cursor.bytesLeft == 0) return nHits > 0;
            term.value += term.cursor.ReadPacked(true);
            if (term.cursor.Bad()) return nHits > 0;
        }
    }
}
