#pragma once

#include "model/hitdistribution.h"

#include <QWidget>

#include <vector>

class CResultList;
class QChartView;
class QLabel;
class QPushButton;

// The pane "分布": where the hits of the last search fall, as a bar chart
// of the pages and places per book, and after a click on a book, per volume
// of that book. A click on a bar asks for the list to be narrowed to that
// book or volume (narrowRequested); the button back to the books asks for
// every row again. The counts are of every row of the search, however the
// list is narrowed (CHitDistribution).
//
// A hidden pane counts nothing: the chart is made when it shows.
// REQUIRES: the rows given to SetResults outlive the pane's use of them
// (until the next SetResults or Clear).
class CDistributionPane : public QWidget {
    Q_OBJECT

public:
    explicit CDistributionPane(QWidget* pParent = nullptr);
    ~CDistributionPane() override;

    // The rows of a search; the chart shows its books.
    void SetResults(const CResultList& results);
    // No chart.
    void Clear();

    // The chart of the books, or of the volumes of pBook.
    void ShowBooks();
    void ShowVolumes(const ContentsNodeTag* pBook);
    // The book whose volumes show; null while the books show.
    const ContentsNodeTag* Book() const { return m_pBook; }
    // The bars, in the order of the contents tree (what the chart shows).
    const std::vector<HitCountTag>& Counts() const { return m_counts; }
    // As a click on bar i (of Counts()) does: a book shows its volumes, and
    // the list is narrowed to the book or volume.
    void ActivateBar(int i);

    QChartView* ChartView() const { return m_pChartView; }
    QLabel* TitleLine() const { return m_pTitle; }
    QPushButton* BackButton() const { return m_pBack; }

signals:
    // The list is to show only the rows under pNode; null: every row.
    void narrowRequested(const ContentsNodeTag* pNode);
    // The close button.
    void closeRequested();

protected:
    void showEvent(QShowEvent* pEvent) override;

private:
    // Counts and draws what m_pBook says, if the pane shows; else later.
    void Rebuild();
    // The tooltip of bar i: its place, pages and places.
    QString BarText(int i) const;

    const CResultList* m_pResults = nullptr;
    const ContentsNodeTag* m_pBook = nullptr;
    std::vector<HitCountTag> m_counts;
    bool m_bStale = false;
    QLabel* m_pTitle = nullptr;
    QPushButton* m_pBack = nullptr;
    QChartView* m_pChartView = nullptr;
};
