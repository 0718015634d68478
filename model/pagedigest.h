#pragma once

#include <cstdint>
#include <string>

class CContentsTree;
class CFileList;

// Fingerprints of what a bookmark or a search was made on: the 64-bit
// FNV-1a hash of some bytes, written as 16 lower-case hexadecimal digits.
// They tell whether a page (or a catalogue) still holds what it held; they
// are no guard against someone who forges a page on purpose.
class CPageDigest {
public:
    CPageDigest() = delete;

    static constexpr size_t HexDigits = 16;

    // The digest of some bytes.
    static std::string Of(const std::string& strBytes);
    // The digest of a stored page's text: the cell that holds it (the one
    // a result page marks), not the title and the margin label, so that a
    // page that only moved (another page number, a renamed volume) keeps
    // its digest. A page without two cells: all its bytes. False when the
    // page cannot be read.
    static bool OfPage(CFileList& fileList, int32_t nPageIndex, std::string& strDigest /* OUT */);
    // The digest of a catalogue: every record's name, level, docID, docNo
    // and curFileName in slot order. Two corpora with the same catalogue
    // give the same digest; a rebuilt corpus with a book more does not.
    static std::string OfCatalogue(const CContentsTree& tree);
    // Exactly HexDigits lower-case hexadecimal digits.
    static bool IsDigest(const std::string& strText);
};
