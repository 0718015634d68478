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
    int nState = 0;
    bool bInTag = false;
    std::string strTag;
    for (char c : strPage) {
        if (!bInTag) {
            if (c == '<') {
                strTag.assign(1, c);
                bInTag = true;
            } else if (std::string* pPart = partOf(nState)) {
                pPart->push_back(c);
            }
            continue;
        }
        strTag.push_back(c);
        if (c != '>') continue;
        bInTag = false;
        if (nState == 0 && BeginsWith(strTag, "<title")) {
            nState = 1;
        } else if (BeginsWith(strTag, "<TD")) {
            if (nState == 2 || nState == 4) ++nState;
        } else if (BeginsWith(strTag, "</title>")) {
            nState = 2;
        } else if (BeginsWith(strTag, "</TD>")) {
            if (nState == 3 || nState == 5) ++nState;
        } else if (std::string* pPart = partOf(nState)) {
            *pPart += strTag;
        }
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
