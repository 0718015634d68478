#include "cli/clioutput.h"
#include "cli/commandline.h"
#include "cli/commands.h"
#include "index/corpuscheck.h"
#include "model/datafolder.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace {

const CCliOutput kOut("check");

std::vector<OptionSpec> CheckOptions() {
    return {
        {"--data", "DIR", "corpus folder (default: $TESSALINE_DATA, else the program's folder)"},
        {"--quick", nullptr, "sizes and tables only (headers, page records, catalogue, variant table)"},
        {"--help", nullptr, "show this help"},
    };
}

void PrintHelp(const CCommandLine& commandLine) {
    std::printf("Usage: %s [OPTIONS]\n\n"
                "Reads every file of the corpus and prints each problem it finds, one a line:\n"
                "the file, where in it (a record, slot, block, line or page) and what is wrong;\n"
                "then a summary line. Besides the sizes and the tables (--quick), it walks every\n"
                "postings chain of the three indexes and compares what they post for each page\n"
                "with the page's text.\n\n"
                "%s\n"
                "Exit status: 0 no damage found, 1 damage found, 2 the check cannot run.\n",
                kOut.Name().c_str(), commandLine.OptionHelp().c_str());
}

}  // namespace

int RunCheck(int argc, char** argv) {
    CCommandLine commandLine(CheckOptions());
    std::string strError;
    if (!commandLine.Parse(argc, argv, strError))
        return kOut.Fail(strError + " (see '" + kOut.Name() + " --help')");
    if (commandLine.Has("--help")) {
        PrintHelp(commandLine);
        return 0;
    }
    if (!commandLine.Positional().empty())
        return kOut.Fail("unexpected argument '" + commandLine.Positional().front() + "'");
    std::string strFolder;
    if (!CDataFolder::Resolve(commandLine.Value("--data"), strFolder, strError)) return kOut.Fail(strError);

    // Progress: one line rewritten in place, on a terminal only.
    CCorpusCheck check;
    const bool bTerminal = ::isatty(STDERR_FILENO) != 0;
    bool bShown = false;
    if (bTerminal) {
        check.SetProgressCallback([&bShown](const std::string& strStep, int nPercent) {
            std::fprintf(stderr, "\r%s: %s: %3d%%\x1b[K", kOut.Name().c_str(), strStep.c_str(), nPercent);
            std::fflush(stderr);
            bShown = true;
        });
    }
    const auto start = std::chrono::steady_clock::now();
    const bool bRan = check.Check(strFolder, commandLine.Has("--quick"), strError);
    if (bShown) std::fprintf(stderr, "\r\x1b[K");
    if (!bRan) return kOut.Fail(strError);
    const double dSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    std::string strOut;
    for (const CCorpusCheck::Problem& problem : check.Problems()) strOut += problem.strFile + ": " + problem.strWhat + "\n";
    for (const auto& unlisted : check.Unlisted())
        strOut += unlisted.first + ": " + std::to_string(unlisted.second) + " more problems\n";
    char szSummary[256];
    std::snprintf(szSummary, sizeof szSummary, "%s in %zu files (%.1f MB) of %s, checked %s in %.1f s\n",
                  check.ProblemCount() == 0 ? "no damage found"
                                            : (std::to_string(check.ProblemCount()) +
                                               (check.ProblemCount() == 1 ? " problem" : " problems"))
                                                  .c_str(),
                  check.FileCount(), static_cast<double>(check.ByteCount()) / 1e6, strFolder.c_str(),
                  commandLine.Has("--quick") ? "quickly" : "whole", dSeconds);
    strOut += szSummary;
    if (!kOut.WriteOut(strOut, "the problems")) return 2;
    return check.ProblemCount() == 0 ? 0 : 1;
}
