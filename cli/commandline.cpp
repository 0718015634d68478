#include "cli/commandline.h"

#include "text/codeconverter.h"

const OptionSpec* CCommandLine::Find(const std::string& strName) const {
    for (const OptionSpec& option : m_specs)
        if (strName == option.pszName) return &option;
    return nullptr;
}

bool CCommandLine::Parse(int argc, char** argv, std::string& strError) {
    bool bOptions = true;
    for (int i = 0; i < argc; ++i) {
        std::string strArg = argv[i];
        if (bOptions && strArg == "--") {
            bOptions = false;
            continue;
        }
        if (!bOptions || strArg.size() < 2 || strArg.compare(0, 2, "--") != 0) {
            m_positional.push_back(strArg);
            continue;
        }
        std::string strName = strArg;
        std::string strValue;
        bool bInline = false;
        size_t nEq = strArg.find('=');
        if (nEq != std::string::npos) {
            strName = strArg.substr(0, nEq);
            strValue = strArg.substr(nEq + 1);
            bInline = true;
        }
        const OptionSpec* pSpec = Find(strName);
        if (!pSpec) {
            strError = "unknown option " + strName;
            return false;
        }
        if (pSpec->pszValue) {
            if (!bInline) {
                if (i + 1 >= argc) {
                    strError = "option " + strName + " needs a value (" + pSpec->pszValue + ")";
                    return false;
                }
                strValue = argv[++i];
            }
        } else if (bInline) {
            strError = "option " + strName + " takes no value";
            return false;
        }
        m_values.emplace_back(strName, strValue);
    }
    return true;
}

bool CCommandLine::Has(const std::string& strName) const {
    for (const auto& value : m_values)
        if (value.first == strName) return true;
    return false;
}

std::string CCommandLine::Value(const std::string& strName, const std::string& strDefault) const {
    for (auto it = m_values.rbegin(); it != m_values.rend(); ++it)
        if (it->first == strName) return it->second;
    return strDefault;
}

std::vector<std::string> CCommandLine::Values(const std::string& strName) const {
    std::vector<std::string> values;
    for (const auto& value : m_values)
        if (value.first == strName) values.push_back(value.second);
    return values;
}

std::vector<std::string> CCommandLine::ListValues(const std::string& strName, char cSeparator) const {
    std::vector<std::string> items;
    for (const std::string& strValue : Values(strName)) {
        size_t nStart = 0;
        while (nStart <= strValue.size()) {
            size_t nEnd = strValue.find(cSeparator, nStart);
            if (nEnd == std::string::npos) nEnd = strValue.size();
            if (nEnd > nStart) items.push_back(strValue.substr(nStart, nEnd - nStart));
            nStart = nEnd + 1;
        }
    }
    return items;
}

std::string CCommandLine::OptionHelp() const {
    std::string out = "Options:\n";
    for (const OptionSpec& option : m_specs) {
        std::string strLeft = std::string("  ") + option.pszName + (option.pszValue ? std::string(" ") + option.pszValue : "");
        if (strLeft.size() < 26) strLeft.resize(26, ' ');
        else strLeft += "  ";
        out += strLeft + option.pszHelp + "\n";
    }
    return out;
}

bool CCommandLine::ParseCount(const std::string& strText, int32_t& nValue) {
    if (strText.empty() || strText.size() > 9) return false;
    int32_t n = 0;
    for (char c : strText) {
        if (c < '0' || c > '9') return false;
        n = n * 10 + (c - '0');
    }
    nValue = n;
    return true;
}

bool CCommandLine::ParseNumber(const std::string& strText, double& dValue) {
    const size_t nPoint = strText.find('.');
    const size_t nWhole = nPoint == std::string::npos ? strText.size() : nPoint;
    if (nWhole > 9 || strText.size() > 30) return false;
    size_t nDigits = 0;
    for (size_t i = 0; i < strText.size(); ++i) {
        if (i == nPoint) continue;
        if (strText[i] < '0' || strText[i] > '9') return false;
        ++nDigits;
    }
    if (nDigits == 0) return false;
    // Whole part and fraction apart, so that the locale's decimal point
    // plays no part.
    double d = 0;
    for (size_t i = 0; i < nWhole; ++i) d = d * 10 + (strText[i] - '0');
    double dScale = 0.1;
    for (size_t i = nWhole + 1; i < strText.size(); ++i, dScale /= 10) d += (strText[i] - '0') * dScale;
    dValue = d;
    return true;
}

bool CCommandLine::JoinKeywords(const std::vector<std::string>& args, size_t nFrom, std::u16string& strKeywords) {
    std::string strJoined;
    for (size_t i = nFrom; i < args.size(); ++i) strJoined += (i > nFrom ? " " : "") + args[i];
    if (CCodeConverter::FindInvalidUtf8(strJoined) != std::string::npos) return false;
    std::u16string strUnits = CCodeConverter::Utf8ToUtf16(strJoined);
    for (char16_t& u : strUnits)
        if (u == u'\u3000') u = u' ';
    strKeywords = std::move(strUnits);
    return true;
}

bool CCommandLine::ParsePart(const std::string& strPart, TextPart& ePart) {
    if (strPart == "whole")
        ePart = TextPart::WholeText;
    else if (strPart == "main")
        ePart = TextPart::MainText;
    else if (strPart == "annotations")
        ePart = TextPart::Annotations;
    else
        return false;
    return true;
}
