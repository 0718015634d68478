#pragma once

#include "model/contentsnode.h"

#include <cstdint>
#include <string>
#include <vector>

class CIndex;

// What a search with variants looked for, shown under its summary so that
// a reader sees why a page was found: each keyword's forms (a character of
// a variant group stands for every member), and for a keyword of one
// character the pages and places of each of its forms in the search range.
// No user interface: the window and the command line both show it.
//
//   桜: 櫻 573 頁 612 箇所 · 桜 0 頁 · 樱 0 頁
//   読書: [読讀读][書书]
class CSearchForms {
public:
    struct FormCount {
        std::u16string form;
        int32_t pages = 0;
        int64_t places = 0;
    };
    struct Keyword {
        std::u16string text;                           // as typed
        std::vector<std::vector<std::u16string>> characters;  // per character: the typed form first, then the group's others
        std::vector<FormCount> counts;                 // one-character keywords only: most pages first
    };
    // Which keywords get counts: every one-character keyword, or only where
    // the line shows (HasOtherForms), as the window shows it.
    enum class Counts { Always, WhereShown };

    // The forms of each keyword of strKeywords (separated by U+0020 or U+3000) as the
    // index's variant table gives them, and the counts of one-character
    // keywords in range, each form searched on its own (see Counts).
    // REQUIRES: index is open.
    void Build(const CIndex& index, const std::u16string& strKeywords, bool bUseVariants, const ContentsNodeTag& range,
               Counts eCounts = Counts::Always);
    void Clear() { m_keywords.clear(); }

    const std::vector<Keyword>& Keywords() const { return m_keywords; }
    // Whether a character of a keyword has a form other than the one typed:
    // otherwise the line tells nothing the summary does not.
    bool HasOtherForms() const;
    // The keywords on one line (UTF-8), as above, separated by an
    // ideographic space; empty without keywords.
    std::string FormatLine() const;

private:
    std::vector<Keyword> m_keywords;
};
