#pragma once

#include <QTreeWidget>

// The result list: a list in report view, one row per result page, single
// selection over whole rows. Each item keeps its page index as data (role
// PageIndexRole of column 0). A click on the header of the page column
// sorts the rows on display by their page numbers; every header click is
// also told (headerClicked), for the panel to order all rows.
class CSortListCtrl : public QTreeWidget {
    Q_OBJECT

public:
    static constexpr int PageIndexRole = Qt::UserRole;
    static constexpr int PageColumn = 3;

    explicit CSortListCtrl(QWidget* pParent = nullptr);

    // Adds a left-aligned column of nWidth pixels at the end.
    void InsertColumn(const QString& strCaption, int nWidth);

    // Orders the items by the number at the start of their text in
    // nColumn, ascending (rows with equal numbers keep their order). The
    // selected row stays selected, and no selection change is reported.
    void SortItemsByNumber(int nColumn);
    // The number at the start of strText as the C library reads a decimal
    // (spaces, a sign, digits; 0 without digits), clamped to 32 bits.
    static long LeadingNumber(const QString& strText);

signals:
    // A header was clicked (after the page column's own sort).
    void headerClicked(int nColumn);
};
