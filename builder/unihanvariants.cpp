#include "builder/unihanvariants.h"

#include "builder/tablelines.h"

#include <algorithm>
#include <utility>
#include <vector>

const char* const CUnihanVariants::DefaultPaths[2] = {"/usr/share/unicode/Unihan_Variants.txt",
                                                      "/usr/share/unicode/Unihan_Variants.txt.bz2"};

namespace {

const char* const kUsedFields[] = {"kTraditionalVariant", "kSimplifiedVariant", "kZVariant", "kSemanticVariant"};

// Reads "U+" and 4 to 6 hexadecimal digits at strText[nPos]; advances nPos.
bool ReadCodePoint(const std::string& strText, size_t& nPos, uint32_t& nCodePoint) {
    if (strText.compare(nPos, 2, "U+") != 0) return 0;
    size_t i = nPos + 2;
    uint32_t n = 0;
    size_t nDigits = 0;
    for (; i < strText.size() && nDigits < 7; ++i, ++nDigits) {
        const char c = strText[i];
        uint32_t d;
        if (c >= '0' && c <= '9')
            d = static_cast<uint32_t>(c - '0');
        else if (c >= 'A' && c <= 'F')
            d = static_cast<uint32_t>(c - 'A' + 10);
        else if (c >= 'a' && c <= 'f')
            d = static_cast<uint32_t>(c - 'a' + 10);
        else
            break;
        n = n * 16 + d;
    }
    if (nDigits < 4 || nDigits > 6 || n > 0x10FFFF || (n >= 0xD800 && n <= 0xDFFF)) return 0;
    nPos = i;
    nCodePoint = n;
    return true;
}

}  // namespace

size_t CUnihanVariants::Parse(const std::string& strText, CVariantGroupBuilder& groups, std::string& strError) {
    // Joined only once the whole text has been read, so that a refused
    // text joins nothing.
    std::vector<std::pair<uint32_t, uint32_t>> relations;
    CTableLines lines(strText);
    std::string strLine;
    size_t nLine = 0;
    while (lines.Next(strLine, nLine)) {
        const std::string strWhere = "line " + std::to_string(nLine) + ": ";
        const size_t nTab1 = strLine.find('\t');
        const size_t nTab2 = nTab1 == std::string::npos ? std::string::npos : strLine.find('\t', nTab1 + 1);
        if (nTab2 == std::string::npos) {
            strError = strWhere + "expected U+XXXX<TAB>field<TAB>value";
            return 0;
        }
        size_t nPos = 0;
        uint32_t nFrom;
        if (!ReadCodePoint(strLine, nPos, nFrom) || nPos != nTab1) {
            strError = strWhere + "the line does not start with a code point U+XXXX";
            return 0;
        }
        const std::string strField = strLine.substr(nTab1 + 1, nTab2 - nTab1 - 1);
        if (std::none_of(std::begin(kUsedFields), std::end(kUsedFields),
                         [&strField](const char* pszField) { return strField == pszField; }))
            continue;
        // Values: code points separated by spaces, each perhaps followed by
        // "<" and the sources that give it.
        nPos = nTab2 + 1;
        size_t nValues = 0;
        while (nPos < strLine.size()) {
            if (strLine[nPos] == ' ') {
                ++nPos;
                continue;
            }
            uint32_t nTo;
            if (!ReadCodePoint(strLine, nPos, nTo)) {
                strError = strWhere + strField + ": expected a code point U+XXXX";
                return 0;
            }
            if (nPos < strLine.size() && strLine[nPos] == '<') nPos = std::min(strLine.find(' ', nPos), strLine.size());
            if (nPos < strLine.size() && strLine[nPos] != ' ') {
                strError = strWhere + strField + ": unexpected text after a code point";
                return 0;
            }
            relations.emplace_back(nFrom, nTo);
            ++nValues;
        }
        if (nValues == 0) {
            strError = strWhere + strField + ": no code point";
            return 0;
        }
    }
    if (relations.empty()) {
        strError = "no traditional, simplified, Z or semantic variants (not Unihan_Variants.txt?)";
        return 0;
    }
    for (const auto& relation : relations) groups.Join(relation.first, relation.second);
    return relations.size();
}
