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
// A request is stored whole as the text CHistoryEntry::EncodeRequest
// writes; a row whose text cannot be read is left out of the list.
// REQUIRES: the database outlives the store and is used in its thread.
class CHistoryStore {
public:
    static constexpr int DefaultLimit = 1000;
    static constexpr int MinLimit = 10;
    static constexpr int MaxLimit = 100000;

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

    const QString& Error() const;

private:
    CShelfDatabase& m_database;
};
