#pragma once

#include <string>
#include <vector>

// One part of a parsed page: the title or one of the two table cells.
struct HTMLNode {
    std::string m_pText;  // text and ordinary tags, in page order
    int m_nType = 2;
};

// One stretch of a cell: main text or annotation.
struct Seg {
    std::string m_pText;  // text and ordinary tags; never the annotation tags
    int m_nKind = 0;      // 0 main text (正文), 1 annotation (注釈)
};

// Byte-level scanners that take a page apart. They recognise a handful of
// exact tags and copy every other byte. A tag is the bytes from a "<" to the
// first ">" after it; a tag "begins with" a pattern when its first bytes
// equal it (case matters). Both run in one pass over their input and never
// fail: missing parts come out empty, an unfinished tag at the end is
// dropped.
class CPageMarkup {
public:
    static constexpr const char* AnnotationOpen = "<font size=-1 color=\"#993366\">";
    static constexpr const char* AnnotationClose = "</font>";

    // Appends exactly three nodes: the title (between a tag beginning
    // "<title" and "</title>"), the first cell and the second cell (each
    // opened by a tag beginning "<TD" and closed by "</TD>"). The structural
    // tags are consumed; everything outside the three parts is dropped.
    static void ParsePage(const std::string& strPage, std::vector<HTMLNode>& nodes);

    // Appends the segments of a cell: a new segment at every annotation open
    // tag (kind 1) and at every "</font>" that closes an annotation (kind 0).
    // Empty segments are normal (a cell that starts with an annotation).
    static void SplitSegments(const HTMLNode& node, std::vector<Seg>& segments);

    // Whether the tag at strTag begins with pszPattern.
    static bool BeginsWith(const std::string& strTag, const char* pszPattern);
};
