#pragma once

#include <QApplication>

#include <memory>

class CMainFrame;

// The reader application: names itself (the application title, which is
// also the caption of every message box and the name of its settings),
// reads the command line, shows the splash while it makes the one main
// window, offers every event to the splash first, and starts the exit
// companion once the main window is gone.
//
// Command line:
//   --data DIR    corpus folder (default: $TESSALINE_DATA, else the
//                 program's folder)
//   --no-splash   start without the splash window
class CBookApp : public QApplication {
    Q_OBJECT

public:
    static const char* const OrganizationName;  // settings key above the title

    // Call before constructing the application: settings that Qt WebEngine
    // needs before the first window (shared GL contexts; the browser
    // sandbox cannot run as root; no GPU).
    static void PrepareEnvironment();

    CBookApp(int& argc, char** argv);
    ~CBookApp() override;

    static QString AppTitle();

    // The folder of the running program, where the help page and the exit
    // companion are looked for. Tests point it elsewhere.
    static QString ProgramFolder();
    static void SetProgramFolder(const QString& strFolder);
    // The help page in the program folder.
    static QString HelpFile();
    // Opens the help page with the desktop's handler for HTML files. False,
    // and nothing shown, when the page is missing.
    static bool OpenHelpFile();

    // Parses the command line (arguments() of the application, program
    // name first) and shows the main window where it was at the last exit
    // (CWindowPlacement; maximised at first). False (with a message on
    // standard error) for a command line it cannot use.
    bool InitInstance(const QStringList& arguments);
    // Makes the main window for strDataFolder without showing it.
    CMainFrame* CreateMainFrame(const QString& strDataFolder);
    CMainFrame* MainFrame() const { return m_pMainFrame.get(); }
    // Writes the main window's placement, destroys the window (its
    // splitter writes the pane layout) and, if there was one, starts the
    // exit companion from the program folder.
    void ExitInstance();

    // Every event goes to the splash first (CSplashWnd::FilterSplashInput).
    bool notify(QObject* pReceiver, QEvent* pEvent) override;

    bool IsSplashEnabled() const { return m_bSplash; }

private:
    std::unique_ptr<CMainFrame> m_pMainFrame;
    bool m_bSplash = true;
};
