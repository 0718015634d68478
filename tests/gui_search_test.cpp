// The search tab on a small corpus: the search command and its messages,
// the rows and list pages, opening a result page, the text parts.
#include "frame/bookview.h"
#include "frame/mainfrm.h"
#include "panel/keywordedit.h"
#include "panel/leftform.h"
#include "panel/sortlistctrl.h"
#include "support/guitest.h"
#include "support/textpartnames.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

namespace {

using Slot = CGuiSearchCorpus::Slot;

class SearchTest : public ::testing::Test {
protected:
    explicit SearchTest(int nKan1Pages = CGuiSearchCorpus::Kan1Pages) : m_corpus(nKan1Pages) {}

    void SetUp() override {
        m_pFrame = ShowFrame(m_corpus.Folder());
        Panel().TabControl()->setCurrentIndex(CLeftForm::TabSearch);
    }

    CLeftForm& Panel() { return *m_pFrame->LeftForm(); }
    CBookView& View() { return *m_pFrame->BookView(); }
    CSortListCtrl& List() { return *Panel().ResultList(); }
    QString Summary() { return static_cast<QLabel*>(Panel().Control(CLeftForm::IDC_SUMMARY))->text(); }
    QLineEdit& PageEdit() { return *static_cast<QLineEdit*>(Panel().Control(CLeftForm::IDC_LIST_PAGE)); }
    QString PageCount() { return static_cast<QLabel*>(Panel().Control(CLeftForm::IDC_LIST_PAGE_COUNT))->text(); }
    bool Enabled(int nControl) { return Panel().Control(nControl)->isEnabled(); }
    void SetRange(int nSlot) { Panel().ContentsTree()->setCurrentItem(Panel().TreeItemOfSlot(nSlot)); }
    // Types the keywords and presses the search button.
    void Search(const QString& strKeywords) {
        Panel().KeywordBox()->setText(strKeywords);
        static_cast<QAbstractButton*>(Panel().Control(CLeftForm::IDC_SEARCH))->click();
    }
    QStringList Row(int i) {
        const QTreeWidgetItem* pItem = List().topLevelItem(i);
        if (!pItem) return {};
        return {pItem->text(0), pItem->text(1), pItem->text(2), pItem->text(3)};
    }
    // Selects row i and waits for its result page.
    QString OpenRow(int i) {
        List().setCurrentItem(List().topLevelItem(i));
        const QString strFile = Panel().m_strShownFile;
        EXPECT_TRUE(WaitForLocation(View(), strFile.mid(strFile.lastIndexOf(u'/')) + QStringLiteral("#0000"))) << i;
        return strFile;
    }
    void ClickTextPart(int nControl) { static_cast<QAbstractButton*>(Panel().Control(nControl))->click(); }

    CGuiSearchCorpus m_corpus;
    CModalRecorder m_modal;
    std::unique_ptr<CMainFrame> m_pFrame;
};

TEST_F(SearchTest, FindsHitsInMainTextAndAnnotationsAndOpensThePageAtItsFirstHit) {
    EXPECT_EQ(Summary(), QStringLiteral("検索集計："));
    Search(QStringLiteral("學"));
    EXPECT_TRUE(m_modal.Entries().empty());
    EXPECT_EQ(Summary(), QStringLiteral("全部で 1 頁で、3 箇所でした。"));
    ASSERT_EQ(List().topLevelItemCount(), 1);
    EXPECT_EQ(Row(0), (QStringList{"經部", "論語", "學而第一", "1"}));
    EXPECT_EQ(PageEdit().text(), QStringLiteral("1"));
    EXPECT_EQ(PageCount(), QStringLiteral("/1"));
    EXPECT_TRUE(PageEdit().isReadOnly());
    EXPECT_FALSE(Enabled(CLeftForm::IDC_LIST_PREV));
    EXPECT_FALSE(Enabled(CLeftForm::IDC_LIST_NEXT));

    // The page goes to the first result file, with its three hits marked.
    const QString strFile = OpenRow(0);
    EXPECT_EQ(strFile, Panel().ResultFilePath(0));
    EXPECT_TRUE(strFile.endsWith(QStringLiteral("/windows1.html")));
    EXPECT_EQ(Panel().m_nHitCount, 3);
    EXPECT_EQ(Panel().m_nCurHit, 0);
    QFile file(strFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray page = file.readAll();
    for (const char* pszAnchor : {"name=\"0000\"", "name=\"0001\"", "name=\"0002\""})
        EXPECT_TRUE(page.contains(pszAnchor)) << pszAnchor;
    EXPECT_FALSE(page.contains("name=\"0003\""));

    // The same keywords with ideographic spaces search the same; a search
    // over another range finds nothing there.
    Search(QStringLiteral("學\u3000子曰"));
    EXPECT_EQ(Summary(), QStringLiteral("全部で 1 頁で、4 箇所でした。"));
    SetRange(Slot::Shubu);
    Panel().TabControl()->setCurrentIndex(CLeftForm::TabSearch);
    Search(QStringLiteral("學"));
    EXPECT_EQ(Summary(), QStringLiteral("全部で 0 頁で、0 箇所でした。"));
    EXPECT_EQ(List().topLevelItemCount(), 0);
    EXPECT_FALSE(PageEdit().isVisible());
    EXPECT_EQ(Panel().m_nListPage, 0);
}

TEST_F(SearchTest, OrAndVariantsComeFromTheOptions) {
    SetRange(Slot::Keibu);
    Panel().TabControl()->setCurrentIndex(CLeftForm::TabSearch);
    static_cast<QAbstractButton*>(Panel().Control(CLeftForm::IDC_OR))->click();
    Search(QStringLiteral("學 北辰"));
    EXPECT_EQ(Panel().m_nSearchType, 1);
    EXPECT_EQ(Summary(), QStringLiteral("全部で 2 頁で、4 箇所でした。"));
    static_cast<QAbstractButton*>(Panel().Control(CLeftForm::IDC_AND))->click();
    Search(QStringLiteral("學 北辰"));
    EXPECT_EQ(Summary(), QStringLiteral("全部で 0 頁で、0 箇所でした。"));
}

TEST_F(SearchTest, VariantsShowTheFormsSearchedUnderTheSummary) {
    SetRange(Slot::Keibu);
    Panel().TabControl()->setCurrentIndex(CLeftForm::TabSearch);
    QWidget* pForms = Panel().Control(CLeftForm::IDC_FORMS);
    const int nListTop = List().geometry().top();
    EXPECT_FALSE(pForms->isVisible());
    // 学 (the form a Japanese input method writes) finds 學.
    Search(QStringLiteral("学"));
    EXPECT_EQ(Summary(), QStringLiteral("全部で 1 頁で、3 箇所でした。"));
    ASSERT_TRUE(pForms->isVisible());
    EXPECT_EQ(pForms->toolTip(), QStringLiteral("学: 學 1 頁 3 箇所 · 学 0 頁"));
    EXPECT_EQ(static_cast<QLabel*>(pForms)->text(), pForms->toolTip());
    EXPECT_GT(pForms->geometry().top(), Panel().Control(CLeftForm::IDC_SUMMARY)->geometry().bottom());
    EXPECT_GT(List().geometry().top(), pForms->geometry().bottom());  // the list makes room
    Search(QStringLiteral("学而 不亦"));
    EXPECT_EQ(pForms->toolTip(), QStringLiteral("学而: [学學]而\u3000不亦: 不亦"));
    // No keyword with another form: the line would only repeat the summary.
    Search(QStringLiteral("不亦"));
    EXPECT_FALSE(pForms->isVisible());
    EXPECT_EQ(List().geometry().top(), nListTop);
    // Without variants there is nothing to show, and the list moves back.
    static_cast<QAbstractButton*>(Panel().Control(CLeftForm::IDC_VARIANTS))->click();
    Search(QStringLiteral("學"));
    EXPECT_FALSE(pForms->isVisible());
    EXPECT_EQ(List().geometry().top(), nListTop);
}

TEST_F(SearchTest, HundredAndOneRowsMakeTwoListPages) {
    SetRange(Slot::Shubu);
    Panel().TabControl()->setCurrentIndex(CLeftForm::TabSearch);
    Search(QStringLiteral("明月"));
    EXPECT_EQ(Summary(), QStringLiteral("全部で 101 頁で、202 箇所でした。"));
    ASSERT_EQ(List().topLevelItemCount(), 100);
    EXPECT_EQ(Row(0), (QStringList{"集部", "唐詩", "卷一", "5"}));
    EXPECT_EQ(Row(99), (QStringList{"集部", "唐詩", "卷一", "104"}));
    EXPECT_EQ(PageEdit().text(), QStringLiteral("1"));
    EXPECT_EQ(PageCount(), QStringLiteral("/2"));
    EXPECT_FALSE(PageEdit().isReadOnly());
    EXPECT_FALSE(Enabled(CLeftForm::IDC_LIST_PREV));
    EXPECT_TRUE(Enabled(CLeftForm::IDC_LIST_NEXT));

    static_cast<QAbstractButton*>(Panel().Control(CLeftForm::IDC_LIST_NEXT))->click();
    ASSERT_EQ(List().topLevelItemCount(), 1);
    EXPECT_EQ(Row(0)[3], QStringLiteral("105"));
    EXPECT_EQ(PageEdit().text(), QStringLiteral("2"));
    EXPECT_TRUE(Enabled(CLeftForm::IDC_LIST_PREV));
    EXPECT_FALSE(Enabled(CLeftForm::IDC_LIST_NEXT));

    // With two list pages Enter applies the page box, also from the keyword
    // box, and never searches; a bad number is put back.
    for (const char* pszTyped : {"0", "3", "", "x"}) {
        PageEdit().setText(QString::fromLatin1(pszTyped));
        Panel().KeywordBox()->setFocus();
        Panel().KeywordBox()->setText(QStringLiteral("學"));
        QTest::keyClick(Panel().KeywordBox(), Qt::Key_Return);
        EXPECT_EQ(PageEdit().text(), QStringLiteral("2")) << pszTyped;
        EXPECT_EQ(List().topLevelItemCount(), 1) << pszTyped;
    }
    PageEdit().setText(QStringLiteral("1"));
    QTest::keyClick(&PageEdit(), Qt::Key_Enter);
    EXPECT_EQ(Panel().m_nListPage, 1);
    EXPECT_EQ(List().topLevelItemCount(), 100);
    EXPECT_TRUE(m_modal.Entries().empty());

    // The page column's header sorts the rows on display only.
    List().topLevelItem(0)->setText(CSortListCtrl::PageColumn, QStringLiteral("900"));
    List().SortItemsByNumber(CSortListCtrl::PageColumn);
    EXPECT_EQ(Row(0)[3], QStringLiteral("6"));
    EXPECT_EQ(Row(99)[3], QStringLiteral("900"));
    EXPECT_EQ(Panel().Results().GetRow(0).pageNo, 5);
}

// 501 pages of 卷一 hold 明月: six list pages of rows.
class ListPageBoxTest : public SearchTest {
protected:
    ListPageBoxTest() : SearchTest(501) {}
};

TEST_F(ListPageBoxTest, ButtonsApplyTheTypedNumberFirst) {
    SetRange(Slot::Kan1);
    Panel().TabControl()->setCurrentIndex(CLeftForm::TabSearch);
    Search(QStringLiteral("明月"));
    ASSERT_EQ(Panel().m_nListPages, 6);

    // A number typed into the box and then a click on "<" or ">": the box's
    // number counts first, as when the box has lost the focus to the button.
    struct Case {
        const char* pszName;
        int nFrom;  // list page on display
        const char* pszTyped;
        int nButton;
        int nExpected;
    };
    const Case cases[] = {
        {"5, then >", 1, "5", CLeftForm::IDC_LIST_NEXT, 6},
        {"5, then <", 2, "5", CLeftForm::IDC_LIST_PREV, 4},
        {"the last page, then >", 2, "6", CLeftForm::IDC_LIST_NEXT, 6},
        {"the first page, then <", 3, "1", CLeftForm::IDC_LIST_PREV, 1},
        {"the page on display, then <", 3, "3", CLeftForm::IDC_LIST_PREV, 2},
        {"out of range, then >", 3, "9", CLeftForm::IDC_LIST_NEXT, 4},
        {"no number, then >", 3, "", CLeftForm::IDC_LIST_NEXT, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName);
        Panel().m_nListPage = c.nFrom;
        Panel().ShowListPage();
        PageEdit().setFocus();
        ASSERT_TRUE(QTest::qWaitFor([&] { return PageEdit().hasFocus(); }));
        PageEdit().selectAll();
        QTest::keyClick(&PageEdit(), Qt::Key_Backspace);
        QTest::keyClicks(&PageEdit(), QString::fromLatin1(c.pszTyped));
        QTest::mouseClick(Panel().Control(c.nButton), Qt::LeftButton);
        EXPECT_EQ(Panel().m_nListPage, c.nExpected);
        EXPECT_EQ(PageEdit().text().toStdString(), std::to_string(c.nExpected));
        EXPECT_EQ(Row(0).value(3).toStdString(),
                  std::to_string(CGuiSearchCorpus::Kan1FirstPage + 100 * (c.nExpected - 1)));
    }
    EXPECT_TRUE(m_modal.Entries().empty());
}

TEST_F(ListPageBoxTest, OnlyItsOwnControlsTakeTheMouse) {
    SetRange(Slot::Kan1);
    Search(QStringLiteral("明月"));
    ASSERT_EQ(Panel().m_nListPages, 6);

    // The box lies over the whole panel; the rows, the tabs and its own
    // controls are what lies under the mouse there.
    auto under = [&](QWidget* pWidget, const QPoint& at) { return Panel().childAt(pWidget->mapTo(&Panel(), at)); };
    QWidget* pRows = List().viewport();
    const QPoint rowAt = List().visualItemRect(List().topLevelItem(1)).center();
    EXPECT_EQ(under(pRows, rowAt), pRows);
    QTabBar* pTabBar = Panel().TabControl()->tabBar();
    EXPECT_EQ(under(pTabBar, pTabBar->tabRect(CLeftForm::TabContents).center()), pTabBar);
    for (int nId : {CLeftForm::IDC_LIST_PREV, CLeftForm::IDC_LIST_NEXT, CLeftForm::IDC_LIST_PAGE,
                    CLeftForm::IDC_LIST_PAGE_COUNT}) {
        QWidget* pControl = Panel().Control(nId);
        EXPECT_EQ(under(pControl, pControl->rect().center()), pControl) << nId;
    }

    // A click through the window selects the row and opens its page.
    QTest::mouseClick(m_pFrame->windowHandle(), Qt::LeftButton, {}, pRows->mapTo(m_pFrame.get(), rowAt));
    EXPECT_EQ(List().currentItem(), List().topLevelItem(1));
    EXPECT_EQ(Panel().m_strShownFile, Panel().ResultFilePath(0));
}

TEST_F(SearchTest, ResultPagesAlternateBetweenTwoFiles) {
    SetRange(Slot::Kan1);
    Panel().TabControl()->setCurrentIndex(CLeftForm::TabSearch);
    Search(QStringLiteral("明月"));
    ASSERT_EQ(List().topLevelItemCount(), 100);
    EXPECT_EQ(OpenRow(0), Panel().ResultFilePath(0));
    EXPECT_EQ(OpenRow(1), Panel().ResultFilePath(1));
    EXPECT_EQ(OpenRow(2), Panel().ResultFilePath(0));
    EXPECT_EQ(Panel().m_nHitCount, 2);
    // Reselecting the selected row opens nothing.
    List().setCurrentItem(List().topLevelItem(2));
    EXPECT_EQ(Panel().m_strShownFile, Panel().ResultFilePath(0));
}

TEST_F(SearchTest, TextPartsChooseWhatIsSearchedAndMarked) {
    SetRange(Slot::Kan1);
    Panel().TabControl()->setCurrentIndex(CLeftForm::TabSearch);
    Search(QStringLiteral("明月"));
    OpenRow(0);
    EXPECT_EQ(Panel().m_nHitCount, 2);

    struct Case {
        int nButton;
        int nTextPart;
        int nHitsMarked;
        const char* pszSummary;  // of a new search in that part
    };
    const Case cases[] = {
        {CLeftForm::IDC_ANNOTATIONS, 2, 1, "全部で 101 頁で、101 箇所でした。"},
        {CLeftForm::IDC_MAIN_TEXT, 1, 1, "全部で 101 頁で、101 箇所でした。"},
        {CLeftForm::IDC_WHOLE_TEXT, 0, 2, "全部で 101 頁で、202 箇所でした。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nButton);
        ClickTextPart(c.nButton);
        EXPECT_EQ(Panel().m_nTextPart, c.nTextPart);
        // The rows stay those of the last search; the marks follow the part.
        EXPECT_EQ(List().topLevelItemCount(), 100);
        OpenRow(c.nTextPart == 0 ? 3 : 1 + c.nTextPart);
        EXPECT_EQ(Panel().m_nHitCount, c.nHitsMarked);
        Search(QStringLiteral("明月"));
        EXPECT_EQ(Summary(), QString::fromUtf8(c.pszSummary));
    }
    // Only the main text: 學 stands twice there.
    SetRange(Slot::Gakuji);
    Panel().TabControl()->setCurrentIndex(CLeftForm::TabSearch);
    ClickTextPart(CLeftForm::IDC_MAIN_TEXT);
    Search(QStringLiteral("學"));
    EXPECT_EQ(Summary(), QStringLiteral("全部で 1 頁で、2 箇所でした。"));
}

TEST_F(SearchTest, SearchesThatCannotRunSayWhyAndKeepTheLastResult) {
    Search(QStringLiteral("學"));
    ASSERT_EQ(List().topLevelItemCount(), 1);
    const std::u16string strKeywords = Panel().Keywords();

    struct Case {
        QString strTyped;
        QString strMessage;
    };
    const Case cases[] = {
        {QStringLiteral(""), QStringLiteral("何かキーワードを入力して検索をして下さい。")},
        {QStringLiteral(" \u3000 "), QStringLiteral("何かキーワードを入力して検索をして下さい。")},
        {QStringLiteral("學a"), QStringLiteral("キーワードに使えない文字があります: 'a' (U+0061)")},
        {QString(299, QChar(0x5B78)), QStringLiteral("キーワードが長すぎます: 1 語は UTF-16 で 298 単位までですが、299 単位の語があります")},
    };
    for (const Case& c : cases) {
        m_modal.Clear();
        Search(c.strTyped);
        EXPECT_EQ(m_modal.Messages(), QStringList{c.strMessage});
        EXPECT_EQ(Summary(), QStringLiteral("全部で 1 頁で、3 箇所でした。"));
        EXPECT_EQ(List().topLevelItemCount(), 1);
        // Result pages are still marked with the keywords that found them.
        EXPECT_EQ(Panel().Keywords(), strKeywords);
    }

    // No range.
    m_modal.Clear();
    Panel().m_nRange = 0;
    Search(QStringLiteral("子曰"));
    EXPECT_EQ(m_modal.Messages(), QStringList{QStringLiteral("検索範囲をまた指定していません。")});
    EXPECT_EQ(List().topLevelItemCount(), 1);
    Panel().m_nRange = Slot::Keibu;

    // A text part whose files are missing leaves the index closed: searching
    // and opening pages say so instead of running on a closed index.
    ASSERT_TRUE(QFile::remove(m_corpus.Folder() + QStringLiteral("/Index_desc-idx.m")));
    m_modal.Clear();
    ClickTextPart(CLeftForm::IDC_ANNOTATIONS);
    EXPECT_FALSE(Panel().Index().IsOpen());
    EXPECT_EQ(m_modal.Messages().size(), 1);
    m_modal.Clear();
    Search(QStringLiteral("子曰"));
    List().setCurrentItem(List().topLevelItem(0));
    ASSERT_EQ(m_modal.Messages().size(), 2);
    EXPECT_TRUE(m_modal.Messages()[0].startsWith(QStringLiteral("索引ファイルが開いていないので検索できません。")));
    EXPECT_TRUE(m_modal.Messages()[1].startsWith(QStringLiteral("索引ファイルが開いていないので頁を表示できません。")));
    EXPECT_EQ(Summary(), QStringLiteral("全部で 1 頁で、3 箇所でした。"));
    ClickTextPart(CLeftForm::IDC_WHOLE_TEXT);
    EXPECT_TRUE(Panel().Index().IsOpen());
}

}  // namespace
