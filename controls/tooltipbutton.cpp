#include "controls/tooltipbutton.h"

#include <QEvent>

CToolTipButton::CToolTipButton(QWidget* pParent) : QPushButton(pParent) {}

void CToolTipButton::SetButtonTip(const QString& strText, bool bActivate) {
    if (strText.isEmpty()) return;
    setToolTip(strText);
    m_bTipActive = bActivate;
}

bool CToolTipButton::event(QEvent* pEvent) {
    // A switched-off tooltip swallows the request instead of showing.
    if (pEvent->type() == QEvent::ToolTip && !m_bTipActive) {
        pEvent->ignore();
        return true;
    }
    return QPushButton::event(pEvent);
}
