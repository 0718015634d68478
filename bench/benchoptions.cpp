#include "bench/benchoptions.h"

#include "bench/processtools.h"
#include "cli/commandline.h"

#include <cstdint>
#include <iterator>
#include <vector>

namespace {

const char* const kUsage =
    "Usage: tessaline-bench [OPTIONS]\n"
    "\n"
    "Side by side (default): exports the pages of --corpus, builds SQLite FTS5\n"
    "(token per character and trigram), Xapian, ripgrep's text file and the\n"
    "brute-force scan from them under --out, runs the query set through every\n"
    "engine and through the reader's own search, and prints Markdown tables.\n"
    "--scale, --forms, --concordance, --results and --loop run another measurement instead.\n"
    "\n";

std::vector<OptionSpec> BenchOptions() {
    return {
        {"--corpus", "DIR", "corpus to measure (default out/corpus)"},
        {"--queries", "FILE", "query set, tab-separated: id, kind, query, what it probes (default bench/queries.tsv)"},
        {"--out", "DIR", "where the peers' indexes go (default out/bench)"},
        {"--source", "DIR",
         "source folder to time 'tessaline-cli build' on (default out/poetry-source; skipped when missing)"},
        {"--cli", "FILE", "tessaline-cli (default: cli/tessaline-cli beside the bench's folder)"},
        {"--reader", "FILE", "desktop reader whose start-up memory is measured (optional)"},
        {"--reuse", nullptr, "keep peers' indexes built earlier from the same corpus files"},
        {"--engines", "LIST", "comma-separated subset: ours,fts5,trigram,xapian,ripgrep,scan (the scan always runs)"},
        {"--scale", "N",
         "instead: build a synthetic corpus of N copies of the pages (or as many as the file formats hold) and "
         "measure it"},
        {"--scale-force", nullptr, "with --scale: build N copies even beyond the estimated format bounds"},
        {"--scale-check", nullptr, "with --scale: check every query's pages against a scan"},
        {"--forms", nullptr,
         "instead: time the search and its rows with and without the line of the forms searched (variants on, "
         "range: the first category)"},
        {"--concordance", nullptr,
         "instead: time the concordance of a few searches over the whole corpus: its first screen, all its rows, "
         "its sorts and its export"},
        {"--results", nullptr,
         "instead: time the counts per book and volume, the reading order and the narrowing of a few searches' rows "
         "(range: the first category)"},
        {"--loop", "ID", "instead: run the reader's search for query ID (or all) for --seconds, for a profiler"},
        {"--seconds", "S", "with --loop: how long (default 20)"},
        {"--first", nullptr, "with --loop: each run a first run, on the index opened afresh (the opening not timed)"},
        {"--help", nullptr, "show this help"},
    };
}

}  // namespace

std::string CBenchOptions::Help() {
    return kUsage + CCommandLine(BenchOptions()).OptionHelp() + "\nExit status: 0 measured, 2 an error.\n";
}

bool CBenchOptions::Parse(int argc, char** argv, std::string& strError) {
    CCommandLine commandLine(BenchOptions());
    if (!commandLine.Parse(argc, argv, strError)) return false;
    m_bHelp = commandLine.Has("--help");
    if (m_bHelp) return true;
    if (!commandLine.Positional().empty()) {
        strError = "unexpected argument '" + commandLine.Positional().front() + "'";
        return false;
    }
    m_strCorpus = commandLine.Value("--corpus", m_strCorpus);
    m_strQueries = commandLine.Value("--queries", m_strQueries);
    m_strOut = commandLine.Value("--out", m_strOut);
    m_strSource = commandLine.Value("--source", m_strSource);
    m_strCli = commandLine.Value("--cli", CProcessTools::ExecutableFolder() + "/../cli/tessaline-cli");
    m_strReader = commandLine.Value("--reader");
    m_bReuse = commandLine.Has("--reuse");

    m_engines.clear();
    if (!commandLine.Has("--engines")) {
        m_engines.insert(std::begin(EngineNames), std::end(EngineNames));
    } else {
        for (const std::string& strName : commandLine.ListValues("--engines")) {
            bool bKnown = false;
            std::string strKnown;
            for (const char* pszName : EngineNames) {
                bKnown = bKnown || strName == pszName;
                strKnown += (strKnown.empty() ? "" : ", ") + std::string(pszName);
            }
            if (!bKnown) {
                strError = "--engines: no engine is called '" + strName + "' (" + strKnown + ")";
                return false;
            }
            m_engines.insert(strName);
        }
        if (m_engines.empty()) {
            strError = "--engines: the list names no engine";
            return false;
        }
    }

    std::vector<const char*> modes;
    for (const char* pszMode : {"--scale", "--forms", "--concordance", "--results", "--loop"})
        if (commandLine.Has(pszMode)) modes.push_back(pszMode);
    if (modes.size() > 1) {
        strError = std::string(modes[0]) + " and " + modes[1] + " are two different runs; give one";
        return false;
    }
    if (commandLine.Has("--scale")) {
        const std::string strCopies = commandLine.Value("--scale");
        int32_t nCopies = 0;
        if (!CCommandLine::ParseCount(strCopies, nCopies) || nCopies == 0) {
            strError = "--scale " + strCopies + ": expected a number of copies (1 or more)";
            return false;
        }
        m_eMode = Mode::Scale;
        m_nScale = static_cast<size_t>(nCopies);
    }
    for (const char* pszOption : {"--scale-force", "--scale-check"}) {
        if (commandLine.Has(pszOption) && m_eMode != Mode::Scale) {
            strError = std::string(pszOption) + " goes with --scale N";
            return false;
        }
    }
    m_bScaleForce = commandLine.Has("--scale-force");
    m_bScaleCheck = commandLine.Has("--scale-check");
    if (commandLine.Has("--forms")) m_eMode = Mode::Forms;
    if (commandLine.Has("--concordance")) m_eMode = Mode::Concordance;
    if (commandLine.Has("--results")) m_eMode = Mode::Results;
    if (commandLine.Has("--loop")) {
        m_eMode = Mode::Loop;
        m_strLoop = commandLine.Value("--loop");
    }
    if (commandLine.Has("--first") && m_eMode != Mode::Loop) {
        strError = "--first goes with --loop ID";
        return false;
    }
    m_bFirst = commandLine.Has("--first");
    if (commandLine.Has("--seconds")) {
        const std::string strSeconds = commandLine.Value("--seconds");
        if (m_eMode != Mode::Loop) {
            strError = "--seconds goes with --loop ID";
            return false;
        }
        if (!CCommandLine::ParseNumber(strSeconds, m_dSeconds) || m_dSeconds <= 0) {
            strError = "--seconds " + strSeconds + ": expected a number of seconds above 0";
            return false;
        }
    }
    return true;
}
