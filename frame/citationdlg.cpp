#include "frame/citationdlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

CCitationDlg::CCitationDlg(const CCitation& citation, const QString& strExample, QWidget* pParent)
    : QDialog(pParent), m_citation(citation) {
    setObjectName(QStringLiteral("citationDialog"));
    setWindowTitle(tr("引用へ移動"));
    auto* pPrompt = new QLabel(tr("引用を貼り付けるか入力して下さい。書名・巻・頁の順です。"));
    pPrompt->setWordWrap(true);
    m_pEdit = new QLineEdit;
    m_pEdit->setObjectName(QStringLiteral("citationEdit"));
    m_pEdit->setPlaceholderText(strExample.isEmpty() ? tr("例: 御定全唐詩 卷二百五十三 1") : tr("例: %1").arg(strExample));
    setMinimumWidth(fontMetrics().horizontalAdvance(QChar(0x6F22)) * 34);
    m_pMessage = new QLabel;
    m_pMessage->setObjectName(QStringLiteral("citationMessage"));
    m_pMessage->setWordWrap(true);
    m_pMessage->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_pMessage->hide();
    m_pCandidates = new QListWidget;
    m_pCandidates->setObjectName(QStringLiteral("citationCandidates"));
    m_pCandidates->hide();

    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    pButtons->button(QDialogButtonBox::Ok)->setText(tr("移動"));
    pButtons->button(QDialogButtonBox::Cancel)->setText(tr("キャンセル"));
    connect(pButtons, &QDialogButtonBox::accepted, this, [this] { TryAccept(); });
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_pCandidates, &QListWidget::itemActivated, this, &CCitationDlg::OnCandidateChosen);
    connect(m_pEdit, &QLineEdit::textEdited, this, [this] {
        m_pMessage->hide();
        m_pCandidates->hide();
    });

    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(pPrompt);
    pLayout->addWidget(m_pEdit);
    pLayout->addWidget(m_pMessage);
    pLayout->addWidget(m_pCandidates);
    pLayout->addWidget(pButtons);
}

CCitation::Outcome CCitationDlg::TryAccept() {
    m_match = m_citation.Parse(m_pEdit->text().toStdU16String());
    if (m_match.eOutcome == CCitation::Outcome::Found) {
        accept();
        return m_match.eOutcome;
    }
    m_pMessage->setText(Explain(m_match));
    m_pMessage->show();
    m_pCandidates->clear();
    for (const std::u16string& strCandidate : m_match.candidates)
        m_pCandidates->addItem(QString::fromStdU16String(strCandidate));
    m_pCandidates->setVisible(!m_match.candidates.empty());
    m_pEdit->setFocus();
    adjustSize();  // room for the message
    return m_match.eOutcome;
}

void CCitationDlg::OnCandidateChosen() {
    // The chosen volume with the page number read before.
    const QListWidgetItem* pItem = m_pCandidates->currentItem();
    if (!pItem) return;
    m_pEdit->setText(pItem->text() + u' ' + QString::number(m_match.nPageNumber));
    TryAccept();
}

QString CCitationDlg::Explain(const CCitation::Match& match) {
    const QString strName = QString::fromStdU16String(match.strName);
    switch (match.eOutcome) {
    case CCitation::Outcome::Found:
        return QString();
    case CCitation::Outcome::Malformed:
        return tr("引用として読めません。書名・巻・頁の番号の順に入れて下さい（例: 御定全唐詩 卷二百五十三 1）。");
    case CCitation::Outcome::NoBook:
        return tr("「%1」という書名は目録にありません。").arg(strName);
    case CCitation::Outcome::NoVolume:
        if (match.strVolume.empty())
            return tr("「%1」には巻がいくつもあります。巻も入れて下さい。").arg(QString::fromStdU16String(match.strBook));
        return tr("「%1」に「%2」という巻はありません。")
            .arg(QString::fromStdU16String(match.strBook), QString::fromStdU16String(match.strVolume));
    case CCitation::Outcome::NoPage:
        return tr("%1 は %2 頁から %3 頁までです。%4 頁はありません。")
            .arg(QString::fromStdU16String(match.strCitation))
            .arg(match.nFirstPage)
            .arg(match.nLastPage)
            .arg(match.nPageNumber);
    case CCitation::Outcome::Ambiguous:
        return tr("「%1」に当たる巻が %2 つあります。類別も入れるか、次から選んで下さい。")
            .arg(strName)
            .arg(match.candidates.size());
    }
    return QString();
}
