#pragma once

#include <QTreeWidget>

// The result list: a list in report view, one row per result page, single
// selection over whole rows. Each item keeps its page index as data (role
// PageIndexRole of column 0).
class CSortListCtrl : public QTreeWidget {
    Q_OBJECT

public:
    static constexpr int PageIndexRole = Qt::UserRole;

    explicit CSortListCtrl(QWidget* pParent = nullptr);

    // Adds a left-aligned column of nWidth pixels at the end.
    void InsertColumn(const QString& strCaption, int nWidth);
};
