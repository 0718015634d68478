#include "corpus/pagemarkup.h"

#include <cstring>

bool CPageMarkup::BeginsWith(const std::string& strTag, const char* pszPattern) {
    return strTag.compare(0, std::strlen(pszPattern), pszPattern) == 0;
}

void CPageMarkup::ParsePage(const std::string& strPage, std::vector<HTMLNode>& nodes) {
    // States: 0 before the title, 1 in it, 2 after it, 3 in the first cell,
    // 4 after it, 5 in the second cell, 6 after it.
    HTMLNode parts[3];
    auto partOf = [&parts](int nState) -> std::string* {
        switch (nState) {
        case 1: return &parts[0].m_pText;
        case 3: return &parts[1].m_pText;
        case 5: return &parts[2].m_pText;
        default: return nullptr;
        }
    };
    // A tag runs from "<" to the next ">"; one without its ">" is dropped.
    // The text between tags goes over in runs.
    const char* const pBegin = strPage.data();
    const size_t nSize = strPage.size();
    auto tagIs = [](const char* pTag, size_t nTag, const char* pszPattern) {
        const size_t nPattern = std::strlen(pszPattern);
        return nTag >= nPattern && std::memcmp(pTag, pszPattern, nPattern) == 0;
    };
    int nState = 0;
    for (size_t i = 0; i < nSize;) {
        const void* pOpen = std::memchr(pBegin + i, '<', nSize - i);
        const size_t nOpen = pOpen ? static_cast<size_t>(static_cast<const char*>(pOpen) - pBegin) : nSize;
        if (std::string* pPart = partOf(nState)) pPart->append(pBegin + i, nOpen - i);
        if (nOpen == nSize) break;
        const void* pClose = std::memchr(pBegin + nOpen, '>', nSize - nOpen);
        if (!pClose) break;
        const size_t nEnd = static_cast<size_t>(static_cast<const char*>(pClose) - pBegin) + 1;
        const char* pTag = pBegin + nOpen;
        const size_t nTag = nEnd - nOpen;
        if (nState == 0 && tagIs(pTag, nTag, "<title")) {
            nState = 1;
        } else if (tagIs(pTag, nTag, "<TD")) {
            if (nState == 2 || nState == 4) ++nState;
        } else if (tagIs(pTag, nTag, "</title>")) {
            nState = 2;
        } else if (tagIs(pTag, nTag, "</TD>")) {
            if (nState == 3 || nState == 5) ++nState;
        } else if (std::string* pPart = partOf(nState)) {
            pPart->append(pTag, nTag);
        }
        i = nEnd;
    }
    for (HTMLNode& part : parts) nodes.push_back(std::move(part));
}

void CPageMarkup::SplitSegments(const HTMLNode& node, std::vector<Seg>& segments) {
    segments.push_back(Seg{});
    bool bInTag = false;
    std::string strTag;
    for (char c : node.m_pText) {
        if (!bInTag) {
            if (c == '<') {
                strTag.assign(1, c);
                bInTag = true;
            } else {
                segments.back().m_pText.push_back(c);
            }
            continue;
        }
        strTag.push_back(c);
        if (c != '>') continue;
        bInTag = false;
        if (BeginsWith(strTag, AnnotationOpen)) {
            segments.push_back(Seg{std::string(), 1});
        } else if (segments.back().m_nKind == 1 && BeginsWith(strTag, AnnotationClose)) {
            segments.push_back(Seg{std::string(), 0});
        } else {
            segments.back().m_pText += strTag;
        }
    }
}
