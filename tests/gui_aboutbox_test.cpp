// The About box and the help command.
#include "frame/book.h"
#include "frame/mainfrm.h"
#include "resources/resource.h"
#include "splash/aboutdlg.h"
#include "support/guitest.h"

#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QDir>
#include <QTest>
#include <QTextBrowser>
#include <QUrl>

#include <filesystem>

namespace {

TEST(AboutBoxTest, IsThePictureWithoutFrame) {
    CAboutDlg dialog;
    EXPECT_EQ(dialog.size(), QSize(500, 350));
    EXPECT_TRUE(dialog.windowFlags() & Qt::FramelessWindowHint);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    // A corner of the picture is left as it is.
    const QImage shown = dialog.grab().toImage();
    EXPECT_EQ(shown.pixel(2, 2), QImage(BitmapResource(IDB_ABOUT)).pixel(2, 2));
}

TEST(AboutBoxTest, ClosesOnReleaseOfTheLeftButtonOrOnEscape) {
    struct Case {
        const char* pszName;
        std::function<void(QWidget&)> input;
        bool bCloses;
        int nResult;  // when it closes
    };
    const QPoint at(250, 300);
    const Case cases[] = {
        {"left press", [&](QWidget& w) { QTest::mousePress(&w, Qt::LeftButton, {}, at); }, false, 0},
        {"right click", [&](QWidget& w) { QTest::mouseClick(&w, Qt::RightButton, {}, at); }, false, 0},
        {"left click", [&](QWidget& w) { QTest::mouseClick(&w, Qt::LeftButton, {}, at); }, true, QDialog::Accepted},
        {"release alone", [&](QWidget& w) { QTest::mouseRelease(&w, Qt::LeftButton, {}, at); }, true,
         QDialog::Accepted},
        {"Escape", [](QWidget& w) { QTest::keyClick(&w, Qt::Key_Escape); }, true, QDialog::Rejected},
    };
    for (const Case& c : cases) {
        CAboutDlg dialog;
        dialog.setResult(-1);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog)) << c.pszName;
        c.input(dialog);
        EXPECT_EQ(!dialog.isVisible(), c.bCloses) << c.pszName;
        if (c.bCloses) {
            EXPECT_EQ(dialog.result(), c.nResult) << c.pszName;
        }
    }
}

// Takes the URLs that the desktop would open, through a slot that takes a
// URL: QTextBrowser::setSource.
struct UrlCatcher {
    QTextBrowser browser;
    QList<QUrl> urls;

    UrlCatcher() {
        QObject::connect(&browser, &QTextBrowser::sourceChanged, [this](const QUrl& url) { urls << url; });
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &browser, "setSource");
    }
    ~UrlCatcher() { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
};

class FrameCommandTest : public ::testing::Test {
protected:
    void SetUp() override { m_pFrame = ShowFrame(m_corpus.Folder()); }
    void TearDown() override { CBookApp::SetProgramFolder(QString()); }

    CGuiCorpus m_corpus;
    std::unique_ptr<CMainFrame> m_pFrame;
};

TEST_F(FrameCommandTest, AboutCommandShowsTheAboutBoxModally) {
    CModalRecorder modals;
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_APP_ABOUT));
    ASSERT_EQ(modals.Entries().size(), 1u);
    EXPECT_EQ(modals.Entries()[0].strClass, QStringLiteral("CAboutDlg"));
}

TEST_F(FrameCommandTest, HelpCommandOpensTheHelpPageBesideTheProgram) {
    CTempDir programFolder;
    std::filesystem::create_directory(programFolder.File("help"));
    programFolder.Write("help/index.html", "<html></html>");
    CBookApp::SetProgramFolder(QString::fromStdString(programFolder.Path()));
    UrlCatcher catcher;

    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_HELP_FILE));
    ASSERT_EQ(catcher.urls.size(), 1);
    EXPECT_EQ(catcher.urls[0], QUrl::fromLocalFile(QString::fromStdString(programFolder.File("help/index.html"))));

    // Without the page nothing is opened and nothing is said.
    CModalRecorder modals;
    std::filesystem::remove(programFolder.File("help/index.html"));
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_HELP_FILE));
    EXPECT_EQ(catcher.urls.size(), 1);
    EXPECT_TRUE(modals.Entries().empty());
}

}  // namespace
