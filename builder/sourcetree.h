#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The source of a corpus in memory: categories, books, volumes and pages,
// in the order the corpus is written (the catalogue's outline order). Plain
// values; whoever holds a CorpusSource owns everything in it.

// One page: its page number (the stem of its file name) and its text.
struct SourcePage {
    int32_t number = 0;
    std::string text;    // UTF-8; one line per paragraph (see CPageBuilder)
    std::string origin;  // the file it was read from, for messages; may be empty
};

struct SourceVolume {
    std::string name;  // UTF-8 display name
    std::vector<SourcePage> pages;
};

struct SourceBook {
    std::string name;
    std::vector<SourceVolume> volumes;
};

struct SourceCategory {
    std::string name;
    std::vector<SourceBook> books;
};

struct CorpusSource {
    std::vector<SourceCategory> categories;

    size_t PageCount() const;
    size_t BookCount() const;
    size_t VolumeCount() const;
};

// Reads a source folder into a CorpusSource and checks a CorpusSource for
// what the written corpus cannot hold.
//
// Folder layout:
//   SOURCE_DIR/01 經部/01 論語/01 學而第一/0001.txt
//              category book    volume    page
// A folder name may start with a decimal number and one space; that prefix
// orders the folders and is not part of the name ("01 論語" is 論語, "01  X"
// is " X"). Folders with a prefix come first, by number (ties by full folder
// name); folders without one follow, by name (byte order of the UTF-8
// names, which is code point order). A page file is NNNN.txt: its stem, all
// decimal digits, is the page number; pages are ordered by number. Page
// files are UTF-8; a byte-order mark at the start is dropped.
//
// Entries whose names start with "." are ignored at every level. Anything
// else out of place is refused, so that pages never go missing silently: a
// file where a folder is expected (a page file directly in a book folder), a
// folder inside a volume, or a file in a volume that is not NNNN.txt.
class CSourceTree {
public:
    // A page file larger than this is refused.
    static constexpr uint64_t MaxPageFileBytes = 4u << 20;
    // Page numbers have at most this many digits, so that they fit the
    // store's int32 page number.
    static constexpr size_t MaxPageDigits = 9;
    // Names longer than this (in UTF-16 units) do not fit a catalogue record.
    static constexpr size_t MaxNameUnits = 99;
    // At most this many threads read page files at once.
    static constexpr size_t ReadThreads = 4;

    // Reads strFolder into source (replacing its contents) and checks it
    // (Check). False with strError naming the file or folder and what is
    // wrong; source then holds whatever was read before the fault.
    static bool Read(const std::string& strFolder, CorpusSource& source, std::string& strError);

    // Checks what a written corpus needs: every category holds a book, every
    // book a volume and every volume a page; names are non-empty, valid
    // UTF-8 and at most 99 UTF-16 units; page texts are valid UTF-8 without
    // NUL bytes, and every annotation "{" closes on its line; a volume's first page number fits 16 bits (the catalogue
    // keeps it as such) and its pages are numbered consecutively upwards
    // from it (the reader's page slider and page commands count on that).
    static bool Check(const CorpusSource& source, std::string& strError);

    // Splits a folder name into its ordering prefix and its name. False
    // when there is no prefix (digits followed by one space).
    static bool SplitPrefix(const std::string& strFolder, std::string& strNumber, std::string& strName);

};
