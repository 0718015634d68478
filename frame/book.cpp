#include "frame/book.h"

#include "frame/mainfrm.h"
#include "frame/windowplacement.h"
#include "model/datafolder.h"
#include "splash/exitcompanion.h"
#include "splash/splashwnd.h"

#include <QCommandLineParser>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

const char* const CBookApp::OrganizationName = "Local AppWizard-Generated Applications";

namespace {

// Empty: the folder of the running executable.
QString g_strProgramFolder;

}  // namespace

void CBookApp::PrepareEnvironment() {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (::geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!flags.contains("--disable-gpu")) qputenv("QTWEBENGINE_CHROMIUM_FLAGS", (flags + " --disable-gpu").trimmed());
}

CBookApp::CBookApp(int& argc, char** argv) : QApplication(argc, argv) {
    setOrganizationName(QString::fromLatin1(OrganizationName));
    setApplicationName(AppTitle());
    setApplicationVersion(QStringLiteral(TESSALINE_VERSION));
    // The name of the installed desktop entry (packaging/), without ".desktop".
    setDesktopFileName(QStringLiteral(TESSALINE_APP_ID));
}

CBookApp::~CBookApp() { ExitInstance(); }

QString CBookApp::AppTitle() { return tr("Corvatel--Quenlowシリーズ⑭(Tessaline)"); }

QString CBookApp::ProgramFolder() {
    if (!g_strProgramFolder.isEmpty()) return g_strProgramFolder;
    std::string strFolder;
    std::string strError;
    if (!CDataFolder::ProgramFolder(strFolder, strError)) return QCoreApplication::applicationDirPath();
    return QFile::decodeName(strFolder.c_str());
}

void CBookApp::SetProgramFolder(const QString& strFolder) { g_strProgramFolder = strFolder; }

QString CBookApp::HelpFile() { return ProgramFolder() + QStringLiteral("/help/index.html"); }

bool CBookApp::OpenHelpFile() {
    const QString strPath = HelpFile();
    if (!QFileInfo(strPath).isFile()) return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(strPath));
}

bool CBookApp::InitInstance(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(tr("Reader and full-text search of the Tessaline texts."));
    parser.addHelpOption();
    const QCommandLineOption dataOption(QStringLiteral("data"),
                                        tr("Corpus folder (default: $TESSALINE_DATA, else the program's folder)."),
                                        tr("DIR"));
    const QCommandLineOption noSplashOption(QStringLiteral("no-splash"), tr("Start without the splash window."));
    parser.addOption(dataOption);
    parser.addOption(noSplashOption);
    if (!parser.parse(arguments)) {
        std::fprintf(stderr, "tessaline: %s\n", qPrintable(parser.errorText()));
        return false;
    }
    if (parser.isSet(QStringLiteral("help"))) parser.showHelp(0);
    if (!parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "tessaline: unexpected argument '%s'\n", qPrintable(parser.positionalArguments().first()));
        return false;
    }
    m_bSplash = !parser.isSet(noSplashOption);
    CSplashWnd::SetSplashEnabled(m_bSplash);

    std::string strFolder;
    std::string strError;
    if (!CDataFolder::Resolve(QFile::encodeName(parser.value(dataOption)).toStdString(), strFolder, strError)) {
        std::fprintf(stderr, "tessaline: %s\n", strError.c_str());
        return false;
    }
    // The splash covers the screen while the main window is made (the
    // browser engine takes its time to start).
    CSplashWnd::OpenSplash(nullptr);
    CMainFrame* pFrame = CreateMainFrame(QFile::decodeName(strFolder.c_str()));
    CWindowPlacement::Show(*pFrame);
    CSplashWnd::SetOwner(pFrame);
    return true;
}

CMainFrame* CBookApp::CreateMainFrame(const QString& strDataFolder) {
    m_pMainFrame = std::make_unique<CMainFrame>(strDataFolder);
    return m_pMainFrame.get();
}

void CBookApp::ExitInstance() {
    CSplashWnd::CloseSplash();
    if (!m_pMainFrame) return;
    CWindowPlacement::Save(*m_pMainFrame);
    m_pMainFrame.reset();
    CExitCompanion::Start(ProgramFolder());
}

bool CBookApp::notify(QObject* pReceiver, QEvent* pEvent) {
    if (CSplashWnd::FilterSplashInput(pEvent)) return true;
    return QApplication::notify(pReceiver, pEvent);
}
