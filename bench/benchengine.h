#pragma once

#include "bench/benchquery.h"

#include <cstdint>
#include <string>
#include <vector>

class CPageExport;

// How an engine puts one query: the query in its own language and whether
// that form answers exactly what the reader's search answers.
struct BenchTranslation {
    std::string text;   // the engine's query (SQL condition, regular expression, ...)
    bool exact = true;  // false: the engine cannot express the query as the reader means it
    std::string why;    // when not exact: what differs
};

// One search engine in the bench: built from the exported pages, asked the
// query set, timed by the caller.
class CBenchEngine {
public:
    virtual ~CBenchEngine() = default;

    virtual std::string Name() const = 0;
    // Builds the engine's index from the pages into strFolder (a folder or
    // file name of the engine's own under the bench's output folder). False
    // with strError naming the file and what failed.
    virtual bool Build(const CPageExport& pages, const std::string& strFolder, std::string& strError) = 0;
    // Opens an index built earlier (by Build, in this run or an earlier one
    // on the same corpus).
    virtual bool Open(const std::string& strFolder, std::string& strError) = 0;
    // Drops whatever the engine keeps between queries and opens its index
    // again with a fresh handle (a database connection, a mapping), as a
    // program just started would; the operating system's cache stays warm.
    // An engine that keeps nothing returns true.
    virtual bool Reopen(std::string& strError) = 0;
    // Bytes the index takes on disk.
    virtual uint64_t IndexBytes() const = 0;
    // What IndexBytes covers.
    virtual std::string IndexNote() const = 0;

    virtual BenchTranslation Translate(const CBenchQuery& query) const = 0;
    // Runs the query (the timed part). False with strError when the engine
    // fails.
    virtual bool Run(const CBenchQuery& query, std::string& strError) = 0;
    // After Run: the page indexes found, in any order, and the hits per page
    // (parallel) when the engine counts them (else hits is left empty).
    virtual void LastResult(std::vector<uint32_t>& pages, std::vector<uint32_t>& hits) const = 0;
};
