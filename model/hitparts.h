#pragma once

#include "corpus/textparts.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

// Where the hits of a search lie on each page it found: in the main text
// (正文), in annotations (注釈) or in both, so that the result rows can say
// so. A search of one part has its hits there; for a search of the whole
// text each keyword is looked up again in the main-text and the annotation
// index. No user interface: the window and the command line both use it.
class CHitParts {
public:
    enum : uint8_t { MainText = 1, Annotations = 2 };

    // Finds the parts of pages (the pages a search of strKeywords found, in
    // ePart, with or without variants) from the corpus in strFolder. A part
    // whose index cannot be opened counts as holding no hit.
    void Compute(const std::string& strFolder, TextPart ePart, const std::u16string& strKeywords, bool bUseVariants,
                 const std::vector<int32_t>& pages);
    void Clear() { m_parts.clear(); }

    // MainText, Annotations, both or 0 (a page the search did not find).
    uint8_t PartsOf(uint32_t nPage) const;
    // "main", "annotations", "both" (the command line's words), or "".
    static const char* Name(uint8_t nParts);
    // 正文, 注釈, 正文・注釈 (the window's), or "".
    static const char16_t* Label(uint8_t nParts);

private:
    std::unordered_map<uint32_t, uint8_t> m_parts;
};
