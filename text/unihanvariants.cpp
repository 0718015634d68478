#include "text/unihanvariants.h"

#include <algorithm>
#include <map>
#include <unordered_map>

const char* const CUnihanVariants::DefaultPaths[2] = {"/usr/share/unicode/Unihan_Variants.txt",
                                                      "/usr/share/unicode/Unihan_Variants.txt.bz2"};

namespace {

const char* const kUsedFields[] = {"kTraditionalVariant", "kSimplifiedVariant", "kZVariant", "kSemanticVariant"};

// Reads "U+" and 4 to 6 hexadecimal digits at strText[nPos]; advances nPos.
bool ReadCodePoint(const std::string& strText, size_t& nPos, uint32_t& nCodePoint) {
    if (strText.compare(nPos, 2, "U+") != 0) return false;
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
    if (nDigits < 4 || nDigits > 6 || n > 0x10FFFF || (n >= 0xD800 && n <= 0xDFFF)) return false;
    nPos = i;
    nCodePoint = n;
    return true;
}

}  // namespace

bool CUnihanVariants::Parse(const std::string& strText, std::string& strError) {
    m_groups.clear();
    m_nDropped = 0;
    m_nRelations = 0;
    // Union-find over code points; a set's root is its smallest member.
    std::unordered_map<uint32_t, uint32_t> parent;
    auto find = [&parent](uint32_t n) {
        uint32_t x = parent.emplace(n, n).first->first;
        // Path halving keeps the chains short without recursion.
        while (parent[x] != x) {
            const uint32_t nGrand = parent[parent[x]];
            parent[x] = nGrand;
            x = nGrand;
        }
        return x;
    };
    auto join = [&find, &parent](uint32_t a, uint32_t b) {
        const uint32_t ra = find(a), rb = find(b);
        if (ra != rb) parent[std::max(ra, rb)] = std::min(ra, rb);
    };
    size_t nLine = 0;
    size_t nStart = 0;
    while (nStart < strText.size()) {
        size_t nEnd = strText.find('\n', nStart);
        if (nEnd == std::string::npos) nEnd = strText.size();
        std::string strLine = strText.substr(nStart, nEnd - nStart);
        nStart = nEnd + 1;
        ++nLine;
        if (!strLine.empty() && strLine.back() == '\r') strLine.pop_back();
        if (strLine.empty() || strLine[0] == '#') continue;
        const std::string strWhere = "line " + std::to_string(nLine) + ": ";
        const size_t nTab1 = strLine.find('\t');
        const size_t nTab2 = nTab1 == std::string::npos ? std::string::npos : strLine.find('\t', nTab1 + 1);
        if (nTab2 == std::string::npos) {
            strError = strWhere + "expected U+XXXX<TAB>field<TAB>value";
            return false;
        }
        size_t nPos = 0;
        uint32_t nFrom;
        if (!ReadCodePoint(strLine, nPos, nFrom) || nPos != nTab1) {
            strError = strWhere + "the line does not start with a code point U+XXXX";
            return false;
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
                return false;
            }
            if (nPos < strLine.size() && strLine[nPos] == '<') nPos = std::min(strLine.find(' ', nPos), strLine.size());
            if (nPos < strLine.size() && strLine[nPos] != ' ') {
                strError = strWhere + strField + ": unexpected text after a code point";
                return false;
            }
            join(nFrom, nTo);
            ++m_nRelations;
            ++nValues;
        }
        if (nValues == 0) {
            strError = strWhere + strField + ": no code point";
            return false;
        }
    }
    if (m_nRelations == 0) {
        strError = "no traditional, simplified, Z or semantic variants (not Unihan_Variants.txt?)";
        return false;
    }

    std::vector<uint32_t> members;
    members.reserve(parent.size());
    for (const auto& entry : parent) members.push_back(entry.first);
    std::map<uint32_t, Group> byRoot;
    for (uint32_t n : members) byRoot[find(n)].push_back(n);
    for (auto& entry : byRoot) {
        Group& group = entry.second;
        if (group.size() < 2) continue;  // a character named as its own variant only
        std::sort(group.begin(), group.end());
        m_groups.push_back(std::move(group));
    }
    if (m_groups.size() > MaxGroups) {
        m_nDropped = m_groups.size() - MaxGroups;
        m_groups.resize(MaxGroups);
    }
    return true;
}
