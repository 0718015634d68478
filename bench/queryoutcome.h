#pragma once

#include "bench/benchengine.h"
#include "bench/benchquery.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One engine's answer to one query: its time, its pages and hits, and how
// it put the query.
struct QueryOutcome {
    bool ran = false;
    std::string error;
    double seconds = 0;
    size_t runs = 0;
    double firstSeconds = 0;  // median of the first runs, each on a handle opened afresh
    bool firstSame = true;    // the first runs found the warm runs' pages
    std::vector<uint32_t> pages;  // sorted
    std::vector<uint32_t> hits;   // parallel to pages when the engine counts
    BenchTranslation translation;
    bool faithful = false;  // the same pages as the scan
    bool hitsEqual = false;

    // Takes the result of the engine's last run: ran, pages sorted (hits
    // along with them).
    void TakeResult(const CBenchEngine& engine);

    // Times the engine alone on the query (CBenchTimer::Measure) and takes
    // its result; error when a run failed.
    static QueryOutcome Measure(CBenchEngine& engine, const CBenchQuery& query);

    // First runs of each engine and query that the runs take, each on a
    // handle opened afresh; the figure is their median.
    static constexpr size_t FirstRounds = 5;

    // One first run: the engine drops what it keeps and opens its index
    // afresh (untimed; the files stay in the operating system's cache), then
    // answers the query once. Its time and pages (sorted); false with
    // strError when opening or the run failed.
    static bool RunFirst(CBenchEngine& engine, const CBenchQuery& query, double& dSeconds,
                         std::vector<uint32_t>& pages, std::string& strError);
};
