#pragma once

#include "corpus/textparts.h"
#include "index/index.h"

#include <cstdint>
#include <string>
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
    // whose index cannot be opened counts as holding no hit. The two part
    // indexes stay open for the next search of the same folder, so that a
    // character's page records are read once a session.
    void Compute(const std::string& strFolder, TextPart ePart, const std::u16string& strKeywords, bool bUseVariants,
                 const std::vector<int32_t>& pages);
    void Clear() {
        m_pages.clear();
        m_partsOf.clear();
    }
    // Closes the part indexes: the next Compute opens them afresh, as the
    // reader does its own index when a text part is chosen.
    void CloseIndexes();

    // MainText, Annotations, both or 0 (a page the search did not find).
    uint8_t PartsOf(uint32_t nPage) const;
    // "main", "annotations", "both" (the command line's words), or "".
    static const char* Name(uint8_t nParts);
    // 正文, 注釈, 正文・注釈 (the window's), or "".
    static const char16_t* Label(uint8_t nParts);

private:
    // The main-text (0) or annotation (1) index of m_strFolder, opened when
    // it is not; nullptr where it cannot be opened.
    CIndex* PartIndex(size_t nWhich);
    // Adds nPart to the pages found that are among pages (ascending, as a
    // search gives them; any order is still read right).
    void Mark(const std::vector<uint32_t>& pages, uint8_t nPart);

    std::vector<uint32_t> m_pages;   // the pages found, ascending
    std::vector<uint8_t> m_partsOf;  // the parts of each of m_pages
    std::string m_strFolder;
    CIndex m_partIndexes[2];
};
