#include "cli/clioutput.h"

#include "text/codeconverter.h"

#include <cstdio>

int CCliOutput::Fail(const std::string& strMessage) const {
    Tell(strMessage);
    return 2;
}

int CCliOutput::FailWithUsage(const std::string& strMessage, const std::string& strUsage) const {
    std::fprintf(stderr, "%s: %s\n\n%s", m_strName.c_str(), strMessage.c_str(), strUsage.c_str());
    return 2;
}

void CCliOutput::Warn(const std::string& strMessage) const { Tell("warning: " + strMessage); }

void CCliOutput::Tell(const std::string& strMessage) const {
    std::fprintf(stderr, "%s: %s\n", m_strName.c_str(), strMessage.c_str());
    std::fflush(stderr);
}

void CCliOutput::WarnOfDamage(const std::string& strDamage) const {
    if (strDamage.empty()) return;
    Warn("the index is damaged near " + strDamage + "; results may be incomplete; run tessaline-cli check");
}

bool CCliOutput::WriteOut(const std::string& strOut, const char* pszWhat) const {
    if (std::fwrite(strOut.data(), 1, strOut.size(), stdout) == strOut.size() && std::fflush(stdout) == 0) return true;
    Fail(std::string("cannot write ") + pszWhat + " to standard output");
    return false;
}

std::string CCliOutput::TsvField(const std::u16string& strName) {
    std::string out = CCodeConverter::Utf16ToUtf8(strName);
    for (char& c : out)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    return out;
}

std::string CCliOutput::JsonString(const std::u16string& s) {
    std::string out = "\"";
    for (size_t i = 0; i < s.size(); ++i) {
        const char16_t u = s[i];
        if (u == u'"' || u == u'\\') {
            out += '\\';
            out += static_cast<char>(u);
        } else if (u < 0x20) {
            char sz[8];
            std::snprintf(sz, sizeof sz, "\\u%04x", static_cast<unsigned>(u));
            out += sz;
        } else if (CCodeConverter::IsHighSurrogate(u) && i + 1 < s.size() && CCodeConverter::IsLowSurrogate(s[i + 1])) {
            const char32_t c = 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            CCodeConverter::AppendUtf8(c, out);
            ++i;
        } else if (CCodeConverter::IsHighSurrogate(u) || CCodeConverter::IsLowSurrogate(u)) {
            char sz[8];
            std::snprintf(sz, sizeof sz, "\\u%04x", static_cast<unsigned>(u));
            out += sz;
        } else {
            CCodeConverter::AppendUtf8(u, out);
        }
    }
    return out + "\"";
}
