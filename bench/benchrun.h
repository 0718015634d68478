#pragma once

#include "bench/benchoptions.h"
#include "bench/benchquery.h"
#include "bench/processtools.h"

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

// One of the bench's runs (side by side, scale, forms line, profiling
// loop). Its figures go to standard output as Markdown, its progress and
// errors to standard error.
class CBenchRun {
public:
    // The query timing of every run: rounds in which each engine (or each
    // piece of work) answers the query, each for at least QuerySlice seconds
    // (at least once); see CBenchTimer::Interleave.
    static constexpr size_t QueryRounds = 9;
    static constexpr double QuerySlice = 0.025;

    // REQUIRES: options outlives the run.
    explicit CBenchRun(const CBenchOptions& options) : m_options(options) {}
    virtual ~CBenchRun() = default;
    CBenchRun(const CBenchRun&) = delete;
    CBenchRun& operator=(const CBenchRun&) = delete;

    // Measures and prints. False after an error, which has been reported on
    // standard error (or, when figures were already measured, in them).
    virtual bool Run() = 0;

    // "tessaline-bench: strMessage" on standard error, at once.
    static void Progress(const std::string& strMessage);
    // The same for an error; false, for a run to return.
    static bool Fail(const std::string& strMessage);

protected:
    // Reads --queries. False with the error reported.
    bool ReadQueries(std::vector<CBenchQuery>& queries) const;
    // tessaline-cli search --data strCorpus for 不 and for ， under GNU time
    // (--cli; none when it is missing), each keyword with its cost. A
    // failure is reported as progress too.
    std::vector<std::pair<std::string, CommandCost>> MeasureSearches(const std::string& strCorpus) const;
    // Writes the figures to standard output.
    static void Print(const std::string& strMarkdown);

    const CBenchOptions& m_options;
};
