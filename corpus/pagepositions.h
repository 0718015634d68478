#pragma once

#include "corpus/pagemarkup.h"
#include "text/codeconverter.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

// One character of a page's marked cell, at the position the index gives it.
struct PositionedChar {
    char32_t c = 0;
    uint64_t position = 0;
    bool annotation = false;  // in an annotation (注釈), else main text (正文)
    uint32_t line = 0;        // the cell's line (paragraph or heading), from 0
};

// The characters of a stored page's marked cell with the positions that
// `tessaline-cli build` gives them (doc/file-formats.md): each character,
// an escaped one ("&lt;" and the like) included, takes the next position; a
// line break ("\n" before the next "<p>" or "<h4>") and each edge of an
// annotation add 301. What the index posts for a page is exactly these
// characters (those with an index slot) at these positions, which the
// corpus check and the concordance rely on. Stateless.
class CPagePositions {
public:
    CPagePositions() = delete;

    static constexpr uint64_t BreakGap = 301;

    // Calls onChar(const PositionedChar&) for each character of strCell,
    // the marked cell as CPageMarkup::ParsePage gives it.
    template <typename OnChar>
    static void ForEach(const std::string& strCell, OnChar onChar);

    // The characters of the marked cell of a stored page (the first cell of
    // an even page number (nParity 0), else the second).
    static void Read(const std::string& strPage, int nParity, std::vector<PositionedChar>& chars /* OUT */);
};

template <typename OnChar>
void CPagePositions::ForEach(const std::string& strCell, OnChar onChar) {
    static const size_t nOpen = std::strlen(CPageMarkup::AnnotationOpen);
    static const size_t nClose = std::strlen(CPageMarkup::AnnotationClose);
    // Line tags, which take no position of their own.
    static const std::pair<const char*, size_t> kLineTags[] = {{"<p>", 3}, {"<h4>", 4}, {"</h4>", 5}};
    PositionedChar ch;
    for (size_t i = 0; i < strCell.size();) {
        const char b = strCell[i];
        if (b == '\n') {
            ch.position += BreakGap;
            ++ch.line;
            ++i;
            continue;
        }
        if (b == '<') {
            if (strCell.compare(i, nOpen, CPageMarkup::AnnotationOpen) == 0) {
                ch.position += BreakGap;
                ch.annotation = true;
                i += nOpen;
                continue;
            }
            if (strCell.compare(i, nClose, CPageMarkup::AnnotationClose) == 0) {
                ch.position += BreakGap;
                ch.annotation = false;
                i += nClose;
                continue;
            }
            size_t nTag = 0;
            for (const auto& [pszTag, nLength] : kLineTags)
                if (strCell.compare(i, nLength, pszTag) == 0) nTag = nLength;
            if (nTag > 0) {
                i += nTag;
                continue;
            }
        }
        if (b == '&') {
            size_t nEntity = 0;
            char32_t cEntity = 0;
            for (const auto& entity : {std::pair<const char*, char32_t>{"&lt;", U'<'}, {"&gt;", U'>'}, {"&amp;", U'&'}}) {
                if (strCell.compare(i, std::strlen(entity.first), entity.first) == 0) {
                    nEntity = std::strlen(entity.first);
                    cEntity = entity.second;
                }
            }
            if (nEntity > 0) {
                ch.c = cEntity;
                onChar(static_cast<const PositionedChar&>(ch));
                ++ch.position;
                i += nEntity;
                continue;
            }
        }
        if (!CCodeConverter::DecodeUtf8(strCell, i, ch.c)) {
            ch.c = 0xFFFD;
            ++i;
        }
        onChar(static_cast<const PositionedChar&>(ch));
        ++ch.position;
    }
}
