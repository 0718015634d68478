#include "model/keywordcheck.h"

#include "index/index.h"
#include "text/codeconverter.h"

#include <cstdio>

const char* const CKeywordCheck::EmptyKeywordsMessage = "何かキーワードを入力して検索をして下さい。";

namespace {

std::string HexCode(uint32_t nUnit) {
    char sz[16];
    std::snprintf(sz, sizeof sz, "U+%04X", static_cast<unsigned>(nUnit));
    return sz;
}

}  // namespace

std::string CKeywordCheck::Check(const std::u16string& strKeywords) {
    if (strKeywords.find_first_not_of(u' ') == std::u16string::npos) return EmptyKeywordsMessage;
    const size_t nRefused = CIndex::FindRefusedUnit(strKeywords);
    if (nRefused != std::u16string::npos) {
        const char16_t u = strKeywords[nRefused];
        std::string strShown;
        // Refused units are all below U+0100; control characters are not
        // printed, only their code.
        if ((u > 0x20 && u < 0x7F) || u >= 0xA0) {
            strShown = "'";
            CCodeConverter::AppendUtf8(u, strShown);
            strShown += "' ";
        }
        return "キーワードに使えない文字があります: " + strShown + "(" + HexCode(u) + ")";
    }
    size_t nStart = 0;
    while (nStart <= strKeywords.size()) {
        size_t nEnd = strKeywords.find(u' ', nStart);
        if (nEnd == std::u16string::npos) nEnd = strKeywords.size();
        const size_t nUnits = nEnd - nStart;
        if (nUnits > CIndex::MaxPatternUnits)
            return "キーワードが長すぎます: 1 語は UTF-16 で " + std::to_string(CIndex::MaxPatternUnits) +
                   " 単位までですが、" + std::to_string(nUnits) + " 単位の語があります";
        nStart = nEnd + 1;
    }
    return {};
}

std::vector<std::u16string> CKeywordCheck::Terms(const std::u16string& strKeywords) {
    std::vector<std::u16string> terms;
    for (size_t nStart = 0; nStart <= strKeywords.size();) {
        size_t nEnd = strKeywords.find_first_of(u" \u3000", nStart);
        if (nEnd == std::u16string::npos) nEnd = strKeywords.size();
        if (nEnd > nStart) terms.push_back(strKeywords.substr(nStart, nEnd - nStart));
        nStart = nEnd + 1;
    }
    return terms;
}
