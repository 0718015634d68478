#include "shelf/bookmarkstore.h"

#include "shelf/shelfdatabase.h"

#include <QCoreApplication>
#include <QSqlQuery>
#include <QVariant>

namespace {

const char* const kColumns = "id, citation, note, created, corpus, catalogue, page_index, digest";

BookmarkTag Row(const QSqlQuery& query) {
    BookmarkTag bookmark;
    bookmark.nId = query.value(0).toLongLong();
    bookmark.strCitation = query.value(1).toString().toStdU16String();
    bookmark.strNote = query.value(2).toString().toStdU16String();
    bookmark.nTime = query.value(3).toLongLong();
    bookmark.strCorpus = query.value(4).toString().toStdString();
    bookmark.strCatalogue = query.value(5).toString().toStdString();
    bookmark.nPageIndex = query.value(6).toInt();
    bookmark.strDigest = query.value(7).toString().toStdString();
    return bookmark;
}

}  // namespace

CBookmarkStore::CBookmarkStore(CShelfDatabase& database) : m_database(database) {}

const QString& CBookmarkStore::Error() const { return m_database.Error(); }

bool CBookmarkStore::Add(BookmarkTag& bookmark) {
    int64_t nId = 0;
    const bool bDone = m_database.Write([&](QSqlQuery& query) {
        query.prepare(QStringLiteral("INSERT INTO bookmarks (citation, note, created, corpus, catalogue, page_index, digest)"
                                     " VALUES (?, ?, ?, ?, ?, ?, ?)"));
        query.addBindValue(QString::fromStdU16String(bookmark.strCitation));
        query.addBindValue(QString::fromStdU16String(bookmark.strNote));
        query.addBindValue(static_cast<qlonglong>(bookmark.nTime));
        query.addBindValue(QString::fromStdString(bookmark.strCorpus));
        query.addBindValue(QString::fromStdString(bookmark.strCatalogue));
        query.addBindValue(bookmark.nPageIndex);
        query.addBindValue(QString::fromStdString(bookmark.strDigest));
        if (!query.exec()) return false;
        nId = query.lastInsertId().toLongLong();
        return true;
    });
    if (bDone) bookmark.nId = nId;
    return bDone;
}

bool CBookmarkStore::SetNote(int64_t nId, const std::u16string& strNote) {
    return m_database.Write([&](QSqlQuery& query) {
        query.prepare(QStringLiteral("UPDATE bookmarks SET note = ? WHERE id = ?"));
        query.addBindValue(QString::fromStdU16String(strNote));
        query.addBindValue(static_cast<qlonglong>(nId));
        if (!query.exec()) return false;
        if (query.numRowsAffected() == 1) return true;
        return m_database.Fail(QCoreApplication::translate("CBookmarkStore", "このしおりはもうありません（ほかの窓で削除されました）"));
    });
}

bool CBookmarkStore::Remove(const std::vector<int64_t>& ids) {
    if (ids.empty()) return true;
    return m_database.Write([&](QSqlQuery& query) {
        query.prepare(QStringLiteral("DELETE FROM bookmarks WHERE id = ?"));
        for (int64_t nId : ids) {
            query.bindValue(0, static_cast<qlonglong>(nId));
            if (!query.exec()) return false;
        }
        return true;
    });
}

std::vector<BookmarkTag> CBookmarkStore::List(bool* pOk) {
    std::vector<BookmarkTag> bookmarks;
    bool bOk = false;
    if (m_database.IsOpen()) {
        QSqlQuery query(m_database.Database());
        query.setForwardOnly(true);
        bOk = query.exec(QStringLiteral("SELECT %1 FROM bookmarks ORDER BY id DESC").arg(QLatin1String(kColumns)));
        if (bOk)
            while (query.next()) bookmarks.push_back(Row(query));
        else
            m_database.Fail(query);
    } else {
        m_database.Fail(QCoreApplication::translate("CBookmarkStore", "データベースが開いていません"));
    }
    if (pOk) *pOk = bOk;
    return bookmarks;
}

bool CBookmarkStore::FindPage(const std::string& strCatalogue, int32_t nPageIndex, const std::string& strDigest,
                              BookmarkTag& bookmark) {
    if (!m_database.IsOpen()) return false;
    QSqlQuery query(m_database.Database());
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT %1 FROM bookmarks WHERE catalogue = ? AND page_index = ? AND digest = ?"
                                 " ORDER BY id DESC LIMIT 1")
                      .arg(QLatin1String(kColumns)));
    query.addBindValue(QString::fromStdString(strCatalogue));
    query.addBindValue(nPageIndex);
    query.addBindValue(QString::fromStdString(strDigest));
    if (!query.exec()) return m_database.Fail(query);
    if (!query.next()) return false;
    bookmark = Row(query);
    return true;
}

int64_t CBookmarkStore::Count() {
    if (!m_database.IsOpen()) return -1;
    QSqlQuery query(m_database.Database());
    if (!query.exec(QStringLiteral("SELECT COUNT(*) FROM bookmarks")) || !query.next()) return -1;
    return query.value(0).toLongLong();
}
