// Takes pictures of the main window on a corpus: the contents tab with the
// first volume's first page shown, the search tab, a search over the first
// category with its first list page and the first result page with its
// hits marked (and the first of an even page number).
//   tessaline-screenshots DATA_DIR OUT_DIR [KEYWORDS]
// Run it under an X server (scripts/screenshots.sh uses xvfb-run).
#include "frame/book.h"
#include "frame/bookview.h"
#include "frame/mainfrm.h"
#include "frame/st_splitterwnd.h"
#include "panel/keywordedit.h"
#include "panel/leftform.h"
#include "panel/sortlistctrl.h"
#include "saveshot.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <cstdio>

namespace {

bool Save(CMainFrame& frame, const QString& strPath) { return SaveShot(frame, strPath, "tessaline-screenshots", 300); }

}  // namespace

int main(int argc, char** argv) {
    // Bookmarks and the history of these searches go to a folder of their
    // own, not into the user's.
    QTemporaryDir data(QDir::tempPath() + "/tessaline-shots-XXXXXX");
    if (!data.isValid()) return 2;
    qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
    CBookApp::PrepareEnvironment();
    CBookApp app(argc, argv);
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "Usage: tessaline-screenshots DATA_DIR OUT_DIR [KEYWORDS]\n");
        return 2;
    }
    const QString strOut = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(strOut);
    QDir::setCurrent(strOut);  // the catalogue dump lands beside the pictures

    CMainFrame* pFrame = app.CreateMainFrame(QString::fromLocal8Bit(argv[1]));
    pFrame->resize(1280, 800);
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

    // A search over the first category, and its first result page; choosing
    // the category in the tree makes it the range and names it on the tab.
    CLeftForm* pPanel = pFrame->LeftForm();
    if (QTreeWidgetItem* pCategory = pTree->topLevelItem(0)) pTree->setCurrentItem(pCategory);
    pPanel->m_nRange = 1;
    pPanel->KeywordBox()->setText(argc > 3 ? QString::fromLocal8Bit(argv[3]) : QStringLiteral("月"));
    // From the search command to the first list page in the list control:
    // the first time (the index reads the characters' page records) and
    // once more.
    for (const char* pszRun : {"first", "again"}) {
        QElapsedTimer timer;
        timer.start();
        pPanel->OnSearch();
        std::printf("search %s (%s): %zu rows, first list page filled in %.1f ms\n",
                    qPrintable(pPanel->KeywordBox()->text()), pszRun, pPanel->Results().GetRowCount(),
                    static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    bOk = Save(*pFrame, strOut + "/search-results.png") && bOk;
    if (QTreeWidgetItem* pRow = pPanel->ResultList()->topLevelItem(0)) {
        QSignalSpy loaded(pFrame->BookView(), &QWebEngineView::loadFinished);
        pPanel->ResultList()->setCurrentItem(pRow);
        loaded.wait(10000);
        bOk = Save(*pFrame, strOut + "/result-page.png") && bOk;
    }
    // A result page of an even page number too: its text lies in the first
    // cell.
    for (int i = 0; i < pPanel->ResultList()->topLevelItemCount(); ++i) {
        QTreeWidgetItem* pRow = pPanel->ResultList()->topLevelItem(i);
        if (pRow->text(3).toInt() % 2 != 0) continue;
        QSignalSpy loaded(pFrame->BookView(), &QWebEngineView::loadFinished);
        pPanel->ResultList()->setCurrentItem(pRow);
        loaded.wait(10000);
        bOk = Save(*pFrame, strOut + "/result-page-even.png") && bOk;
        break;
    }

    pFrame->Splitter()->ToggleColumn(0);
    bOk = Save(*pFrame, strOut + "/full-view.png") && bOk;
    return bOk ? 0 : 1;
}
