#pragma once

#include <QImage>
#include <QSlider>

// A horizontal slider that paints its background with a picture (the
// toolbar's), placed so that it continues the picture around it.
class CXSliderCtrl : public QSlider {
    Q_OBJECT

public:
    explicit CXSliderCtrl(QWidget* pParent = nullptr);

    // Keeps the picture; a picture that cannot be loaded leaves the slider
    // with its default background. False then.
    bool SetBackdrop(int nBitmapId);
    const QImage& Backdrop() const { return m_backdrop; }

protected:
    void paintEvent(QPaintEvent* pEvent) override;

private:
    QImage m_backdrop;
};
