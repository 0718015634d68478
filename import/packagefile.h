#pragma once

#include <nlohmann/json_fwd.hpp>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The JSON files of the package chinese-poetry, read with nlohmann-json:
// RFC 8259 strictly (a single value with only white space around it, a
// UTF-8 byte-order mark allowed at the start, strings of valid UTF-8 without
// raw control characters, surrogates only in pairs). A member named twice
// keeps its last value, as in JavaScript.
//
// Hostile files cannot crash the import or make it use memory out of
// proportion to the package: a file larger than MaxFileBytes is not read,
// and nesting deeper than MaxDepth is refused as the parser reaches it
// (nlohmann's parser builds no deeper tree; its SAX interface counts the
// levels here, since its parser callback would triple the parse time).
// Every fault is a message that names the file; a fault of the text says
// where, in nlohmann's words:
//
//   .../yuanqu.json: not valid JSON: line 1, column 16: syntax error while
//       parsing value - invalid string: missing closing quote; last read: '"诈'
//   .../lunyu.json: item 3 is a string, not an object
//
// Stateless; every member is static.
class CPackageFile {
public:
    CPackageFile() = delete;

    static constexpr size_t MaxDepth = 200;
    // Eight times the package's largest file (yuanqu.json, 4.2 MB): the
    // worst text of this size ("[{},{},…]") makes a tree of about 1 GB.
    static constexpr uint64_t MaxFileBytes = 32u << 20;
    // A message quotes at most this many characters of the text.
    static constexpr size_t MaxQuoteChars = 160;

    // What the top level of a file must be: a list of objects, such a list
    // or one object (taken as a list of one), or one object.
    enum class Shape { List, ListOrObject, Object };

    // How the names of a folder's files number them.
    enum class Numbering {
        None,    // they do not
        Stem,    // the name is the number: 001.json
        Dashed,  // the number (up to 4 digits, or x for 10) follows the
                 // prefix up to a dash: huajianji-1-juan.json, huajianji-x-juan.json
    };

    // Parses strText into root (replacing it). False with strError ("line
    // L, column C: ..." or "nested deeper than 200 levels") when the text is
    // not JSON; root is then null. Throws std::bad_alloc.
    static bool Parse(const std::string& strText, nlohmann::json& root, std::string& strError /* OUT */);

    // Reads and parses the file strPath. False with strError naming the file
    // ("PATH: not valid JSON: ...", "PATH: file too large").
    static bool Read(const std::string& strPath, nlohmann::json& root, std::string& strError /* OUT */);

    // The items of root, which must have the shape eShape: pointers into
    // root, valid while root lives unchanged. False with strError naming
    // strPath ("PATH: expected a list of items, found an object", "PATH:
    // item 3 is a string, not an object").
    static bool Items(const std::string& strPath, const nlohmann::json& root, Shape eShape,
                      std::vector<const nlohmann::json*>& items /* OUT */, std::string& strError /* OUT */);

    // The items of the list in member pszKey of object (a list of objects
    // inside an object: 古文觀止's volumes, each volume's pieces): pointers
    // into object. False with strError starting with strWhere ("WHERE: no
    // \"content\"", "WHERE: \"content\" is a string, not a list", "WHERE:
    // \"content\" item 3 is a string, not an object").
    static bool MemberItems(const std::string& strWhere, const nlohmann::json& object, const char* pszKey,
                            std::vector<const nlohmann::json*>& items /* OUT */, std::string& strError /* OUT */);

    // Read, then Items.
    static bool ReadItems(const std::string& strPath, Shape eShape, nlohmann::json& root /* OUT */,
                          std::vector<const nlohmann::json*>& items /* OUT */, std::string& strError /* OUT */);

    // Item i (from 0) of root, for messages: "PATH: item 3", or PATH alone
    // when root is one object.
    static std::string ItemWhere(const std::string& strPath, const nlohmann::json& root, size_t i);

    // "null", "a boolean", "a number", "a string", "a list", "an object".
    static const char* TypeName(const nlohmann::json& value);

    // The files of strFolder whose names start with strPrefix and end with
    // ".json", ordered by the part between: numbers first, by value, then
    // the rest by name. False with strError when the folder cannot be read
    // ("FOLDER: cannot read the folder (...)") or holds no such file.
    static bool List(const std::string& strFolder, const std::string& strPrefix, std::vector<std::string>& files /* OUT */,
                     std::string& strError /* OUT */);

    // The number eNumbering reads in strStem, a file's name without the
    // folder's prefix and ".json" ("001", "1-juan"). False when it finds
    // none (always with Numbering::None).
    static bool FileNumber(Numbering eNumbering, const std::string& strStem, size_t& nNumber /* OUT */);
};
