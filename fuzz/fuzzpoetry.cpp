// The reading of the package chinese-poetry from arbitrary bytes: the first
// byte picks a part of the book table (its shape and members), the rest is
// a file of that part, read as the importer reads one (CPackageFile: the
// file, nlohmann-json and the tree builder; CPieceReader: the pieces and the
// cleaning of their text) and as an author file; the pieces are made into
// lines and packed into pages, and compared with each other as the Tang
// poems are with 御定全唐詩 (CPoemMatcher). The bytes are also cleaned as text and as a
// name (entities, control characters, markup), and numbered as a file name.
#include "fuzz/fuzzinput.h"
#include "import/packagefile.h"
#include "import/pagepacker.h"
#include "import/piecereader.h"
#include "import/poemmatcher.h"
#include "import/poetrybooks.h"
#include "import/textcleaner.h"

#include <nlohmann/json.hpp>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    CFuzzInput input(pData, nSize);
    const uint8_t nPart = input.Byte();
    const std::string strBytes = input.Rest();

    std::vector<const BookPart*> parts;
    for (const PoetryBook& book : CPoetryBooks::Books())
        for (const BookPart& part : book.parts) parts.push_back(&part);
    const BookPart& part = *parts[nPart % parts.size()];

    const std::string strPath = FuzzFolder() + "/part.json";
    WriteFuzzFile(strPath, strBytes);
    nlohmann::json root;
    std::vector<const nlohmann::json*> items;
    std::string strError;
    bool bItems = CPackageFile::ReadItems(strPath, part.pszList ? CPackageFile::Shape::Object : part.eShape, root, items,
                                          strError);
    // A list inside the file's object, and its groups, as the importer finds them.
    if (bItems && part.pszList) bItems = CPackageFile::MemberItems(strPath, root, part.pszList, items, strError);
    if (bItems && part.pszGroupItems) {
        std::vector<const nlohmann::json*> groups, groupItems;
        groups.swap(items);
        for (size_t i = 0; bItems && i < groups.size(); ++i) {
            bItems = CPackageFile::MemberItems(strPath, *groups[i], part.pszGroupItems, groupItems, strError);
            items.insert(items.end(), groupItems.begin(), groupItems.end());
        }
    }
    if (bItems) {
        CPagePacker packer;
        CPoemMatcher matcher;
        std::vector<Piece> poems;
        for (size_t i = 0; i < items.size(); ++i) {
            Piece piece;
            if (!CPieceReader::Read(*items[i], *part.pFields, CPackageFile::ItemWhere(strPath, root, i), piece, strError))
                break;
            std::vector<std::string> lines;
            if (!piece.title.empty()) lines.push_back("# " + piece.title);
            lines.push_back(piece.author + (piece.biography.empty() ? "" : "{" + piece.biography + "}"));
            lines.insert(lines.end(), piece.paragraphs.begin(), piece.paragraphs.end());
            for (const std::string& strNote : piece.notes) lines.push_back("{" + strNote + "}");
            packer.AddPiece(lines);
            CTextCleaner::CleanName(piece.volume);
            if (i % 2 == 0)
                matcher.AddReference(piece);
            else
                poems.push_back(std::move(piece));
        }
        packer.TakePages();
        std::vector<PoemVerdict> verdicts;
        matcher.Judge(poems, verdicts, strError);
    }
    BiographyMap biographies;
    CPieceReader::ReadBiographies(strPath, part.pszAuthorText ? part.pszAuthorText : "desc", biographies, strError);

    CTextCleaner::CleanText(strBytes);
    CTextCleaner::CleanName(strBytes);
    CTextCleaner::HasWords(strBytes);
    size_t nNumber = 0;
    const std::string strStem = strBytes.substr(0, 64);
    for (auto eNumbering : {CPackageFile::Numbering::Stem, CPackageFile::Numbering::Dashed})
        if (CPackageFile::FileNumber(eNumbering, strStem, nNumber)) CTextCleaner::ChineseNumber(nNumber);
    return 0;
}
