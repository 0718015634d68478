#include "text/codeconverter.h"

namespace {

// Takes one character from [p, pEnd): a surrogate pair gives its code point.
// Returns false and sets eResult when the character cannot be taken.
bool NextCodePoint(const char16_t*& p, const char16_t* pEnd, bool bLenient, char32_t& c, ConversionResult& eResult) {
    char16_t u = *p;
    if (CCodeConverter::IsHighSurrogate(u)) {
        if (p + 1 == pEnd) {
            eResult = sourceExhausted;
            return false;
        }
        char16_t v = p[1];
        if (CCodeConverter::IsLowSurrogate(v)) {
            c = (static_cast<char32_t>(u - 0xD800) << 10) + (v - 0xDC00) + 0x10000;
            p += 2;
            return true;
        }
        if (!bLenient) {
            eResult = sourceIllegal;
            return false;
        }
    } else if (CCodeConverter::IsLowSurrogate(u) && !bLenient) {
        eResult = sourceIllegal;
        return false;
    }
    c = u;
    p += 1;
    return true;
}

}  // namespace

ConversionResult CCodeConverter::ConvertUtf16ToUtf32(const char16_t** ppSource, const char16_t* pSourceEnd,
                                                     char32_t** ppTarget, char32_t* pTargetEnd, bool bLenient) {
    const char16_t* p = *ppSource;
    char32_t* q = *ppTarget;
    ConversionResult eResult = conversionOK;
    while (p < pSourceEnd) {
        const char16_t* pBefore = p;
        char32_t c = 0;
        if (!NextCodePoint(p, pSourceEnd, bLenient, c, eResult)) break;
        if (q >= pTargetEnd) {
            p = pBefore;
            eResult = targetExhausted;
            break;
        }
        *q++ = c;
    }
    *ppSource = p;
    *ppTarget = q;
    return eResult;
}

void CCodeConverter::AppendUtf8(char32_t c, std::string& s) {
    if (c < 0x80) {
        s.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        s.push_back(static_cast<char>(0xC0 + (c >> 6)));
        s.push_back(static_cast<char>(0x80 + (c & 0x3F)));
    } else if (c < 0x10000) {
        s.push_back(static_cast<char>(0xE0 + (c >> 12)));
        s.push_back(static_cast<char>(0x80 + ((c >> 6) & 0x3F)));
        s.push_back(static_cast<char>(0x80 + (c & 0x3F)));
    } else {
        s.push_back(static_cast<char>(0xF0 + (c >> 18)));
        s.push_back(static_cast<char>(0x80 + ((c >> 12) & 0x3F)));
        s.push_back(static_cast<char>(0x80 + ((c >> 6) & 0x3F)));
        s.push_back(static_cast<char>(0x80 + (c & 0x3F)));
    }
}

void CCodeConverter::AppendUtf16(char32_t c, std::u16string& s) {
    if (c >= 0x10000 && c <= 0x10FFFF) {
        c -= 0x10000;
        s.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
        s.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    } else {
        s.push_back(static_cast<char16_t>(c));
    }
}

ConversionResult CCodeConverter::ConvertUtf16ToUtf8(const std::u16string& strSource, std::string& strTarget,
                                                    bool bLenient) {
    strTarget.reserve(strTarget.size() + 4 * strSource.size());
    const char16_t* p = strSource.data();
    const char16_t* pEnd = p + strSource.size();
    ConversionResult eResult = conversionOK;
    while (p < pEnd) {
        char32_t c = 0;
        if (!NextCodePoint(p, pEnd, bLenient, c, eResult)) break;
        AppendUtf8(c, strTarget);
    }
    return eResult;
}

bool CCodeConverter::DecodeUtf8(const std::string& s, size_t& i, char32_t& c) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const size_t n = s.size();
    const unsigned char b = p[i];
    size_t nMore;
    char32_t nMin;
    if (b < 0x80) {
        c = b;
        ++i;
        return true;
    } else if (b >= 0xC2 && b <= 0xDF) {
        nMore = 1, c = b & 0x1F, nMin = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
        nMore = 2, c = b & 0x0F, nMin = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
        nMore = 3, c = b & 0x07, nMin = 0x10000;
    } else {
        return false;
    }
    if (n - i <= nMore) return false;
    char32_t v = c;
    for (size_t k = 1; k <= nMore; ++k) {
        if ((p[i + k] & 0xC0) != 0x80) return false;
        v = (v << 6) | (p[i + k] & 0x3F);
    }
    if (v < nMin || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) return false;
    c = v;
    i += nMore + 1;
    return true;
}

size_t CCodeConverter::FindInvalidUtf8(const std::string& s) {
    char32_t c = 0;
    for (size_t i = 0; i < s.size();)
        if (!DecodeUtf8(s, i, c)) return i;
    return std::string::npos;
}

std::u32string CCodeConverter::Utf8ToUtf32(const std::string& s) {
    std::u32string out;
    out.reserve(s.size());
    char32_t c = 0;
    for (size_t i = 0; i < s.size();) {
        if (DecodeUtf8(s, i, c)) {
            out.push_back(c);
        } else {
            out.push_back(0xFFFD);
            ++i;
        }
    }
    return out;
}

std::u32string CCodeConverter::Utf16ToUtf32(const std::u16string& s) {
    std::u32string out(s.size(), 0);
    const char16_t* p = s.data();
    char32_t* q = out.data();
    ConvertUtf16ToUtf32(&p, s.data() + s.size(), &q, out.data() + out.size(), true);
    if (p < s.data() + s.size()) *q++ = *p;  // a trailing high surrogate
    out.resize(static_cast<size_t>(q - out.data()));
    return out;
}

std::u16string CCodeConverter::Utf8ToUtf16(const std::string& s) {
    std::u16string out;
    out.reserve(s.size());
    for (char32_t c : Utf8ToUtf32(s)) AppendUtf16(c, out);
    return out;
}

std::string CCodeConverter::Utf16ToUtf8(const std::u16string& s) {
    std::string out;
    ConvertUtf16ToUtf8(s, out, true);
    // A trailing high surrogate is left unconverted by the conversion; keep
    // it visible as its own three-byte form.
    if (!s.empty() && IsHighSurrogate(s.back())) AppendUtf8(s.back(), out);
    return out;
}

char32_t CCodeConverter::CodePointOfSlot(int32_t nSlot) {
    // The first character of each range of IndexSlot.
    for (char32_t c : {U'\u3400', U'\uF900', U'\U00020000', U'\U0002F800', U'\u3042', U'\uE000'}) {
        const int32_t nBase = IndexSlot(c);
        if (nSlot < nBase) continue;
        const char32_t cCandidate = c + static_cast<char32_t>(nSlot - nBase);
        if (IndexSlot(cCandidate) == nSlot) return cCandidate;
    }
    return 0;
}

int32_t CCodeConverter::IndexSlot(uint32_t c) {
    if (c >= 0x3400 && c <= 0x9FFF) return static_cast<int32_t>(c - 0x3400);
    if (c >= 0xF900 && c <= 0xFAFF) return static_cast<int32_t>(c - 0x8C00);
    if (c >= 0x20000 && c <= 0x2A6DF) return static_cast<int32_t>(c - 0x18100);
    if (c >= 0x2F800 && c <= 0x2FA1F) return static_cast<int32_t>(c - 0x1D220);
    if (c >= 0x3042 && c <= 0x30F6) return static_cast<int32_t>(c + 0xF7BE);
    if (c >= 0xE000 && c <= 0xFFFF) return static_cast<int32_t>(c + 0x48B5);
    return -1;
}
