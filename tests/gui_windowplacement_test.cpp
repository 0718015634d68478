// The main window's placement: the settings entry read and fitted to the
// screens, and the reader started and closed under an X server without a
// window manager (a first start covers most of the screen, the next one
// comes back where the last one was, a corrupt entry is ignored).
#include "frame/book.h"
#include "frame/mainfrm.h"
#include "frame/windowplacement.h"
#include "support/guitest.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QTest>

#include <ostream>

// Rectangles in failure messages as x, y, width x height.
void PrintTo(const QRect& rect, std::ostream* pOut) {
    *pOut << rect.x() << ", " << rect.y() << ", " << rect.width() << " x " << rect.height();
}

namespace {

const QString kKey = QStringLiteral("MainFrame/Placement");

TEST(WindowPlacementTest, ParsesOnlyFiveNumbersWithinBounds) {
    struct Case {
        const char* pszValue;
        bool bValid;
        QRect rect;
        bool bMaximized;
    };
    const Case cases[] = {
        {"64 51 1152 922 1", true, QRect(64, 51, 1152, 922), true},
        {"-1200 -20 800 600 0", true, QRect(-1200, -20, 800, 600), false},
        {"0 0 100 100 0", true, QRect(0, 0, 100, 100), false},
        {"0 0 32767 32767 1", true, QRect(0, 0, 32767, 32767), true},
        {"", false, {}, false},
        {"garbage", false, {}, false},
        {"64 51 1152 922", false, {}, false},
        {"64 51 1152 922 1 0", false, {}, false},
        {"64 51 1152 922 2", false, {}, false},
        {"64,51,1152,922,1", false, {}, false},
        {"64  51 1152 922 1", false, {}, false},
        {" 64 51 1152 922 1", false, {}, false},
        {"64 51 1152 922 1\n", false, {}, false},
        {"64 51 -1152 922 1", false, {}, false},
        {"64 51 99 922 1", false, {}, false},
        {"64 51 1152 32768 1", false, {}, false},
        {"40000 51 1152 922 1", false, {}, false},
        {"99999999999 51 1152 922 1", false, {}, false},
        {"6.4 51 1152 922 1", false, {}, false},
        {"+64 51 1152 922 1", false, {}, false},
        {"\xd9\xa6\xd9\xa4 51 1152 922 1", false, {}, false},  // Arabic-Indic digits
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszValue);
        CWindowPlacement placement(QRect(1, 2, 3, 4), false);
        ASSERT_EQ(CWindowPlacement::Parse(QString::fromUtf8(c.pszValue), placement), c.bValid);
        if (!c.bValid) {
            EXPECT_EQ(placement.NormalRect(), QRect(1, 2, 3, 4));  // untouched
            continue;
        }
        EXPECT_EQ(placement.NormalRect(), c.rect);
        EXPECT_EQ(placement.IsMaximized(), c.bMaximized);
        EXPECT_EQ(placement.Value(), QString::fromUtf8(c.pszValue));
    }
}

TEST(WindowPlacementTest, FitsTheWindowOntoTheScreenItOverlapsMost) {
    // Two screens side by side, the left one with a panel at its top.
    const QList<QRect> areas = {QRect(0, 30, 1280, 994), QRect(1280, 0, 1920, 1080)};
    struct Case {
        const char* pszName;
        QRect rect;
        bool bOnScreen;
        QRect fitted;
    };
    const Case cases[] = {
        {"inside the left screen", QRect(100, 80, 800, 600), true, QRect(100, 80, 800, 600)},
        {"inside the right screen", QRect(1400, 10, 800, 600), true, QRect(1400, 10, 800, 600)},
        {"under the panel", QRect(100, 0, 800, 600), true, QRect(100, 30, 800, 600)},
        {"mostly on the right one", QRect(1100, 100, 800, 600), true, QRect(1280, 100, 800, 600)},
        {"past the right edge", QRect(3000, 500, 800, 600), true, QRect(2400, 480, 800, 600)},
        {"larger than the screen", QRect(-50, 10, 1500, 1200), true, QRect(0, 30, 1280, 994)},
        {"left of every screen", QRect(-900, 100, 800, 600), false, QRect(-900, 100, 800, 600)},
        {"below every screen", QRect(100, 1100, 800, 600), false, QRect(100, 1100, 800, 600)},
        {"far away", QRect(20000, 20000, 800, 600), false, QRect(20000, 20000, 800, 600)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName);
        CWindowPlacement placement(c.rect, false);
        EXPECT_EQ(placement.FitTo(areas), c.bOnScreen);
        EXPECT_EQ(placement.NormalRect(), c.fitted);
        EXPECT_FALSE(placement.IsMaximized());
    }
    CWindowPlacement placement(QRect(0, 0, 800, 600), true);
    EXPECT_FALSE(placement.FitTo({}));
}

TEST(WindowPlacementTest, DefaultIsMaximisedOverNinetyPercentCentred) {
    const CWindowPlacement placement = CWindowPlacement::Default(QRect(0, 0, 1280, 1024));
    EXPECT_EQ(placement.NormalRect(), QRect(64, 51, 1152, 921));
    EXPECT_TRUE(placement.IsMaximized());
    EXPECT_EQ(CWindowPlacement::Default(QRect(1280, 30, 1920, 1050)).NormalRect(), QRect(1376, 82, 1728, 945));
}

// The reader started with InitInstance and closed with ExitInstance, as
// main() does, under the test's X server (no window manager).
class WindowPlacementStartTest : public ::testing::Test {
protected:
    void SetUp() override { QSettings().remove(QStringLiteral("MainFrame")); }
    void TearDown() override { App().ExitInstance(); }

    static CBookApp& App() { return *static_cast<CBookApp*>(QCoreApplication::instance()); }
    CMainFrame& Start() {
        EXPECT_TRUE(App().InitInstance({"tessaline", "--data", m_corpus.Folder(), "--no-splash"}));
        CMainFrame* pFrame = App().MainFrame();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(pFrame));
        return *pFrame;
    }
    static QRect DefaultRect() {
        return CWindowPlacement::Default(QGuiApplication::primaryScreen()->availableGeometry()).NormalRect();
    }
    static QString Entry() { return QSettings().value(kKey).toString(); }

    CGuiCorpus m_corpus;
    CModalRecorder m_modal;
};

TEST_F(WindowPlacementStartTest, FirstStartCoversMostOfTheScreenAndIsRecordedAtExit) {
    CMainFrame& frame = Start();
    EXPECT_TRUE(frame.windowState() & Qt::WindowMaximized);
    // Without a window manager nothing maximises it: it stands at the
    // default's normal rectangle, far larger than its toolbar.
    EXPECT_EQ(frame.geometry(), DefaultRect());
    App().ExitInstance();
    EXPECT_EQ(Entry(), CWindowPlacement(DefaultRect(), true).Value());

    // The next start is maximised over the same rectangle again.
    CMainFrame& again = Start();
    EXPECT_TRUE(again.windowState() & Qt::WindowMaximized);
    EXPECT_EQ(again.geometry(), DefaultRect());
}

TEST_F(WindowPlacementStartTest, ComesBackWhereTheLastStartWas) {
    QSettings().setValue(kKey, QStringLiteral("100 80 800 600 0"));
    CMainFrame& frame = Start();
    EXPECT_FALSE(frame.windowState() & Qt::WindowMaximized);
    EXPECT_EQ(frame.geometry(), QRect(100, 80, 800, 600));

    // Moved and resized, then closed: the next start has the new place.
    frame.setGeometry(150, 120, 900, 640);
    ASSERT_TRUE(QTest::qWaitFor([&] { return frame.geometry() == QRect(150, 120, 900, 640); }));
    App().ExitInstance();
    EXPECT_EQ(Entry(), QStringLiteral("150 120 900 640 0"));
    EXPECT_EQ(Start().geometry(), QRect(150, 120, 900, 640));
}

TEST_F(WindowPlacementStartTest, UnusableEntryGivesTheDefaultPlacement) {
    const std::pair<const char*, QVariant> entries[] = {
        {"bytes", QVariant(QByteArray("\x01\xd9\xd0\xcb\x00\x03\x00\x00\xff\xff", 10))},
        {"text", QVariant(QStringLiteral("not a placement"))},
        {"a list", QVariant(QStringList{"100", "80", "800", "600", "0"})},
        {"off every screen", QVariant(QStringLiteral("20000 20000 800 600 0"))},
        {"too small", QVariant(QStringLiteral("100 80 20 10 0"))},
    };
    for (const auto& [pszName, value] : entries) {
        SCOPED_TRACE(pszName);
        QSettings().setValue(kKey, value);
        CMainFrame& frame = Start();
        EXPECT_TRUE(frame.windowState() & Qt::WindowMaximized);
        EXPECT_EQ(frame.geometry(), DefaultRect());
        App().ExitInstance();
        // The exit writes a good entry in its place.
        EXPECT_EQ(Entry(), CWindowPlacement(DefaultRect(), true).Value());
    }
    EXPECT_TRUE(m_modal.Entries().empty());
}

}  // namespace
