#include "panel/pagefiles.h"

#include "platform/atomicfile.h"

#include <QDir>
#include <QFile>

namespace {

const char* const kPageFileNames[] = {"windows.html", "windows1.html", "windows2.html"};

}  // namespace

CPageFiles::CPageFiles() : m_folder(QDir::tempPath() + "/tessaline-XXXXXX") {
    if (!m_folder.isValid()) return;
    m_strPageFile = m_folder.filePath(QString::fromLatin1(kPageFileNames[0]));
    m_strResultFile[0] = m_folder.filePath(QString::fromLatin1(kPageFileNames[1]));
    m_strResultFile[1] = m_folder.filePath(QString::fromLatin1(kPageFileNames[2]));
}

CPageFiles::~CPageFiles() {
    for (const QString& strPath : {m_strPageFile, m_strResultFile[0], m_strResultFile[1]})
        if (!strPath.isEmpty()) QFile::remove(strPath);
    // m_folder removes the folder itself.
}

QString CPageFiles::Folder() const { return m_folder.isValid() ? m_folder.path() : QString(); }

bool CPageFiles::WritePage(const std::string& strPage) { return Write(m_strPageFile, strPage); }

bool CPageFiles::WriteResultPage(const std::string& strPage) {
    if (!Write(NextResultFile(), strPage)) return false;
    m_bFirstResultFile = !m_bFirstResultFile;
    return true;
}

bool CPageFiles::Write(const QString& strPath, const std::string& strPage) {
    if (strPath.isEmpty()) return false;
    std::string strError;
    return CAtomicFile::Write(QFile::encodeName(strPath).toStdString(), strPage, CAtomicFile::Mode::Durable, strError);
}
