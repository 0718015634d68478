// Takes pictures of the bookmarks and the search history on a corpus:
// "しおりを挟む" with its note, the bookmark list (one bookmark made in
// another corpus, drawn grey), the history with a search within results,
// and the message of a bookmark whose page this corpus does not have.
// The bookmarks and searches go to a database in a folder of the run, never
// to the user's own.
//   tessaline-shelf-screenshots DATA_DIR OUT_DIR
// Run it under an X server (xvfb-run).
#include "controls/messagebox.h"
#include "frame/book.h"
#include "frame/mainfrm.h"
#include "frame/st_splitterwnd.h"
#include "panel/keywordedit.h"
#include "panel/leftform.h"
#include "resources/resource.h"
#include "saveshot.h"
#include "shelf/bookmarknotedlg.h"
#include "shelf/bookmarksdlg.h"
#include "shelf/bookmarkstore.h"
#include "shelf/historydlg.h"
#include "shelf/shelf.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDateTime>
#include <QDialog>
#include <QDir>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace {

bool Save(QWidget& widget, const QString& strPath) { return SaveShot(widget, strPath, "tessaline-shelf-screenshots"); }

// Shows the dialog the hook was handed, lets it draw and saves it.
bool ShowAndSave(QDialog& dialog, const QString& strPath) {
    dialog.show();
    if (!QTest::qWaitForWindowExposed(&dialog)) return false;
    const bool bSaved = Save(dialog, strPath);
    dialog.hide();
    return bSaved;
}

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir data(QDir::tempPath() + "/tessaline-shelf-shots-XXXXXX");
    if (!data.isValid()) return 2;
    qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
    CBookApp::PrepareEnvironment();
    CBookApp app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "Usage: tessaline-shelf-screenshots DATA_DIR OUT_DIR\n");
        return 2;
    }
    const QString strOut = QDir(QString::fromLocal8Bit(argv[2])).absolutePath();
    QDir().mkpath(strOut);
    QDir::setCurrent(strOut);

    CMainFrame* pFrame = app.CreateMainFrame(QString::fromLocal8Bit(argv[1]));
    pFrame->resize(1280, 900);
    pFrame->show();
    if (!QTest::qWaitForWindowExposed(pFrame)) return 2;
    CLeftForm* pPanel = pFrame->LeftForm();
    CShelf* pShelf = pFrame->Shelf();
    bool bOk = true;

    // Searches: plain ones, one within the results of another, one of
    // another kind.
    pPanel->TabControl()->setCurrentIndex(CLeftForm::TabSearch);
    auto search = [&](const QString& strKeywords, bool bWithin) {
        pPanel->m_nRange = 1;
        static_cast<QCheckBox*>(pPanel->Control(CLeftForm::IDC_WITHIN))->setChecked(bWithin);
        pPanel->KeywordBox()->setText(strKeywords);
        pPanel->OnSearch();
    };
    search(QStringLiteral("明月"), false);
    search(QStringLiteral("春風"), false);
    search(QStringLiteral("花"), true);
    search(QStringLiteral("長安 洛陽"), false);
    SearchRequestTag other;
    other.steps.push_back({u"白日依山盡", true, false, TextPart::MainText});
    pPanel->RunRequest(other);
    search(QStringLiteral("黃河遠上"), false);

    // Bookmarks on pages of a few volumes, each with a note; the first
    // "しおりを挟む" pictured.
    const char16_t* const notes[] = {u"「離騷」冒頭。王逸注と比べる。", u"", u"明月の用例\n李白の他の作と並べる",
                                     u"校勘: 底本の異同あり"};
    const int32_t volumes[] = {3, 4, 21, 30};
    int nNote = 0;
    CMessageBox::SetHook([&](QDialog& dialog) {
        auto* pNote = qobject_cast<CBookmarkNoteDlg*>(&dialog);
        if (!pNote) return static_cast<int>(QDialog::Rejected);
        pNote->NoteEdit()->setPlainText(QString::fromStdU16String(notes[nNote % 4]));
        if (nNote == 0) bOk = ShowAndSave(*pNote, strOut + "/bookmark-add.png") && bOk;
        ++nNote;
        return static_cast<int>(QDialog::Accepted);
    });
    for (int32_t nVolume : volumes) {
        pPanel->MakeVolumeCurrent(nVolume);
        pFrame->ExecuteCommand(ID_NEXT_PAGE);
        QTest::qWait(200);
        pFrame->ExecuteCommand(ID_ADD_BOOKMARK);
    }
    // One made in another corpus: drawn grey, and not found here.
    BookmarkTag foreign;
    foreign.strCitation = u"唐詩三百首 卷一 3";
    foreign.strNote = u"旧版のコーパスで挟んだもの";
    foreign.nTime = QDateTime::currentMSecsSinceEpoch() - 86400000LL * 30;
    foreign.strCorpus = "/home/gakusha/旧コーパス";
    foreign.strCatalogue = "0000000000000000";
    foreign.nPageIndex = 12;
    foreign.strDigest = "0123456789abcdef";
    pShelf->Bookmarks().Add(foreign);

    // The lists, as they open from the 編集 menu.
    pFrame->Splitter()->setSizes({360, pFrame->width() - 360});
    CMessageBox::SetHook([&](QDialog& dialog) {
        if (auto* pList = qobject_cast<CBookmarksDlg*>(&dialog)) {
            pList->Table()->selectRow(2);
            bOk = ShowAndSave(*pList, strOut + "/bookmarks.png") && bOk;
        } else if (auto* pList = qobject_cast<CHistoryDlg*>(&dialog)) {
            pList->Table()->selectRow(3);
            bOk = ShowAndSave(*pList, strOut + "/history.png") && bOk;
        } else if (auto* pBox = qobject_cast<QMessageBox*>(&dialog)) {
            bOk = ShowAndSave(*pBox, strOut + "/bookmark-missing.png") && bOk;
        }
        return static_cast<int>(QDialog::Rejected);
    });
    pFrame->ExecuteCommand(ID_VIEW_BOOKMARKS);
    pFrame->ExecuteCommand(ID_VIEW_HISTORY);
    pShelf->OpenBookmark(foreign);
    CMessageBox::SetHook(nullptr);
    return bOk ? 0 : 1;
}
