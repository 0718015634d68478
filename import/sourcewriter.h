#pragma once

#include "import/pagepacker.h"

#include <cstddef>
#include <string>
#include <vector>

// What a source folder holds, as CSourceWriter counts it.
struct PoetryImportSummary {
    size_t categories = 0;
    size_t books = 0;
    size_t volumes = 0;
    size_t pages = 0;
    size_t pieces = 0;      // poems, ci, qu, chapters' paragraphs
    size_t characters = 0;  // characters shown (headings and annotations included)
};

// Writes a corpus source folder (see CSourceTree) into an empty folder:
// categories, their books, the books' volumes, and each volume's pieces cut
// into pages by CPagePacker. Each folder's name starts with its place (two
// digits for a category or book, three for a volume), each page file's with
// its number, from 1 in each volume:
//
//   ROOT/01 集部/03 御定全唐詩/001 卷一/0001.txt
//
// Pages are written with CAtomicFile in its Staged mode: ROOT is meant to be
// a CStagingFolder, synced and put in place whole. Calls nest as the folder
// does: BeginCategory, then BeginBook, then pieces and EndVolume, EndBook.
// Not copyable.
class CSourceWriter {
public:
    CSourceWriter() = default;
    CSourceWriter(const CSourceWriter&) = delete;
    CSourceWriter& operator=(const CSourceWriter&) = delete;

    // Starts over in strRoot (an existing, empty folder); the summary is
    // cleared.
    void Start(const std::string& strRoot);

    // Each makes the folder; false with strError naming it.
    bool BeginCategory(const std::string& strName, std::string& strError /* OUT */);
    bool BeginBook(const std::string& strName, std::string& strError /* OUT */);
    void EndBook() { ++m_summary.books; }

    // Adds a piece (its lines, in the source line syntax) to the current
    // volume; an empty one adds nothing.
    void AddPiece(const std::vector<std::string>& lines);

    // Writes the current volume's pages into a folder named strName (made
    // fit by CTextCleaner::CleanName; 卷N, N its place, when that leaves
    // nothing). A volume without pieces is not written. False with strError
    // naming the folder or page.
    bool EndVolume(const std::string& strName, std::string& strError /* OUT */);

    size_t VolumePieces() const { return m_nVolumePieces; }  // in the current volume
    size_t BookVolumes() const { return m_nVolumes; }        // written in the current book
    size_t BookPages() const { return m_nBookPages; }
    const PoetryImportSummary& Summary() const { return m_summary; }

private:
    std::string m_strRoot;
    std::string m_strCategoryDir;
    std::string m_strBookDir;
    size_t m_nCategories = 0;
    size_t m_nBooks = 0;    // in the current category
    size_t m_nVolumes = 0;  // in the current book
    size_t m_nBookPages = 0;
    size_t m_nVolumePieces = 0;
    CPagePacker m_packer;
    PoetryImportSummary m_summary;
};
