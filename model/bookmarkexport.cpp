#include "model/bookmarkexport.h"

#include "text/codeconverter.h"

#include <ctime>

std::string CBookmarkExport::CsvField(const std::string& strUtf8) {
    std::string out = "\"";
    for (char c : strUtf8) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + '"';
}

std::string CBookmarkExport::FormatTime(int64_t nMilliseconds) {
    // Floor division, so that a time before 1970 does not round up.
    const int64_t nSeconds = nMilliseconds / 1000 - (nMilliseconds % 1000 < 0 ? 1 : 0);
    const std::time_t t = static_cast<std::time_t>(nSeconds);
    std::tm local{};
    if (static_cast<int64_t>(t) != nSeconds || !localtime_r(&t, &local)) return std::string();
    char szBuffer[64];
    const size_t n = std::strftime(szBuffer, sizeof szBuffer, "%Y-%m-%d %H:%M:%S", &local);
    return std::string(szBuffer, n);
}

std::string CBookmarkExport::Csv(const std::vector<BookmarkTag>& bookmarks) {
    std::string out = "\xEF\xBB\xBF";
    out += CsvField("引用") + "," + CsvField("メモ") + "," + CsvField("日時") + "," + CsvField("コーパス") + "\r\n";
    for (const BookmarkTag& bookmark : bookmarks) {
        out += CsvField(CCodeConverter::Utf16ToUtf8(bookmark.strCitation));
        out += ',';
        out += CsvField(CCodeConverter::Utf16ToUtf8(bookmark.strNote));
        out += ',';
        out += CsvField(FormatTime(bookmark.nTime));
        out += ',';
        out += CsvField(bookmark.strCorpus);
        out += "\r\n";
    }
    return out;
}
