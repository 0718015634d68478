#pragma once

#include "controls/tooltipbutton.h"

#include <QPixmap>

// A tooltip button drawn from one picture strip of four images side by
// side, each a quarter of the strip wide:
//   0 normal, 1 pressed, 2 hot (mouse over it), 3 disabled.
// Disabled wins over pressed, pressed over hot.
class CToolTipResourceButton : public CToolTipButton {
    Q_OBJECT

public:
    enum Image { ImageNormal = 0, ImagePressed = 1, ImageHot = 2, ImageDisabled = 3 };

    explicit CToolTipResourceButton(QWidget* pParent = nullptr);

    // Loads the strip of a bitmap resource (BitmapResource) or of a picture
    // file and sizes the button to one image: strip width / 4 (the rest of
    // the strip is lost) by strip height. A picture that cannot be loaded
    // leaves the strip empty: the button becomes 0 x 0 and draws nothing.
    void LoadImageStrip(int nBitmapId);
    void LoadImageStrip(const QString& strPath);

    int ImageWidth() const { return m_nImageWidth; }
    int ImageHeight() const { return m_nImageHeight; }
    bool IsHot() const { return m_bHot; }
    // The image the button shows in its present state.
    Image CurrentImage() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void enterEvent(QEnterEvent* pEvent) override;
    void leaveEvent(QEvent* pEvent) override;

private:
    QPixmap m_strip;
    int m_nImageWidth = 0;
    int m_nImageHeight = 0;
    bool m_bHot = false;  // the mouse is over the button
};
