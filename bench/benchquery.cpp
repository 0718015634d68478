#include "bench/benchquery.h"

#include "text/codeconverter.h"

#include <fstream>
#include <sstream>

size_t BenchPattern::CharacterCount() const {
    size_t n = 0;
    for (const auto& segment : segments)
        for (const BenchElement& element : segment) n += element.any ? 0 : 1;
    return n;
}

size_t BenchPattern::Span(const std::vector<BenchElement>& segment) {
    size_t nFirst = segment.size();
    size_t nLast = 0;
    for (size_t i = 0; i < segment.size(); ++i) {
        if (segment[i].any) continue;
        if (nFirst == segment.size()) nFirst = i;
        nLast = i;
    }
    return nFirst == segment.size() ? 0 : nLast - nFirst + 1;
}

bool BenchPattern::HasInnerAny() const {
    for (const auto& segment : segments) {
        bool bSeenChar = false;
        bool bPendingAny = false;
        for (const BenchElement& element : segment) {
            if (element.any) {
                bPendingAny = bSeenChar;
            } else {
                if (bPendingAny) return true;
                bSeenChar = true;
            }
        }
    }
    return false;
}

bool CBenchQuery::Parse(const std::string& strText, std::string& strError) {
    m_strText = strText;
    m_patterns.clear();
    m_bOr = false;
    bool bAnd = false;
    std::istringstream words(strText);
    std::string strWord;
    while (words >> strWord) {
        if (strWord == "AND") {
            bAnd = true;
            continue;
        }
        if (strWord == "OR") {
            m_bOr = true;
            continue;
        }
        BenchPattern pattern;
        pattern.text = CCodeConverter::Utf8ToUtf16(strWord);
        std::vector<BenchElement> segment;
        auto closeSegment = [&]() {
            for (const BenchElement& element : segment)
                if (!element.any) {
                    pattern.segments.push_back(segment);
                    break;
                }
            segment.clear();
        };
        for (char32_t c : CCodeConverter::Utf8ToUtf32(strWord)) {
            if (c == U'*') {
                closeSegment();
            } else if (c == U'?' || c == U'\uFF1F') {
                segment.push_back(BenchElement{0, true});
            } else if (CCodeConverter::IndexSlot(c) >= 0) {
                segment.push_back(BenchElement{c, false});
            }
        }
        closeSegment();
        m_patterns.push_back(pattern);
    }
    if (bAnd && m_bOr) {
        strError = "query \"" + strText + "\" mixes AND and OR";
        return false;
    }
    if (m_patterns.empty()) {
        strError = "query \"" + strText + "\" holds no keyword";
        return false;
    }
    return true;
}

std::u16string CBenchQuery::Keywords() const {
    std::u16string strKeywords;
    for (const BenchPattern& pattern : m_patterns) {
        if (!strKeywords.empty()) strKeywords.push_back(u' ');
        strKeywords += pattern.text;
    }
    return strKeywords;
}

bool CBenchQuery::ReadFile(const std::string& strPath, std::vector<CBenchQuery>& queries, std::string& strError) {
    std::ifstream in(strPath, std::ios::binary);
    if (!in) {
        strError = strPath + ": cannot open the query file";
        return false;
    }
    queries.clear();
    std::string strLine;
    for (int nLine = 1; std::getline(in, strLine); ++nLine) {
        if (!strLine.empty() && strLine.back() == '\r') strLine.pop_back();
        if (strLine.empty() || strLine[0] == '#') continue;
        std::vector<std::string> fields;
        std::istringstream line(strLine);
        std::string strField;
        while (std::getline(line, strField, '\t')) fields.push_back(strField);
        if (fields.size() < 3) {
            strError = strPath + ":" + std::to_string(nLine) + ": expected id, kind and query separated by tabs";
            return false;
        }
        CBenchQuery query;
        query.m_strId = fields[0];
        query.m_strKind = fields[1];
        query.m_strWhat = fields.size() > 3 ? fields[3] : std::string();
        if (!query.Parse(fields[2], strError)) {
            strError = strPath + ":" + std::to_string(nLine) + ": " + strError;
            return false;
        }
        queries.push_back(query);
    }
    if (queries.empty()) {
        strError = strPath + ": no query in the file";
        return false;
    }
    return true;
}
