#pragma once

#include "import/piecereader.h"
#include "import/poemmatcher.h"
#include "import/sourcewriter.h"

#include <nlohmann/json_fwd.hpp>

#include <cstddef>
#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

struct BookPart;
struct PoetryBook;
class CVariantTable;

// Turns the unpacked npm package "chinese-poetry" (the folder holding
// package.json and dist/) into a corpus source folder (see CSourceTree):
// the books of CPoetryBooks, each read part by part with CPackageFile and
// CPieceReader, made into lines (PieceForm), cut into volumes (VolumeCut)
// and written by CSourceWriter.
//
// The parts marked Lacking keep only the poems that the Reference parts
// lack (CPoemMatcher, folding with the variant table of SetVariants).
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
    // A Lacking part's pieces are held until all are judged: at most this
    // much text (poet.tang: 13 MB).
    static constexpr size_t MaxHeldBytes = 256u << 20;
    static const char* const MarkerFile;  // ".tessaline-poetry"

    // Called with a line of progress after each book ("御定全唐詩: 900
    // volumes, 15175 pages").
    using ProgressCallback = std::function<void(const std::string& strMessage)>;
    void SetProgressCallback(ProgressCallback callback) { m_progress = std::move(callback); }
    // The variant table the poems are compared with (the one the builder
    // will write); without one, only identical characters agree. It must
    // outlive Import.
    void SetVariants(const CVariantTable* pVariants) { m_matcher.SetVariants(pVariants); }

    // Imports strPackageDir into strSourceDir. False with strError (naming
    // the file and what is wrong); strSourceDir is then as it was.
    bool Import(const std::string& strPackageDir, const std::string& strSourceDir, std::string& strError /* OUT */);

    const PoetryImportSummary& Summary() const { return m_writer.Summary(); }
    // The poems of the Lacking parts: how many the reference holds, how
    // many were kept (valid after Import).
    const PoemMatchSummary& MatchSummary() const { return m_matcher.Summary(); }
    // The package's version, from its package.json (valid after Import).
    const std::string& PackageVersion() const { return m_strVersion; }

private:
    // A file of a part and the number its name gives (0 when none).
    struct PartFile {
        size_t number;
        std::string path;
    };
    // An item of a file: where it is (for messages) and the name of its
    // group (BookPart::Groups).
    struct FileItem {
        const nlohmann::json* pItem;
        std::string strWhere;
        std::string strGroup;
    };

    bool ReadManifest(std::string& strError);
    bool ImportBook(const PoetryBook& book, std::string& strError);
    // bVolumeGoesOn: the book's next part goes on counting pieces into the
    // current volume (both VolumeCut::Count).
    bool ImportPart(const BookPart& part, bool bVolumeGoesOn, std::string& strError);
    bool PartFiles(const BookPart& part, std::vector<PartFile>& files, std::string& strError) const;
    // The items of a file that root holds, as the part finds them.
    static bool FileItems(const BookPart& part, const std::string& strPath, nlohmann::json& root /* OUT */,
                          std::vector<FileItem>& items /* OUT */, std::string& strError /* OUT */);
    // BookPart::JoinLines and DropSpaces.
    static void Arrange(const BookPart& part, Piece& piece);
    // Cuts the volume where the part says (bFirstOfFile: the piece is its
    // file's first), then adds the piece.
    bool PlacePiece(const BookPart& part, const Piece& piece, bool bFirstOfFile, const BiographyMap* pBiographies,
                    std::string& strError);
    // Adds the piece's lines to the current volume (PieceForm).
    void AddPiece(const BookPart& part, const Piece& piece, const BiographyMap* pBiographies);
    // The author line: the name, and the biography (or source) as an
    // annotation where one is to be shown.
    std::string AuthorLine(const Piece& piece, const BiographyMap* pBiographies);
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
    CPoemMatcher m_matcher;
    std::unordered_set<std::string> m_authorsSeen;  // in the current book
    std::string m_strVolumeName;                    // the first an item of the current volume gave
    std::string m_strSection;                       // VolumeCut::Section: the current volume's name
    std::string m_strFirstAuthor, m_strLastAuthor;  // VolumeCut::Count: of the current volume
};
