#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One place of a keyword after parsing: a character that has an index slot,
// or "?" (any one character).
struct BenchElement {
    char32_t c = 0;    // the character as typed (engines fold variants themselves)
    bool any = false;  // "?" or "？"
};

// One keyword, cut at "*" into segments. As in the reader's search,
// characters without an index slot are dropped and take no place, and a
// segment without a character is dropped (its "?" only widen the pattern).
struct BenchPattern {
    std::u16string text;                            // the keyword as typed
    std::vector<std::vector<BenchElement>> segments;

    // Characters (not "?") in all segments.
    size_t CharacterCount() const;
    // Whether a segment holds a "?" between two characters.
    bool HasInnerAny() const;
    // The places of a segment from its first to its last character.
    static size_t Span(const std::vector<BenchElement>& segment);
};

// One line of the query set (queries.tsv): id, kind, the query in the
// reader's syntax ("春風 AND 明月", "長安 OR 洛陽", "明?光", "春*花") and
// what it probes.
class CBenchQuery {
public:
    // Reads the tab-separated query file (a first line starting with "#" is
    // its header). False with strError naming the file and line.
    static bool ReadFile(const std::string& strPath, std::vector<CBenchQuery>& queries, std::string& strError);
    // Parses the query text. False with strError when it mixes AND and OR
    // or holds no keyword.
    bool Parse(const std::string& strText, std::string& strError);

    // The keywords joined by U+0020, as the reader's keyword box holds them.
    std::u16string Keywords() const;

    std::string m_strId;
    std::string m_strKind;
    std::string m_strText;
    std::string m_strWhat;
    std::vector<BenchPattern> m_patterns;
    bool m_bOr = false;  // pages holding any keyword; else every keyword
};
