// Takes pictures of the splash (during and after its animation), the About
// box and the main window with its toolbar in the normal, hot and disabled
// states:
//   tessaline-finishing-screenshots DATA_DIR OUT_DIR
// Run it under an X server (scripts/screenshots-finishing.sh uses xvfb-run).
#include "frame/book.h"
#include "frame/bookview.h"
#include "frame/mainfrm.h"
#include "frame/scrolltoolbar.h"
#include "panel/leftform.h"
#include "resources/resource.h"
#include "splash/aboutdlg.h"
#include "splash/splashwnd.h"

#include <QDir>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include <cstdio>

namespace {

bool Save(const QPixmap& picture, const QString& strPath) {
    if (!picture.save(strPath)) {
        std::fprintf(stderr, "tessaline-finishing-screenshots: cannot write %s\n", qPrintable(strPath));
        return false;
    }
    std::printf("%s\n", qPrintable(strPath));
    return true;
}

// The toolbar's button of a command.
QToolButton* Button(CMainFrame& frame, int nId) {
    return qobject_cast<QToolButton*>(frame.ToolBar()->widgetForAction(frame.Action(nId)));
}

}  // namespace

int main(int argc, char** argv) {
    CBookApp::PrepareEnvironment();
    CBookApp app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "Usage: tessaline-finishing-screenshots DATA_DIR OUT_DIR\n");
        return 2;
    }
    const QString strOut = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(strOut);
    QDir::setCurrent(strOut);  // the catalogue dump lands beside the pictures
    bool bOk = true;

    // The splash, part way and at the end of its animation.
    CSplashWnd::OpenSplash(nullptr);
    CSplashWnd* pSplash = CSplashWnd::Current();
    if (!pSplash || !QTest::qWaitForWindowExposed(pSplash)) return 2;
    QTest::qWait(1500);
    bOk = Save(pSplash->grab(), strOut + "/splash-animating.png") && bOk;
    if (!QTest::qWaitFor([&] { return pSplash->IsAnimationDone(); }, 10000)) return 2;
    QTest::qWait(100);
    bOk = Save(pSplash->grab(), strOut + "/splash.png") && bOk;
    CSplashWnd::CloseSplash();

    CMainFrame* pFrame = app.CreateMainFrame(QString::fromLocal8Bit(argv[1]));
    pFrame->resize(1280, 800);
    pFrame->show();
    if (!QTest::qWaitForWindowExposed(pFrame)) return 2;
    QTest::qWait(300);
    // At the start nothing can be done with a page: the buttons are off.
    bOk = Save(pFrame->grab(), strOut + "/toolbar-disabled.png") && bOk;

    // Open the second volume of the first book at its first page, so that
    // every kind of button is on.
    QTreeWidget* pTree = pFrame->LeftForm()->ContentsTree();
    pTree->expandAll();
    QTreeWidgetItemIterator it(pTree, QTreeWidgetItemIterator::NoChildren);
    if (*it && *(++it)) {
        QSignalSpy loaded(pFrame->BookView(), &QWebEngineView::loadFinished);
        pTree->setCurrentItem(*it);
        loaded.wait(10000);
    }
    pFrame->UpdateCommandUI();
    QTest::qWait(300);
    bOk = Save(pFrame->grab(), strOut + "/toolbar-normal.png") && bOk;

    // The mouse over the next-volume button.
    if (QToolButton* pButton = Button(*pFrame, ID_NEXT_VOLUME)) {
        QTest::mouseMove(pButton, pButton->rect().center());
        QTest::qWait(300);
    }
    bOk = Save(pFrame->grab(), strOut + "/toolbar-hot.png") && bOk;
    bOk = Save(pFrame->ToolBar()->grab(), strOut + "/toolbar-hot-strip.png") && bOk;

    // The About box over the main window.
    CAboutDlg about(pFrame);
    about.show();
    if (QTest::qWaitForWindowExposed(&about)) {
        QTest::qWait(100);
        bOk = Save(about.grab(), strOut + "/about.png") && bOk;
    }
    about.close();
    return bOk ? 0 : 1;
}
