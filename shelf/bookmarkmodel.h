#pragma once

#include "model/bookmark.h"

#include <QAbstractTableModel>

#include <string>
#include <vector>

// The rows of the bookmark list: 引用, メモ (its first line), 日時.
// Bookmarks made in a corpus with another catalogue are drawn grey, with
// a tooltip naming that corpus's folder. Texts are made when a row is
// drawn, so that filling the list costs nothing per row.
class CBookmarkModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { CitationColumn, NoteColumn, TimeColumn, ColumnCount };

    explicit CBookmarkModel(QObject* pParent = nullptr);

    // strCatalogue: the catalogue digest of the corpus that is open.
    void SetBookmarks(std::vector<BookmarkTag> bookmarks, const std::string& strCatalogue);
    const std::vector<BookmarkTag>& Bookmarks() const { return m_bookmarks; }
    // REQUIRES: 0 <= nRow < rowCount().
    const BookmarkTag& Bookmark(int nRow) const { return m_bookmarks.at(static_cast<size_t>(nRow)); }
    void SetNote(int nRow, const std::u16string& strNote);
    // Takes the rows out (any order, duplicates allowed).
    void RemoveRows(std::vector<int> rows);
    // Made in a corpus with another catalogue.
    bool IsOtherCorpus(int nRow) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int nRole = Qt::DisplayRole) const override;
    QVariant headerData(int nSection, Qt::Orientation eOrientation, int nRole = Qt::DisplayRole) const override;

    // "yyyy-MM-dd HH:mm" in local time.
    static QString FormatTime(int64_t nMilliseconds);

private:
    std::vector<BookmarkTag> m_bookmarks;
    std::string m_strCatalogue;
};
