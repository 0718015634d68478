#include "bench/sqlitetrigramengine.h"

#include "bench/pageexport.h"
#include "text/codeconverter.h"

#include <sqlite3.h>

#include <algorithm>

CSqliteTrigramEngine::~CSqliteTrigramEngine() { Clear(); }

void CSqliteTrigramEngine::Clear() {
    for (auto& entry : m_statements) CSqliteDatabase::Finalize(entry.second);
    m_statements.clear();
}

bool CSqliteTrigramEngine::Build(const CPageExport& pages, const std::string& strPath, std::string& strError) {
    m_pPages = &pages;
    Clear();
    m_db.Close();
    const std::vector<char32_t>& chars = pages.Chars();
    const std::vector<ExportRun>& runs = pages.Runs();
    auto text = [&](uint32_t p, std::string& strText) {
        for (size_t r = pages.FirstRun(p); r < pages.EndRun(p); ++r) {
            if (r > pages.FirstRun(p)) strText += "\n\n";
            const ExportRun& run = runs[r];
            for (uint32_t i = 0; i < run.length; ++i) CCodeConverter::AppendUtf8(pages.Fold(chars[run.offset + i]), strText);
        }
    };
    const char* const pszCreate = "CREATE VIRTUAL TABLE pages USING fts5(body, tokenize='trigram')";
    return CSqliteDatabase::BuildPagesTable(strPath, pszCreate, pages.PageCount(), text, strError) &&
           Open(strPath, strError);
}

bool CSqliteTrigramEngine::Open(const std::string& strPath, std::string& strError) {
    Clear();
    m_strPath = strPath;
    if (!m_db.Open(strPath, false, strError)) return false;
    // The schema is read here, as the token engine's prepared statement
    // reads it: a first query then pays for the index alone.
    return m_db.Exec("PRAGMA mmap_size=8589934592", strError) && m_db.Exec("SELECT rowid FROM pages LIMIT 0", strError);
}

uint64_t CSqliteTrigramEngine::IndexBytes() const { return CSqliteDatabase::FileBytes(m_strPath); }

CSqliteTrigramEngine::Statement CSqliteTrigramEngine::Prepare(const CBenchQuery& query) const {
    Statement statement;
    auto fold = [this](char32_t c) { return m_pPages ? m_pPages->Fold(c) : c; };
    std::vector<std::string> phrases;  // MATCH forms, while every keyword has one
    std::vector<std::string> likes;
    std::vector<bool> scans;  // a LIKE without three characters in a row
    bool bAllMatch = true;
    for (const BenchPattern& pattern : query.m_patterns) {
        std::string strLike = "%";
        size_t nLongest = 0;  // longest stretch of characters without wildcards
        for (size_t s = 0; s < pattern.segments.size(); ++s) {
            const auto& segment = pattern.segments[s];
            if (s > 0) strLike += "%";
            // "?" before the first and after the last character of a segment
            // impose nothing.
            size_t nFirst = 0;
            size_t nEnd = segment.size();
            while (nFirst < nEnd && segment[nFirst].any) ++nFirst;
            while (nEnd > nFirst && segment[nEnd - 1].any) --nEnd;
            size_t nStretch = 0;
            size_t nAnyRun = 0;
            for (size_t i = nFirst; i < nEnd; ++i) {
                if (segment[i].any) {
                    strLike += "_";
                    nStretch = 0;
                    if (++nAnyRun > 1) {
                        statement.exact = false;
                        statement.why = "several \"?\" in a row may cross a run";
                    }
                } else {
                    CCodeConverter::AppendUtf8(fold(segment[i].c), strLike);
                    nLongest = std::max(nLongest, ++nStretch);
                    nAnyRun = 0;
                }
            }
        }
        strLike += "%";
        likes.push_back(strLike);
        scans.push_back(nLongest < 3);
        const bool bPlain = pattern.segments.size() == 1 && !pattern.HasInnerAny() && nLongest >= 3;
        if (bPlain) {
            std::string strPhrase = "\"";
            for (const BenchElement& element : pattern.segments[0])
                if (!element.any) CCodeConverter::AppendUtf8(fold(element.c), strPhrase);
            phrases.push_back(strPhrase + "\"");
        } else {
            bAllMatch = false;
        }
        if (pattern.segments.size() > 1) {
            statement.exact = false;
            statement.why = "\"*\" as LIKE '%': any length, across runs";
        }
    }
    const char* pszJoin = query.m_bOr ? " OR " : " AND ";
    if (bAllMatch) {
        std::string strMatch;
        for (size_t i = 0; i < phrases.size(); ++i) strMatch += (i ? pszJoin : "") + phrases[i];
        statement.sql = "SELECT rowid FROM pages WHERE pages MATCH ?1";
        statement.values.push_back(strMatch);
    } else {
        statement.sql = "SELECT rowid FROM pages WHERE ";
        // Without three characters in a row the trigram index cannot answer
        // a LIKE, and SQLite 3.40's trigram tokenizer then returns no row
        // at all; "+body" leaves the condition to SQLite, which reads every
        // row (the documented fallback).
        for (size_t i = 0; i < likes.size(); ++i)
            statement.sql += std::string(i ? pszJoin : "") + (scans[i] ? "+body" : "body") + " LIKE ?" +
                             std::to_string(i + 1);
        statement.values = likes;
    }
    return statement;
}

BenchTranslation CSqliteTrigramEngine::Translate(const CBenchQuery& query) const {
    const Statement statement = Prepare(query);
    BenchTranslation translation;
    translation.exact = statement.exact;
    translation.why = statement.why;
    const bool bMatch = statement.sql.find("MATCH") != std::string::npos;
    for (size_t i = 0; i < statement.values.size(); ++i) {
        if (i) translation.text += query.m_bOr ? " OR " : " AND ";
        translation.text += (bMatch ? "MATCH '" : "LIKE '") + statement.values[i] + "'";
    }
    if (statement.sql.find("+body") != std::string::npos) translation.text += " (reads every row)";
    return translation;
}

bool CSqliteTrigramEngine::Run(const CBenchQuery& query, std::string& strError) {
    std::vector<uint32_t>& pages = m_pages;
    pages.clear();
    const Statement statement = Prepare(query);
    sqlite3_stmt*& pStatement = m_statements[statement.sql];
    if (!pStatement) {
        pStatement = m_db.Prepare(statement.sql, strError);
        if (!pStatement) return false;
    }
    for (size_t i = 0; i < statement.values.size(); ++i)
        sqlite3_bind_text(pStatement, static_cast<int>(i + 1), statement.values[i].data(),
                          static_cast<int>(statement.values[i].size()), SQLITE_TRANSIENT);
    int nStep;
    while ((nStep = sqlite3_step(pStatement)) == SQLITE_ROW)
        pages.push_back(static_cast<uint32_t>(sqlite3_column_int64(pStatement, 0)));
    sqlite3_reset(pStatement);
    if (nStep != SQLITE_DONE) {
        strError = m_db.Error(statement.sql + " failed");
        return false;
    }
    return true;
}

void CSqliteTrigramEngine::LastResult(std::vector<uint32_t>& pages, std::vector<uint32_t>& hits) const {
    pages = m_pages;
    hits.clear();
}
