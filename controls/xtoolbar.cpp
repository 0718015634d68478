#include "controls/xtoolbar.h"

#include "resources/resource.h"

#include <QAction>
#include <QEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionToolBar>
#include <QWidgetAction>

CXToolBar::CXToolBar(QWidget* pParent) : QToolBar(pParent) {}

void CXToolBar::SetImageSize(int nWidth, int nHeight) {
    m_nImageWidth = nWidth;
    m_nImageHeight = nHeight;
    setIconSize(QSize(nWidth, nHeight));
}

bool CXToolBar::SetBackdrop(int nBitmapId) {
    const QImage backdrop(BitmapResource(nBitmapId));
    SetBackdrop(backdrop);
    return !backdrop.isNull();
}

void CXToolBar::SetBackdrop(const QImage& backdrop) {
    m_backdrop = backdrop.isNull() ? QImage() : backdrop.convertToFormat(QImage::Format_RGB888);
    update();
}

bool CXToolBar::LoadButtonImages(int nCount, QRgb mask, int nNormal, int nDisabled, int nHot) {
    return LoadButtonImages(nCount, mask, QImage(BitmapResource(nNormal)),
                            nDisabled ? QImage(BitmapResource(nDisabled)) : QImage(),
                            nHot ? QImage(BitmapResource(nHot)) : QImage());
}

bool CXToolBar::LoadButtonImages(int nCount, QRgb mask, const QImage& normal, const QImage& disabled,
                                 const QImage& hot) {
    std::vector<QImage> normalImages = SplitStrip(normal, m_nImageWidth, m_nImageHeight, nCount);
    if (normalImages.empty()) return false;
    std::vector<QImage> disabledImages = SplitStrip(disabled, m_nImageWidth, m_nImageHeight, nCount);
    if (disabledImages.empty()) {
        // Grey copies; the mask pixels stay the mask colour so that the
        // background still shows through them.
        for (const QImage& image : normalImages) {
            QImage grey = MakeGreyCopy(image);
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (image.pixel(x, y) == (mask | 0xFF000000)) grey.setPixel(x, y, mask);
            disabledImages.push_back(grey);
        }
    }
    m_nImageCount = nCount;
    m_mask = mask | 0xFF000000;
    m_normal = std::move(normalImages);
    m_disabled = std::move(disabledImages);
    m_hot = SplitStrip(hot, m_nImageWidth, m_nImageHeight, nCount);
    ApplyImages(true);
    return true;
}

QImage CXToolBar::ButtonImage(int nImage, QIcon::Mode mode) const {
    const std::vector<QImage>& images =
        mode == QIcon::Disabled ? m_shownDisabled : (mode == QIcon::Active ? m_shownHot : m_shownNormal);
    return nImage >= 0 && static_cast<size_t>(nImage) < images.size() ? images[static_cast<size_t>(nImage)]
                                                                       : QImage();
}

QPoint CXToolBar::ButtonImageOrigin(int nImage) const {
    return nImage >= 0 && static_cast<size_t>(nImage) < m_origins.size() ? m_origins[static_cast<size_t>(nImage)]
                                                                          : QPoint();
}

QImage CXToolBar::MakeGreyCopy(const QImage& image) {
    QImage grey = image.convertToFormat(QImage::Format_RGB888);
    for (int y = 0; y < grey.height(); ++y) {
        uchar* pRow = grey.scanLine(y);
        for (int x = 0; x < grey.width(); ++x) {
            uchar* p = pRow + 3 * x;  // red, green, blue
            const uchar g = static_cast<uchar>((117u * p[2] + 601u * p[1] + 306u * p[0]) / 1024u);
            p[0] = p[1] = p[2] = g;
        }
    }
    return grey;
}

void CXToolBar::BlendMaskWithBackdrop(QImage& image, QRgb mask, const QImage& backdrop, const QPoint& origin,
                                      QRgb buttonFace) {
    mask |= 0xFF000000;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != mask) continue;
            const QPoint at = origin + QPoint(x, y);
            image.setPixel(x, y, backdrop.valid(at) ? backdrop.pixel(at) : buttonFace);
        }
    }
}

std::vector<QImage> CXToolBar::SplitStrip(const QImage& strip, int nWidth, int nHeight, int nCount) {
    std::vector<QImage> images;
    if (strip.isNull() || nWidth <= 0 || nHeight <= 0 || nCount <= 0 || strip.height() < nHeight ||
        strip.width() / nWidth < nCount)
        return images;
    const QImage rgb = strip.convertToFormat(QImage::Format_RGB888);
    for (int i = 0; i < nCount; ++i) images.push_back(rgb.copy(i * nWidth, 0, nWidth, nHeight));
    return images;
}

std::vector<QAction*> CXToolBar::ButtonActions() const {
    std::vector<QAction*> buttons;
    for (QAction* pAction : actions())
        if (!pAction->isSeparator() && !qobject_cast<QWidgetAction*>(pAction)) buttons.push_back(pAction);
    return buttons;
}

void CXToolBar::ApplyImages(bool bForce) {
    if (m_nImageCount == 0 || m_bApplying) return;
    const std::vector<QAction*> buttons = ButtonActions();

    // Where each image is drawn: centred in its button once the toolbar
    // has laid its buttons out; before that, a walk like the layout's.
    std::vector<QPoint> origins;
    int x = 3;
    for (QAction* pAction : actions()) {
        if (pAction->isSeparator()) {
            x += 6;
            continue;
        }
        if (qobject_cast<QWidgetAction*>(pAction)) continue;
        QPoint origin(x, 4);
        if (const QWidget* pButton = widgetForAction(pAction); pButton && pButton->isVisible()) {
            const QRect button = pButton->geometry();
            origin = button.topLeft() +
                     QPoint((button.width() - m_nImageWidth) / 2, (button.height() - m_nImageHeight) / 2);
        }
        origins.push_back(origin);
        x += m_nImageWidth + 7;
    }
    if (!bForce && origins == m_origins) return;
    m_origins = origins;

    const QRgb buttonFace = palette().color(QPalette::Button).rgb();
    auto blend = [&](const std::vector<QImage>& images, std::vector<QImage>& shown) {
        shown.clear();
        for (size_t c = 0; c < images.size(); ++c) {
            QImage image = images[c];
            if (!m_backdrop.isNull() && c < m_origins.size())
                BlendMaskWithBackdrop(image, m_mask, m_backdrop, m_origins[c], buttonFace);
            shown.push_back(image);
        }
    };
    blend(m_normal, m_shownNormal);
    blend(m_disabled, m_shownDisabled);
    blend(m_hot, m_shownHot);

    m_bApplying = true;
    for (size_t c = 0; c < buttons.size() && c < m_shownNormal.size(); ++c) {
        QIcon icon;
        icon.addPixmap(QPixmap::fromImage(m_shownNormal[c]), QIcon::Normal);
        if (c < m_shownDisabled.size()) icon.addPixmap(QPixmap::fromImage(m_shownDisabled[c]), QIcon::Disabled);
        if (c < m_shownHot.size()) icon.addPixmap(QPixmap::fromImage(m_shownHot[c]), QIcon::Active);
        buttons[c]->setIcon(icon);
    }
    m_bApplying = false;
}

void CXToolBar::paintEvent(QPaintEvent* pEvent) {
    if (m_backdrop.isNull()) {
        QToolBar::paintEvent(pEvent);
        return;
    }
    QPainter painter(this);
    painter.fillRect(rect(), QBrush(QPixmap::fromImage(m_backdrop)));
    // The handle for moving the toolbar, drawn over the picture.
    if (isMovable()) {
        QStyleOptionToolBar option;
        initStyleOption(&option);
        option.rect = style()->subElementRect(QStyle::SE_ToolBarHandle, &option, this);
        if (option.rect.isValid()) style()->drawPrimitive(QStyle::PE_IndicatorToolBarHandle, &option, &painter, this);
    }
}

void CXToolBar::resizeEvent(QResizeEvent* pEvent) {
    QToolBar::resizeEvent(pEvent);
    ApplyImages(false);
}

bool CXToolBar::event(QEvent* pEvent) {
    const bool bResult = QToolBar::event(pEvent);
    if (pEvent->type() == QEvent::LayoutRequest || pEvent->type() == QEvent::Show) ApplyImages(false);
    return bResult;
}
