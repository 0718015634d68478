#pragma once

#include <QPushButton>

// A push button that carries its own tooltip, which can be switched off
// without losing its text.
class CToolTipButton : public QPushButton {
    Q_OBJECT

public:
    explicit CToolTipButton(QWidget* pParent = nullptr);

    // Sets the tooltip text and switches the tooltip on or off. An empty
    // text changes nothing. A second call replaces the text.
    void SetButtonTip(const QString& strText, bool bActivate = true);
    bool IsTipActive() const { return m_bTipActive; }

protected:
    bool event(QEvent* pEvent) override;

private:
    bool m_bTipActive = false;
};
