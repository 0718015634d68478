// Start-up and exit: the splash and what dismisses it, the --no-splash
// switch, and the exit companion started once the main window is gone.
#include "frame/book.h"
#include "frame/mainfrm.h"
#include "splash/exitcompanion.h"
#include "splash/splashwnd.h"
#include "support/guitest.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPointer>
#include <QScreen>
#include <QShortcut>
#include <QTest>

#include <filesystem>

namespace {

// Every test leaves no splash behind and the default settings in place.
class SplashTest : public ::testing::Test {
protected:
    void TearDown() override {
        CSplashWnd::CloseSplash();
        CSplashWnd::SetTimeout(CSplashWnd::DefaultTimeout);
        CSplashWnd::SetSplashEnabled(true);
        CBookApp::SetProgramFolder(QString());
        QTest::qWait(0);  // the closed splash deletes itself
    }

    // Opens a splash over owner and waits until it is on the screen.
    static QPointer<CSplashWnd> OpenOver(QWidget& owner) {
        CSplashWnd::OpenSplash(&owner);
        QPointer<CSplashWnd> pSplash = CSplashWnd::Current();
        if (pSplash) {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(pSplash.data()));
        }
        return pSplash;
    }
};

CBookApp& App() { return *static_cast<CBookApp*>(qApp); }

// A window with something that a key, a click and a shortcut change.
struct Targets {
    QWidget window;
    QLineEdit* pEdit = new QLineEdit(&window);
    QCheckBox* pCheck = new QCheckBox(QStringLiteral("check"), &window);
    QShortcut* pShortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F12), &window);
    int nShortcuts = 0;

    Targets() {
        pCheck->move(0, 40);
        pShortcut->setContext(Qt::ApplicationShortcut);  // whichever window is active
        QObject::connect(pShortcut, &QShortcut::activated, [this] { ++nShortcuts; });
        window.resize(200, 100);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
};

TEST_F(SplashTest, PressesOnlyDismissTheSplash) {
    // Each input, sent once with a splash up and once without: with the
    // splash it closes the splash and does nothing else.
    struct Case {
        const char* pszName;
        std::function<void(Targets&)> input;
        std::function<bool(const Targets&)> acted;  // did the input do its own work?
    };
    const Case cases[] = {
        {"a typed character", [](Targets& t) { QTest::keyClick(t.pEdit, Qt::Key_A); },
         [](const Targets& t) { return !t.pEdit->text().isEmpty(); }},
        {"a shortcut", [](Targets& t) { QTest::keyClick(t.pEdit, Qt::Key_F12, Qt::ControlModifier); },
         [](const Targets& t) { return t.nShortcuts > 0; }},
        {"a left click", [](Targets& t) { QTest::mouseClick(t.pCheck, Qt::LeftButton); },
         [](const Targets& t) { return t.pCheck->isChecked(); }},
    };
    for (const Case& c : cases) {
        Targets targets;
        QPointer<CSplashWnd> pSplash = OpenOver(targets.window);
        ASSERT_TRUE(pSplash) << c.pszName;
        c.input(targets);
        EXPECT_EQ(CSplashWnd::Current(), nullptr) << c.pszName;
        EXPECT_FALSE(c.acted(targets)) << c.pszName;
        EXPECT_TRUE(QTest::qWaitFor([&] { return pSplash.isNull(); })) << c.pszName << ": not deleted";

        // Shortcuts need an active window; the splash was the active one.
        targets.window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&targets.window));
        c.input(targets);
        EXPECT_TRUE(c.acted(targets)) << c.pszName << ": without a splash";
    }
}

TEST_F(SplashTest, WhichMouseEventsDismissIt) {
    struct Case {
        const char* pszName;
        std::function<void(QWidget&)> input;
        bool bDismisses;
    };
    const Case cases[] = {
        {"right press", [](QWidget& w) { QTest::mousePress(&w, Qt::RightButton); }, true},
        {"middle press", [](QWidget& w) { QTest::mousePress(&w, Qt::MiddleButton); }, true},
        {"double click", [](QWidget& w) { QTest::mouseDClick(&w, Qt::LeftButton); }, true},
        {"left press on the splash itself", [](QWidget&) { QTest::mousePress(CSplashWnd::Current(), Qt::LeftButton); },
         true},
        {"mouse move", [](QWidget& w) { QTest::mouseMove(&w, QPoint(5, 5)); }, false},
        {"key release alone", [](QWidget& w) { QTest::keyRelease(&w, Qt::Key_A); }, false},
    };
    for (const Case& c : cases) {
        Targets targets;
        ASSERT_TRUE(OpenOver(targets.window)) << c.pszName;
        c.input(targets.window);
        EXPECT_EQ(CSplashWnd::Current() == nullptr, c.bDismisses) << c.pszName;
        CSplashWnd::CloseSplash();
    }
}

TEST_F(SplashTest, CoversTheScreenAndClosesAtItsTimeout) {
    QWidget owner;
    owner.show();
    QPointer<CSplashWnd> pSplash = OpenOver(owner);
    ASSERT_TRUE(pSplash);
    EXPECT_EQ(pSplash->geometry(), QGuiApplication::primaryScreen()->geometry());
    EXPECT_EQ(pSplash->Timeout(), 50000);
    // Only one at a time.
    CSplashWnd::OpenSplash(&owner);
    EXPECT_EQ(CSplashWnd::Current(), pSplash.data());
    CSplashWnd::CloseSplash();

    CSplashWnd::SetTimeout(30);
    pSplash = OpenOver(owner);
    ASSERT_TRUE(pSplash);
    EXPECT_TRUE(QTest::qWaitFor([&] { return pSplash.isNull(); }));
    EXPECT_EQ(CSplashWnd::Current(), nullptr);
}

TEST_F(SplashTest, StartsWithASplashUnlessTheCommandLineSaysNo) {
    CGuiCorpus corpus;
    CTempDir programFolder;  // no exit companion there
    CBookApp::SetProgramFolder(QString::fromStdString(programFolder.Path()));
    struct Case {
        QStringList extra;
        bool bSplash;
    };
    const Case cases[] = {{{}, true}, {{QStringLiteral("--no-splash")}, false}};
    for (const Case& c : cases) {
        const QStringList arguments =
            QStringList{QStringLiteral("tessaline"), QStringLiteral("--data"), corpus.Folder()} + c.extra;
        ASSERT_TRUE(App().InitInstance(arguments)) << arguments.join(' ').toStdString();
        ASSERT_NE(App().MainFrame(), nullptr);
        EXPECT_TRUE(App().MainFrame()->isVisible());
        EXPECT_EQ(CSplashWnd::Current() != nullptr, c.bSplash) << arguments.join(' ').toStdString();
        if (CSplashWnd* pSplash = CSplashWnd::Current()) {
            EXPECT_TRUE(pSplash->isVisible());
            // A key pressed in the main window only takes the splash away.
            QTest::keyClick(App().MainFrame(), Qt::Key_Escape);
            EXPECT_EQ(CSplashWnd::Current(), nullptr);
        }
        App().ExitInstance();
        EXPECT_EQ(App().MainFrame(), nullptr);
        EXPECT_EQ(CSplashWnd::Current(), nullptr);
    }
}

// --- The exit companion

// Writes an "end" into dir that records, in dir/ran.txt, the path it was
// started as, its working folder and its number of arguments.
void WriteRecordingCompanion(const CTempDir& dir) {
    dir.Write("end",
              "#!/bin/sh\n"
              "printf '%s|%s|%s\\n' \"$0\" \"$PWD\" \"$#\" > \"$(dirname \"$0\")/ran.tmp\"\n"
              "mv \"$(dirname \"$0\")/ran.tmp\" \"$(dirname \"$0\")/ran.txt\"\n");
    std::filesystem::permissions(dir.File("end"), std::filesystem::perms::owner_all);
}

QString WaitForRecord(const CTempDir& dir) {
    QFile record(QString::fromStdString(dir.File("ran.txt")));
    if (!QTest::qWaitFor([&] { return record.exists(); }, 10000)) return QString();
    if (!record.open(QIODevice::ReadOnly)) return QString();
    return QString::fromLocal8Bit(record.readAll()).trimmed();
}

TEST(ExitCompanionTest, StartsEndFromTheGivenFolderInTheCurrentOne) {
    CTempDir dir;
    WriteRecordingCompanion(dir);
    const QString strFolder = QString::fromStdString(dir.Path());
    ASSERT_NE(QDir::currentPath(), strFolder);
    ASSERT_TRUE(CExitCompanion::Start(strFolder));
    EXPECT_EQ(WaitForRecord(dir), strFolder + "/end|" + QDir::currentPath() + "|0");
}

TEST(ExitCompanionTest, MissingOrNotExecutableIsNotStarted) {
    CTempDir empty;
    EXPECT_FALSE(CExitCompanion::Start(QString::fromStdString(empty.Path())));
    CTempDir plain;
    plain.Write("end", "#!/bin/sh\ntouch \"$(dirname \"$0\")/ran.txt\"\n");
    EXPECT_FALSE(CExitCompanion::Start(QString::fromStdString(plain.Path())));
    CTempDir folderNamedEnd;
    std::filesystem::create_directory(folderNamedEnd.File("end"));
    EXPECT_FALSE(CExitCompanion::Start(QString::fromStdString(folderNamedEnd.Path())));
}

TEST_F(SplashTest, ExitStartsTheCompanionAfterTheMainWindowIsGone) {
    CGuiCorpus corpus;
    CTempDir programFolder;
    WriteRecordingCompanion(programFolder);
    CBookApp::SetProgramFolder(QString::fromStdString(programFolder.Path()));
    ASSERT_TRUE(App().InitInstance({QStringLiteral("tessaline"), QStringLiteral("--no-splash"),
                                    QStringLiteral("--data"), corpus.Folder()}));
    QPointer<CMainFrame> pFrame = App().MainFrame();
    App().ExitInstance();
    EXPECT_TRUE(pFrame.isNull());
    EXPECT_TRUE(WaitForRecord(programFolder).startsWith(QString::fromStdString(programFolder.File("end")) + "|"));
}

}  // namespace
