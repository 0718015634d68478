#include "shelf/historystore.h"

#include "shelf/shelfdatabase.h"

#include <QCoreApplication>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>
#include <cstdint>

namespace {

const char* const kLimitKey = "history_limit";

// Drops the oldest entries beyond nLimit.
bool Trim(QSqlQuery& query, int nLimit) {
    query.prepare(QStringLiteral(
        "DELETE FROM history WHERE id <= (SELECT id FROM history ORDER BY id DESC LIMIT 1 OFFSET ?)"));
    query.addBindValue(nLimit);
    return query.exec();
}

int ReadLimit(QSqlQuery& query) {
    query.prepare(QStringLiteral("SELECT value FROM settings WHERE key = ?"));
    query.addBindValue(QString::fromLatin1(kLimitKey));
    if (!query.exec() || !query.next()) return CHistoryStore::DefaultLimit;
    bool bOk = false;
    const int nLimit = query.value(0).toString().toInt(&bOk);
    query.finish();
    return bOk ? std::clamp(nLimit, CHistoryStore::MinLimit, CHistoryStore::MaxLimit) : CHistoryStore::DefaultLimit;
}

}  // namespace

CHistoryStore::CHistoryStore(CShelfDatabase& database) : m_database(database) {}

const QString& CHistoryStore::Error() const { return m_database.Error(); }

bool CHistoryStore::Add(HistoryEntryTag& entry) {
    int64_t nId = 0;
    const bool bDone = m_database.Write([&](QSqlQuery& query) {
        const int nLimit = ReadLimit(query);
        query.prepare(QStringLiteral("INSERT INTO history (request, range_label, searched, corpus, catalogue, pages, places)"
                                     " VALUES (?, ?, ?, ?, ?, ?, ?)"));
        query.addBindValue(QString::fromStdU16String(CHistoryEntry::EncodeRequest(entry.request)));
        query.addBindValue(QString::fromStdU16String(entry.strRangeLabel));
        query.addBindValue(static_cast<qlonglong>(entry.nTime));
        query.addBindValue(QString::fromStdString(entry.strCorpus));
        query.addBindValue(QString::fromStdString(entry.strCatalogue));
        query.addBindValue(static_cast<qlonglong>(entry.nPages));
        query.addBindValue(static_cast<qlonglong>(entry.nPlaces));
        if (!query.exec()) return false;
        nId = query.lastInsertId().toLongLong();
        return Trim(query, nLimit);
    });
    if (bDone) entry.nId = nId;
    return bDone;
}

bool CHistoryStore::Remove(const std::vector<int64_t>& ids) {
    if (ids.empty()) return true;
    return m_database.Write([&](QSqlQuery& query) {
        query.prepare(QStringLiteral("DELETE FROM history WHERE id = ?"));
        for (int64_t nId : ids) {
            query.bindValue(0, static_cast<qlonglong>(nId));
            if (!query.exec()) return false;
        }
        return true;
    });
}

bool CHistoryStore::Clear() {
    return m_database.Write([](QSqlQuery& query) { return query.exec(QStringLiteral("DELETE FROM history")); });
}

std::vector<HistoryEntryTag> CHistoryStore::List(bool* pOk) {
    std::vector<HistoryEntryTag> entries;
    bool bOk = false;
    if (m_database.IsOpen()) {
        QSqlQuery query(m_database.Database());
        query.setForwardOnly(true);
        bOk = query.exec(QStringLiteral("SELECT id, request, range_label, searched, corpus, catalogue, pages, places"
                                        " FROM history ORDER BY id DESC"));
        if (bOk) {
            while (query.next()) {
                HistoryEntryTag entry;
                if (!CHistoryEntry::DecodeRequest(query.value(1).toString().toStdU16String(), entry.request)) continue;
                entry.nId = query.value(0).toLongLong();
                entry.strRangeLabel = query.value(2).toString().toStdU16String();
                entry.nTime = query.value(3).toLongLong();
                entry.strCorpus = query.value(4).toString().toStdString();
                entry.strCatalogue = query.value(5).toString().toStdString();
                entry.nPages = query.value(6).toLongLong();
                entry.nPlaces = query.value(7).toLongLong();
                entries.push_back(std::move(entry));
            }
        } else {
            m_database.Fail(query);
        }
    } else {
        m_database.Fail(QCoreApplication::translate("CHistoryStore", "データベースが開いていません"));
    }
    if (pOk) *pOk = bOk;
    return entries;
}

int64_t CHistoryStore::Count() {
    if (!m_database.IsOpen()) return -1;
    QSqlQuery query(m_database.Database());
    if (!query.exec(QStringLiteral("SELECT COUNT(*) FROM history")) || !query.next()) return -1;
    return query.value(0).toLongLong();
}

int CHistoryStore::Limit() {
    if (!m_database.IsOpen()) return DefaultLimit;
    QSqlQuery query(m_database.Database());
    return ReadLimit(query);
}

bool CHistoryStore::SetLimit(int nLimit) {
    const int nKept = std::clamp(nLimit, MinLimit, MaxLimit);
    return m_database.Write([&](QSqlQuery& query) {
        query.prepare(QStringLiteral("INSERT OR REPLACE INTO settings (key, value) VALUES (?, ?)"));
        query.addBindValue(QString::fromLatin1(kLimitKey));
        query.addBindValue(QString::number(nKept));
        return query.exec() && Trim(query, nKept);
    });
}
