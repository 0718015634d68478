#include "shelf/historystore.h"

#include "shelf/shelfdatabase.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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

QString CHistoryStore::EncodeRequest(const SearchRequestTag& request) {
    QJsonArray steps;
    for (const SearchStepTag& step : request.steps) {
        steps.append(QJsonObject{{QStringLiteral("keywords"), QString::fromStdU16String(step.keywords)},
                                 {QStringLiteral("or"), step.bOr},
                                 {QStringLiteral("variants"), step.bVariants},
                                 {QStringLiteral("part"), static_cast<int>(step.ePart)}});
    }
    const QJsonObject object{{QStringLiteral("range"), request.nRange}, {QStringLiteral("steps"), steps}};
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

bool CHistoryStore::DecodeRequest(const QString& strJson, SearchRequestTag& request) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(strJson.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) return false;
    const QJsonObject object = document.object();
    const QJsonValue range = object.value(QStringLiteral("range"));
    const QJsonValue steps = object.value(QStringLiteral("steps"));
    if (!range.isDouble() || !steps.isArray()) return false;
    const double dRange = range.toDouble();
    if (dRange < 0 || dRange > INT32_MAX || dRange != static_cast<double>(static_cast<int32_t>(dRange))) return false;
    const QJsonArray array = steps.toArray();
    if (array.isEmpty() || array.size() > MaxSteps) return false;
    SearchRequestTag decoded;
    decoded.nRange = static_cast<int32_t>(dRange);
    for (const QJsonValue& value : array) {
        if (!value.isObject()) return false;
        const QJsonObject step = value.toObject();
        const QJsonValue keywords = step.value(QStringLiteral("keywords"));
        const QJsonValue bOr = step.value(QStringLiteral("or"));
        const QJsonValue bVariants = step.value(QStringLiteral("variants"));
        const QJsonValue part = step.value(QStringLiteral("part"));
        if (!keywords.isString() || !bOr.isBool() || !bVariants.isBool() || !part.isDouble()) return false;
        const QString strKeywords = keywords.toString();
        const double dPart = part.toDouble();
        if (strKeywords.size() > MaxKeywordUnits || !(dPart == 0 || dPart == 1 || dPart == 2)) return false;
        SearchStepTag decodedStep;
        decodedStep.keywords = strKeywords.toStdU16String();
        decodedStep.bOr = bOr.toBool();
        decodedStep.bVariants = bVariants.toBool();
        decodedStep.ePart = static_cast<TextPart>(static_cast<int>(dPart));
        decoded.steps.push_back(std::move(decodedStep));
    }
    request = std::move(decoded);
    return true;
}

bool CHistoryStore::Add(HistoryEntryTag& entry) {
    int64_t nId = 0;
    const bool bDone = m_database.Write([&](QSqlQuery& query) {
        const int nLimit = ReadLimit(query);
        query.prepare(QStringLiteral("INSERT INTO history (request, range_label, searched, corpus, catalogue, pages, places)"
                                     " VALUES (?, ?, ?, ?, ?, ?, ?)"));
        query.addBindValue(EncodeRequest(entry.request));
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
                if (!DecodeRequest(query.value(1).toString(), entry.request)) continue;
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
