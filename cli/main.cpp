#include "cli/commands.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>

namespace {

struct Command {
    const char* pszName;
    int (*pRun)(int, char**);
    const char* pszSummary;
};

const Command kCommands[] = {
    {"build", RunBuild, "write a corpus from a source folder"},
    {"search", RunSearch, "search the corpus and print the result rows"},
    {"page", RunPage, "print a page with the hits of keywords marked"},
    {"kwic", RunKwic, "print every hit of a search in its context (a concordance)"},
    {"cite", RunCite, "print the citation of a page (book, volume, page)"},
    {"catalog", RunCatalog, "print the catalogue"},
    {"check", RunCheck, "check every file of a corpus for damage"},
    {"import-poetry", RunImportPoetry, "write a source folder from the npm package chinese-poetry"},
};

void PrintUsage(FILE* out) {
    std::fprintf(out, "Usage: tessaline-cli COMMAND [OPTIONS] ARGUMENTS...\n\nCommands:\n");
    for (const Command& command : kCommands) std::fprintf(out, "  %-15s%s\n", command.pszName, command.pszSummary);
    std::fprintf(out, "\n'tessaline-cli COMMAND --help' describes a command.\n"
                      "Exit status: 0 something found or done, 1 nothing found, 2 an error.\n");
}

}  // namespace

int main(int argc, char** argv) {
    // A closed pipe (tessaline-cli search ... | head) ends the program quietly.
    std::signal(SIGPIPE, SIG_DFL);
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        PrintUsage(argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    for (const Command& command : kCommands) {
        if (std::strcmp(argv[1], command.pszName) != 0) continue;
        try {
            return command.pRun(argc - 2, argv + 2);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "tessaline-cli %s: %s\n", command.pszName, e.what());
            return 2;
        }
    }
    std::fprintf(stderr, "tessaline-cli: unknown command '%s'\n\n", argv[1]);
    PrintUsage(stderr);
    return 2;
}
