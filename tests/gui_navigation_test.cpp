// Moving through the corpus from the main window: pages, volumes and hits,
// their enabling and end messages, the page slider and box, and the page
// toolbar's images.
#include "controls/xedit.h"
#include "controls/xsliderctrl.h"
#include "controls/xtoolbar.h"
#include "frame/bookview.h"
#include "frame/mainfrm.h"
#include "frame/scrolltoolbar.h"
#include "panel/keywordedit.h"
#include "panel/leftform.h"
#include "panel/sortlistctrl.h"
#include "resources/resource.h"
#include "support/guitest.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

namespace {

using Slot = CGuiSearchCorpus::Slot;

class NavigationTest : public ::testing::Test {
protected:
    void SetUp() override { m_pFrame = ShowFrame(m_corpus.Folder()); }

    CLeftForm& Panel() { return *m_pFrame->LeftForm(); }
    CBookView& View() { return *m_pFrame->BookView(); }
    CSCrollToolBar& ToolBar() { return *m_pFrame->ToolBar(); }
    bool Enabled(int nId) {
        m_pFrame->UpdateCommandUI();
        return m_pFrame->Action(nId)->isEnabled();
    }
    void Choose(int nSlot) { Panel().ContentsTree()->setCurrentItem(Panel().TreeItemOfSlot(nSlot)); }
    int SelectedSlot() {
        const QList<QTreeWidgetItem*> selected = Panel().ContentsTree()->selectedItems();
        return selected.isEmpty() ? 0 : selected.first()->data(0, CLeftForm::SlotRole).toInt();
    }
    QString Indicator(int nPage) { return QStringLiteral("%1/%2").arg(Panel().Index().GetHeaderValue()).arg(nPage); }
    // The title of the shown page names its book, volume and page.
    bool Shows(const QString& strTitle) {
        return QTest::qWaitFor([&] { return View().title() == strTitle && !View().page()->isLoading(); }, 15000);
    }

    CGuiSearchCorpus m_corpus;
    CModalRecorder m_modal;
    std::unique_ptr<CMainFrame> m_pFrame;
};

TEST_F(NavigationTest, PagesWithinAVolume) {
    for (int nId : {ID_PREV_PAGE, ID_NEXT_PAGE, ID_PREV_VOLUME, ID_NEXT_VOLUME, ID_PREV_HIT, ID_NEXT_HIT})
        EXPECT_FALSE(Enabled(nId)) << nId;

    Choose(Slot::Gakuji);
    ASSERT_TRUE(Shows(QStringLiteral("論語 學而第一 1")));
    EXPECT_FALSE(Enabled(ID_PREV_PAGE));
    EXPECT_TRUE(Enabled(ID_NEXT_PAGE));
    EXPECT_EQ(ToolBar().PageBox()->text(), Indicator(1));
    EXPECT_EQ(ToolBar().Slider()->minimum(), 1);
    EXPECT_EQ(ToolBar().Slider()->maximum(), 3);

    for (int nPage : {2, 3}) {
        ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_NEXT_PAGE));
        ASSERT_TRUE(Shows(QStringLiteral("論語 學而第一 %1").arg(nPage)));
        EXPECT_EQ(Panel().m_nCurPage, nPage);
        EXPECT_EQ(ToolBar().Slider()->value(), nPage);
        EXPECT_EQ(ToolBar().PageBox()->text(), Indicator(nPage));
    }
    EXPECT_FALSE(Enabled(ID_NEXT_PAGE));
    EXPECT_TRUE(Enabled(ID_PREV_PAGE));
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_PREV_PAGE));
    ASSERT_TRUE(Shows(QStringLiteral("論語 學而第一 2")));
    // The toolbar's buttons follow the commands.
    m_pFrame->UpdateCommandUI();
    EXPECT_TRUE(ToolBar().widgetForAction(m_pFrame->Action(ID_NEXT_PAGE))->isEnabled());
    EXPECT_FALSE(ToolBar().widgetForAction(m_pFrame->Action(ID_NEXT_HIT))->isEnabled());
}

TEST_F(NavigationTest, VolumesAcrossBooksAndCategoriesWithMessagesAtTheEnds) {
    Choose(Slot::Gakuji);
    ASSERT_TRUE(Shows(QStringLiteral("論語 學而第一 1")));
    EXPECT_FALSE(Enabled(ID_PREV_VOLUME));

    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_NEXT_VOLUME));
    ASSERT_TRUE(Shows(QStringLiteral("論語 為政第二 1")));
    EXPECT_EQ(SelectedSlot(), Slot::Isei);
    EXPECT_EQ(Panel().m_nCurVolume, Slot::Isei);

    // The next volume lies in the next category: its tree item is selected.
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_NEXT_VOLUME));
    ASSERT_TRUE(Shows(QStringLiteral("唐詩 卷一 5")));
    EXPECT_EQ(SelectedSlot(), Slot::Kan1);
    EXPECT_EQ(Panel().m_nCurVolume, Slot::Kan1);
    EXPECT_EQ(Panel().m_nCurPage, CGuiSearchCorpus::Kan1FirstPage);
    EXPECT_EQ(ToolBar().Slider()->minimum(), 5);
    EXPECT_EQ(ToolBar().Slider()->maximum(), 105);
    EXPECT_EQ(ToolBar().Slider()->value(), 5);
    EXPECT_EQ(ToolBar().PageBox()->text(), Indicator(5));
    EXPECT_FALSE(Enabled(ID_NEXT_VOLUME));

    // Issued anyway at the last volume: the message, and nothing moves.
    m_pFrame->Action(ID_NEXT_VOLUME)->setEnabled(true);
    m_pFrame->Action(ID_NEXT_VOLUME)->trigger();
    EXPECT_EQ(m_modal.Messages(), QStringList{QStringLiteral("もう最後の巻まで至りました。")});
    EXPECT_EQ(Panel().m_nCurVolume, Slot::Kan1);

    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_PREV_VOLUME));
    ASSERT_TRUE(Shows(QStringLiteral("論語 為政第二 1")));
    EXPECT_EQ(SelectedSlot(), Slot::Isei);
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_PREV_VOLUME));
    ASSERT_TRUE(Shows(QStringLiteral("論語 學而第一 1")));
    m_modal.Clear();
    m_pFrame->Action(ID_PREV_VOLUME)->setEnabled(true);
    m_pFrame->Action(ID_PREV_VOLUME)->trigger();
    EXPECT_EQ(m_modal.Messages(), QStringList{QStringLiteral("これ以上戻れません。もう巻一に至っています。")});
    EXPECT_EQ(Panel().m_nCurVolume, Slot::Gakuji);
}

TEST_F(NavigationTest, HitsOfTheLastResultPageByKey) {
    Panel().TabControl()->setCurrentIndex(CLeftForm::TabSearch);
    Panel().KeywordBox()->setText(QStringLiteral("學"));
    Panel().OnSearch();
    Panel().ResultList()->setCurrentItem(Panel().ResultList()->topLevelItem(0));
    const QString strFile = Panel().m_strShownFile.mid(Panel().m_strShownFile.lastIndexOf(u'/'));
    ASSERT_TRUE(WaitForLocation(View(), strFile + QStringLiteral("#0000")));
    EXPECT_FALSE(Enabled(ID_PREV_HIT));
    EXPECT_TRUE(Enabled(ID_NEXT_HIT));

    View().setFocus();
    for (const char* pszAnchor : {"#0001", "#0002"}) {
        QTest::keyClick(m_pFrame.get(), Qt::Key_F3);
        ASSERT_TRUE(WaitForLocation(View(), strFile + QString::fromLatin1(pszAnchor))) << pszAnchor;
    }
    EXPECT_EQ(Panel().m_nCurHit, 2);
    EXPECT_FALSE(Enabled(ID_NEXT_HIT));
    QTest::keyClick(m_pFrame.get(), Qt::Key_F3);  // disabled: stays
    EXPECT_EQ(Panel().m_nCurHit, 2);
    QTest::keyClick(m_pFrame.get(), Qt::Key_F3, Qt::AltModifier);
    ASSERT_TRUE(WaitForLocation(View(), strFile + QStringLiteral("#0001")));
    EXPECT_TRUE(Enabled(ID_PREV_HIT));

    // Paging elsewhere keeps the hits: the next hit goes back to the result page.
    Choose(Slot::Isei);
    ASSERT_TRUE(Shows(QStringLiteral("論語 為政第二 1")));
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_NEXT_HIT));
    ASSERT_TRUE(WaitForLocation(View(), strFile + QStringLiteral("#0002")));

    // A page without marked hits leaves both commands disabled: 覺 stands
    // only in an annotation, and only the main text is marked.
    Panel().TabControl()->setCurrentIndex(CLeftForm::TabSearch);
    Panel().KeywordBox()->setText(QStringLiteral("覺"));
    Panel().m_nRange = Slot::Gakuji;
    Panel().OnSearch();
    ASSERT_EQ(Panel().ResultList()->topLevelItemCount(), 1);
    static_cast<QAbstractButton*>(Panel().Control(CLeftForm::IDC_MAIN_TEXT))->click();
    Panel().ResultList()->setCurrentItem(Panel().ResultList()->topLevelItem(0));
    EXPECT_EQ(Panel().m_nHitCount, 0);
    EXPECT_FALSE(Enabled(ID_NEXT_HIT));
    EXPECT_FALSE(Enabled(ID_PREV_HIT));
}

TEST_F(NavigationTest, SliderShowsAPageOnlyWhenLetGo) {
    CXSliderCtrl& slider = *ToolBar().Slider();
    EXPECT_EQ(slider.width(), CSCrollToolBar::SliderWidth);
    EXPECT_EQ(ToolBar().PageBox()->width(), CSCrollToolBar::PageBoxWidth);
    EXPECT_TRUE(ToolBar().PageBox()->isReadOnly());

    // No volume yet: a move changes nothing.
    slider.setFocus();
    QTest::keyClick(&slider, Qt::Key_Right);
    EXPECT_EQ(Panel().m_nCurPage, 0);
    EXPECT_TRUE(View().IsBlank());

    Choose(Slot::Kan1);
    ASSERT_TRUE(Shows(QStringLiteral("唐詩 卷一 5")));
    // A drag shows nothing until the handle is let go.
    slider.setSliderDown(true);
    slider.setSliderPosition(9);
    slider.setSliderPosition(7);
    QTest::qWait(100);
    EXPECT_EQ(Panel().m_nCurPage, 5);
    EXPECT_EQ(View().title(), QStringLiteral("唐詩 卷一 5"));
    slider.setSliderDown(false);
    ASSERT_TRUE(Shows(QStringLiteral("唐詩 卷一 7")));
    EXPECT_EQ(Panel().m_nCurPage, 7);
    EXPECT_EQ(ToolBar().PageBox()->text(), Indicator(7));

    // A key ends its move at once.
    slider.setFocus();
    QTest::keyClick(&slider, Qt::Key_Right);
    ASSERT_TRUE(Shows(QStringLiteral("唐詩 卷一 8")));
    EXPECT_EQ(Panel().m_nCurPage, 8);
    EXPECT_TRUE(Enabled(ID_PREV_PAGE));
}

TEST(ToolBarImageTest, GreyCopyWeighsTheChannels) {
    struct Case {
        QRgb colour;
        int nGrey;
    };
    const Case cases[] = {{qRgb(255, 0, 0), 76}, {qRgb(0, 255, 0), 149}, {qRgb(0, 0, 255), 29},
                          {qRgb(255, 255, 255), 255}, {qRgb(0, 0, 0), 0}, {qRgb(10, 20, 30), 18}};
    QImage image(static_cast<int>(std::size(cases)), 1, QImage::Format_RGB888);
    for (int i = 0; i < image.width(); ++i) image.setPixel(i, 0, cases[i].colour);
    const QImage grey = CXToolBar::MakeGreyCopy(image);
    ASSERT_EQ(grey.format(), QImage::Format_RGB888);
    for (int i = 0; i < image.width(); ++i) EXPECT_EQ(grey.pixel(i, 0), qRgb(cases[i].nGrey, cases[i].nGrey, cases[i].nGrey)) << i;
}

TEST(ToolBarImageTest, MaskPixelsTakeTheBackdropWhereTheImageLies) {
    QImage backdrop(6, 5, QImage::Format_RGB888);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) backdrop.setPixel(x, y, qRgb(10 * x, 10 * y, 7));
    QImage image(3, 3, QImage::Format_RGB888);
    image.fill(QColor(CXToolBar::MaskColour));
    image.setPixel(1, 1, qRgb(1, 2, 3));
    image.setPixel(0, 1, qRgb(255, 0, 254));  // near the mask colour: kept
    const QRgb face = qRgb(200, 200, 200);

    CXToolBar::BlendMaskWithBackdrop(image, CXToolBar::MaskColour, backdrop, QPoint(4, 3), face);
    EXPECT_EQ(image.pixel(0, 0), backdrop.pixel(4, 3));
    EXPECT_EQ(image.pixel(1, 0), backdrop.pixel(5, 3));
    EXPECT_EQ(image.pixel(0, 1), qRgb(255, 0, 254));
    EXPECT_EQ(image.pixel(1, 1), qRgb(1, 2, 3));
    EXPECT_EQ(image.pixel(2, 0), face);  // column 6 lies outside
    EXPECT_EQ(image.pixel(0, 2), face);  // row 5 lies outside
}

TEST(ToolBarImageTest, ButtonsDrawTheBackdropThroughTheirMask) {
    // A backdrop that differs at every pixel, and three buttons whose
    // images are all mask but a red square in the middle.
    QImage backdrop(600, 47, QImage::Format_RGB888);
    for (int y = 0; y < backdrop.height(); ++y)
        for (int x = 0; x < backdrop.width(); ++x) backdrop.setPixel(x, y, qRgb(x % 256, (x / 256) * 64 + y, 90));
    QImage strip(3 * 40, 40, QImage::Format_RGB888);
    strip.fill(QColor(CXToolBar::MaskColour));
    for (int c = 0; c < 3; ++c)
        for (int y = 15; y < 25; ++y)
            for (int x = 15; x < 25; ++x) strip.setPixel(40 * c + x, y, qRgb(255, 0, 0));

    CXToolBar toolBar;
    toolBar.setMovable(false);
    toolBar.SetImageSize(40, 40);
    toolBar.SetBackdrop(backdrop);
    QAction* pActions[3] = {toolBar.addAction(QStringLiteral("a")), nullptr, nullptr};
    toolBar.addSeparator();
    pActions[1] = toolBar.addAction(QStringLiteral("b"));
    pActions[2] = toolBar.addAction(QStringLiteral("c"));
    pActions[2]->setEnabled(false);
    ASSERT_TRUE(toolBar.LoadButtonImages(3, CXToolBar::MaskColour, strip, QImage(), QImage()));
    toolBar.resize(600, 50);
    toolBar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&toolBar));
    QTest::qWait(50);

    const QImage shown = toolBar.grab().toImage().convertToFormat(QImage::Format_RGB888);
    for (int c = 0; c < 3; ++c) {
        SCOPED_TRACE(c);
        const QPoint origin = toolBar.ButtonImageOrigin(c);
        const QWidget* pButton = toolBar.widgetForAction(pActions[c]);
        ASSERT_TRUE(pButton->geometry().contains(QRect(origin, QSize(40, 40))));
        // A mask pixel shows exactly the backdrop behind it: no seam.
        EXPECT_EQ(shown.pixel(origin + QPoint(2, 2)), backdrop.pixel(origin + QPoint(2, 2)));
        EXPECT_EQ(toolBar.ButtonImage(c, QIcon::Normal).pixel(2, 2), backdrop.pixel(origin + QPoint(2, 2)));
    }
    EXPECT_EQ(shown.pixel(toolBar.ButtonImageOrigin(0) + QPoint(20, 20)), qRgb(255, 0, 0));
    // Without a disabled strip the disabled button is the grey copy.
    EXPECT_EQ(shown.pixel(toolBar.ButtonImageOrigin(2) + QPoint(20, 20)), qRgb(76, 76, 76));
    EXPECT_EQ(toolBar.ButtonImage(2, QIcon::Disabled).pixel(2, 2), backdrop.pixel(toolBar.ButtonImageOrigin(2) + QPoint(2, 2)));
}

TEST_F(NavigationTest, ToolBarHoldsTheCommandsInOrderWithTheirTips) {
    QStringList tips;
    for (QAction* pAction : ToolBar().actions()) {
        if (pAction->isSeparator())
            tips << QStringLiteral("-");
        else if (!qobject_cast<QToolButton*>(ToolBar().widgetForAction(pAction)))
            tips << ToolBar().widgetForAction(pAction)->objectName();
        else
            tips << pAction->toolTip();
    }
    EXPECT_EQ(tips, (QStringList{"すべて選択", "コピー", "-", "印刷", "-", "上の巻へ", "上の頁", "次の頁", "次の巻へ",
                                 "-", "上の検索結果", "次の検索結果", "-", "情報", "-", "pageSlider", "pageBox"}));
    EXPECT_EQ(ToolBar().iconSize(), QSize(40, 40));
}

}  // namespace
