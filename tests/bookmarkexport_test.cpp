// Bookmarks as CSV for spreadsheet programs.
#include "model/bookmarkexport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

namespace {

// Local time as UTC while a test runs.
class UtcClock {
public:
    UtcClock() {
        const char* pszTz = std::getenv("TZ");
        m_bHad = pszTz != nullptr;
        if (m_bHad) m_strTz = pszTz;
        ::setenv("TZ", "UTC", 1);
        ::tzset();
    }
    ~UtcClock() {
        if (m_bHad)
            ::setenv("TZ", m_strTz.c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }

private:
    bool m_bHad = false;
    std::string m_strTz;
};

TEST(BookmarkExportTest, QuotesEveryFieldAndKeepsLineBreaksInside) {
    UtcClock utc;
    BookmarkTag plain;
    plain.strCitation = u"論語 學而第一 2";
    plain.nTime = 1765372865000;  // 2025-12-10 13:21:05 UTC
    plain.strCorpus = "/data/corpus";
    BookmarkTag awkward = plain;
    awkward.strNote = u"「朋」は \"友\", 同門\r\n二行目\n三行目";
    awkward.strCorpus = "/data/a,b \"c\"";
    const std::string strCsv = CBookmarkExport::Csv({plain, awkward});
    EXPECT_EQ(strCsv,
              "\xEF\xBB\xBF\"引用\",\"メモ\",\"日時\",\"コーパス\"\r\n"
              "\"論語 學而第一 2\",\"\",\"2025-12-10 13:21:05\",\"/data/corpus\"\r\n"
              "\"論語 學而第一 2\",\"「朋」は \"\"友\"\", 同門\r\n二行目\n三行目\",\"2025-12-10 13:21:05\","
              "\"/data/a,b \"\"c\"\"\"\r\n");
    // No bookmarks: the header alone.
    EXPECT_EQ(CBookmarkExport::Csv({}), "\xEF\xBB\xBF\"引用\",\"メモ\",\"日時\",\"コーパス\"\r\n");
}

TEST(BookmarkExportTest, FormatsTimesAroundTheEpoch) {
    UtcClock utc;
    EXPECT_EQ(CBookmarkExport::FormatTime(0), "1970-01-01 00:00:00");
    EXPECT_EQ(CBookmarkExport::FormatTime(999), "1970-01-01 00:00:00");
    EXPECT_EQ(CBookmarkExport::FormatTime(-1), "1969-12-31 23:59:59");  // rounded down, not up
    EXPECT_EQ(CBookmarkExport::FormatTime(1765372865123), "2025-12-10 13:21:05");
}

}  // namespace
