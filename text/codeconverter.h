#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Outcome of a conversion.
enum ConversionResult {
    conversionOK = 0,       // all input converted
    sourceExhausted = 1,    // input ends with a high surrogate; stopped before it
    targetExhausted = 2,    // no room for the next character; stopped before it
    sourceIllegal = 3,      // strict mode: an unpaired surrogate; stopped before it
};

// The character functions that join the three representations the program
// meets: UTF-16 (user interface, keywords), code points (index slots) and
// UTF-8 (stored pages). Stateless; every member is static.
class CCodeConverter {
public:
    CCodeConverter() = delete;

    // Converts UTF-16 units from *ppSource (up to pSourceEnd) into code
    // points at *ppTarget (up to pTargetEnd); leaves both cursors after the
    // last character converted. In lenient mode an unpaired surrogate is a
    // character of its own value.
    static ConversionResult ConvertUtf16ToUtf32(const char16_t** ppSource, const char16_t* pSourceEnd,
                                                char32_t** ppTarget, char32_t* pTargetEnd, bool bLenient);

    // Appends the UTF-8 form of strSource to strTarget.
    static ConversionResult ConvertUtf16ToUtf8(const std::u16string& strSource, std::string& strTarget,
                                               bool bLenient);

    // Decodes UTF-8 into UTF-16 for the command line and the corpus tools.
    // Malformed bytes become U+FFFD; never reads outside strSource.
    static std::u16string Utf8ToUtf16(const std::string& strSource);
    // Encodes UTF-16 as UTF-8, lenient (unpaired surrogates keep their value).
    static std::string Utf16ToUtf8(const std::u16string& strSource);
    // Decodes UTF-16 into code points, lenient: an unpaired surrogate (a
    // trailing high surrogate too) is a character of its own value.
    static std::u32string Utf16ToUtf32(const std::u16string& strSource);
    // Decodes UTF-8 into code points, malformed bytes becoming U+FFFD.
    static std::u32string Utf8ToUtf32(const std::string& strSource);
    // The one UTF-8 decoder: the character at strSource[nAt] into c, nAt
    // moved past it. False, with nothing moved, when the bytes there are not
    // a well-formed character (a stray continuation byte, a sequence cut
    // short, an overlong form, a surrogate, beyond U+10FFFF).
    // REQUIRES: nAt < strSource.size().
    static bool DecodeUtf8(const std::string& strSource, size_t& nAt, char32_t& c /* OUT */);
    // The offset of the first byte that does not start a well-formed
    // character, or npos when all of strSource is valid UTF-8.
    static size_t FindInvalidUtf8(const std::string& strSource);
    // Appends the UTF-8 bytes of one code point (up to U+10FFFF).
    static void AppendUtf8(char32_t c, std::string& strTarget);
    // Appends one code point as UTF-16 (a surrogate pair above U+FFFF).
    static void AppendUtf16(char32_t c, std::u16string& strTarget);

    // The index slot of a code point, or -1 when the index does not hold it.
    static int32_t IndexSlot(uint32_t nCodePoint);
    // The code point of a character's slot (IndexSlot turned round), or 0
    // for a slot no character has (a variant group's, one out of range).
    static char32_t CodePointOfSlot(int32_t nSlot);

    static bool IsHighSurrogate(uint32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
    static bool IsLowSurrogate(uint32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }
};
