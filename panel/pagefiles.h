#pragma once

#include <QString>
#include <QTemporaryDir>

#include <string>

// The files the page view opens: "windows.html" for a stored page, and
// "windows1.html" and "windows2.html" in turn for result pages, so that a
// result page never replaces the file the view still shows. They live in a
// folder of this run that only this user can enter (made in the system's
// temporary folder), so that nobody can plant a link under their names.
// Each write goes through CAtomicFile (Durable): the view never reads half
// a page. The files and the folder go when the object does.
//
// Without the folder every path is empty and every write fails. Not
// copyable.
class CPageFiles {
public:
    CPageFiles();
    ~CPageFiles();
    CPageFiles(const CPageFiles&) = delete;
    CPageFiles& operator=(const CPageFiles&) = delete;

    // The folder; empty if it could not be made.
    QString Folder() const;
    const QString& PageFile() const { return m_strPageFile; }
    const QString& ResultFile(int n) const { return m_strResultFile[n & 1]; }
    // The file the next result page goes to.
    const QString& NextResultFile() const { return m_strResultFile[m_bFirstResultFile ? 0 : 1]; }

    // Writes strPage to PageFile(). False if it could not be written.
    bool WritePage(const std::string& strPage);
    // Writes strPage to NextResultFile() and, once written, makes the other
    // file the next. False (the next file unchanged) if it could not be
    // written.
    bool WriteResultPage(const std::string& strPage);

private:
    static bool Write(const QString& strPath, const std::string& strPage);

    QTemporaryDir m_folder;
    QString m_strPageFile;
    QString m_strResultFile[2];
    bool m_bFirstResultFile = true;  // the next result page goes to windows1.html
};
