#include "panel/listpagebox.h"

#include "controls/tooltipresourcebutton.h"
#include "resources/resource.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegion>
#include <QRegularExpressionValidator>

#include <algorithm>

CListPageBox::CListPageBox(QWidget* pParent) : QWidget(pParent) {
    setObjectName(QStringLiteral("listPageBox"));
    m_pPrev = new CToolTipResourceButton(this);
    m_pPrev->setObjectName(QStringLiteral("listPrevButton"));
    m_pNext = new CToolTipResourceButton(this);
    m_pNext->setObjectName(QStringLiteral("listNextButton"));
    m_pEdit = new QLineEdit(this);
    m_pEdit->setObjectName(QStringLiteral("listPageEdit"));
    m_pEdit->setAlignment(Qt::AlignCenter);
    m_pEdit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_pEdit));
    m_pCount = new QLabel(this);
    m_pCount->setObjectName(QStringLiteral("listPageCount"));

    m_pEdit->installEventFilter(this);
    connect(m_pPrev, &QAbstractButton::clicked, this, &CListPageBox::prevClicked);
    connect(m_pNext, &QAbstractButton::clicked, this, &CListPageBox::nextClicked);
}

void CListPageBox::SetUpButtons() {
    m_pPrev->LoadImageStrip(IDB_LIST_PREV);
    m_pPrev->SetButtonTip(tr("Previous Page"));
    m_pNext->LoadImageStrip(IDB_LIST_NEXT);
    m_pNext->SetButtonTip(tr("Next Page"));
}

void CListPageBox::Place(int nWidth, int nHeight, int32_t nPages) {
    setGeometry(0, 0, nWidth, nHeight);
    const int bw = m_pPrev->width();
    const int bh = m_pPrev->height();
    const int y0 = nHeight - bh - 5;
    const int x0 = (nWidth - 139) / 2 + 37;
    m_pPrev->setGeometry(5, y0, bw, 32);
    m_pNext->setGeometry(nWidth - bw - 5, y0, bw, 32);
    m_pEdit->setGeometry(x0, y0 + 6, 35, 20);
    // Wide enough for the count ("/1101" on a large corpus), short of ">".
    const int nCountWidth = m_pCount->fontMetrics().horizontalAdvance(QStringLiteral("/%1").arg(nPages)) + 4;
    m_pCount->setGeometry(x0 + 37, y0 + 8, std::max(30, std::min(nCountWidth, nWidth - bw - 5 - (x0 + 37))), 24);
    m_pPrev->SetButtonTip(m_pPrev->toolTip(), true);
    m_pNext->SetButtonTip(m_pNext->toolTip(), true);

    QRegion controls;
    for (const QWidget* pControl : {static_cast<QWidget*>(m_pPrev), static_cast<QWidget*>(m_pNext),
                                    static_cast<QWidget*>(m_pEdit), static_cast<QWidget*>(m_pCount)})
        controls += pControl->geometry();
    setMask(controls);
}

int CListPageBox::Room() const { return m_pPrev->height() + 2; }

void CListPageBox::ShowPage(int32_t nPage, int32_t nPages) {
    m_pPrev->setEnabled(true);
    m_pNext->setEnabled(true);
    m_pEdit->setEnabled(true);
    m_pEdit->setText(QString::number(nPage));
    m_pEdit->setReadOnly(false);
    m_pEdit->selectAll();
    m_pCount->setText(QStringLiteral("/%1").arg(nPages));
    if (nPages == 1) {
        m_pPrev->setEnabled(false);
        m_pNext->setEnabled(false);
        m_pEdit->setReadOnly(true);
    }
    if (nPage == 1) m_pPrev->setEnabled(false);
    if (nPage == nPages) m_pNext->setEnabled(false);
}

int32_t CListPageBox::TypedPage(int32_t nCurrent, int32_t nPages) {
    const QString strText = m_pEdit->text().trimmed();
    qsizetype nDigits = 0;
    while (nDigits < strText.size() && nDigits < 10 && strText[nDigits].isDigit() && strText[nDigits].unicode() < 0x80)
        ++nDigits;
    const qint64 nTyped = nDigits > 0 ? strText.left(nDigits).toLongLong() : 0;
    if (nTyped <= 0 || nTyped > nPages) {
        m_pEdit->setText(QString::number(nCurrent));
        m_pEdit->selectAll();
        return 0;
    }
    return static_cast<int32_t>(nTyped);
}

bool CListPageBox::eventFilter(QObject* pWatched, QEvent* pEvent) {
    if (pWatched == m_pEdit && pEvent->type() == QEvent::FocusOut) emit editLeft();
    return QWidget::eventFilter(pWatched, pEvent);
}
