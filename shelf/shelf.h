#pragma once

#include "model/bookmark.h"
#include "model/citation.h"
#include "model/historyentry.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>
#include <string>

class CBookmarkStore;
class CHistoryStore;
class CLeftForm;
class CShelfDatabase;
class QWidget;

// The reader's bookmarks and search history, kept in the shelf database
// across runs and shared by every window of the program: the frame's
// "しおりを挟む" (F2), "しおり一覧…" and "検索履歴…" come here, and every
// search the panel makes (searchMade: not a step back to the search
// before; a search run again from the history once, whole) is written to
// the history.
//
// A bookmark is opened in the corpus that is open by its citation, checked
// against its page's digest (CBookmarkFinder): a page that moved is opened
// where it is now, one whose text changed only when the reader says so,
// one that is not there is told as such. A search of another corpus runs
// over the range of the same name.
//
// The shelf knows nothing of the frame: it has pages opened through
// openPageRequested.
// REQUIRES: the panel outlives every call on the shelf.
class CShelf : public QObject {
    Q_OBJECT

public:
    // Opens the database at strPath (empty: CShelfDatabase::DefaultPath()).
    // What went wrong with it is told in a message box once the event loop
    // runs (pWindow its parent).
    CShelf(CLeftForm& leftForm, QWidget* pWindow, const QString& strPath = QString());
    ~CShelf() override;

    CShelfDatabase& Database() { return *m_pDatabase; }
    CBookmarkStore& Bookmarks() { return *m_pBookmarks; }
    CHistoryStore& History() { return *m_pHistory; }

    // A page is on display that a citation names.
    bool CanAddBookmark() const;
    // "しおりを挟む": asks for a note for the page on display and stores the
    // bookmark; for a page marked already, its note is changed. False when
    // nothing was stored.
    bool AddBookmark();
    // "しおり一覧…": the list; the bookmark chosen is opened.
    void ShowBookmarks();
    // "検索履歴…": the list; the search chosen is run again.
    void ShowHistory();
    // Opens a bookmark's page, or says why not. False when no page was opened.
    bool OpenBookmark(const BookmarkTag& bookmark);
    // Runs a search of the history again and writes it to the history
    // anew. False when it did not run (the panel or this said why).
    bool RunAgain(const HistoryEntryTag& entry);

    // The open corpus as bookmarks and searches name it: its folder and
    // the digest of its catalogue.
    std::string CorpusFolder() const;
    std::string Catalogue() const;

signals:
    // Page nPage of the volume in catalogue slot nVolume is to be shown, as
    // the contents tree shows a volume's page.
    void openPageRequested(int32_t nVolume, int32_t nPage);

private:
    // Writes the search on display to the history.
    void Record(const SearchRequestTag& request);
    // A message when the database is not open; false then.
    bool CheckOpen();
    void Show(const QString& strText);
    // Why a citation names no page here, in the reader's words.
    static QString WhyNoPage(const CCitation::Match& reading);

    CLeftForm& m_leftForm;
    QWidget* m_pWindow = nullptr;
    std::unique_ptr<CShelfDatabase> m_pDatabase;
    std::unique_ptr<CBookmarkStore> m_pBookmarks;
    std::unique_ptr<CHistoryStore> m_pHistory;
    bool m_bToldWriteFailure = false;
};
