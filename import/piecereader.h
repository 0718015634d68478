#pragma once

#include <nlohmann/json_fwd.hpp>

#include <string>
#include <unordered_map>
#include <vector>

// The members of a collection's items that hold each part of a piece
// (nullptr: the collection has none). The collections name them
// differently: "paragraphs", "content" or "para", a "section", a
// "chapter", a ci's tune as "rhythmic".
struct PieceFields {
    const char* pszTitle;      // the heading
    const char* pszTitleElse;  // the heading when pszTitle gives none (a ci's tune)
    const char* pszAuthor;
    const char* pszBiography;  // the author's biography, or the piece's source,
                               // given with the piece
    const char* pszVolume;     // the name of the volume the item belongs to,
    const char* pszVolumeSub;  // then "·" and this, when it names something else
    const char* pszBody;       // the lines
    const char* pszBodyElse;   // the lines when there is no pszBody (older files)
    bool bBodyRequired;        // neither is there: an error naming pszBody
    const char* pszNotes;      // lines, each an annotation
    const char* pszTitleSub = nullptr;   // after the heading in brackets, when it names
                                         // something else (唐詩三百首's fuller titles)
    const char* pszPartTitle = nullptr;  // a line may be an object: a part of the piece,
                                         // its heading in this member and its lines in
                                         // pszBody (千家詩's 其一, 其二)
};

// A piece of a collection, its texts cleaned (CTextCleaner::CleanText).
struct Piece {
    std::string title;
    std::string author;
    std::string biography;  // given with the piece; else looked up in the author file
    std::string volume;     // the volume the item names, "" when none
    std::vector<std::string> paragraphs;
    std::vector<std::string> notes;
};

// Author name -> biography.
using BiographyMap = std::unordered_map<std::string, std::string>;

// Reads the pieces of the package's items, whatever a collection calls its
// members. A text member may be missing or null (giving ""), else it must
// be a string; a lines member may be missing or null (no lines), a string
// (one line) or a list of strings and nulls (and, with pszPartTitle, of
// parts: their heading as a "# " line, then their lines); lines empty after
// cleaning are dropped. Errors name the item and the member:
//
//   PATH: item 3: no "paragraphs"
//   PATH: item 3: "title" is a number, not a string
//   PATH: item 3: "notes" is an object, not a list of strings
//   PATH: item 3: "content" entry 2 is a list, not a string
//
// Stateless; every member is static.
class CPieceReader {
public:
    CPieceReader() = delete;

    // Reads item (an object) into piece, member by member in the order of
    // PieceFields (so the first faulty member is the one reported). False
    // with strError, which starts with strWhere (the file and item).
    static bool Read(const nlohmann::json& item, const PieceFields& fields, const std::string& strWhere, Piece& piece /* OUT */,
                     std::string& strError /* OUT */);

    // The cleaned text of item's member pszKey (see above); a missing one
    // is an error when bRequired.
    static bool ReadText(const nlohmann::json& item, const char* pszKey, bool bRequired, const std::string& strWhere,
                         std::string& strOut /* OUT */, std::string& strError /* OUT */);
    // The cleaned, non-empty lines of item's member pszKey (see above);
    // an entry that is an object is a part when pszPartTitle is given.
    static bool ReadLines(const nlohmann::json& item, const char* pszKey, bool bRequired, const std::string& strWhere,
                          std::vector<std::string>& lines /* OUT */, std::string& strError /* OUT */,
                          const char* pszPartTitle = nullptr);

    // The biographies of an author file: a list of objects with "name"
    // (required) and pszTextKey. A name given twice with different texts
    // gets none, since a piece cannot tell which author it is; empty names
    // and texts are left out.
    static bool ReadBiographies(const std::string& strPath, const char* pszTextKey, BiographyMap& biographies /* OUT */,
                                std::string& strError /* OUT */);
};
