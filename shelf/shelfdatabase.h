#pragma once

#include <QSqlDatabase>
#include <QString>

#include <functional>

class QSqlError;
class QSqlQuery;

// The reader's own database of bookmarks and searches: an SQLite file in
// the user's data folder (QStandardPaths::AppDataLocation), never in the
// corpus folder.
//
// Several windows of the program (each its own process) use the file at
// once: it is kept in WAL mode, so that reading never waits for writing,
// every write is one short transaction that takes the write lock at its
// start (BEGIN IMMEDIATE), and a connection waits up to BusyTimeoutMs for
// another's write to end, so that no entry is lost to a busy file.
//
// Open() never gives up on the reader: a file that cannot be used (not a
// database, damaged, not a regular file, unreadable, another program's) is
// renamed to "<name>.damaged-YYYYMMDD-HHMMSS" beside it, with its journal
// files, and a fresh database is made; Notice() tells the reader both
// names. Where no file can be made at all, the database lives in memory
// until the object goes, and Notice() says that nothing will be kept.
//
// Each object has a connection of its own (its own name); it must be used
// in the thread that made it. Not copyable.
class CShelfDatabase {
public:
    static constexpr int SchemaVersion = 1;
    // "TSLF" in the file's header, so that the file is told apart from
    // other programs' databases.
    static constexpr int ApplicationId = 0x54534C46;
    static constexpr int BusyTimeoutMs = 5000;
    static const char* const FileName;  // "shelf.sqlite"

    // FileName in the user's data folder; empty when there is none.
    static QString DefaultPath();

    explicit CShelfDatabase(const QString& strPath);
    ~CShelfDatabase();
    CShelfDatabase(const CShelfDatabase&) = delete;
    CShelfDatabase& operator=(const CShelfDatabase&) = delete;

    // Opens the database (making the file and its folder where they are
    // missing). False only when not even a database in memory opens (no
    // SQLite driver); Notice() and Error() say why.
    bool Open();
    void Close();
    bool IsOpen() const { return m_db.isValid() && m_db.isOpen(); }
    // The database is a file (not kept in memory only).
    bool IsKept() const { return IsOpen() && m_bKept; }

    const QString& Path() const { return m_strPath; }
    // What the reader should be told about the opening; empty when all went well.
    const QString& Notice() const { return m_strNotice; }
    // Where an unusable file was set aside; empty when none was.
    const QString& SetAsidePath() const { return m_strSetAside; }
    // The last failure, for a message.
    const QString& Error() const { return m_strError; }

    QSqlDatabase& Database() { return m_db; }

    // Runs work in one write transaction; commits when it returns true,
    // rolls back when it returns false or a statement fails. The write lock
    // is taken at the start, waiting for other connections' writes. False
    // (Error() says why) when the work or the commit failed.
    bool Write(const std::function<bool(QSqlQuery& query)>& work);
    // Records a failed statement as Error(); returns false.
    bool Fail(const QSqlQuery& query);
    bool Fail(const QString& strError);

    // The name for a file set aside at this moment: "<path>.damaged-YYYYMMDD-HHMMSS".
    static QString SetAsideName(const QString& strPath);

private:
    enum class Verdict { Usable, Unusable, Busy, Failed };
    // Opens m_strPath (or memory) on a new connection and makes the schema.
    Verdict Connect(bool bInMemory, QString& strWhy /* OUT */);
    Verdict Judge(const QSqlError& error, QString& strWhy /* OUT */) const;
    void Disconnect();
    // Renames m_strPath and its journal files; false if the file stays.
    bool SetAside();
    void OpenInMemory(const QString& strWhy);

    QString m_strPath;
    QString m_strConnection;
    QSqlDatabase m_db;
    bool m_bKept = false;
    QString m_strNotice;
    QString m_strSetAside;
    QString m_strError;
};
