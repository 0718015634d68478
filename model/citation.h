#pragma once

#include "model/contentstree.h"

#include <cstdint>
#include <string>
#include <vector>

// Citations of pages as the catalogue names them, made and read back:
//
//   御定全唐詩 卷二百五十三 1          book, volume, page number
//   集部 唐詩 卷一 5                    the category first where two
//                                      categories hold a book of that name
//
// Reading is lenient with what a reader pastes or types: any spacing (or
// none), full-width letters, digits and spaces, the page number as 第5頁,
// 5頁 or 第五頁, and a whole quotation as "引用付きでコピー" makes it
// (「…」(citation)). No user interface: the window and the command line both
// use it.
// REQUIRES: the contents tree outlives the object and does not change.
class CCitation {
public:
    explicit CCitation(const CContentsTree& tree);

    // The citation of a page index; empty when no volume holds the page.
    std::u16string Format(int32_t nPageIndex) const;
    // The catalogue slot of the volume that holds a page index; 0 if none.
    int32_t VolumeSlotOf(int32_t nPageIndex) const;
    // Where a page index lies: its category, book, volume and page number.
    // False when no volume holds it.
    struct Place {
        std::u16string strCategory, strBook, strVolume;
        int32_t nPageNumber = 0;
    };
    bool Locate(int32_t nPageIndex, Place& place /* OUT */) const;
    // A copied passage with its citation: 「text」(citation).
    static std::u16string Quote(const std::u16string& strText, const std::u16string& strCitation);

    enum class Outcome {
        Found,       // nPageIndex, nVolumeSlot
        Malformed,   // no page number at the end, or no name before it
        NoBook,      // strName names no book (nor a category and book)
        NoVolume,    // strBook has no volume strVolume
        NoPage,      // the volume (nVolumeSlot, strCitation) has pages nFirstPage to nLastPage only
        Ambiguous,   // strName names several volumes: candidates
    };
    struct Match {
        Outcome eOutcome = Outcome::Malformed;
        int32_t nPageIndex = -1;
        int32_t nVolumeSlot = 0;
        int32_t nPageNumber = 0;           // the page number read
        std::u16string strName;            // the name part read, spaces removed
        std::u16string strBook;            // NoVolume: the book that matched
        std::u16string strVolume;          // NoVolume: what followed its name
        std::u16string strCitation;        // Found, NoPage: the volume's citation without the page
        int32_t nFirstPage = 0;            // NoPage
        int32_t nLastPage = 0;
        std::vector<std::u16string> candidates;  // Ambiguous: each volume's citation without the page
    };
    Match Parse(const std::u16string& strText) const;

private:
    struct Volume {
        int32_t nSlot;
        const ContentsNodeTag* pNode;
        std::u16string strCitation;  // category (when needed), book and volume, with single spaces
        std::u16string strKey;       // book and volume, spaces removed
        std::u16string strFullKey;   // category, book and volume, spaces removed
        std::u16string strBookKey;   // book, spaces removed
        std::u16string strFullBookKey;
        std::u16string strBook;
    };
    const Volume* VolumeOf(int32_t nPageIndex) const;

    std::vector<Volume> m_volumes;  // in page order
};
