#include "controls/tooltipresourcebutton.h"

#include "resources/resource.h"

#include <QPainter>

CToolTipResourceButton::CToolTipResourceButton(QWidget* pParent) : CToolTipButton(pParent) {
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::TabFocus);
}

void CToolTipResourceButton::LoadImageStrip(int nBitmapId) { LoadImageStrip(BitmapResource(nBitmapId)); }

void CToolTipResourceButton::LoadImageStrip(const QString& strPath) {
    m_strip = QPixmap(strPath);
    m_nImageWidth = m_strip.isNull() ? 0 : m_strip.width() / 4;
    m_nImageHeight = m_strip.isNull() ? 0 : m_strip.height();
    resize(m_nImageWidth, m_nImageHeight);
    updateGeometry();
    update();
}

CToolTipResourceButton::Image CToolTipResourceButton::CurrentImage() const {
    if (!isEnabled()) return ImageDisabled;
    if (isDown()) return ImagePressed;
    if (m_bHot) return ImageHot;
    return ImageNormal;
}

QSize CToolTipResourceButton::sizeHint() const { return QSize(m_nImageWidth, m_nImageHeight); }

void CToolTipResourceButton::paintEvent(QPaintEvent*) {
    if (m_strip.isNull() || m_nImageWidth == 0) return;
    QPainter painter(this);
    painter.drawPixmap(QPoint(0, 0), m_strip,
                       QRect(static_cast<int>(CurrentImage()) * m_nImageWidth, 0, m_nImageWidth, m_nImageHeight));
}

void CToolTipResourceButton::enterEvent(QEnterEvent* pEvent) {
    m_bHot = true;
    update();
    CToolTipButton::enterEvent(pEvent);
}

void CToolTipResourceButton::leaveEvent(QEvent* pEvent) {
    m_bHot = false;
    update();
    CToolTipButton::leaveEvent(pEvent);
}
