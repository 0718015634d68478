#pragma once

#include "text/varianttable.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

// A stretch of a page's marked cell in which the index gives consecutive
// positions: one paragraph's main text or one annotation. Runs are
// separated by the builder's gaps (301 at each paragraph break and at each
// boundary between main text and annotation), so neither a phrase nor a "*"
// of the search reaches from one run into another.
struct ExportRun {
    uint32_t page = 0;
    uint32_t position = 0;  // index position of the first character
    uint32_t offset = 0;    // index of the first character in CPageExport::Chars()
    uint32_t length = 0;
    uint8_t flags = 0;      // CPageExport::RunAnnotation | RunLineStart | RunHeading
};

// The pages of a corpus as plain text, read back from its page store: for
// each page index the text of the cell the renderer marks (the first cell
// on even page numbers, the second on odd ones), tags removed and "&lt;",
// "&gt;", "&amp;" unescaped, as runs with the positions the index gives
// them. Every engine of the bench is built from this export, so that all of
// them see the same pages.
class CPageExport {
public:
    static constexpr uint8_t RunAnnotation = 1;  // an annotation (注釈), else main text
    static constexpr uint8_t RunLineStart = 2;   // the first run of a paragraph or heading
    static constexpr uint8_t RunHeading = 4;     // the run belongs to a heading line
    static constexpr uint32_t BreakGap = 301;
    static constexpr uint32_t TagGap = 1;

    // Reads the page store (Index-fl.h, Index-fl.cnt) and the variant table
    // (yitizi.txt) of the corpus in strFolder. False with strError naming
    // the file or page that could not be read.
    bool Read(const std::string& strFolder, std::string& strError);

    // Appends the runs of one stored page (nParity: its page number's
    // remainder by 2) as page nPage.
    void AddPage(uint32_t nPage, const std::string& strHtml, int nParity);

    // Loads the variant table used by Fold.
    void SetVariants(const CVariantTable& variants);

    uint32_t PageCount() const { return static_cast<uint32_t>(m_pageRuns.empty() ? 0 : m_pageRuns.size() - 1); }
    const std::vector<char32_t>& Chars() const { return m_chars; }
    const std::vector<ExportRun>& Runs() const { return m_runs; }
    // Runs of page nPage: [FirstRun, EndRun).
    size_t FirstRun(uint32_t nPage) const { return m_pageRuns[nPage]; }
    size_t EndRun(uint32_t nPage) const { return m_pageRuns[nPage + 1]; }
    const CVariantTable& Variants() const { return m_variants; }
    // The record names' page numbers, by page index.
    const std::vector<int32_t>& PageNumbers() const { return m_pageNumbers; }

    // Whether the index holds the character at all (has a slot).
    static bool HasSlot(char32_t c);
    // The character that stands for c's variant group when c has a slot and
    // its group has one (a search with variants on treats the group as one
    // character); c otherwise. Two characters match with variants on exactly
    // when their folds are equal.
    char32_t Fold(char32_t c) const {
        auto it = m_fold.find(c);
        return it == m_fold.end() ? c : it->second;
    }
    size_t FoldedCharacters() const { return m_fold.size(); }

    // A fingerprint of the corpus files in strFolder (names, sizes and
    // modification times): an engine's index built from another fingerprint
    // is stale.
    static std::string CorpusStamp(const std::string& strFolder);

    // Bytes the export holds in memory.
    uint64_t MemoryBytes() const;

private:
    std::vector<char32_t> m_chars;
    std::vector<ExportRun> m_runs;
    std::vector<size_t> m_pageRuns;  // first run of each page, then the end
    std::vector<int32_t> m_pageNumbers;
    CVariantTable m_variants;
    std::unordered_map<char32_t, char32_t> m_fold;
};
