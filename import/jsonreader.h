#pragma once

#include "import/jsonvalue.h"

#include <cstddef>
#include <cstdint>
#include <string>

// Reads JSON text (RFC 8259) into a CJsonValue tree, strictly: a single
// value with only white space around it (a UTF-8 byte-order mark at the
// start is allowed), strings of valid UTF-8 without raw control characters,
// escapes \" \\ \/ \b \f \n \r \t and \uXXXX (a surrogate pair for
// characters above U+FFFF; an unpaired surrogate is an error), numbers in
// the JSON grammar (kept as text, any length), true, false and null.
//
// Hostile input cannot crash it or make it use memory out of proportion to
// the input: nesting deeper than MaxDepth is refused (the reader recurses
// once per level), files larger than MaxFileBytes are not read, and every
// read is checked against the end of the text. Errors give the line and
// column (in bytes, from 1) and what was wrong.
class CJsonReader {
public:
    static constexpr size_t MaxDepth = 200;
    static constexpr uint64_t MaxFileBytes = 256u << 20;

    // Parses strText into value (replacing it). False with strError
    // ("line L, column C: ...") when the text is not JSON; value is then
    // null.
    static bool Parse(const std::string& strText, CJsonValue& value, std::string& strError);

    // Reads and parses the file strPath. False with strError naming the file.
    static bool ParseFile(const std::string& strPath, CJsonValue& value, std::string& strError);

private:
    CJsonReader(const std::string& strText) : m_strText(strText) {}

    bool ParseValue(CJsonValue& value, size_t nDepth);
    bool ParseString(std::string& strOut);
    bool ParseNumber(CJsonValue& value);
    bool ParseLiteral(const char* pszWord, CJsonValue value, CJsonValue& out);
    bool ParseHex4(uint32_t& nUnit);
    void SkipSpace();
    bool Fail(const std::string& strWhat);
    bool AtEnd() const { return m_nPos >= m_strText.size(); }
    unsigned char Peek() const { return static_cast<unsigned char>(m_strText[m_nPos]); }

    const std::string& m_strText;
    size_t m_nPos = 0;
    std::string m_strError;
};
