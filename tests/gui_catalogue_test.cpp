// Damaged or missing corpus files: the reader starts, says what is wrong in
// a message box captioned with the application title and shows what it
// could read.
#include "corpus/catalog.h"
#include "frame/bookview.h"
#include "frame/mainfrm.h"
#include "panel/keywordedit.h"
#include "panel/leftform.h"
#include "support/guitest.h"
#include "support/testcorpus.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include <functional>

namespace {

const QString kAppTitle = QStringLiteral("Corvatel--Quenlowシリーズ⑭(Tessaline)");

std::string Catalogue(const std::vector<CatalogRecord>& records) { return CCatalog::Format(records); }

// The tree as text: one line per item, indented by two blanks per level.
QString TreeOutline(QTreeWidget* pTree) {
    QString strOutline;
    for (QTreeWidgetItemIterator it(pTree); *it; ++it) {
        int nDepth = 0;
        for (QTreeWidgetItem* p = (*it)->parent(); p; p = p->parent()) ++nDepth;
        strOutline += QString(2 * nDepth, QLatin1Char(' ')) + (*it)->text(0) + QLatin1Char('\n');
    }
    return strOutline;
}

struct BadInputCase {
    const char* pszName;
    std::function<void(const CGuiCorpus&)> damage;
    QStringList expectedMessages;  // each must be part of the message at its place
    int nExpectedNodeCount;        // -1: not checked
    QString strExpectedOutline;    // null: not checked
};

std::vector<BadInputCase> BadInputCases() {
    return {
        // A corpus that cannot be opened: under the message, the folder, the
        // file and how to make a corpus.
        {"catalogue missing", [](const CGuiCorpus& c) { c.Remove("vmk.dir"); },
         {"you delete data file!\nvmk.dir\nscripts/run.sh\ntessaline-cli build"}, 1, QString("")},
        {"catalogue empty", [](const CGuiCorpus& c) { c.Write("vmk.dir", ""); }, {}, 1, QString("")},
        {"last record cut short",
         [](const CGuiCorpus& c) {
             const std::string strWhole = Catalogue({Record(u"K", 1), Record(u"P", 2), Record(u"X", 3)});
             c.Write("vmk.dir", strWhole.substr(0, 2 * 216 + 120));
         },
         // The cut loses the level of the third record.
         {"最後の記録が 120 バイトしかありません\n3 件目の階層 0 は"}, 4, QString("K\n  P\n")},
        {"more than 9,999 records",
         [](const CGuiCorpus& c) {
             std::vector<CatalogRecord> records{Record(u"K", 1), Record(u"P", 2)};
             for (int i = 0; i < 10000; ++i) records.push_back(Record(u"V", 3));
             c.Write("vmk.dir", Catalogue(records));
         },
         {"記録が 9999 件を超えています"}, 10000, QString()},
        {"levels 0 and 4",
         [](const CGuiCorpus& c) {
             c.Write("vmk.dir", Catalogue({Record(u"Z", 0), Record(u"K", 1), Record(u"P", 2), Record(u"X", 3),
                                           Record(u"Q", 4)}));
         },
         {"1 件目の階層 0 は 1 から 3 のどれでもありません\n5 件目の階層 4 は"}, 6, QString("K\n  P\n    X\n")},
        {"volume before any book",
         [](const CGuiCorpus& c) {
             c.Write("vmk.dir", Catalogue({Record(u"K", 1), Record(u"X", 3), Record(u"P", 2), Record(u"Y", 3)}));
         },
         {"2 件目（階層 3）の前に階層 2 の記録がありません"}, 5, QString("K\n  P\n    Y\n")},
        {"name without its terminating zero",
         [](const CGuiCorpus& c) {
             std::string strBytes = Catalogue({Record(u"K", 1)});
             for (size_t i = 0; i < 200; i += 2) {
                 strBytes[i] = 'A';
                 strBytes[i + 1] = 0;
             }
             c.Write("vmk.dir", strBytes);
         },
         {"1 件目の名前が 0 で終わっていません"}, 2, QString(100, QLatin1Char('A')) + "\n"},
        {"index missing", [](const CGuiCorpus& c) { c.Remove("Index-idx.h"); },
         {"データを開けませんでした。\nIndex-idx.h\nscripts/run.sh\ntessaline-cli build"}, 10, QString()},
        {"index header cut short",
         [](const CGuiCorpus& c) {
             std::ifstream in(c.File("Index-idx.h"), std::ios::binary);
             const std::string strWhole((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
             c.Write("Index-idx.h", strWhole.substr(0, 100));
         },
         {"データを開けませんでした。\nIndex-idx.h: too short"}, 10, QString()},
        {"corpus missing",
         [](const CGuiCorpus& c) {
             for (const char* pszFile : {"Index-idx.h", "Index-idx.m", "Index-fl.h", "Index-fl.cnt", "vmk.dir"})
                 c.Remove(pszFile);
         },
         {"データを開けませんでした。", "you delete data file!"}, 1, QString("")},
    };
}

TEST(BadInputTest, ReaderStartsAndSaysWhatIsWrong) {
    for (const BadInputCase& c : BadInputCases()) {
        SCOPED_TRACE(c.pszName);
        CGuiCorpus corpus;
        c.damage(corpus);
        CModalRecorder modal;
        std::unique_ptr<CMainFrame> pFrame = ShowFrame(corpus.Folder());
        CLeftForm& panel = *pFrame->LeftForm();

        const QStringList messages = modal.Messages();
        ASSERT_EQ(messages.size(), c.expectedMessages.size()) << messages.join(" | ").toStdString();
        for (int i = 0; i < messages.size(); ++i) {
            // A corpus that cannot be opened names the folder.
            const bool bOpenFailed = c.expectedMessages[i].startsWith(QStringLiteral("データ")) ||
                                     c.expectedMessages[i].startsWith(QStringLiteral("you"));
            if (bOpenFailed) {
                EXPECT_TRUE(messages[i].contains(QDir::toNativeSeparators(corpus.Folder()))) << messages[i].toStdString();
            }
            for (const QString& strPart : c.expectedMessages[i].split(QLatin1Char('\n')))
                EXPECT_TRUE(messages[i].contains(strPart)) << messages[i].toStdString();
            EXPECT_EQ(modal.Entries()[static_cast<size_t>(i)].strCaption, kAppTitle);
        }
        if (c.nExpectedNodeCount >= 0) {
            EXPECT_EQ(panel.NodeCount(), c.nExpectedNodeCount);
        }
        if (!c.strExpectedOutline.isNull()) {
            EXPECT_EQ(TreeOutline(panel.ContentsTree()), c.strExpectedOutline);
        }

        // Choosing every leaf either shows a page or leaves the view as it is.
        modal.Clear();
        QTreeWidget* pTree = panel.ContentsTree();
        int nChosen = 0;
        for (QTreeWidgetItemIterator it(pTree, QTreeWidgetItemIterator::NoChildren); *it && nChosen < 5; ++it) {
            pTree->setCurrentItem(*it);
            ++nChosen;
        }
        QTest::qWait(50);
        if (!panel.Index().IsOpen()) {
            EXPECT_TRUE(pFrame->BookView()->IsBlank());
        }
        EXPECT_TRUE(modal.Entries().empty());

        // The dump holds one line per record read.
        QFile dump(CLeftForm::CatalogueDumpPath());
        ASSERT_TRUE(dump.open(QIODevice::ReadOnly));
        EXPECT_EQ(dump.readAll().count('\n'), panel.NodeCount() - 1);
    }
}

TEST(CatalogueDumpTest, GoesToTheCacheAndLeavesTheUsersFilesAlone) {
    // A file of the user's named like the dump, in the folder the reader
    // starts from, keeps what it holds.
    QFile mine(QStringLiteral("vmk.txt"));
    ASSERT_TRUE(mine.open(QIODevice::WriteOnly | QIODevice::Truncate));
    mine.write("a reader's notes");
    mine.close();
    CGuiCorpus corpus;
    {
        CModalRecorder modal;
        std::unique_ptr<CMainFrame> pFrame = ShowFrame(corpus.Folder());
        QFile dump(CLeftForm::CatalogueDumpPath());
        ASSERT_TRUE(dump.open(QIODevice::ReadOnly)) << CLeftForm::CatalogueDumpPath().toStdString();
        EXPECT_EQ(dump.readAll().count('\n'), pFrame->LeftForm()->NodeCount() - 1);
    }
    ASSERT_TRUE(mine.open(QIODevice::ReadOnly));
    EXPECT_EQ(mine.readAll(), QByteArray("a reader's notes"));
    mine.remove();
}

TEST(ClosedIndexTest, SearchSaysWhatIsMissingWhereAndHowToMakeACorpus) {
    // Pressing a text part helps only where that part's index is in the
    // folder; without a corpus the message says how to make one.
    struct Case {
        const char* pszName;
        bool bEmptyFolder;
        const char* pszRemoved;  // from the corpus, or nullptr
        int nPartButton;         // clicked before searching, or 0
        QStringList contains;
        QStringList lacks;
    };
    const Case cases[] = {
        {"no corpus", true, nullptr, 0,
         {"索引ファイルが開いていないので検索できません。", "Index-idx.h", "tessaline-cli build", "--data",
          "TESSALINE_DATA"},
         {"を押"}},
        {"annotations index missing", false, "Index_desc-idx.m", CLeftForm::IDC_ANNOTATIONS,
         {"索引ファイルが開いていないので検索できません。", "Index_desc-idx.m", "「全文」か「正文」を押",
          "tessaline-cli build"},
         {"「注釈」"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName);
        CGuiCorpus corpus;
        CTempDir empty;
        if (c.pszRemoved) corpus.Remove(c.pszRemoved);
        const QString strFolder = c.bEmptyFolder ? QString::fromStdString(empty.Path()) : corpus.Folder();
        CModalRecorder modal;
        std::unique_ptr<CMainFrame> pFrame = ShowFrame(strFolder);
        CLeftForm& panel = *pFrame->LeftForm();
        if (c.nPartButton) static_cast<QAbstractButton*>(panel.Control(c.nPartButton))->click();
        ASSERT_FALSE(panel.Index().IsOpen());

        modal.Clear();
        panel.TabControl()->setCurrentIndex(CLeftForm::TabSearch);
        panel.KeywordBox()->setText(QStringLiteral("學"));
        static_cast<QAbstractButton*>(panel.Control(CLeftForm::IDC_SEARCH))->click();
        const QStringList messages = modal.Messages();
        ASSERT_EQ(messages.size(), 1);
        const std::string strMessage = messages[0].toStdString();
        EXPECT_TRUE(messages[0].contains(QDir::toNativeSeparators(strFolder))) << strMessage;
        for (const QString& strPart : c.contains) EXPECT_TRUE(messages[0].contains(strPart)) << strMessage;
        for (const QString& strPart : c.lacks) EXPECT_FALSE(messages[0].contains(strPart)) << strMessage;
    }
}

}  // namespace
