#include "cli/citecommand.h"

#include "cli/clioutput.h"
#include "cli/commandline.h"
#include "cli/commands.h"
#include "corpus/catalog.h"
#include "corpus/corpusfiles.h"
#include "model/datafolder.h"
#include "text/codeconverter.h"

#include <cstdio>

namespace {

const CCliOutput kOut("cite");

std::string Utf8(const std::u16string& s) { return CCodeConverter::Utf16ToUtf8(s); }

}  // namespace

bool CCiteCommand::LoadTree(const std::string& strFolder, CContentsTree& tree, std::string& strError) {
    std::vector<CatalogRecord> records;
    if (!CCatalog::Read(strFolder + "/" + CCorpusFiles::Catalogue, records, strError)) {
        strError = "you delete data file! " + strError;
        return false;
    }
    for (const CatalogRecord& record : records) tree.AddCatalogueRecord(record);
    return true;
}

int CCiteCommand::Resolve(const CCitation& citation, const std::string& strText, const CCliOutput& out,
                          int32_t& nPageIndex) {
    if (CCodeConverter::FindInvalidUtf8(strText) != std::string::npos) return out.Fail("the citation is not valid UTF-8");
    const CCitation::Match match = citation.Parse(CCodeConverter::Utf8ToUtf16(strText));
    const std::string strQuoted = "'" + strText + "'";
    switch (match.eOutcome) {
    case CCitation::Outcome::Found:
        nPageIndex = match.nPageIndex;
        return 0;
    case CCitation::Outcome::Malformed:
        return out.Fail(strQuoted + ": not a citation (a book, a volume and a page number, as '御定全唐詩 卷二百五十三 1')");
    case CCitation::Outcome::NoBook:
        out.Tell(strQuoted + ": no book of the catalogue is named '" + Utf8(match.strName) + "'");
        return 1;
    case CCitation::Outcome::NoVolume:
        out.Tell(strQuoted + ": " + Utf8(match.strBook) +
                 (match.strVolume.empty() ? " has several volumes: name one" : " has no volume '" + Utf8(match.strVolume) + "'"));
        return 1;
    case CCitation::Outcome::NoPage:
        out.Tell(strQuoted + ": " + Utf8(match.strCitation) + " has pages " + std::to_string(match.nFirstPage) + " to " +
                 std::to_string(match.nLastPage) + ", not " + std::to_string(match.nPageNumber));
        return 1;
    case CCitation::Outcome::Ambiguous: {
        std::string strList;
        for (const std::u16string& strCandidate : match.candidates) strList += (strList.empty() ? "" : "; ") + Utf8(strCandidate);
        out.Tell(strQuoted + ": names " + std::to_string(match.candidates.size()) + " volumes (" + strList +
                 "): add the category");
        return 1;
    }
    }
    return 1;
}

int RunCite(int argc, char** argv) {
    CCommandLine commandLine({
        {"--data", "DIR", "corpus folder (default: $TESSALINE_DATA, else the program's folder)"},
        {"--help", nullptr, "show this help"},
    });
    std::string strError;
    if (!commandLine.Parse(argc, argv, strError))
        return kOut.Fail(strError + " (see '" + kOut.Name() + " --help')");
    if (commandLine.Has("--help")) {
        std::printf("Usage: %s [OPTIONS] PAGE_INDEX\n\n"
                    "Prints the citation of a page as the catalogue names it: book, volume and page\n"
                    "number (the category first when two categories hold a book of that name), as in\n"
                    "'御定全唐詩 卷二百五十三 1'. 'tessaline-cli page --cite' reads it back.\n\n"
                    "%s\n"
                    "Exit status: 0 printed, 1 no volume holds the page, 2 an error.\n",
                    kOut.Name().c_str(), commandLine.OptionHelp().c_str());
        return 0;
    }
    if (commandLine.Positional().size() != 1)
        return kOut.Fail("expected one PAGE_INDEX (see '" + kOut.Name() + " --help')");
    int32_t nPage = 0;
    if (!CCommandLine::ParseCount(commandLine.Positional()[0], nPage))
        return kOut.Fail("PAGE_INDEX " + commandLine.Positional()[0] + ": expected a page index (0, 1, ...)");
    std::string strFolder;
    if (!CDataFolder::Resolve(commandLine.Value("--data"), strFolder, strError)) return kOut.Fail(strError);
    CContentsTree tree;
    if (!CCiteCommand::LoadTree(strFolder, tree, strError)) return kOut.Fail(strError);
    const CCitation citation(tree);
    const std::u16string strCitation = citation.Format(nPage);
    if (strCitation.empty()) {
        kOut.Tell("page " + std::to_string(nPage) + " lies in no volume of the catalogue");
        return 1;
    }
    return kOut.WriteOut(Utf8(strCitation) + "\n", "the citation") ? 0 : 2;
}
