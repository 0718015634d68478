#pragma once

#include "model/contentstree.h"

#include <cstdint>

// The rules of the page, volume and hit commands for one moment of the
// reader: the current volume (a catalogue slot, 0 for none) and page, the
// hit anchor last shown in the last result page and the hits marked there.
// It says whether each command can run and where it goes; it changes
// nothing.
//
// A page number counts as curFileName does: the volume's pages run from
// its curFileName to curFileName + docNo - 1.
//
// Holds a reference to the contents tree. REQUIRES: contents outlives it.
class CNavigation {
public:
    CNavigation(const CContentsTree& contents, int32_t nCurVolume, int32_t nCurPage, int32_t nCurHit,
                int32_t nHitCount)
        : m_contents(contents),
          m_nCurVolume(nCurVolume),
          m_nCurPage(nCurPage),
          m_nCurHit(nCurHit),
          m_nHitCount(nHitCount) {}

    // A page above the volume's first, or one below its last. The latter
    // is compared unsigned, so a page below the volume's first (one that
    // is not of this volume) has no next page, while one just below the
    // first leads to it.
    bool CanPrevPage() const;
    bool CanNextPage() const;
    int32_t PrevPage() const { return m_nCurPage - 1; }
    int32_t NextPage() const { return m_nCurPage + 1; }

    // With a current volume: a volume (level 3) before or after it in the
    // catalogue, across the records of books and categories between them.
    bool CanPrevVolume() const { return m_nCurVolume != 0 && NeighbourVolume(-1) != 0; }
    bool CanNextVolume() const { return m_nCurVolume != 0 && NeighbourVolume(+1) != 0; }
    // The nearest volume's slot before (nStep -1) or after (+1) the current
    // volume in the catalogue; 0 if there is none.
    int32_t NeighbourVolume(int nStep) const;

    // Hit anchors run from 0 to the hit count - 1.
    bool CanPrevHit() const { return static_cast<int64_t>(m_nCurHit) - 1 >= 0; }
    bool CanNextHit() const { return static_cast<int64_t>(m_nCurHit) + 1 < m_nHitCount; }
    int32_t PrevHit() const { return m_nCurHit - 1; }
    int32_t NextHit() const { return m_nCurHit + 1; }

private:
    const CContentsTree& m_contents;
    int32_t m_nCurVolume;
    int32_t m_nCurPage;
    int32_t m_nCurHit;
    int32_t m_nHitCount;
};
