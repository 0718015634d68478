// Takes pictures of the main window on a corpus: the contents tab with the
// first volume's first page shown, and the search tab.
//   tessaline-screenshots DATA_DIR OUT_DIR
// Run it under an X server (scripts/screenshots.sh uses xvfb-run).
#include "frame/book.h"
#include "frame/bookview.h"
#include "frame/mainfrm.h"
#include "frame/st_splitterwnd.h"
#include "panel/leftform.h"

#include <QDir>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include <cstdio>

namespace {

bool Save(CMainFrame& frame, const QString& strPath) {
    QTest::qWait(300);  // let the browser draw
    if (!frame.grab().save(strPath)) {
        std::fprintf(stderr, "tessaline-screenshots: cannot write %s\n", qPrintable(strPath));
        return false;
    }
    std::printf("%s\n", qPrintable(strPath));
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    CBookApp::PrepareEnvironment();
    CBookApp app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "Usage: tessaline-screenshots DATA_DIR OUT_DIR\n");
        return 2;
    }
    const QString strOut = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(strOut);
    QDir::setCurrent(strOut);  // the catalogue dump lands beside the pictures

    CMainFrame* pFrame = app.CreateMainFrame(QString::fromLocal8Bit(argv[1]));
    pFrame->resize(1024, 700);
    pFrame->show();
    if (!QTest::qWaitForWindowExposed(pFrame)) return 2;

    bool bOk = Save(*pFrame, strOut + "/start.png");

    // Open the first volume: the first item without children.
    QTreeWidget* pTree = pFrame->LeftForm()->ContentsTree();
    pTree->expandAll();
    QTreeWidgetItemIterator it(pTree, QTreeWidgetItemIterator::NoChildren);
    if (*it) {
        QSignalSpy loaded(pFrame->BookView(), &QWebEngineView::loadFinished);
        pTree->setCurrentItem(*it);
        loaded.wait(10000);
    }
    bOk = Save(*pFrame, strOut + "/contents-tab.png") && bOk;

    pFrame->LeftForm()->TabControl()->setCurrentIndex(CLeftForm::TabSearch);
    bOk = Save(*pFrame, strOut + "/search-tab.png") && bOk;

    pFrame->Splitter()->ToggleColumn(0);
    bOk = Save(*pFrame, strOut + "/full-view.png") && bOk;
    return bOk ? 0 : 1;
}
