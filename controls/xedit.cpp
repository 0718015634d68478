#include "controls/xedit.h"

#include "resources/resource.h"

#include <QPalette>
#include <QPixmap>

CXEdit::CXEdit(QWidget* pParent) : QLineEdit(pParent) {}

bool CXEdit::SetBackdrop(int nBitmapId) {
    m_backdrop = QImage(BitmapResource(nBitmapId));
    ApplyBackdrop();
    return !m_backdrop.isNull();
}

void CXEdit::moveEvent(QMoveEvent* pEvent) {
    QLineEdit::moveEvent(pEvent);
    ApplyBackdrop();
}

void CXEdit::ApplyBackdrop() {
    if (m_backdrop.isNull()) {
        setPalette(QPalette());
        setFrame(true);
        return;
    }
    // The picture tiled from the parent's origin, as the parent draws it.
    QBrush brush{QPixmap::fromImage(m_backdrop)};
    brush.setTransform(QTransform::fromTranslate(-x(), -y()));
    QPalette shown = palette();
    shown.setBrush(QPalette::Base, brush);
    setPalette(shown);
    setFrame(false);
}
