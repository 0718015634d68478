// main() of the shelf database tests. The user's data, cache and settings
// folders point into a folder of the run, so that no test reaches the
// user's own database. Started as
//   PROGRAM --shelf-writer DATABASE TAG COUNT
// it plays a second window of the reader instead: it opens DATABASE, says
// "ready" on standard output, waits for a line on standard input, then adds
// COUNT searches and COUNT bookmarks, each in a transaction of its own,
// whose keywords and citations are TAG-0, TAG-1, ...; it exits 0 when every
// one was written.
#include "model/bookmark.h"
#include "model/historyentry.h"
#include "shelf/bookmarkstore.h"
#include "shelf/historystore.h"
#include "shelf/shelfdatabase.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

namespace {

int RunWriter(const QString& strPath, const QString& strTag, int nCount) {
    CShelfDatabase database(strPath);
    if (!database.Open() || !database.IsKept()) {
        std::fprintf(stderr, "writer: cannot open %s: %s\n", qPrintable(strPath), qPrintable(database.Notice()));
        return 1;
    }
    CHistoryStore history(database);
    CBookmarkStore bookmarks(database);
    std::printf("ready\n");
    std::fflush(stdout);
    std::string strGo;
    std::getline(std::cin, strGo);
    for (int n = 0; n < nCount; ++n) {
        const std::u16string strName = (strTag + QStringLiteral("-%1").arg(n)).toStdU16String();
        HistoryEntryTag entry;
        entry.request.steps.push_back(SearchStepTag{strName});
        if (!history.Add(entry)) {
            std::fprintf(stderr, "writer: search %d: %s\n", n, qPrintable(history.Error()));
            return 1;
        }
        BookmarkTag bookmark;
        bookmark.strCitation = strName;
        if (!bookmarks.Add(bookmark)) {
            std::fprintf(stderr, "writer: bookmark %d: %s\n", n, qPrintable(bookmarks.Error()));
            return 1;
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 5 && std::strcmp(argv[1], "--shelf-writer") == 0)
        return RunWriter(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]), std::atoi(argv[4]));
    QTemporaryDir work(QDir::tempPath() + "/tessaline-shelf-test-XXXXXX");
    if (!work.isValid()) return 2;
    qputenv("XDG_DATA_HOME", QFile::encodeName(work.filePath(QStringLiteral("data"))));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(work.filePath(QStringLiteral("config"))));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(work.filePath(QStringLiteral("cache"))));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
