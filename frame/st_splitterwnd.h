#pragma once

#include <QSplitter>
#include <QString>

// The frame's splitter: the panel and the page view side by side. Besides
// dragging the divider it can hide a column so that the other fills the
// window and bring it back at its former size, and it writes the pane
// layout to the user's settings when it is destroyed:
//   section "SplitterWnd", entry "Panes_<level>",
//   value "%d %d %d %d": hidden column, pane size 0, hidden row, pane size 1
// (-1 for nothing hidden; "-1 260 -1 764" for a 260-pixel panel beside a
// 764-pixel page view). Start-up never reads the entry back: every start
// shows the panel at InitialPaneSize.
class ST_SplitterWnd : public QSplitter {
    Q_OBJECT

public:
    static constexpr int InitialPaneSize = 260;
    static constexpr int InitialOtherSize = 100;
    static const char* const Section;  // "SplitterWnd"

    // nLevel names the settings entry; the frame's splitter has level 0.
    explicit ST_SplitterWnd(int nLevel, QWidget* pParent = nullptr);
    ~ST_SplitterWnd() override;

    // Puts pPane0 (InitialPaneSize wide or high) and pPane1 (the rest) in
    // the splitter, side by side when bVertical, one above the other
    // otherwise. Takes the panes over as children.
    void Create(QWidget* pPane0, QWidget* pPane1, bool bVertical);

    // Hides the column (row, for a horizontal splitter) nIndex, or shows it
    // again if it is the hidden one; anything else does nothing.
    void ToggleColumn(int nIndex);
    int HiddenColumn() const { return m_nHiddenCol; }
    int HiddenRow() const { return m_nHiddenRow; }

    // The settings entry name and the value WritePaneLayout writes now.
    QString EntryName() const;
    QString PaneLayout();
    void WritePaneLayout();

signals:
    // The hidden pane had the focus; it moved to nIndex's neighbour.
    void activePaneMoved(QWidget* pPane);

private:
    void HidePane(int nIndex);
    void ShowPane();
    void CaptureSizes();

    int m_nHiddenCol = -1;
    int m_nHiddenRow = -1;
    int m_nPaneSize[2] = {100, 100};
    int m_nMinSize[2] = {10, 10};
    bool m_bVertical = true;
    QString m_strSection;
    int m_nLevel;
};
