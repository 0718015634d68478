#pragma once

#include "model/concordance.h"

#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <string>
#include <vector>

class CCitation;
class CConcordanceModel;
class CIndex;
class QComboBox;
class QLabel;
class QPushButton;
class QTableView;

// The pane "用例": every hit of the last search in its context, one row a
// hit (CConcordanceModel), with the order of the rows (by place, by the
// right context, by the left context read backwards), a double click (or
// Enter) that opens the page at that hit, and an export of all rows to CSV
// or TSV.
//
// While the pane shows, the rows are read in short slices between events,
// so that the first screen comes at once and the window stays usable for
// the largest results; sorting and exporting read the rest first, under a
// progress dialog that can be cancelled. A hidden pane reads nothing.
// REQUIRES: the index and the citations given to SetSearch outlive the
// rows (until the next SetSearch or Clear), and the index is not opened
// anew meanwhile (Clear first).
class CConcordancePane : public QWidget {
    Q_OBJECT

public:
    explicit CConcordancePane(QWidget* pParent = nullptr);
    ~CConcordancePane() override;

    // The concordance of a search: its pages (page indexes), keywords (as
    // the index rewrote them), variants and text part.
    void SetSearch(CIndex& index, const CCitation& citation, std::vector<int32_t> pages,
                   const std::u16string& strKeywords, bool bUseVariants, TextPart ePart);
    // No rows; strWhy says why on the pane's line.
    void Clear(const QString& strWhy);

    // Reads every row not read yet, with a progress dialog. False when the
    // reader cancelled it.
    bool ReadAll();
    // Puts the rows in an order (reading them all first); false when the
    // reader cancelled the reading.
    bool SortBy(CConcordance::Order eOrder);
    // Asks for a file and writes every row to it.
    void ExportWithDialog();
    // Writes every row to strPath; false with strError (empty when the
    // reader cancelled).
    bool ExportTo(const QString& strPath, CConcordance::Format eFormat, QString& strError /* OUT */);

    CConcordanceModel* Model() const { return m_pModel; }
    QTableView* Table() const { return m_pTable; }
    QComboBox* OrderBox() const { return m_pOrderBox; }
    QLabel* StatusLine() const { return m_pStatus; }
    // Opens the hit of a row (as a double click does).
    void ActivateRow(int nRow);

signals:
    // The page view is to show page index nPage at hit anchor nAnchor.
    void hitActivated(int32_t nPage, int32_t nAnchor);
    // The close button.
    void closeRequested();

protected:
    void showEvent(QShowEvent* pEvent) override;
    void hideEvent(QHideEvent* pEvent) override;

private:
    // One slice of reading (a few tens of milliseconds), then the line.
    void ReadSlice();
    void UpdateStatus();
    void OnOrderChosen(int nChoice);

    CConcordanceModel* m_pModel = nullptr;
    QTableView* m_pTable = nullptr;
    QLabel* m_pStatus = nullptr;
    QComboBox* m_pOrderBox = nullptr;
    QPushButton* m_pExport = nullptr;
    QTimer m_readTimer;
    QString m_strEmptyLine;
};
