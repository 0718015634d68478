// The bitmap buttons with tooltips: sizing from the strip and the image
// drawn in each state.
#include "controls/tooltipresourcebutton.h"
#include "support/guitest.h"

#include <gtest/gtest.h>

#include <QEnterEvent>
#include <QImage>
#include <QTest>

namespace {

const QColor kImageColours[4] = {Qt::red, Qt::green, Qt::blue, Qt::gray};

// A strip of four images of nImageWidth x nHeight, each one colour, plus
// nExtra columns of white at the right; written as a PNG under dir.
QString WriteStrip(const CTempDir& dir, int nImageWidth, int nHeight, int nExtra = 0) {
    QImage strip(4 * nImageWidth + nExtra, nHeight, QImage::Format_RGB32);
    strip.fill(Qt::white);
    for (int i = 0; i < 4; ++i)
        for (int y = 0; y < nHeight; ++y)
            for (int x = 0; x < nImageWidth; ++x) strip.setPixelColor(i * nImageWidth + x, y, kImageColours[i]);
    const QString strPath = QString::fromStdString(dir.File("strip.png"));
    strip.save(strPath);
    return strPath;
}

QColor Drawn(CToolTipResourceButton& button) {
    const QImage image = button.grab().toImage();
    return image.pixelColor(image.width() - 1, image.height() / 2);
}

TEST(ToolTipResourceButtonTest, SizesItselfToOneImageOfTheStrip) {
    struct Case {
        const char* pszName;
        int nImageWidth, nHeight, nExtra;
        QSize expected;
    };
    const Case cases[] = {
        {"128 x 32 strip", 32, 32, 0, QSize(32, 32)},
        {"width not a multiple of 4", 20, 16, 3, QSize(20, 16)},
    };
    CTempDir dir;
    for (const Case& c : cases) {
        CToolTipResourceButton button;
        button.LoadImageStrip(WriteStrip(dir, c.nImageWidth, c.nHeight, c.nExtra));
        EXPECT_EQ(button.size(), c.expected) << c.pszName;
        // The remainder at the right never shows.
        EXPECT_EQ(Drawn(button), kImageColours[0]) << c.pszName;
    }
    CToolTipResourceButton missing;
    missing.LoadImageStrip(QString::fromStdString(dir.File("none.png")));
    EXPECT_EQ(missing.size(), QSize(0, 0));
}

TEST(ToolTipResourceButtonTest, DrawsTheImageOfItsState) {
    CTempDir dir;
    CToolTipResourceButton button;
    button.LoadImageStrip(WriteStrip(dir, 32, 32));
    EXPECT_EQ(Drawn(button), kImageColours[0]);

    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(&button, &enter);
    EXPECT_TRUE(button.IsHot());
    EXPECT_EQ(Drawn(button), kImageColours[2]);

    button.setDown(true);
    EXPECT_EQ(Drawn(button), kImageColours[1]);
    button.setDown(false);

    // Disabled wins, also under the mouse.
    button.setEnabled(false);
    EXPECT_EQ(Drawn(button), kImageColours[3]);
    button.setEnabled(true);

    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&button, &leave);
    EXPECT_FALSE(button.IsHot());
    EXPECT_EQ(Drawn(button), kImageColours[0]);
}

TEST(ToolTipButtonTest, TipTextIsReplacedAndCanBeSwitchedOff) {
    CToolTipButton button;
    button.SetButtonTip(QStringLiteral("Previous Page"));
    button.SetButtonTip(QStringLiteral("Next Page"));
    EXPECT_EQ(button.toolTip(), QStringLiteral("Next Page"));
    EXPECT_TRUE(button.IsTipActive());
    button.SetButtonTip(QString(), false);  // no text: nothing changes
    EXPECT_TRUE(button.IsTipActive());
    button.SetButtonTip(QStringLiteral("Next Page"), false);
    EXPECT_FALSE(button.IsTipActive());
}

}  // namespace
