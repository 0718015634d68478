#include "frame/book.h"

#include "frame/mainfrm.h"
#include "panel/datafolder.h"

#include <QCommandLineParser>
#include <QFile>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

const char* const CBookApp::OrganizationName = "Local AppWizard-Generated Applications";

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
}

CBookApp::~CBookApp() { ExitInstance(); }

QString CBookApp::AppTitle() { return tr("Corvatel--Quenlowシリーズ⑭(Tessaline)"); }

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

    std::string strFolder;
    std::string strError;
    if (!CDataFolder::Resolve(QFile::encodeName(parser.value(dataOption)).toStdString(), strFolder, strError)) {
        std::fprintf(stderr, "tessaline: %s\n", strError.c_str());
        return false;
    }
    CreateMainFrame(QFile::decodeName(strFolder.c_str()))->showMaximized();
    return true;
}

CMainFrame* CBookApp::CreateMainFrame(const QString& strDataFolder) {
    m_pMainFrame = std::make_unique<CMainFrame>(strDataFolder);
    return m_pMainFrame.get();
}

void CBookApp::ExitInstance() { m_pMainFrame.reset(); }
