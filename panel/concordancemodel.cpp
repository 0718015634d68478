#include "panel/concordancemodel.h"

#include "model/citation.h"
#include "model/hitparts.h"

#include <QBrush>
#include <QColor>
#include <QFont>

#include <algorithm>
#include <climits>

CConcordanceModel::CConcordanceModel(QObject* pParent) : QAbstractTableModel(pParent) {}

void CConcordanceModel::Start(CIndex& index, const CCitation& citation, std::vector<int32_t> pages,
                              const std::u16string& strKeywords, bool bUseVariants, TextPart ePart) {
    beginResetModel();
    m_concordance.Start(index, std::move(pages), strKeywords, bUseVariants, ePart);
    m_pCitation = &citation;
    m_nRows = 0;
    endResetModel();
}

void CConcordanceModel::Clear() {
    beginResetModel();
    m_concordance = CConcordance();
    m_pCitation = nullptr;
    m_nRows = 0;
    endResetModel();
}

bool CConcordanceModel::ReadMore(size_t nPages) {
    if (!IsStarted() || m_concordance.Done()) return false;
    const bool bMore = m_concordance.Continue(nPages);
    // A view holds at most INT_MAX rows; far more than any corpus has hits.
    const int nAll = static_cast<int>(std::min<size_t>(m_concordance.Rows().size(), INT_MAX));
    if (nAll > m_nRows) {
        beginInsertRows(QModelIndex(), m_nRows, nAll - 1);
        m_nRows = nAll;
        endInsertRows();
    }
    return bMore;
}

void CConcordanceModel::Sort(CConcordance::Order eOrder) {
    if (!IsComplete()) return;
    beginResetModel();
    m_concordance.Sort(eOrder);
    endResetModel();
}

int32_t CConcordanceModel::PageIndexOf(int nRow) const {
    if (nRow < 0 || nRow >= m_nRows) return -1;
    return m_concordance.Rows()[static_cast<size_t>(nRow)].pageIndex;
}

int32_t CConcordanceModel::AnchorOf(int nRow) const {
    if (nRow < 0 || nRow >= m_nRows) return 0;
    return m_concordance.AnchorOf(static_cast<size_t>(nRow));
}

int CConcordanceModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_nRows; }

int CConcordanceModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant CConcordanceModel::data(const QModelIndex& index, int nRole) const {
    if (!index.isValid() || index.row() >= m_nRows || !m_pCitation) return QVariant();
    const ConcordanceRowTag& row = m_concordance.Rows()[static_cast<size_t>(index.row())];
    switch (nRole) {
    case Qt::DisplayRole: {
        if (index.column() == LeftColumn) return QString::fromStdU16String(row.left);
        if (index.column() == KeywordColumn) return QString::fromStdU16String(row.keyword);
        if (index.column() == RightColumn) return QString::fromStdU16String(row.right);
        if (index.column() == PartColumn)
            return QString::fromStdU16String(CHitParts::Label(row.annotation ? CHitParts::Annotations : CHitParts::MainText));
        CCitation::Place place;
        if (!m_pCitation->Locate(row.pageIndex, place)) return QVariant();
        if (index.column() == BookColumn) return QString::fromStdU16String(place.strBook);
        if (index.column() == VolumeColumn) return QString::fromStdU16String(place.strVolume);
        if (index.column() == PageColumn) return place.nPageNumber;
        return QVariant();
    }
    case Qt::TextAlignmentRole:
        // The keywords line up in one column: the left context ends at it.
        if (index.column() == LeftColumn) return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        if (index.column() == KeywordColumn) return QVariant(Qt::AlignHCenter | Qt::AlignVCenter);
        if (index.column() == PageColumn) return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::ForegroundRole:
        // Red, as the page view marks a hit.
        if (index.column() == KeywordColumn) return QBrush(QColor(0xFF, 0x00, 0x00));
        return QVariant();
    case Qt::FontRole:
        if (index.column() == KeywordColumn) {
            QFont font;
            font.setBold(true);
            return font;
        }
        return QVariant();
    default:
        return QVariant();
    }
}

QVariant CConcordanceModel::headerData(int nSection, Qt::Orientation eOrientation, int nRole) const {
    if (eOrientation != Qt::Horizontal || nRole != Qt::DisplayRole || nSection < 0 || nSection >= ColumnCount)
        return QAbstractTableModel::headerData(nSection, eOrientation, nRole);
    return QString::fromStdU16String(CConcordance::ColumnTitles()[static_cast<size_t>(nSection)]);
}
