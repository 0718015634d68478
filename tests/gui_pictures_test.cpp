// The pictures compiled into the reader: the sizes and the transparent
// colours that the code drawing them relies on.
#include "resources/resource.h"
#include "support/guitest.h"

#include <gtest/gtest.h>

#include <QImage>

namespace {

constexpr QRgb kMask = qRgb(255, 0, 255);

TEST(PicturesTest, EveryPictureHasItsSize) {
    struct Case {
        QString strPath;
        QSize size;
        bool bOpaque;  // drawn as it is: no alpha channel
    };
    const Case cases[] = {
        {IconResource(IDR_MAINFRAME), {32, 32}, false},
        {IconResource(IDI_SMALL), {16, 16}, false},
        {CursorResource(IDC_SLIDER), {32, 32}, false},
        {BitmapResource(IDB_BOOK_OPEN), {20, 20}, true},
        {BitmapResource(IDB_BOOK_CLOSED), {20, 20}, true},
        {BitmapResource(IDB_ABOUT), {500, 350}, true},
        {BitmapResource(IDB_TOOLBAR_BACKDROP), {600, 47}, true},
        {BitmapResource(IDB_TOOLBAR_NORMAL), {400, 40}, true},
        {BitmapResource(IDB_TOOLBAR_DISABLED), {400, 40}, true},
        {BitmapResource(IDB_TOOLBAR_HOT), {400, 40}, true},
        {BitmapResource(IDB_LIST_PREV), {128, 32}, false},
        {BitmapResource(IDB_LIST_NEXT), {128, 32}, false},
    };
    for (const Case& c : cases) {
        const QImage image(c.strPath);
        ASSERT_FALSE(image.isNull()) << c.strPath.toStdString();
        EXPECT_EQ(image.size(), c.size) << c.strPath.toStdString();
        if (c.bOpaque) {
            EXPECT_FALSE(image.hasAlphaChannel()) << c.strPath.toStdString();
        }
    }
    for (const char* pszLayer : {"paper", "hills", "verse", "title", "seal", "hint"})
        EXPECT_FALSE(QImage(SplashResource(pszLayer)).isNull()) << pszLayer;
}

TEST(PicturesTest, TreeBooksAreOnTheirTransparentBlack) {
    for (int nId : {IDB_BOOK_OPEN, IDB_BOOK_CLOSED}) {
        const QImage image(BitmapResource(nId));
        EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 0)) << nId;
        EXPECT_NE(image.pixel(10, 10), qRgb(0, 0, 0)) << nId;
    }
}

TEST(PicturesTest, ButtonStripsShowTheBackdropOnlyThroughTheMask) {
    // Every image has the mask colour around it and a picture of its own;
    // no pixel is nearly the mask colour (it would show as a pink fringe
    // once the mask is replaced by the backdrop).
    const QImage normal(BitmapResource(IDB_TOOLBAR_NORMAL));
    for (int nId : {IDB_TOOLBAR_NORMAL, IDB_TOOLBAR_DISABLED, IDB_TOOLBAR_HOT}) {
        const QImage strip = QImage(BitmapResource(nId)).convertToFormat(QImage::Format_RGB32);
        for (int i = 0; i < 10; ++i) {
            const QImage image = strip.copy(40 * i, 0, 40, 40);
            EXPECT_EQ(image.pixel(0, 0), kMask) << nId << " image " << i;
            EXPECT_EQ(image.pixel(39, 39), kMask) << nId << " image " << i;
            int nDrawn = 0, nFringe = 0;
            for (int y = 0; y < 40; ++y)
                for (int x = 0; x < 40; ++x) {
                    const QRgb p = image.pixel(x, y);
                    if ((p | 0xff000000) == kMask) continue;
                    ++nDrawn;
                    if (qRed(p) > 200 && qBlue(p) > 200 && qGreen(p) < 90) ++nFringe;
                }
            EXPECT_GT(nDrawn, 100) << nId << " image " << i;
            EXPECT_EQ(nFringe, 0) << nId << " image " << i;
            if (i > 0) {
                EXPECT_NE(image, strip.copy(40 * (i - 1), 0, 40, 40)) << nId << " image " << i;
            }
            if (nId != IDB_TOOLBAR_NORMAL) {
                EXPECT_NE(image, normal.convertToFormat(QImage::Format_RGB32).copy(40 * i, 0, 40, 40))
                    << nId << " image " << i;
            }
        }
    }
}

}  // namespace
