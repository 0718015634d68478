#pragma once

#include <QImage>
#include <QLineEdit>

// A one-line edit that shows its text over a picture (the toolbar's),
// placed so that it continues the picture around it.
class CXEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit CXEdit(QWidget* pParent = nullptr);

    // Keeps the picture; a picture that cannot be loaded leaves the edit
    // with its default background. False then.
    bool SetBackdrop(int nBitmapId);
    const QImage& Backdrop() const { return m_backdrop; }

protected:
    void moveEvent(QMoveEvent* pEvent) override;

private:
    // Sets the background brush for the edit's present place.
    void ApplyBackdrop();

    QImage m_backdrop;
};
