#include "import/textcleaner.h"

#include "text/codeconverter.h"

#include <cstdint>

namespace {

std::string Utf8(const std::u32string& text) {
    std::string out;
    for (char32_t c : text) CCodeConverter::AppendUtf8(c, out);
    return out;
}

// Decodes the entity at text[i] ('&'); on success sets c and nEnd (index of
// its ';').
bool DecodeEntity(const std::u32string& text, size_t i, char32_t& c, size_t& nEnd) {
    const size_t nSemi = text.find(U';', i + 1);
    if (nSemi == std::u32string::npos || nSemi - i > 10 || nSemi == i + 1) return false;
    const std::u32string name = text.substr(i + 1, nSemi - i - 1);
    static const struct {
        const char32_t* pszName;
        char32_t c;
    } kNamed[] = {{U"amp", U'&'}, {U"lt", U'<'}, {U"gt", U'>'}, {U"quot", U'"'}, {U"apos", U'\''}, {U"nbsp", U' '}};
    for (const auto& named : kNamed) {
        if (name == named.pszName) {
            c = named.c;
            nEnd = nSemi;
            return true;
        }
    }
    if (name[0] != U'#' || name.size() < 2) return false;
    const bool bHex = name[1] == U'x' || name[1] == U'X';
    const size_t nFirst = bHex ? 2 : 1;
    if (nFirst >= name.size() || name.size() - nFirst > 7) return false;
    uint32_t nValue = 0;
    for (size_t k = nFirst; k < name.size(); ++k) {
        const char32_t d = name[k];
        uint32_t nDigit;
        if (d >= U'0' && d <= U'9')
            nDigit = d - U'0';
        else if (bHex && d >= U'a' && d <= U'f')
            nDigit = d - U'a' + 10;
        else if (bHex && d >= U'A' && d <= U'F')
            nDigit = d - U'A' + 10;
        else
            return false;
        nValue = nValue * (bHex ? 16 : 10) + nDigit;
    }
    if (nValue == 0 || nValue > 0x10FFFF || (nValue >= 0xD800 && nValue <= 0xDFFF)) return false;
    c = nValue;
    nEnd = nSemi;
    return true;
}

bool IsControl(char32_t c) {
    return c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0x9F) || c == 0x2028 || c == 0x2029;
}

}  // namespace

std::string CTextCleaner::CleanText(const std::string& strText) {
    const std::u32string text = CCodeConverter::Utf8ToUtf32(strText);
    std::u32string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        size_t nEnd;
        if (c == U'&' && DecodeEntity(text, i, c, nEnd)) i = nEnd;
        if (IsControl(c) || c == 0xA0) {
            // A run of line breaks and the like is one space.
            if (!out.empty() && out.back() != U' ') out.push_back(U' ');
            continue;
        }
        switch (c) {
        case 0xFEFF: continue;
        case U'{': c = U'｛'; break;
        case U'}': c = U'｝'; break;
        case U'#': c = U'＃'; break;
        default: break;
        }
        out.push_back(c);
    }
    const size_t nFirst = out.find_first_not_of(U' ');
    if (nFirst == std::u32string::npos) return std::string();
    const size_t nLast = out.find_last_not_of(U' ');
    return Utf8(out.substr(nFirst, nLast - nFirst + 1));
}

std::string CTextCleaner::CleanName(const std::string& strName) {
    std::u32string name = CCodeConverter::Utf8ToUtf32(CleanText(strName));
    size_t nUnits = 0;
    size_t nKeep = 0;
    for (; nKeep < name.size(); ++nKeep) {
        nUnits += name[nKeep] > 0xFFFF ? 2 : 1;
        if (nUnits > MaxNameUnits) break;
    }
    name.resize(nKeep);
    for (char32_t& c : name)
        if (c == U'/') c = U'／';
    if (!name.empty() && name[0] == U'.') name[0] = U'．';
    while (!name.empty() && name.back() == U' ') name.pop_back();
    return Utf8(name);
}

std::string CTextCleaner::ChineseNumber(size_t n) {
    static const char* const kDigits[] = {"零", "一", "二", "三", "四", "五", "六", "七", "八", "九"};
    static const char* const kUnits[] = {"", "十", "百", "千"};
    if (n == 0) return kDigits[0];
    if (n >= 10000) return std::to_string(n);
    const size_t digits[4] = {n / 1000, n / 100 % 10, n / 10 % 10, n % 10};
    std::string out;
    bool bZero = false;  // a zero waits to be written before the next digit
    bool bStarted = false;
    for (int i = 0; i < 4; ++i) {
        const size_t d = digits[i];
        if (d == 0) {
            bZero = bStarted;
            continue;
        }
        if (bZero) out += kDigits[0];
        bZero = false;
        // Ten to nineteen are 十, 十一 …, not 一十.
        if (!(d == 1 && i == 2 && !bStarted)) out += kDigits[d];
        out += kUnits[3 - i];
        bStarted = true;
    }
    return out;
}

bool CTextCleaner::HasWords(const std::string& strText) {
    for (char32_t c : CCodeConverter::Utf8ToUtf32(strText)) {
        if ((c >= U'0' && c <= U'9') || (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z')) return true;
        if ((c >= 0x3400 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0x20000 && c <= 0x3FFFF)) return true;
    }
    return false;
}
