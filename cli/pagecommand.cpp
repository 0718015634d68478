#include "cli/citecommand.h"
#include "cli/clioutput.h"
#include "cli/commandline.h"
#include "cli/commands.h"
#include "corpus/corpusfiles.h"
#include "index/index.h"
#include "model/datafolder.h"
#include "model/keywordcheck.h"
#include "text/codeconverter.h"

#include <cstdio>
#include <string>

namespace {

const CCliOutput kOut("page");

std::vector<OptionSpec> PageOptions() {
    return {
        {"--data", "DIR", "corpus folder (default: $TESSALINE_DATA, else the program's folder)"},
        {"--part", "PART", "text part whose hits are marked: whole (default), main or annotations"},
        {"--no-variants", nullptr, "mark the keywords only as typed, not their variant forms"},
        {"--cite", "CITATION", "the page a citation names ('御定全唐詩 卷二百五十三 1'), instead of PAGE_INDEX"},
        {"--help", nullptr, "show this help"},
    };
}

}  // namespace

int RunPage(int argc, char** argv) {
    CCommandLine commandLine(PageOptions());
    std::string strError;
    if (!commandLine.Parse(argc, argv, strError))
        return kOut.Fail(strError + " (see '" + kOut.Name() + " --help')");
    if (commandLine.Has("--help")) {
        std::printf("Usage: %s [OPTIONS] PAGE_INDEX [KEYWORDS...]\n"
                    "       %s [OPTIONS] --cite CITATION [KEYWORDS...]\n\n"
                    "Prints the display page of the page with that index (as the result list opens it),\n"
                    "with every hit of the keywords marked in the chosen text part, and 'marks: N' on\n"
                    "standard error. Without keywords it prints the stored page, unmarked.\n\n"
                    "%s\n"
                    "Exit status: 0 page printed (with keywords: and marked), 1 no hit marked or no page\n"
                    "the citation names, 2 an error (a malformed citation among them).\n",
                    kOut.Name().c_str(), kOut.Name().c_str(), commandLine.OptionHelp().c_str());
        return 0;
    }
    const std::string strPart = commandLine.Value("--part", "whole");
    TextPart ePart = TextPart::WholeText;
    if (!CCommandLine::ParsePart(strPart, ePart))
        return kOut.Fail("--part " + strPart + ": expected whole, main or annotations");

    const std::vector<std::string>& args = commandLine.Positional();
    const bool bCite = commandLine.Has("--cite");
    int32_t nPage = 0;
    if (!bCite) {
        if (args.empty()) return kOut.Fail("a PAGE_INDEX is needed (see '" + kOut.Name() + " --help')");
        if (!CCommandLine::ParseCount(args[0], nPage))
            return kOut.Fail("PAGE_INDEX " + args[0] + ": expected a page index (0, 1, ...)");
    }
    std::u16string strKeywords;
    if (!CCommandLine::JoinKeywords(args, bCite ? 0 : 1, strKeywords)) return kOut.Fail("the keywords are not valid UTF-8");
    const bool bKeywords = strKeywords.find_first_not_of(u' ') != std::u16string::npos;
    if (bKeywords) {
        const std::string strKeywordError = CKeywordCheck::Check(strKeywords);
        if (!strKeywordError.empty()) return kOut.Fail(strKeywordError);
    }

    std::string strFolder;
    if (!CDataFolder::Resolve(commandLine.Value("--data"), strFolder, strError)) return kOut.Fail(strError);
    if (bCite) {
        CContentsTree tree;
        if (!CCiteCommand::LoadTree(strFolder, tree, strError)) return kOut.Fail(strError);
        const int nStatus = CCiteCommand::Resolve(CCitation(tree), commandLine.Value("--cite"), kOut, nPage);
        if (nStatus != 0) return nStatus;
    }
    const std::string strPage = std::to_string(nPage);
    CIndex index;
    if (!index.Open(strFolder, CCorpusFiles::BaseName, ScopeOf(ePart)))
        return kOut.Fail(std::string(CIndex::OpenFailedMessage) + " " + index.GetOpenError());
    if (nPage >= index.GetFileList().GetPageCount())
        return kOut.Fail("PAGE_INDEX " + strPage + ": the corpus has " + std::to_string(index.GetFileList().GetPageCount()) +
                    " pages (0 to " + std::to_string(index.GetFileList().GetPageCount() - 1) + ")");

    std::string strOut;
    int nMarks = 0;
    if (bKeywords) {
        nMarks = index.RenderPage(nPage, strOut, strKeywords, ePart, !commandLine.Has("--no-variants"));
    } else if (!index.ReadPage(nPage, strOut)) {
        return kOut.Fail("page " + strPage + " cannot be read: its record does not fit the content file");
    }
    if (strOut.empty() && bKeywords && !index.ReadPage(nPage, strError))
        return kOut.Fail("page " + strPage + " cannot be read: its record does not fit the content file");
    if (!kOut.WriteOut(strOut, "the page")) return 2;
    std::fprintf(stderr, "marks: %d\n", nMarks);
    return bKeywords && nMarks == 0 ? 1 : 0;
}
