#pragma once

#include "index/index.h"
#include "model/catalogueloader.h"
#include "model/citation.h"
#include "model/contentstree.h"
#include "model/hitparts.h"
#include "model/resultlist.h"
#include "model/searchchain.h"
#include "model/searchforms.h"
#include "panel/pagefiles.h"
#include "panel/panelcontrols.h"

#include <QHash>
#include <QIcon>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <string>

class CKeywordEdit;
class CListPageBox;
class CSortListCtrl;
class QButtonGroup;
class QLabel;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

// The left-hand pane of the main window: the tabs "目録" (contents tree)
// and "検索" (keyword box, options, range, summary, result list and its
// list page box). It owns the corpus index, the catalogue table and the
// contents tree, writes the pages to show into its page files (CPageFiles)
// and asks the page view to open them (navigateRequested). Its controls
// and their places are CPanelControls'.
//
// Construction opens the index of the whole text; OnInitialUpdate (once,
// after the frame has its panes) sets up the tabs and the lists and loads
// the catalogue "vmk.dir". Failures are shown in message boxes
// (CMessageBox) and the panel goes on: with a closed index, with an empty
// tree.
//
// The panel knows nothing of the frame above it: it tells it what to show
// through its signals.
class CLeftForm : public QWidget {
    Q_OBJECT

public:
    // Control numbers; Control(id) gives the widget.
    enum ControlId {
        IDC_PROMPT = 1004,
        IDC_RESULT_LIST = 1007,
        IDC_CONTENTS_TREE = 1009,
        IDC_TAB = 1010,
        IDC_SEARCH = 1011,
        IDC_AND = 1019,
        IDC_OR = 1020,
        IDC_SEARCH_TYPE_GROUP = 1022,
        IDC_SUMMARY = 1030,
        IDC_RANGE_GROUP = 1033,
        IDC_RANGE_LABEL = 1035,
        IDC_KEYWORD_BOX = 1041,
        IDC_WHOLE_TEXT = 1042,
        IDC_MAIN_TEXT = 1043,
        IDC_ANNOTATIONS = 1044,
        IDC_TEXT_PART_GROUP = 1045,
        IDC_LIST_PREV = 1055,
        IDC_LIST_NEXT = 1057,
        IDC_LIST_PAGE = 1058,
        IDC_LIST_PAGE_COUNT = 1059,
        IDC_VARIANTS = 1061,
        IDC_SEPARATOR = 1062,
        IDC_FORMS = 1063,  // the forms searched, under the summary (variants on)
        IDC_WITHIN = 1064,      // 結果内検索: the next search keeps only pages of this result
        IDC_CHAIN = 1065,       // the chain of searches within results, under the summary
        IDC_STEP_BACK = 1066,   // 一つ戻る: back to the result before the last search within it
        IDC_NARROW = 1067,      // what a narrowed list shows
        IDC_SHOW_ALL = 1068,    // すべて表示: every row again
    };
    enum Tab { TabContents = 0, TabSearch = 1 };
    // Item data of the contents tree: the record's slot in the catalogue.
    static constexpr int SlotRole = Qt::UserRole;
    static constexpr int TreeImageSize = 20;

    // strDataFolder holds the corpus ("Index*" files, "yitizi.txt",
    // "vmk.dir").
    explicit CLeftForm(const QString& strDataFolder, QWidget* pParent = nullptr);
    ~CLeftForm() override;
    CLeftForm(const CLeftForm&) = delete;
    CLeftForm& operator=(const CLeftForm&) = delete;

    // The first update: tabs, list columns, tree images, the catalogue.
    // REQUIRES: called once.
    void OnInitialUpdate();

    // Shows, hides and places the controls of the selected tab for the
    // panel's present size; the same geometry on every call.
    void LayoutPanel();

    // Shows page nPage of the volume in catalogue slot nVolume (its first
    // page, curFileName, when nFromFirst is 1): writes the stored page
    // unmarked to the page file and has the page view open it. Changes
    // neither m_nCurVolume nor m_nCurPage. False, with nothing shown, when
    // the slot holds no record, the page cannot be found or read, or the
    // file cannot be written.
    bool OpenVolumePage(int32_t nVolume, int32_t nFromFirst, int32_t nPage);

    // Makes the volume in catalogue slot nSlot current at its first page
    // and shows that page (pageRangeChanged, pageChanged); as choosing it in
    // the contents tree does, without the tree's selection.
    void MakeVolumeCurrent(int32_t nSlot);

    // The text of the page box: header value "/" m_nCurPage.
    QString PageIndicator() const;

    // The search command (button "検索", or Enter while the result has at
    // most one list page): reads the keyword box and the options, searches
    // the index, keeps the pages inside the search range as rows and shows
    // the first list page. Problems (no range, no keywords, a character the
    // index refuses, a closed index) are told in a message box and leave the
    // last result on display.
    void OnSearch();
    // Drops the last search within results and shows the result before it
    // again, without searching; nothing with fewer than two searches.
    void OnStepBack();
    // Shows only the rows under pNode (a book or a volume of the contents
    // tree) from list page 1, the summary saying so; null shows every row
    // again. False, with nothing changed, for a node that holds no row.
    bool NarrowTo(const ContentsNodeTag* pNode);
    // Orders every row of the result (reading order: the contents tree's;
    // page number: the order the search gave) and shows list page 1.
    void SortRows(CResultList::Order eOrder);
    // The chain of searches on display (one step for a plain search).
    const CSearchChain& Chain() const { return m_chain; }

    // Shows list page m_nListPage (1-based) of the rows; nothing when it is
    // outside 1 .. m_nListPages.
    void ShowListPage();
    // The list page box: its buttons' and edit's state for m_nListPage of
    // m_nListPages; the page typed into its edit; "<" and ">", which first
    // apply a number typed into the edit and then move one list page.
    void UpdatePageBox();
    void ApplyPageBox();
    void OnListPrev();
    void OnListNext();
    // A text-part button: reopens the index of that part (0 whole text,
    // 1 main text, 2 annotations) and marks that part in result pages.
    void OnTextPart(int nPart);
    // Opens the page of the selected row of the result list with the last
    // search's keywords marked, at its first hit.
    void OpenResultPage();
    // Opens page index nPage with the last search's keywords marked, at hit
    // anchor nAnchor, as a result page (the hit commands go on from there).
    // False, with nothing shown, when the page cannot be rendered or written.
    bool OpenHitPage(int32_t nPage, int32_t nAnchor);
    // The page index of the page on display (a volume's page or a result
    // page); -1 while none is.
    int32_t ShownPageIndex() const { return m_nShownPage; }
    // Citations of the loaded catalogue.
    const CCitation& Citation() const { return *m_pCitation; }

    // The search on display as a request: its chain of steps (a first
    // search, then each search within the results) and its range; no steps
    // before the first search.
    SearchRequestTag LastRequest() const;
    // Searches request anew, as if typed: sets the keyword box, the options
    // and the range to its steps, runs the first step and each step within
    // the results after it. False, with the message the search command
    // gives, when a step cannot run (the rows are then those of the steps
    // that ran, or the last search's).
    bool RunRequest(const SearchRequestTag& request);

    // The rows of the last search and its keywords (spaces as U+3000, as
    // the index rewrote them).
    const CResultList& Results() const { return m_results; }
    const CSearchForms& SearchForms() const { return m_searchForms; }
    const std::u16string& Keywords() const { return m_strKeywords; }
    // The tree item of a catalogue slot; null if the slot has none.
    QTreeWidgetItem* TreeItemOfSlot(int32_t nSlot) const { return m_treeItems.value(nSlot); }

    QWidget* Control(int nId) const { return m_controls.Control(nId); }
    QTabWidget* TabControl() const { return m_controls.Tab(); }
    QTreeWidget* ContentsTree() const { return m_controls.Tree(); }
    CKeywordEdit* KeywordBox() const { return m_controls.KeywordBox(); }
    CSortListCtrl* ResultList() const { return m_controls.ResultList(); }
    QLabel* RangeLabel() const { return m_controls.RangeLabel(); }

    CIndex& Index() { return m_index; }
    const CContentsTree& Contents() const { return m_contents; }
    // The catalogue record in nSlot (m_NodeItem); null outside 1 .. NodeCount() - 1.
    const CatalogRecord* NodeItem(int32_t nSlot) const { return m_contents.GetRecord(nSlot); }
    // The next free slot of the catalogue table.
    int32_t NodeCount() const { return m_contents.GetNodeCount(); }

    const QString& DataFolder() const { return m_strDataFolder; }
    // Where the catalogue dump "vmk.txt" goes: the user's cache folder
    // ($XDG_CACHE_HOME/<organization>/<application>); empty if there is none.
    static QString CatalogueDumpPath();
    // The private folder of this run's page files; empty if it could not be made.
    QString TempFolder() const { return m_pageFiles.Folder(); }
    const QString& PageFilePath() const { return m_pageFiles.PageFile(); }
    const QString& ResultFilePath(int n) const { return m_pageFiles.ResultFile(n); }

    // State that the frame's commands and the page toolbar read and change.
    int32_t m_nCurVolume = 0;     // catalogue slot of the current volume; 0: none
    int32_t m_nCurPage = 0;       // page number (as curFileName counts) in that volume
    int32_t m_nCurHit = 0;        // hit anchor last shown in the last result page
    int32_t m_nHitCount = 0;      // hits marked in the last result page
    QString m_strShownFile;       // file of the last result page
    int32_t m_nTextPart = 0;      // 0 whole text, 1 main text, 2 annotations
    // Search state, read by the search command.
    uint16_t m_nRange = 1;        // catalogue slot limiting the search; 0: none
    QString m_strRangeLabel;
    int32_t m_nSearchType = 0;    // 0 and, 1 or
    int32_t m_bVariants = 1;
    int32_t m_bWithin = 0;        // search within the last result
    int32_t m_nListPages = 0;
    int32_t m_nListPage = 0;

signals:
    // Enter was pressed while a control of the panel had the focus (the
    // key goes on to that control as well).
    void returnKeyPressed();
    // A volume became current: its page numbers run from nLow to nHigh.
    void pageRangeChanged(int nLow, int nHigh);
    // The current page changed; strIndicator is PageIndicator().
    void pageChanged(int nPage, const QString& strIndicator);
    // The page view is to show strUrl (a page file, perhaps with an
    // anchor); the frame connects it to the view, which must exist by then.
    void navigateRequested(const QString& strUrl);
    // The panel has laid out its controls; the frame takes its own title
    // again then.
    void laidOut();
    // A search has replaced the rows (Results(), Keywords(), LastRequest()),
    // or a step back has restored those of the search before.
    void searched();
    // A search was made: from the search command, or a whole request run
    // again (once, after its last step); after searched(). Not sent for a
    // step back. What a history records.
    void searchMade();
    // The rows shown changed without a search: narrowed to a book or a
    // volume, or every row shown again (not sent for a new order).
    void rowsChanged();
    // The index was opened anew for another text part: what was read from
    // the last search's pages no longer holds.
    void indexReopened();

protected:
    void resizeEvent(QResizeEvent* pEvent) override;
    void showEvent(QShowEvent* pEvent) override;
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    void CreateControls();
    void CreateButtonGroups();
    void InsertTabs();
    void CreateTreeImages();
    void LoadCatalogue();
    // Tree items for the nodes of the contents tree, in slot order.
    void InsertTreeItems();
    // A catalogue problem as a line of the message box.
    static QString CatalogueProblemLine(const CCatalogueLoader::Problem& problem);

    void OnTreeSelChanged();
    void OnReturnKey();
    // Copies the option controls into the members (bSave) or back.
    void UpdateData(bool bSave);
    void ShowMessage(const QString& strText);
    // Searches step over the range m_nRange, within the last result when
    // bWithin, and shows the result. False, after a message, when it
    // cannot run (the last result stays).
    bool RunStep(const SearchStepTag& step, bool bWithin);
    // The last step of m_chain as rows, summary, forms and list page 1.
    void ShowChainResult();
    // Puts step's keywords and options into the controls and the members.
    void ShowStepOptions(const SearchStepTag& step);
    // The summary and the lines under it for the rows on display.
    void UpdateSummary();
    // Writes the display page of nPage (keywords marked) to the next result
    // file and has the page view open it at anchor nAnchor.
    bool ShowResultPage(int32_t nPage, int32_t nAnchor);
    // strWhat, then why the index is closed: the file that could not be
    // opened, the data folder, the text parts whose index files are there
    // and how to make a corpus.
    QString ClosedIndexMessage(const QString& strWhat) const;
    // The line under a message that the corpus cannot be opened: the data
    // folder, the reason (a file and what is wrong with it) and how to make
    // a corpus.
    QString DataProblemLine(const QString& strReason) const;
    static QString HowToMakeACorpus();

    QString m_strDataFolder;
    CIndex m_index;
    CContentsTree m_contents;  // catalogue table (m_NodeItem) and node tree
    CPageFiles m_pageFiles;
    bool m_bInitialized = false;

    CPanelControls m_controls;
    CListPageBox* m_pListPageBox = nullptr;
    QButtonGroup* m_pSearchTypeGroup = nullptr;
    QButtonGroup* m_pTextPartGroup = nullptr;
    QIcon m_bookIcon;
    QHash<int32_t, QTreeWidgetItem*> m_treeItems;

    std::unique_ptr<CCitation> m_pCitation;  // of m_contents once the catalogue is loaded
    int32_t m_nShownPage = -1;

    CSearchChain m_chain;
    int32_t m_nSearchedRange = 0;  // the range of the chain's last search
    bool m_bRunningRequest = false;  // RunRequest is running its steps
    CResultList m_results;
    CSearchForms m_searchForms;  // of the last search, empty with variants off
    CHitParts m_hitParts;
    std::u16string m_strKeywords;
};
