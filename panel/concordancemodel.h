#pragma once

#include "model/concordance.h"

#include <QAbstractTableModel>

#include <cstdint>
#include <string>
#include <vector>

class CCitation;
class CIndex;

// The concordance of the last search as a table for a view: 左文脈 |
// キーワード | 右文脈 | 書名 | 巻 | 頁 | 正文/注釈. The rows come in batches
// (ReadMore), each batch's rows inserted as it is read, so that a view shows
// the first screen at once and stays usable while the rest is read; a cell's
// text is made only when the view asks for it.
// REQUIRES: the index and the citations given to Start outlive the rows
// (until the next Start or Clear).
class CConcordanceModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { LeftColumn, KeywordColumn, RightColumn, BookColumn, VolumeColumn, PageColumn, PartColumn, ColumnCount };

    explicit CConcordanceModel(QObject* pParent = nullptr);

    // Starts the concordance of a search; no row is read yet.
    void Start(CIndex& index, const CCitation& citation, std::vector<int32_t> pages, const std::u16string& strKeywords,
               bool bUseVariants, TextPart ePart);
    // Removes every row and forgets the search.
    void Clear();
    // Reads up to nPages more pages and inserts their rows. False once every
    // page is read (or nothing was started).
    bool ReadMore(size_t nPages);
    bool IsStarted() const { return m_pCitation != nullptr; }
    bool IsComplete() const { return !IsStarted() || m_concordance.Done(); }
    size_t PagesRead() const { return m_concordance.PagesRead(); }
    size_t PageCount() const { return m_concordance.PageCount(); }

    // Puts the rows in an order. REQUIRES: IsComplete().
    void Sort(CConcordance::Order eOrder);
    CConcordance::Order GetOrder() const { return m_concordance.GetOrder(); }

    const CConcordance& Concordance() const { return m_concordance; }
    // The citations given to Start; null before it.
    const CCitation* Citation() const { return m_pCitation; }
    // The page index and the display page's anchor of a row.
    int32_t PageIndexOf(int nRow) const;
    int32_t AnchorOf(int nRow) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int nRole = Qt::DisplayRole) const override;
    QVariant headerData(int nSection, Qt::Orientation eOrientation, int nRole = Qt::DisplayRole) const override;

private:
    CConcordance m_concordance;
    const CCitation* m_pCitation = nullptr;
    int m_nRows = 0;  // rows inserted so far
};
