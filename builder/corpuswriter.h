#pragma once

#include "builder/sourcetree.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CVariantTable;

// What a successful Write produced.
struct CorpusSummary {
    size_t pages = 0;
    size_t characters = 0;  // characters of the text cells (all get positions)
    size_t indexed = 0;     // of those, the ones with an index slot
    size_t categories = 0;
    size_t books = 0;
    size_t volumes = 0;
};

// Writes a whole corpus from a CorpusSource into a folder:
//   Index-fl.h, Index-fl.cnt          page store; page index = the page's
//                                     place in outline order; record names
//                                     "c01\b001\v001\0001.htm" (the stem is
//                                     the page number)
//   Index-idx.h/.m                    whole-text index (all segments)
//   Index_content-idx.h/.m            main-text index
//   Index_desc-idx.h/.m               annotation index
//   vmk.dir                           one record per category, book and
//                                     volume, in outline order
//   yitizi.txt                        the variant table used
// Each page is built by CPageBuilder; each character of its text cell that
// has a slot is posted under the slot and, when it belongs to a variant
// group that has a slot, under the group's slot too.
//
// Everything is written into a staging folder beside the output folder
// (CStagingFolder), synced and put in its place whole only when all files
// are complete, so a failed or killed build leaves the folder as it was
// (an older corpus included); other files of the folder are kept.
class CCorpusWriter {
public:
    static constexpr int32_t DefaultHeaderValue = 14;
    static constexpr int32_t NameWidth = 100;
    static const char* const HeaderText;

    // Called after each page with the pages done and the total.
    using ProgressCallback = std::function<void(size_t nDone, size_t nTotal)>;

    // The store's header value (shown by the reader's page indicator).
    void SetHeaderValue(int32_t nValue) { m_nHeaderValue = nValue; }
    // Scatters the postings blocks (0: in slot order); for tests.
    void SetShuffleSeed(uint64_t nSeed) { m_nShuffleSeed = nSeed; }
    void SetProgressCallback(ProgressCallback callback) { m_progress = std::move(callback); }

    // Writes the corpus into strOutDir, which is created if missing; the
    // corpus files there are replaced, others kept. False with strError
    // (naming the page or file and what went wrong) when the source fails
    // CSourceTree::Check or a file cannot be written; the folder is then as
    // it was.
    bool Write(const CorpusSource& source, const CVariantTable& variants, const std::string& strOutDir,
               std::string& strError);

    // Valid after a successful Write.
    const CorpusSummary& Summary() const { return m_summary; }
    // Things that did not stop the build but that the user should know.
    const std::vector<std::string>& Warnings() const { return m_warnings; }

    // The store's record name of a page (indexes counted from 1 within the
    // parent).
    static std::string PageName(size_t nCategory, size_t nBook, size_t nVolume, int32_t nPageNumber);

private:
    bool WriteStaged(const CorpusSource& source, const CVariantTable& variants, const std::string& strStage,
                     std::string& strError);

    int32_t m_nHeaderValue = DefaultHeaderValue;
    uint64_t m_nShuffleSeed = 0;
    ProgressCallback m_progress;
    CorpusSummary m_summary;
    std::vector<std::string> m_warnings;
};
