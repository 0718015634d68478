#include "panel/leftform.h"

#include "controls/messagebox.h"
#include "controls/tooltipresourcebutton.h"
#include "controls/treelinestyle.h"
#include "corpus/corpusfiles.h"
#include "model/keywordcheck.h"
#include "panel/keywordedit.h"
#include "panel/sortlistctrl.h"
#include "resources/resource.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <QTreeWidget>

#include <algorithm>
#include <climits>

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
    KindBitmapButton,
    KindNumberEdit,
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
    {CLeftForm::IDC_PROMPT, KindStatic, QT_TRANSLATE_NOOP("CLeftForm", "キーワードを入力して下さい。"), "keywordPrompt"},
    {CLeftForm::IDC_KEYWORD_BOX, KindKeywordBox, nullptr, "keywordBox"},
    {CLeftForm::IDC_SEARCH, KindPushButton, QT_TRANSLATE_NOOP("CLeftForm", "検索"), "searchButton"},
    {CLeftForm::IDC_SEPARATOR, KindHLine, nullptr, "separator"},
    {CLeftForm::IDC_VARIANTS, KindCheckBox, QT_TRANSLATE_NOOP("CLeftForm", "簡繁・中日等の異体字の関連"), "variantsCheck"},
    {CLeftForm::IDC_SEARCH_TYPE_GROUP, KindGroupBox, QT_TRANSLATE_NOOP("CLeftForm", "検索方法："), "searchTypeGroup"},
    {CLeftForm::IDC_AND, KindRadio, QT_TRANSLATE_NOOP("CLeftForm", "and"), "andRadio"},
    {CLeftForm::IDC_OR, KindRadio, QT_TRANSLATE_NOOP("CLeftForm", "or"), "orRadio"},
    {CLeftForm::IDC_TEXT_PART_GROUP, KindGroupBox, QT_TRANSLATE_NOOP("CLeftForm", "検索対象："), "textPartGroup"},
    {CLeftForm::IDC_WHOLE_TEXT, KindRadio, QT_TRANSLATE_NOOP("CLeftForm", "全文"), "wholeTextRadio"},
    {CLeftForm::IDC_MAIN_TEXT, KindRadio, QT_TRANSLATE_NOOP("CLeftForm", "正文"), "mainTextRadio"},
    {CLeftForm::IDC_ANNOTATIONS, KindRadio, QT_TRANSLATE_NOOP("CLeftForm", "注釈"), "annotationsRadio"},
    {CLeftForm::IDC_RANGE_GROUP, KindGroupBox, QT_TRANSLATE_NOOP("CLeftForm", "検索範囲："), "rangeGroup"},
    {CLeftForm::IDC_RANGE_LABEL, KindRedStatic, nullptr, "rangeLabel"},
    {CLeftForm::IDC_SUMMARY, KindStatic, nullptr, "summaryLabel"},
    {CLeftForm::IDC_FORMS, KindStatic, nullptr, "formsLabel"},
    {CLeftForm::IDC_RESULT_LIST, KindList, nullptr, "resultList"},
    {CLeftForm::IDC_LIST_PREV, KindBitmapButton, nullptr, "listPrevButton"},
    {CLeftForm::IDC_LIST_NEXT, KindBitmapButton, nullptr, "listNextButton"},
    {CLeftForm::IDC_LIST_PAGE, KindNumberEdit, nullptr, "listPageEdit"},
    {CLeftForm::IDC_LIST_PAGE_COUNT, KindStatic, nullptr, "listPageCount"},
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

const int kListPageControls[] = {CLeftForm::IDC_LIST_PREV, CLeftForm::IDC_LIST_NEXT, CLeftForm::IDC_LIST_PAGE,
                                 CLeftForm::IDC_LIST_PAGE_COUNT};

struct ColumnSpec {
    const char* pszCaption;
    int nWidth;
};

const ColumnSpec kListColumns[] = {
    {QT_TRANSLATE_NOOP("CLeftForm", "類別"), 45},
    {QT_TRANSLATE_NOOP("CLeftForm", "書名"), 80},
    {QT_TRANSLATE_NOOP("CLeftForm", "巻"), 60},
    {QT_TRANSLATE_NOOP("CLeftForm", "頁"), 60},
};

const char* const kPageFileNames[] = {"windows.html", "windows1.html", "windows2.html"};

// The text-part buttons, by text part.
const int kTextPartButtons[] = {CLeftForm::IDC_WHOLE_TEXT, CLeftForm::IDC_MAIN_TEXT, CLeftForm::IDC_ANNOTATIONS};

// Catalogue problems listed in one message box at most; the rest are counted.
constexpr size_t kMaxListedProblems = 10;

QPixmap TreeImage(int nBitmapId) {
    // Black is the transparent colour of the tree's pictures.
    QPixmap picture(BitmapResource(nBitmapId));
    if (picture.isNull()) return picture;
    picture = picture.scaled(CLeftForm::TreeImageSize, CLeftForm::TreeImageSize);
    picture.setMask(picture.createMaskFromColor(Qt::black, Qt::MaskInColor));
    return picture;
}

}  // namespace

CLeftForm::CLeftForm(const QString& strDataFolder, QWidget* pParent)
    : QWidget(pParent), m_strDataFolder(strDataFolder), m_tempFolder(QDir::tempPath() + "/tessaline-XXXXXX") {
    setObjectName(QStringLiteral("leftForm"));
    CreateControls();
    CreateButtonGroups();

    // The page files live in a folder of this run that only this user can
    // enter, so that nobody can plant a link under their names.
    if (m_tempFolder.isValid()) {
        m_strPageFile = m_tempFolder.filePath(QString::fromLatin1(kPageFileNames[0]));
        m_strResultFile[0] = m_tempFolder.filePath(QString::fromLatin1(kPageFileNames[1]));
        m_strResultFile[1] = m_tempFolder.filePath(QString::fromLatin1(kPageFileNames[2]));
    }

    m_index.SetMessageCallback([this](const std::string& strMessage) {
        CMessageBox::Show(this, QString::fromStdString(strMessage));
    });
    m_index.Open(QFile::encodeName(m_strDataFolder).toStdString(), CCorpusFiles::BaseName, IndexScope::WholeText);
}

CLeftForm::~CLeftForm() {
    m_index.Close();
    for (const QString& strPath : {m_strPageFile, m_strResultFile[0], m_strResultFile[1]})
        if (!strPath.isEmpty()) QFile::remove(strPath);
    // m_tempFolder removes the folder itself.
}

QString CLeftForm::TempFolder() const { return m_tempFolder.isValid() ? m_tempFolder.path() : QString(); }

void CLeftForm::CreateControls() {
    for (const ControlSpec& control : kControls) {
        const QString strCaption = control.pszCaption ? tr(control.pszCaption) : QString();
        QWidget* pControl = nullptr;
        switch (control.kind) {
        case KindTab:
            pControl = m_pTab = new QTabWidget(this);
            break;
        case KindTree:
            pControl = m_pTree = new QTreeWidget(this);
            m_pTree->setHeaderHidden(true);
            m_pTree->setColumnCount(1);
            m_pTree->setSelectionMode(QAbstractItemView::SingleSelection);
            m_pTree->setIconSize(QSize(TreeImageSize, TreeImageSize));
            m_pTree->setStyle(new CTreeLineStyle(m_pTree));
            break;
        case KindStatic:
            pControl = new QLabel(strCaption, this);
            break;
        case KindRedStatic: {
            auto* pLabel = new QLabel(strCaption, this);
            QPalette palette = pLabel->palette();
            palette.setColor(QPalette::WindowText, QColor(255, 0, 0));
            pLabel->setPalette(palette);
            pControl = m_pRangeLabel = pLabel;
            break;
        }
        case KindKeywordBox:
            pControl = m_pKeywordBox = new CKeywordEdit(this);
            break;
        case KindPushButton:
            pControl = new QPushButton(strCaption, this);
            break;
        case KindHLine: {
            auto* pLine = new QFrame(this);
            pLine->setFrameShape(QFrame::HLine);
            pLine->setFrameShadow(QFrame::Sunken);
            pControl = pLine;
            break;
        }
        case KindCheckBox:
            pControl = new QCheckBox(strCaption, this);
            break;
        case KindGroupBox:
            pControl = new QGroupBox(strCaption, this);
            break;
        case KindRadio:
            pControl = new QRadioButton(strCaption, this);
            break;
        case KindList:
            pControl = m_pResultList = new CSortListCtrl(this);
            break;
        case KindBitmapButton:
            pControl = new CToolTipResourceButton(this);
            break;
        case KindNumberEdit: {
            auto* pEdit = new QLineEdit(this);
            pEdit->setAlignment(Qt::AlignCenter);
            pEdit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), pEdit));
            pControl = pEdit;
            break;
        }
        }
        pControl->setObjectName(QString::fromLatin1(control.pszName));
        m_controls.insert(control.nId, pControl);
    }
    m_pSummary = static_cast<QLabel*>(Control(IDC_SUMMARY));
    m_pListPrev = static_cast<CToolTipResourceButton*>(Control(IDC_LIST_PREV));
    m_pListNext = static_cast<CToolTipResourceButton*>(Control(IDC_LIST_NEXT));

    // Enter in any control reaches the panel first.
    for (QWidget* pChild : findChildren<QWidget*>()) pChild->installEventFilter(this);

    // Nothing of the search tab shows until the first layout; the list page
    // box only after a search that found something.
    for (const Placement& place : kSearchLayout) Control(place.nId)->hide();
    Control(IDC_FORMS)->hide();
    ShowListPageControls(false);

    connect(m_pTab, &QTabWidget::currentChanged, this, &CLeftForm::LayoutPanel);
    connect(m_pTree, &QTreeWidget::itemSelectionChanged, this, &CLeftForm::OnTreeSelChanged);
    connect(static_cast<QPushButton*>(Control(IDC_SEARCH)), &QPushButton::clicked, this, &CLeftForm::OnSearch);
    connect(m_pResultList, &QTreeWidget::itemSelectionChanged, this, &CLeftForm::OpenResultPage);
    connect(m_pListPrev, &QAbstractButton::clicked, this, &CLeftForm::OnListPrev);
    connect(m_pListNext, &QAbstractButton::clicked, this, &CLeftForm::OnListNext);
}

void CLeftForm::CreateButtonGroups() {
    m_pSearchTypeGroup = new QButtonGroup(this);
    m_pSearchTypeGroup->addButton(static_cast<QRadioButton*>(Control(IDC_AND)), 0);
    m_pSearchTypeGroup->addButton(static_cast<QRadioButton*>(Control(IDC_OR)), 1);
    m_pSearchTypeGroup->button(m_nSearchType)->setChecked(true);

    m_pTextPartGroup = new QButtonGroup(this);
    m_pTextPartGroup->addButton(static_cast<QRadioButton*>(Control(IDC_WHOLE_TEXT)), 0);
    m_pTextPartGroup->addButton(static_cast<QRadioButton*>(Control(IDC_MAIN_TEXT)), 1);
    m_pTextPartGroup->addButton(static_cast<QRadioButton*>(Control(IDC_ANNOTATIONS)), 2);
    m_pTextPartGroup->button(m_nTextPart)->setChecked(true);
    connect(m_pTextPartGroup, &QButtonGroup::idClicked, this, &CLeftForm::OnTextPart);

    static_cast<QCheckBox*>(Control(IDC_VARIANTS))->setChecked(m_bVariants != 0);
}

void CLeftForm::OnInitialUpdate() {
    InsertTabs();
    m_pSummary->setText(tr("検索集計："));
    InsertListColumns();
    CreateTreeImages();
    m_pTab->setCurrentIndex(TabContents);
    LoadCatalogue();
    // The search starts out limited to the first record.
    m_strRangeLabel = QString::fromStdU16String(m_contents.RangeLabel(m_nRange));
    m_pRangeLabel->setText(m_strRangeLabel);
    SetUpListButtons();
    m_bInitialized = true;
    LayoutPanel();
}

void CLeftForm::InsertTabs() {
    // The pages stay empty: the controls lie on the panel above the tabs.
    m_pTab->insertTab(0, new QWidget, tr("検索"));
    m_pTab->insertTab(0, new QWidget, tr("目録"));
}

void CLeftForm::InsertListColumns() {
    for (const ColumnSpec& column : kListColumns) m_pResultList->InsertColumn(tr(column.pszCaption), column.nWidth);
}

void CLeftForm::CreateTreeImages() {
    // A closed book for an item, an open one while it is selected.
    m_bookIcon = QIcon();
    m_bookIcon.addPixmap(TreeImage(IDB_BOOK_CLOSED), QIcon::Normal);
    m_bookIcon.addPixmap(TreeImage(IDB_BOOK_OPEN), QIcon::Selected);
}

void CLeftForm::SetUpListButtons() {
    m_pListPrev->LoadImageStrip(IDB_LIST_PREV);
    m_pListPrev->SetButtonTip(tr("Previous Page"));
    m_pListNext->LoadImageStrip(IDB_LIST_NEXT);
    m_pListNext->SetButtonTip(tr("Next Page"));
}

void CLeftForm::LoadCatalogue() {
    const QString strPath = m_strDataFolder + u'/' + QString::fromLatin1(CCorpusFiles::Catalogue);

    // The dump goes to the current folder at every start, replacing the
    // last one; without it the catalogue still loads.
    QFile dump(QString::fromLatin1(CCorpusFiles::CatalogueDump));
    const bool bDump = dump.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text);

    CCatalogueLoader loader;
    std::string strError;
    if (!loader.Load(QFile::encodeName(strPath).toStdString(), m_contents, strError)) {
        CMessageBox::Show(this, tr("you delete data file!"));
        return;
    }
    InsertTreeItems();
    if (bDump) dump.write(QByteArray::fromStdString(m_contents.FormatDump()));

    const std::vector<CCatalogueLoader::Problem>& problems = loader.Problems();
    if (problems.empty()) return;
    QStringList lines{tr("目録ファイル「%1」に誤りがあります。").arg(QDir::toNativeSeparators(strPath))};
    for (size_t i = 0; i < problems.size() && i < kMaxListedProblems; ++i)
        lines << CatalogueProblemLine(problems[i]);
    if (problems.size() > kMaxListedProblems)
        lines << tr("ほかに %1 件の誤りがあります。").arg(problems.size() - kMaxListedProblems);
    CMessageBox::Show(this, lines.join(QLatin1Char('\n')));
}

void CLeftForm::InsertTreeItems() {
    // Tree items mirror the nodes: an item hangs under the item of its
    // node's parent, so items and nodes never disagree; a node outside the
    // tree (no parent) gets none.
    QHash<const ContentsNodeTag*, QTreeWidgetItem*> items;
    items.insert(&m_contents.GetRoot(), ContentsTree()->invisibleRootItem());
    for (int32_t nSlot = 1; nSlot < m_contents.GetNodeCount(); ++nSlot) {
        const ContentsNodeTag* pNode = m_contents.GetNode(nSlot);
        QTreeWidgetItem* pParentItem = pNode ? items.value(pNode->parent) : nullptr;
        if (!pParentItem) continue;
        auto* pItem = new QTreeWidgetItem(pParentItem, {QString::fromStdU16String(pNode->name)});
        pItem->setIcon(0, m_bookIcon);
        pItem->setData(0, SlotRole, nSlot);
        items.insert(pNode, pItem);
        m_treeItems.insert(nSlot, pItem);
    }
}

QString CLeftForm::CatalogueProblemLine(const CCatalogueLoader::Problem& problem) {
    switch (problem.eKind) {
    case CCatalogueLoader::Problem::TooManyRecords:
        return tr("記録が %1 件を超えています。%2 件目から先は読みませんでした。")
            .arg(CCatalog::MaxRecords)
            .arg(CCatalog::MaxRecords + 1);
    case CCatalogueLoader::Problem::ShortLastRecord:
        return tr("最後の記録が %1 バイトしかありません（1 件は %2 バイト）。足りない分は 0 として読みました。")
            .arg(problem.nLastBytes)
            .arg(CCatalog::RecordSize);
    case CCatalogueLoader::Problem::NameWithoutEnd:
        return tr("%1 件目の名前が 0 で終わっていません。%2 字目までを名前としました。")
            .arg(problem.nSlot)
            .arg(CCatalog::NameUnits);
    case CCatalogueLoader::Problem::LevelOutsideTree:
        return tr("%1 件目の階層 %2 は 1 から 3 のどれでもありません。目録には載せていません。")
            .arg(problem.nSlot)
            .arg(problem.nLevel);
    case CCatalogueLoader::Problem::NoParent:
        return tr("%1 件目（階層 %2）の前に階層 %3 の記録がありません。目録には載せていません。")
            .arg(problem.nSlot)
            .arg(problem.nLevel)
            .arg(problem.nLevel - 1);
    }
    return QString();
}

void CLeftForm::LayoutPanel() {
    if (!m_bInitialized) return;
    const int W = width();
    const int H = height();
    m_pTab->setGeometry(0, 0, W - 1, H - 1);

    if (m_pTab->currentIndex() == TabSearch) {
        m_pTree->hide();
        int r = 0;
        ShowListPageControls(m_nListPages > 0);
        if (m_nListPages > 0) {
            PlaceListPageControls(W, H);
            r = m_pListPrev->height() + 2;
        }
        const int nFormsHeight = PlaceFormsLine(W);
        for (const Placement& place : kSearchLayout) {
            QWidget* pControl = Control(place.nId);
            int nY = place.y;
            int nHeight = place.h + place.hH * H;
            if (place.nId == IDC_RESULT_LIST) {
                nHeight -= r;
                if (nFormsHeight > 0) {
                    nY += nFormsHeight + 2;
                    nHeight -= nFormsHeight + 2;
                }
            }
            pControl->setGeometry(place.x + place.xW * W, nY, place.w + place.wW * W, nHeight);
            pControl->show();
        }
    } else {
        for (const Placement& place : kSearchLayout) Control(place.nId)->hide();
        Control(IDC_FORMS)->hide();
        ShowListPageControls(false);
        m_pTree->setGeometry(5, 26, W - 10, H - 30);
        m_pTree->show();
    }

    emit laidOut();
}

int CLeftForm::PlaceFormsLine(int nWidth) {
    auto* pForms = static_cast<QLabel*>(Control(IDC_FORMS));
    if (!m_searchForms.HasOtherForms()) {
        pForms->hide();
        return 0;
    }
    // Under the summary, as wide as the panel, wrapped into at most two
    // rows; a longer line is cut with an ellipsis and shown whole as the
    // label's tooltip.
    const QString strLine = QString::fromStdString(m_searchForms.FormatLine());
    const int nTextWidth = nWidth - 15;
    const QFontMetrics metrics = pForms->fontMetrics();
    auto height = [&](const QString& strText) {
        return metrics.boundingRect(QRect(0, 0, nTextWidth, 100 * metrics.lineSpacing()), Qt::TextWordWrap, strText)
            .height();
    };
    // A row as high as the line's own characters make it (the CJK font's).
    const int nMaxHeight = kFormsRows * height(strLine.left(1));
    QString strShown = strLine;
    for (int nRoom = kFormsRows * nTextWidth; height(strShown) > nMaxHeight && nRoom > 0; nRoom -= nTextWidth / 8)
        strShown = metrics.elidedText(strLine, Qt::ElideRight, nRoom);
    pForms->setWordWrap(true);
    pForms->setText(strShown);
    pForms->setToolTip(strLine);
    const int nHeight = std::max(height(strShown), metrics.height());
    pForms->setGeometry(5, 252, nTextWidth, nHeight);
    pForms->show();
    return nHeight;
}

void CLeftForm::PlaceListPageControls(int nWidth, int nHeight) {
    const int bw = m_pListPrev->width();
    const int bh = m_pListPrev->height();
    const int y0 = nHeight - bh - 5;
    const int x0 = (nWidth - 139) / 2 + 37;
    m_pListPrev->setGeometry(5, y0, bw, 32);
    m_pListNext->setGeometry(nWidth - bw - 5, y0, bw, 32);
    Control(IDC_LIST_PAGE)->setGeometry(x0, y0 + 6, 35, 20);
    // Wide enough for the count ("/1101" on a large corpus), short of ">".
    QWidget* pCount = Control(IDC_LIST_PAGE_COUNT);
    const int nCountWidth = pCount->fontMetrics().horizontalAdvance(QStringLiteral("/%1").arg(m_nListPages)) + 4;
    pCount->setGeometry(x0 + 37, y0 + 8, std::max(30, std::min(nCountWidth, nWidth - bw - 5 - (x0 + 37))), 24);
    m_pListPrev->SetButtonTip(m_pListPrev->toolTip(), true);
    m_pListNext->SetButtonTip(m_pListNext->toolTip(), true);
}

void CLeftForm::ShowListPageControls(bool bShow) {
    for (int nId : kListPageControls) Control(nId)->setVisible(bShow);
}

void CLeftForm::resizeEvent(QResizeEvent* pEvent) {
    QWidget::resizeEvent(pEvent);
    LayoutPanel();
}

void CLeftForm::showEvent(QShowEvent* pEvent) {
    QWidget::showEvent(pEvent);
    LayoutPanel();
}

bool CLeftForm::eventFilter(QObject* pWatched, QEvent* pEvent) {
    if (pEvent->type() == QEvent::KeyPress) {
        const int nKey = static_cast<QKeyEvent*>(pEvent)->key();
        // Every control is a child of the panel; a key that an inner part of
        // one (a tab bar) leaves goes on to that control, so each press is
        // acted on once, where it reaches a control.
        if ((nKey == Qt::Key_Return || nKey == Qt::Key_Enter) && pWatched->parent() == this) OnReturnKey();
    } else if (pEvent->type() == QEvent::FocusOut && pWatched == Control(IDC_LIST_PAGE)) {
        ApplyPageBox();
    }
    return QWidget::eventFilter(pWatched, pEvent);
}

void CLeftForm::OnReturnKey() {
    emit returnKeyPressed();
    if (m_nListPages <= 1)
        OnSearch();
    else
        ApplyPageBox();
}

void CLeftForm::OnTreeSelChanged() {
    const QList<QTreeWidgetItem*> selected = m_pTree->selectedItems();
    if (selected.isEmpty()) return;
    QTreeWidgetItem* pItem = selected.first();
    const int32_t nSlot = pItem->data(0, SlotRole).toInt();
    m_nRange = static_cast<uint16_t>(nSlot);
    m_strRangeLabel = QString::fromStdU16String(m_contents.RangeLabel(nSlot));
    m_pRangeLabel->setText(m_strRangeLabel);

    // A node without children is read as a volume: its first page shows.
    if (pItem->childCount() == 0) MakeVolumeCurrent(nSlot);
}

void CLeftForm::MakeVolumeCurrent(int32_t nSlot) {
    const CatalogRecord* pRecord = NodeItem(nSlot);
    if (!pRecord) return;
    m_nCurVolume = nSlot;
    m_nCurPage = pRecord->curFileName;
    OpenVolumePage(nSlot, 1, 1);
    const int64_t nLast = static_cast<int64_t>(pRecord->curFileName) + pRecord->docNo - 1;
    emit pageRangeChanged(pRecord->curFileName, static_cast<int>(std::clamp<int64_t>(nLast, INT_MIN, INT_MAX)));
    emit pageChanged(m_nCurPage, PageIndicator());
}

bool CLeftForm::OpenVolumePage(int32_t nVolume, int32_t nFromFirst, int32_t nPage) {
    const CatalogRecord* pRecord = NodeItem(nVolume);
    if (!pRecord || pRecord->docID < 1 || m_strPageFile.isEmpty()) return false;
    if (nFromFirst == 1) nPage = pRecord->curFileName;

    int32_t nIndex = 0;
    std::string strPage;
    if (!m_index.IsOpen() || !m_index.FindPage(pRecord->docID - 1, nPage, nIndex) || !m_index.ReadPage(nIndex, strPage))
        return false;

    QFile file(m_strPageFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    const bool bWritten = file.write(strPage.data(), static_cast<qint64>(strPage.size())) ==
                          static_cast<qint64>(strPage.size());
    file.close();
    if (!bWritten) return false;
    emit navigateRequested(m_strPageFile);
    return true;
}

QString CLeftForm::PageIndicator() const {
    return QStringLiteral("%1/%2").arg(m_index.GetHeaderValue()).arg(m_nCurPage);
}

void CLeftForm::ShowMessage(const QString& strText) { CMessageBox::Show(this, strText); }

QString CLeftForm::ClosedIndexMessage(const QString& strWhat) const {
    // What could not be opened and in which folder. Reopening helps only
    // with a text part whose index files are in that folder; a corpus made
    // anew (or another folder) helps in any case.
    QStringList lines{strWhat};
    if (!m_index.GetOpenError().empty())
        lines << tr("開けなかったファイル: %1").arg(QString::fromStdString(m_index.GetOpenError()));
    lines << tr("探したフォルダ: %1").arg(QDir::toNativeSeparators(QDir(m_strDataFolder).absolutePath()));

    const std::string strFolder = QFile::encodeName(m_strDataFolder).toStdString();
    QStringList parts;
    for (int nPart = 0; nPart < 3; ++nPart) {
        if (nPart == m_nTextPart) continue;
        const IndexScope eScope = ScopeOf(static_cast<TextPart>(nPart));
        if (QFileInfo(QFile::decodeName(CCorpusFiles::IndexHeader(strFolder, eScope).c_str())).isFile() &&
            QFileInfo(QFile::decodeName(CCorpusFiles::IndexPostings(strFolder, eScope).c_str())).isFile())
            parts << tr("「%1」").arg(static_cast<QAbstractButton*>(Control(kTextPartButtons[nPart]))->text());
    }
    if (!parts.isEmpty()) lines << tr("%1を押せば、その索引を開き直して検索できます。").arg(parts.join(tr("か")));
    lines << tr("データは「tessaline-cli build 元のフォルダ 出力フォルダ」で作れます。"
                "作ったフォルダを --data か環境変数 TESSALINE_DATA で指定して起動し直して下さい。");
    return lines.join(QLatin1Char('\n'));
}

void CLeftForm::UpdateData(bool bSave) {
    auto* pVariants = static_cast<QCheckBox*>(Control(IDC_VARIANTS));
    if (bSave) {
        m_nSearchType = std::max(0, m_pSearchTypeGroup->checkedId());
        m_bVariants = pVariants->isChecked() ? 1 : 0;
    } else {
        if (QAbstractButton* pButton = m_pSearchTypeGroup->button(m_nSearchType)) pButton->setChecked(true);
        pVariants->setChecked(m_bVariants != 0);
    }
}

void CLeftForm::OnSearch() {
    m_nCurHit = 0;
    UpdateData(true);
    const std::u16string strPrevious = m_strKeywords;
    QString strTyped = m_pKeywordBox->text();
    strTyped.replace(QChar(0x3000), QChar(u' '));
    m_strKeywords = strTyped.toStdU16String();

    if (m_nRange == 0) {
        ShowMessage(tr("検索範囲をまた指定していません。"));
        UpdateData(false);
        return;
    }
    const std::string strProblem = CKeywordCheck::Check(m_strKeywords);
    if (strProblem == CKeywordCheck::EmptyKeywordsMessage) {
        m_strKeywords = strPrevious;
        ShowMessage(tr("何かキーワードを入力して検索をして下さい。"));
        return;
    }
    // A search that cannot run keeps the last result on display with the
    // keywords that found it, so that its pages are still marked right.
    QString strRefusal;
    const ContentsNodeTag* pRange = m_contents.FindRangeNode(m_nRange);
    if (!strProblem.empty())
        strRefusal = QString::fromStdString(strProblem);
    else if (!m_index.IsOpen())
        strRefusal = ClosedIndexMessage(tr("索引ファイルが開いていないので検索できません。"));
    else if (!pRange)
        strRefusal = tr("検索範囲が目録にありません。目録から範囲を選び直して下さい。");
    if (!strRefusal.isEmpty()) {
        m_strKeywords = strPrevious;
        ShowMessage(strRefusal);
        UpdateData(false);
        return;
    }

    if (m_nSearchType == 1)
        m_index.SearchOr(m_strKeywords, true, m_bVariants != 0);
    else
        m_index.SearchAnd(m_strKeywords, true, m_bVariants != 0);

    m_pResultList->clear();
    m_results.BuildResults(*pRange, m_index.GetResultPages(), m_index.GetResultHits());
    m_nListPages = m_results.GetListPageCount();
    m_pSummary->setText(QString::fromStdString(m_results.GetSummaryLine()));
    // With variants on, which forms were searched, so that a reader sees
    // why a page was found.
    if (m_bVariants)
        m_searchForms.Build(m_index, m_strKeywords, true, *pRange);
    else
        m_searchForms.Clear();
    m_nListPage = m_nListPages > 0 ? 1 : 0;
    LayoutPanel();
    ShowListPage();
    UpdateData(false);
}

void CLeftForm::ShowListPage() {
    size_t nBegin = 0;
    size_t nEnd = 0;
    if (m_nListPage < 1 || m_nListPage > m_nListPages || !m_results.GetListPageRows(m_nListPage, nBegin, nEnd)) return;
    m_pResultList->clear();
    UpdatePageBox();
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(nEnd - nBegin));
    for (size_t i = nBegin; i < nEnd; ++i) {
        const SearchNodeTag row = m_results.GetRow(i);
        auto* pItem = new QTreeWidgetItem(QStringList{QString::fromStdU16String(row.category),
                                                      QString::fromStdU16String(row.bookName),
                                                      QString::fromStdU16String(row.volumeName),
                                                      QString::number(row.pageNo)});
        pItem->setData(0, CSortListCtrl::PageIndexRole, row.pageIndex);
        items.append(pItem);
    }
    m_pResultList->addTopLevelItems(items);
}

void CLeftForm::UpdatePageBox() {
    auto* pEdit = static_cast<QLineEdit*>(Control(IDC_LIST_PAGE));
    m_pListPrev->setEnabled(true);
    m_pListNext->setEnabled(true);
    pEdit->setEnabled(true);
    pEdit->setText(QString::number(m_nListPage));
    pEdit->setReadOnly(false);
    pEdit->selectAll();
    static_cast<QLabel*>(Control(IDC_LIST_PAGE_COUNT))->setText(QStringLiteral("/%1").arg(m_nListPages));
    if (m_nListPages == 1) {
        m_pListPrev->setEnabled(false);
        m_pListNext->setEnabled(false);
        pEdit->setReadOnly(true);
    }
    if (m_nListPage == 1) m_pListPrev->setEnabled(false);
    if (m_nListPage == m_nListPages) m_pListNext->setEnabled(false);
}

void CLeftForm::ApplyPageBox() {
    auto* pEdit = static_cast<QLineEdit*>(Control(IDC_LIST_PAGE));
    // Leading digits, as a C decimal conversion reads them; none gives 0.
    const QString strText = pEdit->text().trimmed();
    qsizetype nDigits = 0;
    while (nDigits < strText.size() && nDigits < 10 && strText[nDigits].isDigit() &&
           strText[nDigits].unicode() < 0x80)
        ++nDigits;
    const qint64 nTyped = nDigits > 0 ? strText.left(nDigits).toLongLong() : 0;
    if (nTyped <= 0 || nTyped > m_nListPages) {
        pEdit->setText(QString::number(m_nListPage));
        pEdit->selectAll();
        return;
    }
    if (nTyped == m_nListPage) return;
    m_nListPage = static_cast<int32_t>(nTyped);
    ShowListPage();
}

void CLeftForm::OnListPrev() {
    // The buttons take no focus, so the page box has not applied a number
    // typed into it: it does so before the button moves on from there.
    ApplyPageBox();
    if (m_nListPage <= 1) return;
    --m_nListPage;
    ShowListPage();
}

void CLeftForm::OnListNext() {
    ApplyPageBox();
    if (m_nListPage >= m_nListPages) return;
    ++m_nListPage;
    ShowListPage();
}

void CLeftForm::OnTextPart(int nPart) {
    if (nPart < 0 || nPart > 2) return;
    m_index.Close();
    m_index.Open(QFile::encodeName(m_strDataFolder).toStdString(), CCorpusFiles::BaseName,
                 ScopeOf(static_cast<TextPart>(nPart)));
    m_nTextPart = nPart;
}

void CLeftForm::OpenResultPage() {
    const QList<QTreeWidgetItem*> selected = m_pResultList->selectedItems();
    if (selected.isEmpty()) return;
    const QString strFile = m_strResultFile[m_bFirstResultFile ? 0 : 1];
    if (strFile.isEmpty()) return;
    if (!m_index.IsOpen()) {
        ShowMessage(ClosedIndexMessage(tr("索引ファイルが開いていないので頁を表示できません。")));
        return;
    }
    bool bNumber = false;
    const int32_t nPage = selected.first()->data(0, CSortListCtrl::PageIndexRole).toInt(&bNumber);
    if (!bNumber) return;

    QFile file(strFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;
    std::string strPage;
    const int32_t nHits = m_index.RenderPage(nPage, strPage, m_strKeywords, static_cast<TextPart>(m_nTextPart),
                                              m_bVariants != 0);
    m_nHitCount = std::max(0, nHits);
    m_nCurHit = 0;
    const bool bWritten =
        file.write(strPage.data(), static_cast<qint64>(strPage.size())) == static_cast<qint64>(strPage.size());
    file.close();
    if (!bWritten) return;
    emit navigateRequested(strFile + QStringLiteral("#0000"));
    m_bFirstResultFile = !m_bFirstResultFile;
    m_strShownFile = strFile;
}
