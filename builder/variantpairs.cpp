#include "builder/variantpairs.h"

#include "builder/tablelines.h"
#include "text/codeconverter.h"

#include <utility>
#include <vector>

bool CVariantPairs::Parse(const std::string& strText, CVariantGroupBuilder& groups, Counts& counts,
                          std::string& strError) {
    Counts found;
    // Joined only once the whole text has been read, so that a refused
    // text joins nothing.
    std::vector<std::pair<uint32_t, uint32_t>> pairs;
    CTableLines lines(strText);
    std::string strLine;
    size_t nLine = 0;
    while (lines.Next(strLine, nLine)) {
        const std::string strWhere = "line " + std::to_string(nLine) + ": ";
        if (CCodeConverter::FindInvalidUtf8(strLine) != std::string::npos) {
            strError = strWhere + "not valid UTF-8";
            return false;
        }
        const std::u32string line = CCodeConverter::Utf8ToUtf32(strLine);
        const size_t nTab = line.find(U'\t');
        if (nTab == std::u32string::npos || nTab == 0) {
            strError = strWhere + "expected KEY<TAB>VALUE [VALUE...]";
            return false;
        }
        const std::u32string key = line.substr(0, nTab);
        size_t nValues = 0;
        for (size_t i = nTab + 1; i < line.size();) {
            size_t j = line.find(U' ', i);
            if (j == std::u32string::npos) j = line.size();
            if (j > i) {
                ++nValues;
                if (key.size() == 1 && j - i == 1)
                    pairs.emplace_back(key[0], line[i]);
                else
                    ++found.skipped;
            }
            i = j + 1;
        }
        if (nValues == 0) {
            strError = strWhere + "no value after the TAB";
            return false;
        }
    }
    if (pairs.empty()) {
        strError = "no pair of single characters (not a table of variants?)";
        return false;
    }
    for (const auto& pair : pairs) groups.Join(pair.first, pair.second);
    found.pairs = pairs.size();
    counts = found;
    return true;
}
