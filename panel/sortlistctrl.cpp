#include "panel/sortlistctrl.h"

#include <QHeaderView>

CSortListCtrl::CSortListCtrl(QWidget* pParent) : QTreeWidget(pParent) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAllColumnsShowFocus(true);
    setColumnCount(0);
    header()->setStretchLastSection(false);
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void CSortListCtrl::InsertColumn(const QString& strCaption, int nWidth) {
    const int nColumn = columnCount();
    setColumnCount(nColumn + 1);
    headerItem()->setText(nColumn, strCaption);
    headerItem()->setTextAlignment(nColumn, Qt::AlignLeft | Qt::AlignVCenter);
    setColumnWidth(nColumn, nWidth);
}
