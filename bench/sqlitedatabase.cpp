#include "bench/sqlitedatabase.h"

#include <sqlite3.h>

#include <cstdio>
#include <filesystem>

bool CSqliteDatabase::Open(const std::string& strPath, bool bCreate, std::string& strError) {
    Close();
    m_strPath = strPath;
    if (bCreate) {
        std::remove(strPath.c_str());
        std::remove((strPath + "-journal").c_str());
    }
    const int nFlags = bCreate ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE : SQLITE_OPEN_READONLY;
    if (sqlite3_open_v2(strPath.c_str(), &m_pDb, nFlags, nullptr) != SQLITE_OK) {
        strError = Error("cannot open the database");
        Close();
        return false;
    }
    return true;
}

void CSqliteDatabase::Close() {
    if (m_pDb) sqlite3_close_v2(m_pDb);
    m_pDb = nullptr;
}

std::string CSqliteDatabase::Error(const std::string& strWhat) const {
    return m_strPath + ": " + strWhat + " (" + (m_pDb ? sqlite3_errmsg(m_pDb) : "no database") + ")";
}

bool CSqliteDatabase::Exec(const std::string& strSql, std::string& strError) {
    char* pszMessage = nullptr;
    if (sqlite3_exec(m_pDb, strSql.c_str(), nullptr, nullptr, &pszMessage) != SQLITE_OK) {
        strError = m_strPath + ": " + strSql + " failed (" + (pszMessage ? pszMessage : "unknown error") + ")";
        sqlite3_free(pszMessage);
        return false;
    }
    return true;
}

sqlite3_stmt* CSqliteDatabase::Prepare(const std::string& strSql, std::string& strError) {
    sqlite3_stmt* pStatement = nullptr;
    if (sqlite3_prepare_v2(m_pDb, strSql.c_str(), -1, &pStatement, nullptr) != SQLITE_OK) {
        strError = Error("cannot prepare " + strSql);
        return nullptr;
    }
    return pStatement;
}

void CSqliteDatabase::Finalize(sqlite3_stmt*& pStatement) {
    if (pStatement) sqlite3_finalize(pStatement);
    pStatement = nullptr;
}

uint64_t CSqliteDatabase::FileBytes(const std::string& strPath) {
    std::error_code ec;
    const uintmax_t n = std::filesystem::file_size(strPath, ec);
    return ec ? 0 : n;
}

bool CSqliteDatabase::BuildPagesTable(const std::string& strPath, const std::string& strCreate, uint32_t nPages,
                                      const std::function<void(uint32_t, std::string&)>& fnText,
                                      std::string& strError) {
    CSqliteDatabase db;
    if (!db.Open(strPath, true, strError)) return false;
    if (!db.Exec("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA cache_size=-524288;", strError) ||
        !db.Exec(strCreate, strError) || !db.Exec("BEGIN", strError))
        return false;
    sqlite3_stmt* pInsert = db.Prepare("INSERT INTO pages(rowid, body) VALUES(?1, ?2)", strError);
    if (!pInsert) return false;
    std::string strText;
    for (uint32_t p = 0; p < nPages; ++p) {
        strText.clear();
        fnText(p, strText);
        sqlite3_bind_int64(pInsert, 1, p);
        sqlite3_bind_text(pInsert, 2, strText.data(), static_cast<int>(strText.size()), SQLITE_STATIC);
        if (sqlite3_step(pInsert) != SQLITE_DONE) {
            strError = db.Error("cannot insert page " + std::to_string(p));
            Finalize(pInsert);
            return false;
        }
        sqlite3_reset(pInsert);
    }
    Finalize(pInsert);
    return db.Exec("COMMIT", strError) && db.Exec("INSERT INTO pages(pages) VALUES('optimize')", strError) &&
           db.Exec("VACUUM", strError);
}
