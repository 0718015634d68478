#include "model/bookmarkfinder.h"

#include "corpus/filelist.h"
#include "model/contentstree.h"
#include "model/pagedigest.h"

#include <algorithm>

namespace {

std::u16string Digits(int32_t n) {
    std::u16string s;
    for (char c : std::to_string(n)) s.push_back(static_cast<char16_t>(c));
    return s;
}

}  // namespace

CBookmarkFinder::CBookmarkFinder(const CContentsTree& tree, const CCitation& citation, CFileList& fileList)
    : m_tree(tree), m_citation(citation), m_fileList(fileList) {}

std::string CBookmarkFinder::DigestOf(int32_t nPageIndex) const {
    std::string strDigest;
    return CPageDigest::OfPage(m_fileList, nPageIndex, strDigest) ? strDigest : std::string();
}

bool CBookmarkFinder::Place(int32_t nPageIndex, Result& result) const {
    CCitation::Place place;
    if (!m_citation.Locate(nPageIndex, place)) return false;
    result.nPageIndex = nPageIndex;
    result.nVolumeSlot = m_citation.VolumeSlotOf(nPageIndex);
    result.nPageNumber = place.nPageNumber;
    result.strCitation = m_citation.Format(nPageIndex);
    return true;
}

int32_t CBookmarkFinder::FindInVolume(int32_t nSlot, const std::string& strDigest, int32_t nSkip) const {
    const ContentsNodeTag* pVolume = m_tree.GetNode(nSlot);
    if (!pVolume || pVolume->docID < 1 || pVolume->docNo < 1) return -1;
    const int32_t nFirst = pVolume->docID - 1;
    const int32_t nCount = std::min(pVolume->docNo, MaxVolumePages);
    for (int32_t i = 0; i < nCount; ++i) {
        const int32_t nPage = nFirst + i;
        if (nPage != nSkip && DigestOf(nPage) == strDigest) return nPage;
    }
    return -1;
}

CBookmarkFinder::Result CBookmarkFinder::Find(const BookmarkTag& bookmark) const {
    Result result;
    result.reading = m_citation.Parse(bookmark.strCitation);
    if (!m_fileList.IsOpen()) {
        result.eOutcome = Outcome::Unreadable;
        return result;
    }
    const CCitation::Match& reading = result.reading;
    const bool bNamed = reading.eOutcome == CCitation::Outcome::Found;
    // A bookmark without a digest (none could be taken) trusts its citation.
    const bool bCheck = CPageDigest::IsDigest(bookmark.strDigest);
    if (bNamed && (!bCheck || DigestOf(reading.nPageIndex) == bookmark.strDigest) && Place(reading.nPageIndex, result)) {
        result.eOutcome = Outcome::Same;
        return result;
    }

    if (bCheck) {
        int32_t nFound = -1;
        // Where it was: a copy of the corpus whose volumes were renamed.
        if (bookmark.nPageIndex >= 0 && (!bNamed || bookmark.nPageIndex != reading.nPageIndex) &&
            DigestOf(bookmark.nPageIndex) == bookmark.strDigest)
            nFound = bookmark.nPageIndex;
        // Elsewhere in the cited volume: pages added or taken out before it.
        if (nFound < 0 && (bNamed || reading.eOutcome == CCitation::Outcome::NoPage))
            nFound = FindInVolume(reading.nVolumeSlot, bookmark.strDigest, bNamed ? reading.nPageIndex : -1);
        // A book of the same name in another category now needs the
        // category: the same page number in each volume the name fits.
        if (nFound < 0 && reading.eOutcome == CCitation::Outcome::Ambiguous) {
            for (const std::u16string& strVolume : reading.candidates) {
                const CCitation::Match candidate = m_citation.Parse(strVolume + u" " + Digits(reading.nPageNumber));
                if (candidate.eOutcome == CCitation::Outcome::Found && DigestOf(candidate.nPageIndex) == bookmark.strDigest) {
                    nFound = candidate.nPageIndex;
                    break;
                }
            }
        }
        if (nFound >= 0 && Place(nFound, result)) {
            result.eOutcome = Outcome::Moved;
            return result;
        }
    }

    if (bNamed && Place(reading.nPageIndex, result)) {
        result.eOutcome = Outcome::Changed;
        return result;
    }
    result.eOutcome = Outcome::Missing;
    return result;
}
