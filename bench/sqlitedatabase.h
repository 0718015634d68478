#pragma once

#include <cstdint>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

// A SQLite database file with the few calls the bench needs; errors name
// the file and SQLite's message. Not copyable.
class CSqliteDatabase {
public:
    CSqliteDatabase() = default;
    ~CSqliteDatabase() { Close(); }
    CSqliteDatabase(const CSqliteDatabase&) = delete;
    CSqliteDatabase& operator=(const CSqliteDatabase&) = delete;

    // Opens strPath; bCreate: removes an existing file first and creates it.
    bool Open(const std::string& strPath, bool bCreate, std::string& strError);
    void Close();
    bool IsOpen() const { return m_pDb != nullptr; }

    bool Exec(const std::string& strSql, std::string& strError);
    // A prepared statement; the caller finalises it (Finalize).
    sqlite3_stmt* Prepare(const std::string& strSql, std::string& strError);
    static void Finalize(sqlite3_stmt*& pStatement);
    std::string Error(const std::string& strWhat) const;

    const std::string& Path() const { return m_strPath; }
    sqlite3* Handle() { return m_pDb; }

private:
    sqlite3* m_pDb = nullptr;
    std::string m_strPath;
};
