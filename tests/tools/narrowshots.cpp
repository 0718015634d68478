// Takes pictures of a result narrowed in the window, on a corpus: the chart
// of where the hits fall per book, then per volume of the book holding most
// (the list narrowed to it), one volume's rows, a search within the results
// with its chain, and the rows in reading order.
//   tessaline-narrow-screenshots DATA_DIR OUT_DIR [KEYWORDS [WITHIN]]
// Run it under an X server (xvfb-run).
#include "frame/book.h"
#include "frame/bookview.h"
#include "frame/mainfrm.h"
#include "frame/st_splitterwnd.h"
#include "panel/distributionpane.h"
#include "panel/keywordedit.h"
#include "panel/leftform.h"
#include "panel/sortlistctrl.h"
#include "resources/resource.h"
#include "saveshot.h"

#include <QAbstractButton>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <cstdio>

namespace {

bool Save(QWidget& widget, const QString& strPath) { return SaveShot(widget, strPath, "tessaline-narrow-screenshots"); }

double Milliseconds(const QElapsedTimer& timer) { return static_cast<double>(timer.nsecsElapsed()) / 1e6; }

// The bar of Counts() with the most pages; -1 for none.
int MostPages(const CDistributionPane& pane) {
    int nMost = -1;
    for (int i = 0; i < static_cast<int>(pane.Counts().size()); ++i)
        if (pane.Counts()[i].pNode && (nMost < 0 || pane.Counts()[i].nPages > pane.Counts()[nMost].nPages)) nMost = i;
    return nMost;
}

}  // namespace

int main(int argc, char** argv) {
    // Bookmarks and the history of these searches go to a folder of their
    // own, not into the user's.
    QTemporaryDir data(QDir::tempPath() + "/tessaline-shots-XXXXXX");
    if (!data.isValid()) return 2;
    qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
    CBookApp::PrepareEnvironment();
    CBookApp app(argc, argv);
    if (argc < 3 || argc > 5) {
        std::fprintf(stderr, "Usage: tessaline-narrow-screenshots DATA_DIR OUT_DIR [KEYWORDS [WITHIN]]\n");
        return 2;
    }
    const QString strOut = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(strOut);
    QDir::setCurrent(strOut);
    const QString strKeywords = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QStringLiteral("明月");
    const QString strWithin = argc > 4 ? QString::fromLocal8Bit(argv[4]) : QStringLiteral("春風");

    CMainFrame* pFrame = app.CreateMainFrame(QString::fromLocal8Bit(argv[1]));
    pFrame->resize(1280, 900);
    pFrame->show();
    if (!QTest::qWaitForWindowExposed(pFrame)) return 2;
    CLeftForm* pPanel = pFrame->LeftForm();
    CDistributionPane* pPane = pFrame->DistributionPane();
    auto search = [&](const QString& strText, bool bWithin) {
        pPanel->KeywordBox()->setText(strText);
        static_cast<QAbstractButton*>(pPanel->Control(CLeftForm::IDC_WITHIN))->setChecked(bWithin);
        pPanel->OnSearch();
    };
    bool bOk = true;

    pPanel->TabControl()->setCurrentIndex(CLeftForm::TabSearch);
    pPanel->m_nRange = 1;
    pFrame->ExecuteCommand(ID_VIEW_DISTRIBUTION);
    QElapsedTimer timer;
    timer.start();
    search(strKeywords, false);
    std::printf("search of %s with the chart showing: %.1f ms to the chart's books\n", qPrintable(strKeywords),
                Milliseconds(timer));
    if (QTreeWidgetItem* pRow = pPanel->ResultList()->topLevelItem(0)) {
        QSignalSpy loaded(pFrame->BookView(), &QWebEngineView::loadFinished);
        pPanel->ResultList()->setCurrentItem(pRow);
        loaded.wait(10000);
    }
    bOk = Save(*pFrame, strOut + "/distribution-books.png") && bOk;

    // Into the book with most pages: its volumes, and the list narrowed.
    timer.restart();
    pPane->ActivateBar(MostPages(*pPane));
    std::printf("into the book: %.1f ms to its volumes and the narrowed list\n", Milliseconds(timer));
    bOk = Save(*pFrame, strOut + "/distribution-volumes.png") && bOk;
    pPane->ActivateBar(MostPages(*pPane));
    bOk = Save(*pFrame, strOut + "/narrowed-volume.png") && bOk;
    static_cast<QAbstractButton*>(pPanel->Control(CLeftForm::IDC_SHOW_ALL))->click();

    // Reading order over every row, from the 書名 header.
    timer.restart();
    emit pPanel->ResultList()->header()->sectionClicked(1);
    std::printf("reading order of every row: %.1f ms\n", Milliseconds(timer));
    bOk = Save(*pFrame, strOut + "/reading-order.png") && bOk;

    // A search within the results: the second keywords kept to the pages
    // of the first, with the chain under the summary.
    pFrame->ExecuteCommand(ID_VIEW_DISTRIBUTION);
    search(strWithin, false);
    search(strKeywords, true);
    bOk = Save(*pFrame, strOut + "/within-chain.png") && bOk;
    return bOk ? 0 : 1;
}
