// The shelf database: windows writing at once lose nothing; a file that
// cannot be used is set aside under a new name, with a message naming
// both, and a fresh one is made; bookmarks and searches are stored, listed,
// changed and dropped as the lists ask.
#include "shelf/bookmarkstore.h"
#include "shelf/historystore.h"
#include "shelf/shelfdatabase.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

QString Path(const CTempDir& dir, const char* pszName = "shelf.sqlite") { return QString::fromStdString(dir.File(pszName)); }

HistoryEntryTag Search(const std::u16string& strKeywords) {
    HistoryEntryTag entry;
    entry.request.steps.push_back(SearchStepTag{strKeywords});
    entry.strRangeLabel = u"經部";
    return entry;
}

BookmarkTag Bookmark(const std::u16string& strCitation, const std::u16string& strNote = u"") {
    BookmarkTag bookmark;
    bookmark.strCitation = strCitation;
    bookmark.strNote = strNote;
    bookmark.nTime = 1765372865000;
    bookmark.strCorpus = "/data/corpus";
    bookmark.strCatalogue = "0123456789abcdef";
    bookmark.nPageIndex = 7;
    bookmark.strDigest = "fedcba9876543210";
    return bookmark;
}

std::set<std::u16string> Keywords(CHistoryStore& history) {
    std::set<std::u16string> keywords;
    for (const HistoryEntryTag& entry : history.List()) keywords.insert(entry.request.steps.at(0).keywords);
    return keywords;
}

std::set<std::u16string> Citations(CBookmarkStore& bookmarks) {
    std::set<std::u16string> citations;
    for (const BookmarkTag& bookmark : bookmarks.List()) citations.insert(bookmark.strCitation);
    return citations;
}

std::set<std::u16string> Named(const QString& strTag, int nCount) {
    std::set<std::u16string> names;
    for (int n = 0; n < nCount; ++n) names.insert((strTag + QStringLiteral("-%1").arg(n)).toStdU16String());
    return names;
}

// Adds nCount searches and bookmarks named strTag-n through a connection
// of its own; false at the first that fails.
bool Write(const QString& strPath, const QString& strTag, int nCount, QString& strError) {
    CShelfDatabase database(strPath);
    if (!database.Open()) {
        strError = database.Notice();
        return false;
    }
    CHistoryStore history(database);
    CBookmarkStore bookmarks(database);
    for (int n = 0; n < nCount; ++n) {
        const std::u16string strName = (strTag + QStringLiteral("-%1").arg(n)).toStdU16String();
        HistoryEntryTag entry = Search(strName);
        BookmarkTag bookmark = Bookmark(strName);
        if (!history.Add(entry) || !bookmarks.Add(bookmark)) {
            strError = database.Error();
            return false;
        }
    }
    return true;
}

TEST(ShelfDatabaseTest, WindowsWritingAtOnceLoseNothing) {
    constexpr int kCount = 300;
    CTempDir dir;
    const QString strPath = Path(dir);
    {
        CShelfDatabase database(strPath);
        ASSERT_TRUE(database.Open());
        ASSERT_TRUE(CHistoryStore(database).SetLimit(CHistoryStore::MaxLimit));
    }

    // Two connections of one program, each in its own thread, and a second
    // program (another window) beside this one, all writing at once.
    QProcess other;
    other.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--shelf-writer"), strPath, QStringLiteral("process"), QString::number(kCount)});
    ASSERT_TRUE(other.waitForStarted(10000));
    ASSERT_TRUE(other.waitForReadyRead(10000)) << other.readAllStandardError().toStdString();
    ASSERT_EQ(other.readLine().trimmed(), "ready");
    other.write("go\n");
    QString strErrorA, strErrorB;
    bool bA = false, bB = false;
    std::thread a([&] { bA = Write(strPath, QStringLiteral("a"), kCount, strErrorA); });
    std::thread b([&] { bB = Write(strPath, QStringLiteral("b"), kCount, strErrorB); });
    a.join();
    b.join();
    ASSERT_TRUE(other.waitForFinished(60000));
    EXPECT_EQ(other.exitCode(), 0) << other.readAllStandardError().toStdString();
    EXPECT_TRUE(bA) << strErrorA.toStdString();
    EXPECT_TRUE(bB) << strErrorB.toStdString();

    CShelfDatabase database(strPath);
    ASSERT_TRUE(database.Open());
    CHistoryStore history(database);
    CBookmarkStore bookmarks(database);
    std::set<std::u16string> expected = Named(QStringLiteral("a"), kCount);
    for (const auto& names : {Named(QStringLiteral("b"), kCount), Named(QStringLiteral("process"), kCount)})
        expected.insert(names.begin(), names.end());
    EXPECT_EQ(history.Count(), 3 * kCount);
    EXPECT_EQ(bookmarks.Count(), 3 * kCount);
    EXPECT_EQ(Keywords(history), expected);
    EXPECT_EQ(Citations(bookmarks), expected);
    // Newest first, every id once.
    const std::vector<HistoryEntryTag> entries = history.List();
    EXPECT_TRUE(std::is_sorted(entries.begin(), entries.end(),
                               [](const HistoryEntryTag& x, const HistoryEntryTag& y) { return x.nId > y.nId; }));
    QSqlQuery mode(database.Database());
    ASSERT_TRUE(mode.exec(QStringLiteral("PRAGMA journal_mode")) && mode.next());
    EXPECT_EQ(mode.value(0).toString(), QStringLiteral("wal"));
}

// A database with a bookmark in it, for the cases that spoil it.
void WriteGoodDatabase(const QString& strPath) {
    CShelfDatabase database(strPath);
    ASSERT_TRUE(database.Open());
    BookmarkTag bookmark = Bookmark(u"論語 學而第一 2");
    ASSERT_TRUE(CBookmarkStore(database).Add(bookmark));
}

TEST(ShelfDatabaseTest, AFileThatCannotBeUsedIsSetAsideAndAFreshOneMade) {
    struct Case {
        const char* pszName;
        std::function<void(const CTempDir& dir, const QString& strPath)> spoil;
        const char* pszWhy;  // part of the message
        bool bRootReads;     // root reads it anyway: skipped as root
    };
    const Case cases[] = {
        {"garbage bytes",
         [](const CTempDir& dir, const QString&) { dir.Write("shelf.sqlite", std::string(5000, 'x')); },
         "SQLite のデータベースではありません", false},
        {"a truncated database",
         [](const CTempDir&, const QString& strPath) {
             WriteGoodDatabase(strPath);
             ASSERT_EQ(::truncate(QFile::encodeName(strPath).constData(), 100), 0);
         },
         "壊れています", false},
        {"damaged pages",
         [](const CTempDir&, const QString& strPath) {
             WriteGoodDatabase(strPath);
             {
                 CShelfDatabase database(strPath);
                 ASSERT_TRUE(database.Open());
                 CBookmarkStore bookmarks(database);
                 for (int n = 0; n < 200; ++n) {
                     BookmarkTag bookmark = Bookmark(u"唐詩 卷一 5", std::u16string(40, u'注'));
                     ASSERT_TRUE(bookmarks.Add(bookmark));
                 }
             }
             QFile file(strPath);
             ASSERT_TRUE(file.open(QIODevice::ReadWrite));
             // Past the first page (the header and the schema): the
             // tables' pages.
             ASSERT_TRUE(file.seek(4096));
             file.write(QByteArray(2 * 4096, 'z'));
         },
         "壊れています", false},
        {"a folder", [](const CTempDir&, const QString& strPath) { ASSERT_TRUE(QDir().mkpath(strPath)); },
         "普通のファイルではありません", false},
        {"a pipe", [](const CTempDir&, const QString& strPath) {
             ASSERT_EQ(::mkfifo(QFile::encodeName(strPath).constData(), 0600), 0);
         },
         "普通のファイルではありません", false},
        {"a link that leads nowhere it can open",
         [](const CTempDir&, const QString& strPath) {
             ASSERT_EQ(::symlink("shelf.sqlite", QFile::encodeName(strPath).constData()), 0);  // a loop
         },
         "読み書きできません", false},
        {"unreadable",
         [](const CTempDir&, const QString& strPath) {
             WriteGoodDatabase(strPath);
             ASSERT_EQ(::chmod(QFile::encodeName(strPath).constData(), 0), 0);
         },
         "読み書きできません", true},
        {"another program's database",
         [](const CTempDir&, const QString& strPath) {
             {
                 QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
                 other.setDatabaseName(strPath);
                 ASSERT_TRUE(other.open());
                 QSqlQuery query(other);
                 ASSERT_TRUE(query.exec(QStringLiteral("PRAGMA application_id=1234")));
                 ASSERT_TRUE(query.exec(QStringLiteral("CREATE TABLE notes (x)")));
                 other.close();
             }
             QSqlDatabase::removeDatabase(QStringLiteral("other"));
         },
         "ほかのプログラムのデータベースです", false},
        {"tables of another shape",
         [](const CTempDir&, const QString& strPath) {
             {
                 QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
                 other.setDatabaseName(strPath);
                 ASSERT_TRUE(other.open());
                 QSqlQuery query(other);
                 ASSERT_TRUE(query.exec(QStringLiteral("CREATE TABLE bookmarks (id INTEGER PRIMARY KEY, page TEXT)")));
                 other.close();
             }
             QSqlDatabase::removeDatabase(QStringLiteral("other"));
         },
         "表の形が違います", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName);
        if (c.bRootReads && ::geteuid() == 0) continue;
        CTempDir dir;
        const QString strPath = Path(dir);
        c.spoil(dir, strPath);
        if (::testing::Test::HasFatalFailure()) return;
        const QFileInfo before(strPath);
        const bool bFolder = before.isDir();
        const QByteArray spoilt = before.isFile() && before.isReadable() ? [&] {
            QFile file(strPath);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }() : QByteArray();

        CShelfDatabase database(strPath);
        ASSERT_TRUE(database.Open());
        EXPECT_TRUE(database.IsKept());
        // The message names the file, why it was not used, and where it went.
        const QString strSetAside = database.SetAsidePath();
        ASSERT_FALSE(strSetAside.isEmpty());
        EXPECT_TRUE(strSetAside.startsWith(strPath + QStringLiteral(".damaged-"))) << strSetAside.toStdString();
        EXPECT_TRUE(database.Notice().contains(strPath)) << database.Notice().toStdString();
        EXPECT_TRUE(database.Notice().contains(strSetAside)) << database.Notice().toStdString();
        EXPECT_TRUE(database.Notice().contains(QString::fromUtf8(c.pszWhy))) << database.Notice().toStdString();
        // The old one kept as it was; a fresh one in its place.
        const QFileInfo aside(strSetAside);
        EXPECT_TRUE(aside.exists() || aside.isSymLink());
        if (bFolder) {
            EXPECT_TRUE(aside.isDir());
        }
        if (!spoilt.isEmpty()) {
            QFile file(strSetAside);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            EXPECT_EQ(file.readAll(), spoilt);
        }
        EXPECT_TRUE(QFileInfo(strPath).isFile());
        CBookmarkStore bookmarks(database);
        EXPECT_EQ(bookmarks.Count(), 0);
        BookmarkTag bookmark = Bookmark(u"唐詩 卷一 5");
        EXPECT_TRUE(bookmarks.Add(bookmark)) << bookmarks.Error().toStdString();
        database.Close();

        // The next start uses the fresh one without a word.
        CShelfDatabase again(strPath);
        ASSERT_TRUE(again.Open());
        EXPECT_TRUE(again.Notice().isEmpty()) << again.Notice().toStdString();
        EXPECT_EQ(CBookmarkStore(again).Count(), 1);
    }
}

TEST(ShelfDatabaseTest, AGoodFileOpensQuietlyAndTwoDamagedOnesInOneSecondBothStay) {
    CTempDir dir;
    const QString strPath = Path(dir);
    WriteGoodDatabase(strPath);
    {
        CShelfDatabase database(strPath);
        ASSERT_TRUE(database.Open());
        EXPECT_TRUE(database.Notice().isEmpty());
        EXPECT_TRUE(database.SetAsidePath().isEmpty());
        EXPECT_EQ(CBookmarkStore(database).Count(), 1);
    }
    // An empty file is a new database, not a damaged one.
    dir.Write("empty.sqlite", "");
    {
        CShelfDatabase database(Path(dir, "empty.sqlite"));
        ASSERT_TRUE(database.Open());
        EXPECT_TRUE(database.Notice().isEmpty());
        EXPECT_TRUE(database.IsKept());
    }
    // Spoilt twice at once: the second one set aside gets a number.
    QStringList setAside;
    for (int n = 0; n < 2; ++n) {
        dir.Write("shelf.sqlite", "not a database");
        CShelfDatabase database(strPath);
        ASSERT_TRUE(database.Open());
        setAside << database.SetAsidePath();
    }
    ASSERT_EQ(setAside.size(), 2);
    EXPECT_NE(setAside[0], setAside[1]);
    EXPECT_TRUE(QFileInfo::exists(setAside[0]));
    EXPECT_TRUE(QFileInfo::exists(setAside[1]));
}

TEST(ShelfDatabaseTest, WithoutAFolderItKeepsEntriesInMemoryAndSaysSo) {
    // The data folder's place is taken by a file: nothing can be made there.
    CTempDir dir;
    dir.Write("data", "a file");
    CShelfDatabase database(Path(dir, "data/shelf.sqlite"));
    ASSERT_TRUE(database.Open());
    EXPECT_FALSE(database.IsKept());
    EXPECT_TRUE(database.Notice().contains(QStringLiteral("保存できません"))) << database.Notice().toStdString();
    CHistoryStore history(database);
    HistoryEntryTag entry = Search(u"學");
    EXPECT_TRUE(history.Add(entry));
    EXPECT_EQ(history.Count(), 1);
    EXPECT_EQ(dir.Read("data"), "a file");

    CShelfDatabase nowhere{QString()};
    ASSERT_TRUE(nowhere.Open());
    EXPECT_FALSE(nowhere.IsKept());
    EXPECT_FALSE(nowhere.Notice().isEmpty());
}

TEST(ShelfDatabaseTest, TheHistoryKeepsItsLimitNewestFirstAndClears) {
    CTempDir dir;
    CShelfDatabase database(Path(dir));
    ASSERT_TRUE(database.Open());
    CHistoryStore history(database);
    EXPECT_EQ(history.Limit(), CHistoryStore::DefaultLimit);
    for (int n = 0; n < 15; ++n) {
        HistoryEntryTag entry = Search(QString::number(n).toStdU16String());
        ASSERT_TRUE(history.Add(entry));
        EXPECT_GT(entry.nId, 0);
    }
    // Lowered: the oldest go at once; beyond it, each new one drops the oldest.
    ASSERT_TRUE(history.SetLimit(10));
    EXPECT_EQ(history.Count(), 10);
    HistoryEntryTag newest = Search(u"新");
    ASSERT_TRUE(history.Add(newest));
    std::vector<HistoryEntryTag> entries = history.List();
    ASSERT_EQ(entries.size(), 10u);
    EXPECT_EQ(entries.front().request.steps[0].keywords, u"新");
    EXPECT_EQ(entries.back().request.steps[0].keywords, u"6");
    // Another window keeps the same limit; out-of-range limits are clamped.
    {
        CShelfDatabase other(Path(dir));
        ASSERT_TRUE(other.Open());
        EXPECT_EQ(CHistoryStore(other).Limit(), 10);
    }
    ASSERT_TRUE(history.SetLimit(1));
    EXPECT_EQ(history.Limit(), CHistoryStore::MinLimit);
    ASSERT_TRUE(history.SetLimit(1 << 30));
    EXPECT_EQ(history.Limit(), CHistoryStore::MaxLimit);
    // Deleting some, then clearing all.
    ASSERT_TRUE(history.Remove({entries[0].nId, entries[1].nId, 999999}));
    EXPECT_EQ(history.Count(), 8);
    ASSERT_TRUE(history.Clear());
    EXPECT_EQ(history.Count(), 0);
    EXPECT_TRUE(history.List().empty());
}

TEST(ShelfDatabaseTest, ASearchIsStoredWholeAndARowThatCannotBeReadIsLeftOut) {
    CTempDir dir;
    CShelfDatabase database(Path(dir));
    ASSERT_TRUE(database.Open());
    CHistoryStore history(database);
    HistoryEntryTag entry = Search(u"春風\u3000花");
    entry.request.nRange = 4;
    entry.request.steps.push_back({u"明月", true, false, TextPart::Annotations});
    entry.strCorpus = "/data/corpus";
    entry.strCatalogue = "0123456789abcdef";
    entry.nTime = 1765372865000;
    entry.nPages = 101;
    entry.nPlaces = 202;
    ASSERT_TRUE(history.Add(entry));
    // Written by hand, or damaged: left out.
    QSqlQuery query(database.Database());
    ASSERT_TRUE(query.exec(QStringLiteral("INSERT INTO history (request, range_label, searched, corpus, catalogue, pages,"
                                          " places) VALUES ('{broken', '', 0, '', '', 0, 0)")));
    bool bOk = false;
    const std::vector<HistoryEntryTag> entries = history.List(&bOk);
    EXPECT_TRUE(bOk);
    ASSERT_EQ(entries.size(), 1u);
    const HistoryEntryTag& read = entries[0];
    EXPECT_EQ(read.nId, entry.nId);
    EXPECT_EQ(read.request.nRange, 4);
    ASSERT_EQ(read.request.steps.size(), 2u);
    EXPECT_EQ(read.request.steps[0].keywords, u"春風\u3000花");
    EXPECT_TRUE(read.request.steps[1].bOr);
    EXPECT_FALSE(read.request.steps[1].bVariants);
    EXPECT_EQ(read.request.steps[1].ePart, TextPart::Annotations);
    EXPECT_EQ(read.strRangeLabel, u"經部");
    EXPECT_EQ(read.strCorpus, "/data/corpus");
    EXPECT_EQ(read.strCatalogue, "0123456789abcdef");
    EXPECT_EQ(read.nTime, 1765372865000);
    EXPECT_EQ(read.nPages, 101);
    EXPECT_EQ(read.nPlaces, 202);
}

TEST(ShelfDatabaseTest, BookmarksAreAddedNotedFoundAndDeleted) {
    CTempDir dir;
    CShelfDatabase database(Path(dir));
    ASSERT_TRUE(database.Open());
    CBookmarkStore bookmarks(database);
    BookmarkTag first = Bookmark(u"論語 學而第一 2", u"一行目\n二行目");
    BookmarkTag second = Bookmark(u"唐詩 卷一 5");
    second.nPageIndex = 9;
    ASSERT_TRUE(bookmarks.Add(first));
    ASSERT_TRUE(bookmarks.Add(second));
    std::vector<BookmarkTag> listed = bookmarks.List();
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0].nId, second.nId);  // newest first
    EXPECT_EQ(listed[1].strNote, u"一行目\n二行目");
    EXPECT_EQ(listed[1].strCorpus, "/data/corpus");
    EXPECT_EQ(listed[1].nTime, first.nTime);
    EXPECT_EQ(listed[1].strDigest, first.strDigest);

    BookmarkTag found;
    ASSERT_TRUE(bookmarks.FindPage(first.strCatalogue, 7, first.strDigest, found));
    EXPECT_EQ(found.nId, first.nId);
    EXPECT_FALSE(bookmarks.FindPage(first.strCatalogue, 7, "0000000000000000", found));
    EXPECT_FALSE(bookmarks.FindPage("ffffffffffffffff", 7, first.strDigest, found));

    ASSERT_TRUE(bookmarks.SetNote(first.nId, u"書き直し"));
    EXPECT_EQ(bookmarks.List()[1].strNote, u"書き直し");
    // Deleted by another window meanwhile: the note has nowhere to go.
    {
        CShelfDatabase other(Path(dir));
        ASSERT_TRUE(other.Open());
        ASSERT_TRUE(CBookmarkStore(other).Remove({first.nId}));
    }
    EXPECT_FALSE(bookmarks.SetNote(first.nId, u"遅すぎた"));
    EXPECT_FALSE(bookmarks.Error().isEmpty());
    EXPECT_EQ(bookmarks.Count(), 1);
    // Ids are not used again.
    BookmarkTag third = Bookmark(u"論語 學而第一 3");
    ASSERT_TRUE(bookmarks.Add(third));
    EXPECT_GT(third.nId, second.nId);
}

}  // namespace
