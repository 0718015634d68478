#include "bench/sqlitedatabase.h"

#include <sqlite3.h>

#include <cstdio>

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
