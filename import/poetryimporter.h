#pragma once

#include "import/piecereader.h"
#include "import/sourcewriter.h"

#include <cstddef>
#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

struct BookPart;
struct PoetryBook;

// Turns the unpacked npm package "chinese-poetry" (the folder holding
// package.json and dist/) into a corpus source folder (see CSourceTree):
// the books of CPoetryBooks, each read part by part with CPackageFile and
// CPieceReader, made into lines (PieceForm), cut into volumes (VolumeCut)
// and written by CSourceWriter.
//
// A file that is missing, not JSON, not valid UTF-8 or not of the expected
// shape stops the import with a message naming the file (and the item and
// member). The source folder is written into a staging folder next to it
// and moved into place only when complete (CStagingFolder); an existing
// folder is replaced only when an earlier import wrote it (it holds
// MarkerFile) or it is empty.
class CPoetryImporter {
public:
    static constexpr size_t PiecesPerVolume = 1000;
    static const char* const MarkerFile;  // ".tessaline-poetry"

    // Called with a line of progress after each book ("御定全唐詩: 900
    // volumes, 15175 pages").
    using ProgressCallback = std::function<void(const std::string& strMessage)>;
    void SetProgressCallback(ProgressCallback callback) { m_progress = std::move(callback); }

    // Imports strPackageDir into strSourceDir. False with strError (naming
    // the file and what is wrong); strSourceDir is then as it was.
    bool Import(const std::string& strPackageDir, const std::string& strSourceDir, std::string& strError /* OUT */);

    const PoetryImportSummary& Summary() const { return m_writer.Summary(); }
    // The package's version, from its package.json (valid after Import).
    const std::string& PackageVersion() const { return m_strVersion; }

private:
    // A file of a part and the number its name gives (0 when none).
    struct PartFile {
        size_t number;
        std::string path;
    };

    bool ReadManifest(std::string& strError);
    bool ImportBook(const PoetryBook& book, std::string& strError);
    bool ImportPart(const BookPart& part, std::string& strError);
    bool PartFiles(const BookPart& part, std::vector<PartFile>& files, std::string& strError) const;
    // Adds the piece's lines to the current volume (PieceForm).
    void AddPiece(const BookPart& part, const Piece& piece, const BiographyMap* pBiographies);
    bool EndVolume(const std::string& strName, std::string& strError);
    // The name of a file's volume when no item names it (VolumeCut::File).
    static std::string FileVolumeName(const BookPart& part, const PartFile& file);
    // 第N冊 and the first and last author (VolumeCut::Count).
    std::string CountedVolumeName(const std::string& strFirstAuthor, const std::string& strLastAuthor) const;

    std::string Dist(const std::string& strRelative) const { return m_strPackage + "/dist/" + strRelative; }

    ProgressCallback m_progress;
    std::string m_strVersion;
    std::string m_strPackage;
    CSourceWriter m_writer;
    std::unordered_set<std::string> m_authorsSeen;  // in the current book
    std::string m_strVolumeName;                    // the first an item of the current volume gave
};
