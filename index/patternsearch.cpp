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

uint64_t RotateLeft(uint64_t x, uint32_t n) { return n == 0 ? x : x << n | x >> (64 - n); }

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
        term.slot = nSlot;
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
    m_nDamagedSlot = -1;
    if (!RunWithDirectories(bCountHits, foundPages, foundHits)) RunByWalking(bCountHits, foundPages, foundHits);
    // Damage met: a directory that ended bad, a cursor that went bad or
    // past its slot's last page.
    for (const SlotUse& use : m_slots) {
        if (m_nDamagedSlot < 0 && use.pDirectory && use.pDirectory->EndsBad()) {
            m_nDamagedSlot = use.slot;
            m_nDamagedAfter = use.pDirectory->RecordCount() > 0 ? use.pDirectory->Pages().back() : NoPage;
        }
    }
    for (const SearchTerm& term : m_terms) {
        if (m_nDamagedSlot < 0 && (term.cursor.Bad() || term.cursor.page > term.lastPage)) {
            m_nDamagedSlot = term.slot;
            m_nDamagedAfter = term.cursor.Started() ? term.cursor.page : NoPage;
        }
    }
    m_slots.clear();  // the directories are the cache's again
}

bool CPatternSearch::Within(uint32_t nPage, size_t& nNext) const {
    if (!m_pWithin) return true;
    const std::vector<uint32_t>& within = *m_pWithin;
    nNext = static_cast<size_t>(std::lower_bound(within.begin() + static_cast<std::ptrdiff_t>(std::min(nNext, within.size())),
                                                 within.end(), nPage) -
                                within.begin());
    return nNext < within.size() && within[nNext] == nPage;
}

bool CPatternSearch::RunWithDirectories(bool bCountHits, std::vector<uint32_t>& foundPages,
                                        std::vector<uint32_t>& foundHits) {
    m_slots.clear();
    // Every slot is asked, so that each counts this search as a use (see
    // CSlotDirectoryCache), before the search walks for want of one.
    bool bAll = true;
    for (SearchTerm& term : m_terms) {
        size_t s = 0;
        while (s < m_slots.size() && m_slots[s].slot != term.slot) ++s;
        if (s == m_slots.size()) {
            SlotUse use;
            use.slot = term.slot;
            use.pDirectory = m_index.GetSlotDirectory(term.slot);
            bAll = bAll && use.pDirectory;
            m_slots.push_back(std::move(use));
        }
        term.use = s;
    }
    if (!bAll) {
        m_slots.clear();
        return false;
    }
    // A directory that ends bad stands where a cursor walking its chain
    // would go bad: the search ends there, as it does then.
    uint32_t nLimit = UINT32_MAX;
    for (const SlotUse& use : m_slots) {
        const CSlotDirectory& directory = *use.pDirectory;
        if (directory.RecordCount() == 0) return true;
        if (directory.EndsBad()) nLimit = std::min(nLimit, directory.Pages().back());
    }

    const PostingsView* pView = m_index.GetPostingsView();
    if (m_terms.size() == 1 && !m_pWithin) {
        // Every record holds a hit (at least one position), and how many is
        // known: no position needs reading.
        const CSlotDirectory& directory = *m_slots[0].pDirectory;
        foundPages = directory.Pages();
        if (bCountHits) foundHits.assign(directory.HitCounts().begin(), directory.HitCounts().end());
        return true;
    }
    FindCandidates(nLimit);
    PrepareMaskChecks();
    for (SlotUse& use : m_slots) use.next = 0;
    uint64_t nStamp = 0;
    // Finds the slot's record of the candidate page once per page.
    auto locate = [&](SlotUse& use, uint32_t nPage) {
        if (use.stamp == nStamp) return true;
        use.stamp = nStamp;
        const bool bHeld = use.pDirectory->Find(nPage, use.next, use.record);
        use.next = use.record;
        return bHeld;
    };
    const MaskCheck* const pChecks = m_maskChecks.data();
    const size_t nChecks = m_maskChecks.size();
    for (uint32_t nPage : m_candidates) {
        ++nStamp;
        // The masks first: a segment's terms must share a residue.
        bool bPossible = true;
        uint64_t nShared = ~uint64_t{0};
        for (size_t k = 0; k < nChecks; ++k) {
            const MaskCheck& check = pChecks[k];
            SlotUse& use = *check.pUse;
            if (!locate(use, nPage)) {
                bPossible = false;
                break;
            }
            nShared &= RotateLeft(check.pDirectory->Mask(use.record), check.nTurn);
            if (nShared == 0) {
                bPossible = false;
                break;
            }
            if (check.bLastOfSegment) nShared = ~uint64_t{0};
        }
        if (!bPossible) continue;
        bool bHeld = true;
        for (SlotUse& use : m_slots) {
            bHeld = locate(use, nPage);
            if (!bHeld) break;
        }
        if (!bHeld) continue;  // cannot happen: every slot holds a candidate
        if (m_terms.size() == 1) {
            foundPages.push_back(nPage);
            if (bCountHits) foundHits.push_back(m_slots[0].pDirectory->Hits(m_slots[0].record));
            continue;
        }
        for (SearchTerm& term : m_terms) {
            const SlotUse& use = m_slots[term.use];
            use.pDirectory->StartAt(pView, use.record, term.cursor);
        }
        uint32_t nHits = 0;
        const bool bHit = WorkPage(nPage, bCountHits, nHits);
        if (AnyBad()) return true;
        if (bHit) {
            foundPages.push_back(nPage);
            if (bCountHits) foundHits.push_back(nHits);
        }
    }
    return true;
}

// Fills m_maskChecks for the slots of this run (m_slots no longer changes).
void CPatternSearch::PrepareMaskChecks() {
    m_maskChecks.clear();
    size_t nBegin = 0;
    for (size_t nEnd : m_segmentEnds) {
        if (nEnd - nBegin >= 2) {
            const size_t nFirst = m_maskChecks.size();
            for (size_t t = nBegin; t < nEnd; ++t) {
                SlotUse& use = m_slots[m_terms[t].use];
                m_maskChecks.push_back({&use, use.pDirectory.get(), (m_nLength - 1 - m_terms[t].offset) % 64, false});
            }
            std::sort(m_maskChecks.begin() + static_cast<std::ptrdiff_t>(nFirst), m_maskChecks.end(),
                      [](const MaskCheck& a, const MaskCheck& b) {
                          return a.pDirectory->RecordCount() < b.pDirectory->RecordCount();
                      });
            m_maskChecks.back().bLastOfSegment = true;
        }
        nBegin = nEnd;
    }
}

// The pages up to nLimit that every slot holds (and that m_pWithin lists).
void CPatternSearch::FindCandidates(uint32_t nLimit) {
    m_candidates.clear();
    m_order.resize(m_slots.size());
    for (size_t s = 0; s < m_slots.size(); ++s) m_order[s] = s;
    std::sort(m_order.begin(), m_order.end(), [&](size_t a, size_t b) {
        return m_slots[a].pDirectory->RecordCount() < m_slots[b].pDirectory->RecordCount();
    });
    const CSlotDirectory& rarest = *m_slots[m_order[0]].pDirectory;

    const bool bAllBitmaps = std::all_of(m_slots.begin(), m_slots.end(),
                                         [](const SlotUse& use) { return use.pDirectory->HasBitmap(); });
    if (bAllBitmaps && m_slots.size() > 1 && !m_pWithin) {
        // Dense slots: AND their bitmaps a word at a time.
        size_t nWords = static_cast<size_t>(nLimit / 64) + 1;
        for (const SlotUse& use : m_slots) nWords = std::min(nWords, use.pDirectory->Bitmap().size());
        // A chunk at a time, so that the words stay in the first-level cache.
        // The first pass ANDs the two rarest slots, the last one ANDs the
        // most common slot while it takes the pages out: one pass over the
        // chunk per slot after the first.
        constexpr size_t ChunkWords = 256;
        uint64_t chunk[ChunkWords];
        const size_t nSlots = m_order.size();
        const uint64_t* pLast = m_slots[m_order[nSlots - 1]].pDirectory->Bitmap().data();
        for (size_t nFrom = 0; nFrom < nWords; nFrom += ChunkWords) {
            const size_t n = std::min(ChunkWords, nWords - nFrom);
            const uint64_t* pFirst = rarest.Bitmap().data() + nFrom;
            const uint64_t* pPartial = pFirst;  // the AND of every slot but the last
            if (nSlots > 2) {
                const uint64_t* pSecond = m_slots[m_order[1]].pDirectory->Bitmap().data() + nFrom;
                for (size_t w = 0; w < n; ++w) chunk[w] = pFirst[w] & pSecond[w];
                for (size_t k = 2; k + 1 < nSlots; ++k) {
                    const uint64_t* pOther = m_slots[m_order[k]].pDirectory->Bitmap().data() + nFrom;
                    for (size_t w = 0; w < n; ++w) chunk[w] &= pOther[w];
                }
                pPartial = chunk;
            }
            for (size_t w = 0; w < n; ++w) {
                for (uint64_t x = pPartial[w] & pLast[nFrom + w]; x != 0; x &= x - 1) {
                    const uint32_t nPage =
                        static_cast<uint32_t>((nFrom + w) * 64 + static_cast<size_t>(__builtin_ctzll(x)));
                    if (nPage > nLimit) return;
                    m_candidates.push_back(nPage);
                }
            }
        }
        return;
    }

    // Otherwise the rarest slot's pages (or the pages searched within, when
    // fewer), each looked up in the other slots, rarest first.
    for (SlotUse& use : m_slots) use.next = 0;
    size_t nWithinNext = 0;
    auto keep = [&](uint32_t nPage, size_t nFirstOther) {
        for (size_t k = nFirstOther; k < m_order.size(); ++k) {
            SlotUse& use = m_slots[m_order[k]];
            size_t nRecord = use.next;
            const bool bHeld = use.pDirectory->Find(nPage, use.next, nRecord);
            use.next = nRecord;
            if (!bHeld) return false;
        }
        return true;
    };
    if (m_pWithin && m_pWithin->size() < rarest.RecordCount()) {
        for (uint32_t nPage : *m_pWithin) {
            if (nPage > nLimit) break;
            if (keep(nPage, 0)) m_candidates.push_back(nPage);
        }
        return;
    }
    for (uint32_t nPage : rarest.Pages()) {
        if (nPage > nLimit) break;
        if (keep(nPage, 1) && Within(nPage, nWithinNext)) m_candidates.push_back(nPage);
    }
}

// One term: every record is a page found (it holds a position), and its
// hits are the numbers of its position data, read in one pass each. The
// same outcome as the walk below, which would read them one by one (and,
// when not counting, only the first).
void CPatternSearch::RunOneTermByWalking(bool bCountHits, std::vector<uint32_t>& foundPages,
                                         std::vector<uint32_t>& foundHits) {
    SearchTerm& term = m_terms[0];
    PostingCursor& cursor = term.cursor;
    size_t nWithinNext = 0;
    for (;;) {
        const uint32_t nHits = cursor.ReadRecord(bCountHits);
        if (cursor.Bad() || cursor.page > term.lastPage) return;
        if (!m_pWithin || Within(cursor.page, nWithinNext)) {
            foundPages.push_back(cursor.page);
            if (bCountHits) foundHits.push_back(nHits);
        }
        if (cursor.page == term.lastPage) return;
        if (cursor.bytesLeft > 0) cursor.SkipPositions();
    }
}

void CPatternSearch::RunByWalking(bool bCountHits, std::vector<uint32_t>& foundPages, std::vector<uint32_t>& foundHits) {
    if (m_terms.size() == 1) {
        RunOneTermByWalking(bCountHits, foundPages, foundHits);
        return;
    }
    size_t nWithinNext = 0;
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
        if (bHit && Within(n, nWithinNext)) {
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
    if (nSegments == 1) {
        // One segment (no "*"): the same steps as below, without the order
        // check. Every term must stand at one value.
        for (;;) {
            uint64_t nTarget = m_terms[0].value;
            bool bEqual = true;
            for (size_t t = 1; t < nTerms; ++t) {
                const uint64_t nValue = m_terms[t].value;
                if (nValue != nTarget) bEqual = false;
                if (nValue > nTarget) nTarget = nValue;
            }
            if (bEqual) {
                ++nHits;
                if (!bCountHits) return true;
                nTarget += 1;
            }
            for (SearchTerm& term : m_terms) {
                if (term.value >= nTarget) continue;
                if (term.cursor.bytesLeft == 0) return nHits > 0;
                term.value += term.cursor.ReadPacked(true);
                if (term.cursor.Bad()) return nHits > 0;
            }
        }
    }
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
