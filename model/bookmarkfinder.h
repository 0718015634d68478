#pragma once

#include "model/bookmark.h"
#include "model/citation.h"

#include <cstdint>
#include <string>

class CContentsTree;
class CFileList;

// Finds a bookmark's page in the corpus that is open, which need not be
// the one the bookmark was made in (another copy of it, or the corpus built
// anew): by the bookmark's citation, checked against the digest of the
// page's text (CPageDigest::OfPage), so that a citation that now names
// other text never opens that text as if it were the marked page.
//
// Where the citation does not lead to the marked text, the page is looked
// for by its digest at the bookmark's old page index, on the other pages of
// the cited volume and at the same page number of every volume an
// ambiguous citation names; nothing beyond that, so that finding one
// bookmark reads a volume's pages at most, never the whole corpus.
// REQUIRES: the tree, the citations and the file list outlive the object.
class CBookmarkFinder {
public:
    // The most pages of one volume read while looking for a page.
    static constexpr int32_t MaxVolumePages = 5000;

    enum class Outcome {
        Same,        // the citation names the marked page: nPageIndex
        Moved,       // the marked page is elsewhere now: nPageIndex, strCitation (its citation now)
        Changed,     // the citation names a page whose text differs: nPageIndex; the marked text is nowhere near
        Missing,     // the citation names no page here (reading says why) and the marked page is not found
        Unreadable,  // the page store is not open
    };
    struct Result {
        Outcome eOutcome = Outcome::Missing;
        int32_t nPageIndex = -1;     // Same, Moved, Changed
        int32_t nVolumeSlot = 0;     // the catalogue slot of that page's volume
        int32_t nPageNumber = 0;     // its page number in the volume
        std::u16string strCitation;  // its citation in this corpus
        CCitation::Match reading;    // what the bookmark's citation reads as here
    };

    CBookmarkFinder(const CContentsTree& tree, const CCitation& citation, CFileList& fileList);

    Result Find(const BookmarkTag& bookmark) const;

private:
    // The page's digest; empty when it cannot be read.
    std::string DigestOf(int32_t nPageIndex) const;
    // Fills in where nPageIndex lies. False when no volume holds it.
    bool Place(int32_t nPageIndex, Result& result) const;
    // The page of the volume in nSlot whose digest is strDigest, other than
    // nSkip; -1 if none.
    int32_t FindInVolume(int32_t nSlot, const std::string& strDigest, int32_t nSkip) const;

    const CContentsTree& m_tree;
    const CCitation& m_citation;
    CFileList& m_fileList;
};
