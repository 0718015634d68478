#pragma once

#include <cstddef>
#include <set>
#include <string>

// The options of tessaline-bench. They are defined once, in one table of
// CCommandLine: the parser and the help both come from it.
class CBenchOptions {
public:
    // What the bench measures; side by side unless an option asks for one
    // of the others.
    enum class Mode { SideBySide, Scale, Forms, Concordance, Results, Loop };

    // The engines of the side-by-side run, by their --engines names, in the
    // order of the table's columns.
    static constexpr const char* EngineNames[] = {"ours", "fts5", "trigram", "xapian", "ripgrep", "scan"};

    // Reads the arguments after the program's name. False with strError
    // when they do not fit the table or each other (two modes at once, a
    // number that is not one, an engine without a name).
    bool Parse(int argc, char** argv, std::string& strError);
    // The usage, and a line per option from the table.
    static std::string Help();

    Mode m_eMode = Mode::SideBySide;
    bool m_bHelp = false;
    std::string m_strCorpus = "out/corpus";
    std::string m_strQueries = "bench/queries.tsv";
    std::string m_strOut = "out/bench";
    std::string m_strSource = "out/poetry-source";
    std::string m_strCli;     // default: cli/tessaline-cli beside the bench's folder
    std::string m_strReader;  // empty: the reader's memory is not measured
    std::set<std::string> m_engines;  // default: every engine
    bool m_bReuse = false;
    size_t m_nScale = 0;  // copies; with Mode::Scale
    bool m_bScaleForce = false;
    bool m_bScaleCheck = false;
    std::string m_strLoop;  // a query id or "all"; with Mode::Loop
    double m_dSeconds = 20;
    bool m_bFirst = false;  // with Mode::Loop: each run on an index opened afresh
};
