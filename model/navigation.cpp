#include "model/navigation.h"

bool CNavigation::CanPrevPage() const {
    const CatalogRecord* pVolume = m_contents.GetRecord(m_nCurVolume);
    return pVolume && static_cast<int64_t>(m_nCurPage) - pVolume->curFileName >= 1;
}

bool CNavigation::CanNextPage() const {
    const CatalogRecord* pVolume = m_contents.GetRecord(m_nCurVolume);
    return pVolume && static_cast<uint32_t>(static_cast<int64_t>(m_nCurPage) - pVolume->curFileName + 1) <
                          static_cast<uint32_t>(pVolume->docNo);
}

int32_t CNavigation::NeighbourVolume(int nStep) const {
    for (int32_t j = m_nCurVolume + nStep; j >= 1 && j < m_contents.GetNodeCount(); j += nStep)
        if (const CatalogRecord* pRecord = m_contents.GetRecord(j); pRecord && pRecord->level == 3) return j;
    return 0;
}
