#pragma once

#include "corpus/pagepositions.h"
#include "corpus/textparts.h"
#include "index/index.h"
#include "model/pagehits.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Where the hits of a search lie on each page it found: in the main text
// (正文), in annotations (注釈) or in both, so that the result rows can say
// so. A search of one part has its hits there. For a search of the whole
// text a page's parts are found when they are first asked for, from the
// page's own text (each keyword's hits by the search's rules, CPageHits),
// so that a list page costs its hundred pages and not the whole result;
// once more than PageLookups pages have been asked for (a listing of every
// row), or where a page's text shows no hit of the search (a page store
// not laid out as the builder lays it out), all the others are found at
// once through the main-text and the annotation index, or from their text
// where one of those cannot be opened. No user interface: the window and
// the command line both use it.
class CHitParts {
public:
    enum : uint8_t { MainText = 1, Annotations = 2 };
    static constexpr size_t PageLookups = 1000;

    // Sets up for the pages a search of strKeywords found (in ePart, with
    // or without variants) in the corpus of strFolder. pages reads the
    // pages' text: an open index of that corpus (its page store and variant
    // table; any text part), which must stay open while parts are asked
    // for. The two part indexes, once opened, stay open for the next search
    // of the same folder, so that a character's page records are read once
    // a session.
    void Compute(CIndex& pages, const std::string& strFolder, TextPart ePart, const std::u16string& strKeywords,
                 bool bUseVariants, const std::vector<int32_t>& found);
    void Clear() {
        m_pages.clear();
        m_partsOf.clear();
    }
    // Closes the part indexes: the next Compute opens them afresh, as the
    // reader does its own index when a text part is chosen.
    void CloseIndexes();

    // How many pages are found from their text before all the others are
    // found through the indexes (PageLookups unless set; 0: through the
    // indexes from the first).
    void SetPageLookups(size_t nLookups) { m_nMaxLookups = nLookups; }

    // MainText, Annotations, both or 0 (a page the search did not find).
    uint8_t PartsOf(uint32_t nPage);
    // "main", "annotations", "both" (the command line's words), or "".
    static const char* Name(uint8_t nParts);
    // 正文, 注釈, 正文・注釈 (the window's), or "".
    static const char16_t* Label(uint8_t nParts);

private:
    static constexpr uint8_t Known = 0x80;  // m_partsOf: the parts are found

    // The main-text (0) or annotation (1) index of m_strFolder, opened when
    // it is not; nullptr where it cannot be opened.
    CIndex* PartIndex(size_t nWhich);
    // The parts of page m_pages[i] from its text.
    uint8_t FindOnPage(size_t i);
    // The parts of every page not yet known, through the part indexes.
    void FindAll();
    // Adds nPart to the pages found that are among pages (ascending, as a
    // search gives them; any order is still read right).
    void Mark(const std::vector<uint32_t>& pages, uint8_t nPart);

    std::vector<uint32_t> m_pages;   // the pages found, ascending
    std::vector<uint8_t> m_partsOf;  // the parts of each of m_pages, Known once found
    CIndex* m_pPages = nullptr;
    std::vector<std::u16string> m_terms;
    bool m_bUseVariants = false;
    size_t m_nLookups = 0;  // pages found from their text since Compute
    size_t m_nMaxLookups = PageLookups;
    std::string m_strFolder;
    CIndex m_partIndexes[2];
    // FindOnPage's scratch.
    std::string m_strPage;
    std::vector<PositionedChar> m_chars;
    std::vector<HitSpan> m_hits;
};
