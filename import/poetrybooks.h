#pragma once

#include "import/packagefile.h"
#include "import/piecereader.h"

#include <vector>

// How a part's pieces are cut into volumes, and how each is named.
enum class VolumeCut {
    Section,  // a volume ends where the items' volume name changes, and has that name
    File,     // each file is a volume, named by the first item that names one, else
              // pszVolumeName (with numbered files: pszVolumeName and the number in
              // Chinese, pszFirstVolume for number 0)
    Item,     // each item is a volume: pszVolumeName and the item's volume name
    Count,    // volumes of CPoetryImporter::PiecesPerVolume pieces in the files' order,
              // named 第N冊 with their first and last author
    None,     // the volume goes on into the book's next part
};

// How a piece becomes lines of the source layout.
enum class PieceForm {
    Poem,     // one piece: the title as heading, the author (with the biography at
              // the author's first piece in the book), the lines, each note as an
              // annotation
    Chapter,  // the title as heading and the author with the first paragraph,
              // then each further paragraph a piece of its own (pages break
              // between them)
};

// A file of the package (or the files of one of its folders) and what a
// book takes from it. Built from a path under dist/ and the items' fields,
// then the setters for what differs from the defaults:
//
//   BookPart("songci", kPoem).Files("ci.song.").Authors("songci/author.song.json", "description")
//       .Cut(VolumeCut::Count)
struct BookPart {
    BookPart(const char* pszPath_, const PieceFields& fields_) : pszPath(pszPath_), pFields(&fields_) {}

    // The files pszPrefix*.json of the folder pszPath, in CPackageFile::List's
    // order; numbered ones are taken in the order of their numbers, and a file
    // whose name gives no number stops the import ("PATH: not " + pszBadName).
    BookPart& Files(const char* pszPrefix_, CPackageFile::Numbering eNumbering_ = CPackageFile::Numbering::None,
                    const char* pszBadName_ = nullptr) {
        pszPrefix = pszPrefix_, eNumbering = eNumbering_, pszBadName = pszBadName_;
        return *this;
    }
    BookPart& Shape(CPackageFile::Shape eShape_) { return eShape = eShape_, *this; }
    // The items are the list in the member pszList_ of the file's object
    // (whose other members another part of the book reads: its title,
    // author and abstract).
    BookPart& Within(const char* pszList_) { return pszList = pszList_, *this; }
    // Each item of the list is a group of items, in its member pszGroupItems_,
    // whose member pszGroupName_ names their volume (古文觀止's 卷, the forms
    // of 唐詩三百首).
    BookPart& Groups(const char* pszGroupItems_, const char* pszGroupName_) {
        pszGroupItems = pszGroupItems_, pszGroupName = pszGroupName_;
        return *this;
    }
    // A piece's lines joined nJoinLines_ at a time, without a separator
    // (千字文 gives each of its four-character phrases as a line of its own).
    BookPart& JoinLines(size_t nJoinLines_) { return nJoinLines = nJoinLines_, *this; }
    // The spaces of a piece's lines dropped (弟子規 writes its
    // three-character phrases apart), so that a phrase is found across them.
    BookPart& DropSpaces() { return bDropSpaces = true, *this; }
    // The pieces are what the Lacking parts are matched against (CPoemMatcher).
    BookPart& Reference() { return bReference = true, *this; }
    // Only the pieces that the Reference parts read before lack, in their
    // order; with VolumeCut::Count only.
    BookPart& Lacking() { return bLacking = true, *this; }
    BookPart& Form(PieceForm eForm_) { return eForm = eForm_, *this; }
    // Biographies of the authors: the author file (under dist/) and its
    // member that holds them.
    BookPart& Authors(const char* pszAuthors_, const char* pszAuthorText_) {
        pszAuthors = pszAuthors_, pszAuthorText = pszAuthorText_;
        return *this;
    }
    BookPart& Cut(VolumeCut eCut_, const char* pszVolumeName_ = "", const char* pszFirstVolume_ = nullptr) {
        eCut = eCut_, pszVolumeName = pszVolumeName_, pszFirstVolume = pszFirstVolume_;
        return *this;
    }

    const char* pszPath;                  // under dist/: the file, or the folder of pszPrefix
    const PieceFields* pFields;           // static: outlives the table
    const char* pszPrefix = nullptr;      // nullptr: pszPath is one file
    CPackageFile::Numbering eNumbering = CPackageFile::Numbering::None;
    const char* pszBadName = nullptr;     // what a file without a number is not
    CPackageFile::Shape eShape = CPackageFile::Shape::List;
    const char* pszList = nullptr;        // nullptr: the file's top level gives the items
    const char* pszGroupItems = nullptr;  // nullptr: the items are not grouped
    const char* pszGroupName = nullptr;
    size_t nJoinLines = 1;
    bool bDropSpaces = false;
    bool bReference = false;
    bool bLacking = false;
    PieceForm eForm = PieceForm::Poem;
    const char* pszAuthors = nullptr;     // nullptr: no biographies but those given with the pieces
    const char* pszAuthorText = nullptr;
    VolumeCut eCut = VolumeCut::Section;
    const char* pszVolumeName = "";
    const char* pszFirstVolume = nullptr;
};

// A book of the source folder and the parts it is made of, in order.
struct PoetryBook {
    const char* pszCategory;  // the category the book starts; nullptr: it goes on in the last one
    const char* pszName;
    std::vector<BookPart> parts;
};

// The books of the source folder made from chinese-poetry 2.0.1, in their
// order, each in the division (部) of the four (四部) where its class lies;
// 集部 first, since the reader's default search range is the first
// catalogue record:
//
//   01 集部  楚辭, 曹操詩集, 御定全唐詩 (a volume per file: 卷一 … 卷九百),
//            全唐詩補 (the poems of quantangshi/poet.tang.* it lacks), 五代詩詞,
//            全宋詩, 宋詞, 元曲 (全唐詩補 and these three in volumes of 1,000
//            pieces named 第N冊 with their first and last author), 納蘭性德詞,
//            then the anthologies 古文觀止, 唐詩三百首, 千家詩 (a volume per
//            section), 水墨唐詩
//   02 經部  詩經, 論語, 四書, then the primers of characters 千字文, 百家姓,
//            文字蒙求
//   03 子部  三字經 (新版, 傳統版), 弟子規, 朱子家訓, 增廣賢文, 幽夢影, 幼學瓊林,
//            聲律啓蒙
// Books without sections of their own are one volume, 全一卷.
class CPoetryBooks {
public:
    CPoetryBooks() = delete;

    static const std::vector<PoetryBook>& Books();
};
