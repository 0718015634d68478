#pragma once

#include "import/pagepacker.h"

#include <cstddef>
#include <functional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class CJsonValue;

// What a successful Import wrote.
struct PoetryImportSummary {
    size_t categories = 0;
    size_t books = 0;
    size_t volumes = 0;
    size_t pages = 0;
    size_t pieces = 0;      // poems, ci, qu, chapters' paragraphs
    size_t characters = 0;  // characters shown (headings and annotations included)
};

// Turns the unpacked npm package "chinese-poetry" (the folder holding
// package.json and dist/) into a corpus source folder (see CSourceTree):
//
//   01 集部  楚辭 (chuci, a volume per section), 御定全唐詩 (yudingquantangshi,
//            a volume per file: 卷一 … 卷九百), 五代詩詞 (花间集 序, 卷一 … 卷十,
//            南唐二主词), 全宋詩 (quantangshi/poet.song.*), 宋詞 (songci/
//            ci.song.*), 元曲 (yuanqu); the last three in volumes of
//            PiecesPerVolume pieces named 第N冊 with their first and last
//            author
//   02 經部  詩經 (a volume per section), 論語 (a volume per chapter), 四書
//            (大學, 中庸, then 孟子 a volume per chapter)
// 集部 comes first because the reader's default search range is the first
// catalogue record.
//
// A piece is a heading (its title, or the ci's tune), a line with the
// author and, at the author's first piece in a book, the author's
// biography as an annotation, its lines as paragraphs, and each note as an
// annotation line. CPagePacker cuts the pieces of a volume into pages,
// numbered from 1.
//
// The package's text is cleaned (CleanText) so that nothing in it is taken
// for markup of the source layout. A file that is missing, not JSON or not
// of the expected shape stops the import with a message naming the file
// (and the item). The source folder is written into a staging folder next
// to it and moved into place only when complete; an existing folder is
// replaced only when an earlier import wrote it (it holds MarkerFile) or it
// is empty.
class CPoetryImporter {
public:
    static constexpr size_t PiecesPerVolume = 1000;
    static const char* const MarkerFile;  // ".tessaline-poetry"

    // Called with a line of progress ("御定全唐詩: 900 volumes, … pages").
    using ProgressCallback = std::function<void(const std::string& strMessage)>;
    void SetProgressCallback(ProgressCallback callback) { m_progress = std::move(callback); }

    // Imports strPackageDir into strSourceDir. False with strError (naming
    // the file and what is wrong); strSourceDir is then as it was.
    bool Import(const std::string& strPackageDir, const std::string& strSourceDir, std::string& strError);

    const PoetryImportSummary& Summary() const { return m_summary; }
    // The package's version, from its package.json (valid after Import).
    const std::string& PackageVersion() const { return m_strVersion; }

    // Text of the package made safe for a source line: HTML entities
    // (&amp; &lt; &gt; &quot; &apos; &nbsp; and numeric ones) decoded; line
    // breaks, tabs and other control characters turned into spaces; "{",
    // "}" and "#" replaced by their full-width forms (｛ ｝ ＃) so that they
    // never open an annotation or a heading; spaces at both ends trimmed.
    // REQUIRES: strText is valid UTF-8 (CJsonReader checks it).
    static std::string CleanText(const std::string& strText);

    // A name for the catalogue and a folder: cleaned, "/" replaced by "／",
    // a leading "." by "．", cut to at most 80 UTF-16 units.
    static std::string CleanName(const std::string& strName);

    // 1 一, 10 十, 11 十一, 20 二十, 101 一百零一, 110 一百一十, 255 二百五十五;
    // numbers from 10,000 on in decimal digits.
    static std::string ChineseNumber(size_t n);

private:
    struct Piece {
        std::string title;
        std::string author;
        std::string biography;  // given with the piece; else looked up
        std::vector<std::string> paragraphs;
        std::vector<std::string> notes;
    };
    using BiographyMap = std::unordered_map<std::string, std::string>;

    bool ImportChuci(std::string& strError);
    bool ImportTang(std::string& strError);
    bool ImportWudai(std::string& strError);
    bool ImportSongShi(std::string& strError);
    bool ImportSongCi(std::string& strError);
    bool ImportYuanqu(std::string& strError);
    bool ImportShijing(std::string& strError);
    bool ImportLunyu(std::string& strError);
    bool ImportSishu(std::string& strError);

    // Reads a list of pieces from a file in volumes of PiecesPerVolume.
    bool ImportChunked(const std::vector<std::string>& files, const BiographyMap& biographies, std::string& strError);
    bool EndChunk(std::string& strFirstAuthor, std::string& strLastAuthor, std::string& strError);

    bool BeginCategory(const std::string& strName, std::string& strError);
    bool BeginBook(const std::string& strName, std::string& strError);
    bool EndBook(std::string& strError);
    // Adds a piece to the current volume. The author line carries the
    // piece's own biography, else, at the author's first piece in the book,
    // the one pBiographies holds.
    void AddPiece(const Piece& piece, const BiographyMap* pBiographies);
    void AddLines(const std::vector<std::string>& lines);
    // Writes the current volume's pages; an empty volume is not written.
    bool EndVolume(const std::string& strName, std::string& strError);

    std::string Dist(const std::string& strRelative) const { return m_strPackage + "/dist/" + strRelative; }

    ProgressCallback m_progress;
    PoetryImportSummary m_summary;
    std::string m_strVersion;
    std::string m_strPackage;
    std::string m_strStage;
    std::string m_strCategoryDir;
    std::string m_strBookDir;
    std::string m_strBookName;
    size_t m_nCategories = 0;
    size_t m_nBooks = 0;         // in the current category
    size_t m_nVolumes = 0;       // in the current book
    size_t m_nBookPages = 0;
    size_t m_nVolumePieces = 0;  // in the current volume
    CPagePacker m_packer;
    std::unordered_set<std::string> m_authorsSeen;  // in the current book
};
