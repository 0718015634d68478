#include "import/jsonreader.h"

#include "platform/fileexception.h"
#include "platform/readonlyfile.h"
#include "text/codeconverter.h"

#include <algorithm>
#include <new>

namespace {

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

// The length of the valid UTF-8 sequence at p[0] (n bytes available), or 0
// when it is malformed (overlong forms, surrogates and values above
// U+10FFFF included). REQUIRES: n > 0 and p[0] >= 0x80.
size_t Utf8SequenceLength(const unsigned char* p, size_t n) {
    const unsigned char b = p[0];
    size_t nLength;
    uint32_t nMin;
    uint32_t c;
    if (b >= 0xC2 && b <= 0xDF) {
        nLength = 2, nMin = 0x80, c = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        nLength = 3, nMin = 0x800, c = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        nLength = 4, nMin = 0x10000, c = b & 0x07;
    } else {
        return 0;
    }
    if (n < nLength) return 0;
    for (size_t k = 1; k < nLength; ++k) {
        if ((p[k] & 0xC0) != 0x80) return 0;
        c = c << 6 | (p[k] & 0x3F);
    }
    if (c < nMin || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
    return nLength;
}

}  // namespace

bool CJsonReader::Parse(const std::string& strText, CJsonValue& value, std::string& strError) {
    value = CJsonValue();
    CJsonReader reader(strText);
    if (strText.compare(0, 3, "\xEF\xBB\xBF") == 0) reader.m_nPos = 3;
    bool bOk;
    try {
        reader.SkipSpace();
        bOk = reader.ParseValue(value, 0);
        if (bOk) {
            reader.SkipSpace();
            if (!reader.AtEnd()) bOk = reader.Fail("unexpected text after the value");
        }
    } catch (const std::bad_alloc&) {
        bOk = reader.Fail("out of memory");
    }
    if (!bOk) {
        value = CJsonValue();
        strError = reader.m_strError;
    }
    return bOk;
}

bool CJsonReader::ParseFile(const std::string& strPath, CJsonValue& value, std::string& strError) {
    std::string strText;
    try {
        strText = CReadOnlyFile::ReadAll(strPath, MaxFileBytes);
    } catch (const CFileException& e) {
        value = CJsonValue();
        strError = e.what();
        return false;
    }
    if (!Parse(strText, value, strError)) {
        strError = strPath + ": not valid JSON: " + strError;
        return false;
    }
    return true;
}

bool CJsonReader::Fail(const std::string& strWhat) {
    const size_t nAt = std::min(m_nPos, m_strText.size());
    size_t nLine = 1;
    size_t nLineStart = 0;
    for (size_t i = 0; i < nAt; ++i)
        if (m_strText[i] == '\n') ++nLine, nLineStart = i + 1;
    m_strError = "line " + std::to_string(nLine) + ", column " + std::to_string(nAt - nLineStart + 1) + ": " + strWhat;
    return false;
}

void CJsonReader::SkipSpace() {
    while (!AtEnd()) {
        const unsigned char c = Peek();
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r') break;
        ++m_nPos;
    }
}

bool CJsonReader::ParseValue(CJsonValue& value, size_t nDepth) {
    if (AtEnd()) return Fail("the text ends where a value is expected");
    const unsigned char c = Peek();
    if (c == '{' || c == '[') {
        if (nDepth >= MaxDepth) return Fail("nested deeper than " + std::to_string(MaxDepth) + " levels");
        const bool bObject = c == '{';
        const char cClose = bObject ? '}' : ']';
        value = bObject ? CJsonValue::MakeObject() : CJsonValue::MakeArray();
        ++m_nPos;
        SkipSpace();
        if (!AtEnd() && Peek() == static_cast<unsigned char>(cClose)) {
            ++m_nPos;
            return true;
        }
        for (;;) {
            std::string strKey;
            if (bObject) {
                if (AtEnd() || Peek() != '"') return Fail(AtEnd() ? "the text ends inside an object" : "expected a member name in quotes");
                if (!ParseString(strKey)) return false;
                SkipSpace();
                if (AtEnd() || Peek() != ':') return Fail("expected ':' after a member name");
                ++m_nPos;
                SkipSpace();
            }
            CJsonValue item;
            if (!ParseValue(item, nDepth + 1)) return false;
            if (bObject)
                value.AddMember(std::move(strKey), std::move(item));
            else
                value.Append(std::move(item));
            SkipSpace();
            if (AtEnd()) return Fail(bObject ? "the text ends inside an object" : "the text ends inside a list");
            const unsigned char cNext = Peek();
            ++m_nPos;
            if (cNext == static_cast<unsigned char>(cClose)) return true;
            if (cNext != ',') {
                --m_nPos;
                return Fail(std::string("expected ',' or '") + cClose + "'");
            }
            SkipSpace();
        }
    }
    if (c == '"') {
        std::string strText;
        if (!ParseString(strText)) return false;
        value = CJsonValue::MakeString(std::move(strText));
        return true;
    }
    if (c == '-' || IsDigit(c)) return ParseNumber(value);
    if (c == 't') return ParseLiteral("true", CJsonValue::MakeBool(true), value);
    if (c == 'f') return ParseLiteral("false", CJsonValue::MakeBool(false), value);
    if (c == 'n') return ParseLiteral("null", CJsonValue(), value);
    return Fail("unexpected character where a value is expected");
}

bool CJsonReader::ParseLiteral(const char* pszWord, CJsonValue literal, CJsonValue& out) {
    const std::string strWord = pszWord;
    if (m_strText.compare(m_nPos, strWord.size(), strWord) != 0) return Fail("unknown word where a value is expected");
    m_nPos += strWord.size();
    out = std::move(literal);
    return true;
}

bool CJsonReader::ParseNumber(CJsonValue& value) {
    const size_t nStart = m_nPos;
    if (Peek() == '-') ++m_nPos;
    if (AtEnd() || !IsDigit(Peek())) return Fail("a digit must follow '-'");
    if (Peek() == '0') {
        ++m_nPos;
        if (!AtEnd() && IsDigit(Peek())) return Fail("a number must not start with 0");
    } else {
        while (!AtEnd() && IsDigit(Peek())) ++m_nPos;
    }
    if (!AtEnd() && Peek() == '.') {
        ++m_nPos;
        if (AtEnd() || !IsDigit(Peek())) return Fail("a digit must follow the decimal point");
        while (!AtEnd() && IsDigit(Peek())) ++m_nPos;
    }
    if (!AtEnd() && (Peek() == 'e' || Peek() == 'E')) {
        ++m_nPos;
        if (!AtEnd() && (Peek() == '+' || Peek() == '-')) ++m_nPos;
        if (AtEnd() || !IsDigit(Peek())) return Fail("a digit must follow the exponent mark");
        while (!AtEnd() && IsDigit(Peek())) ++m_nPos;
    }
    value = CJsonValue::MakeNumber(m_strText.substr(nStart, m_nPos - nStart));
    return true;
}

bool CJsonReader::ParseHex4(uint32_t& nUnit) {
    if (m_strText.size() - m_nPos < 4) return Fail("\\u needs four hexadecimal digits");
    nUnit = 0;
    for (int i = 0; i < 4; ++i) {
        const unsigned char c = Peek();
        uint32_t nDigit;
        if (IsDigit(c))
            nDigit = c - '0';
        else if (c >= 'a' && c <= 'f')
            nDigit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            nDigit = c - 'A' + 10;
        else
            return Fail("\\u needs four hexadecimal digits");
        nUnit = nUnit << 4 | nDigit;
        ++m_nPos;
    }
    return true;
}

bool CJsonReader::ParseString(std::string& strOut) {
    strOut.clear();
    ++m_nPos;  // the opening quote
    const auto* p = reinterpret_cast<const unsigned char*>(m_strText.data());
    for (;;) {
        if (AtEnd()) return Fail("the text ends inside a string");
        const unsigned char c = p[m_nPos];
        if (c == '"') {
            ++m_nPos;
            return true;
        }
        if (c < 0x20) return Fail("a control character inside a string (write it as an escape)");
        if (c >= 0x80) {
            const size_t nLength = Utf8SequenceLength(p + m_nPos, m_strText.size() - m_nPos);
            if (nLength == 0) return Fail("invalid UTF-8 inside a string");
            strOut.append(m_strText, m_nPos, nLength);
            m_nPos += nLength;
            continue;
        }
        if (c != '\\') {
            strOut.push_back(static_cast<char>(c));
            ++m_nPos;
            continue;
        }
        ++m_nPos;
        if (AtEnd()) return Fail("the text ends inside an escape");
        const unsigned char e = p[m_nPos++];
        switch (e) {
        case '"': strOut.push_back('"'); break;
        case '\\': strOut.push_back('\\'); break;
        case '/': strOut.push_back('/'); break;
        case 'b': strOut.push_back('\b'); break;
        case 'f': strOut.push_back('\f'); break;
        case 'n': strOut.push_back('\n'); break;
        case 'r': strOut.push_back('\r'); break;
        case 't': strOut.push_back('\t'); break;
        case 'u': {
            uint32_t nUnit;
            if (!ParseHex4(nUnit)) return false;
            if (CCodeConverter::IsLowSurrogate(nUnit)) return Fail("\\u escape of a lone low surrogate");
            if (CCodeConverter::IsHighSurrogate(nUnit)) {
                if (m_strText.compare(m_nPos, 2, "\\u") != 0)
                    return Fail("\\u escape of a high surrogate without its low surrogate");
                m_nPos += 2;
                uint32_t nLow;
                if (!ParseHex4(nLow)) return false;
                if (!CCodeConverter::IsLowSurrogate(nLow))
                    return Fail("\\u escape of a high surrogate without its low surrogate");
                nUnit = 0x10000 + ((nUnit - 0xD800) << 10) + (nLow - 0xDC00);
            }
            CCodeConverter::AppendUtf8(nUnit, strOut);
            break;
        }
        default:
            --m_nPos;
            return Fail("unknown escape in a string");
        }
    }
}
