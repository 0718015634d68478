// tessaline-bench: the reader's search side by side with SQLite FTS5 (one
// token per character, and trigram), Xapian (one term per character), a
// brute-force scan and ripgrep, all built from the same exported pages and
// asked the same queries in one run; a synthetic corpus many times the
// default one (--scale); the cost of the forms line (--forms); the
// concordance (--concordance); a loop for a profiler (--loop). Prints Markdown; bench/run.sh writes it into
// bench/README.md. Exit status: 0 measured, 2 an error.

#include "bench/benchoptions.h"
#include "bench/concordancerun.h"
#include "bench/resultsrun.h"
#include "bench/formsrun.h"
#include "bench/profileloop.h"
#include "bench/scalerun.h"
#include "bench/sidebysiderun.h"

#include <cstdio>
#include <memory>
#include <string>

int main(int argc, char** argv) {
    CBenchOptions options;
    std::string strError;
    if (!options.Parse(argc - 1, argv + 1, strError)) {
        CBenchRun::Fail(strError + "; see tessaline-bench --help");
        return 2;
    }
    if (options.m_bHelp) {
        std::printf("%s", CBenchOptions::Help().c_str());
        return 0;
    }
    std::unique_ptr<CBenchRun> pRun;
    switch (options.m_eMode) {
    case CBenchOptions::Mode::SideBySide:
        pRun = std::make_unique<CSideBySideRun>(options);
        break;
    case CBenchOptions::Mode::Scale:
        pRun = std::make_unique<CScaleRun>(options);
        break;
    case CBenchOptions::Mode::Forms:
        pRun = std::make_unique<CFormsRun>(options);
        break;
    case CBenchOptions::Mode::Concordance:
        pRun = std::make_unique<CConcordanceRun>(options);
        break;
    case CBenchOptions::Mode::Results:
        pRun = std::make_unique<CResultsRun>(options);
        break;
    case CBenchOptions::Mode::Loop:
        pRun = std::make_unique<CProfileLoop>(options);
        break;
    }
    return pRun->Run() ? 0 : 2;
}
