#include "cli/commandline.h"
#include "cli/commands.h"
#include "import/poetryimporter.h"

#include <cstdio>
#include <string>

namespace {

const char* const kUsage =
    "Usage: tessaline-cli import-poetry [OPTIONS] PACKAGE_DIR SOURCE_DIR\n"
    "\n"
    "Writes a source folder for 'tessaline-cli build' from the npm package\n"
    "chinese-poetry. PACKAGE_DIR is the unpacked package (the folder holding\n"
    "package.json and dist/), e.g. after 'npm pack chinese-poetry' and\n"
    "'tar -xzf chinese-poetry-*.tgz'. SOURCE_DIR is created, or replaced when an\n"
    "earlier import wrote it; nothing changes there unless the import succeeds.\n"
    "\n";

int Fail(const std::string& strMessage) {
    std::fprintf(stderr, "tessaline-cli import-poetry: %s\n", strMessage.c_str());
    return 2;
}

}  // namespace

int RunImportPoetry(int argc, char** argv) {
    CCommandLine commandLine({
        {"--quiet", nullptr, "print no progress"},
        {"--help", nullptr, "show this help"},
    });
    std::string strError;
    if (!commandLine.Parse(argc, argv, strError)) {
        std::fprintf(stderr, "tessaline-cli import-poetry: %s\n\n%s%s", strError.c_str(), kUsage,
                     commandLine.OptionHelp().c_str());
        return 2;
    }
    if (commandLine.Has("--help")) {
        std::printf("%s%s", kUsage, commandLine.OptionHelp().c_str());
        return 0;
    }
    if (commandLine.Positional().size() != 2) {
        std::fprintf(stderr, "tessaline-cli import-poetry: expected PACKAGE_DIR and SOURCE_DIR\n\n%s%s", kUsage,
                     commandLine.OptionHelp().c_str());
        return 2;
    }
    const std::string strPackage = commandLine.Positional()[0];
    const std::string strSource = commandLine.Positional()[1];

    CPoetryImporter importer;
    if (!commandLine.Has("--quiet"))
        importer.SetProgressCallback([](const std::string& strMessage) {
            std::fprintf(stderr, "tessaline-cli import-poetry: %s\n", strMessage.c_str());
            std::fflush(stderr);
        });
    if (!importer.Import(strPackage, strSource, strError)) return Fail(strError);

    const PoetryImportSummary& summary = importer.Summary();
    std::fprintf(stderr,
                 "tessaline-cli import-poetry: chinese-poetry %s: %zu categories, %zu books, %zu volumes, %zu pages, "
                 "%zu pieces, %zu characters written to %s\n",
                 importer.PackageVersion().c_str(), summary.categories, summary.books, summary.volumes, summary.pages,
                 summary.pieces, summary.characters, strSource.c_str());
    return 0;
}
