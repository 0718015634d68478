#pragma once

#include <string>
#include <vector>

// The checks the search makes on a line of keywords before it runs, with
// the message a user sees (UTF-8, Japanese): an empty line, a character the
// index refuses (named with its code), a term longer than a pattern can be.
class CKeywordCheck {
public:
    CKeywordCheck() = delete;

    static const char* const EmptyKeywordsMessage;  // "何かキーワードを入力して検索をして下さい。"

    // Empty when strKeywords can be searched; otherwise what is wrong.
    // Terms are separated by U+0020 (the caller replaces U+3000 first, as
    // the panel does).
    static std::string Check(const std::u16string& strKeywords);

    // The terms of a line of keywords: the pieces between U+0020 and
    // U+3000, empty ones left out.
    static std::vector<std::u16string> Terms(const std::u16string& strKeywords);
};
