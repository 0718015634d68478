#include "cli/clioutput.h"
#include "cli/commandline.h"
#include "cli/commands.h"
#include "corpus/catalog.h"
#include "corpus/corpusfiles.h"
#include "model/catalogueloader.h"
#include "model/contentstree.h"
#include "model/datafolder.h"
#include "text/codeconverter.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

const CCliOutput kOut("catalog");

std::vector<OptionSpec> CatalogOptions() {
    return {
        {"--data", "DIR", "corpus folder (default: $TESSALINE_DATA, else the program's folder)"},
        {"--help", nullptr, "show this help"},
    };
}

void PrintHelp(const CCommandLine& commandLine) {
    std::printf("Usage: %s [OPTIONS]\n\n"
                "Prints the catalogue \"vmk.dir\", one record a line in file order, tab-separated:\n"
                "slot, level, name, docID, docNo, curFileName. Records that have no place in the\n"
                "contents tree are noted on standard error.\n\n"
                "%s\n"
                "Exit status: 0 records printed, 1 an empty catalogue, 2 an error.\n",
                kOut.Name().c_str(), commandLine.OptionHelp().c_str());
}

}  // namespace

int RunCatalog(int argc, char** argv) {
    CCommandLine commandLine(CatalogOptions());
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
    const std::string strPath = strFolder + "/" + CCorpusFiles::Catalogue;
    CContentsTree tree;
    CCatalogueLoader loader;
    if (!loader.Load(strPath, tree, strError)) return kOut.Fail("you delete data file! " + strError);

    for (const CCatalogueLoader::Problem& problem : loader.Problems()) {
        const std::string strSlot = strPath + ": slot " + std::to_string(problem.nSlot) + ": ";
        switch (problem.eKind) {
        case CCatalogueLoader::Problem::ShortLastRecord:
            kOut.Warn(strPath + ": " + std::to_string(problem.nFileBytes) +
                 " bytes is not a whole number of 216-byte records; the last record is short");
            break;
        case CCatalogueLoader::Problem::TooManyRecords:
            kOut.Warn(strPath + ": more than " + std::to_string(CCatalog::MaxRecords) + " records; the rest are ignored");
            break;
        case CCatalogueLoader::Problem::LevelOutsideTree:
            kOut.Warn(strSlot + "level " + std::to_string(problem.nLevel) +
                 " is not 1 to 3; the record is not in the contents tree");
            break;
        case CCatalogueLoader::Problem::NoParent:
            kOut.Warn(strSlot + "no record of level " + std::to_string(problem.nLevel - 1) + " before this level-" +
                 std::to_string(problem.nLevel) + " record; it is not in the contents tree");
            break;
        case CCatalogueLoader::Problem::NameWithoutEnd:
            break;  // the name is printed as far as it goes
        }
    }

    std::string strOut;
    for (int32_t nSlot = 1; nSlot < tree.GetNodeCount(); ++nSlot) {
        const CatalogRecord& record = *tree.GetRecord(nSlot);
        strOut += std::to_string(nSlot) + "\t" + std::to_string(record.level) + "\t" + CCliOutput::TsvField(record.name) + "\t" +
                  std::to_string(record.docID) + "\t" + std::to_string(record.docNo) + "\t" +
                  std::to_string(record.curFileName) + "\n";
    }
    if (!kOut.WriteOut(strOut, "the catalogue")) return 2;
    return tree.GetRecordCount() == 0 ? 1 : 0;
}
