#pragma once

#include "model/historyentry.h"

#include <QString>

#include <cstdint>
#include <vector>

class CShelfDatabase;

// The searches in the shelf database, newest first, at most Limit() of
// them: adding one beyond the limit drops the oldest in the same
// transaction. The limit is kept in the database, so that every window
// keeps the same.
//
// A request is stored as JSON:
//   {"range": 1, "steps": [{"keywords": "春風", "or": false, "variants": true, "part": 0}, ...]}
// (part: 0 whole text, 1 main text, 2 annotations).
// REQUIRES: the database outlives the store and is used in its thread.
class CHistoryStore {
public:
    static constexpr int DefaultLimit = 1000;
    static constexpr int MinLimit = 10;
    static constexpr int MaxLimit = 100000;
    // A stored request with more steps, or longer keywords, is refused as
    // damaged when read.
    static constexpr int MaxSteps = 100;
    static constexpr int MaxKeywordUnits = 4096;

    explicit CHistoryStore(CShelfDatabase& database);

    // Stores entry (its nId is ignored), sets its nId and drops the oldest
    // entries beyond the limit.
    bool Add(HistoryEntryTag& entry /* IN OUT */);
    bool Remove(const std::vector<int64_t>& ids);
    bool Clear();
    // Every entry, newest first. An entry whose request cannot be read
    // (written by hand, damaged) is left out. pOk tells whether the
    // history could be read.
    std::vector<HistoryEntryTag> List(bool* pOk = nullptr);
    int64_t Count();

    // The limit (DefaultLimit until one is set).
    int Limit();
    // Keeps nLimit, clamped to MinLimit .. MaxLimit, and drops what lies beyond it.
    bool SetLimit(int nLimit);

    static QString EncodeRequest(const SearchRequestTag& request);
    // False (request unchanged) for anything but a request as EncodeRequest
    // writes it, within MaxSteps and MaxKeywordUnits.
    static bool DecodeRequest(const QString& strJson, SearchRequestTag& request /* OUT */);

    const QString& Error() const;

private:
    CShelfDatabase& m_database;
};
