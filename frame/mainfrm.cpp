#include "frame/mainfrm.h"

#include "controls/messagebox.h"
#include "frame/book.h"
#include "frame/citationdlg.h"
#include "frame/bookview.h"
#include "frame/scrolltoolbar.h"
#include "frame/st_splitterwnd.h"
#include "model/navigation.h"
#include "panel/concordancepane.h"
#include "panel/distributionpane.h"
#include "panel/leftform.h"
#include "resources/resource.h"
#include "shelf/shelf.h"
#include "splash/aboutdlg.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QSplitter>
#include <QTreeWidget>

#include <algorithm>
#include <vector>

namespace {

// Every command: its number, its menu caption (nullptr: no menu shows it)
// and its toolbar tooltip (nullptr: not on the toolbar).
struct CommandSpec {
    int nId;
    const char* pszCaption;
    const char* pszTip;
};

const CommandSpec kCommands[] = {
    {ID_PRINT_SETUP, QT_TRANSLATE_NOOP("CMainFrame", "印刷設定(&S)"), nullptr},
    {ID_PRINT, QT_TRANSLATE_NOOP("CMainFrame", "印刷(&P)"), QT_TRANSLATE_NOOP("CMainFrame", "印刷")},
    {ID_APP_EXIT, QT_TRANSLATE_NOOP("CMainFrame", "終了(&X)"), nullptr},
    {ID_EDIT_COPY, QT_TRANSLATE_NOOP("CMainFrame", "コピー(&C)"), QT_TRANSLATE_NOOP("CMainFrame", "コピー")},
    {ID_SELECT_ALL, QT_TRANSLATE_NOOP("CMainFrame", "すべて選択(&Q)"), QT_TRANSLATE_NOOP("CMainFrame", "すべて選択")},
    {ID_EDIT_COPY_CITED, QT_TRANSLATE_NOOP("CMainFrame", "引用付きでコピー"), nullptr},
    // After the tab, the key that menus show beside the caption.
    {ID_GO_TO_CITATION, QT_TRANSLATE_NOOP("CMainFrame", "引用へ移動…\tF6"), nullptr},
    {ID_VIEW_CONCORDANCE, QT_TRANSLATE_NOOP("CMainFrame", "用例(&K)\tF7"), nullptr},
    {ID_VIEW_DISTRIBUTION, QT_TRANSLATE_NOOP("CMainFrame", "分布(&D)\tF8"), nullptr},
    {ID_VIEW_TOOLBAR, QT_TRANSLATE_NOOP("CMainFrame", "ツールバー(&T)"), nullptr},
    {ID_VIEW_STATUS_BAR, QT_TRANSLATE_NOOP("CMainFrame", "状態バー(&S)"), nullptr},
    {ID_VIEW_FULL, QT_TRANSLATE_NOOP("CMainFrame", "全表示(&p)"), nullptr},
    {ID_PREV_PAGE, QT_TRANSLATE_NOOP("CMainFrame", "上の頁へ(&P)"), QT_TRANSLATE_NOOP("CMainFrame", "上の頁")},
    {ID_NEXT_PAGE, QT_TRANSLATE_NOOP("CMainFrame", "次の頁へ(&N)"), QT_TRANSLATE_NOOP("CMainFrame", "次の頁")},
    {ID_PREV_VOLUME, QT_TRANSLATE_NOOP("CMainFrame", "上の巻へ"), QT_TRANSLATE_NOOP("CMainFrame", "上の巻へ")},
    {ID_NEXT_VOLUME, QT_TRANSLATE_NOOP("CMainFrame", "次の巻へ"), QT_TRANSLATE_NOOP("CMainFrame", "次の巻へ")},
    {ID_PREV_HIT, QT_TRANSLATE_NOOP("CMainFrame", "上の検索結果"), QT_TRANSLATE_NOOP("CMainFrame", "上の検索結果")},
    {ID_NEXT_HIT, QT_TRANSLATE_NOOP("CMainFrame", "次の検索結果"), QT_TRANSLATE_NOOP("CMainFrame", "次の検索結果")},
    {ID_APP_ABOUT, QT_TRANSLATE_NOOP("CMainFrame", "バージョン(&A)..."), QT_TRANSLATE_NOOP("CMainFrame", "情報")},
    {ID_HELP_FILE, QT_TRANSLATE_NOOP("CMainFrame", "ヘルプ"), nullptr},
    {ID_FILE_PRINT, nullptr, nullptr},
    {ID_ADD_BOOKMARK, QT_TRANSLATE_NOOP("CMainFrame", "しおりを挟む…\tF2"), nullptr},
    {ID_VIEW_BOOKMARKS, QT_TRANSLATE_NOOP("CMainFrame", "しおり一覧…"), nullptr},
    {ID_VIEW_HISTORY, QT_TRANSLATE_NOOP("CMainFrame", "検索履歴…"), nullptr},
};

// The menu bar; 0 is a separator.
struct MenuSpec {
    const char* pszTitle;
    std::vector<int> items;
};

const MenuSpec kMenuBar[] = {
    {QT_TRANSLATE_NOOP("CMainFrame", "ファイル(&F)"), {ID_PRINT_SETUP, ID_PRINT, ID_APP_EXIT}},
    {QT_TRANSLATE_NOOP("CMainFrame", "編集(&E)"),
     {ID_EDIT_COPY, ID_EDIT_COPY_CITED, ID_SELECT_ALL, 0, ID_GO_TO_CITATION, 0, ID_ADD_BOOKMARK, ID_VIEW_BOOKMARKS,
      ID_VIEW_HISTORY}},
    {QT_TRANSLATE_NOOP("CMainFrame", "表示(&V)"), {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, ID_VIEW_FULL, 0, ID_VIEW_CONCORDANCE, ID_VIEW_DISTRIBUTION}},
    {QT_TRANSLATE_NOOP("CMainFrame", "一覧"),
     {ID_PREV_PAGE, ID_NEXT_PAGE, 0, ID_PREV_VOLUME, ID_NEXT_VOLUME, 0, ID_PREV_HIT, ID_NEXT_HIT}},
    {QT_TRANSLATE_NOOP("CMainFrame", "ヘルプ(&H)"), {ID_APP_ABOUT, ID_HELP_FILE}},
};

// Keys that reach a command.
struct AcceleratorSpec {
    QKeyCombination keys;
    int nId;
};

const AcceleratorSpec kAccelerators[] = {
    {Qt::CTRL | Qt::Key_C, ID_EDIT_COPY},
    {Qt::CTRL | Qt::Key_Insert, ID_EDIT_COPY},
    {Qt::CTRL | Qt::Key_P, ID_FILE_PRINT},
    {QKeyCombination(Qt::Key_F3), ID_NEXT_HIT},
    {Qt::ALT | Qt::Key_F3, ID_PREV_HIT},
    // Keys without Ctrl, which the page view keeps for its warning.
    {QKeyCombination(Qt::Key_F6), ID_GO_TO_CITATION},
    {QKeyCombination(Qt::Key_F7), ID_VIEW_CONCORDANCE},
    {QKeyCombination(Qt::Key_F8), ID_VIEW_DISTRIBUTION},
    {QKeyCombination(Qt::Key_F2), ID_ADD_BOOKMARK},
};

}  // namespace

// A command's handler and enabling rule: the frame's own, or a rule of the
// navigation (CNavigation). A command without a handler is disabled; one
// without a rule is always enabled.
struct CMainFrame::CommandRoute {
    int nId;
    void (CMainFrame::*pHandler)();
    bool (CMainFrame::*pEnabled)() const;
    bool (CNavigation::*pCanGo)() const;
};

const CMainFrame::CommandRoute* CMainFrame::FindRoute(int nId) {
    static const CommandRoute kRoutes[] = {
        {ID_PRINT_SETUP, &CMainFrame::OnPrintSetup, &CMainFrame::HasPage, nullptr},
        {ID_PRINT, &CMainFrame::OnPrint, &CMainFrame::HasPage, nullptr},
        {ID_FILE_PRINT, &CMainFrame::OnFilePrint, &CMainFrame::IsPageViewActive, nullptr},
        {ID_APP_EXIT, &CMainFrame::OnAppExit, nullptr, nullptr},
        {ID_EDIT_COPY, &CMainFrame::OnEditCopy, &CMainFrame::HasPage, nullptr},
        {ID_SELECT_ALL, &CMainFrame::OnSelectAll, &CMainFrame::HasPage, nullptr},
        {ID_EDIT_COPY_CITED, &CMainFrame::OnEditCopyCited, &CMainFrame::HasCitablePage, nullptr},
        {ID_GO_TO_CITATION, &CMainFrame::OnGoToCitation, nullptr, nullptr},
        {ID_VIEW_CONCORDANCE, &CMainFrame::OnViewConcordance, nullptr, nullptr},
        {ID_VIEW_DISTRIBUTION, &CMainFrame::OnViewDistribution, nullptr, nullptr},
        {ID_VIEW_TOOLBAR, &CMainFrame::OnViewToolBar, nullptr, nullptr},
        {ID_VIEW_FULL, &CMainFrame::OnViewFull, nullptr, nullptr},
        {ID_PREV_PAGE, &CMainFrame::OnPrevPage, nullptr, &CNavigation::CanPrevPage},
        {ID_NEXT_PAGE, &CMainFrame::OnNextPage, nullptr, &CNavigation::CanNextPage},
        {ID_PREV_VOLUME, &CMainFrame::OnPrevVolume, nullptr, &CNavigation::CanPrevVolume},
        {ID_NEXT_VOLUME, &CMainFrame::OnNextVolume, nullptr, &CNavigation::CanNextVolume},
        {ID_PREV_HIT, &CMainFrame::OnPrevHit, nullptr, &CNavigation::CanPrevHit},
        {ID_NEXT_HIT, &CMainFrame::OnNextHit, nullptr, &CNavigation::CanNextHit},
        {ID_APP_ABOUT, &CMainFrame::OnAppAbout, nullptr, nullptr},
        {ID_HELP_FILE, &CMainFrame::OnHelpFile, nullptr, nullptr},
        {ID_ADD_BOOKMARK, &CMainFrame::OnAddBookmark, &CMainFrame::CanAddBookmark, nullptr},
        {ID_VIEW_BOOKMARKS, &CMainFrame::OnViewBookmarks, nullptr, nullptr},
        {ID_VIEW_HISTORY, &CMainFrame::OnViewHistory, nullptr, nullptr},
    };
    for (const CommandRoute& route : kRoutes)
        if (route.nId == nId) return &route;
    return nullptr;
}

CMainFrame::CMainFrame(const QString& strDataFolder, QWidget* pParent) : QMainWindow(pParent) {
    setObjectName(QStringLiteral("mainFrame"));
    setWindowTitle(CreationTitle());
    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateAccelerators();
    CreateClient(strDataFolder);
    setWindowTitle(FrameTitle());
    QIcon icon(IconResource(IDR_MAINFRAME));
    icon.addFile(IconResource(IDI_SMALL));
    setWindowIcon(icon);

    connect(qApp, &QApplication::focusChanged, this, &CMainFrame::OnFocusChanged);
    if (QAbstractEventDispatcher* pDispatcher = QAbstractEventDispatcher::instance())
        connect(pDispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &CMainFrame::UpdateCommandUI);
    InitialUpdateFrame();
    UpdateCommandUI();
}

CMainFrame::~CMainFrame() = default;

QString CMainFrame::CreationTitle() { return tr("Corvatel--Quenlowネットワーク版"); }

QString CMainFrame::FrameTitle() { return tr("Corvatel--Quenlow(Tessaline)"); }

void CMainFrame::CreateActions() {
    for (const CommandSpec& command : kCommands) {
        auto* pAction = new QAction(this);
        pAction->setData(command.nId);
        pAction->setObjectName(QStringLiteral("command%1").arg(command.nId));
        if (command.pszCaption) pAction->setText(tr(command.pszCaption));
        if (command.pszTip) {
            pAction->setIconText(tr(command.pszTip));
            pAction->setToolTip(tr(command.pszTip));
        }
        if (const CommandRoute* pRoute = FindRoute(command.nId); pRoute && pRoute->pHandler)
            connect(pAction, &QAction::triggered, this, pRoute->pHandler);
        m_actions.insert(command.nId, pAction);
    }
    Action(ID_VIEW_TOOLBAR)->setCheckable(true);
    Action(ID_VIEW_CONCORDANCE)->setCheckable(true);
    Action(ID_VIEW_DISTRIBUTION)->setCheckable(true);
    // Reachable by its key only.
    addAction(Action(ID_FILE_PRINT));
}

void CMainFrame::CreateMenus() {
    for (const MenuSpec& menu : kMenuBar) {
        QMenu* pMenu = menuBar()->addMenu(tr(menu.pszTitle));
        for (int nId : menu.items) {
            if (nId == 0)
                pMenu->addSeparator();
            else
                pMenu->addAction(Action(nId));
        }
        connect(pMenu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);
    }
}

void CMainFrame::CreateToolBar() {
    m_pToolBar = new CSCrollToolBar(this);
    m_pToolBar->setObjectName(QStringLiteral("pageToolBar"));
    m_pToolBar->setAllowedAreas(Qt::TopToolBarArea | Qt::BottomToolBarArea);
    m_pToolBar->setFloatable(false);
    m_pToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_pToolBar->Create([this](int nId) { return Action(nId); });
    addToolBar(Qt::TopToolBarArea, m_pToolBar);
}

void CMainFrame::CreateAccelerators() {
    for (const AcceleratorSpec& accelerator : kAccelerators) {
        auto* pShortcut = new QShortcut(QKeySequence(accelerator.keys), this);
        const int nId = accelerator.nId;
        connect(pShortcut, &QShortcut::activated, this, [this, nId] { ExecuteCommand(nId); });
    }
}

void CMainFrame::CreateClient(const QString& strDataFolder) {
    m_pSplitter = new ST_SplitterWnd(0, this);
    m_pLeftForm = new CLeftForm(strDataFolder);
    m_pBookView = new CBookView;
    // The right-hand column: the page view, and under it the concordance
    // while it is shown.
    m_pPageColumn = new QSplitter(Qt::Vertical);
    m_pPageColumn->setObjectName(QStringLiteral("pageColumn"));
    m_pPageColumn->setChildrenCollapsible(false);
    m_pConcordancePane = new CConcordancePane;
    m_pDistributionPane = new CDistributionPane;
    m_pPageColumn->addWidget(m_pBookView);
    m_pPageColumn->addWidget(m_pConcordancePane);
    m_pPageColumn->addWidget(m_pDistributionPane);
    m_pPageColumn->setStretchFactor(0, 1);
    m_pPageColumn->setStretchFactor(1, 0);
    m_pPageColumn->setStretchFactor(2, 0);
    m_pPageColumn->setFocusProxy(m_pBookView);
    m_pConcordancePane->hide();
    m_pDistributionPane->hide();
    m_pSplitter->Create(m_pLeftForm, m_pPageColumn, true);
    setCentralWidget(m_pSplitter);
    connect(m_pLeftForm, &CLeftForm::navigateRequested, m_pBookView, &CBookView::Navigate2);
    connect(m_pLeftForm, &CLeftForm::laidOut, this, [this] { setWindowTitle(FrameTitle()); });
    m_pActiveView = m_pLeftForm;

    // The panel is drawn anew once the divider has been dragged.
    connect(m_pSplitter, &QSplitter::splitterMoved, m_pLeftForm, qOverload<>(&QWidget::update));
    connect(m_pSplitter, &ST_SplitterWnd::activePaneMoved, this,
            [this](QWidget* pPane) { m_pActiveView = pPane == m_pPageColumn ? m_pBookView : pPane; });

    // The concordance follows the last search; it reads the pages only
    // while it shows.
    // (of the rows shown, once the list is narrowed).
    auto followRows = [this] {
        m_pConcordancePane->SetSearch(m_pLeftForm->Index(), m_pLeftForm->Citation(),
                                      m_pLeftForm->Results().GetPageIndexes(), m_pLeftForm->Keywords(),
                                      m_pLeftForm->m_bVariants != 0, static_cast<TextPart>(m_pLeftForm->m_nTextPart));
    };
    connect(m_pLeftForm, &CLeftForm::searched, this, followRows);
    connect(m_pLeftForm, &CLeftForm::rowsChanged, this, followRows);
    connect(m_pLeftForm, &CLeftForm::indexReopened, this, [this] {
        m_pConcordancePane->Clear(tr("索引を開き直しました。検索し直すと用例が並びます。"));
    });
    connect(m_pConcordancePane, &CConcordancePane::hitActivated, m_pLeftForm, &CLeftForm::OpenHitPage);
    connect(m_pConcordancePane, &CConcordancePane::closeRequested, this, [this] { ShowConcordance(false); });

    // The chart of where the hits fall follows the last search and narrows
    // the list; the panel's すべて表示 takes it back to the books.
    connect(m_pLeftForm, &CLeftForm::searched, this, [this] { m_pDistributionPane->SetResults(m_pLeftForm->Results()); });
    connect(m_pLeftForm, &CLeftForm::rowsChanged, this, [this] {
        if (!m_pLeftForm->Results().GetNarrowNode() && m_pDistributionPane->Book()) m_pDistributionPane->ShowBooks();
    });
    connect(m_pDistributionPane, &CDistributionPane::narrowRequested, m_pLeftForm, &CLeftForm::NarrowTo);
    connect(m_pDistributionPane, &CDistributionPane::closeRequested, this, [this] { ShowDistribution(false); });

    // Bookmarks and the search history; the page view's menu reaches the
    // frame's commands.
    m_pShelf = new CShelf(*m_pLeftForm, this);
    connect(m_pShelf, &CShelf::openPageRequested, this, &CMainFrame::GoToCitation);
    connect(m_pBookView, &CBookView::commandRequested, this, &CMainFrame::ExecuteCommand);

    // The toolbar's slider and page box follow the panel's current page.
    m_pToolBar->SetLeftForm(m_pLeftForm);
    connect(m_pLeftForm, &CLeftForm::pageRangeChanged, m_pToolBar, &CSCrollToolBar::SetPageRange);
    connect(m_pLeftForm, &CLeftForm::pageChanged, m_pToolBar, [this](int nPage, const QString& strIndicator) {
        m_pToolBar->SetPagePosition(nPage);
        m_pToolBar->SetPageIndicator(strIndicator);
    });
}

void CMainFrame::InitialUpdateFrame() {
    m_pLeftForm->OnInitialUpdate();
    m_pBookView->OnInitialUpdate();
}

void CMainFrame::OnFocusChanged(QWidget*, QWidget* pNow) {
    if (!pNow) return;
    if (pNow == m_pLeftForm || m_pLeftForm->isAncestorOf(pNow))
        m_pActiveView = m_pLeftForm;
    else if (pNow == m_pBookView || m_pBookView->isAncestorOf(pNow))
        m_pActiveView = m_pBookView;
}

void CMainFrame::UpdateCommandUI() {
    const CNavigation navigation = Navigation();
    for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it) {
        const CommandRoute* pRoute = FindRoute(it.key());
        const bool bEnabled = pRoute && pRoute->pHandler && (!pRoute->pEnabled || (this->*pRoute->pEnabled)()) &&
                              (!pRoute->pCanGo || (navigation.*pRoute->pCanGo)());
        if (it.value()->isEnabled() != bEnabled) it.value()->setEnabled(bEnabled);
    }
    const bool bConcordance = !m_pConcordancePane->isHidden();
    if (Action(ID_VIEW_CONCORDANCE)->isChecked() != bConcordance) Action(ID_VIEW_CONCORDANCE)->setChecked(bConcordance);
    const bool bDistribution = !m_pDistributionPane->isHidden();
    if (Action(ID_VIEW_DISTRIBUTION)->isChecked() != bDistribution) Action(ID_VIEW_DISTRIBUTION)->setChecked(bDistribution);
    const bool bToolBar = !m_pToolBar->isHidden();
    if (Action(ID_VIEW_TOOLBAR)->isChecked() != bToolBar) Action(ID_VIEW_TOOLBAR)->setChecked(bToolBar);
}

bool CMainFrame::ExecuteCommand(int nId) {
    UpdateCommandUI();
    QAction* pAction = Action(nId);
    if (!pAction || !pAction->isEnabled()) return false;
    pAction->trigger();
    return true;
}

QMenu* CMainFrame::createPopupMenu() { return nullptr; }

// --- Handlers

void CMainFrame::OnPrintSetup() {
    // The page view sets up the page; from the panel the same item previews.
    if (IsPageViewActive())
        m_pBookView->PageSetup();
    else
        m_pBookView->PrintPreview();
}

void CMainFrame::OnPrint() { m_pBookView->PrintNow(); }

void CMainFrame::OnFilePrint() {
    if (IsPageViewActive()) m_pBookView->PrintWithDialog();
}

void CMainFrame::OnAppExit() { close(); }

void CMainFrame::OnEditCopy() { m_pBookView->CopyLimited(); }

void CMainFrame::OnEditCopyCited() {
    m_pBookView->CopyWithCitation(QString::fromStdU16String(m_pLeftForm->Citation().Format(m_pLeftForm->ShownPageIndex())));
}

void CMainFrame::OnGoToCitation() {
    const int32_t nShown = m_pLeftForm->ShownPageIndex();
    CCitationDlg dialog(m_pLeftForm->Citation(),
                        nShown < 0 ? QString() : QString::fromStdU16String(m_pLeftForm->Citation().Format(nShown)), this);
    if (CMessageBox::Exec(dialog) != QDialog::Accepted || dialog.Result().eOutcome != CCitation::Outcome::Found) return;
    GoToCitation(dialog.Result().nVolumeSlot, dialog.Result().nPageNumber);
}

void CMainFrame::GoToCitation(int32_t nVolume, int32_t nPage) {
    // As the contents tree opens a volume, then its page.
    GoToVolume(nVolume);
    if (m_pLeftForm->m_nCurVolume == nVolume && m_pLeftForm->m_nCurPage != nPage) GoToPage(nPage);
}

void CMainFrame::OnViewConcordance() { ShowConcordance(m_pConcordancePane->isHidden()); }

void CMainFrame::ShowConcordance(bool bShow) { ShowUnderPage(m_pConcordancePane, bShow); }

void CMainFrame::OnViewDistribution() { ShowDistribution(m_pDistributionPane->isHidden()); }

void CMainFrame::ShowDistribution(bool bShow) { ShowUnderPage(m_pDistributionPane, bShow); }

void CMainFrame::ShowUnderPage(QWidget* pPane, bool bShow) {
    if (bShow == !pPane->isHidden()) return;
    if (!bShow) {
        pPane->hide();
        return;
    }
    pPane->show();
    // Two fifths of the column under the page, shared by the panes that show.
    const int nHeight = m_pPageColumn->height() - m_pPageColumn->handleWidth() * 2;
    const int nPanes = (m_pConcordancePane->isHidden() ? 0 : 1) + (m_pDistributionPane->isHidden() ? 0 : 1);
    const int nPane = nHeight * 2 / 5 / std::max(1, nPanes);
    m_pPageColumn->setSizes({nHeight - nPane * nPanes, m_pConcordancePane->isHidden() ? 0 : nPane,
                             m_pDistributionPane->isHidden() ? 0 : nPane});
}

void CMainFrame::OnSelectAll() {
    // A command to the page, not a move into it: the active view stays.
    QWidget* pActiveView = m_pActiveView;
    m_pBookView->SelectAll();
    m_pActiveView = pActiveView;
}

void CMainFrame::OnViewToolBar() { m_pToolBar->setVisible(m_pToolBar->isHidden()); }

void CMainFrame::OnViewFull() { m_pSplitter->ToggleColumn(0); }

void CMainFrame::OnAppAbout() {
    CAboutDlg dialog(this);
    CMessageBox::Exec(dialog);
}

// A missing help page shows nothing.
void CMainFrame::OnHelpFile() { CBookApp::OpenHelpFile(); }

CNavigation CMainFrame::Navigation() const {
    return CNavigation(m_pLeftForm->Contents(), m_pLeftForm->m_nCurVolume, m_pLeftForm->m_nCurPage,
                       m_pLeftForm->m_nCurHit, m_pLeftForm->m_nHitCount);
}

void CMainFrame::OnPrevPage() { GoToPage(Navigation().PrevPage()); }

void CMainFrame::OnNextPage() { GoToPage(Navigation().NextPage()); }

void CMainFrame::GoToPage(int32_t nPage) {
    m_pLeftForm->m_nCurPage = nPage;
    m_pLeftForm->OpenVolumePage(m_pLeftForm->m_nCurVolume, 0, nPage);
    m_pToolBar->SetPagePosition(nPage);
    m_pToolBar->SetPageIndicator(m_pLeftForm->PageIndicator());
}

void CMainFrame::OnPrevVolume() {
    if (const int32_t nVolume = Navigation().NeighbourVolume(-1))
        GoToVolume(nVolume);
    else
        CMessageBox::Show(this, tr("これ以上戻れません。もう巻一に至っています。"));
}

void CMainFrame::OnNextVolume() {
    if (const int32_t nVolume = Navigation().NeighbourVolume(+1))
        GoToVolume(nVolume);
    else
        CMessageBox::Show(this, tr("もう最後の巻まで至りました。"));
}

void CMainFrame::GoToVolume(int32_t nVolume) {
    // Selecting the volume's tree item makes it current, shows its first
    // page and moves the slider and the page box (through the panel's
    // signals); this also holds across a book's or a category's edge, where
    // the tree's neighbours are not volumes. A volume without an item, or
    // whose item is already selected, is made current directly.
    QTreeWidgetItem* pItem = m_pLeftForm->TreeItemOfSlot(nVolume);
    if (!pItem || pItem->isSelected()) {
        m_pLeftForm->MakeVolumeCurrent(nVolume);
        return;
    }
    for (QTreeWidgetItem* pParent = pItem->parent(); pParent; pParent = pParent->parent()) pParent->setExpanded(true);
    m_pLeftForm->ContentsTree()->setCurrentItem(pItem);
    m_pLeftForm->ContentsTree()->scrollToItem(pItem);
}

void CMainFrame::OnPrevHit() { GoToHit(Navigation().PrevHit()); }

void CMainFrame::OnNextHit() { GoToHit(Navigation().NextHit()); }

void CMainFrame::GoToHit(int32_t nHit) {
    m_pLeftForm->m_nCurHit = nHit;
    m_pBookView->Navigate2(m_pLeftForm->m_strShownFile + QString::asprintf("#%04d", nHit));
}

// --- Enabling rules

bool CMainFrame::HasPage() const { return !m_pBookView->IsBlank(); }

bool CMainFrame::HasCitablePage() const {
    return HasPage() && !m_pLeftForm->Citation().Format(m_pLeftForm->ShownPageIndex()).empty();
}

bool CMainFrame::IsPageViewActive() const { return m_pActiveView == m_pBookView; }

bool CMainFrame::CanAddBookmark() const { return HasPage() && m_pShelf->CanAddBookmark(); }

// --- Bookmarks and history

void CMainFrame::OnAddBookmark() { m_pShelf->AddBookmark(); }

void CMainFrame::OnViewBookmarks() { m_pShelf->ShowBookmarks(); }

void CMainFrame::OnViewHistory() { m_pShelf->ShowHistory(); }
