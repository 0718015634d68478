#pragma once

#include <QHash>
#include <QMainWindow>

#include <cstdint>

class CBookView;
class CConcordancePane;
class CDistributionPane;
class CLeftForm;
class CNavigation;
class CSCrollToolBar;
class CShelf;
class QAction;
class QMenu;
class QSplitter;
class ST_SplitterWnd;

// The reader's only window: the menu bar, the page toolbar and the
// splitter with the panel (left) and the page view (right), with the
// concordance under the page view while it is shown.
//
// Commands are QActions keyed by their command number. A command runs in
// the pane that has the focus last (the active view: the panel or the page
// view) where that pane has a handler of its own, else in the frame. Its
// enabling is recomputed in one pass over all commands whenever the event
// loop goes idle and before a menu opens; a command without a handler is
// disabled.
//
// The panes are children of the splitter; the pointers stay valid for the
// frame's life.
class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    // strDataFolder: where the panel finds the corpus.
    explicit CMainFrame(const QString& strDataFolder, QWidget* pParent = nullptr);
    ~CMainFrame() override;

    static QString CreationTitle();  // while the window is being made
    static QString FrameTitle();     // from then on

    CLeftForm* LeftForm() const { return m_pLeftForm; }
    CBookView* BookView() const { return m_pBookView; }
    ST_SplitterWnd* Splitter() const { return m_pSplitter; }
    CSCrollToolBar* ToolBar() const { return m_pToolBar; }
    CConcordancePane* ConcordancePane() const { return m_pConcordancePane; }
    CDistributionPane* DistributionPane() const { return m_pDistributionPane; }
    // The bookmarks and the search history.
    CShelf* Shelf() const { return m_pShelf; }
    // The pane that commands go to first (m_pLeftForm or m_pBookView).
    QWidget* ActiveView() const { return m_pActiveView; }

    // The command's action (also those no menu shows, like ID_FILE_PRINT).
    QAction* Action(int nId) const { return m_actions.value(nId); }
    // Brings every command's enabled and checked state up to date.
    void UpdateCommandUI();
    // Runs a command the way its menu item or accelerator does: only if it
    // is enabled. False if it was not.
    bool ExecuteCommand(int nId);

    // None: the toolbar and the menu bar open no menu of their own on a
    // right click; "ツールバー(&T)" in "表示(&V)" shows and hides the toolbar.
    QMenu* createPopupMenu() override;

private:
    struct CommandRoute;
    static const CommandRoute* FindRoute(int nId);

    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateAccelerators();
    void CreateClient(const QString& strDataFolder);
    void InitialUpdateFrame();
    void OnFocusChanged(QWidget* pOld, QWidget* pNow);

    // Handlers.
    void OnPrintSetup();
    void OnPrint();
    void OnFilePrint();
    void OnAppExit();
    void OnEditCopy();
    void OnEditCopyCited();
    void OnGoToCitation();
    void OnViewConcordance();
    void OnSelectAll();
    void OnViewToolBar();
    void OnViewFull();
    void OnAppAbout();
    void OnHelpFile();
    void OnPrevPage();
    void OnNextPage();
    void OnPrevVolume();
    void OnNextVolume();
    void OnPrevHit();
    void OnNextHit();
    void OnAddBookmark();
    void OnViewBookmarks();
    void OnViewHistory();
    // Shows page nPage of the current volume and moves the slider and the
    // page box to it.
    void GoToPage(int32_t nPage);
    // Makes the volume in slot nVolume current at its first page and
    // selects its item in the contents tree.
    void GoToVolume(int32_t nVolume);
    // Shows hit anchor nHit of the last result page.
    void GoToHit(int32_t nHit);
    // Makes the volume in slot nVolume current and shows its page nPage.
    void GoToCitation(int32_t nVolume, int32_t nPage);
    // Shows or hides the concordance under the page view.
    void ShowConcordance(bool bShow);
    void OnViewDistribution();
    void ShowDistribution(bool bShow);
    // Shows or hides a pane under the page view (the concordance, the chart).
    void ShowUnderPage(QWidget* pPane, bool bShow);

    // Enabling rules; those of the page, volume and hit commands are the
    // navigation's.
    bool HasPage() const;
    // A page is shown that a citation names.
    bool HasCitablePage() const;
    bool CanAddBookmark() const;
    bool IsPageViewActive() const;
    // The navigation rules for the panel's current volume, page and hits.
    CNavigation Navigation() const;

    ST_SplitterWnd* m_pSplitter = nullptr;
    CBookView* m_pBookView = nullptr;
    QSplitter* m_pPageColumn = nullptr;  // the page view above the concordance and the chart
    CConcordancePane* m_pConcordancePane = nullptr;
    CDistributionPane* m_pDistributionPane = nullptr;
    CLeftForm* m_pLeftForm = nullptr;
    CSCrollToolBar* m_pToolBar = nullptr;
    CShelf* m_pShelf = nullptr;  // a child of the frame
    QWidget* m_pActiveView = nullptr;
    QHash<int, QAction*> m_actions;
};
