// Takes pictures of the scholar's tools on a corpus: a labelled result list,
// the concordance pane sorted by place, by the right and by the left
// context, a hit opened from it, and "引用へ移動…" with a citation that
// matches and one that does not. Prints how long the concordance took to
// show its first screen and to read every page.
//   tessaline-scholar-screenshots DATA_DIR OUT_DIR [KEYWORDS]
// Run it under an X server (scripts/screenshots.sh uses xvfb-run).
#include "controls/messagebox.h"
#include "frame/book.h"
#include "frame/bookview.h"
#include "frame/citationdlg.h"
#include "frame/mainfrm.h"
#include "frame/st_splitterwnd.h"
#include "panel/concordancemodel.h"
#include "panel/concordancepane.h"
#include "panel/keywordedit.h"
#include "panel/leftform.h"
#include "panel/sortlistctrl.h"
#include "resources/resource.h"
#include "saveshot.h"

#include <QAbstractButton>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <cstdio>

namespace {

bool Save(QWidget& widget, const QString& strPath) { return SaveShot(widget, strPath, "tessaline-scholar-screenshots"); }

double Milliseconds(const QElapsedTimer& timer) { return static_cast<double>(timer.nsecsElapsed()) / 1e6; }

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
        std::fprintf(stderr, "Usage: tessaline-scholar-screenshots DATA_DIR OUT_DIR [KEYWORDS]\n");
        return 2;
    }
    const QString strOut = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(strOut);
    QDir::setCurrent(strOut);

    CMainFrame* pFrame = app.CreateMainFrame(QString::fromLocal8Bit(argv[1]));
    pFrame->resize(1280, 900);
    pFrame->show();
    if (!QTest::qWaitForWindowExposed(pFrame)) return 2;
    CLeftForm* pPanel = pFrame->LeftForm();
    CConcordancePane* pPane = pFrame->ConcordancePane();
    bool bOk = true;

    // A search over the first category, its rows labelled, its first page.
    pPanel->TabControl()->setCurrentIndex(CLeftForm::TabSearch);
    pPanel->m_nRange = 1;
    pPanel->KeywordBox()->setText(argc > 3 ? QString::fromLocal8Bit(argv[3]) : QStringLiteral("明月"));
    pPanel->OnSearch();
    // The panel widened, as a reader does to see every column of the list.
    pFrame->Splitter()->setSizes({420, pFrame->width() - 420});
    if (QTreeWidgetItem* pRow = pPanel->ResultList()->topLevelItem(0)) {
        QSignalSpy loaded(pFrame->BookView(), &QWebEngineView::loadFinished);
        pPanel->ResultList()->setCurrentItem(pRow);
        loaded.wait(10000);
    }
    bOk = Save(*pFrame, strOut + "/labelled-results.png") && bOk;

    // The concordance: its first screen, then every page.
    QElapsedTimer timer;
    timer.start();
    pFrame->ExecuteCommand(ID_VIEW_CONCORDANCE);
    QCoreApplication::processEvents();
    const double dFirst = Milliseconds(timer);
    const int nFirstRows = pPane->Model()->rowCount();
    if (!QTest::qWaitFor([&] { return pPane->Model()->IsComplete(); }, 120000)) {
        std::fprintf(stderr, "tessaline-scholar-screenshots: the concordance did not finish in 2 minutes\n");
        bOk = false;
    }
    std::printf("concordance of %s: first screen (%d rows) in %.1f ms, all %d rows in %.1f ms\n",
                qPrintable(pPanel->KeywordBox()->text()), nFirstRows, dFirst, pPane->Model()->rowCount(),
                Milliseconds(timer));
    bOk = Save(*pFrame, strOut + "/concordance-place.png") && bOk;
    for (const auto& [eOrder, pszName] : {std::pair{CConcordance::Order::Right, "right"}, {CConcordance::Order::Left, "left"}}) {
        timer.restart();
        pPane->SortBy(eOrder);
        std::printf("sorted by the %s context in %.1f ms\n", pszName, Milliseconds(timer));
        // Somewhere in the middle, where the order shows.
        const int nRow = pPane->Model()->rowCount() / 3;
        pPane->Table()->scrollTo(pPane->Model()->index(nRow, 0), QAbstractItemView::PositionAtTop);
        bOk = Save(*pFrame, strOut + "/concordance-" + pszName + ".png") && bOk;
        if (eOrder == CConcordance::Order::Left) {
            QSignalSpy loaded(pFrame->BookView(), &QWebEngineView::loadFinished);
            pPane->Table()->selectRow(nRow + 3);
            pPane->ActivateRow(nRow + 3);
            loaded.wait(10000);
            bOk = Save(*pFrame, strOut + "/concordance-opened.png") && bOk;
        }
    }

    // "引用へ移動…" with the page on display's citation, then with a page
    // its volume does not have.
    const QString strCitation = QString::fromStdU16String(pPanel->Citation().Format(pPanel->ShownPageIndex()));
    for (const auto& [strText, pszName] : {std::pair{strCitation, "found"}, {QStringLiteral("御定全唐詩 卷一 第９９頁"), "no-page"},
                                           {QStringLiteral("唐詩三百首 卷一 1"), "no-book"}}) {
        CMessageBox::SetHook([&, strText = strText, pszName = pszName](QDialog& dialog) {
            auto* pDialog = qobject_cast<CCitationDlg*>(&dialog);
            if (!pDialog) return static_cast<int>(QDialog::Rejected);
            pDialog->show();
            pDialog->CitationEdit()->setText(strText);
            if (QLatin1String(pszName) != QLatin1String("found")) pDialog->TryAccept();
            QTest::qWait(200);
            bOk = Save(*pDialog, strOut + "/citation-" + pszName + ".png") && bOk;
            pDialog->hide();
            return static_cast<int>(QDialog::Rejected);
        });
        pFrame->ExecuteCommand(ID_GO_TO_CITATION);
    }
    CMessageBox::SetHook(nullptr);
    return bOk ? 0 : 1;
}
