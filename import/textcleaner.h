#pragma once

#include <cstddef>
#include <string>

// The package's text made fit for a source line, and the names and numbers
// the importer makes of it. Stateless; every member is static. Bytes that
// are not UTF-8 become U+FFFD (the package reader lets none through).
class CTextCleaner {
public:
    CTextCleaner() = delete;

    static constexpr size_t MaxNameUnits = 80;

    // Text of the package made safe for a source line: HTML entities
    // (&amp; &lt; &gt; &quot; &apos; &nbsp; and numeric ones) decoded; line
    // breaks, tabs and other control characters turned into spaces (a run
    // of them into one); "{", "}" and "#" replaced by their full-width forms
    // (｛ ｝ ＃) so that they never open an annotation or a heading; a
    // byte-order mark dropped; spaces at both ends trimmed.
    static std::string CleanText(const std::string& strText);

    // A name for the catalogue and a folder: cleaned, "/" replaced by "／",
    // a leading "." by "．", cut to at most MaxNameUnits UTF-16 units.
    static std::string CleanName(const std::string& strName);

    // 1 一, 10 十, 11 十一, 20 二十, 101 一百零一, 110 一百一十, 255 二百五十五;
    // numbers from 10,000 on in decimal digits.
    static std::string ChineseNumber(size_t n);

    // Whether a text holds a word at all (a Latin letter, a digit or a Han
    // character): some author records hold only "--".
    static bool HasWords(const std::string& strText);
};
