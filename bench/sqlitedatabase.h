#pragma once

#include <cstdint>
#include <functional>
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
    // The size of the database file; 0 if it cannot be read.
    static uint64_t FileBytes(const std::string& strPath);

    // Makes strPath afresh with the FTS5 table "pages" (one column, body)
    // that strCreate creates, one row per page 0 .. nPages - 1 with the
    // text fnText writes for it, then optimises and compacts the file.
    static bool BuildPagesTable(const std::string& strPath, const std::string& strCreate, uint32_t nPages,
                                const std::function<void(uint32_t nPage, std::string& strText)>& fnText,
                                std::string& strError);
    sqlite3* Handle() { return m_pDb; }

private:
    sqlite3* m_pDb = nullptr;
    std::string m_strPath;
};
