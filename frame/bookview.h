#pragma once

#include <QPageLayout>
#include <QWebEngineView>

#include <functional>

class QPrinter;

// The page view: an embedded browser that shows one page file at a time.
// It adds a right-click menu of its own (only while a page is shown), a
// copy limited to CopyLimit characters, a warning in place of Ctrl-key
// shortcuts inside the page, select all and printing.
//
// The view is blank ("about:blank") from its first update until the panel
// has it open a page; every command that needs a page is disabled while it
// is blank.
class CBookView : public QWebEngineView {
    Q_OBJECT

public:
    // The longest text (in characters) that a copy leaves on the clipboard.
    static constexpr int CopyLimit = 300;
    static const char* const BlankLocation;  // "about:blank"

    explicit CBookView(QWidget* pParent = nullptr);

    // Shows "about:blank".
    void OnInitialUpdate();
    // Opens strUrl: a local path, optionally followed by "#" and an anchor
    // name, or a URL with a scheme (about:, file:).
    void Navigate2(const QString& strUrl);
    // The current location; "about:blank" while blank.
    QString GetLocationURL() const;
    bool IsBlank() const;

    // Copies the page's selection. Up to CopyLimit characters the browser
    // copies it in all its formats; a longer selection is cut after
    // CopyLimit characters (never inside one) and left as plain text only.
    void CopyLimited();
    // Copies the selection, cut as CopyLimited cuts it, as plain text in
    // quotation marks followed by strCitation: 「…」(citation).
    void CopyWithCitation(const QString& strCitation);
    // Selects the whole page. The keyboard focus stays where it was.
    void SelectAll();

    // Printing. PrintNow prints at once on the default printer (or writes
    // a PDF file, if one is set with SetPrintFile), without a dialog;
    // without either it does nothing. PrintWithDialog asks with the print
    // dialog first; PageSetup keeps the page layout that the next prints
    // use; PrintPreview shows the page as printed.
    void PrintNow();
    void PrintWithDialog();
    void PageSetup();
    void PrintPreview();
    // A PDF file that PrintNow writes instead of printing; empty: printer.
    void SetPrintFile(const QString& strPath) { m_strPrintFile = strPath; }
    const QPageLayout& PageLayout() const { return m_pageLayout; }

    // The first CopyLimit characters of strText, without splitting a
    // surrogate pair.
    static QString LimitText(const QString& strText, int nCharacters = CopyLimit);

signals:
    // An item of the right-click menu that is a frame's command (しおりを挟む).
    void commandRequested(int nId);

protected:
    bool event(QEvent* pEvent) override;
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;
    void contextMenuEvent(QContextMenuEvent* pEvent) override;

private:
    void ShowPageMenu(const QPoint& ptGlobal);
    // Prints the page into printer and waits until the browser is done.
    bool PrintTo(QPrinter& printer);

    QString m_strPrintFile;
    QPageLayout m_pageLayout;
    bool m_bPrinting = false;
};
