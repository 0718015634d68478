#include "corpus/hitmarker.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

namespace {

// The first occurrence of a needle at or after a position, remembered: the
// scan asks with positions that never decrease, so an answer at or beyond
// the new position is still the first one.
class CForwardFinder {
public:
    CForwardFinder(std::string_view text, std::string_view needle) : m_text(text), m_needle(needle) {}

    size_t Find(size_t nFrom) {
        if (!m_bValid || (m_nFound != std::string_view::npos && m_nFound < nFrom) || nFrom < m_nFrom) {
            m_nFound = m_text.find(m_needle, nFrom);
            m_nFrom = nFrom;
            m_bValid = true;
        }
        return m_nFound;
    }

    // The last occurrence, or npos.
    size_t Last() {
        if (!m_bLastValid) {
            m_nLast = m_text.rfind(m_needle);
            m_bLastValid = true;
        }
        return m_nLast;
    }

private:
    std::string_view m_text;
    std::string_view m_needle;
    size_t m_nFound = std::string_view::npos;
    size_t m_nFrom = 0;
    size_t m_nLast = std::string_view::npos;
    bool m_bValid = false;
    bool m_bLastValid = false;
};

}  // namespace

void CHitMarker::AppendAnchor(int nNumber, std::string& strOut) {
    char sz[48];
    int n = std::snprintf(sz, sizeof sz, "<a name=\"%04d\"></a>", nNumber);
    strOut.append(sz, static_cast<size_t>(n));
}

std::vector<FilterItem> CHitMarker::BuildFilter(const std::string& strKeyword) {
    std::vector<FilterItem> items;
    size_t nStart = 0;
    while (nStart <= strKeyword.size()) {
        size_t nEnd = strKeyword.find('*', nStart);
        if (nEnd == std::string::npos) nEnd = strKeyword.size();
        if (nEnd > nStart) {
            FilterItem first;
            first.m_nKind = nStart == 0 ? 2 : 0;
            items.push_back(first);
            int q = 1;
            size_t i = nStart;
            while (i < nEnd) {
                if (strKeyword[i] == '?') {
                    if (i == nStart || strKeyword[i - 1] == '?') ++q;
                    ++i;
                    continue;
                }
                size_t nRun = i;
                while (nRun < nEnd && strKeyword[nRun] != '?') ++nRun;
                items.back().m_bytes.append(strKeyword, i, nRun - i);
                items.back().m_nCount = q;
                FilterItem next;
                next.m_nKind = 1;
                items.push_back(next);
                q = 1;
                i = nRun;
            }
            items.pop_back();  // the item after the last literal, or a piece of "?" only
        }
        nStart = nEnd + 1;
    }
    return items;
}

int CHitMarker::MarkSegment(const Seg& segment, const std::string& strKeyword, std::string& strOut, int& nCounter) {
    const std::string_view text(segment.m_pText);
    const std::vector<FilterItem> items = BuildFilter(strKeyword);
    if (items.empty()) {
        strOut.append(text);
        return 0;
    }
    const size_t E = text.size();
    std::vector<CForwardFinder> finders;
    finders.reserve(items.size());
    for (const FilterItem& item : items) finders.emplace_back(text, item.m_bytes);
    CForwardFinder paragraphs(text, ParagraphBreak);
    CForwardFinder headings(text, HeadingBreak);
    auto capped = [E](size_t n) { return std::min(n, E); };
    auto orEnd = [E](size_t n) { return n == std::string_view::npos ? E : n; };

    std::vector<size_t> positions;
    positions.reserve(items.size());
    int nMatches = 0;
    size_t S = 0;
    while (S < E) {
        positions.clear();
        size_t C = S;
        for (size_t i = 0; i < items.size(); ++i) {
            const FilterItem& item = items[i];
            const size_t nLength = item.m_bytes.size();
            if (item.m_nKind == 2) {
                size_t P = finders[i].Find(C);
                if (P != std::string_view::npos) {
                    positions.push_back(P);
                    C = capped(P + nLength);
                } else {
                    C = E;
                }
            } else if (item.m_nKind == 1) {
                const size_t nGap = static_cast<size_t>(BytesPerWildcard) * static_cast<size_t>(std::max(item.m_nCount, 0));
                if (C != E && C + nGap < E) {
                    const size_t F = C + nGap;
                    if (text.compare(F, nLength, item.m_bytes) == 0) {
                        positions.push_back(F);
                        C = capped(F + nLength);
                    } else {
                        // Found further on: C stays; nowhere after F: the segment is done.
                        size_t nLast = finders[i].Last();
                        if (nLast == std::string_view::npos || nLast < F) C = E;
                    }
                }
            } else if (C != E) {
                size_t L = orEnd(finders[i].Find(C));
                size_t P = orEnd(paragraphs.Find(C));
                size_t H = orEnd(headings.Find(C));
                if (P < L) {
                    C = capped(P + 3);
                } else if (H < L) {
                    C = capped(H + 4);
                } else if (L != E) {
                    positions.push_back(L);
                    C = capped(L + nLength);
                } else {
                    C = E;
                }
            }
        }
        if (positions.size() == items.size()) {
            ++nMatches;
            strOut.append(text.substr(S, positions[0] - S));
            for (size_t i = 0; i < items.size(); ++i) {
                const size_t P = positions[i];
                const size_t nEnd = P + items[i].m_bytes.size();
                AppendAnchor(nCounter++, strOut);
                strOut += BoldOpen;
                strOut.append(text.substr(P, nEnd - P));
                strOut += BoldClose;
                if (i + 1 == items.size()) break;
                if (items[i + 1].m_nKind == 0) {
                    strOut.append(text.substr(nEnd, positions[i + 1] - nEnd));
                } else {
                    strOut += BoldOpen;
                    AppendAnchor(nCounter++, strOut);
                    strOut.append(text.substr(nEnd, positions[i + 1] - nEnd));
                    strOut += BoldClose;
                }
            }
        } else {
            strOut.append(text.substr(S, C - S));
        }
        S = C;
    }
    return nMatches;
}
