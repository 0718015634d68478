#pragma once

#include "bench/benchengine.h"

#include <cstdint>
#include <string>
#include <vector>

class CPageExport;

// The brute-force scan that defines the expected pages: it reads every
// character of every exported page for every query, with the reader's
// search semantics and variants on.
//
// Positions are the index's: a pattern is cut at "*" into segments; every
// character with a slot is a term at its offset in the pattern ("?" takes a
// place, characters without a slot take none), P being the pattern's
// places. A segment stands at value v when each of its terms matches the
// character at v - (P - 1 - offset); consecutive segments must follow
// within 0 to 300 of value. Two characters match when their variant folds
// are equal. A page's hits are the values of the first segment from which
// the rest of the pattern can be completed; and keeps the pages every
// keyword finds, or the pages any keyword finds, hits summed.
class CScanEngine : public CBenchEngine {
public:
    std::string Name() const override { return "brute-force scan"; }
    // Takes the characters' folds from pages, which must outlive the engine.
    bool Build(const CPageExport& pages, const std::string& strFolder, std::string& strError) override;
    bool Open(const std::string& /*strFolder*/, std::string& /*strError*/) override { return m_pPages != nullptr; }
    // Keeps nothing between queries but the folds it scans.
    bool Reopen(std::string& /*strError*/) override { return true; }
    uint64_t IndexBytes() const override { return 0; }
    std::string IndexNote() const override { return "no index: the exported runs in memory"; }

    BenchTranslation Translate(const CBenchQuery& query) const override;
    bool Run(const CBenchQuery& query, std::string& strError) override;
    void LastResult(std::vector<uint32_t>& pages, std::vector<uint32_t>& hits) const override;

    // Frees the folded characters.
    void Release();

private:
    struct ScanTerm {
        uint32_t key = 0;
        uint32_t offset = 0;
    };
    struct ScanPattern {
        std::vector<std::vector<ScanTerm>> segments;
        uint32_t length = 0;  // P
        bool valid = false;
    };
    ScanPattern Compile(const std::u16string& strPattern) const;
    // The hits of pattern on page nPage (0: not found).
    uint32_t CountOnPage(uint32_t nPage, const ScanPattern& pattern, std::vector<std::vector<uint64_t>>& values) const;

    const CPageExport* m_pPages = nullptr;
    std::vector<uint32_t> m_pages;  // of the last run
    std::vector<uint32_t> m_keys;  // per exported character: its fold, 0 without a slot
    std::vector<uint32_t> m_lastHits;
};
