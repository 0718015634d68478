#pragma once

#include <cstddef>
#include <string>

// The lines of a table in text form, as the variant sources write them
// (Unihan_Variants.txt, OpenCC's text dictionaries): cut at line feeds, a
// carriage return before one dropped, empty lines and lines starting with
// "#" skipped. Each line comes with its number (from 1) for messages.
// REQUIRES: the text outlives the object.
class CTableLines {
public:
    explicit CTableLines(const std::string& strText) : m_strText(strText) {}

    // The next line of the table; false at the end of the text.
    bool Next(std::string& strLine /* OUT */, size_t& nLine /* OUT */);

private:
    const std::string& m_strText;
    size_t m_nStart = 0;
    size_t m_nLine = 0;
};
