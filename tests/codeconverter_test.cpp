#include "text/codeconverter.h"

#include <gtest/gtest.h>

namespace {

std::string Hex(const std::string& s) {
    std::string out;
    char buf[4];
    for (unsigned char c : s) {
        std::snprintf(buf, sizeof buf, "%02X", c);
        out += buf;
    }
    return out;
}

TEST(CodeConverterTest, Utf16ToUtf8) {
    struct Case {
        const char* pszName;
        std::u16string source;
        const char* pszBytes;
        ConversionResult eResult;
    } cases[] = {
        {"bmp", u"中", "E4B8AD", conversionOK},
        {"ascii and latin", u"a\u00E9", "61C3A9", conversionOK},
        {"pair", u"\xD840\xDC0B", "F0A0808B", conversionOK},
        {"lone low surrogate", u"\xDC00", "EDB080", conversionOK},
        {"high surrogate then other", u"\xD840" u"a", "EDA18061", conversionOK},
        {"trailing high surrogate", u"中\xD840", "E4B8AD", sourceExhausted},
        {"empty", u"", "", conversionOK},
    };
    for (const Case& c : cases) {
        std::string out;
        EXPECT_EQ(CCodeConverter::ConvertUtf16ToUtf8(c.source, out, true), c.eResult) << c.pszName;
        EXPECT_EQ(Hex(out), c.pszBytes) << c.pszName;
    }
    std::string out;
    EXPECT_EQ(CCodeConverter::ConvertUtf16ToUtf8(u"a\xDC00", out, false), sourceIllegal);
    EXPECT_EQ(out, "a");
}

TEST(CodeConverterTest, Utf16ToUtf32StopsAtFullTarget) {
    std::u16string source = u"\xD840\xDC0B中";
    const char16_t* p = source.data();
    char32_t target[1];
    char32_t* q = target;
    EXPECT_EQ(CCodeConverter::ConvertUtf16ToUtf32(&p, source.data() + source.size(), &q, target + 1, true),
              targetExhausted);
    EXPECT_EQ(target[0], U'\U0002000B');
    EXPECT_EQ(p, source.data() + 2);  // the pair is consumed, 中 is not
}

TEST(CodeConverterTest, IndexSlotTable) {
    struct Case {
        uint32_t nCodePoint;
        int32_t nSlot;
    } cases[] = {
        {0x33FF, -1},  {0x3400, 0},      {0x9FFF, 27647},  {0xA000, -1},     {0xF900, 27904},
        {0xFAFF, 28415}, {0x20000, 32512}, {0x2000B, 32523}, {0x2A6DF, 75231}, {0x2A6E0, -1},
        {0x2F800, 75232}, {0x2FA1F, 75775}, {0x3041, -1},    {0x3042, 75776},  {0x30F6, 75956},
        {0x3002, -1},  {0xE000, 75957},  {0xFF0C, 0xFF0C + 0x48B5},  {0xFFFF, 84148}, {0x10000, -1},
        {0x41, -1},
    };
    for (const Case& c : cases) EXPECT_EQ(CCodeConverter::IndexSlot(c.nCodePoint), c.nSlot) << std::hex << c.nCodePoint;
}

TEST(CodeConverterTest, Utf8DecodingReplacesMalformedBytes) {
    EXPECT_EQ(CCodeConverter::Utf8ToUtf32("\xE4\xB8\xAD" "a"), U"中a");
    EXPECT_EQ(CCodeConverter::Utf8ToUtf32("\xE4\xB8"), U"\uFFFD\uFFFD");      // truncated
    EXPECT_EQ(CCodeConverter::Utf8ToUtf32("\xC0\xAF"), U"\uFFFD\uFFFD");      // overlong
    EXPECT_EQ(CCodeConverter::Utf8ToUtf32("\xED\xA0\x80"), U"\uFFFD\uFFFD\uFFFD");  // surrogate
    EXPECT_EQ(CCodeConverter::Utf8ToUtf16("\xF0\xA7\xA5\x84"), u"\U00027944");
}

// The one UTF-8 decoder: what it refuses, and where.
TEST(CodeConverterTest, FindsMalformedUtf8) {
    struct Case {
        std::string strText;
        size_t nBad;
    };
    const size_t npos = std::string::npos;
    const std::vector<Case> cases = {
        {"abc", npos},
        {"子曰\xF0\xA0\x80\x80", npos},  // U+20000
        {"\xF4\x8F\xBF\xBF", npos},       // U+10FFFF
        {"a\x80", 1},                     // stray continuation byte
        {"\xC0\x80", 0},                  // overlong NUL
        {"\xE0\x80\xAF", 0},              // overlong "/"
        {"\xED\xA0\x80", 0},              // surrogate
        {"\xF4\x90\x80\x80", 0},          // above U+10FFFF
        {"子\xE5\xAD", 3},                // cut short at the end
        {"\xE5\x41\x42", 0},              // continuation missing
        {"ok\xFE", 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CCodeConverter::FindInvalidUtf8(c.strText), c.nBad) << c.strText;
        // Decoding takes each malformed byte as U+FFFD and goes on.
        const std::u32string decoded = CCodeConverter::Utf8ToUtf32(c.strText);
        EXPECT_EQ(decoded.find(U'\uFFFD') != std::u32string::npos, c.nBad != npos) << c.strText;
    }
}

}  // namespace
