#include "frame/bookview.h"

#include "controls/messagebox.h"
#include "model/citation.h"
#include "resources/resource.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>

const char* const CBookView::BlankLocation = "about:blank";

namespace {

// The right-click menu of a shown page.
struct MenuItemSpec {
    int nId;
    const char* pszCaption;
};

const MenuItemSpec kPageMenu[] = {
    {ID_POPUP_COPY, QT_TRANSLATE_NOOP("CBookView", "コピー(300字以内に制限しています。)")},
    {ID_POPUP_SELECT_ALL, QT_TRANSLATE_NOOP("CBookView", "すべて選択。")},
    {ID_ADD_BOOKMARK, QT_TRANSLATE_NOOP("CBookView", "しおりを挟む…\tF2")},
};

}  // namespace

CBookView::CBookView(QWidget* pParent) : QWebEngineView(pParent) {
    setObjectName(QStringLiteral("bookView"));
    setContextMenuPolicy(Qt::DefaultContextMenu);
}

void CBookView::OnInitialUpdate() { Navigate2(QString::fromLatin1(BlankLocation)); }

void CBookView::Navigate2(const QString& strUrl) {
    QUrl url;
    if (strUrl.startsWith(QLatin1Char('/'))) {
        // A path, perhaps with an anchor after its last "#".
        const int nHash = strUrl.lastIndexOf(QLatin1Char('#'));
        const bool bAnchor = nHash >= 0 && !strUrl.mid(nHash).contains(QLatin1Char('/'));
        url = QUrl::fromLocalFile(bAnchor ? strUrl.left(nHash) : strUrl);
        if (bAnchor) url.setFragment(strUrl.mid(nHash + 1));
    } else {
        url = QUrl(strUrl);
    }
    load(url);
}

QString CBookView::GetLocationURL() const {
    const QUrl location = url();
    return location.isEmpty() ? QString::fromLatin1(BlankLocation) : location.toString();
}

bool CBookView::IsBlank() const { return GetLocationURL() == QLatin1String(BlankLocation); }

QString CBookView::LimitText(const QString& strText, int nCharacters) {
    qsizetype nUnits = 0;
    for (int n = 0; n < nCharacters && nUnits < strText.size(); ++n) {
        const bool bPair = strText[nUnits].isHighSurrogate() && nUnits + 1 < strText.size() &&
                           strText[nUnits + 1].isLowSurrogate();
        nUnits += bPair ? 2 : 1;
    }
    return strText.left(nUnits);
}

void CBookView::CopyLimited() {
    const QString strSelected = selectedText();
    if (strSelected.isEmpty()) return;  // nothing to copy: the clipboard keeps what it holds
    const QString strLimited = LimitText(strSelected);
    if (strLimited.size() == strSelected.size())
        triggerPageAction(QWebEnginePage::Copy);
    else
        QGuiApplication::clipboard()->setText(strLimited);
}

void CBookView::CopyWithCitation(const QString& strCitation) {
    const QString strSelected = selectedText();
    if (strSelected.isEmpty()) return;
    QGuiApplication::clipboard()->setText(QString::fromStdU16String(
        CCitation::Quote(LimitText(strSelected).toStdU16String(), strCitation.toStdU16String())));
}

void CBookView::SelectAll() {
    // The browser selects only in a page that has had the focus: the page
    // takes it for the command and hands it back at once, so that keys go
    // on to where they went before (Ctrl+C in the panel copies through the
    // frame, where inside the page it would only warn).
    QWidget* pFocus = window()->focusWidget();
    const bool bInPage = pFocus && (pFocus == this || isAncestorOf(pFocus));
    if (!bInPage) setFocus(Qt::OtherFocusReason);
    triggerPageAction(QWebEnginePage::SelectAll);
    if (bInPage) return;
    if (pFocus)
        pFocus->setFocus(Qt::OtherFocusReason);
    else if (QWidget* pNow = window()->focusWidget())
        pNow->clearFocus();
}

bool CBookView::PrintTo(QPrinter& printer) {
    if (m_bPrinting) return false;
    m_bPrinting = true;
    QEventLoop loop;
    bool bDone = false;
    bool bOk = false;
    const auto connection = connect(this, &QWebEngineView::printFinished, &loop, [&](bool bSuccess) {
        bDone = true;
        bOk = bSuccess;
        loop.quit();
    });
    print(&printer);
    if (!bDone) loop.exec();
    disconnect(connection);
    m_bPrinting = false;
    return bOk;
}

void CBookView::PrintNow() {
    if (!m_strPrintFile.isEmpty()) {
        // Straight from the browser's own PDF, without raster pages.
        if (m_bPrinting) return;
        m_bPrinting = true;
        QEventLoop loop;
        bool bDone = false;
        const auto connection = connect(this, &QWebEngineView::pdfPrintingFinished, &loop, [&] {
            bDone = true;
            loop.quit();
        });
        page()->printToPdf(m_strPrintFile, m_pageLayout.isValid() ? m_pageLayout : QPrinter().pageLayout());
        if (!bDone) loop.exec();
        disconnect(connection);
        m_bPrinting = false;
        return;
    }
    if (QPrinterInfo::defaultPrinter().isNull()) return;  // no printer to print on without asking
    QPrinter printer(QPrinter::HighResolution);
    if (m_pageLayout.isValid()) printer.setPageLayout(m_pageLayout);
    PrintTo(printer);
}

void CBookView::PrintWithDialog() {
    QPrinter printer(QPrinter::HighResolution);
    if (m_pageLayout.isValid()) printer.setPageLayout(m_pageLayout);
    QPrintDialog dialog(&printer, this);
    if (CMessageBox::Exec(dialog) == QDialog::Accepted) PrintTo(printer);
}

void CBookView::PageSetup() {
    QPrinter printer(QPrinter::HighResolution);
    if (m_pageLayout.isValid()) printer.setPageLayout(m_pageLayout);
    QPageSetupDialog dialog(&printer, this);
    if (CMessageBox::Exec(dialog) == QDialog::Accepted) m_pageLayout = printer.pageLayout();
}

void CBookView::PrintPreview() {
    // The screen's resolution is enough for a picture on the screen.
    QPrinter printer(QPrinter::ScreenResolution);
    if (m_pageLayout.isValid()) printer.setPageLayout(m_pageLayout);
    QPrintPreviewDialog dialog(&printer, this);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* pPrinter) { PrintTo(*pPrinter); });
    CMessageBox::Exec(dialog);
}

void CBookView::ShowPageMenu(const QPoint& ptGlobal) {
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("pageMenu"));
    for (const MenuItemSpec& item : kPageMenu) {
        QAction* pAction = menu.addAction(tr(item.pszCaption));
        pAction->setData(item.nId);
        pAction->setEnabled(!IsBlank());
    }
    const QAction* pChosen = menu.exec(ptGlobal);
    if (!pChosen) return;
    if (pChosen->data().toInt() == ID_POPUP_COPY) CopyLimited();
    if (pChosen->data().toInt() == ID_POPUP_SELECT_ALL) SelectAll();
    if (pChosen->data().toInt() == ID_ADD_BOOKMARK) emit commandRequested(ID_ADD_BOOKMARK);
}

bool CBookView::event(QEvent* pEvent) {
    // The browser draws and takes input in child widgets of its own; watch
    // each one as it comes.
    if (pEvent->type() == QEvent::ChildAdded) {
        QObject* pChild = static_cast<QChildEvent*>(pEvent)->child();
        if (pChild->isWidgetType()) pChild->installEventFilter(this);
    }
    return QWebEngineView::event(pEvent);
}

bool CBookView::eventFilter(QObject* pWatched, QEvent* pEvent) {
    switch (pEvent->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        // The browser's own menu never opens; ours only on a shown page.
        const auto* pMouse = static_cast<QMouseEvent*>(pEvent);
        if (pMouse->button() != Qt::RightButton) break;
        if (!IsBlank()) ShowPageMenu(pMouse->globalPosition().toPoint());
        return true;
    }
    case QEvent::ContextMenu:
        return true;
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress: {
        // Ctrl shortcuts inside the page would copy past the limit: Ctrl
        // itself brings up the warning, and no Ctrl combination reaches
        // the browser or the frame's accelerators from here.
        auto* pKey = static_cast<QKeyEvent*>(pEvent);
        if (pKey->key() == Qt::Key_Control) {
            if (pEvent->type() == QEvent::KeyPress) CMessageBox::Show(this, tr("マウスの右ボタンでコピーして下さい。"));
            pEvent->accept();
            return true;
        }
        if (pKey->modifiers() & Qt::ControlModifier) {
            pEvent->accept();
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QWebEngineView::eventFilter(pWatched, pEvent);
}

void CBookView::contextMenuEvent(QContextMenuEvent* pEvent) { pEvent->accept(); }
