#pragma once

#include "bench/benchengine.h"
#include "bench/sqlitedatabase.h"

#include <map>
#include <string>
#include <vector>

// SQLite FTS5 with one token per character: each page is one row whose
// text is its characters separated by spaces, read by the "ascii" tokenizer
// (every non-ASCII character is a token character, so each character is
// one token, supplementary-plane characters and full-width punctuation
// included). Characters are folded to their variant group's stand-in;
// characters without an index slot become the token "x", so that every
// character keeps its place and "天，下" is no phrase 天下. Runs are
// separated by one "x" token, so a phrase never crosses a paragraph break
// or a boundary between main text and annotation. Contentless table
// (content=''), detail=full, merged with 'optimize' after loading.
//
// Queries: a keyword without "?" or "*" is a phrase query; "?" and "*"
// become NEAR groups, which ignore the order of their phrases and count
// tokens, not places (inexact); and/or become AND/OR.
class CSqliteFts5Engine : public CBenchEngine {
public:
    ~CSqliteFts5Engine() override;
    std::string Name() const override { return "SQLite FTS5 (token per character)"; }
    bool Build(const CPageExport& pages, const std::string& strPath, std::string& strError) override;
    bool Open(const std::string& strPath, std::string& strError) override;
    // A new connection (its schema read, its page cache empty).
    bool Reopen(std::string& strError) override { return Open(m_strPath, strError); }
    uint64_t IndexBytes() const override;
    std::string IndexNote() const override { return "database file (contentless table)"; }

    BenchTranslation Translate(const CBenchQuery& query) const override;
    bool Run(const CBenchQuery& query, std::string& strError) override;
    void LastResult(std::vector<uint32_t>& pages, std::vector<uint32_t>& hits) const override;

    // Folds the query characters as the pages were folded. REQUIRES: called
    // before Translate (Build does it).
    void SetFolding(const CPageExport& pages) { m_pPages = &pages; }

private:
    std::string Phrase(const std::vector<BenchElement>& elements, size_t nFrom, size_t nTo) const;

    const CPageExport* m_pPages = nullptr;
    std::vector<uint32_t> m_pages;  // of the last run
    CSqliteDatabase m_db;
    struct sqlite3_stmt* m_pSelect = nullptr;
    std::string m_strPath;
};
