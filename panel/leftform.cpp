#include "panel/leftform.h"

#include "controls/messagebox.h"
#include "corpus/corpusfiles.h"
#include "model/keywordcheck.h"
#include "panel/keywordedit.h"
#include "panel/listpagebox.h"
#include "panel/sortlistctrl.h"
#include "platform/atomicfile.h"
#include "resources/resource.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTreeWidget>

#include <algorithm>
#include <climits>

namespace {

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
    : QWidget(pParent), m_strDataFolder(strDataFolder), m_pCitation(std::make_unique<CCitation>(m_contents)) {
    setObjectName(QStringLiteral("leftForm"));
    CreateControls();
    CreateButtonGroups();

    m_index.SetMessageCallback([this](const std::string& strMessage) {
        QString strText = QString::fromStdString(strMessage);
        // A corpus that cannot be opened: where the reader looked, why, and
        // how to make one.
        if (strMessage == CIndex::OpenFailedMessage)
            strText += u'\n' + DataProblemLine(QString::fromStdString(m_index.GetOpenError()));
        CMessageBox::Show(this, strText);
    });
    m_index.Open(QFile::encodeName(m_strDataFolder).toStdString(), CCorpusFiles::BaseName, IndexScope::WholeText);
}

CLeftForm::~CLeftForm() { m_index.Close(); }

void CLeftForm::CreateControls() {
    m_controls.Create(this);
    m_pListPageBox = m_controls.ListPageBox();

    // Enter in any control reaches the panel first.
    for (QWidget* pChild : findChildren<QWidget*>()) pChild->installEventFilter(this);

    connect(TabControl(), &QTabWidget::currentChanged, this, &CLeftForm::LayoutPanel);
    connect(ContentsTree(), &QTreeWidget::itemSelectionChanged, this, &CLeftForm::OnTreeSelChanged);
    connect(static_cast<QPushButton*>(Control(IDC_SEARCH)), &QPushButton::clicked, this, &CLeftForm::OnSearch);
    connect(ResultList(), &QTreeWidget::itemSelectionChanged, this, &CLeftForm::OpenResultPage);
    connect(m_pListPageBox, &CListPageBox::prevClicked, this, &CLeftForm::OnListPrev);
    connect(m_pListPageBox, &CListPageBox::nextClicked, this, &CLeftForm::OnListNext);
    connect(m_pListPageBox, &CListPageBox::editLeft, this, &CLeftForm::ApplyPageBox);
    connect(static_cast<QPushButton*>(Control(IDC_STEP_BACK)), &QPushButton::clicked, this, &CLeftForm::OnStepBack);
    connect(static_cast<QPushButton*>(Control(IDC_SHOW_ALL)), &QPushButton::clicked, this,
            [this] { NarrowTo(nullptr); });
    // 類別, 書名 and 巻 order every row as the contents tree does; 頁 gives
    // the search's order back, and the list sorts the page on display.
    connect(ResultList(), &CSortListCtrl::headerClicked, this, [this](int nColumn) {
        if (nColumn < CSortListCtrl::PageColumn)
            SortRows(CResultList::Order::Reading);
        else if (nColumn == CSortListCtrl::PageColumn && m_results.GetOrder() != CResultList::Order::PageNumber)
            SortRows(CResultList::Order::PageNumber);
    });
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
    m_controls.Summary()->setText(tr("検索集計："));
    m_controls.InsertListColumns();
    CreateTreeImages();
    TabControl()->setCurrentIndex(TabContents);
    LoadCatalogue();
    m_pCitation = std::make_unique<CCitation>(m_contents);
    // The search starts out limited to the first record.
    m_strRangeLabel = QString::fromStdU16String(m_contents.RangeLabel(m_nRange));
    RangeLabel()->setText(m_strRangeLabel);
    m_pListPageBox->SetUpButtons();
    m_bInitialized = true;
    LayoutPanel();
}

void CLeftForm::InsertTabs() {
    // The pages stay empty: the controls lie on the panel above the tabs.
    TabControl()->insertTab(0, new QWidget, tr("検索"));
    TabControl()->insertTab(0, new QWidget, tr("目録"));
}

void CLeftForm::CreateTreeImages() {
    // A closed book for an item, an open one while it is selected.
    m_bookIcon = QIcon();
    m_bookIcon.addPixmap(TreeImage(IDB_BOOK_CLOSED), QIcon::Normal);
    m_bookIcon.addPixmap(TreeImage(IDB_BOOK_OPEN), QIcon::Selected);
}

void CLeftForm::LoadCatalogue() {
    const QString strPath = m_strDataFolder + u'/' + QString::fromLatin1(CCorpusFiles::Catalogue);

    CCatalogueLoader loader;
    std::string strError;
    const bool bLoaded = loader.Load(QFile::encodeName(strPath).toStdString(), m_contents, strError);
    // The dump is made anew at every start (empty when the catalogue cannot
    // be read), in the user's cache folder, where it replaces no file of
    // the user's; without it the catalogue still loads.
    const QString strDump = CatalogueDumpPath();
    std::string strDumpError;
    if (!strDump.isEmpty() && QDir().mkpath(QFileInfo(strDump).path()))
        CAtomicFile::Write(QFile::encodeName(strDump).toStdString(), bLoaded ? m_contents.FormatDump() : std::string(),
                           CAtomicFile::Mode::Durable, strDumpError);
    if (!bLoaded) {
        CMessageBox::Show(this, tr("you delete data file!") + u'\n' + DataProblemLine(QString::fromStdString(strError)));
        return;
    }
    InsertTreeItems();

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
    CPanelControls::LinesTag lines;
    if (m_searchForms.HasOtherForms()) lines.strForms = QString::fromStdString(m_searchForms.FormatLine());
    if (m_chain.StepCount() > 1) lines.strChain = tr("結果内検索：%1").arg(QString::fromStdString(m_chain.FormatChain()));
    lines.strNarrow = QString::fromStdString(m_results.GetNarrowLine());
    m_controls.Layout(width(), height(), m_nListPages, lines);
    emit laidOut();
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
        // Every control is a child of the panel (the list page box's are the
        // box's, which is the panel's); a key that an inner part of one (a
        // tab bar, the box's edit) leaves goes on to that control, so each
        // press is acted on once, where it reaches a child of the panel.
        if ((nKey == Qt::Key_Return || nKey == Qt::Key_Enter) && pWatched->parent() == this) OnReturnKey();
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
    const QList<QTreeWidgetItem*> selected = ContentsTree()->selectedItems();
    if (selected.isEmpty()) return;
    QTreeWidgetItem* pItem = selected.first();
    const int32_t nSlot = pItem->data(0, SlotRole).toInt();
    m_nRange = static_cast<uint16_t>(nSlot);
    m_strRangeLabel = QString::fromStdU16String(m_contents.RangeLabel(nSlot));
    RangeLabel()->setText(m_strRangeLabel);

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
    if (!pRecord || pRecord->docID < 1 || PageFilePath().isEmpty()) return false;
    if (nFromFirst == 1) nPage = pRecord->curFileName;

    int32_t nIndex = 0;
    std::string strPage;
    if (!m_index.IsOpen() || !m_index.FindPage(pRecord->docID - 1, nPage, nIndex) ||
        !m_index.ReadPage(nIndex, strPage) || !m_pageFiles.WritePage(strPage))
        return false;
    m_nShownPage = nIndex;
    emit navigateRequested(PageFilePath());
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
    lines << HowToMakeACorpus();
    return lines.join(QLatin1Char('\n'));
}

QString CLeftForm::CatalogueDumpPath() {
    const QString strCache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    return strCache.isEmpty() ? QString() : strCache + u'/' + QString::fromLatin1(CCorpusFiles::CatalogueDump);
}

QString CLeftForm::HowToMakeACorpus() {
    return tr("既定のコーパスは scripts/run.sh で、ほかのデータは「tessaline-cli build 元のフォルダ 出力フォルダ」で"
              "作れます。作ったフォルダを --data か環境変数 TESSALINE_DATA で指定して起動し直して下さい。");
}

QString CLeftForm::DataProblemLine(const QString& strReason) const {
    const QString strFolder = QDir::toNativeSeparators(QDir(m_strDataFolder).absolutePath());
    return tr("データフォルダ「%1」: %2。%3").arg(strFolder, strReason, HowToMakeACorpus());
}

void CLeftForm::UpdateData(bool bSave) {
    auto* pVariants = static_cast<QCheckBox*>(Control(IDC_VARIANTS));
    auto* pWithin = static_cast<QCheckBox*>(Control(IDC_WITHIN));
    if (bSave) {
        m_nSearchType = std::max(0, m_pSearchTypeGroup->checkedId());
        m_bVariants = pVariants->isChecked() ? 1 : 0;
        m_bWithin = pWithin->isChecked() ? 1 : 0;
    } else {
        if (QAbstractButton* pButton = m_pSearchTypeGroup->button(m_nSearchType)) pButton->setChecked(true);
        pVariants->setChecked(m_bVariants != 0);
        pWithin->setChecked(m_bWithin != 0);
    }
}

void CLeftForm::OnSearch() {
    UpdateData(true);
    QString strTyped = KeywordBox()->text();
    strTyped.replace(QChar(0x3000), QChar(u' '));
    SearchStepTag step;
    step.keywords = strTyped.toStdU16String();
    step.bOr = m_nSearchType == 1;
    step.bVariants = m_bVariants != 0;
    step.ePart = static_cast<TextPart>(m_nTextPart);
    RunStep(step, m_bWithin != 0 && !m_chain.Empty());
}

bool CLeftForm::RunStep(const SearchStepTag& step, bool bWithin) {
    m_nCurHit = 0;
    if (m_nRange == 0) {
        ShowMessage(tr("検索範囲をまた指定していません。"));
        UpdateData(false);
        return false;
    }
    const std::string strProblem = CKeywordCheck::Check(step.keywords);
    if (strProblem == CKeywordCheck::EmptyKeywordsMessage) {
        ShowMessage(tr("何かキーワードを入力して検索をして下さい。"));
        return false;
    }
    // A search that cannot run keeps the last result on display with the
    // keywords that found it, so that its pages are still marked right.
    QString strRefusal;
    if (!strProblem.empty())
        strRefusal = QString::fromStdString(strProblem);
    else if (!m_index.IsOpen())
        strRefusal = ClosedIndexMessage(tr("索引ファイルが開いていないので検索できません。"));
    else if (!m_contents.FindRangeNode(m_nRange))
        strRefusal = tr("検索範囲が目録にありません。目録から範囲を選び直して下さい。");
    if (!strRefusal.isEmpty()) {
        ShowMessage(strRefusal);
        UpdateData(false);
        return false;
    }

    if (bWithin)
        m_chain.Narrow(m_index, step);
    else
        m_chain.Start(m_index, step);
    m_nSearchedRange = m_nRange;
    ShowChainResult();
    if (!m_bRunningRequest) emit searchMade();
    return true;
}

void CLeftForm::ShowChainResult() {
    const ContentsNodeTag* pRange = m_contents.FindRangeNode(m_nSearchedRange);
    if (m_chain.Empty() || !pRange) return;
    const SearchStepTag step = m_chain.Step(m_chain.StepCount() - 1);
    m_strKeywords = m_chain.Keywords();
    ResultList()->clear();
    m_results.BuildResults(*pRange, m_chain.Pages(), m_chain.Hits());
    m_nListPages = m_results.GetListPageCount();
    // With variants on, which forms were searched, so that a reader sees
    // why a page was found.
    if (step.bVariants)
        m_searchForms.Build(m_index, m_strKeywords, true, *pRange, CSearchForms::Counts::WhereShown);
    else
        m_searchForms.Clear();
    m_hitParts.Compute(m_index, QFile::encodeName(m_strDataFolder).toStdString(), static_cast<TextPart>(m_nTextPart),
                       m_strKeywords, step.bVariants, m_results.GetPageIndexes());
    m_nListPage = m_nListPages > 0 ? 1 : 0;
    UpdateSummary();
    LayoutPanel();
    ShowListPage();
    UpdateData(false);
    emit searched();
}

void CLeftForm::UpdateSummary() {
    m_controls.Summary()->setText(QString::fromStdString(m_results.GetSummaryLine()));
}

void CLeftForm::ShowStepOptions(const SearchStepTag& step) {
    QString strShown = QString::fromStdU16String(step.keywords);
    strShown.replace(QChar(0x3000), QChar(u' '));
    KeywordBox()->setText(strShown);
    m_nSearchType = step.bOr ? 1 : 0;
    m_bVariants = step.bVariants ? 1 : 0;
    UpdateData(false);
}

void CLeftForm::OnStepBack() {
    if (!m_chain.StepBack()) return;
    ShowStepOptions(m_chain.Step(m_chain.StepCount() - 1));
    ShowChainResult();
}

bool CLeftForm::NarrowTo(const ContentsNodeTag* pNode) {
    if (!m_results.Narrow(pNode)) return false;
    m_nListPages = m_results.GetListPageCount();
    m_nListPage = m_nListPages > 0 ? 1 : 0;
    ResultList()->clear();
    UpdateSummary();
    LayoutPanel();
    ShowListPage();
    emit rowsChanged();
    return true;
}

void CLeftForm::SortRows(CResultList::Order eOrder) {
    if (m_results.GetAllRowCount() == 0) return;
    m_results.SortRows(eOrder);
    m_nListPage = m_nListPages > 0 ? 1 : 0;
    ShowListPage();
}

SearchRequestTag CLeftForm::LastRequest() const {
    SearchRequestTag request;
    for (size_t i = 0; i < m_chain.StepCount(); ++i) request.steps.push_back(m_chain.Step(i));
    request.nRange = m_nSearchedRange;
    return request;
}

bool CLeftForm::RunRequest(const SearchRequestTag& request) {
    if (request.steps.empty()) return false;
    if (request.nRange < 1 || request.nRange > UINT16_MAX || !m_contents.FindRangeNode(request.nRange)) {
        ShowMessage(tr("検索範囲が目録にありません。目録から範囲を選び直して下さい。"));
        return false;
    }
    m_nRange = static_cast<uint16_t>(request.nRange);
    m_strRangeLabel = QString::fromStdU16String(m_contents.RangeLabel(request.nRange));
    RangeLabel()->setText(m_strRangeLabel);
    m_bRunningRequest = true;
    bool bRan = true;
    for (size_t i = 0; i < request.steps.size() && bRan; ++i) {
        const SearchStepTag& step = request.steps[i];
        const int nPart = static_cast<int>(step.ePart);
        if (nPart != m_nTextPart && nPart >= 0 && nPart <= 2) {
            m_pTextPartGroup->button(nPart)->setChecked(true);
            OnTextPart(nPart);
        }
        ShowStepOptions(step);
        bRan = RunStep(step, i > 0);
    }
    m_bRunningRequest = false;
    if (bRan) emit searchMade();
    return bRan;
}

void CLeftForm::ShowListPage() {
    size_t nBegin = 0;
    size_t nEnd = 0;
    if (m_nListPage < 1 || m_nListPage > m_nListPages || !m_results.GetListPageRows(m_nListPage, nBegin, nEnd)) return;
    ResultList()->clear();
    UpdatePageBox();
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(nEnd - nBegin));
    for (size_t i = nBegin; i < nEnd; ++i) {
        const SearchNodeTag row = m_results.GetRow(i);
        auto* pItem = new QTreeWidgetItem(QStringList{QString::fromStdU16String(row.category),
                                                      QString::fromStdU16String(row.bookName),
                                                      QString::fromStdU16String(row.volumeName),
                                                      QString::number(row.pageNo),
                                                      QString::fromStdU16String(CHitParts::Label(
                                                          m_hitParts.PartsOf(static_cast<uint32_t>(row.pageIndex))))});
        pItem->setData(0, CSortListCtrl::PageIndexRole, row.pageIndex);
        items.append(pItem);
    }
    ResultList()->addTopLevelItems(items);
}

void CLeftForm::UpdatePageBox() { m_pListPageBox->ShowPage(m_nListPage, m_nListPages); }

void CLeftForm::ApplyPageBox() {
    const int32_t nTyped = m_pListPageBox->TypedPage(m_nListPage, m_nListPages);
    if (nTyped == 0 || nTyped == m_nListPage) return;
    m_nListPage = nTyped;
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
    m_hitParts.CloseIndexes();
    m_index.Open(QFile::encodeName(m_strDataFolder).toStdString(), CCorpusFiles::BaseName,
                 ScopeOf(static_cast<TextPart>(nPart)));
    m_nTextPart = nPart;
    emit indexReopened();
}

void CLeftForm::OpenResultPage() {
    const QList<QTreeWidgetItem*> selected = ResultList()->selectedItems();
    if (selected.isEmpty()) return;
    if (m_pageFiles.NextResultFile().isEmpty()) return;
    if (!m_index.IsOpen()) {
        ShowMessage(ClosedIndexMessage(tr("索引ファイルが開いていないので頁を表示できません。")));
        return;
    }
    bool bNumber = false;
    const int32_t nPage = selected.first()->data(0, CSortListCtrl::PageIndexRole).toInt(&bNumber);
    if (bNumber) ShowResultPage(nPage, 0);
}

bool CLeftForm::OpenHitPage(int32_t nPage, int32_t nAnchor) {
    if (!m_index.IsOpen()) {
        ShowMessage(ClosedIndexMessage(tr("索引ファイルが開いていないので頁を表示できません。")));
        return false;
    }
    return ShowResultPage(nPage, nAnchor);
}

bool CLeftForm::ShowResultPage(int32_t nPage, int32_t nAnchor) {
    const QString strFile = m_pageFiles.NextResultFile();
    if (strFile.isEmpty()) return false;
    std::string strPage;
    const int32_t nHits = m_index.RenderPage(nPage, strPage, m_strKeywords, static_cast<TextPart>(m_nTextPart),
                                              m_bVariants != 0);
    m_nHitCount = std::max(0, nHits);
    m_nCurHit = std::clamp(nAnchor, 0, std::max(0, m_nHitCount - 1));
    if (!m_pageFiles.WriteResultPage(strPage)) return false;
    m_nShownPage = nPage;
    emit navigateRequested(strFile + QString::asprintf("#%04d", m_nCurHit));
    m_strShownFile = strFile;
    return true;
}
