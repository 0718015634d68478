#pragma once

#include "model/bookmark.h"

#include <cstdint>
#include <string>
#include <vector>

// Bookmarks as CSV for spreadsheet programs: UTF-8 after a byte-order mark
// (so that they do not take it for the system's code page), a header line,
// then a line a bookmark: 引用, メモ, 日時, コーパス. Every field is quoted,
// quotes inside doubled (RFC 4180); a note's line breaks stay inside its
// field, lines end with CR LF.
class CBookmarkExport {
public:
    CBookmarkExport() = delete;

    static std::string Csv(const std::vector<BookmarkTag>& bookmarks);
    // One field, quoted.
    static std::string CsvField(const std::string& strUtf8);
    // Milliseconds since 1970 UTC as local time, "2026-12-10 13:21:05";
    // empty for a time the C library cannot convert.
    static std::string FormatTime(int64_t nMilliseconds);
};
