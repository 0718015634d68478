#pragma once

#include "bench/benchengine.h"

#include <string>
#include <vector>

// ripgrep over one text file with one page per line (line n + 1 is page
// index n): the page's characters folded to their variant group's stand-in,
// runs separated by a tab, which no pattern matches. Every query starts the
// program (its start-up is part of its time) and reads the line numbers it
// prints.
//
// Queries: a keyword becomes a regular expression, "?" [^\t] and "*"
// [^\t]{0,300}, so that nothing crosses a run: exact. OR is an
// alternation; AND runs ripgrep once per keyword and keeps the lines every
// run found (the times add up).
class CRipgrepEngine : public CBenchEngine {
public:
    // strProgram: the rg executable (found on PATH when it has no "/").
    explicit CRipgrepEngine(std::string strProgram = "rg") : m_strProgram(std::move(strProgram)) {}

    std::string Name() const override { return "ripgrep"; }
    bool Build(const CPageExport& pages, const std::string& strPath, std::string& strError) override;
    bool Open(const std::string& strPath, std::string& strError) override;
    // Every run starts the program afresh: nothing is kept.
    bool Reopen(std::string& /*strError*/) override { return true; }
    uint64_t IndexBytes() const override;
    std::string IndexNote() const override { return "no index: the text file it reads"; }

    BenchTranslation Translate(const CBenchQuery& query) const override;
    bool Run(const CBenchQuery& query, std::string& strError) override;
    void LastResult(std::vector<uint32_t>& pages, std::vector<uint32_t>& hits) const override;

    void SetFolding(const CPageExport& pages) { m_pPages = &pages; }
    // The program's version line, or empty when it cannot be started.
    std::string Version() const;

private:
    std::string Regex(const BenchPattern& pattern) const;
    // Runs the program over the file; the line numbers it reports (1-based).
    bool Search(const std::string& strRegex, std::vector<uint32_t>& lines, std::string& strError) const;

    const CPageExport* m_pPages = nullptr;
    std::vector<uint32_t> m_pages;  // of the last run
    std::string m_strProgram;
    std::string m_strPath;
};
