#pragma once

#include "model/searchchain.h"

#include <cstdint>
#include <string>

class CContentsTree;

// One search of the history: the whole request (a first search and each
// search within its results, over a range), where and when it ran and
// what it found.
struct HistoryEntryTag {
    int64_t nId = 0;               // the row in the history store; 0 until stored
    SearchRequestTag request;
    std::u16string strRangeLabel;  // the range as the catalogue named it then (K\P)
    int64_t nTime = 0;             // milliseconds since 1970-01-01 UTC
    std::string strCorpus;         // the corpus folder, absolute, UTF-8
    std::string strCatalogue;      // CPageDigest::OfCatalogue of that corpus
    int64_t nPages = 0;            // pages found (all rows)
    int64_t nPlaces = 0;           // places found
};

// How a history entry reads in a list, how its request is stored, and
// where its range is in the catalogue that is open. No user interface.
class CHistoryEntry {
public:
    CHistoryEntry() = delete;

    // A stored request with more steps, or longer keywords, is refused.
    static constexpr size_t MaxSteps = 100;
    static constexpr size_t MaxKeywordUnits = 4096;

    // A request as one text, readable in the database: "range=N", then a
    // line a step, "and|or,variants|exact,whole|main|annotations:keywords",
    // with a backslash and a line break in the keywords written "\\" and
    // "\n":
    //   range=1
    //   and,variants,whole:春風
    //   or,exact,annotations:明月 故鄉
    // Plain text rather than JSON, so that a list of 10,000 searches is read
    // in a few milliseconds.
    static std::u16string EncodeRequest(const SearchRequestTag& request);
    // False (request unchanged) for anything but a text as EncodeRequest
    // writes it, with 1 to MaxSteps steps of at most MaxKeywordUnits each
    // and a range of 0 to INT32_MAX.
    static bool DecodeRequest(const std::u16string& strText, SearchRequestTag& request /* OUT */);

    // "春風 → 明月": each step's keywords, oldest first, ideographic spaces
    // shown as spaces.
    static std::u16string Chain(const SearchRequestTag& request);
    // "and・異体字・全文" (or, 異体字なし, 正文, 注釈); where the steps
    // differ, each step's joined with " → ".
    static std::u16string Options(const SearchRequestTag& request);
    // The slot to search strLabel's range in: nSlot while its label is still
    // strLabel (or strLabel is empty), else the first slot whose label is
    // strLabel (a rebuilt catalogue); 0 when none is.
    static int32_t FindRange(const CContentsTree& tree, int32_t nSlot, const std::u16string& strLabel);
};
