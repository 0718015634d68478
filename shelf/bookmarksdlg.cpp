#include "shelf/bookmarksdlg.h"

#include "controls/messagebox.h"
#include "model/bookmarkexport.h"
#include "platform/atomicfile.h"
#include "shelf/bookmarkmodel.h"
#include "shelf/bookmarknotedlg.h"
#include "shelf/bookmarkstore.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
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

CBookmarksDlg::CBookmarksDlg(CBookmarkStore& store, const std::string& strCatalogue, QWidget* pParent)
    : QDialog(pParent), m_store(store), m_strCatalogue(strCatalogue) {
    setObjectName(QStringLiteral("bookmarksDialog"));
    setWindowTitle(tr("しおり一覧"));
    m_pModel = new CBookmarkModel(this);
    m_pTable = new QTableView;
    m_pTable->setObjectName(QStringLiteral("bookmarkTable"));
    m_pTable->setModel(m_pModel);
    m_pTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pTable->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pTable->setWordWrap(false);
    m_pTable->verticalHeader()->hide();
    // Rows of one line each, all of the same height: the view need not
    // measure 10,000 rows to lay them out.
    m_pTable->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_pTable->verticalHeader()->setDefaultSectionSize(fontMetrics().lineSpacing() + 8);
    const int nChar = fontMetrics().horizontalAdvance(QChar(0x6F22));
    m_pTable->horizontalHeader()->setStretchLastSection(false);
    m_pTable->setColumnWidth(CBookmarkModel::CitationColumn, nChar * 16);
    m_pTable->setColumnWidth(CBookmarkModel::TimeColumn, fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00 00:00")) + 16);
    m_pTable->horizontalHeader()->setSectionResizeMode(CBookmarkModel::NoteColumn, QHeaderView::Stretch);
    m_pStatus = new QLabel;
    m_pStatus->setObjectName(QStringLiteral("bookmarkStatus"));
    m_pStatus->setWordWrap(true);

    QPushButton* pOpen = MakeButton(tr("開く"), "open");
    pOpen->setDefault(true);
    QPushButton* pNote = MakeButton(tr("メモを編集…"), "editNote");
    QPushButton* pRemove = MakeButton(tr("削除"), "remove");
    QPushButton* pExport = MakeButton(tr("CSV に書き出し…"), "export");
    QPushButton* pClose = MakeButton(tr("閉じる"), "close");
    connect(pOpen, &QPushButton::clicked, this, &CBookmarksDlg::OpenCurrent);
    connect(pNote, &QPushButton::clicked, this, &CBookmarksDlg::EditCurrentNote);
    connect(pRemove, &QPushButton::clicked, this, &CBookmarksDlg::RemoveSelected);
    connect(pExport, &QPushButton::clicked, this, &CBookmarksDlg::OnExport);
    connect(pClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_pTable, &QTableView::activated, this, &CBookmarksDlg::OpenCurrent);
    connect(m_pTable->selectionModel(), &QItemSelectionModel::selectionChanged, this, &CBookmarksDlg::UpdateButtons);
    connect(m_pModel, &QAbstractItemModel::modelReset, this, &CBookmarksDlg::UpdateButtons);
    connect(m_pModel, &QAbstractItemModel::rowsRemoved, this, &CBookmarksDlg::UpdateButtons);

    auto* pButtons = new QHBoxLayout;
    pButtons->addWidget(pOpen);
    pButtons->addWidget(pNote);
    pButtons->addWidget(pRemove);
    pButtons->addStretch(1);
    pButtons->addWidget(pExport);
    pButtons->addWidget(pClose);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(m_pTable, 1);
    pLayout->addWidget(m_pStatus);
    pLayout->addLayout(pButtons);
    resize(nChar * 48, fontMetrics().lineSpacing() * 28);

    Reload();
}

QPushButton* CBookmarksDlg::Button(const char* pszName) const {
    return findChild<QPushButton*>(QLatin1String(pszName));
}

bool CBookmarksDlg::Reload() {
    bool bOk = false;
    m_pModel->SetBookmarks(m_store.List(&bOk), m_strCatalogue);
    if (m_pModel->rowCount() > 0) m_pTable->selectRow(0);
    if (!bOk) {
        m_pStatus->setText(tr("しおりを読めませんでした: %1").arg(m_store.Error()));
        return false;
    }
    UpdateStatus();
    return true;
}

void CBookmarksDlg::UpdateStatus() {
    m_pStatus->setText(m_pModel->rowCount() == 0 ? tr("しおりはまだありません。頁を開いて F2 で挟めます。")
                                                 : tr("しおり %1 件").arg(m_pModel->rowCount()));
}

void CBookmarksDlg::UpdateButtons() {
    const bool bCurrent = m_pTable->currentIndex().isValid();
    const bool bSelected = !SelectedRows().empty();
    Button("open")->setEnabled(bCurrent);
    Button("editNote")->setEnabled(bCurrent);
    Button("remove")->setEnabled(bSelected);
    Button("export")->setEnabled(m_pModel->rowCount() > 0);
}

std::vector<int> CBookmarksDlg::SelectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : m_pTable->selectionModel()->selectedRows()) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void CBookmarksDlg::ShowError(const QString& strWhat) {
    CMessageBox::Show(this, strWhat + u'\n' + m_store.Error());
}

void CBookmarksDlg::OpenCurrent() {
    const QModelIndex current = m_pTable->currentIndex();
    if (!current.isValid()) return;
    m_chosen = m_pModel->Bookmark(current.row());
    accept();
}

bool CBookmarksDlg::EditCurrentNote() {
    const QModelIndex current = m_pTable->currentIndex();
    if (!current.isValid()) return false;
    const int nRow = current.row();
    const BookmarkTag bookmark = m_pModel->Bookmark(nRow);
    CBookmarkNoteDlg dialog(QString::fromStdU16String(bookmark.strCitation), QString::fromStdU16String(bookmark.strNote),
                            false, this);
    if (CMessageBox::Exec(dialog) != QDialog::Accepted) return false;
    const std::u16string strNote = dialog.Note().toStdU16String();
    if (!m_store.SetNote(bookmark.nId, strNote)) {
        ShowError(tr("メモを保存できませんでした。"));
        return false;
    }
    m_pModel->SetNote(nRow, strNote);
    return true;
}

bool CBookmarksDlg::RemoveSelected() {
    const std::vector<int> rows = SelectedRows();
    if (rows.empty()) return false;
    const QString strWhat = rows.size() == 1
                                ? tr("しおり「%1」を削除しますか?").arg(QString::fromStdU16String(m_pModel->Bookmark(rows[0]).strCitation))
                                : tr("選んだ %1 件のしおりを削除しますか?").arg(rows.size());
    QMessageBox question(QMessageBox::Question, QCoreApplication::applicationName(), strWhat,
                         QMessageBox::Yes | QMessageBox::No, this);
    question.button(QMessageBox::Yes)->setText(tr("削除"));
    question.button(QMessageBox::No)->setText(tr("キャンセル"));
    question.setDefaultButton(QMessageBox::No);
    if (CMessageBox::Exec(question) != QMessageBox::Yes) return false;
    std::vector<int64_t> ids;
    for (int nRow : rows) ids.push_back(m_pModel->Bookmark(nRow).nId);
    if (!m_store.Remove(ids)) {
        ShowError(tr("しおりを削除できませんでした。"));
        return false;
    }
    m_pModel->RemoveRows(rows);
    UpdateStatus();
    return true;
}

bool CBookmarksDlg::ExportTo(const QString& strPath, QString& strError) {
    strError.clear();
    std::string strWhy;
    if (!CAtomicFile::Write(QFile::encodeName(strPath).toStdString(), CBookmarkExport::Csv(m_pModel->Bookmarks()),
                            CAtomicFile::Mode::Durable, strWhy)) {
        strError = tr("しおりを書き出せませんでした。\n%1").arg(QString::fromStdString(strWhy));
        return false;
    }
    return true;
}

void CBookmarksDlg::OnExport() {
    QFileDialog dialog(this, tr("しおりの書き出し"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({tr("CSV（表計算ソフト用） (*.csv)")});
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    dialog.setDirectory(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    dialog.selectFile(tr("しおり.csv"));
    if (CMessageBox::Exec(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    QString strError;
    if (ExportTo(dialog.selectedFiles().first(), strError))
        m_pStatus->setText(tr("しおり %1 件を「%2」に書き出しました。").arg(m_pModel->rowCount()).arg(dialog.selectedFiles().first()));
    else
        CMessageBox::Show(this, strError);
}
