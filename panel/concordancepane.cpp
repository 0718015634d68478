#include "panel/concordancepane.h"

#include "controls/messagebox.h"
#include "model/citation.h"
#include "panel/concordancemodel.h"
#include "platform/atomicfile.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QProgressDialog>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include <climits>

namespace {

// How long one slice of reading may take before the events come again; the
// first slice of a search stops as soon as it has a screen of rows.
constexpr int kSliceMilliseconds = 30;
constexpr int kFirstScreenRows = 100;
// Pages read between two looks at the clock, and in a batch under a
// progress dialog.
constexpr size_t kPagesPerStep = 32;
constexpr size_t kPagesPerBatch = 512;

// The orders, as the order box lists them.
const struct {
    CConcordance::Order eOrder;
    const char* pszCaption;
} kOrders[] = {
    {CConcordance::Order::Place, QT_TRANSLATE_NOOP("CConcordancePane", "場所順")},
    {CConcordance::Order::Right, QT_TRANSLATE_NOOP("CConcordancePane", "右文脈順")},
    {CConcordance::Order::Left, QT_TRANSLATE_NOOP("CConcordancePane", "左文脈順（逆から）")},
};

// Column widths in characters of the font (contexts of 12 characters).
const int kColumnCharacters[CConcordanceModel::ColumnCount] = {13, 6, 13, 9, 15, 4, 5};

}  // namespace

CConcordancePane::CConcordancePane(QWidget* pParent) : QWidget(pParent) {
    setObjectName(QStringLiteral("concordancePane"));
    m_pModel = new CConcordanceModel(this);

    auto* pTitle = new QLabel(tr("用例"));
    QFont titleFont = pTitle->font();
    titleFont.setBold(true);
    pTitle->setFont(titleFont);
    m_pStatus = new QLabel;
    m_pStatus->setObjectName(QStringLiteral("concordanceStatus"));
    m_pOrderBox = new QComboBox;
    m_pOrderBox->setObjectName(QStringLiteral("concordanceOrder"));
    for (const auto& order : kOrders) m_pOrderBox->addItem(tr(order.pszCaption));
    m_pExport = new QPushButton(tr("書き出し..."));
    m_pExport->setObjectName(QStringLiteral("concordanceExport"));
    auto* pClose = new QToolButton;
    pClose->setObjectName(QStringLiteral("concordanceClose"));
    pClose->setText(QStringLiteral("×"));
    pClose->setToolTip(tr("用例を閉じる"));
    pClose->setAutoRaise(true);

    auto* pBar = new QHBoxLayout;
    pBar->setContentsMargins(4, 2, 2, 2);
    pBar->addWidget(pTitle);
    pBar->addSpacing(8);
    pBar->addWidget(m_pStatus, 1);
    pBar->addWidget(new QLabel(tr("並べ順:")));
    pBar->addWidget(m_pOrderBox);
    pBar->addWidget(m_pExport);
    pBar->addWidget(pClose);

    m_pTable = new QTableView;
    m_pTable->setObjectName(QStringLiteral("concordanceTable"));
    m_pTable->setModel(m_pModel);
    m_pTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pTable->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pTable->setWordWrap(false);
    m_pTable->setTextElideMode(Qt::ElideNone);
    m_pTable->setShowGrid(false);
    m_pTable->setAlternatingRowColors(true);
    // Fixed row heights: the view never measures the rows it does not show.
    m_pTable->verticalHeader()->hide();
    m_pTable->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_pTable->verticalHeader()->setDefaultSectionSize(m_pTable->fontMetrics().height() + 4);
    m_pTable->horizontalHeader()->setHighlightSections(false);
    m_pTable->horizontalHeader()->setStretchLastSection(true);
    const int nCharacter = m_pTable->fontMetrics().horizontalAdvance(QChar(0x6F22));
    for (int nColumn = 0; nColumn < CConcordanceModel::ColumnCount; ++nColumn)
        m_pTable->setColumnWidth(nColumn, kColumnCharacters[nColumn] * nCharacter);

    auto* pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->setSpacing(0);
    pLayout->addLayout(pBar);
    pLayout->addWidget(m_pTable, 1);

    m_readTimer.setInterval(0);
    connect(&m_readTimer, &QTimer::timeout, this, &CConcordancePane::ReadSlice);
    connect(m_pTable, &QAbstractItemView::activated, this, [this](const QModelIndex& index) { ActivateRow(index.row()); });
    connect(m_pOrderBox, qOverload<int>(&QComboBox::activated), this, &CConcordancePane::OnOrderChosen);
    connect(m_pExport, &QPushButton::clicked, this, &CConcordancePane::ExportWithDialog);
    connect(pClose, &QToolButton::clicked, this, &CConcordancePane::closeRequested);
    // A click on a context's header sorts by it; on the place columns by place.
    connect(m_pTable->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int nColumn) {
        if (nColumn == CConcordanceModel::LeftColumn)
            SortBy(CConcordance::Order::Left);
        else if (nColumn == CConcordanceModel::RightColumn)
            SortBy(CConcordance::Order::Right);
        else if (nColumn >= CConcordanceModel::BookColumn && nColumn <= CConcordanceModel::PageColumn)
            SortBy(CConcordance::Order::Place);
    });
    Clear(tr("検索すると、その結果の一つ一つの箇所が前後の文と共にここに並びます。"));
}

CConcordancePane::~CConcordancePane() = default;

void CConcordancePane::SetSearch(CIndex& index, const CCitation& citation, std::vector<int32_t> pages,
                                 const std::u16string& strKeywords, bool bUseVariants, TextPart ePart) {
    m_readTimer.stop();
    m_pModel->Start(index, citation, std::move(pages), strKeywords, bUseVariants, ePart);
    m_pOrderBox->setCurrentIndex(0);
    m_strEmptyLine.clear();
    if (isVisible()) ReadSlice();
    UpdateStatus();
}

void CConcordancePane::Clear(const QString& strWhy) {
    m_readTimer.stop();
    m_pModel->Clear();
    m_pOrderBox->setCurrentIndex(0);
    m_strEmptyLine = strWhy;
    UpdateStatus();
}

void CConcordancePane::showEvent(QShowEvent* pEvent) {
    QWidget::showEvent(pEvent);
    if (!m_pModel->IsComplete()) ReadSlice();
}

void CConcordancePane::hideEvent(QHideEvent* pEvent) {
    QWidget::hideEvent(pEvent);
    m_readTimer.stop();
}

void CConcordancePane::ReadSlice() {
    QElapsedTimer clock;
    clock.start();
    const bool bFirstScreen = m_pModel->rowCount() < kFirstScreenRows;
    bool bMore = true;
    while (bMore && clock.elapsed() < kSliceMilliseconds && !(bFirstScreen && m_pModel->rowCount() >= kFirstScreenRows))
        bMore = m_pModel->ReadMore(kPagesPerStep);
    if (bMore && isVisible())
        m_readTimer.start();
    else
        m_readTimer.stop();
    UpdateStatus();
}

void CConcordancePane::UpdateStatus() {
    const bool bStarted = m_pModel->IsStarted();
    m_pOrderBox->setEnabled(bStarted);
    m_pExport->setEnabled(bStarted && m_pModel->rowCount() > 0);
    if (!bStarted) {
        m_pStatus->setText(m_strEmptyLine);
        return;
    }
    const QLocale locale(QLocale::Japanese, QLocale::Japan);
    const QString strRows = locale.toString(m_pModel->rowCount());
    if (m_pModel->IsComplete()) {
        m_pStatus->setText(tr("%1 箇所").arg(strRows));
        return;
    }
    const int nPercent = m_pModel->PageCount() == 0
                             ? 100
                             : static_cast<int>(100.0 * static_cast<double>(m_pModel->PagesRead()) /
                                                static_cast<double>(m_pModel->PageCount()));
    m_pStatus->setText(tr("%1 箇所まで（%2 頁のうち %3%）").arg(strRows, locale.toString(qulonglong(m_pModel->PageCount()))).arg(nPercent));
}

bool CConcordancePane::ReadAll() {
    if (m_pModel->IsComplete()) return true;
    m_readTimer.stop();
    const int nTotal = static_cast<int>(std::min<size_t>(m_pModel->PageCount(), INT_MAX));
    QProgressDialog progress(tr("用例を集めています..."), tr("キャンセル"), 0, nTotal, this);
    progress.setWindowTitle(QCoreApplication::applicationName());
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    bool bCancelled = false;
    while (m_pModel->ReadMore(kPagesPerBatch)) {
        progress.setValue(static_cast<int>(std::min<size_t>(m_pModel->PagesRead(), INT_MAX)));
        QCoreApplication::processEvents();
        if (progress.wasCanceled()) {
            bCancelled = true;
            break;
        }
    }
    progress.reset();
    UpdateStatus();
    if (bCancelled && isVisible()) m_readTimer.start();  // the slices go on from there
    return !bCancelled;
}

bool CConcordancePane::SortBy(CConcordance::Order eOrder) {
    if (!m_pModel->IsStarted()) return false;
    if (!ReadAll()) {
        // The rows stay in the order they had.
        for (int i = 0; i < static_cast<int>(std::size(kOrders)); ++i)
            if (kOrders[i].eOrder == m_pModel->GetOrder()) m_pOrderBox->setCurrentIndex(i);
        return false;
    }
    m_pModel->Sort(eOrder);
    for (int i = 0; i < static_cast<int>(std::size(kOrders)); ++i)
        if (kOrders[i].eOrder == eOrder) m_pOrderBox->setCurrentIndex(i);
    m_pTable->scrollToTop();
    return true;
}

void CConcordancePane::OnOrderChosen(int nChoice) {
    if (nChoice >= 0 && nChoice < static_cast<int>(std::size(kOrders))) SortBy(kOrders[nChoice].eOrder);
}

void CConcordancePane::ActivateRow(int nRow) {
    const int32_t nPage = m_pModel->PageIndexOf(nRow);
    if (nPage < 0) return;
    emit hitActivated(nPage, m_pModel->AnchorOf(nRow));
}

void CConcordancePane::ExportWithDialog() {
    if (!m_pModel->IsStarted()) return;
    const QString strCsv = tr("CSV (UTF-8, 表計算ソフト向け) (*.csv)");
    const QString strTsv = tr("TSV (タブ区切り) (*.tsv *.txt)");
    QFileDialog dialog(this, tr("用例の書き出し"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({strCsv, strTsv});
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    dialog.setDirectory(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    dialog.selectFile(tr("用例.csv"));
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, strTsv](const QString& strFilter) {
        dialog.setDefaultSuffix(strFilter == strTsv ? QStringLiteral("tsv") : QStringLiteral("csv"));
    });
    if (CMessageBox::Exec(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString strPath = dialog.selectedFiles().first();
    // The filter chosen decides, unless the name says otherwise.
    const bool bTsv = strPath.endsWith(QStringLiteral(".tsv"), Qt::CaseInsensitive) ||
                      strPath.endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive) ||
                      (!strPath.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive) && dialog.selectedNameFilter() == strTsv);
    QString strError;
    if (!ExportTo(strPath, bTsv ? CConcordance::Format::Tsv : CConcordance::Format::Csv, strError) && !strError.isEmpty())
        CMessageBox::Show(this, strError);
}

bool CConcordancePane::ExportTo(const QString& strPath, CConcordance::Format eFormat, QString& strError) {
    strError.clear();
    if (!m_pModel->IsStarted() || !ReadAll()) return false;
    const CConcordance& concordance = m_pModel->Concordance();
    const int nTotal = static_cast<int>(std::min<size_t>(concordance.Rows().size(), INT_MAX));
    QProgressDialog progress(tr("用例を書き出しています..."), tr("キャンセル"), 0, nTotal, this);
    progress.setWindowTitle(QCoreApplication::applicationName());
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    const CCitation* pCitation = m_pModel->Citation();
    const std::string strBytes =
        concordance.Export(eFormat, *pCitation, [&progress](size_t nDone, size_t) {
            progress.setValue(static_cast<int>(std::min<size_t>(nDone, INT_MAX)));
            QCoreApplication::processEvents();
            return !progress.wasCanceled();
        });
    const bool bCancelled = progress.wasCanceled();
    progress.reset();
    if (bCancelled) return false;
    std::string strWhy;
    if (!CAtomicFile::Write(QFile::encodeName(strPath).toStdString(), strBytes, CAtomicFile::Mode::Durable, strWhy)) {
        strError = tr("用例を書き出せませんでした。\n%1").arg(QString::fromStdString(strWhy));
        return false;
    }
    return true;
}
