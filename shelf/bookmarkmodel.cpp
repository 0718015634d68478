#include "shelf/bookmarkmodel.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QPalette>

#include <algorithm>

CBookmarkModel::CBookmarkModel(QObject* pParent) : QAbstractTableModel(pParent) {}

void CBookmarkModel::SetBookmarks(std::vector<BookmarkTag> bookmarks, const std::string& strCatalogue) {
    beginResetModel();
    m_bookmarks = std::move(bookmarks);
    m_strCatalogue = strCatalogue;
    endResetModel();
}

void CBookmarkModel::SetNote(int nRow, const std::u16string& strNote) {
    if (nRow < 0 || nRow >= rowCount()) return;
    m_bookmarks[static_cast<size_t>(nRow)].strNote = strNote;
    emit dataChanged(index(nRow, NoteColumn), index(nRow, NoteColumn));
}

void CBookmarkModel::RemoveRows(std::vector<int> rows) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    // From the last, so that the rows before keep their numbers.
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
        if (*it < 0 || *it >= rowCount()) continue;
        beginRemoveRows(QModelIndex(), *it, *it);
        m_bookmarks.erase(m_bookmarks.begin() + *it);
        endRemoveRows();
    }
}

bool CBookmarkModel::IsOtherCorpus(int nRow) const {
    return nRow >= 0 && nRow < rowCount() && Bookmark(nRow).strCatalogue != m_strCatalogue;
}

int CBookmarkModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_bookmarks.size());
}

int CBookmarkModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QString CBookmarkModel::FormatTime(int64_t nMilliseconds) {
    return QDateTime::fromMSecsSinceEpoch(nMilliseconds).toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

QVariant CBookmarkModel::data(const QModelIndex& index, int nRole) const {
    if (!index.isValid() || index.row() >= rowCount()) return QVariant();
    const BookmarkTag& bookmark = Bookmark(index.row());
    switch (nRole) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case CitationColumn:
            return QString::fromStdU16String(bookmark.strCitation);
        case NoteColumn: {
            // The first line; the rest in the tooltip.
            const QString strNote = QString::fromStdU16String(bookmark.strNote).trimmed();
            const qsizetype nBreak = strNote.indexOf(u'\n');
            return nBreak < 0 ? strNote : strNote.left(nBreak).trimmed() + QStringLiteral(" …");
        }
        case TimeColumn:
            return FormatTime(bookmark.nTime);
        default:
            return QVariant();
        }
    case Qt::ToolTipRole: {
        QString strTip;
        if (index.column() == NoteColumn && !bookmark.strNote.empty()) strTip = QString::fromStdU16String(bookmark.strNote);
        if (IsOtherCorpus(index.row())) {
            if (!strTip.isEmpty()) strTip += QStringLiteral("\n\n");
            strTip += tr("別のコーパス（%1）で挟んだしおりです。開くときは引用で頁を探します。")
                          .arg(QDir::toNativeSeparators(QString::fromStdString(bookmark.strCorpus)));
        }
        return strTip.isEmpty() ? QVariant() : QVariant(strTip);
    }
    case Qt::ForegroundRole:
        if (IsOtherCorpus(index.row())) return QApplication::palette().brush(QPalette::Disabled, QPalette::Text);
        return QVariant();
    default:
        return QVariant();
    }
}

QVariant CBookmarkModel::headerData(int nSection, Qt::Orientation eOrientation, int nRole) const {
    if (eOrientation != Qt::Horizontal || nRole != Qt::DisplayRole) return QAbstractTableModel::headerData(nSection, eOrientation, nRole);
    switch (nSection) {
    case CitationColumn:
        return tr("引用");
    case NoteColumn:
        return tr("メモ");
    case TimeColumn:
        return tr("日時");
    default:
        return QVariant();
    }
}
