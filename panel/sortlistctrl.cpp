#include "panel/sortlistctrl.h"

#include <QHeaderView>

#include <algorithm>
#include <climits>
#include <vector>

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
    header()->setSectionsClickable(true);
    connect(header(), &QHeaderView::sectionClicked, this, [this](int nColumn) {
        if (nColumn == PageColumn) SortItemsByNumber(nColumn);
        emit headerClicked(nColumn);
    });
}

void CSortListCtrl::InsertColumn(const QString& strCaption, int nWidth) {
    const int nColumn = columnCount();
    setColumnCount(nColumn + 1);
    headerItem()->setText(nColumn, strCaption);
    headerItem()->setTextAlignment(nColumn, Qt::AlignLeft | Qt::AlignVCenter);
    setColumnWidth(nColumn, nWidth);
}

long CSortListCtrl::LeadingNumber(const QString& strText) {
    qsizetype i = 0;
    while (i < strText.size() && (strText[i] == u' ' || strText[i] == u'\t')) ++i;
    bool bNegative = false;
    if (i < strText.size() && (strText[i] == u'-' || strText[i] == u'+')) bNegative = strText[i++] == u'-';
    long long nValue = 0;
    for (; i < strText.size() && strText[i] >= u'0' && strText[i] <= u'9'; ++i)
        nValue = std::min<long long>(nValue * 10 + (strText[i].unicode() - u'0'), 1LL << 32);
    if (bNegative) nValue = -nValue;
    return static_cast<long>(std::clamp<long long>(nValue, INT_MIN, INT_MAX));
}

void CSortListCtrl::SortItemsByNumber(int nColumn) {
    QTreeWidgetItem* pSelected = selectedItems().isEmpty() ? nullptr : selectedItems().first();
    QTreeWidgetItem* pCurrent = currentItem();
    const bool bBlocked = blockSignals(true);
    std::vector<std::pair<long, QTreeWidgetItem*>> items;
    while (topLevelItemCount() > 0) {
        QTreeWidgetItem* pItem = takeTopLevelItem(0);
        items.emplace_back(LeadingNumber(pItem->text(nColumn)), pItem);
    }
    std::stable_sort(items.begin(), items.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    QList<QTreeWidgetItem*> sorted;
    for (const auto& item : items) sorted.append(item.second);
    addTopLevelItems(sorted);
    if (pCurrent) setCurrentItem(pCurrent, 0, QItemSelectionModel::NoUpdate);
    if (pSelected) pSelected->setSelected(true);
    blockSignals(bBlocked);
}
