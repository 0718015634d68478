// Narrowing a result in the window: a search within the results with its
// chain and step back, the rows in reading order from the headers, and the
// chart of where the hits fall narrowing the list to a book or a volume.
#include "frame/mainfrm.h"
#include "panel/distributionpane.h"
#include "panel/keywordedit.h"
#include "panel/leftform.h"
#include "panel/sortlistctrl.h"
#include "resources/resource.h"
#include "support/guitest.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QHeaderView>
#include <QLabel>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

namespace {

using Slot = CGuiSearchCorpus::Slot;

class NarrowingTest : public ::testing::Test {
protected:
    void SetUp() override { m_pFrame = ShowFrame(m_corpus.Folder()); }

    CLeftForm& Panel() { return *m_pFrame->LeftForm(); }
    QAbstractButton* Button(int nId) { return static_cast<QAbstractButton*>(Panel().Control(nId)); }
    QLabel* Label(int nId) { return static_cast<QLabel*>(Panel().Control(nId)); }
    void Search(const QString& strKeywords, bool bOr = false, bool bWithin = false) {
        Panel().ContentsTree()->setCurrentItem(Panel().TreeItemOfSlot(Slot::Keibu));
        Panel().TabControl()->setCurrentIndex(CLeftForm::TabSearch);
        Panel().KeywordBox()->setText(strKeywords);
        Button(bOr ? CLeftForm::IDC_OR : CLeftForm::IDC_AND)->setChecked(true);
        Button(CLeftForm::IDC_WITHIN)->setChecked(bWithin);
        Button(CLeftForm::IDC_SEARCH)->click();
    }
    // The rows of the list page on display as "volume page".
    QStringList Rows() {
        QStringList rows;
        QTreeWidget* pList = Panel().ResultList();
        for (int i = 0; i < pList->topLevelItemCount(); ++i)
            rows << pList->topLevelItem(i)->text(2) + u' ' + pList->topLevelItem(i)->text(3);
        return rows;
    }

    CGuiSearchCorpus m_corpus;
    std::unique_ptr<CMainFrame> m_pFrame;
};

TEST_F(NarrowingTest, ASearchWithinResultsShowsItsChainAndStepsBack) {
    int nMade = 0;
    QObject::connect(&Panel(), &CLeftForm::searchMade, [&] { ++nMade; });
    Search(QStringLiteral("不"));
    ASSERT_EQ(Rows(), (QStringList{"學而第一 1", "學而第一 2", "學而第一 3"}));
    EXPECT_TRUE(Label(CLeftForm::IDC_CHAIN)->isHidden());

    Search(QStringLiteral("朋"), false, true);
    EXPECT_EQ(Rows(), (QStringList{"學而第一 2"}));
    EXPECT_TRUE(Label(CLeftForm::IDC_CHAIN)->isVisible());
    EXPECT_TRUE(Label(CLeftForm::IDC_CHAIN)->text().contains(QStringLiteral("不 → 朋")))
        << Label(CLeftForm::IDC_CHAIN)->text().toStdString();
    const SearchRequestTag request = Panel().LastRequest();
    ASSERT_EQ(request.steps.size(), 2u);
    EXPECT_EQ(request.nRange, Slot::Keibu);

    // A refused search within keeps the chain and its rows.
    {
        CModalRecorder modal;
        Search(QStringLiteral("abc"), false, true);
        EXPECT_EQ(modal.Messages().size(), 1);
    }
    EXPECT_EQ(Panel().Chain().StepCount(), 2u);
    EXPECT_EQ(Rows(), (QStringList{"學而第一 2"}));

    // A step back restores the first result and its keywords, unsearched.
    Button(CLeftForm::IDC_STEP_BACK)->click();
    EXPECT_EQ(Rows(), (QStringList{"學而第一 1", "學而第一 2", "學而第一 3"}));
    EXPECT_EQ(Panel().KeywordBox()->text(), QStringLiteral("不"));
    EXPECT_TRUE(Label(CLeftForm::IDC_CHAIN)->isHidden());
    EXPECT_EQ(nMade, 2);  // the two searches made; neither the refusal nor the step back

    // The request runs again as a whole, as the history does; a plain
    // search starts a new chain.
    ASSERT_TRUE(Panel().RunRequest(request));
    EXPECT_EQ(Rows(), (QStringList{"學而第一 2"}));
    EXPECT_EQ(Panel().Chain().StepCount(), 2u);
    EXPECT_EQ(nMade, 3);  // a request run again is one search
    Search(QStringLiteral("政"));
    EXPECT_EQ(Rows(), (QStringList{"為政第二 1"}));
    EXPECT_EQ(Panel().Chain().StepCount(), 1u);
}

TEST_F(NarrowingTest, TheNameHeadersSortEveryRowInReadingOrder) {
    // The search gives its rows by page number: page 1 of both volumes first.
    Search(QStringLiteral("不 政"), true);
    const QStringList byPage{"學而第一 1", "為政第二 1", "學而第一 2", "學而第一 3"};
    ASSERT_EQ(Rows(), byPage);
    QHeaderView* pHeader = Panel().ResultList()->header();
    for (int nColumn : {0, 1, 2}) {
        emit pHeader->sectionClicked(nColumn);
        EXPECT_EQ(Rows(), (QStringList{"學而第一 1", "學而第一 2", "學而第一 3", "為政第二 1"})) << nColumn;
    }
    emit pHeader->sectionClicked(CSortListCtrl::PageColumn);
    EXPECT_EQ(Rows(), byPage);
}

TEST_F(NarrowingTest, TheChartNarrowsTheListToABookThenAVolume) {
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_VIEW_DISTRIBUTION));
    CDistributionPane& pane = *m_pFrame->DistributionPane();
    ASSERT_TRUE(pane.isVisible());
    Search(QStringLiteral("不 政"), true);

    // One book: its pages and places.
    ASSERT_EQ(pane.Counts().size(), 1u);
    EXPECT_EQ(pane.Counts()[0].nPages, 4);
    const QList<QBarSet*> sets = [&] {
        const auto series = pane.ChartView()->chart()->series();
        return series.isEmpty() ? QList<QBarSet*>() : static_cast<QAbstractBarSeries*>(series.first())->barSets();
    }();
    ASSERT_EQ(sets.size(), 2);
    EXPECT_EQ(sets[0]->at(0), 4.0);

    // A click on the book's bar: its volumes, and only its rows.
    emit sets[0]->clicked(0);
    ASSERT_NE(pane.Book(), nullptr);
    ASSERT_EQ(pane.Counts().size(), 2u);
    EXPECT_EQ(pane.Counts()[0].nPages, 3);
    EXPECT_EQ(pane.Counts()[1].nPages, 1);
    EXPECT_EQ(Rows().size(), 4);
    EXPECT_TRUE(Label(CLeftForm::IDC_NARROW)->isVisible());

    // A volume's bar: that volume's rows; the summary still counts all.
    pane.ActivateBar(1);
    EXPECT_EQ(Rows(), (QStringList{"為政第二 1"}));
    EXPECT_TRUE(Label(CLeftForm::IDC_NARROW)->toolTip().contains(QStringLiteral("為政第二")));
    EXPECT_TRUE(Label(CLeftForm::IDC_SUMMARY)->text().contains(QStringLiteral("4 頁")));

    // すべて表示: every row, and the chart back at the books.
    Button(CLeftForm::IDC_SHOW_ALL)->click();
    EXPECT_EQ(Rows().size(), 4);
    EXPECT_TRUE(Label(CLeftForm::IDC_NARROW)->isHidden());
    EXPECT_EQ(pane.Book(), nullptr);
}

}  // namespace
