#include "controls/treelinestyle.h"

#include <QPainter>
#include <QStyleOption>

CTreeLineStyle::CTreeLineStyle(QObject* pParent) : QProxyStyle() { setParent(pParent); }

void CTreeLineStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* pOption, QPainter* pPainter,
                                   const QWidget* pWidget) const {
    if (element != PE_IndicatorBranch) {
        QProxyStyle::drawPrimitive(element, pOption, pPainter, pWidget);
        return;
    }
    // One indentation column of one row. Its vertical line belongs to the
    // item of that column's level: it runs up to the item's own row
    // (State_Item) and on down while a sibling follows (State_Sibling).
    const QRect rect = pOption->rect;
    const int x = rect.left() + rect.width() / 2;
    const int y = rect.top() + rect.height() / 2;
    const bool bItem = pOption->state & State_Item;
    const bool bSibling = pOption->state & State_Sibling;
    const QBrush dots(pOption->palette.color(QPalette::Dark), Qt::Dense4Pattern);

    pPainter->save();
    if (bItem || bSibling) pPainter->fillRect(x, rect.top(), 1, y - rect.top(), dots);
    if (bSibling) pPainter->fillRect(x, y, 1, rect.bottom() - y + 1, dots);
    if (bItem) {
        if (pOption->direction == Qt::RightToLeft)
            pPainter->fillRect(rect.left(), y, x - rect.left(), 1, dots);
        else
            pPainter->fillRect(x + 1, y, rect.right() - x, 1, dots);
    }
    if (pOption->state & State_Children) {
        const int nHalf = BoxSize / 2;
        const QRect box(x - nHalf, y - nHalf, BoxSize, BoxSize);
        pPainter->fillRect(box, pOption->palette.color(QPalette::Base));
        pPainter->setPen(pOption->palette.color(QPalette::Dark));
        pPainter->drawRect(box.adjusted(0, 0, -1, -1));
        pPainter->setPen(pOption->palette.color(QPalette::Text));
        pPainter->drawLine(x - nHalf + 2, y, x + nHalf - 2, y);
        if (!(pOption->state & State_Open)) pPainter->drawLine(x, y - nHalf + 2, x, y + nHalf - 2);
    }
    pPainter->restore();
}

int CTreeLineStyle::styleHint(StyleHint hint, const QStyleOption* pOption, const QWidget* pWidget,
                              QStyleHintReturn* pReturnData) const {
    if (hint == SH_ItemView_ShowDecorationSelected) return 0;
    return QProxyStyle::styleHint(hint, pOption, pWidget, pReturnData);
}
