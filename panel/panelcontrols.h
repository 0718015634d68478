#pragma once

#include <QCoreApplication>
#include <QHash>
#include <QString>

#include <cstdint>

class CKeywordEdit;
class CListPageBox;
class CSortListCtrl;
class QLabel;
class QTabWidget;
class QTreeWidget;
class QWidget;

// The controls of the panel (CLeftForm), made from one table, and their
// places for a panel size: the tab control beneath everything, the
// contents tree on the tab "目録", and on the tab "検索" the keyword box,
// the options, the range, the summary, the line of the forms searched, the
// result list and the list page box.
//
// Ownership: the controls are children of the panel given to Create and
// live as long as it does; the pointers this object gives stay valid that
// long. Not copyable.
class CPanelControls {
    Q_DECLARE_TR_FUNCTIONS(CPanelControls)

public:
    CPanelControls() = default;
    CPanelControls(const CPanelControls&) = delete;
    CPanelControls& operator=(const CPanelControls&) = delete;

    // Makes the controls as children of pPanel, each with its object name,
    // the search tab's hidden until the first Layout. REQUIRES: called once.
    void Create(QWidget* pPanel);
    // The result list's columns (類別, 書名, 巻, 頁, 正文/注釈).
    void InsertListColumns();

    // The control of a CLeftForm control id; null for an unknown id.
    QWidget* Control(int nId) const { return m_controls.value(nId); }
    QTabWidget* Tab() const { return m_pTab; }
    QTreeWidget* Tree() const { return m_pTree; }
    CKeywordEdit* KeywordBox() const { return m_pKeywordBox; }
    CSortListCtrl* ResultList() const { return m_pResultList; }
    QLabel* RangeLabel() const { return m_pRangeLabel; }
    QLabel* Summary() const { return m_pSummary; }
    CListPageBox* ListPageBox() const { return m_pListPageBox; }

    // Shows the controls of the selected tab placed for a panel of nWidth x
    // nHeight pixels and hides the others; the same geometry on every call.
    // On the search tab the list page box shows while there are list pages
    // (nListPages > 0), and the line of the forms searched while
    // strFormsLine is not empty; under it the chain of searches within
    // results with its button 一つ戻る (strChainLine not empty) and what a
    // narrowed list shows with its button すべて表示 (strNarrowLine not
    // empty). The result list gives up their room.
    struct LinesTag {
        QString strForms;
        QString strChain;
        QString strNarrow;
    };
    void Layout(int nWidth, int nHeight, int32_t nListPages, const LinesTag& lines);

private:
    void HideSearchTab();
    // Places the line of the forms searched; returns its height (0: hidden).
    int PlaceFormsLine(int nWidth, const QString& strLine);
    // Places a one-row line at nY with its button at the right, or hides
    // both when strLine is empty; returns the room it takes (0: hidden).
    int PlaceButtonLine(int nWidth, int nY, int nLabelId, int nButtonId, const QString& strLine);

    QHash<int, QWidget*> m_controls;
    QTabWidget* m_pTab = nullptr;
    QTreeWidget* m_pTree = nullptr;
    CKeywordEdit* m_pKeywordBox = nullptr;
    CSortListCtrl* m_pResultList = nullptr;
    QLabel* m_pRangeLabel = nullptr;
    QLabel* m_pSummary = nullptr;
    QLabel* m_pForms = nullptr;
    CListPageBox* m_pListPageBox = nullptr;
};
