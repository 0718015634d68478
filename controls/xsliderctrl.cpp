#include "controls/xsliderctrl.h"

#include "resources/resource.h"

#include <QPainter>

CXSliderCtrl::CXSliderCtrl(QWidget* pParent) : QSlider(Qt::Horizontal, pParent) {}

bool CXSliderCtrl::SetBackdrop(int nBitmapId) {
    m_backdrop = QImage(BitmapResource(nBitmapId));
    update();
    return !m_backdrop.isNull();
}

void CXSliderCtrl::paintEvent(QPaintEvent* pEvent) {
    if (!m_backdrop.isNull()) {
        // The picture as the parent draws it: tiled from the parent's origin.
        QPainter painter(this);
        painter.drawTiledPixmap(rect(), QPixmap::fromImage(m_backdrop), pos());
    }
    QSlider::paintEvent(pEvent);
}
