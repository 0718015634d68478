#pragma once

// Random corpora for tests that compare the index and the display with a
// brute-force scan of the page texts.
//
// The scan works in the positions the corpus builder gives: every character
// takes the next position, and each paragraph break and each boundary
// between main text and annotation adds 301. A pattern is cut at "*" into
// segments; a segment occurs at value v where each of its characters stands
// at v - (P - 1 - offset); consecutive segments must follow within 0 to 300.
// A page's hits are the values of the first segment from which the rest of
// the pattern can be completed.

#include "builder/sourcetree.h"
#include "corpus/textparts.h"
#include "text/varianttable.h"

#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

struct Run {
    std::u32string text;
    bool annotation = false;
};
// A line alternates main text and annotations: main, note, main, note, main.
struct Line {
    bool heading = false;
    std::vector<Run> runs;
};
struct Page {
    std::vector<Line> lines;
    std::map<uint32_t, std::pair<char32_t, bool>> chars;  // position -> character, annotation
};

// Pages of random text over a small alphabet (frequent and rare characters,
// variant forms, characters outside the basic plane, characters without a
// slot), in one category of two books of six volumes.
class CRandomCorpus {
public:
    static const char* const Variants;  // the variant table used

    // bThreeByteOnly: every character takes three UTF-8 bytes (no Latin
    // letter, nothing outside the basic plane), as the display's "?" needs.
    // strVariants: the variant table's text.
    explicit CRandomCorpus(unsigned nSeed, bool bThreeByteOnly = false, const std::string& strVariants = Variants);

    const std::vector<Page>& Pages() const { return m_pages; }
    const CorpusSource& Source() const { return m_source; }
    const CVariantTable& VariantTable() const { return m_variants; }

    // A pattern of the alphabet, or cut from a page so that it occurs, with
    // "?", "？" and "*" put in at random (bGaps false: only "?").
    std::u16string RandomPattern(std::mt19937& rng, bool bGaps = true) const;

    static std::string SourceText(const Page& page);

    // Builds the corpus into strFolder as `tessaline-cli build` does
    // (CCorpusWriter; nShuffleSeed scatters the postings blocks).
    bool Write(const std::string& strFolder, std::string& strError, uint64_t nShuffleSeed = 0) const;

private:
    char32_t RandomChar(std::mt19937& rng) const;
    std::u32string RandomText(int nMax);
    Page RandomPage();

    std::vector<Page> m_pages;
    CorpusSource m_source;
    CVariantTable m_variants;
    std::mt19937 m_rng;
    bool m_bThreeByteOnly;
};

// A pattern in position space.
struct RefPattern {
    struct Term {
        char32_t c;
        uint32_t offset;
    };
    std::vector<std::vector<Term>> segments;  // only segments that hold a term
    uint32_t length = 0;                      // P
    bool valid = false;
};

RefPattern CompileReference(const std::u16string& strPattern);

// The brute-force search over the pages of a random corpus.
class CScanReference {
public:
    CScanReference(const std::vector<Page>& pages, const CVariantTable& variants);

    // Hits per page (pages without hits left out), ascending.
    std::map<uint32_t, uint32_t> Search(const std::u16string& strPattern, IndexScope eScope, bool bVariants) const;
    // The occurrences that do not overlap an earlier one, taken from the
    // left (how the display marks a keyword without "*"), per page.
    std::map<uint32_t, uint32_t> SearchNonOverlapping(const std::u16string& strPattern, IndexScope eScope, bool bVariants) const;

private:
    struct ScopedPage {
        std::unordered_map<uint32_t, char32_t> at;
        std::vector<std::pair<uint32_t, char32_t>> chars;  // ascending positions
    };
    bool Matches(char32_t cPattern, char32_t cText, bool bVariants) const;
    std::vector<std::vector<uint64_t>> SegmentValues(const ScopedPage& page, const RefPattern& pattern, bool bVariants) const;
    uint32_t CountOnPage(const ScopedPage& page, const RefPattern& pattern, bool bVariants) const;

    std::vector<ScopedPage> m_scoped[3];
    const CVariantTable& m_variants;
};
