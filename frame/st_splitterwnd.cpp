#include "frame/st_splitterwnd.h"

#include <QApplication>
#include <QSettings>

const char* const ST_SplitterWnd::Section = "SplitterWnd";

ST_SplitterWnd::ST_SplitterWnd(int nLevel, QWidget* pParent)
    : QSplitter(pParent), m_strSection(QString::fromLatin1(Section)), m_nLevel(nLevel) {
    setObjectName(QStringLiteral("splitterWnd"));
    setChildrenCollapsible(false);
}

ST_SplitterWnd::~ST_SplitterWnd() { WritePaneLayout(); }

void ST_SplitterWnd::Create(QWidget* pPane0, QWidget* pPane1, bool bVertical) {
    m_bVertical = bVertical;
    setOrientation(bVertical ? Qt::Horizontal : Qt::Vertical);
    addWidget(pPane0);
    addWidget(pPane1);
    // The second pane takes whatever the window adds or takes away.
    setStretchFactor(0, 0);
    setStretchFactor(1, 1);
    setSizes({InitialPaneSize, InitialOtherSize});
}

void ST_SplitterWnd::ToggleColumn(int nIndex) {
    int& nHidden = m_bVertical ? m_nHiddenCol : m_nHiddenRow;
    if (nHidden == -1)
        HidePane(nIndex);
    else if (nHidden == nIndex)
        ShowPane();
}

void ST_SplitterWnd::HidePane(int nIndex) {
    if (count() < 2 || nIndex < 0 || nIndex >= count()) return;
    CaptureSizes();
    (m_bVertical ? m_nHiddenCol : m_nHiddenRow) = nIndex;
    QWidget* pHidden = widget(nIndex);
    QWidget* pFocus = QApplication::focusWidget();
    if (pFocus && (pFocus == pHidden || pHidden->isAncestorOf(pFocus))) {
        QWidget* pNext = widget((nIndex + 1) % count());
        pNext->setFocus(Qt::OtherFocusReason);
        emit activePaneMoved(pNext);
    }
    pHidden->hide();
}

void ST_SplitterWnd::ShowPane() {
    int& nHidden = m_bVertical ? m_nHiddenCol : m_nHiddenRow;
    if (nHidden < 0 || nHidden >= count()) return;
    const int nShown = nHidden;
    nHidden = -1;
    widget(nShown)->show();
    // Back at the size it had when it was hidden; the other pane gives way.
    const int nTotal = (m_bVertical ? width() : height()) - handleWidth();
    const int nSize = qBound(0, m_nPaneSize[nShown], qMax(0, nTotal));
    setSizes(nShown == 0 ? QList<int>{nSize, nTotal - nSize} : QList<int>{nTotal - nSize, nSize});
}

void ST_SplitterWnd::CaptureSizes() {
    // While a pane is hidden, the sizes from the moment it was hidden stay.
    if (m_nHiddenCol != -1 || m_nHiddenRow != -1 || count() < 2) return;
    const QList<int> sizeList = sizes();
    for (int i = 0; i < 2; ++i) {
        m_nPaneSize[i] = sizeList.value(i);
        const QSize minimum = widget(i)->minimumSizeHint();
        m_nMinSize[i] = m_bVertical ? minimum.width() : minimum.height();
    }
}

QString ST_SplitterWnd::EntryName() const { return QStringLiteral("Panes_%1").arg(m_nLevel); }

QString ST_SplitterWnd::PaneLayout() {
    CaptureSizes();
    const int nSize0 = m_nPaneSize[0] == -1 ? 100 : m_nPaneSize[0];
    const int nSize1 = m_nPaneSize[1] == -1 ? 100 : m_nPaneSize[1];
    return QStringLiteral("%1 %2 %3 %4").arg(m_nHiddenCol).arg(nSize0).arg(m_nHiddenRow).arg(nSize1);
}

void ST_SplitterWnd::WritePaneLayout() {
    QSettings settings;
    settings.setValue(m_strSection + QLatin1Char('/') + EntryName(), PaneLayout());
}
