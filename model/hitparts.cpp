#include "model/hitparts.h"

#include "corpus/corpusfiles.h"
#include "index/index.h"

#include <algorithm>

void CHitParts::Compute(const std::string& strFolder, TextPart ePart, const std::u16string& strKeywords,
                        bool bUseVariants, const std::vector<int32_t>& pages) {
    m_pages.assign(pages.begin(), pages.end());
    if (!std::is_sorted(m_pages.begin(), m_pages.end())) std::sort(m_pages.begin(), m_pages.end());
    m_pages.erase(std::unique(m_pages.begin(), m_pages.end()), m_pages.end());
    m_partsOf.assign(m_pages.size(), 0);
    if (ePart != TextPart::WholeText) {
        std::fill(m_partsOf.begin(), m_partsOf.end(), ePart == TextPart::MainText ? MainText : Annotations);
        return;
    }
    if (strFolder != m_strFolder) {
        CloseIndexes();
        m_strFolder = strFolder;
    }
    for (size_t nWhich = 0; nWhich < 2; ++nWhich) {
        CIndex* pIndex = PartIndex(nWhich);
        if (!pIndex) continue;
        for (size_t nStart = 0; nStart <= strKeywords.size();) {
            size_t nEnd = strKeywords.find_first_of(u" \u3000", nStart);
            if (nEnd == std::u16string::npos) nEnd = strKeywords.size();
            if (nEnd > nStart) {
                pIndex->SearchPattern(strKeywords.substr(nStart, nEnd - nStart), CombineReplace, false, bUseVariants);
                Mark(pIndex->GetResultPages(), nWhich == 0 ? MainText : Annotations);
            }
            nStart = nEnd + 1;
        }
    }
}

void CHitParts::CloseIndexes() {
    m_partIndexes[0].Close();
    m_partIndexes[1].Close();
}

CIndex* CHitParts::PartIndex(size_t nWhich) {
    CIndex& index = m_partIndexes[nWhich];
    if (!index.IsOpen() &&
        !index.Open(m_strFolder, CCorpusFiles::BaseName, nWhich == 0 ? IndexScope::MainText : IndexScope::Annotations))
        return nullptr;
    return &index;
}

void CHitParts::Mark(const std::vector<uint32_t>& pages, uint8_t nPart) {
    // One pass over both ascending lists; a page below the one before it
    // starts the walk again from the first page found.
    size_t i = 0;
    uint32_t nPrevious = 0;
    for (uint32_t nPage : pages) {
        if (nPage < nPrevious) i = 0;
        nPrevious = nPage;
        while (i < m_pages.size() && m_pages[i] < nPage) ++i;
        if (i < m_pages.size() && m_pages[i] == nPage) m_partsOf[i] |= nPart;
    }
}

uint8_t CHitParts::PartsOf(uint32_t nPage) const {
    const auto it = std::lower_bound(m_pages.begin(), m_pages.end(), nPage);
    return it != m_pages.end() && *it == nPage ? m_partsOf[static_cast<size_t>(it - m_pages.begin())] : 0;
}

const char* CHitParts::Name(uint8_t nParts) {
    switch (nParts) {
    case MainText: return "main";
    case Annotations: return "annotations";
    case MainText | Annotations: return "both";
    default: return "";
    }
}

const char16_t* CHitParts::Label(uint8_t nParts) {
    switch (nParts) {
    case MainText: return u"正文";
    case Annotations: return u"注釈";
    case MainText | Annotations: return u"正文・注釈";
    default: return u"";
    }
}
