#pragma once

#include <QDialog>
#include <QPixmap>

// The About box: one picture (bitmap 168, 500 x 350) in a window without
// caption or border, and the version written on it. Releasing the left
// mouse button anywhere on it closes it as accepted; Escape as rejected.
// It has no buttons.
class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* pParent = nullptr);

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;

private:
    QPixmap m_picture;
};
