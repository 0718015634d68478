#pragma once

#include "model/historyentry.h"

#include <QAbstractTableModel>

#include <string>
#include <vector>

// The rows of the search history: 日時, キーワード (the chain of searches
// within results, "春風 → 明月"), 条件 (and/or, variants, text part),
// 範囲, 頁 and 箇所 found. Searches made in a corpus with another
// catalogue are drawn grey, with a tooltip naming its folder. Texts are
// made when a row is drawn.
class CHistoryModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { TimeColumn, KeywordsColumn, OptionsColumn, RangeColumn, PagesColumn, PlacesColumn, ColumnCount };

    explicit CHistoryModel(QObject* pParent = nullptr);

    void SetEntries(std::vector<HistoryEntryTag> entries, const std::string& strCatalogue);
    const std::vector<HistoryEntryTag>& Entries() const { return m_entries; }
    // REQUIRES: 0 <= nRow < rowCount().
    const HistoryEntryTag& Entry(int nRow) const { return m_entries.at(static_cast<size_t>(nRow)); }
    void RemoveRows(std::vector<int> rows);
    bool IsOtherCorpus(int nRow) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int nRole = Qt::DisplayRole) const override;
    QVariant headerData(int nSection, Qt::Orientation eOrientation, int nRole = Qt::DisplayRole) const override;

private:
    std::vector<HistoryEntryTag> m_entries;
    std::string m_strCatalogue;
};
