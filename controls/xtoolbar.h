#pragma once

#include <QIcon>
#include <QImage>
#include <QPoint>
#include <QToolBar>

#include <vector>

// A toolbar that draws its buttons from picture strips (normal, disabled
// and hot images side by side) over a background picture. The background
// fills the whole toolbar; where a button image has the mask colour, the
// image takes the background's pixels from the place where the button is
// drawn, so that the picture shows through.
//
// The image functions are pure and public so that they can be checked
// pixel by pixel.
class CXToolBar : public QToolBar {
    Q_OBJECT

public:
    static constexpr QRgb MaskColour = 0xFFFF00FF;  // red 255, green 0, blue 255

    explicit CXToolBar(QWidget* pParent = nullptr);

    // Size of one button image (24 x 24 until set).
    void SetImageSize(int nWidth, int nHeight);
    QSize ImageSize() const { return QSize(m_nImageWidth, m_nImageHeight); }

    // Keeps the background picture; a picture that cannot be loaded leaves
    // the toolbar without one (it draws as a plain toolbar). False then.
    bool SetBackdrop(int nBitmapId);
    void SetBackdrop(const QImage& backdrop);
    const QImage& Backdrop() const { return m_backdrop; }

    // Loads nCount images from each strip (bitmap numbers; 0 for no
    // disabled or no hot strip) and gives them to the buttons, the first
    // image to the first button (actions that are neither separators nor
    // widgets), in order. Without a disabled strip the disabled images are
    // grey copies of the normal ones. False, with the buttons left as they
    // were, when the normal strip cannot be loaded or holds fewer images.
    bool LoadButtonImages(int nCount, QRgb mask, int nNormal, int nDisabled, int nHot);
    bool LoadButtonImages(int nCount, QRgb mask, const QImage& normal, const QImage& disabled, const QImage& hot);
    int ImageCount() const { return m_nImageCount; }

    // Image nImage of the strips as the buttons show it, after blending.
    QImage ButtonImage(int nImage, QIcon::Mode mode) const;
    // Where the button of image nImage draws its image, in toolbar
    // coordinates (the origin its blending used).
    QPoint ButtonImageOrigin(int nImage) const;

    // Each pixel becomes grey g = (117 blue + 601 green + 306 red) / 1024,
    // rounded down, in all three channels. The result is 24-bit.
    static QImage MakeGreyCopy(const QImage& image);
    // Every pixel of image that has exactly the mask colour becomes the
    // backdrop's pixel at origin + (x, y), or buttonFace where that point
    // lies outside the backdrop. Other pixels stay.
    static void BlendMaskWithBackdrop(QImage& image, QRgb mask, const QImage& backdrop, const QPoint& origin,
                                      QRgb buttonFace);
    // The nCount images of nWidth x nHeight side by side in strip, left to
    // right, as 24-bit images. Empty when the strip is too small.
    static std::vector<QImage> SplitStrip(const QImage& strip, int nWidth, int nHeight, int nCount);

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;
    bool event(QEvent* pEvent) override;

private:
    // The actions that take images, in order.
    std::vector<QAction*> ButtonActions() const;
    // Blends the images for where the buttons now lie and gives them to
    // the buttons; nothing when the places have not changed.
    void ApplyImages(bool bForce);

    int m_nImageWidth = 24;
    int m_nImageHeight = 24;
    int m_nImageCount = 0;
    QImage m_backdrop;
    QRgb m_mask = MaskColour;
    // The images as loaded (before blending) and as shown.
    std::vector<QImage> m_normal, m_disabled, m_hot;
    std::vector<QImage> m_shownNormal, m_shownDisabled, m_shownHot;
    std::vector<QPoint> m_origins;
    bool m_bApplying = false;
};
