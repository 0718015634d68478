// Bookmarks and the search history in the window: a bookmark made with F2
// inside the page, from the 編集 menu and from the page's own menu; the
// list opens its page, changes its note, deletes and exports; a bookmark
// whose page is not in this corpus says so; every search goes to the
// history (a step back does not) and runs again from it; a damaged
// database is set aside with a message at start.
#include "frame/bookview.h"
#include "frame/mainfrm.h"
#include "panel/keywordedit.h"
#include "panel/leftform.h"
#include "resources/resource.h"
#include "shelf/bookmarkmodel.h"
#include "shelf/bookmarknotedlg.h"
#include "shelf/bookmarksdlg.h"
#include "shelf/bookmarkstore.h"
#include "shelf/historydlg.h"
#include "shelf/historymodel.h"
#include "shelf/historystore.h"
#include "shelf/shelf.h"
#include "shelf/shelfdatabase.h"
#include "support/guitest.h"
#include "controls/messagebox.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <functional>

namespace {

using Slot = CGuiSearchCorpus::Slot;

class ShelfTest : public ::testing::Test {
protected:
    void SetUp() override {
        // A data folder of the test's own: a fresh database each time.
        m_savedDataHome = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(m_data.Path()));
    }
    void TearDown() override {
        CMessageBox::SetHook(nullptr);
        m_pFrame.reset();
        qputenv("XDG_DATA_HOME", m_savedDataHome);
    }
    void Start() { m_pFrame = ShowFrame(m_corpus.Folder()); }

    CLeftForm& Panel() { return *m_pFrame->LeftForm(); }
    CBookView& View() { return *m_pFrame->BookView(); }
    CShelf& Shelf() { return *m_pFrame->Shelf(); }
    QString Summary() { return static_cast<QLabel*>(Panel().Control(CLeftForm::IDC_SUMMARY))->text(); }

    // Shows page nPage of the volume in nSlot, as the contents tree and the
    // page commands do.
    void OpenPage(int nSlot, int nPage) {
        Panel().ContentsTree()->setCurrentItem(Panel().TreeItemOfSlot(nSlot));
        while (Panel().m_nCurPage < nPage) ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_NEXT_PAGE));
        ASSERT_TRUE(WaitForLocation(View(), QStringLiteral("windows.html")));
    }
    void Search(int nRange, const QString& strKeywords, bool bWithin = false) {
        Panel().ContentsTree()->setCurrentItem(Panel().TreeItemOfSlot(nRange));
        Panel().TabControl()->setCurrentIndex(CLeftForm::TabSearch);
        static_cast<QCheckBox*>(Panel().Control(CLeftForm::IDC_WITHIN))->setChecked(bWithin);
        Panel().KeywordBox()->setText(strKeywords);
        static_cast<QAbstractButton*>(Panel().Control(CLeftForm::IDC_SEARCH))->click();
    }
    // Answers the note dialog with strNote (accepted) or cancels it; the
    // dialog's title and its note as it came are kept.
    void AnswerNote(const QString& strNote, bool bAccept = true) {
        CMessageBox::SetHook([this, strNote, bAccept](QDialog& dialog) {
            auto* pDialog = qobject_cast<CBookmarkNoteDlg*>(&dialog);
            if (!pDialog) return static_cast<int>(QDialog::Rejected);
            m_strNoteTitle = pDialog->windowTitle();
            m_strNoteBefore = pDialog->Note();
            m_strNoteCitation = pDialog->CitationLabel()->text();
            pDialog->NoteEdit()->setPlainText(strNote);
            return static_cast<int>(bAccept ? QDialog::Accepted : QDialog::Rejected);
        });
    }
    std::vector<BookmarkTag> Bookmarks() { return Shelf().Bookmarks().List(); }
    // Clicks the item strCaption of the page's right-click menu.
    void ChooseFromPageMenu(const QString& strCaption) {
        bool bChosen = false;
        QTimer::singleShot(300, [&] {
            auto* pMenu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!pMenu) return;
            for (QAction* pAction : pMenu->actions()) {
                if (pAction->text() != strCaption) continue;
                pMenu->setActiveAction(pAction);
                QTest::keyClick(pMenu, Qt::Key_Return);
                bChosen = true;
                return;
            }
            pMenu->close();
        });
        QWidget* pTarget = View().focusProxy() ? View().focusProxy() : &View();
        QTest::mouseClick(pTarget, Qt::RightButton, {}, QPoint(40, 40));
        QTest::qWait(400);
        EXPECT_TRUE(bChosen) << strCaption.toStdString();
    }

    CGuiSearchCorpus m_corpus;
    CTempDir m_data;
    QByteArray m_savedDataHome;
    std::unique_ptr<CMainFrame> m_pFrame;
    QString m_strNoteTitle, m_strNoteBefore, m_strNoteCitation;
};

TEST_F(ShelfTest, BookmarksComeFromTheKeyInsideThePageTheMenuAndThePageMenu) {
    Start();
    EXPECT_FALSE(m_pFrame->ExecuteCommand(ID_ADD_BOOKMARK));  // no page yet
    EXPECT_TRUE(Shelf().Database().IsKept());
    EXPECT_TRUE(Shelf().Database().Path().startsWith(QString::fromStdString(m_data.Path())));

    // F2 with the focus inside the page, where Ctrl keys only warn.
    OpenPage(Slot::Gakuji, 1);
    QWidget* pPage = View().focusProxy() ? View().focusProxy() : &View();
    pPage->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return pPage->hasFocus(); }));
    AnswerNote(QStringLiteral("最初の頁"));
    QTest::keyClick(pPage, Qt::Key_F2);
    ASSERT_EQ(Bookmarks().size(), 1u);
    EXPECT_EQ(m_strNoteTitle, QStringLiteral("しおりを挟む"));
    EXPECT_EQ(m_strNoteCitation, QStringLiteral("論語 學而第一 1"));
    BookmarkTag made = Bookmarks()[0];
    EXPECT_EQ(made.strCitation, u"論語 學而第一 1");
    EXPECT_EQ(made.strNote, u"最初の頁");
    EXPECT_EQ(made.nPageIndex, Panel().ShownPageIndex());
    EXPECT_EQ(made.strCatalogue, Shelf().Catalogue());
    EXPECT_EQ(QString::fromStdString(made.strCorpus), QFileInfo(m_corpus.Folder()).canonicalFilePath());
    EXPECT_EQ(made.strDigest.size(), 16u);

    // The 編集 menu's item, on the next page; cancelled first.
    OpenPage(Slot::Gakuji, 2);
    QAction* pMenuItem = nullptr;
    for (QAction* pMenu : m_pFrame->menuBar()->actions())
        if (pMenu->text() == QStringLiteral("編集(&E)"))
            for (QAction* pItem : pMenu->menu()->actions())
                if (pItem->text() == QStringLiteral("しおりを挟む…\tF2")) pMenuItem = pItem;
    ASSERT_TRUE(pMenuItem);
    m_pFrame->UpdateCommandUI();
    ASSERT_TRUE(pMenuItem->isEnabled());
    AnswerNote(QStringLiteral("取り消す"), false);
    pMenuItem->trigger();
    EXPECT_EQ(Bookmarks().size(), 1u);
    AnswerNote(QStringLiteral("朋\n遠方より来たる"));
    pMenuItem->trigger();
    ASSERT_EQ(Bookmarks().size(), 2u);
    EXPECT_EQ(Bookmarks()[0].strNote, u"朋\n遠方より来たる");

    // The page's menu on a page marked already: its note, to change.
    AnswerNote(QStringLiteral("書き直した"));
    ChooseFromPageMenu(QStringLiteral("しおりを挟む…\tF2"));
    EXPECT_EQ(m_strNoteBefore, QStringLiteral("朋\n遠方より来たる"));
    EXPECT_NE(m_strNoteTitle, QStringLiteral("しおりを挟む"));
    ASSERT_EQ(Bookmarks().size(), 2u);
    EXPECT_EQ(Bookmarks()[0].strNote, u"書き直した");
}

TEST_F(ShelfTest, TheListOpensABookmarksPageChangesItsNoteDeletesAndExports) {
    Start();
    AnswerNote(QStringLiteral("學而 1"));
    OpenPage(Slot::Gakuji, 1);
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_ADD_BOOKMARK));
    const int32_t nMarked = Panel().ShownPageIndex();
    AnswerNote(QStringLiteral("為政 2, \"北辰\""));
    OpenPage(Slot::Isei, 2);
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_ADD_BOOKMARK));
    OpenPage(Slot::Kan1, 5);

    // Opened from the list: the older one, in the second row.
    QStringList rows;
    CMessageBox::SetHook([&](QDialog& dialog) {
        auto* pList = qobject_cast<CBookmarksDlg*>(&dialog);
        if (!pList) return static_cast<int>(QDialog::Rejected);
        for (int nRow = 0; nRow < pList->Model()->rowCount(); ++nRow)
            rows << pList->Model()->index(nRow, CBookmarkModel::CitationColumn).data().toString() + u'|' +
                        pList->Model()->index(nRow, CBookmarkModel::NoteColumn).data().toString();
        pList->Table()->selectRow(1);
        pList->OpenCurrent();
        return pList->result();
    });
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_VIEW_BOOKMARKS));
    EXPECT_EQ(rows, (QStringList{QStringLiteral("論語 為政第二 2|為政 2, \"北辰\""), QStringLiteral("論語 學而第一 1|學而 1")}));
    EXPECT_EQ(Panel().m_nCurVolume, Slot::Gakuji);
    EXPECT_EQ(Panel().m_nCurPage, 1);
    EXPECT_EQ(Panel().ShownPageIndex(), nMarked);
    EXPECT_EQ(Panel().ContentsTree()->currentItem(), Panel().TreeItemOfSlot(Slot::Gakuji));
    ASSERT_TRUE(WaitForLocation(View(), QStringLiteral("windows.html")));
    EXPECT_TRUE(PageText(View()).contains(QStringLiteral("子曰學而時習之")));

    // A note changed, a row deleted after asking, the rest exported.
    CTempDir out;
    const QString strCsv = QString::fromStdString(out.File("しおり.csv"));
    QString strExportError;
    bool bExported = false;
    CMessageBox::SetHook([&](QDialog& dialog) {
        if (auto* pNote = qobject_cast<CBookmarkNoteDlg*>(&dialog)) {
            pNote->NoteEdit()->setPlainText(QStringLiteral("改めた"));
            return static_cast<int>(QDialog::Accepted);
        }
        if (qobject_cast<QMessageBox*>(&dialog)) return static_cast<int>(QMessageBox::Yes);
        auto* pList = qobject_cast<CBookmarksDlg*>(&dialog);
        if (!pList) return static_cast<int>(QDialog::Rejected);
        pList->Table()->selectRow(1);
        EXPECT_TRUE(pList->EditCurrentNote());
        EXPECT_EQ(pList->Model()->index(1, CBookmarkModel::NoteColumn).data().toString(), QStringLiteral("改めた"));
        pList->Table()->selectRow(0);
        EXPECT_TRUE(pList->RemoveSelected());
        EXPECT_EQ(pList->Model()->rowCount(), 1);
        EXPECT_EQ(pList->StatusLine()->text(), QStringLiteral("しおり 1 件"));
        bExported = pList->ExportTo(strCsv, strExportError);
        return static_cast<int>(QDialog::Rejected);
    });
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_VIEW_BOOKMARKS));
    ASSERT_TRUE(bExported) << strExportError.toStdString();
    ASSERT_EQ(Bookmarks().size(), 1u);
    EXPECT_EQ(Bookmarks()[0].strNote, u"改めた");
    QFile file(strCsv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF\"引用\",\"メモ\",\"日時\",\"コーパス\"\r\n\"論語 學而第一 1\",\"改めた\","))
        << bytes.toStdString();
    EXPECT_EQ(bytes.count("\r\n"), 2);
}

TEST_F(ShelfTest, ABookmarkWhosePageIsNotHereSaysSoInsteadOfOpeningAnother) {
    Start();
    AnswerNote(QString());
    OpenPage(Slot::Gakuji, 2);
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_ADD_BOOKMARK));
    const BookmarkTag made = Bookmarks().at(0);
    OpenPage(Slot::Kan1, 5);
    const int32_t nShown = Panel().ShownPageIndex();

    CModalRecorder modal;
    // Made in another corpus (or this one before it was rebuilt), whose
    // page 2 of 學而第一 held other text: asked, and not opened.
    BookmarkTag changed = made;
    changed.strDigest = "0000000000000000";
    changed.strCatalogue = "ffffffffffffffff";
    changed.strCorpus = "/elsewhere/corpus";
    EXPECT_FALSE(Shelf().OpenBookmark(changed));
    ASSERT_EQ(modal.Entries().size(), 1u);
    EXPECT_TRUE(modal.Entries()[0].strText.contains(QStringLiteral("本文が違います"))) << modal.Entries()[0].strText.toStdString();
    EXPECT_TRUE(modal.Entries()[0].strText.contains(QStringLiteral("/elsewhere/corpus")));
    EXPECT_EQ(Panel().ShownPageIndex(), nShown);

    // A book this corpus does not have.
    BookmarkTag missing = changed;
    missing.strCitation = u"孟子 梁惠王上 1";
    missing.nPageIndex = 999;
    EXPECT_FALSE(Shelf().OpenBookmark(missing));
    ASSERT_EQ(modal.Messages().size(), 2u);
    EXPECT_TRUE(modal.Messages()[1].contains(QStringLiteral("ありません"))) << modal.Messages()[1].toStdString();
    EXPECT_TRUE(modal.Messages()[1].contains(QStringLiteral("孟子")));
    EXPECT_EQ(Panel().ShownPageIndex(), nShown);

    // Its text found under another citation: opened there, and said so.
    BookmarkTag moved = made;
    moved.strCitation = u"論語 學而第一 9";
    EXPECT_TRUE(Shelf().OpenBookmark(moved));
    ASSERT_EQ(modal.Messages().size(), 3u);
    EXPECT_TRUE(modal.Messages()[2].contains(QStringLiteral("「論語 學而第一 2」にあります"))) << modal.Messages()[2].toStdString();
    EXPECT_EQ(Panel().ShownPageIndex(), made.nPageIndex);
    EXPECT_EQ(Panel().m_nCurVolume, Slot::Gakuji);
    EXPECT_EQ(Panel().m_nCurPage, 2);
}

TEST_F(ShelfTest, EverySearchGoesToTheHistoryAndRunsAgainFromIt) {
    Start();
    CHistoryStore& history = Shelf().History();
    Search(Slot::Keibu, QStringLiteral("學"));
    ASSERT_EQ(history.Count(), 1);
    const QString strFirst = Summary();
    Search(Slot::Keibu, QStringLiteral("而"), true);
    ASSERT_EQ(Panel().Chain().StepCount(), 2u);
    ASSERT_EQ(history.Count(), 2);
    const QString strChain = Summary();
    // A step back shows the search before again: not a search of its own.
    static_cast<QAbstractButton*>(Panel().Control(CLeftForm::IDC_STEP_BACK))->click();
    ASSERT_EQ(Panel().Chain().StepCount(), 1u);
    EXPECT_EQ(Summary(), strFirst);
    EXPECT_EQ(history.Count(), 2);
    Search(Slot::Shubu, QStringLiteral("明月"));
    EXPECT_EQ(history.Count(), 3);

    const std::vector<HistoryEntryTag> entries = history.List();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[1].request.steps.size(), 2u);
    EXPECT_EQ(entries[1].strRangeLabel, u"經部");
    EXPECT_EQ(entries[0].nPages, 101);
    EXPECT_EQ(entries[0].nPlaces, 202);
    EXPECT_EQ(entries[0].strCatalogue, Shelf().Catalogue());

    // The chain chosen in the list runs again, whole, and is written anew once.
    QStringList cells;
    CMessageBox::SetHook([&](QDialog& dialog) {
        auto* pList = qobject_cast<CHistoryDlg*>(&dialog);
        if (!pList) return static_cast<int>(QDialog::Rejected);
        for (int nColumn = 0; nColumn < CHistoryModel::ColumnCount; ++nColumn)
            if (nColumn != CHistoryModel::TimeColumn) cells << pList->Model()->index(1, nColumn).data().toString();
        pList->Table()->selectRow(1);
        pList->RunCurrent();
        return pList->result();
    });
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_VIEW_HISTORY));
    EXPECT_EQ(cells, (QStringList{"學 → 而", "and・異体字・全文", "經部", QString::number(entries[1].nPages),
                                  QString::number(entries[1].nPlaces)}));
    EXPECT_EQ(Panel().Chain().StepCount(), 2u);
    EXPECT_EQ(Summary(), strChain);
    EXPECT_EQ(Panel().TabControl()->currentIndex(), CLeftForm::TabSearch);
    ASSERT_EQ(history.Count(), 4);
    EXPECT_EQ(history.List()[0].request.steps.size(), 2u);

    // Cleared after asking; asked and refused, nothing goes.
    for (const int nAnswer : {static_cast<int>(QMessageBox::No), static_cast<int>(QMessageBox::Yes)}) {
        CMessageBox::SetHook([&](QDialog& dialog) {
            if (qobject_cast<QMessageBox*>(&dialog)) return nAnswer;
            auto* pList = qobject_cast<CHistoryDlg*>(&dialog);
            if (pList) pList->ClearAll();
            return static_cast<int>(QDialog::Rejected);
        });
        ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_VIEW_HISTORY));
        EXPECT_EQ(history.Count(), nAnswer == QMessageBox::Yes ? 0 : 4);
    }
}

TEST_F(ShelfTest, ADamagedDatabaseIsSetAsideWithAMessageAtStart) {
    const QString strPath = CShelfDatabase::DefaultPath();
    ASSERT_TRUE(strPath.startsWith(QString::fromStdString(m_data.Path())));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(strPath).path()));
    QFile file(strPath);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, '\x5a'));
    file.close();

    CModalRecorder modal;
    Start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !modal.Messages().isEmpty(); }, 5000));
    const QString strMessage = modal.Messages()[0];
    const QString strAside = Shelf().Database().SetAsidePath();
    EXPECT_TRUE(strMessage.contains(strPath)) << strMessage.toStdString();
    EXPECT_TRUE(strMessage.contains(strAside)) << strMessage.toStdString();
    EXPECT_TRUE(QFileInfo(strAside).isFile());
    EXPECT_TRUE(Shelf().Database().IsKept());
    // The fresh one takes the searches.
    Search(Slot::Keibu, QStringLiteral("學"));
    EXPECT_EQ(Shelf().History().Count(), 1);
}

}  // namespace
