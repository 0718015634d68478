// tessaline-shelf-bench: how long the bookmark list and the search history
// take to open with many entries. Makes a database of N bookmarks and N
// searches (10,000 each unless told) in a temporary folder, adding each in
// a transaction of its own as the reader does; then, in 1 + R rounds (R is
// 5 unless told), opens the database afresh as a new window does (with its
// check) and makes each list: the entries read, the dialog built with its
// rows, shown and drawn once. Prints the median and the slowest of the
// rounds after the first, and the first apart (it loads fonts as well);
// the figure that counts is "open + list drawn".
//   tessaline-shelf-bench [--entries N] [--rounds R]
// Without a display it draws offscreen.
#include "model/bookmark.h"
#include "model/historyentry.h"
#include "shelf/bookmarksdlg.h"
#include "shelf/bookmarkstore.h"
#include "shelf/historydlg.h"
#include "shelf/historystore.h"
#include "shelf/shelfdatabase.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPixmap>
#include <QTableView>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

double Milliseconds(const QElapsedTimer& timer) { return static_cast<double>(timer.nsecsElapsed()) / 1e6; }

struct Figures {
    std::vector<double> values;
    void Add(double d) { values.push_back(d); }
    double Median() const {
        std::vector<double> sorted = values;
        std::sort(sorted.begin(), sorted.end());
        return sorted.empty() ? 0 : sorted[sorted.size() / 2];
    }
    double Slowest() const { return values.empty() ? 0 : *std::max_element(values.begin(), values.end()); }
};

const char16_t* const kBooks[] = {u"御定全唐詩 卷", u"論語 學而第", u"全宋詩 第", u"樂府詩集 卷", u"文選 卷"};
const char16_t* const kWords[] = {u"明月", u"春風", u"長安", u"黃河", u"白日依山盡", u"天下", u"江南", u"故鄉"};

std::u16string Digits(int n) {
    std::u16string s;
    for (char c : std::to_string(n)) s.push_back(static_cast<char16_t>(c));
    return s;
}

BookmarkTag MakeBookmark(int n, int64_t nTime) {
    BookmarkTag bookmark;
    bookmark.strCitation = kBooks[n % 5] + Digits(1 + n % 900) + u" " + Digits(1 + n % 40);
    if (n % 3 != 0) bookmark.strNote = u"「" + std::u16string(kWords[n % 8]) + u"」の用例。";
    if (n % 7 == 0) bookmark.strNote += u"\n二行目のメモ: 校勘記を参照。";
    bookmark.nTime = nTime;
    bookmark.strCorpus = "/usr/lib/tessaline";
    bookmark.strCatalogue = n % 10 == 0 ? "0123456789abcdef" : "fedcba9876543210";
    bookmark.nPageIndex = n * 13 % 164925;
    bookmark.strDigest = "00112233445566" + std::to_string(10 + n % 90);
    return bookmark;
}

HistoryEntryTag MakeSearch(int n, int64_t nTime) {
    HistoryEntryTag entry;
    for (int nStep = 0; nStep <= n % 3; ++nStep)
        entry.request.steps.push_back(SearchStepTag{kWords[(n + nStep) % 8], n % 5 == 0, n % 4 != 0,
                                                    static_cast<TextPart>(n % 3)});
    entry.request.nRange = 1 + n % 50;
    entry.strRangeLabel = n % 2 ? u"集部\\御定全唐詩" : u"經部";
    entry.nTime = nTime;
    entry.strCorpus = "/usr/lib/tessaline";
    entry.strCatalogue = "fedcba9876543210";
    entry.nPages = n % 5000;
    entry.nPlaces = n % 5000 + n % 17;
    return entry;
}

// The offscreen platform's note on every window shown says nothing here.
QtMessageHandler g_previousHandler = nullptr;
void QuietHandler(QtMsgType eType, const QMessageLogContext& context, const QString& strMessage) {
    if (strMessage.contains(QLatin1String("propagateSizeHints"))) return;
    if (g_previousHandler) g_previousHandler(eType, context, strMessage);
}

}  // namespace

int main(int argc, char** argv) {
    g_previousHandler = qInstallMessageHandler(QuietHandler);
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int nEntries = 10000;
    int nRounds = 5;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--entries") == 0 && i + 1 < argc)
            nEntries = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc)
            nRounds = std::max(1, std::atoi(argv[++i]));
        else {
            std::fprintf(stderr, "Usage: tessaline-shelf-bench [--entries N] [--rounds R]\n");
            return 2;
        }
    }
    QTemporaryDir folder;
    if (!folder.isValid()) return 2;
    const QString strPath = folder.filePath(QString::fromLatin1(CShelfDatabase::FileName));

    // The database, one entry a transaction.
    QElapsedTimer timer;
    double dMakeBookmarks = 0, dMakeSearches = 0;
    {
        CShelfDatabase database(strPath);
        if (!database.Open() || !database.IsKept()) {
            std::fprintf(stderr, "tessaline-shelf-bench: %s\n", qPrintable(database.Notice()));
            return 1;
        }
        CBookmarkStore bookmarks(database);
        CHistoryStore history(database);
        history.SetLimit(std::max(nEntries, CHistoryStore::MinLimit));
        const int64_t nStart = QDateTime::currentMSecsSinceEpoch() - int64_t{nEntries} * 60000;
        timer.start();
        for (int n = 0; n < nEntries; ++n) {
            BookmarkTag bookmark = MakeBookmark(n, nStart + int64_t{n} * 60000);
            if (!bookmarks.Add(bookmark)) {
                std::fprintf(stderr, "tessaline-shelf-bench: %s\n", qPrintable(bookmarks.Error()));
                return 1;
            }
        }
        dMakeBookmarks = Milliseconds(timer);
        timer.restart();
        for (int n = 0; n < nEntries; ++n) {
            HistoryEntryTag entry = MakeSearch(n, nStart + int64_t{n} * 60000);
            if (!history.Add(entry)) {
                std::fprintf(stderr, "tessaline-shelf-bench: %s\n", qPrintable(history.Error()));
                return 1;
            }
        }
        dMakeSearches = Milliseconds(timer);
    }
    const qint64 nBytes = QFileInfo(strPath).size();

    Figures openBookmarks, openHistory, readBookmarks, readSearches, bookmarkList, historyList, bookmarkTotal, historyTotal;
    double dFirstBookmarks = 0, dFirstHistory = 0;
    int nBookmarkRows = 0, nHistoryRows = 0;
    // Round 0 is the first list the process shows, which also loads the
    // fonts and the style's pictures: told apart from the rounds after it.
    for (int nRound = 0; nRound <= nRounds; ++nRound) {
        for (int nList = 0; nList < 2; ++nList) {
            timer.restart();
            CShelfDatabase database(strPath);
            if (!database.Open()) return 1;
            const double dOpen = Milliseconds(timer);
            if (nRound > 0) (nList == 0 ? openBookmarks : openHistory).Add(dOpen);
            CBookmarkStore bookmarks(database);
            CHistoryStore history(database);
            QElapsedTimer step;
            step.start();
            if (nList == 0) {
                CBookmarksDlg dialog(bookmarks, "fedcba9876543210");
                dialog.show();
                (void)dialog.grab();
                const double dList = Milliseconds(step);
                if (nRound == 0) dFirstBookmarks = dOpen + dList;
                if (nRound > 0) bookmarkList.Add(dList);
                if (nRound > 0) bookmarkTotal.Add(dOpen + dList);
                nBookmarkRows = dialog.Table()->model()->rowCount();
            } else {
                CHistoryDlg dialog(history, "fedcba9876543210");
                dialog.show();
                (void)dialog.grab();
                const double dList = Milliseconds(step);
                if (nRound == 0) dFirstHistory = dOpen + dList;
                if (nRound > 0) historyList.Add(dList);
                if (nRound > 0) historyTotal.Add(dOpen + dList);
                nHistoryRows = dialog.Table()->model()->rowCount();
            }
            // The reading alone, for the share of the database in the list's time.
            step.restart();
            if (nList == 0)
                (void)bookmarks.List();
            else
                (void)history.List();
            if (nRound > 0) (nList == 0 ? readBookmarks : readSearches).Add(Milliseconds(step));
        }
    }

    std::printf("Database of %d bookmarks and %d searches: %.2f MB; made one entry a transaction in %.0f ms "
                "(bookmarks, %.3f ms each) and %.0f ms (searches, %.3f ms each, the oldest dropped beyond the limit).\n\n",
                nEntries, nEntries, static_cast<double>(nBytes) / 1e6, dMakeBookmarks, dMakeBookmarks / nEntries,
                dMakeSearches, dMakeSearches / nEntries);
    std::printf("Median and slowest of %d rounds after the first, each on a fresh connection (as a new window "
                "opens it):\n\n",
                nRounds);
    std::printf("| step | しおり一覧 (%d rows) | 検索履歴 (%d rows) |\n", nBookmarkRows, nHistoryRows);
    std::printf("|---|---|---|\n");
    auto row = [](const char* pszStep, const Figures& a, const Figures& b) {
        std::printf("| %s | %.1f ms (slowest %.1f) | %.1f ms (slowest %.1f) |\n", pszStep, a.Median(), a.Slowest(),
                    b.Median(), b.Slowest());
    };
    row("open the database (with its check)", openBookmarks, openHistory);
    row("read every entry", readBookmarks, readSearches);
    row("list: read, rows, shown and drawn", bookmarkList, historyList);
    row("**open + list drawn** (target: under 100 ms)", bookmarkTotal, historyTotal);
    std::printf("| the first list of the process (fonts and style loaded too) | %.1f ms | %.1f ms |\n", dFirstBookmarks,
                dFirstHistory);
    const bool bMet = bookmarkTotal.Median() < 100 && historyTotal.Median() < 100;
    std::printf("\n%s\n", bMet ? "Both lists open in under 100 ms." : "A list takes 100 ms or more to open.");
    return 0;
}
