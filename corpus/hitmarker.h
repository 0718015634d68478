#pragma once

#include "corpus/pagemarkup.h"

#include <string>
#include <vector>

// One literal piece of a compiled keyword.
struct FilterItem {
    int m_nKind = 2;        // 2 first literal of the keyword, 0 after "*", 1 after "?"
    std::string m_bytes;    // UTF-8, never empty in a compiled keyword
    int m_nCount = 0;       // kind 1: the number of "?" before the literal
};

// Marks every match of one keyword in one segment: a numbered anchor and
// red-on-grey bold around each literal and each "?" character.
//
// Keywords are matched on bytes. "*" spans any run of bytes up to the next
// occurrence of the following literal, but not across "<p>" or "<h4>"; "?"
// stands for one three-byte (CJK) character.
class CHitMarker {
public:
    static constexpr const char* BoldOpen = "<b style='color:red;background:#D9D9D9;'>";
    static constexpr const char* BoldClose = "</b>";
    static constexpr const char* ParagraphBreak = "<p>";
    static constexpr const char* HeadingBreak = "<h4>";
    static constexpr int BytesPerWildcard = 3;

    // Compiles a keyword (UTF-8) into its literals. A keyword of wildcards
    // only gives no items.
    //   A -> [2 A]   A?B -> [2 A, 1 B x1]   A??B -> [2 A, 1 B x2]
    //   A*B -> [2 A, 0 B]   *A -> [0 A]
    static std::vector<FilterItem> BuildFilter(const std::string& strKeyword);

    // Appends the segment's bytes to strOut with every complete match
    // marked; each anchor takes nCounter's value and increments it. Returns
    // the number of complete matches. Work is linear in the segment's size
    // (each search result is remembered until the scan passes it).
    static int MarkSegment(const Seg& segment, const std::string& strKeyword, std::string& strOut, int& nCounter);

    // Appends "<a name=\"%04d\"></a>" for nNumber.
    static void AppendAnchor(int nNumber, std::string& strOut);
};
