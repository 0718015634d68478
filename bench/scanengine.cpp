#include "bench/scanengine.h"

#include "bench/pageexport.h"
#include "index/index.h"
#include "text/codeconverter.h"

#include <algorithm>
#include <map>

bool CScanEngine::Build(const CPageExport& pages, const std::string& /*strFolder*/, std::string& /*strError*/) {
    m_pPages = &pages;
    const std::vector<char32_t>& chars = pages.Chars();
    m_keys.resize(chars.size());
    for (size_t i = 0; i < chars.size(); ++i)
        m_keys[i] = CPageExport::HasSlot(chars[i]) ? static_cast<uint32_t>(pages.Fold(chars[i])) : 0;
    return true;
}

void CScanEngine::Release() {
    m_keys = {};
    m_lastHits = {};
    m_pages = {};
    m_pPages = nullptr;
}

BenchTranslation CScanEngine::Translate(const CBenchQuery& query) const {
    BenchTranslation translation;
    translation.text = "scan of every run: " + query.m_strText;
    return translation;
}

CScanEngine::ScanPattern CScanEngine::Compile(const std::u16string& strPattern) const {
    ScanPattern pattern;
    if (strPattern.size() > CIndex::MaxPatternUnits) return pattern;
    std::vector<ScanTerm> segment;
    for (char32_t c : CCodeConverter::Utf16ToUtf32(strPattern)) {
        if (c == U'*') {
            if (!segment.empty()) pattern.segments.push_back(segment);
            segment.clear();
        } else if (c == U'?' || c == U'\uFF1F') {
            ++pattern.length;
        } else if (CPageExport::HasSlot(c)) {
            segment.push_back(ScanTerm{static_cast<uint32_t>(m_pPages->Fold(c)), pattern.length++});
        }
    }
    if (!segment.empty()) pattern.segments.push_back(segment);
    pattern.valid = !pattern.segments.empty();
    return pattern;
}

uint32_t CScanEngine::CountOnPage(uint32_t nPage, const ScanPattern& pattern,
                                  std::vector<std::vector<uint64_t>>& values) const {
    const std::vector<ExportRun>& runs = m_pPages->Runs();
    const size_t nFirstRun = m_pPages->FirstRun(nPage);
    const size_t nEndRun = m_pPages->EndRun(nPage);
    const size_t nSegments = pattern.segments.size();
    values.resize(nSegments);
    for (size_t s = 0; s < nSegments; ++s) {
        const std::vector<ScanTerm>& segment = pattern.segments[s];
        std::vector<uint64_t>& v = values[s];
        v.clear();
        const ScanTerm first = segment[0];
        const uint32_t nSpan = segment.back().offset - first.offset;
        const uint64_t nShift = pattern.length - 1 - first.offset;
        // All terms of one segment lie within 298 places, closer than any
        // two runs: an occurrence lies inside one run.
        for (size_t r = nFirstRun; r < nEndRun; ++r) {
            const ExportRun& run = runs[r];
            if (run.length <= nSpan) continue;
            const uint32_t* pKeys = m_keys.data() + run.offset;
            const uint32_t nLast = run.length - nSpan;
            for (uint32_t i = 0; i < nLast; ++i) {
                if (pKeys[i] != first.key) continue;
                bool bAll = true;
                for (size_t t = 1; t < segment.size() && bAll; ++t)
                    bAll = pKeys[i + segment[t].offset - first.offset] == segment[t].key;
                if (bAll) v.push_back(uint64_t{run.position} + i + nShift);
            }
        }
        if (v.empty()) return 0;
    }
    // Keep the values from which the later segments can follow.
    for (size_t s = nSegments - 1; s-- > 0;) {
        std::vector<uint64_t> kept;
        for (uint64_t a : values[s]) {
            auto it = std::lower_bound(values[s + 1].begin(), values[s + 1].end(), a);
            if (it != values[s + 1].end() && *it - a <= CIndex::MaxGap) kept.push_back(a);
        }
        values[s].swap(kept);
    }
    return static_cast<uint32_t>(values[0].size());
}

bool CScanEngine::Run(const CBenchQuery& query, std::string& strError) {
    std::vector<uint32_t>& pages = m_pages;
    pages.clear();
    m_lastHits.clear();
    if (!m_pPages) {
        strError = "the scan has no pages";
        return false;
    }
    const uint32_t nPages = m_pPages->PageCount();
    std::vector<std::vector<uint64_t>> values;
    std::map<uint32_t, std::pair<uint32_t, size_t>> found;  // page -> hits, keywords that found it
    size_t nKeywords = 0;
    for (const BenchPattern& keyword : query.m_patterns) {
        const ScanPattern pattern = Compile(keyword.text);
        ++nKeywords;
        if (!pattern.valid) continue;
        for (uint32_t p = 0; p < nPages; ++p) {
            const uint32_t nHits = CountOnPage(p, pattern, values);
            if (nHits == 0) continue;
            auto& entry = found[p];
            entry.first += nHits;
            entry.second += 1;
        }
    }
    for (const auto& [nPage, entry] : found) {
        if (!query.m_bOr && entry.second != nKeywords) continue;
        pages.push_back(nPage);
        m_lastHits.push_back(entry.first);
    }
    return true;
}

void CScanEngine::LastResult(std::vector<uint32_t>& pages, std::vector<uint32_t>& hits) const {
    pages = m_pages;
    hits = m_lastHits;
}
