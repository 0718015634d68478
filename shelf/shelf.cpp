#include "shelf/shelf.h"

#include "controls/messagebox.h"
#include "model/bookmarkfinder.h"
#include "model/pagedigest.h"
#include "panel/leftform.h"
#include "shelf/bookmarknotedlg.h"
#include "shelf/bookmarksdlg.h"
#include "shelf/bookmarkstore.h"
#include "shelf/historydlg.h"
#include "shelf/historystore.h"
#include "shelf/shelfdatabase.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

CShelf::CShelf(CLeftForm& leftForm, QWidget* pWindow, const QString& strPath)
    : QObject(pWindow), m_leftForm(leftForm), m_pWindow(pWindow) {
    m_pDatabase = std::make_unique<CShelfDatabase>(strPath.isEmpty() ? CShelfDatabase::DefaultPath() : strPath);
    m_pDatabase->Open();
    m_pBookmarks = std::make_unique<CBookmarkStore>(*m_pDatabase);
    m_pHistory = std::make_unique<CHistoryStore>(*m_pDatabase);
    if (!m_pDatabase->Notice().isEmpty()) {
        // Once the window is up, not in the middle of making it.
        const QString strNotice = m_pDatabase->Notice();
        QTimer::singleShot(0, this, [this, strNotice] { Show(strNotice); });
    }
    connect(&m_leftForm, &CLeftForm::searchMade, this, [this] { Record(m_leftForm.LastRequest()); });
}

CShelf::~CShelf() = default;

void CShelf::Show(const QString& strText) { CMessageBox::Show(m_pWindow, strText); }

std::string CShelf::CorpusFolder() const {
    const QFileInfo folder(m_leftForm.DataFolder());
    const QString strCanonical = folder.canonicalFilePath();
    return (strCanonical.isEmpty() ? folder.absoluteFilePath() : strCanonical).toStdString();
}

std::string CShelf::Catalogue() const { return CPageDigest::OfCatalogue(m_leftForm.Contents()); }

bool CShelf::CheckOpen() {
    if (m_pDatabase->IsOpen()) return true;
    Show(m_pDatabase->Notice().isEmpty() ? tr("しおりと検索履歴のデータベースが開いていません。") : m_pDatabase->Notice());
    return false;
}

// --- Bookmarks

bool CShelf::CanAddBookmark() const {
    const int32_t nPage = m_leftForm.ShownPageIndex();
    return nPage >= 0 && !m_leftForm.Citation().Format(nPage).empty();
}

bool CShelf::AddBookmark() {
    if (!CanAddBookmark() || !CheckOpen()) return false;
    const int32_t nPage = m_leftForm.ShownPageIndex();
    const std::u16string strCitation = m_leftForm.Citation().Format(nPage);
    // Without the page's text the bookmark still has its citation.
    std::string strDigest;
    if (!CPageDigest::OfPage(m_leftForm.Index().GetFileList(), nPage, strDigest)) strDigest.clear();
    const std::string strCatalogue = Catalogue();

    BookmarkTag bookmark;
    const bool bMarked = !strDigest.empty() && m_pBookmarks->FindPage(strCatalogue, nPage, strDigest, bookmark);
    CBookmarkNoteDlg dialog(QString::fromStdU16String(strCitation), QString::fromStdU16String(bookmark.strNote), !bMarked,
                            m_pWindow);
    if (bMarked) dialog.setWindowTitle(tr("しおりのメモ（この頁にはもう挟んであります）"));
    if (CMessageBox::Exec(dialog) != QDialog::Accepted) return false;

    if (bMarked) {
        if (m_pBookmarks->SetNote(bookmark.nId, dialog.Note().toStdU16String())) return true;
        Show(tr("しおりのメモを保存できませんでした。\n%1").arg(m_pBookmarks->Error()));
        return false;
    }
    bookmark.strCitation = strCitation;
    bookmark.strNote = dialog.Note().toStdU16String();
    bookmark.nTime = QDateTime::currentMSecsSinceEpoch();
    bookmark.strCorpus = CorpusFolder();
    bookmark.strCatalogue = strCatalogue;
    bookmark.nPageIndex = nPage;
    bookmark.strDigest = strDigest;
    if (m_pBookmarks->Add(bookmark)) return true;
    Show(tr("しおりを挟めませんでした。\n%1").arg(m_pBookmarks->Error()));
    return false;
}

void CShelf::ShowBookmarks() {
    if (!CheckOpen()) return;
    CBookmarksDlg dialog(*m_pBookmarks, Catalogue(), m_pWindow);
    if (CMessageBox::Exec(dialog) == QDialog::Accepted) OpenBookmark(dialog.Chosen());
}

QString CShelf::WhyNoPage(const CCitation::Match& reading) {
    const QString strName = QString::fromStdU16String(reading.strName);
    switch (reading.eOutcome) {
    case CCitation::Outcome::NoBook:
        return tr("「%1」に当たる書名が目録にありません").arg(strName);
    case CCitation::Outcome::NoVolume:
        return tr("「%1」に「%2」という巻がありません")
            .arg(QString::fromStdU16String(reading.strBook), QString::fromStdU16String(reading.strVolume));
    case CCitation::Outcome::NoPage:
        return tr("%1 は %2 頁から %3 頁までで、%4 頁がありません")
            .arg(QString::fromStdU16String(reading.strCitation))
            .arg(reading.nFirstPage)
            .arg(reading.nLastPage)
            .arg(reading.nPageNumber);
    case CCitation::Outcome::Ambiguous:
        return tr("「%1」に当たる巻が %2 つあり、どれか決まりません").arg(strName).arg(reading.candidates.size());
    case CCitation::Outcome::Malformed:
        return tr("引用として読めません");
    case CCitation::Outcome::Found:
        break;
    }
    return QString();
}

bool CShelf::OpenBookmark(const BookmarkTag& bookmark) {
    const CBookmarkFinder finder(m_leftForm.Contents(), m_leftForm.Citation(), m_leftForm.Index().GetFileList());
    const CBookmarkFinder::Result found = finder.Find(bookmark);
    const QString strCitation = QString::fromStdU16String(bookmark.strCitation);
    const QString strMadeIn = bookmark.strCatalogue == Catalogue()
                                  ? QString()
                                  : tr("\n（しおりを挟んだコーパス: %1）")
                                        .arg(QDir::toNativeSeparators(QString::fromStdString(bookmark.strCorpus)));
    switch (found.eOutcome) {
    case CBookmarkFinder::Outcome::Same:
        emit openPageRequested(found.nVolumeSlot, found.nPageNumber);
        return true;
    case CBookmarkFinder::Outcome::Moved:
        emit openPageRequested(found.nVolumeSlot, found.nPageNumber);
        Show(tr("しおり「%1」の頁は、このコーパスでは「%2」にあります。その頁を開きました。%3")
                 .arg(strCitation, QString::fromStdU16String(found.strCitation), strMadeIn));
        return true;
    case CBookmarkFinder::Outcome::Changed: {
        QMessageBox question(QMessageBox::Question, QCoreApplication::applicationName(),
                             tr("しおり「%1」の頁は、しおりを挟んだときと本文が違います（コーパスが作り直されたか、"
                                "別のコーパスです）。この頁を開きますか?%2")
                                 .arg(strCitation, strMadeIn),
                             QMessageBox::Yes | QMessageBox::No, m_pWindow);
        question.button(QMessageBox::Yes)->setText(tr("開く"));
        question.button(QMessageBox::No)->setText(tr("開かない"));
        question.setDefaultButton(QMessageBox::No);
        if (CMessageBox::Exec(question) != QMessageBox::Yes) return false;
        emit openPageRequested(found.nVolumeSlot, found.nPageNumber);
        return true;
    }
    case CBookmarkFinder::Outcome::Missing:
        Show(tr("しおり「%1」の頁は、開いているコーパスにありません: %2。%3")
                 .arg(strCitation, WhyNoPage(found.reading), strMadeIn));
        return false;
    case CBookmarkFinder::Outcome::Unreadable:
        Show(tr("索引ファイルが開いていないので、しおり「%1」の頁を探せません。").arg(strCitation));
        return false;
    }
    return false;
}

// --- History

void CShelf::Record(const SearchRequestTag& request) {
    if (!m_pDatabase->IsOpen() || request.steps.empty()) return;
    HistoryEntryTag entry;
    entry.request = request;
    entry.strRangeLabel = m_leftForm.Contents().RangeLabel(request.nRange);
    entry.nTime = QDateTime::currentMSecsSinceEpoch();
    entry.strCorpus = CorpusFolder();
    entry.strCatalogue = Catalogue();
    entry.nPages = static_cast<int64_t>(m_leftForm.Results().GetAllRowCount());
    entry.nPlaces = m_leftForm.Results().GetTotalHits();
    if (m_pHistory->Add(entry) || m_bToldWriteFailure) return;
    // Once a run: a full disk would otherwise answer every search.
    m_bToldWriteFailure = true;
    Show(tr("検索履歴に書き込めませんでした。\n%1").arg(m_pHistory->Error()));
}

void CShelf::ShowHistory() {
    if (!CheckOpen()) return;
    CHistoryDlg dialog(*m_pHistory, Catalogue(), m_pWindow);
    if (CMessageBox::Exec(dialog) == QDialog::Accepted) RunAgain(dialog.Chosen());
}

bool CShelf::RunAgain(const HistoryEntryTag& entry) {
    SearchRequestTag request = entry.request;
    request.nRange = CHistoryEntry::FindRange(m_leftForm.Contents(), entry.request.nRange, entry.strRangeLabel);
    if (request.nRange == 0) {
        Show(tr("この検索の範囲「%1」は、開いているコーパスの目録にありません。").arg(QString::fromStdU16String(entry.strRangeLabel)));
        return false;
    }
    // The panel's searchMade writes it to the history, once, whole.
    m_leftForm.TabControl()->setCurrentIndex(CLeftForm::TabSearch);
    return m_leftForm.RunRequest(request);
}
