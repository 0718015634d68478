#pragma once

#include "bench/benchengine.h"
#include "bench/sqlitedatabase.h"

#include <map>
#include <string>
#include <vector>

// SQLite FTS5 with the trigram tokenizer: each page is one row holding its
// folded text (characters folded to their variant group's stand-in), runs
// separated by two line feeds so that neither a phrase nor one "?" crosses
// a paragraph break or a boundary between main text and annotation.
//
// Queries: a keyword of three or more characters without "?" or "*" is a
// MATCH phrase (a substring); anything else is LIKE ('_' for "?", '%' for
// "*"), which the tokenizer answers from the index when the pattern holds
// three consecutive characters and by reading every row otherwise. '%' has
// no 300-character bound and crosses runs (inexact).
class CSqliteTrigramEngine : public CBenchEngine {
public:
    ~CSqliteTrigramEngine() override;
    std::string Name() const override { return "SQLite FTS5 trigram"; }
    bool Build(const CPageExport& pages, const std::string& strPath, std::string& strError) override;
    bool Open(const std::string& strPath, std::string& strError) override;
    // A new connection (its schema read, its page cache empty).
    bool Reopen(std::string& strError) override { return Open(m_strPath, strError); }
    uint64_t IndexBytes() const override;
    std::string IndexNote() const override { return "database file (text and trigram index)"; }

    BenchTranslation Translate(const CBenchQuery& query) const override;
    bool Run(const CBenchQuery& query, std::string& strError) override;
    void LastResult(std::vector<uint32_t>& pages, std::vector<uint32_t>& hits) const override;

    void SetFolding(const CPageExport& pages) { m_pPages = &pages; }

private:
    struct Statement {
        std::string sql;
        std::vector<std::string> values;  // bound to ?1, ?2, ...
        bool exact = true;
        std::string why;
    };
    Statement Prepare(const CBenchQuery& query) const;
    void Clear();

    const CPageExport* m_pPages = nullptr;
    std::vector<uint32_t> m_pages;  // of the last run
    CSqliteDatabase m_db;
    std::map<std::string, struct sqlite3_stmt*> m_statements;  // by SQL text
    std::string m_strPath;
};
