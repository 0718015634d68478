// The main window on a small corpus: start-up state, menus, the contents
// tree, choosing a volume, hiding the panel, the layout record at exit.
#include "controls/tooltipresourcebutton.h"
#include "frame/book.h"
#include "frame/bookview.h"
#include "frame/mainfrm.h"
#include "frame/scrolltoolbar.h"
#include "frame/st_splitterwnd.h"
#include "panel/keywordedit.h"
#include "panel/leftform.h"
#include "resources/resource.h"
#include "support/guitest.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>

namespace {

const QString kFrameTitle = QStringLiteral("Corvatel--Quenlow(Tessaline)");
const QString kAppTitle = QStringLiteral("Corvatel--Quenlowシリーズ⑭(Tessaline)");

// Catalogue slots of the test corpus.
enum Slot { Keibu = 1, Rongo, Gakuji, Isei, Moshi, Ryokeio, Shubu, Toshisen, Kan1 };

QTreeWidgetItem* ItemOfSlot(QTreeWidget* pTree, int nSlot) {
    for (QTreeWidgetItemIterator it(pTree); *it; ++it)
        if ((*it)->data(0, CLeftForm::SlotRole).toInt() == nSlot) return *it;
    return nullptr;
}

// "caption" per item, "-" for a separator.
QStringList MenuItems(const QMenu* pMenu) {
    QStringList items;
    for (const QAction* pAction : pMenu->actions())
        items << (pAction->isSeparator() ? QStringLiteral("-") : pAction->text());
    return items;
}

QString PaneLayoutRecord() {
    QSettings settings;
    return settings.value(QStringLiteral("SplitterWnd/Panes_0")).toString();
}

class MainFrameTest : public ::testing::Test {
protected:
    void SetUp() override { m_pFrame = ShowFrame(m_corpus.Folder()); }

    CLeftForm& Panel() { return *m_pFrame->LeftForm(); }
    CBookView& View() { return *m_pFrame->BookView(); }
    bool Enabled(int nId) {
        m_pFrame->UpdateCommandUI();
        return m_pFrame->Action(nId)->isEnabled();
    }
    // Selects the tree item of nSlot.
    void Choose(int nSlot) {
        QTreeWidgetItem* pItem = ItemOfSlot(Panel().ContentsTree(), nSlot);
        ASSERT_TRUE(pItem) << "slot " << nSlot;
        Panel().ContentsTree()->setCurrentItem(pItem);
    }

    CGuiCorpus m_corpus;
    CModalRecorder m_modal;
    std::unique_ptr<CMainFrame> m_pFrame;
};

TEST_F(MainFrameTest, StartsBlankOnTheContentsTabWithPageCommandsDisabled) {
    EXPECT_EQ(m_pFrame->windowTitle(), kFrameTitle);
    EXPECT_EQ(QCoreApplication::applicationName(), kAppTitle);
    ASSERT_TRUE(WaitForLocation(View(), QStringLiteral("about:blank")));
    EXPECT_TRUE(View().IsBlank());
    EXPECT_TRUE(m_modal.Entries().empty());

    for (int nId : {ID_PRINT, ID_PRINT_SETUP, ID_EDIT_COPY, ID_SELECT_ALL, ID_FILE_PRINT, ID_VIEW_STATUS_BAR,
                    ID_PREV_PAGE, ID_NEXT_PAGE, ID_PREV_VOLUME, ID_NEXT_VOLUME, ID_PREV_HIT, ID_NEXT_HIT})
        EXPECT_FALSE(Enabled(nId)) << nId;
    for (int nId : {ID_VIEW_FULL, ID_VIEW_TOOLBAR, ID_APP_EXIT}) EXPECT_TRUE(Enabled(nId)) << nId;
    EXPECT_TRUE(m_pFrame->Action(ID_VIEW_TOOLBAR)->isChecked());
    // The toolbar shows the same disabled commands.
    EXPECT_FALSE(m_pFrame->ToolBar()->widgetForAction(m_pFrame->Action(ID_EDIT_COPY))->isEnabled());

    EXPECT_EQ(Panel().width(), ST_SplitterWnd::InitialPaneSize);
    QTabWidget* pTab = Panel().TabControl();
    ASSERT_EQ(pTab->count(), 2);
    EXPECT_EQ(pTab->tabText(0), QStringLiteral("目録"));
    EXPECT_EQ(pTab->tabText(1), QStringLiteral("検索"));
    EXPECT_EQ(pTab->currentIndex(), CLeftForm::TabContents);
    EXPECT_TRUE(Panel().ContentsTree()->isVisible());
    for (int nId : {CLeftForm::IDC_KEYWORD_BOX, CLeftForm::IDC_SEARCH, CLeftForm::IDC_RESULT_LIST,
                    CLeftForm::IDC_LIST_PREV, CLeftForm::IDC_RANGE_LABEL})
        EXPECT_FALSE(Panel().Control(nId)->isVisible()) << nId;

    // The search starts limited to the first record; its label is red.
    EXPECT_EQ(Panel().m_nRange, 1);
    EXPECT_EQ(Panel().RangeLabel()->text(), QStringLiteral("經部"));
    EXPECT_EQ(Panel().RangeLabel()->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(Panel().m_nCurVolume, 0);
}

TEST_F(MainFrameTest, MenuBarHasEveryCaptionInOrder) {
    const std::vector<std::pair<QString, QStringList>> expected = {
        {"ファイル(&F)", {"印刷設定(&S)", "印刷(&P)", "終了(&X)"}},
        {"編集(&E)",
         {"コピー(&C)", "引用付きでコピー", "すべて選択(&Q)", "-", "引用へ移動…\tF6", "-", "しおりを挟む…\tF2",
          "しおり一覧…", "検索履歴…"}},
        {"表示(&V)", {"ツールバー(&T)", "状態バー(&S)", "全表示(&p)", "-", "用例(&K)\tF7", "分布(&D)\tF8"}},
        {"一覧", {"上の頁へ(&P)", "次の頁へ(&N)", "-", "上の巻へ", "次の巻へ", "-", "上の検索結果", "次の検索結果"}},
        {"ヘルプ(&H)", {"バージョン(&A)...", "ヘルプ"}},
    };
    const QList<QAction*> menus = m_pFrame->menuBar()->actions();
    ASSERT_EQ(menus.size(), static_cast<qsizetype>(expected.size()));
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(menus[i]->text(), expected[i].first);
        ASSERT_TRUE(menus[i]->menu());
        EXPECT_EQ(MenuItems(menus[i]->menu()), expected[i].second) << expected[i].first.toStdString();
    }
}

TEST_F(MainFrameTest, ContentsTreeFollowsTheCatalogue) {
    QTreeWidget* pTree = Panel().ContentsTree();
    ASSERT_EQ(pTree->topLevelItemCount(), 2);
    const QTreeWidgetItem* pKeibu = pTree->topLevelItem(0);
    EXPECT_EQ(pKeibu->text(0), QStringLiteral("經部"));
    EXPECT_EQ(pKeibu->data(0, CLeftForm::SlotRole).toInt(), Keibu);
    ASSERT_EQ(pKeibu->childCount(), 2);
    EXPECT_EQ(pKeibu->child(0)->text(0), QStringLiteral("論語"));
    ASSERT_EQ(pKeibu->child(0)->childCount(), 2);
    EXPECT_EQ(pKeibu->child(0)->child(1)->text(0), QStringLiteral("為政第二"));
    EXPECT_EQ(pKeibu->child(0)->child(1)->data(0, CLeftForm::SlotRole).toInt(), Isei);
    EXPECT_EQ(pKeibu->child(1)->child(0)->text(0), QStringLiteral("梁惠王上"));
    EXPECT_EQ(pTree->topLevelItem(1)->child(0)->child(0)->data(0, CLeftForm::SlotRole).toInt(), Kan1);

    // Every item: a closed book, an open one while selected; black is
    // transparent.
    const QIcon icon = pKeibu->icon(0);
    const QImage closed = icon.pixmap(CLeftForm::TreeImageSize, QIcon::Normal).toImage();
    const QImage open = icon.pixmap(CLeftForm::TreeImageSize, QIcon::Selected).toImage();
    ASSERT_EQ(closed.size(), QSize(20, 20));
    EXPECT_NE(closed, open);
    EXPECT_EQ(qAlpha(closed.pixel(0, 0)), 0);
    EXPECT_EQ(closed.pixel(10, 10), QImage(BitmapResource(IDB_BOOK_CLOSED)).pixel(10, 10));
    EXPECT_EQ(open.pixel(10, 10), QImage(BitmapResource(IDB_BOOK_OPEN)).pixel(10, 10));

    // The dump in the user's cache folder: one line per record, indented by level.
    QFile dump(CLeftForm::CatalogueDumpPath());
    ASSERT_TRUE(dump.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(dump.readAll()).split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 10);
    EXPECT_EQ(lines[0], QStringLiteral("name=經部\tdocID=1\tdocNo=6\tcurFileName=1"));
    EXPECT_EQ(lines[1], QStringLiteral("\tname=論語\tdocID=1\tdocNo=3\tcurFileName=1"));
    EXPECT_EQ(lines[8], QStringLiteral("\t\tname=卷一\tdocID=7\tdocNo=2\tcurFileName=5"));
}

TEST_F(MainFrameTest, ContentsTreeDrawsLinesBetweenItsItems) {
    // 學而第一 (a volume) stands below 經部, which has a sibling further
    // down (集部), and below 論語, which has one too (孟子): its row crosses
    // the lines of both, and its own line runs across to it.
    QTreeWidget* pTree = Panel().ContentsTree();
    pTree->expandAll();
    QTest::qWait(20);
    const QRect row = pTree->visualItemRect(ItemOfSlot(pTree, Gakuji));
    ASSERT_TRUE(row.isValid());
    const QImage image = pTree->viewport()->grab().toImage();
    const QRgb background = pTree->viewport()->palette().color(QPalette::Base).rgb();
    const int nIndent = pTree->indentation();
    auto inked = [&](const QPoint& from, const QPoint& step, int nCount) {
        int nInked = 0;
        for (QPoint at = from; nCount-- > 0; at += step)
            if (image.valid(at) && image.pixel(at) != background) ++nInked;
        return nInked;
    };
    const int nMiddle = row.top() + row.height() / 2;
    for (int nLevel = 0; nLevel < 3; ++nLevel) {
        SCOPED_TRACE(nLevel);
        EXPECT_GE(inked(QPoint(nLevel * nIndent + nIndent / 2, row.top()), QPoint(0, 1), row.height()), 3);
    }
    EXPECT_GE(inked(QPoint(2 * nIndent + nIndent / 2 + 1, nMiddle), QPoint(1, 0), nIndent / 2 - 1), 3);
}

TEST_F(MainFrameTest, ChoosingAVolumeShowsItsFirstPage) {
    QSignalSpy ranges(&Panel(), &CLeftForm::pageRangeChanged);
    QSignalSpy pages(&Panel(), &CLeftForm::pageChanged);
    Choose(Kan1);
    ASSERT_TRUE(WaitForLocation(View(), QStringLiteral("/windows.html")));
    EXPECT_EQ(View().title(), QStringLiteral("唐詩選 卷一 5"));
    EXPECT_TRUE(PageText(View()).contains(QStringLiteral("唐詩選 卷一 第5頁")));
    EXPECT_EQ(Panel().m_nCurVolume, Kan1);
    EXPECT_EQ(Panel().m_nCurPage, 5);
    EXPECT_EQ(Panel().m_nRange, Kan1);
    EXPECT_EQ(Panel().RangeLabel()->text(), QStringLiteral("集部\\唐詩選\\卷一"));
    ASSERT_EQ(ranges.size(), 1);
    EXPECT_EQ(ranges[0], (QList<QVariant>{5, 6}));
    ASSERT_EQ(pages.size(), 1);
    EXPECT_EQ(pages[0], (QList<QVariant>{5, QStringLiteral("14/5")}));

    // The file holds the stored page as it is, in the run's private folder.
    QFileInfo folder(Panel().TempFolder());
    const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther |
                                      QFile::WriteOther | QFile::ExeOther;
    EXPECT_EQ(folder.permissions() & others, QFile::Permissions());
    EXPECT_TRUE(folder.permissions() & QFile::ExeOwner);
    EXPECT_EQ(QFileInfo(Panel().PageFilePath()).absolutePath(), folder.absoluteFilePath());
    int32_t nPage = 0;
    std::string strStored;
    ASSERT_TRUE(Panel().Index().FindPage(6, 5, nPage));
    ASSERT_TRUE(Panel().Index().ReadPage(nPage, strStored));
    QFile file(Panel().PageFilePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toStdString(), strStored);

    for (int nId : {ID_PRINT, ID_PRINT_SETUP, ID_EDIT_COPY, ID_SELECT_ALL}) EXPECT_TRUE(Enabled(nId)) << nId;

    // A book only sets the range; the page stays.
    Choose(Rongo);
    EXPECT_EQ(Panel().m_nRange, Rongo);
    EXPECT_EQ(Panel().RangeLabel()->text(), QStringLiteral("經部\\論語"));
    EXPECT_EQ(Panel().m_nCurVolume, Kan1);
    EXPECT_EQ(ranges.size(), 1);

    // Another volume replaces the page in the same file.
    Choose(Ryokeio);
    ASSERT_TRUE(QTest::qWaitFor([&] { return View().title() == QStringLiteral("孟子 梁惠王上 1"); }, 15000));
    EXPECT_EQ(Panel().m_nCurVolume, Ryokeio);
    EXPECT_EQ(Panel().m_nCurPage, 1);
    EXPECT_TRUE(m_modal.Entries().empty());
}

TEST_F(MainFrameTest, SearchTabPlacesItsControlsForThePanelSize) {
    Panel().TabControl()->setCurrentIndex(CLeftForm::TabSearch);
    const int W = Panel().width();
    const int H = Panel().height();
    const std::vector<std::pair<int, QRect>> expected = {
        {CLeftForm::IDC_TAB, QRect(0, 0, W - 1, H - 1)},
        {CLeftForm::IDC_KEYWORD_BOX, QRect(5, 45, W - 60, 25)},
        {CLeftForm::IDC_SEARCH, QRect(W - 50, 45, 45, 25)},
        {CLeftForm::IDC_OR, QRect(W - 70, 115, 50, 20)},
        {CLeftForm::IDC_ANNOTATIONS, QRect(189, 160, 60, 20)},
        {CLeftForm::IDC_RANGE_LABEL, QRect(10, 205, W - 30, 20)},
        {CLeftForm::IDC_RESULT_LIST, QRect(5, 250, W - 10, H - 254)},
    };
    for (const auto& [nId, rect] : expected) {
        EXPECT_TRUE(Panel().Control(nId)->isVisible()) << nId;
        EXPECT_EQ(Panel().Control(nId)->geometry(), rect) << nId;
    }
    EXPECT_FALSE(Panel().ContentsTree()->isVisible());
    // No search yet: no list page box.
    EXPECT_FALSE(Panel().Control(CLeftForm::IDC_LIST_PREV)->isVisible());
    EXPECT_EQ(Panel().Control(CLeftForm::IDC_PROMPT)->property("text").toString(),
              QStringLiteral("キーワードを入力して下さい。"));
    EXPECT_EQ(Panel().Control(CLeftForm::IDC_SUMMARY)->property("text").toString(), QStringLiteral("検索集計："));
    EXPECT_TRUE(Panel().Control(CLeftForm::IDC_AND)->property("checked").toBool());
    EXPECT_TRUE(Panel().Control(CLeftForm::IDC_WHOLE_TEXT)->property("checked").toBool());
    EXPECT_TRUE(Panel().Control(CLeftForm::IDC_VARIANTS)->property("checked").toBool());

    // Enter in the keyword box reaches the panel and searches.
    QSignalSpy returns(&Panel(), &CLeftForm::returnKeyPressed);
    Panel().KeywordBox()->setFocus();
    Panel().KeywordBox()->insert(QStringLiteral("學而"));
    QTest::keyClick(Panel().KeywordBox(), Qt::Key_Return);
    EXPECT_EQ(returns.size(), 1);
    EXPECT_EQ(Panel().KeywordBox()->text(), QStringLiteral("學而"));
    EXPECT_EQ(Panel().m_nListPages, 1);

    // The same geometry after a resize, the list giving room to the list
    // page box below it; the tree back on its tab.
    m_pFrame->resize(900, 600);
    QTest::qWait(50);
    const QWidget* pListPrev = Panel().Control(CLeftForm::IDC_LIST_PREV);
    EXPECT_TRUE(pListPrev->isVisible());
    EXPECT_EQ(Panel().Control(CLeftForm::IDC_RESULT_LIST)->geometry(),
              QRect(5, 250, Panel().width() - 10, Panel().height() - 254 - pListPrev->height() - 2));
    EXPECT_EQ(pListPrev->geometry().bottom(), Panel().height() - 6);
    Panel().TabControl()->setCurrentIndex(CLeftForm::TabContents);
    EXPECT_EQ(Panel().ContentsTree()->geometry(), QRect(5, 26, Panel().width() - 10, Panel().height() - 30));
    EXPECT_FALSE(Panel().KeywordBox()->isVisible());
    EXPECT_EQ(m_pFrame->windowTitle(), kFrameTitle);
}

TEST_F(MainFrameTest, FullViewHidesThePanelAndBringsItBackAtItsWidth) {
    ST_SplitterWnd* pSplitter = m_pFrame->Splitter();
    const int nTotal = Panel().width() + View().width();
    pSplitter->setSizes({300, nTotal - 300});
    QTest::qWait(20);
    Panel().ContentsTree()->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_pFrame->ActiveView() == &Panel(); }));

    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_VIEW_FULL));
    EXPECT_FALSE(Panel().isVisible());
    EXPECT_EQ(pSplitter->HiddenColumn(), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return View().width() == pSplitter->width(); }));
    // The focus left the hidden panel for the page view.
    EXPECT_EQ(m_pFrame->ActiveView(), &View());
    EXPECT_FALSE(Panel().isAncestorOf(QApplication::focusWidget()));

    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_VIEW_FULL));
    EXPECT_TRUE(Panel().isVisible());
    EXPECT_EQ(pSplitter->HiddenColumn(), -1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Panel().width() == 300 && View().width() == nTotal - 300; }))
        << Panel().width() << " + " << View().width();
}

TEST_F(MainFrameTest, ToolBarCommandIsTheOneWayToHideTheToolBar) {
    // A right click on the toolbar or the menu bar opens no menu of toggles.
    const std::pair<const char*, QWidget*> bars[] = {{"toolbar", m_pFrame->ToolBar()},
                                                     {"menu bar", m_pFrame->menuBar()}};
    for (const auto& [pszName, pBar] : bars) {
        SCOPED_TRACE(pszName);
        const QPoint at(pBar->width() - 5, pBar->height() / 2);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, pBar->mapToGlobal(at));
        QCoreApplication::sendEvent(pBar, &event);
        QTest::qWait(50);
        QWidget* pPopup = QApplication::activePopupWidget();
        EXPECT_FALSE(pPopup);
        if (pPopup) pPopup->close();
    }

    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_VIEW_TOOLBAR));
    EXPECT_FALSE(m_pFrame->ToolBar()->isVisible());
    m_pFrame->UpdateCommandUI();
    EXPECT_FALSE(m_pFrame->Action(ID_VIEW_TOOLBAR)->isChecked());
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_VIEW_TOOLBAR));
    EXPECT_TRUE(m_pFrame->ToolBar()->isVisible());
}

TEST_F(MainFrameTest, ExitWritesThePaneLayoutAndRemovesThePageFiles) {
    struct Case {
        const char* pszName;
        bool bHidePanel;
    };
    for (const Case& c : {Case{"shown", false}, Case{"hidden", true}}) {
        SCOPED_TRACE(c.pszName);
        if (!m_pFrame) m_pFrame = ShowFrame(m_corpus.Folder());
        Choose(Gakuji);
        ASSERT_TRUE(WaitForLocation(View(), QStringLiteral("/windows.html")));
        const QString strFolder = Panel().TempFolder();
        const int nViewWidth = View().width();
        if (c.bHidePanel) m_pFrame->ExecuteCommand(ID_VIEW_FULL);
        QSettings().remove(QStringLiteral("SplitterWnd"));

        m_pFrame->close();
        m_pFrame.reset();
        EXPECT_EQ(PaneLayoutRecord(),
                  QStringLiteral("%1 260 -1 %2").arg(c.bHidePanel ? 0 : -1).arg(nViewWidth));
        EXPECT_FALSE(QFileInfo::exists(strFolder));
    }
    // The next start shows the panel at its first width again.
    m_pFrame = ShowFrame(m_corpus.Folder());
    EXPECT_EQ(Panel().width(), ST_SplitterWnd::InitialPaneSize);
}

TEST(BookAppTest, CommandLineNamesTheCorpusFolder) {
    CGuiCorpus corpus;
    CModalRecorder modal;
    auto* pApp = static_cast<CBookApp*>(QCoreApplication::instance());
    ASSERT_TRUE(pApp->InitInstance({"tessaline", "--data", corpus.Folder(), "--no-splash"}));
    ASSERT_TRUE(pApp->MainFrame());
    EXPECT_EQ(pApp->MainFrame()->LeftForm()->DataFolder(), corpus.Folder());
    EXPECT_TRUE(pApp->MainFrame()->LeftForm()->Index().IsOpen());
    EXPECT_TRUE(pApp->MainFrame()->windowState() & Qt::WindowMaximized);
    EXPECT_FALSE(pApp->IsSplashEnabled());
    pApp->ExitInstance();

    qputenv("TESSALINE_DATA", QFile::encodeName(corpus.Folder()));
    ASSERT_TRUE(pApp->InitInstance({"tessaline"}));
    EXPECT_EQ(pApp->MainFrame()->LeftForm()->DataFolder(), corpus.Folder());
    EXPECT_TRUE(pApp->IsSplashEnabled());
    pApp->ExitInstance();
    qunsetenv("TESSALINE_DATA");

    EXPECT_FALSE(pApp->InitInstance({"tessaline", "--no-such-option"}));
    EXPECT_FALSE(pApp->InitInstance({"tessaline", "stray"}));
    EXPECT_TRUE(modal.Entries().empty());
}

}  // namespace
