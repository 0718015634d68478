#include "shelf/historydlg.h"

#include "controls/messagebox.h"
#include "shelf/historymodel.h"
#include "shelf/historystore.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QPushButton* MakeButton(const QString& strText, const char* pszName) {
    auto* pButton = new QPushButton(strText);
    pButton->setObjectName(QLatin1String(pszName));
    pButton->setAutoDefault(false);
    return pButton;
}

}  // namespace

CHistoryDlg::CHistoryDlg(CHistoryStore& store, const std::string& strCatalogue, QWidget* pParent)
    : QDialog(pParent), m_store(store), m_strCatalogue(strCatalogue) {
    setObjectName(QStringLiteral("historyDialog"));
    setWindowTitle(tr("検索履歴"));
    m_pModel = new CHistoryModel(this);
    m_pTable = new QTableView;
    m_pTable->setObjectName(QStringLiteral("historyTable"));
    m_pTable->setModel(m_pModel);
    m_pTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pTable->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pTable->setWordWrap(false);
    m_pTable->verticalHeader()->hide();
    m_pTable->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_pTable->verticalHeader()->setDefaultSectionSize(fontMetrics().lineSpacing() + 8);
    const int nChar = fontMetrics().horizontalAdvance(QChar(0x6F22));
    const int nDigit = fontMetrics().horizontalAdvance(QLatin1Char('0'));
    m_pTable->setColumnWidth(CHistoryModel::TimeColumn, fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00 00:00")) + 16);
    m_pTable->setColumnWidth(CHistoryModel::KeywordsColumn, nChar * 14);
    m_pTable->setColumnWidth(CHistoryModel::OptionsColumn,
                             fontMetrics().horizontalAdvance(QStringLiteral("and・異体字なし・注釈")) + 16);
    m_pTable->setColumnWidth(CHistoryModel::PagesColumn, nDigit * 7 + 16);
    m_pTable->setColumnWidth(CHistoryModel::PlacesColumn, nDigit * 7 + 16);
    m_pTable->horizontalHeader()->setSectionResizeMode(CHistoryModel::RangeColumn, QHeaderView::Stretch);
    m_pStatus = new QLabel;
    m_pStatus->setObjectName(QStringLiteral("historyStatus"));
    m_pStatus->setWordWrap(true);

    QPushButton* pRun = MakeButton(tr("再検索"), "run");
    pRun->setDefault(true);
    QPushButton* pRemove = MakeButton(tr("削除"), "remove");
    QPushButton* pClear = MakeButton(tr("すべて消去…"), "clear");
    QPushButton* pClose = MakeButton(tr("閉じる"), "close");
    auto* pLimitLabel = new QLabel(tr("残す件数:"));
    m_pLimit = new QSpinBox;
    m_pLimit->setObjectName(QStringLiteral("historyLimit"));
    m_pLimit->setRange(CHistoryStore::MinLimit, CHistoryStore::MaxLimit);
    m_pLimit->setSingleStep(100);
    m_pLimit->setGroupSeparatorShown(true);
    m_pLimit->setKeyboardTracking(false);
    pLimitLabel->setBuddy(m_pLimit);
    m_nLimit = m_store.Limit();
    m_pLimit->setValue(m_nLimit);
    connect(pRun, &QPushButton::clicked, this, &CHistoryDlg::RunCurrent);
    connect(pRemove, &QPushButton::clicked, this, &CHistoryDlg::RemoveSelected);
    connect(pClear, &QPushButton::clicked, this, &CHistoryDlg::ClearAll);
    connect(pClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_pLimit, &QSpinBox::editingFinished, this, &CHistoryDlg::ApplyLimit);
    connect(m_pTable, &QTableView::activated, this, &CHistoryDlg::RunCurrent);
    connect(m_pTable->selectionModel(), &QItemSelectionModel::selectionChanged, this, &CHistoryDlg::UpdateButtons);
    connect(m_pModel, &QAbstractItemModel::modelReset, this, &CHistoryDlg::UpdateButtons);
    connect(m_pModel, &QAbstractItemModel::rowsRemoved, this, &CHistoryDlg::UpdateButtons);

    auto* pButtons = new QHBoxLayout;
    pButtons->addWidget(pRun);
    pButtons->addWidget(pRemove);
    pButtons->addWidget(pClear);
    pButtons->addStretch(1);
    pButtons->addWidget(pLimitLabel);
    pButtons->addWidget(m_pLimit);
    pButtons->addWidget(pClose);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(m_pTable, 1);
    pLayout->addWidget(m_pStatus);
    pLayout->addLayout(pButtons);
    resize(nChar * 64, fontMetrics().lineSpacing() * 28);

    Reload();
}

QPushButton* CHistoryDlg::Button(const char* pszName) const { return findChild<QPushButton*>(QLatin1String(pszName)); }

bool CHistoryDlg::Reload() {
    bool bOk = false;
    m_pModel->SetEntries(m_store.List(&bOk), m_strCatalogue);
    if (m_pModel->rowCount() > 0) m_pTable->selectRow(0);
    if (!bOk) {
        m_pStatus->setText(tr("検索履歴を読めませんでした: %1").arg(m_store.Error()));
        return false;
    }
    UpdateStatus();
    return true;
}

void CHistoryDlg::UpdateStatus() {
    m_pStatus->setText(m_pModel->rowCount() == 0 ? tr("検索履歴はありません。")
                                                 : tr("検索 %1 件（新しい順）").arg(m_pModel->rowCount()));
}

void CHistoryDlg::UpdateButtons() {
    Button("run")->setEnabled(m_pTable->currentIndex().isValid());
    Button("remove")->setEnabled(!SelectedRows().empty());
    Button("clear")->setEnabled(m_pModel->rowCount() > 0);
}

std::vector<int> CHistoryDlg::SelectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : m_pTable->selectionModel()->selectedRows()) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

bool CHistoryDlg::Ask(const QString& strQuestion, const QString& strYes) {
    QMessageBox question(QMessageBox::Question, QCoreApplication::applicationName(), strQuestion,
                         QMessageBox::Yes | QMessageBox::No, this);
    question.button(QMessageBox::Yes)->setText(strYes);
    question.button(QMessageBox::No)->setText(tr("キャンセル"));
    question.setDefaultButton(QMessageBox::No);
    return CMessageBox::Exec(question) == QMessageBox::Yes;
}

void CHistoryDlg::ShowError(const QString& strWhat) { CMessageBox::Show(this, strWhat + u'\n' + m_store.Error()); }

void CHistoryDlg::RunCurrent() {
    const QModelIndex current = m_pTable->currentIndex();
    if (!current.isValid()) return;
    m_chosen = m_pModel->Entry(current.row());
    accept();
}

bool CHistoryDlg::RemoveSelected() {
    const std::vector<int> rows = SelectedRows();
    if (rows.empty()) return false;
    std::vector<int64_t> ids;
    for (int nRow : rows) ids.push_back(m_pModel->Entry(nRow).nId);
    if (!m_store.Remove(ids)) {
        ShowError(tr("検索履歴を削除できませんでした。"));
        return false;
    }
    m_pModel->RemoveRows(rows);
    UpdateStatus();
    return true;
}

bool CHistoryDlg::ClearAll() {
    if (!Ask(tr("検索履歴をすべて消しますか? ほかの窓の検索も消えます。"), tr("消去"))) return false;
    if (!m_store.Clear()) {
        ShowError(tr("検索履歴を消せませんでした。"));
        return false;
    }
    m_pModel->SetEntries({}, m_strCatalogue);
    UpdateStatus();
    return true;
}

bool CHistoryDlg::ApplyLimit() {
    const int nLimit = m_pLimit->value();
    if (nLimit == m_nLimit) return true;
    if (nLimit < m_pModel->rowCount() &&
        !Ask(tr("残す件数を %1 件にすると、古い検索 %2 件が消えます。よろしいですか?")
                 .arg(nLimit)
                 .arg(m_pModel->rowCount() - nLimit),
             tr("消して減らす"))) {
        m_pLimit->setValue(m_nLimit);
        return false;
    }
    if (!m_store.SetLimit(nLimit)) {
        m_pLimit->setValue(m_nLimit);
        ShowError(tr("残す件数を保存できませんでした。"));
        return false;
    }
    m_nLimit = nLimit;
    if (nLimit < m_pModel->rowCount()) Reload();
    return true;
}

void CHistoryDlg::done(int nResult) {
    // A number typed into the box and the list closed: kept as if applied.
    m_pLimit->interpretText();
    ApplyLimit();
    QDialog::done(nResult);
}
