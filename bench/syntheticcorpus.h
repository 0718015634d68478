#pragma once

#include "builder/sourcetree.h"
#include "corpus/catalog.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

class CPageExport;

// A large corpus made from the real pages, for measuring the build and the
// search at scale: several copies of the corpus, the first as it is, the
// others with the characters of every run shuffled (braces stay where they
// are, so every annotation keeps its shape). Each copy is one category
// holding the original books; up to VolumesPerVolume consecutive volumes of
// a book become one volume, so that the catalogue of 30 copies stays well
// under the 9,999 records the reader reads.
class CSyntheticCorpus {
public:
    static constexpr size_t VolumesPerVolume = 8;

    // Makes nCopies copies of pages, laid out by the catalogue of the
    // corpus they came from. False with strError when the catalogue does not
    // cover the pages.
    static bool Make(const CPageExport& pages, const std::vector<CatalogRecord>& catalog, size_t nCopies,
                     uint64_t nSeed, CorpusSource& source, std::string& strError);

    // The source text of one exported page (lines, "# " headings, {…}
    // annotations); with pRng, every run's characters are shuffled.
    static std::string SourceText(const CPageExport& pages, uint32_t nPage, std::mt19937_64* pRng);
};
