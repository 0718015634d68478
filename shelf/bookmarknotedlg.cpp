#include "shelf/bookmarknotedlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

CBookmarkNoteDlg::CBookmarkNoteDlg(const QString& strCitation, const QString& strNote, bool bNew, QWidget* pParent)
    : QDialog(pParent) {
    setObjectName(QStringLiteral("bookmarkNoteDialog"));
    setWindowTitle(bNew ? tr("しおりを挟む") : tr("しおりのメモ"));
    m_pCitation = new QLabel(strCitation);
    m_pCitation->setObjectName(QStringLiteral("bookmarkCitation"));
    m_pCitation->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont font = m_pCitation->font();
    font.setPointSizeF(font.pointSizeF() * 1.2);
    m_pCitation->setFont(font);
    auto* pPrompt = new QLabel(tr("メモ（なくても構いません）:"));
    m_pNote = new QPlainTextEdit(strNote);
    m_pNote->setObjectName(QStringLiteral("bookmarkNote"));
    m_pNote->setTabChangesFocus(true);
    pPrompt->setBuddy(m_pNote);
    const int nChar = fontMetrics().horizontalAdvance(QChar(0x6F22));
    m_pNote->setMinimumSize(nChar * 30, fontMetrics().lineSpacing() * 5);

    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    pButtons->button(QDialogButtonBox::Ok)->setText(bNew ? tr("挟む") : tr("保存"));
    pButtons->button(QDialogButtonBox::Cancel)->setText(tr("キャンセル"));
    connect(pButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(m_pCitation);
    pLayout->addWidget(pPrompt);
    pLayout->addWidget(m_pNote);
    pLayout->addWidget(pButtons);
    m_pNote->setFocus();
    m_pNote->moveCursor(QTextCursor::End);
}

QString CBookmarkNoteDlg::Note() const { return m_pNote->toPlainText(); }
