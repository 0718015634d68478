#include "panel/panelcontrols.h"

#include "controls/tooltipresourcebutton.h"
#include "controls/treelinestyle.h"
#include "panel/keywordedit.h"
#include "panel/leftform.h"
#include "panel/listpagebox.h"
#include "panel/sortlistctrl.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTreeWidget>

#include <algorithm>

namespace {

// The controls of the panel, created in this order (later ones lie above
// earlier ones, so the tab control stays beneath everything).
enum ControlKind {
    KindTab,
    KindTree,
    KindStatic,
    KindRedStatic,
    KindKeywordBox,
    KindPushButton,
    KindHLine,
    KindCheckBox,
    KindGroupBox,
    KindRadio,
    KindList,
    KindListPageBox,
};

struct ControlSpec {
    int nId;
    ControlKind kind;
    const char* pszCaption;
    const char* pszName;  // object name
};

const ControlSpec kControls[] = {
    {CLeftForm::IDC_TAB, KindTab, nullptr, "tabControl"},
    {CLeftForm::IDC_CONTENTS_TREE, KindTree, nullptr, "contentsTree"},
    {CLeftForm::IDC_PROMPT, KindStatic, QT_TRANSLATE_NOOP("CPanelControls", "キーワードを入力して下さい。"),
     "keywordPrompt"},
    {CLeftForm::IDC_KEYWORD_BOX, KindKeywordBox, nullptr, "keywordBox"},
    {CLeftForm::IDC_SEARCH, KindPushButton, QT_TRANSLATE_NOOP("CPanelControls", "検索"), "searchButton"},
    {CLeftForm::IDC_SEPARATOR, KindHLine, nullptr, "separator"},
    {CLeftForm::IDC_VARIANTS, KindCheckBox, QT_TRANSLATE_NOOP("CPanelControls", "簡繁・中日等の異体字の関連"),
     "variantsCheck"},
    {CLeftForm::IDC_SEARCH_TYPE_GROUP, KindGroupBox, QT_TRANSLATE_NOOP("CPanelControls", "検索方法："),
     "searchTypeGroup"},
    {CLeftForm::IDC_AND, KindRadio, QT_TRANSLATE_NOOP("CPanelControls", "and"), "andRadio"},
    {CLeftForm::IDC_OR, KindRadio, QT_TRANSLATE_NOOP("CPanelControls", "or"), "orRadio"},
    {CLeftForm::IDC_WITHIN, KindCheckBox, QT_TRANSLATE_NOOP("CPanelControls", "結果内検索"), "withinCheck"},
    {CLeftForm::IDC_TEXT_PART_GROUP, KindGroupBox, QT_TRANSLATE_NOOP("CPanelControls", "検索対象："),
     "textPartGroup"},
    {CLeftForm::IDC_WHOLE_TEXT, KindRadio, QT_TRANSLATE_NOOP("CPanelControls", "全文"), "wholeTextRadio"},
    {CLeftForm::IDC_MAIN_TEXT, KindRadio, QT_TRANSLATE_NOOP("CPanelControls", "正文"), "mainTextRadio"},
    {CLeftForm::IDC_ANNOTATIONS, KindRadio, QT_TRANSLATE_NOOP("CPanelControls", "注釈"), "annotationsRadio"},
    {CLeftForm::IDC_RANGE_GROUP, KindGroupBox, QT_TRANSLATE_NOOP("CPanelControls", "検索範囲："), "rangeGroup"},
    {CLeftForm::IDC_RANGE_LABEL, KindRedStatic, nullptr, "rangeLabel"},
    {CLeftForm::IDC_SUMMARY, KindStatic, nullptr, "summaryLabel"},
    {CLeftForm::IDC_FORMS, KindStatic, nullptr, "formsLabel"},
    {CLeftForm::IDC_CHAIN, KindStatic, nullptr, "chainLabel"},
    {CLeftForm::IDC_STEP_BACK, KindPushButton, QT_TRANSLATE_NOOP("CPanelControls", "一つ戻る"), "stepBackButton"},
    {CLeftForm::IDC_NARROW, KindStatic, nullptr, "narrowLabel"},
    {CLeftForm::IDC_SHOW_ALL, KindPushButton, QT_TRANSLATE_NOOP("CPanelControls", "すべて表示"), "showAllButton"},
    {CLeftForm::IDC_RESULT_LIST, KindList, nullptr, "resultList"},
    // Its four controls have ids of their own (below).
    {0, KindListPageBox, nullptr, "listPageBox"},
};

// Geometry of the search tab for a panel of W x H pixels: each value is
// base + factor * W (x, width) or base + factor * H (height). The result
// list's height also gives up the room reserved for the list page box.
struct Placement {
    int nId;
    int x, xW;
    int y;
    int w, wW;
    int h, hH;
};

const Placement kSearchLayout[] = {
    {CLeftForm::IDC_PROMPT, 5, 0, 28, -10, 1, 15, 0},
    {CLeftForm::IDC_KEYWORD_BOX, 5, 0, 45, -60, 1, 25, 0},
    {CLeftForm::IDC_SEARCH, -50, 1, 45, 45, 0, 25, 0},
    {CLeftForm::IDC_SEPARATOR, 4, 0, 75, -8, 1, 1, 0},
    {CLeftForm::IDC_VARIANTS, 5, 0, 80, -15, 1, 15, 0},
    {CLeftForm::IDC_SEARCH_TYPE_GROUP, 5, 0, 100, -10, 1, 40, 0},
    {CLeftForm::IDC_AND, 10, 0, 115, 50, 0, 20, 0},
    {CLeftForm::IDC_OR, -70, 1, 115, 50, 0, 20, 0},
    // Between and and or: the row of the search button has no room left.
    {CLeftForm::IDC_WITHIN, 70, 0, 115, 110, 0, 20, 0},
    {CLeftForm::IDC_TEXT_PART_GROUP, 5, 0, 145, -10, 1, 40, 0},
    {CLeftForm::IDC_WHOLE_TEXT, 10, 0, 160, 60, 0, 20, 0},
    {CLeftForm::IDC_MAIN_TEXT, 97, 0, 160, 60, 0, 20, 0},
    {CLeftForm::IDC_ANNOTATIONS, 189, 0, 160, 60, 0, 20, 0},
    {CLeftForm::IDC_RANGE_GROUP, 5, 0, 190, -10, 1, 40, 0},
    {CLeftForm::IDC_RANGE_LABEL, 10, 0, 205, -30, 1, 20, 0},
    {CLeftForm::IDC_SUMMARY, 5, 0, 235, -15, 1, 15, 0},
    {CLeftForm::IDC_RESULT_LIST, 5, 0, 250, -10, 1, -254, 1},
};

// The line of the forms searched, when it shows, lies under the summary in
// at most this many rows and pushes the result list down by its height.
constexpr int kFormsRows = 2;
// The chain and narrow lines: a row each, with a button at the right.
constexpr int kButtonLineHeight = 22;
constexpr int kLineButtonWidth = 76;

struct ColumnSpec {
    const char* pszCaption;
    int nWidth;
};

const ColumnSpec kListColumns[] = {
    {QT_TRANSLATE_NOOP("CPanelControls", "類別"), 45},
    {QT_TRANSLATE_NOOP("CPanelControls", "書名"), 80},
    {QT_TRANSLATE_NOOP("CPanelControls", "巻"), 60},
    {QT_TRANSLATE_NOOP("CPanelControls", "頁"), 60},
    // Where the page's hits lie: 正文, 注釈 or 正文・注釈.
    {QT_TRANSLATE_NOOP("CPanelControls", "正文/注釈"), 72},
};

}  // namespace

void CPanelControls::Create(QWidget* pPanel) {
    for (const ControlSpec& control : kControls) {
        const QString strCaption = control.pszCaption ? tr(control.pszCaption) : QString();
        QWidget* pControl = nullptr;
        switch (control.kind) {
        case KindTab:
            pControl = m_pTab = new QTabWidget(pPanel);
            break;
        case KindTree:
            pControl = m_pTree = new QTreeWidget(pPanel);
            m_pTree->setHeaderHidden(true);
            m_pTree->setColumnCount(1);
            m_pTree->setSelectionMode(QAbstractItemView::SingleSelection);
            m_pTree->setIconSize(QSize(CLeftForm::TreeImageSize, CLeftForm::TreeImageSize));
            m_pTree->setStyle(new CTreeLineStyle(m_pTree));
            break;
        case KindStatic:
            pControl = new QLabel(strCaption, pPanel);
            break;
        case KindRedStatic: {
            auto* pLabel = new QLabel(strCaption, pPanel);
            QPalette palette = pLabel->palette();
            palette.setColor(QPalette::WindowText, QColor(255, 0, 0));
            pLabel->setPalette(palette);
            pControl = m_pRangeLabel = pLabel;
            break;
        }
        case KindKeywordBox:
            pControl = m_pKeywordBox = new CKeywordEdit(pPanel);
            break;
        case KindPushButton:
            pControl = new QPushButton(strCaption, pPanel);
            break;
        case KindHLine: {
            auto* pLine = new QFrame(pPanel);
            pLine->setFrameShape(QFrame::HLine);
            pLine->setFrameShadow(QFrame::Sunken);
            pControl = pLine;
            break;
        }
        case KindCheckBox:
            pControl = new QCheckBox(strCaption, pPanel);
            break;
        case KindGroupBox:
            pControl = new QGroupBox(strCaption, pPanel);
            break;
        case KindRadio:
            pControl = new QRadioButton(strCaption, pPanel);
            break;
        case KindList:
            pControl = m_pResultList = new CSortListCtrl(pPanel);
            break;
        case KindListPageBox:
            pControl = m_pListPageBox = new CListPageBox(pPanel);
            m_controls.insert(CLeftForm::IDC_LIST_PREV, m_pListPageBox->PrevButton());
            m_controls.insert(CLeftForm::IDC_LIST_NEXT, m_pListPageBox->NextButton());
            m_controls.insert(CLeftForm::IDC_LIST_PAGE, m_pListPageBox->PageEdit());
            m_controls.insert(CLeftForm::IDC_LIST_PAGE_COUNT, m_pListPageBox->CountLabel());
            break;
        }
        pControl->setObjectName(QString::fromLatin1(control.pszName));
        if (control.nId != 0) m_controls.insert(control.nId, pControl);
    }
    m_pSummary = static_cast<QLabel*>(Control(CLeftForm::IDC_SUMMARY));
    m_pForms = static_cast<QLabel*>(Control(CLeftForm::IDC_FORMS));

    // Nothing of the search tab shows until the first layout; the list page
    // box only after a search that found something.
    HideSearchTab();
}

void CPanelControls::InsertListColumns() {
    for (const ColumnSpec& column : kListColumns) m_pResultList->InsertColumn(tr(column.pszCaption), column.nWidth);
}

void CPanelControls::HideSearchTab() {
    for (const Placement& place : kSearchLayout) Control(place.nId)->hide();
    m_pForms->hide();
    for (int nId : {CLeftForm::IDC_CHAIN, CLeftForm::IDC_STEP_BACK, CLeftForm::IDC_NARROW, CLeftForm::IDC_SHOW_ALL})
        Control(nId)->hide();
    m_pListPageBox->hide();
}

void CPanelControls::Layout(int nWidth, int nHeight, int32_t nListPages, const LinesTag& lines) {
    const int W = nWidth;
    const int H = nHeight;
    m_pTab->setGeometry(0, 0, W - 1, H - 1);

    if (m_pTab->currentIndex() != CLeftForm::TabSearch) {
        HideSearchTab();
        m_pTree->setGeometry(5, 26, W - 10, H - 30);
        m_pTree->show();
        return;
    }
    m_pTree->hide();
    int r = 0;
    m_pListPageBox->setVisible(nListPages > 0);
    if (nListPages > 0) {
        m_pListPageBox->Place(W, H, nListPages);
        r = m_pListPageBox->Room();
    }
    // The lines under the summary, each pushing the result list down.
    int nLinesHeight = PlaceFormsLine(W, lines.strForms);
    if (nLinesHeight > 0) nLinesHeight += 2;
    nLinesHeight += PlaceButtonLine(W, 252 + nLinesHeight, CLeftForm::IDC_CHAIN, CLeftForm::IDC_STEP_BACK, lines.strChain);
    nLinesHeight +=
        PlaceButtonLine(W, 252 + nLinesHeight, CLeftForm::IDC_NARROW, CLeftForm::IDC_SHOW_ALL, lines.strNarrow);
    for (const Placement& place : kSearchLayout) {
        QWidget* pControl = Control(place.nId);
        int nY = place.y;
        int nControlHeight = place.h + place.hH * H;
        if (place.nId == CLeftForm::IDC_RESULT_LIST) {
            nControlHeight -= r;
            nY += nLinesHeight;
            nControlHeight -= nLinesHeight;
        }
        pControl->setGeometry(place.x + place.xW * W, nY, place.w + place.wW * W, nControlHeight);
        pControl->show();
    }
}

int CPanelControls::PlaceFormsLine(int nWidth, const QString& strLine) {
    if (strLine.isEmpty()) {
        m_pForms->hide();
        return 0;
    }
    // Under the summary, as wide as the panel, wrapped into at most two
    // rows; a longer line is cut with an ellipsis and shown whole as the
    // label's tooltip.
    const int nTextWidth = nWidth - 15;
    const QFontMetrics metrics = m_pForms->fontMetrics();
    auto height = [&](const QString& strText) {
        return metrics.boundingRect(QRect(0, 0, nTextWidth, 100 * metrics.lineSpacing()), Qt::TextWordWrap, strText)
            .height();
    };
    // A row as high as the line's own characters make it (the CJK font's).
    const int nMaxHeight = kFormsRows * height(strLine.left(1));
    QString strShown = strLine;
    for (int nRoom = kFormsRows * nTextWidth; height(strShown) > nMaxHeight && nRoom > 0; nRoom -= nTextWidth / 8)
        strShown = metrics.elidedText(strLine, Qt::ElideRight, nRoom);
    m_pForms->setWordWrap(true);
    m_pForms->setText(strShown);
    m_pForms->setToolTip(strLine);
    const int nHeight = std::max(height(strShown), metrics.height());
    m_pForms->setGeometry(5, 252, nTextWidth, nHeight);
    m_pForms->show();
    return nHeight;
}

int CPanelControls::PlaceButtonLine(int nWidth, int nY, int nLabelId, int nButtonId, const QString& strLine) {
    auto* pLabel = static_cast<QLabel*>(Control(nLabelId));
    QWidget* pButton = Control(nButtonId);
    if (strLine.isEmpty()) {
        pLabel->hide();
        pButton->hide();
        return 0;
    }
    // One row, or two for a line too long for one; a line too long for two
    // is cut with an ellipsis. The whole line is the label's tooltip.
    const int nTextWidth = std::max(20, nWidth - 15 - kLineButtonWidth - 4);
    const QFontMetrics metrics = pLabel->fontMetrics();
    const bool bTwoRows = metrics.horizontalAdvance(strLine) > nTextWidth;
    auto height = [&](const QString& strText) {
        return metrics.boundingRect(QRect(0, 0, nTextWidth, 100 * metrics.lineSpacing()), Qt::TextWordWrap, strText)
            .height();
    };
    // A row as high as the line's own characters make it (the CJK font's).
    const int nRowHeight = height(strLine.left(1));
    QString strShown = strLine;
    if (bTwoRows) {
        for (int nRoom = 2 * nTextWidth; height(strShown) > 2 * nRowHeight && nRoom > 0; nRoom -= nTextWidth / 8)
            strShown = metrics.elidedText(strLine, Qt::ElideRight, nRoom);
    }
    const int nHeight = bTwoRows ? std::max(kButtonLineHeight, 2 * nRowHeight + 2) : kButtonLineHeight;
    pLabel->setWordWrap(bTwoRows);
    pLabel->setText(strShown);
    pLabel->setToolTip(strLine);
    pLabel->setGeometry(5, nY, nTextWidth, nHeight);
    pButton->setGeometry(nWidth - 10 - kLineButtonWidth, nY + (nHeight - kButtonLineHeight) / 2, kLineButtonWidth,
                         kButtonLineHeight);
    pLabel->show();
    pButton->show();
    return nHeight + 2;
}
