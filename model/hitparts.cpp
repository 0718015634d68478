#include "model/hitparts.h"

#include "corpus/corpusfiles.h"
#include "index/index.h"

#include <algorithm>

void CHitParts::Compute(const std::string& strFolder, TextPart ePart, const std::u16string& strKeywords,
                        bool bUseVariants, const std::vector<int32_t>& pages) {
    m_parts.clear();
    if (ePart != TextPart::WholeText) {
        const uint8_t nPart = ePart == TextPart::MainText ? MainText : Annotations;
        for (int32_t nPage : pages) m_parts[static_cast<uint32_t>(nPage)] = nPart;
        return;
    }
    std::vector<uint32_t> found(pages.begin(), pages.end());
    std::sort(found.begin(), found.end());
    for (const auto& [eScope, nPart] : {std::pair{IndexScope::MainText, MainText}, {IndexScope::Annotations, Annotations}}) {
        CIndex index;
        if (!index.Open(strFolder, CCorpusFiles::BaseName, eScope)) continue;
        for (size_t nStart = 0; nStart <= strKeywords.size();) {
            size_t nEnd = strKeywords.find_first_of(u" \u3000", nStart);
            if (nEnd == std::u16string::npos) nEnd = strKeywords.size();
            if (nEnd > nStart) {
                index.SearchPattern(strKeywords.substr(nStart, nEnd - nStart), CombineReplace, false, bUseVariants);
                for (uint32_t nPage : index.GetResultPages())
                    if (std::binary_search(found.begin(), found.end(), nPage)) m_parts[nPage] |= nPart;
            }
            nStart = nEnd + 1;
        }
    }
}

uint8_t CHitParts::PartsOf(uint32_t nPage) const {
    const auto it = m_parts.find(nPage);
    return it == m_parts.end() ? 0 : it->second;
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
