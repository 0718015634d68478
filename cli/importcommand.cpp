#include "cli/clioutput.h"
#include "cli/commandline.h"
#include "cli/commands.h"
#include "cli/variantsources.h"
#include "import/poetryimporter.h"
#include "text/varianttable.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

const CCliOutput kOut("import-poetry");

const char* const kUsage =
    "Usage: tessaline-cli import-poetry [OPTIONS] PACKAGE_DIR SOURCE_DIR\n"
    "\n"
    "Writes a source folder for 'tessaline-cli build' from the npm package\n"
    "chinese-poetry. PACKAGE_DIR is the unpacked package (the folder holding\n"
    "package.json and dist/), e.g. after 'npm pack chinese-poetry' and\n"
    "'tar -xzf chinese-poetry-*.tgz'. SOURCE_DIR is created, or replaced when an\n"
    "earlier import wrote it; nothing changes there unless the import succeeds.\n"
    "\n"
    "The Tang poems of quantangshi/poet.tang.* that 御定全唐詩 lacks become the book\n"
    "全唐詩補; poems are compared with the variant table that 'tessaline-cli build'\n"
    "writes (the same sources and options), so that variant characters agree.\n"
    "\n";

}  // namespace

int RunImportPoetry(int argc, char** argv) {
    std::vector<OptionSpec> options = {{"--quiet", nullptr, "print no progress"}};
    for (const OptionSpec& option : CVariantSources::Options(
             "a ready variant table to compare the poems with (default: joined from the sources below)"))
        options.push_back(option);
    options.push_back({"--help", nullptr, "show this help"});
    CCommandLine commandLine(std::move(options));
    std::string strError;
    if (!commandLine.Parse(argc, argv, strError)) {
        return kOut.FailWithUsage(strError, kUsage + commandLine.OptionHelp());
    }
    if (commandLine.Has("--help")) {
        std::printf("%s%s", kUsage, commandLine.OptionHelp().c_str());
        return 0;
    }
    if (commandLine.Positional().size() != 2) {
        return kOut.FailWithUsage("expected PACKAGE_DIR and SOURCE_DIR", kUsage + commandLine.OptionHelp());
    }
    const std::string strPackage = commandLine.Positional()[0];
    const std::string strSource = commandLine.Positional()[1];

    CVariantTable variants;
    if (!CVariantSources::Make(commandLine, kOut, !commandLine.Has("--quiet"), variants, strError)) return kOut.Fail(strError);
    CPoetryImporter importer;
    importer.SetVariants(&variants);
    if (!commandLine.Has("--quiet"))
        importer.SetProgressCallback([](const std::string& strMessage) { kOut.Tell(strMessage); });
    if (!importer.Import(strPackage, strSource, strError)) return kOut.Fail(strError);

    const PoetryImportSummary& summary = importer.Summary();
    kOut.Tell("chinese-poetry " + importer.PackageVersion() + ": " + std::to_string(summary.categories) +
              " categories, " + std::to_string(summary.books) + " books, " + std::to_string(summary.volumes) +
              " volumes, " + std::to_string(summary.pages) + " pages, " + std::to_string(summary.pieces) + " pieces, " +
              std::to_string(summary.characters) + " characters written to " + strSource);
    return 0;
}
