#pragma once

#include <QProxyStyle>

// The look of a tree view with lines: dotted lines join each item to its
// parent and to the siblings below it, and an item with children has a box
// with "+" (closed) or "-" (open) where its line meets its parent's. All
// else is drawn by the application's style.
//
// Meant for one view (QWidget::setStyle), with the view as its parent so
// that it goes away with the view.
class CTreeLineStyle : public QProxyStyle {
    Q_OBJECT

public:
    static constexpr int BoxSize = 9;  // pixels, odd so that the sign sits in the middle

    explicit CTreeLineStyle(QObject* pParent = nullptr);

    void drawPrimitive(PrimitiveElement element, const QStyleOption* pOption, QPainter* pPainter,
                       const QWidget* pWidget = nullptr) const override;
    // The selection covers the item, not the lines before it.
    int styleHint(StyleHint hint, const QStyleOption* pOption = nullptr, const QWidget* pWidget = nullptr,
                  QStyleHintReturn* pReturnData = nullptr) const override;
};
