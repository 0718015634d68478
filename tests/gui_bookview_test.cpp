// The page view: the limited copy, the right-click menu, the Ctrl warning
// and the print routes.
#include "controls/messagebox.h"
#include "frame/bookview.h"
#include "frame/mainfrm.h"
#include "frame/scrolltoolbar.h"
#include "panel/leftform.h"
#include "resources/resource.h"
#include "support/guitest.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

namespace {

const QString kCtrlMessage = QStringLiteral("マウスの右ボタンでコピーして下さい。");

// nChars characters of text; a supplementary character (two UTF-16 units)
// stands at position nWide (0-based) if nWide >= 0.
QString Characters(int nChars, int nWide = -1) {
    QString strText;
    const QString strCycle = QStringLiteral("學而時習之不亦說乎");
    for (int i = 0; i < nChars; ++i)
        strText += i == nWide ? QString::fromUcs4(U"\U00020000") : strCycle.at(i % strCycle.size());
    return strText;
}

int CodePoints(const QString& strText) { return static_cast<int>(strText.toUcs4().size()); }

class BookViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        QGuiApplication::clipboard()->clear();
        m_pFrame = ShowFrame(m_corpus.Folder());
    }

    CBookView& View() { return *m_pFrame->BookView(); }
    CLeftForm& Panel() { return *m_pFrame->LeftForm(); }

    // Shows a page whose body is strBody and waits until it is loaded.
    void ShowPage(const QString& strBody) {
        const QString strName = QStringLiteral("page%1.html").arg(++m_nPages);
        const QString strPath = QString::fromStdString(m_corpus.File(strName.toStdString()));
        QFile file(strPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(("<html><head><meta charset=\"utf-8\"><title>t</title></head><body><p>" + strBody +
                    "</p></body></html>").toUtf8());
        file.close();
        View().Navigate2(strPath + QStringLiteral("#0000"));
        ASSERT_TRUE(WaitForLocation(View(), strName + QStringLiteral("#0000")));
    }
    // Select all from the menu, whichever pane has the focus.
    void SelectAll() {
        ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_SELECT_ALL));
        ASSERT_TRUE(QTest::qWaitFor([&] { return View().hasSelection(); }, 10000));
    }
    void FocusTree() {
        Panel().ContentsTree()->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([&] { return Panel().ContentsTree()->hasFocus(); }));
    }
    // Captions of the popup menu that action opens, if any; the menu is
    // closed again.
    QStringList PopupCaptions(const std::function<void()>& action) {
        QStringList captions;
        QTimer::singleShot(300, [&] {
            if (auto* pMenu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                for (const QAction* pAction : pMenu->actions())
                    captions << pAction->text() + (pAction->isEnabled() ? "" : " (disabled)");
                pMenu->close();
            }
        });
        action();
        QTest::qWait(400);
        return captions;
    }
    void RightClick() {
        QWidget* pTarget = View().focusProxy() ? View().focusProxy() : &View();
        QTest::mouseClick(pTarget, Qt::RightButton, {}, QPoint(40, 40));
    }

    CGuiCorpus m_corpus;
    CModalRecorder m_modal;
    std::unique_ptr<CMainFrame> m_pFrame;
    int m_nPages = 0;
};

TEST(LimitTextTest, CutsAfterTheLimitAtACharacterBoundary) {
    struct Case {
        const char* pszName;
        QString strText;
        int nExpectedUnits;
    };
    const Case cases[] = {
        {"short", Characters(10), 10},
        {"exactly the limit", Characters(300), 300},
        {"one over", Characters(301), 300},
        // The 300th character is a surrogate pair: kept whole.
        {"pair at the end", Characters(400, 299), 301},
        {"pair past the end", Characters(400, 300), 300},
        {"empty", QString(), 0},
    };
    for (const Case& c : cases) {
        const QString strCut = CBookView::LimitText(c.strText);
        EXPECT_EQ(strCut.size(), c.nExpectedUnits) << c.pszName;
        EXPECT_TRUE(c.strText.startsWith(strCut)) << c.pszName;
        EXPECT_LE(CodePoints(strCut), CBookView::CopyLimit) << c.pszName;
    }
}

TEST_F(BookViewTest, CopyLeavesAtMost300CharactersOnTheClipboard) {
    // 301 characters and more: cut to 300, plain text only.
    ShowPage(Characters(450, 299));
    FocusTree();
    SelectAll();
    const QString strSelected = View().selectedText();
    ASSERT_GT(CodePoints(strSelected), CBookView::CopyLimit);
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_EDIT_COPY));
    const QMimeData* pData = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(pData);
    EXPECT_EQ(CodePoints(pData->text()), CBookView::CopyLimit);
    EXPECT_TRUE(strSelected.startsWith(pData->text()));
    EXPECT_TRUE(pData->text().endsWith(QString::fromUcs4(U"\U00020000")));
    EXPECT_FALSE(pData->hasHtml());

    // Up to 300: the browser's own copy, in all its formats.
    QGuiApplication::clipboard()->clear();
    View().setFocus();
    ShowPage(Characters(300));  // opened while the page has the focus
    ASSERT_TRUE(View().focusProxy()->hasFocus());
    SelectAll();
    FocusTree();
    ASSERT_EQ(CodePoints(View().selectedText().trimmed()), 300);
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_EDIT_COPY));
    ASSERT_TRUE(QTest::qWaitFor([] { return QGuiApplication::clipboard()->mimeData()->hasHtml(); }, 10000));
    EXPECT_EQ(QGuiApplication::clipboard()->text().trimmed(), Characters(300));
    EXPECT_TRUE(m_modal.Entries().empty());
}

TEST_F(BookViewTest, SelectAllLeavesTheFocusInThePanel) {
    // The toolbar's select all is a command to the page: the tree or the
    // list keeps the focus, Ctrl+C there copies the selection through the
    // frame, and the panel stays the active view (print setup previews).
    struct Case {
        const char* pszName;
        int nTab;
        int nControl;
        int nChars;  // a page of its own: the browser reports a selection only when its text changes
    };
    const Case cases[] = {
        {"contents tree", CLeftForm::TabContents, CLeftForm::IDC_CONTENTS_TREE, 40},
        {"result list", CLeftForm::TabSearch, CLeftForm::IDC_RESULT_LIST, 41},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName);
        QGuiApplication::clipboard()->clear();
        m_modal.Clear();
        ShowPage(Characters(c.nChars));
        Panel().TabControl()->setCurrentIndex(c.nTab);
        QWidget* pControl = Panel().Control(c.nControl);
        pControl->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([&] { return pControl->hasFocus(); }));
        m_pFrame->UpdateCommandUI();
        QTest::mouseClick(m_pFrame->ToolBar()->widgetForAction(m_pFrame->Action(ID_SELECT_ALL)), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([&] { return View().hasSelection(); }, 10000));
        EXPECT_TRUE(pControl->hasFocus());
        EXPECT_EQ(m_pFrame->ActiveView(), &Panel());

        // The keys go where the focus is, as the user's do.
        QWidget* pFocus = QApplication::focusWidget();
        ASSERT_TRUE(pFocus);
        QTest::keyPress(pFocus, Qt::Key_Control);
        QTest::keyClick(pFocus, Qt::Key_C, Qt::ControlModifier);
        QTest::keyRelease(pFocus, Qt::Key_Control);
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return QGuiApplication::clipboard()->text().trimmed() == Characters(c.nChars); }, 5000));
        EXPECT_TRUE(m_modal.Messages().isEmpty()) << m_modal.Messages().join(" | ").toStdString();

        m_modal.Clear();
        ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_PRINT_SETUP));
        ASSERT_EQ(m_modal.Entries().size(), 1u);
        EXPECT_EQ(m_modal.Entries()[0].strClass.toStdString(), "QPrintPreviewDialog");
    }
}

TEST_F(BookViewTest, RightClickMenuOnlyOnAShownPage) {
    ASSERT_TRUE(WaitForLocation(View(), QStringLiteral("about:blank")));
    EXPECT_TRUE(PopupCaptions([&] { RightClick(); }).isEmpty());

    ShowPage(Characters(20));
    EXPECT_EQ(PopupCaptions([&] { RightClick(); }),
              (QStringList{QStringLiteral("コピー(300字以内に制限しています。)"), QStringLiteral("すべて選択。"),
                           QStringLiteral("しおりを挟む…\tF2")}));
}

TEST_F(BookViewTest, CtrlInThePageWarnsOncePerKeyDown) {
    ShowPage(Characters(20));
    View().setFocus();
    QWidget* pPage = View().focusProxy();
    ASSERT_TRUE(pPage);
    ASSERT_TRUE(QTest::qWaitFor([&] { return pPage->hasFocus(); }));
    QTest::keyPress(pPage, Qt::Key_Control);
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier, QString(), true);
    QCoreApplication::sendEvent(pPage, &repeat);
    QTest::keyRelease(pPage, Qt::Key_Control, Qt::ControlModifier);
    ASSERT_EQ(m_modal.Entries().size(), 2u);
    for (const CModalRecorder::Entry& entry : m_modal.Entries()) {
        EXPECT_EQ(entry.strText, kCtrlMessage);
        EXPECT_EQ(entry.strCaption, QStringLiteral("Corvatel--Quenlowシリーズ⑭(Tessaline)"));
    }

    // In the panel Ctrl says nothing, and Ctrl+C copies the page's
    // selection through the frame, limited.
    m_modal.Clear();
    ShowPage(Characters(320));
    SelectAll();
    FocusTree();
    QTest::keyPress(Panel().ContentsTree(), Qt::Key_Control);
    QTest::keyClick(Panel().ContentsTree(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(m_modal.Entries().empty());
    ASSERT_TRUE(QTest::qWaitFor([] { return CodePoints(QGuiApplication::clipboard()->text()) == 300; }, 5000));
}

TEST_F(BookViewTest, PrintRoutesFollowTheActivePane) {
    ShowPage(Characters(40));
    const std::string strPdf = m_corpus.File("printed.pdf");
    View().SetPrintFile(QString::fromStdString(strPdf));

    // Print: at once, no dialog.
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_PRINT));
    QFile pdf(QString::fromStdString(strPdf));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5).startsWith("%PDF-"));
    EXPECT_TRUE(m_modal.Entries().empty());

    // With the panel active: print setup previews, Ctrl+P does nothing.
    Panel().ContentsTree()->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_pFrame->ActiveView() == &Panel(); }));
    int nPreviewPages = 0;
    CMessageBox::SetHook([&](QDialog& dialog) {
        if (auto* pPreview = dialog.findChild<QPrintPreviewWidget*>()) {
            pPreview->updatePreview();
            nPreviewPages = pPreview->pageCount();
        }
        return static_cast<int>(QDialog::Rejected);
    });
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_PRINT_SETUP));
    EXPECT_GE(nPreviewPages, 1);
    EXPECT_FALSE(m_pFrame->ExecuteCommand(ID_FILE_PRINT));

    // With the page view active: page setup, and Ctrl+P asks first.
    CModalRecorder modal;
    View().setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_pFrame->ActiveView() == &View(); }));
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_PRINT_SETUP));
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_FILE_PRINT));
    ASSERT_EQ(modal.Entries().size(), 2u);
    EXPECT_EQ(modal.Entries()[0].strClass, QStringLiteral("QPageSetupDialog"));
    EXPECT_EQ(modal.Entries()[1].strClass, QStringLiteral("QPrintDialog"));
}

}  // namespace
