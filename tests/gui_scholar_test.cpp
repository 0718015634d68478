// The scholar's tools in the window: a copy with its citation pasted back
// into "引用へ移動…" opens the same page; the concordance pane holds the
// search's hits, sorts, opens a hit at its own mark and exports; the result
// rows say where their hits lie.
#include "controls/messagebox.h"
#include "frame/bookview.h"
#include "frame/citationdlg.h"
#include "frame/mainfrm.h"
#include "panel/concordancemodel.h"
#include "panel/concordancepane.h"
#include "panel/keywordedit.h"
#include "panel/leftform.h"
#include "panel/sortlistctrl.h"
#include "resources/resource.h"
#include "support/guitest.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>

#include <functional>

namespace {

using Slot = CGuiSearchCorpus::Slot;

class ScholarTest : public ::testing::Test {
protected:
    void SetUp() override { m_pFrame = ShowFrame(m_corpus.Folder()); }

    CLeftForm& Panel() { return *m_pFrame->LeftForm(); }
    CBookView& View() { return *m_pFrame->BookView(); }
    CConcordancePane& Pane() { return *m_pFrame->ConcordancePane(); }
    QString Summary() { return static_cast<QLabel*>(Panel().Control(CLeftForm::IDC_SUMMARY))->text(); }
    void Search(int nRange, const QString& strKeywords) {
        Panel().ContentsTree()->setCurrentItem(Panel().TreeItemOfSlot(nRange));
        Panel().TabControl()->setCurrentIndex(CLeftForm::TabSearch);
        Panel().KeywordBox()->setText(strKeywords);
        static_cast<QAbstractButton*>(Panel().Control(CLeftForm::IDC_SEARCH))->click();
    }
    // Runs "引用へ移動…" with strText typed into its edit; the outcome of
    // the dialog's reading, and its message line.
    CCitation::Outcome GoToCitation(const QString& strText, QString* pMessage = nullptr) {
        CCitation::Outcome eOutcome = CCitation::Outcome::Malformed;
        CMessageBox::SetHook([&](QDialog& dialog) {
            auto* pDialog = qobject_cast<CCitationDlg*>(&dialog);
            if (!pDialog) return static_cast<int>(QDialog::Rejected);
            pDialog->CitationEdit()->setText(strText);
            eOutcome = pDialog->TryAccept();
            if (pMessage) *pMessage = pDialog->MessageLine()->text();
            return pDialog->result();
        });
        EXPECT_TRUE(m_pFrame->ExecuteCommand(ID_GO_TO_CITATION));
        CMessageBox::SetHook(nullptr);
        return eOutcome;
    }
    // Shows the concordance and waits until it has read every page.
    void ShowConcordance() {
        if (Pane().isHidden()) {
            ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_VIEW_CONCORDANCE));
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return Pane().Model()->IsComplete(); }, 10000));
    }
    QString Cell(int nRow, int nColumn) { return Pane().Model()->index(nRow, nColumn).data().toString(); }

    CGuiSearchCorpus m_corpus;
    std::unique_ptr<CMainFrame> m_pFrame;
};

TEST_F(ScholarTest, ACopiedCitationPastedBackOpensTheSamePage) {
    // 學而第一, page 2, from the contents tree and the next-page command.
    Panel().ContentsTree()->setCurrentItem(Panel().TreeItemOfSlot(Slot::Gakuji));
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_NEXT_PAGE));
    ASSERT_TRUE(WaitForLocation(View(), QStringLiteral("windows.html")));
    const int32_t nPage = Panel().ShownPageIndex();
    ASSERT_GE(nPage, 0);
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_SELECT_ALL));
    ASSERT_TRUE(QTest::qWaitFor([&] { return View().hasSelection(); }, 10000));
    QGuiApplication::clipboard()->clear();
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_EDIT_COPY_CITED));
    const QString strCopied = QGuiApplication::clipboard()->text();
    EXPECT_TRUE(strCopied.startsWith(u'「')) << strCopied.toStdString();
    EXPECT_TRUE(strCopied.contains(QStringLiteral("有朋自遠方來")));
    EXPECT_TRUE(strCopied.endsWith(QStringLiteral("」(論語 學而第一 2)"))) << strCopied.toStdString();

    // Elsewhere, then the copy pasted back: the page, unmarked, its volume
    // current and selected in the tree.
    Panel().ContentsTree()->setCurrentItem(Panel().TreeItemOfSlot(Slot::Kan1));
    ASSERT_EQ(Panel().m_nCurVolume, Slot::Kan1);
    EXPECT_EQ(GoToCitation(strCopied), CCitation::Outcome::Found);
    EXPECT_EQ(Panel().m_nCurVolume, Slot::Gakuji);
    EXPECT_EQ(Panel().m_nCurPage, 2);
    EXPECT_EQ(Panel().ShownPageIndex(), nPage);
    EXPECT_EQ(Panel().ContentsTree()->currentItem(), Panel().TreeItemOfSlot(Slot::Gakuji));
    ASSERT_TRUE(WaitForLocation(View(), QStringLiteral("windows.html")));
    EXPECT_TRUE(PageText(View()).contains(QStringLiteral("有朋自遠方來")));

    // Typed loosely: full-width digits, 第…頁, no spaces.
    EXPECT_EQ(GoToCitation(QStringLiteral("唐詩卷一第６頁")), CCitation::Outcome::Found);
    EXPECT_EQ(Panel().m_nCurVolume, Slot::Kan1);
    EXPECT_EQ(Panel().m_nCurPage, 6);

    // What does not match is told on the dialog, and nothing moves.
    QString strMessage;
    EXPECT_EQ(GoToCitation(QStringLiteral("論語 學而第一 9"), &strMessage), CCitation::Outcome::NoPage);
    EXPECT_TRUE(strMessage.contains(QStringLiteral("1 頁から 3 頁まで"))) << strMessage.toStdString();
    EXPECT_EQ(GoToCitation(QStringLiteral("孟子 梁惠王上 1"), &strMessage), CCitation::Outcome::NoBook);
    EXPECT_TRUE(strMessage.contains(QStringLiteral("孟子梁惠王上"))) << strMessage.toStdString();
    EXPECT_EQ(GoToCitation(QStringLiteral("論語"), &strMessage), CCitation::Outcome::Malformed);
    EXPECT_FALSE(strMessage.isEmpty());
    EXPECT_EQ(Panel().m_nCurVolume, Slot::Kan1);
    EXPECT_EQ(Panel().m_nCurPage, 6);
}

TEST_F(ScholarTest, TheirKeysReachTheFrameFromInsideThePage) {
    // The page view answers Ctrl with its warning; F6 and F7 get through.
    Panel().ContentsTree()->setCurrentItem(Panel().TreeItemOfSlot(Slot::Gakuji));
    ASSERT_TRUE(WaitForLocation(View(), QStringLiteral("windows.html")));
    QWidget* pPage = View().focusProxy() ? View().focusProxy() : &View();
    pPage->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return pPage->hasFocus(); }));
    CModalRecorder modal;
    QTest::keyClick(pPage, Qt::Key_F6);
    ASSERT_EQ(modal.Entries().size(), 1u);
    EXPECT_EQ(modal.Entries()[0].strClass, QStringLiteral("CCitationDlg"));
    QTest::keyClick(pPage, Qt::Key_F7);
    EXPECT_FALSE(Pane().isHidden());
}

TEST_F(ScholarTest, TheConcordanceHoldsEveryHitSortsOpensAndExports) {
    // 明月 twice on each of 卷一's 101 pages: once in the main text, once
    // in an annotation.
    Search(Slot::Shubu, QStringLiteral("明月"));
    ASSERT_EQ(Summary(), QStringLiteral("全部で 101 頁で、202 箇所でした。"));
    ShowConcordance();
    EXPECT_TRUE(m_pFrame->Action(ID_VIEW_CONCORDANCE)->isChecked());
    ASSERT_EQ(Pane().Model()->rowCount(), 202);
    EXPECT_EQ(Pane().StatusLine()->text(), QStringLiteral("202 箇所"));
    EXPECT_EQ((QStringList{Cell(0, 0), Cell(0, 1), Cell(0, 2), Cell(0, 3), Cell(0, 4), Cell(0, 5), Cell(0, 6)}),
              (QStringList{"床前", "明月", "光疑是地上霜", "唐詩", "卷一", "5", "正文"}));
    EXPECT_EQ(Cell(1, 6), QStringLiteral("注釈"));

    // By the right context: the annotations' (empty) first; by the left
    // context read backwards: the same.
    ASSERT_TRUE(Pane().SortBy(CConcordance::Order::Right));
    EXPECT_EQ(Cell(0, 2), QString());
    EXPECT_EQ(Cell(201, 2), QStringLiteral("光疑是地上霜"));
    EXPECT_EQ(Pane().OrderBox()->currentIndex(), 1);
    ASSERT_TRUE(Pane().SortBy(CConcordance::Order::Left));
    EXPECT_EQ(Cell(0, 0), QString());
    EXPECT_EQ(Cell(201, 0), QStringLiteral("床前"));

    // A double click opens the page at that hit: an annotation's is the
    // page's second mark.
    Pane().ActivateRow(0);
    ASSERT_TRUE(WaitForLocation(View(), QStringLiteral("#0001")));
    EXPECT_EQ(Panel().m_nCurHit, 1);
    EXPECT_EQ(Panel().m_nHitCount, 2);
    Pane().ActivateRow(201);
    ASSERT_TRUE(WaitForLocation(View(), QStringLiteral("#0000")));

    // The whole concordance as CSV, with a byte-order mark.
    CTempDir dir;
    const QString strPath = QString::fromStdString(dir.File("用例.csv"));
    QString strError;
    ASSERT_TRUE(Pane().ExportTo(strPath, CConcordance::Format::Csv, strError)) << strError.toStdString();
    QFile file(strPath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    ASSERT_EQ(lines.size(), 204);  // header, 202 rows, and the empty piece after the last line end
    EXPECT_TRUE(lines[0].startsWith("\xEF\xBB\xBF\"左文脈\",\"キーワード\",\"右文脈\""));
    EXPECT_TRUE(lines.back().isEmpty());

    // A new search starts anew; another text part leaves nothing to show.
    Search(Slot::Keibu, QStringLiteral("學"));
    ShowConcordance();
    EXPECT_EQ(Pane().Model()->rowCount(), 3);
    static_cast<QAbstractButton*>(Panel().Control(CLeftForm::IDC_MAIN_TEXT))->click();
    EXPECT_FALSE(Pane().Model()->IsStarted());
    EXPECT_EQ(Pane().Model()->rowCount(), 0);
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_VIEW_CONCORDANCE));
    EXPECT_TRUE(Pane().isHidden());
}

TEST_F(ScholarTest, ResultRowsSayWhereTheirHitsLie) {
    struct Case {
        int nTextPart;  // control of the text-part button
        int nRange;
        const char* pszKeywords;
        const char* pszPart;
    } cases[] = {
        {CLeftForm::IDC_WHOLE_TEXT, Slot::Keibu, "學", "正文・注釈"},
        {CLeftForm::IDC_WHOLE_TEXT, Slot::Keibu, "君子", "正文"},
        {CLeftForm::IDC_WHOLE_TEXT, Slot::Keibu, "覺也", "注釈"},
        {CLeftForm::IDC_MAIN_TEXT, Slot::Shubu, "明月", "正文"},
        {CLeftForm::IDC_ANNOTATIONS, Slot::Shubu, "明月", "注釈"},
    };
    for (const Case& c : cases) {
        static_cast<QAbstractButton*>(Panel().Control(c.nTextPart))->click();
        Search(c.nRange, QString::fromUtf8(c.pszKeywords));
        const QTreeWidgetItem* pRow = Panel().ResultList()->topLevelItem(0);
        ASSERT_NE(pRow, nullptr) << c.pszKeywords;
        EXPECT_EQ(pRow->text(4), QString::fromUtf8(c.pszPart)) << c.pszKeywords;
    }
    EXPECT_EQ(Panel().ResultList()->headerItem()->text(4), QStringLiteral("正文/注釈"));
}

}  // namespace
