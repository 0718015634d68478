#include "shelf/historymodel.h"

#include "shelf/bookmarkmodel.h"

#include <QApplication>
#include <QDir>
#include <QLocale>
#include <QPalette>
#include <QStringList>

#include <algorithm>

CHistoryModel::CHistoryModel(QObject* pParent) : QAbstractTableModel(pParent) {}

void CHistoryModel::SetEntries(std::vector<HistoryEntryTag> entries, const std::string& strCatalogue) {
    beginResetModel();
    m_entries = std::move(entries);
    m_strCatalogue = strCatalogue;
    endResetModel();
}

void CHistoryModel::RemoveRows(std::vector<int> rows) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
        if (*it < 0 || *it >= rowCount()) continue;
        beginRemoveRows(QModelIndex(), *it, *it);
        m_entries.erase(m_entries.begin() + *it);
        endRemoveRows();
    }
}

bool CHistoryModel::IsOtherCorpus(int nRow) const {
    return nRow >= 0 && nRow < rowCount() && Entry(nRow).strCatalogue != m_strCatalogue;
}

int CHistoryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_entries.size());
}

int CHistoryModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant CHistoryModel::data(const QModelIndex& index, int nRole) const {
    if (!index.isValid() || index.row() >= rowCount()) return QVariant();
    const HistoryEntryTag& entry = Entry(index.row());
    switch (nRole) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case TimeColumn:
            return CBookmarkModel::FormatTime(entry.nTime);
        case KeywordsColumn:
            return QString::fromStdU16String(CHistoryEntry::Chain(entry.request));
        case OptionsColumn:
            return QString::fromStdU16String(CHistoryEntry::Options(entry.request));
        case RangeColumn:
            return QString::fromStdU16String(entry.strRangeLabel);
        case PagesColumn:
            return QLocale::c().toString(static_cast<qlonglong>(entry.nPages));
        case PlacesColumn:
            return QLocale::c().toString(static_cast<qlonglong>(entry.nPlaces));
        default:
            return QVariant();
        }
    case Qt::TextAlignmentRole:
        if (index.column() == PagesColumn || index.column() == PlacesColumn)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant();
    case Qt::ToolTipRole:
        if (IsOtherCorpus(index.row()))
            return tr("別のコーパス（%1）での検索です。範囲は目録の名前で探します。")
                .arg(QDir::toNativeSeparators(QString::fromStdString(entry.strCorpus)));
        if (index.column() == KeywordsColumn && entry.request.steps.size() > 1) {
            // Each search of the chain on a line of its own, with its options.
            QStringList lines;
            for (const SearchStepTag& step : entry.request.steps) {
                SearchRequestTag one;
                one.steps.push_back(step);
                lines << QStringLiteral("%1（%2）").arg(QString::fromStdU16String(CHistoryEntry::Chain(one)),
                                                       QString::fromStdU16String(CHistoryEntry::Options(one)));
            }
            return lines.join(QStringLiteral("\n→ "));
        }
        return QVariant();
    case Qt::ForegroundRole:
        if (IsOtherCorpus(index.row())) return QApplication::palette().brush(QPalette::Disabled, QPalette::Text);
        return QVariant();
    default:
        return QVariant();
    }
}

QVariant CHistoryModel::headerData(int nSection, Qt::Orientation eOrientation, int nRole) const {
    if (eOrientation != Qt::Horizontal || nRole != Qt::DisplayRole) return QAbstractTableModel::headerData(nSection, eOrientation, nRole);
    switch (nSection) {
    case TimeColumn:
        return tr("日時");
    case KeywordsColumn:
        return tr("キーワード");
    case OptionsColumn:
        return tr("条件");
    case RangeColumn:
        return tr("範囲");
    case PagesColumn:
        return tr("頁");
    case PlacesColumn:
        return tr("箇所");
    default:
        return QVariant();
    }
}
