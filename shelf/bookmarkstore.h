#pragma once

#include "model/bookmark.h"

#include <QString>

#include <cstdint>
#include <string>
#include <vector>

class CShelfDatabase;

// The bookmarks in the shelf database: added, listed (newest first), their
// notes changed, deleted. Each change is one short transaction, so that
// another window's changes are never overwritten; a list is what the
// database held when it was read.
// REQUIRES: the database outlives the store and is used in its thread.
class CBookmarkStore {
public:
    explicit CBookmarkStore(CShelfDatabase& database);

    // Stores bookmark (its nId is ignored) and sets its nId. False, with
    // Error(), when it cannot be written.
    bool Add(BookmarkTag& bookmark /* IN OUT */);
    // Replaces the note of bookmark nId. False when it cannot be written or
    // there is no such bookmark (another window deleted it).
    bool SetNote(int64_t nId, const std::u16string& strNote);
    // Deletes the bookmarks; ids that are gone already are no error.
    bool Remove(const std::vector<int64_t>& ids);
    // Every bookmark, newest first. pOk (if given) tells whether it could be read.
    std::vector<BookmarkTag> List(bool* pOk = nullptr);
    // The newest bookmark of the page with digest strDigest at nPageIndex
    // of a corpus with catalogue strCatalogue (the page marked already).
    bool FindPage(const std::string& strCatalogue, int32_t nPageIndex, const std::string& strDigest,
                  BookmarkTag& bookmark /* OUT */);
    // How many there are; -1 when they cannot be counted.
    int64_t Count();

    const QString& Error() const;

private:
    CShelfDatabase& m_database;
};
