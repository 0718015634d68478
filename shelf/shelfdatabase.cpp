#include "shelf/shelfdatabase.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QStringList>

const char* const CShelfDatabase::FileName = "shelf.sqlite";

namespace {

QString Tr(const char* pszText) { return QCoreApplication::translate("CShelfDatabase", pszText); }

// SQLite's primary result codes that the driver reports.
enum SqliteCode {
    SqlitePerm = 3,
    SqliteBusy = 5,
    SqliteLocked = 6,
    SqliteReadOnly = 8,
    SqliteIoErr = 10,
    SqliteCorrupt = 11,
    SqliteCantOpen = 14,
    SqliteAuth = 23,
    SqliteNotADb = 26,
};

// The tables. Ids are never used again (AUTOINCREMENT), so that a window
// that deletes an entry another window has listed never hits a newer one.
const char* const kSchema[] = {
    "CREATE TABLE IF NOT EXISTS bookmarks ("
    " id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " citation TEXT NOT NULL,"
    " note TEXT NOT NULL DEFAULT '',"
    " created INTEGER NOT NULL,"
    " corpus TEXT NOT NULL,"
    " catalogue TEXT NOT NULL,"
    " page_index INTEGER NOT NULL,"
    " digest TEXT NOT NULL)",
    "CREATE TABLE IF NOT EXISTS history ("
    " id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " request TEXT NOT NULL,"
    " range_label TEXT NOT NULL,"
    " searched INTEGER NOT NULL,"
    " corpus TEXT NOT NULL,"
    " catalogue TEXT NOT NULL,"
    " pages INTEGER NOT NULL,"
    " places INTEGER NOT NULL)",
    "CREATE TABLE IF NOT EXISTS settings (key TEXT PRIMARY KEY, value TEXT NOT NULL)",
};

// Statements that read every column the stores use: a file whose tables
// lack one is not ours.
struct ProbeSpec {
    const char* pszTable;
    const char* pszStatement;
};
const ProbeSpec kProbes[] = {
    {"bookmarks", "SELECT id, citation, note, created, corpus, catalogue, page_index, digest FROM bookmarks LIMIT 0"},
    {"history", "SELECT id, request, range_label, searched, corpus, catalogue, pages, places FROM history LIMIT 0"},
    {"settings", "SELECT key, value FROM settings LIMIT 0"},
};

int CodeOf(const QSqlError& error) { return error.nativeErrorCode().toInt() & 0xFF; }

QString Reason(const QSqlError& error) {
    return error.databaseText().isEmpty() ? error.text() : error.databaseText();
}

}  // namespace

QString CShelfDatabase::DefaultPath() {
    const QString strFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return strFolder.isEmpty() ? QString() : strFolder + u'/' + QString::fromLatin1(FileName);
}

CShelfDatabase::CShelfDatabase(const QString& strPath) : m_strPath(strPath) {
    static QAtomicInt nConnections;
    m_strConnection = QStringLiteral("tessaline-shelf-%1").arg(nConnections.fetchAndAddRelaxed(1) + 1);
}

CShelfDatabase::~CShelfDatabase() { Close(); }

void CShelfDatabase::Close() { Disconnect(); }

void CShelfDatabase::Disconnect() {
    if (!m_db.isValid()) return;
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_strConnection);
}

QString CShelfDatabase::SetAsideName(const QString& strPath) {
    return strPath + QStringLiteral(".damaged-") +
           QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
}

bool CShelfDatabase::Open() {
    Disconnect();
    m_strNotice.clear();
    m_strSetAside.clear();
    m_strError.clear();
    const QString strShown = QDir::toNativeSeparators(m_strPath);
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE"))) {
        m_strError = Tr("SQLite のドライバがありません（Debian のパッケージ libqt6sql6-sqlite）");
        m_strNotice = Tr("しおりと検索履歴は使えません: %1。").arg(m_strError);
        return false;
    }
    if (m_strPath.isEmpty()) {
        OpenInMemory(Tr("利用者のデータフォルダがありません"));
        return IsOpen();
    }
    const QFileInfo info(m_strPath);
    if (!QDir().mkpath(info.absolutePath())) {
        OpenInMemory(Tr("フォルダ「%1」を作れません").arg(QDir::toNativeSeparators(info.absolutePath())));
        return IsOpen();
    }

    QString strWhy;
    Verdict eVerdict = Verdict::Usable;
    // A folder, a pipe or a device in the file's place: SQLite would fail
    // on it, or wait on a pipe for ever.
    if (info.exists() && !info.isFile()) {
        eVerdict = Verdict::Unusable;
        strWhy = Tr("普通のファイルではありません");
    } else {
        eVerdict = Connect(false, strWhy);
    }
    if (eVerdict == Verdict::Usable) return true;
    if (eVerdict == Verdict::Unusable) {
        Disconnect();
        if (!SetAside()) {
            OpenInMemory(Tr("「%1」は使えず（%2）、脇に移すこともできません").arg(strShown, strWhy));
            return IsOpen();
        }
        QString strFresh;
        if (Connect(false, strFresh) != Verdict::Usable) {
            Disconnect();
            OpenInMemory(Tr("「%1」は使えず（%2）、新しく作ることもできません（%3）").arg(strShown, strWhy, strFresh));
            return IsOpen();
        }
        m_strNotice = Tr("しおりと検索履歴のデータベース「%1」は使えませんでした（%2）。元のファイルは「%3」として残し、"
                         "新しいデータベースを作りました。")
                          .arg(strShown, strWhy, QDir::toNativeSeparators(m_strSetAside));
        return true;
    }
    Disconnect();
    if (eVerdict == Verdict::Busy)
        OpenInMemory(Tr("「%1」はほかの窓が使用中で、%2 秒待っても空きません").arg(strShown).arg(BusyTimeoutMs / 1000));
    else
        OpenInMemory(Tr("「%1」を開けません（%2）").arg(strShown, strWhy));
    return IsOpen();
}

void CShelfDatabase::OpenInMemory(const QString& strWhy) {
    QString strMemory;
    if (Connect(true, strMemory) != Verdict::Usable) {
        Disconnect();
        m_strError = strWhy;
        m_strNotice = Tr("しおりと検索履歴は使えません: %1。").arg(strWhy);
        return;
    }
    m_strError = strWhy;
    m_strNotice = Tr("しおりと検索履歴は保存できません: %1。この窓を閉じると、その間に挟んだしおりと検索の履歴は消えます。")
                      .arg(strWhy);
}

CShelfDatabase::Verdict CShelfDatabase::Judge(const QSqlError& error, QString& strWhy) const {
    const int nCode = CodeOf(error);
    switch (nCode) {
    case SqliteNotADb:
        strWhy = Tr("SQLite のデータベースではありません");
        return Verdict::Unusable;
    case SqliteCorrupt:
        strWhy = Tr("壊れています");
        return Verdict::Unusable;
    case SqliteCantOpen:
    case SqlitePerm:
    case SqliteAuth:
    case SqliteReadOnly:
        strWhy = Tr("読み書きできません: %1").arg(Reason(error));
        return Verdict::Unusable;
    case SqliteBusy:
    case SqliteLocked:
        strWhy = Reason(error);
        return Verdict::Busy;
    default:
        strWhy = Reason(error);
        return Verdict::Failed;
    }
}

CShelfDatabase::Verdict CShelfDatabase::Connect(bool bInMemory, QString& strWhy) {
    Disconnect();
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_strConnection);
    m_db.setDatabaseName(bInMemory ? QStringLiteral(":memory:") : m_strPath);
    m_db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs));
    m_bKept = !bInMemory;
    if (!m_db.open()) return Judge(m_db.lastError(), strWhy);

    QSqlQuery query(m_db);
    // Reading the header and every page's structure: a file that is no
    // database, or a damaged one, fails here rather than later.
    if (!query.exec(QStringLiteral("PRAGMA quick_check(1)"))) return Judge(query.lastError(), strWhy);
    if (query.next() && query.value(0).toString() != QLatin1String("ok")) {
        strWhy = Tr("壊れています: %1").arg(query.value(0).toString().left(200));
        return Verdict::Unusable;
    }
    query.finish();
    if (!query.exec(QStringLiteral("PRAGMA application_id"))) return Judge(query.lastError(), strWhy);
    const int nApplication = query.next() ? query.value(0).toInt() : 0;
    query.finish();
    if (nApplication != 0 && nApplication != ApplicationId) {
        strWhy = Tr("ほかのプログラムのデータベースです");
        return Verdict::Unusable;
    }
    // Tables of ours that are there must have every column the stores
    // read; this before anything is written, so that a file set aside is
    // as it was found.
    QStringList tables;
    if (!query.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"))) return Judge(query.lastError(), strWhy);
    while (query.next()) tables << query.value(0).toString();
    query.finish();
    for (const ProbeSpec& probe : kProbes) {
        if (!tables.contains(QLatin1String(probe.pszTable))) continue;
        if (!query.exec(QString::fromLatin1(probe.pszStatement))) {
            const Verdict eVerdict = Judge(query.lastError(), strWhy);
            if (eVerdict != Verdict::Failed) return eVerdict;
            strWhy = Tr("表の形が違います: %1").arg(Reason(query.lastError()));
            return Verdict::Unusable;
        }
        query.finish();
    }

    // Readers never wait for a writer, and a commit is not synced to disk
    // until the journal is folded back (a power cut may lose the last
    // entries, never the file).
    if (!query.exec(QStringLiteral("PRAGMA journal_mode=WAL"))) return Judge(query.lastError(), strWhy);
    query.finish();
    if (!query.exec(QStringLiteral("PRAGMA synchronous=NORMAL"))) return Judge(query.lastError(), strWhy);

    const bool bMade = Write([](QSqlQuery& q) {
        for (const char* pszStatement : kSchema)
            if (!q.exec(QString::fromLatin1(pszStatement))) return false;
        if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next()) return false;
        const int nVersion = q.value(0).toInt();
        q.finish();
        // A newer program's file keeps its number: its tables hold ours.
        if (nVersion < SchemaVersion && !q.exec(QStringLiteral("PRAGMA user_version=%1").arg(SchemaVersion))) return false;
        return q.exec(QStringLiteral("PRAGMA application_id=%1").arg(ApplicationId));
    });
    if (!bMade) {
        QSqlQuery probe(m_db);
        if (!probe.exec(QStringLiteral("SELECT 1"))) return Judge(probe.lastError(), strWhy);
        strWhy = m_strError;
        return Verdict::Failed;
    }
    m_strError.clear();
    return Verdict::Usable;
}

bool CShelfDatabase::SetAside() {
    QString strTarget = SetAsideName(m_strPath);
    // Two damaged files in one second: the later one gets a number.
    for (int n = 2; QFileInfo(strTarget).exists() || QFileInfo(strTarget).isSymLink(); ++n)
        strTarget = SetAsideName(m_strPath) + QStringLiteral("-%1").arg(n);
    if (!QDir().rename(m_strPath, strTarget)) return false;
    // The journal files go with it, so that the pair can still be read
    // together; a fresh database must not pick them up.
    for (const char* pszSuffix : {"-wal", "-shm", "-journal"}) {
        const QString strJournal = m_strPath + QLatin1String(pszSuffix);
        if (QFileInfo(strJournal).exists() && !QDir().rename(strJournal, strTarget + QLatin1String(pszSuffix)))
            QFile::remove(strJournal);
    }
    m_strSetAside = strTarget;
    return true;
}

bool CShelfDatabase::Write(const std::function<bool(QSqlQuery& query)>& work) {
    if (!IsOpen()) return Fail(Tr("データベースが開いていません"));
    m_strError.clear();
    QSqlQuery query(m_db);
    // The busy timeout covers the wait for the write lock; a writer that
    // holds it longer still is waited for a few times more.
    bool bBegun = false;
    for (int nTry = 0; nTry < 3 && !bBegun; ++nTry) {
        bBegun = query.exec(QStringLiteral("BEGIN IMMEDIATE"));
        if (!bBegun) {
            const int nCode = CodeOf(query.lastError());
            if (nCode != SqliteBusy && nCode != SqliteLocked) break;
        }
    }
    if (!bBegun) return Fail(query);
    QSqlQuery workQuery(m_db);
    if (!work(workQuery)) {
        // The work's own reason, else the statement that failed.
        if (m_strError.isEmpty()) {
            if (workQuery.lastError().isValid())
                Fail(workQuery);
            else
                Fail(Tr("書き込めませんでした"));
        }
        workQuery.finish();
        query.exec(QStringLiteral("ROLLBACK"));
        return false;
    }
    workQuery.finish();
    if (!query.exec(QStringLiteral("COMMIT"))) {
        Fail(query);
        QSqlQuery rollback(m_db);
        rollback.exec(QStringLiteral("ROLLBACK"));
        return false;
    }
    return true;
}

bool CShelfDatabase::Fail(const QSqlQuery& query) { return Fail(Reason(query.lastError())); }

bool CShelfDatabase::Fail(const QString& strError) {
    m_strError = strError;
    return false;
}
