#pragma once

#include "bench/benchquery.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class COurEngine;

// Rendering result pages: CIndex::RenderPage over pages of the queries'
// results, timed call by call.
struct RenderFigures {
    size_t calls = 0;
    double median = 0;
    double p90 = 0;
    double max = 0;
    size_t pairs = 0;    // page and keyword pairs rendered
    uint64_t marks = 0;  // hit marks made in one pass
};

// A search to the first list page: the search, the rows of the range and
// the first list page's text, beside the search alone.
struct FirstListPage {
    std::string keywords;
    bool bOr = false;
    bool bFirstSearch = false;  // the index opened afresh before each run
    double seconds = 0;
    double searchSeconds = 0;
    size_t pages = 0;  // rows of the range
};

// The reader's figures besides the query times, in process on the reader's
// own road (COurEngine).
class CReaderFigures {
public:
    // Up to 25 pages of each query's result (resultPages, parallel to
    // queries), each rendered with the query's keywords: one pass counting
    // the marks, then three timed passes.
    static RenderFigures MeasureRendering(COurEngine& ours, const std::vector<CBenchQuery>& queries,
                                          const std::vector<std::vector<uint32_t>>& resultPages);

    // strKeywords searched (and, or with bOr; variants on) in the range of
    // catalogue slot 1, the search and the list page beside the search
    // alone, taking turns (CBenchRun::QueryRounds).
    static FirstListPage MeasureFirstListPage(COurEngine& ours, const std::string& strKeywords, bool bOr);

    // The first search of a session, as the window makes it: the index
    // opened afresh before each run (untimed), then the search of
    // strKeywords (and, variants on) in the range of slot 1, its rows, the
    // line of forms (counted where it shows), the text parts and the text
    // of the first list page's rows; median of QueryOutcome::FirstRounds.
    static FirstListPage MeasureFirstSearch(COurEngine& ours, const std::string& strKeywords);
};
