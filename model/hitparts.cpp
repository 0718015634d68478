#include "model/hitparts.h"

#include "corpus/corpusfiles.h"
#include "index/index.h"
#include "model/keywordcheck.h"

#include <algorithm>

void CHitParts::Compute(CIndex& pages, const std::string& strFolder, TextPart ePart,
                        const std::u16string& strKeywords, bool bUseVariants, const std::vector<int32_t>& found) {
    m_pPages = &pages;
    m_pages.assign(found.begin(), found.end());
    if (!std::is_sorted(m_pages.begin(), m_pages.end())) std::sort(m_pages.begin(), m_pages.end());
    m_pages.erase(std::unique(m_pages.begin(), m_pages.end()), m_pages.end());
    m_partsOf.assign(m_pages.size(), 0);
    m_nLookups = 0;
    if (ePart != TextPart::WholeText) {
        std::fill(m_partsOf.begin(), m_partsOf.end(), (ePart == TextPart::MainText ? MainText : Annotations) | Known);
        return;
    }
    if (strFolder != m_strFolder) {
        CloseIndexes();
        m_strFolder = strFolder;
    }
    m_bUseVariants = bUseVariants;
    m_terms = CKeywordCheck::Terms(strKeywords);
}

uint8_t CHitParts::PartsOf(uint32_t nPage) {
    const auto it = std::lower_bound(m_pages.begin(), m_pages.end(), nPage);
    if (it == m_pages.end() || *it != nPage) return 0;
    const auto i = static_cast<size_t>(it - m_pages.begin());
    if (!(m_partsOf[i] & Known)) {
        const uint8_t nParts = m_nLookups < m_nMaxLookups ? FindOnPage(i) : 0;
        ++m_nLookups;
        // A page the search found holds a hit in its text. Where it holds
        // none, its text does not show what the indexes hold (a page store
        // not laid out as the builder lays it out), and they answer.
        if (nParts != 0)
            m_partsOf[i] = nParts | Known;
        else
            FindAll();
    }
    return m_partsOf[i] & (MainText | Annotations);
}

uint8_t CHitParts::FindOnPage(size_t i) {
    int nParity = 0;
    if (!m_pPages || !m_pPages->IsOpen() ||
        !m_pPages->GetFileList().ReadPageForRendering(static_cast<int32_t>(m_pages[i]), m_strPage, nParity))
        return 0;
    CPagePositions::Read(m_strPage, nParity, m_chars);
    const CVariantTable* pVariants =
        m_bUseVariants && !m_pPages->GetVariants().Empty() ? &m_pPages->GetVariants() : nullptr;
    uint8_t nParts = 0;
    for (const std::u16string& strTerm : m_terms) {
        const CPageHits finder(strTerm, pVariants);
        for (const auto& [ePart, nPart] :
             {std::pair{TextPart::MainText, MainText}, std::pair{TextPart::Annotations, Annotations}}) {
            if (nParts & nPart) continue;
            finder.Find(m_chars, ePart, m_hits);
            if (!m_hits.empty()) nParts |= nPart;
        }
    }
    return nParts;
}

void CHitParts::FindAll() {
    CIndex* pParts[2] = {PartIndex(0), PartIndex(1)};
    if (!pParts[0] || !pParts[1]) {
        // Without both part indexes every page is read.
        for (size_t i = 0; i < m_pages.size(); ++i)
            if (!(m_partsOf[i] & Known)) m_partsOf[i] = FindOnPage(i) | Known;
    } else {
        std::fill(m_partsOf.begin(), m_partsOf.end(), 0);
        for (size_t nWhich = 0; nWhich < 2; ++nWhich)
            for (const std::u16string& strTerm : m_terms) {
                pParts[nWhich]->SearchPattern(strTerm, CombineReplace, false, m_bUseVariants);
                Mark(pParts[nWhich]->GetResultPages(), nWhich == 0 ? MainText : Annotations);
            }
        for (uint8_t& nParts : m_partsOf) nParts |= Known;
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
