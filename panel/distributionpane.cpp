#include "panel/distributionpane.h"

#include "model/resultlist.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCoreApplication>
#include <QCursor>
#include <QHBoxLayout>
#include <QHorizontalBarSeries>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>

namespace {

// Volumes are named under their bars only while this many fit; past it the
// bars speak through their tooltips.
constexpr int kMaxVolumeLabels = 24;

QString NodeName(const ContentsNodeTag* pNode) {
    return pNode ? QString::fromStdU16String(pNode->name) : QCoreApplication::translate("CDistributionPane", "（書外）");
}

}  // namespace

CDistributionPane::CDistributionPane(QWidget* pParent) : QWidget(pParent) {
    setObjectName(QStringLiteral("distributionPane"));
    auto* pName = new QLabel(tr("分布"));
    QFont nameFont = pName->font();
    nameFont.setBold(true);
    pName->setFont(nameFont);
    m_pTitle = new QLabel;
    m_pTitle->setObjectName(QStringLiteral("distributionTitle"));
    m_pBack = new QPushButton(tr("書ごとに戻る"));
    m_pBack->setObjectName(QStringLiteral("distributionBack"));
    m_pBack->setToolTip(tr("書ごとの分布に戻り、すべての結果を表示します"));
    m_pBack->hide();
    auto* pClose = new QToolButton;
    pClose->setObjectName(QStringLiteral("distributionClose"));
    pClose->setText(QStringLiteral("×"));
    pClose->setToolTip(tr("分布を閉じる"));
    pClose->setAutoRaise(true);

    auto* pBar = new QHBoxLayout;
    pBar->setContentsMargins(4, 2, 2, 2);
    pBar->addWidget(pName);
    pBar->addSpacing(8);
    pBar->addWidget(m_pTitle, 1);
    pBar->addWidget(m_pBack);
    pBar->addWidget(pClose);

    m_pChartView = new QChartView;
    m_pChartView->setObjectName(QStringLiteral("distributionChart"));
    m_pChartView->setRenderHint(QPainter::Antialiasing, false);
    m_pChartView->setChart(new QChart);

    auto* pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->setSpacing(0);
    pLayout->addLayout(pBar);
    pLayout->addWidget(m_pChartView, 1);

    connect(m_pBack, &QPushButton::clicked, this, [this] {
        ShowBooks();
        emit narrowRequested(nullptr);
    });
    connect(pClose, &QToolButton::clicked, this, &CDistributionPane::closeRequested);
    Clear();
}

CDistributionPane::~CDistributionPane() = default;

void CDistributionPane::SetResults(const CResultList& results) {
    m_pResults = &results;
    m_pBook = nullptr;
    Rebuild();
}

void CDistributionPane::Clear() {
    m_pResults = nullptr;
    m_pBook = nullptr;
    m_counts.clear();
    m_bStale = false;
    m_pChartView->chart()->removeAllSeries();
    for (QAbstractAxis* pAxis : m_pChartView->chart()->axes()) m_pChartView->chart()->removeAxis(pAxis);
    m_pTitle->setText(tr("検索すると、結果の頁と箇所が書ごとに並びます。"));
    m_pBack->hide();
}

void CDistributionPane::ShowBooks() {
    m_pBook = nullptr;
    Rebuild();
}

void CDistributionPane::ShowVolumes(const ContentsNodeTag* pBook) {
    m_pBook = pBook;
    Rebuild();
}

void CDistributionPane::showEvent(QShowEvent* pEvent) {
    QWidget::showEvent(pEvent);
    if (m_bStale) Rebuild();
}

void CDistributionPane::ActivateBar(int i) {
    if (i < 0 || i >= static_cast<int>(m_counts.size())) return;
    const ContentsNodeTag* pNode = m_counts[static_cast<size_t>(i)].pNode;
    if (!pNode) return;  // rows that no book or volume holds: nothing to narrow to
    if (!m_pBook) ShowVolumes(pNode);
    emit narrowRequested(pNode);
}

QString CDistributionPane::BarText(int i) const {
    if (i < 0 || i >= static_cast<int>(m_counts.size())) return QString();
    const HitCountTag& count = m_counts[static_cast<size_t>(i)];
    QString strPlace = NodeName(count.pNode);
    if (count.pNode && count.pNode->parent && count.pNode->parent->level > 0)
        strPlace = NodeName(count.pNode->parent) + u' ' + strPlace;
    const QLocale locale(QLocale::Japanese);
    return tr("%1：%2 頁、%3 箇所").arg(strPlace, locale.toString(count.nPages), locale.toString(count.nPlaces));
}

void CDistributionPane::Rebuild() {
    if (!m_pResults) return;
    if (!isVisible()) {
        m_bStale = true;
        return;
    }
    m_bStale = false;
    m_counts = CHitDistribution::Count(*m_pResults, m_pBook ? CHitDistribution::Level::Volume
                                                            : CHitDistribution::Level::Book,
                                       m_pBook);

    QChart* pChart = m_pChartView->chart();
    pChart->removeAllSeries();
    for (QAbstractAxis* pAxis : pChart->axes()) pChart->removeAxis(pAxis);
    pChart->legend()->setAlignment(Qt::AlignTop);
    pChart->setMargins(QMargins(4, 0, 4, 0));

    const QLocale locale(QLocale::Japanese);
    const int nBars = static_cast<int>(m_counts.size());
    m_pBack->setVisible(m_pBook != nullptr);
    if (m_pBook)
        m_pTitle->setText((nBars <= kMaxVolumeLabels
                               ? tr("「%1」の巻ごと（%2 巻）。棒を押すとその巻の結果だけを表示します。")
                               : tr("「%1」の巻ごと（%2 巻、左から目録の順。棒に触れると巻名）。棒を押すとその巻の結果だけを表示します。"))
                              .arg(NodeName(m_pBook), locale.toString(nBars)));
    else
        m_pTitle->setText(
            tr("書ごと（%1 書）。棒を押すとその書の結果だけを表示し、巻ごとの分布を示します。").arg(locale.toString(nBars)));
    if (nBars == 0) return;

    // Books lie across, names at the left, the first book on top; volumes
    // stand up in their order from the left.
    const bool bAcross = m_pBook == nullptr;
    auto* pPages = new QBarSet(tr("頁"));
    auto* pPlaces = new QBarSet(tr("箇所"));
    QStringList names;
    int64_t nMost = 0;
    for (int j = 0; j < nBars; ++j) {
        const HitCountTag& count = m_counts[static_cast<size_t>(bAcross ? nBars - 1 - j : j)];
        pPages->append(static_cast<qreal>(count.nPages));
        pPlaces->append(static_cast<qreal>(count.nPlaces));
        names << NodeName(count.pNode);
        nMost = std::max({nMost, count.nPages, count.nPlaces});
    }
    QAbstractBarSeries* pSeries = bAcross ? static_cast<QAbstractBarSeries*>(new QHorizontalBarSeries)
                                          : static_cast<QAbstractBarSeries*>(new QBarSeries);
    pSeries->append(pPages);
    pSeries->append(pPlaces);
    pSeries->setBarWidth(0.8);
    // The books' figures at the ends of their bars; the volumes' are too
    // many to read, and show on a touch.
    if (bAcross) {
        pSeries->setLabelsVisible(true);
        pSeries->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
        pSeries->setLabelsFormat(QStringLiteral("@value"));
        for (QBarSet* pSet : {pPages, pPlaces}) pSet->setLabelColor(palette().color(QPalette::WindowText));
    }
    pChart->addSeries(pSeries);

    auto* pNames = new QBarCategoryAxis;
    pNames->append(names);
    pNames->setLabelsVisible(bAcross || nBars <= kMaxVolumeLabels);
    pNames->setGridLineVisible(false);
    auto* pValues = new QValueAxis;
    pValues->setRange(0, static_cast<qreal>(std::max<int64_t>(nMost, 1)) * (bAcross ? 1.12 : 1.05));
    pValues->setLabelFormat(QStringLiteral("%d"));
    pValues->applyNiceNumbers();
    pChart->addAxis(pNames, bAcross ? Qt::AlignLeft : Qt::AlignBottom);
    pChart->addAxis(pValues, bAcross ? Qt::AlignBottom : Qt::AlignLeft);
    pSeries->attachAxis(pNames);
    pSeries->attachAxis(pValues);

    auto toCount = [nBars, bAcross](int nBar) { return bAcross ? nBars - 1 - nBar : nBar; };
    for (QBarSet* pSet : {pPages, pPlaces}) {
        connect(pSet, &QBarSet::clicked, this, [this, toCount](int nBar) { ActivateBar(toCount(nBar)); });
        connect(pSet, &QBarSet::hovered, this, [this, toCount](bool bOn, int nBar) {
            if (bOn)
                QToolTip::showText(QCursor::pos(), BarText(toCount(nBar)), m_pChartView);
            else
                QToolTip::hideText();
        });
    }
}
