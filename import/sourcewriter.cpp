#include "import/sourcewriter.h"

#include "import/textcleaner.h"
#include "platform/atomicfile.h"
#include "text/codeconverter.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string Numbered(size_t n, int nWidth, const std::string& strName) {
    char szNumber[32];
    std::snprintf(szNumber, sizeof szNumber, "%0*zu", nWidth, n);
    return std::string(szNumber) + " " + strName;
}

bool MakeFolder(const std::string& strPath, std::string& strError) {
    std::error_code ec;
    if (!fs::create_directory(strPath, ec) || ec) {
        strError = strPath + ": cannot create the folder" + (ec ? " (" + ec.message() + ")" : std::string(" (it exists)"));
        return false;
    }
    return true;
}

// Characters shown: all but a heading's mark and the annotation braces.
size_t VisibleChars(const std::string& strLine) {
    size_t n = 0;
    const std::u32string line = CCodeConverter::Utf8ToUtf32(strLine);
    for (size_t i = line.compare(0, 2, U"# ") == 0 ? 2 : 0; i < line.size(); ++i)
        if (line[i] != U'{' && line[i] != U'}') ++n;
    return n;
}

}  // namespace

void CSourceWriter::Start(const std::string& strRoot) {
    m_strRoot = strRoot;
    m_strCategoryDir.clear();
    m_strBookDir.clear();
    m_nCategories = 0;
    m_nBooks = 0;
    m_nVolumes = 0;
    m_nBookPages = 0;
    m_nVolumePieces = 0;
    m_packer.TakePages();
    m_summary = PoetryImportSummary{};
}

bool CSourceWriter::BeginCategory(const std::string& strName, std::string& strError) {
    ++m_nCategories;
    m_nBooks = 0;
    m_strCategoryDir = m_strRoot + "/" + Numbered(m_nCategories, 2, strName);
    ++m_summary.categories;
    return MakeFolder(m_strCategoryDir, strError);
}

bool CSourceWriter::BeginBook(const std::string& strName, std::string& strError) {
    ++m_nBooks;
    m_nVolumes = 0;
    m_nBookPages = 0;
    m_nVolumePieces = 0;
    m_strBookDir = m_strCategoryDir + "/" + Numbered(m_nBooks, 2, strName);
    return MakeFolder(m_strBookDir, strError);
}

void CSourceWriter::AddPiece(const std::vector<std::string>& lines) {
    if (lines.empty()) return;
    for (const std::string& strLine : lines) m_summary.characters += VisibleChars(strLine);
    m_packer.AddPiece(lines);
    ++m_nVolumePieces;
    ++m_summary.pieces;
}

bool CSourceWriter::EndVolume(const std::string& strName, std::string& strError) {
    const std::vector<std::string> pages = m_packer.TakePages();
    m_nVolumePieces = 0;
    if (pages.empty()) return true;
    ++m_nVolumes;
    std::string strCleanName = CTextCleaner::CleanName(strName);
    if (strCleanName.empty()) strCleanName = "卷" + CTextCleaner::ChineseNumber(m_nVolumes);
    const std::string strFolder = m_strBookDir + "/" + Numbered(m_nVolumes, 3, strCleanName);
    if (!MakeFolder(strFolder, strError)) return false;
    for (size_t i = 0; i < pages.size(); ++i) {
        char szName[32];
        std::snprintf(szName, sizeof szName, "/%04zu.txt", i + 1);
        if (!CAtomicFile::Write(strFolder + szName, pages[i], CAtomicFile::Mode::Staged, strError)) return false;
    }
    m_nBookPages += pages.size();
    ++m_summary.volumes;
    m_summary.pages += pages.size();
    return true;
}
