#pragma once

#include <cstdint>
#include <string>

// A bookmark: a page as the reader marked it. The citation names the page
// in any copy of the corpus; the digest of its text tells whether
// the page found by the citation still holds the text that was marked
// (CBookmarkFinder).
struct BookmarkTag {
    int64_t nId = 0;             // the row in the bookmark store; 0 until stored
    std::u16string strCitation;  // "論語 學而第一 2", as CCitation::Format writes it
    std::u16string strNote;      // the reader's note; may be empty or hold line breaks
    int64_t nTime = 0;           // when it was made: milliseconds since 1970-01-01 UTC
    std::string strCorpus;       // the corpus folder it was made in, absolute, UTF-8
    std::string strCatalogue;    // CPageDigest::OfCatalogue of that corpus
    int32_t nPageIndex = -1;     // the page's index in that corpus
    std::string strDigest;       // CPageDigest::OfPage of the page; empty if it could not be read
};
