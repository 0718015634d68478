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

const char* const kName = "tessaline-cli catalog";

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
                kName, commandLine.OptionHelp().c_str());
}

int Fail(const std::string& strMessage) {
    std::fprintf(stderr, "%s: %s\n", kName, strMessage.c_str());
    return 2;
}

void Warn(const std::string& strMessage) { std::fprintf(stderr, "%s: warning: %s\n", kName, strMessage.c_str()); }

std::string TsvField(const std::u16string& strName) {
    std::string out = CCodeConverter::Utf16ToUtf8(strName);
    for (char& c : out)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    return out;
}

}  // namespace

int RunCatalog(int argc, char** argv) {
    CCommandLine commandLine(CatalogOptions());
    std::string strError;
    if (!commandLine.Parse(argc, argv, strError))
        return Fail(strError + " (see '" + std::string(kName) + " --help')");
    if (commandLine.Has("--help")) {
        PrintHelp(commandLine);
        return 0;
    }
    if (!commandLine.Positional().empty())
        return Fail("unexpected argument '" + commandLine.Positional().front() + "'");

    std::string strFolder;
    if (!CDataFolder::Resolve(commandLine.Value("--data"), strFolder, strError)) return Fail(strError);
    const std::string strPath = strFolder + "/" + CCorpusFiles::Catalogue;
    CContentsTree tree;
    CCatalogueLoader loader;
    if (!loader.Load(strPath, tree, strError)) return Fail("you delete data file! " + strError);

    for (const CCatalogueLoader::Problem& problem : loader.Problems()) {
        const std::string strSlot = strPath + ": slot " + std::to_string(problem.nSlot) + ": ";
        switch (problem.eKind) {
        case CCatalogueLoader::Problem::ShortLastRecord:
            Warn(strPath + ": " + std::to_string(problem.nFileBytes) +
                 " bytes is not a whole number of 216-byte records; the last record is short");
            break;
        case CCatalogueLoader::Problem::TooManyRecords:
            Warn(strPath + ": more than " + std::to_string(CCatalog::MaxRecords) + " records; the rest are ignored");
            break;
        case CCatalogueLoader::Problem::LevelOutsideTree:
            Warn(strSlot + "level " + std::to_string(problem.nLevel) +
                 " is not 1 to 3; the record is not in the contents tree");
            break;
        case CCatalogueLoader::Problem::NoParent:
            Warn(strSlot + "no record of level " + std::to_string(problem.nLevel - 1) + " before this level-" +
                 std::to_string(problem.nLevel) + " record; it is not in the contents tree");
            break;
        case CCatalogueLoader::Problem::NameWithoutEnd:
            break;  // the name is printed as far as it goes
        }
    }

    std::string strOut;
    for (int32_t nSlot = 1; nSlot < tree.GetNodeCount(); ++nSlot) {
        const CatalogRecord& record = *tree.GetRecord(nSlot);
        strOut += std::to_string(nSlot) + "\t" + std::to_string(record.level) + "\t" + TsvField(record.name) + "\t" +
                  std::to_string(record.docID) + "\t" + std::to_string(record.docNo) + "\t" +
                  std::to_string(record.curFileName) + "\n";
    }
    if (std::fwrite(strOut.data(), 1, strOut.size(), stdout) != strOut.size() || std::fflush(stdout) != 0)
        return Fail("cannot write the catalogue to standard output");
    return tree.GetRecordCount() == 0 ? 1 : 0;
}
