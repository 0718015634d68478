#include "cli/clioutput.h"
#include "cli/commandline.h"
#include "cli/commands.h"
#include "cli/searchrun.h"
#include "model/citation.h"
#include "model/concordance.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

const CCliOutput kOut("kwic");

std::vector<OptionSpec> KwicOptions() {
    std::vector<OptionSpec> options = CSearchRun::Options();
    options.insert(options.end(), {
        {"--context", "N", "characters of context on each side, within the hit's paragraph (default 12)"},
        {"--sort", "ORDER", "place (default: reading order), right (by the right context) or left (by the left "
                            "context read backwards)"},
        {"--format", "FORMAT", "tsv (default), csv (UTF-8 with a byte-order mark) or json"},
        {"--help", nullptr, "show this help"},
    });
    return options;
}

void PrintHelp(const CCommandLine& commandLine) {
    std::printf("Usage: %s [OPTIONS] KEYWORDS...\n\n"
                "Searches as 'tessaline-cli search' does and prints the concordance of the result:\n"
                "every hit of every keyword with its context, one a line after a header line:\n"
                "left context, keyword, right context, book, volume, page, 正文 or 注釈, citation.\n"
                "There is one line for each hit the search counts.\n\n"
                "%s\n"
                "Exit status: 0 hits found, 1 none, 2 an error.\n",
                kOut.Name().c_str(), commandLine.OptionHelp().c_str());
}

std::string FormatJson(const CConcordance& concordance, const CCitation& citation) {
    std::string out = "{\n  \"rows\": [";
    const std::vector<ConcordanceRowTag>& rows = concordance.Rows();
    for (size_t i = 0; i < rows.size(); ++i) {
        const ConcordanceRowTag& row = rows[i];
        CCitation::Place place;
        citation.Locate(row.pageIndex, place);
        out += i ? ",\n" : "\n";
        out += "    {\"left\": " + CCliOutput::JsonString(row.left) + ", \"keyword\": " + CCliOutput::JsonString(row.keyword) +
               ", \"right\": " + CCliOutput::JsonString(row.right) + ", \"book\": " + CCliOutput::JsonString(place.strBook) +
               ", \"volume\": " + CCliOutput::JsonString(place.strVolume) + ", \"pageNo\": " +
               std::to_string(place.nPageNumber) + ", \"pageIndex\": " + std::to_string(row.pageIndex) +
               ", \"part\": \"" + (row.annotation ? "annotations" : "main") +
               "\", \"citation\": " + CCliOutput::JsonString(citation.Format(row.pageIndex)) + "}";
    }
    out += rows.empty() ? "],\n" : "\n  ],\n";
    return out + "  \"hits\": " + std::to_string(rows.size()) + "\n}\n";
}

}  // namespace

int RunKwic(int argc, char** argv) {
    CCommandLine commandLine(KwicOptions());
    std::string strError;
    if (!commandLine.Parse(argc, argv, strError))
        return kOut.Fail(strError + " (see '" + kOut.Name() + " --help')");
    if (commandLine.Has("--help")) {
        PrintHelp(commandLine);
        return 0;
    }
    const std::string strFormat = commandLine.Value("--format", "tsv");
    CConcordance::Order eOrder = CConcordance::Order::Place;
    int32_t nContext = CConcordance::DefaultContext;
    CSearchRun search;
    const int nStatus = search.Run(commandLine, kOut, [&]() {
        if (strFormat != "tsv" && strFormat != "csv" && strFormat != "json")
            return kOut.Fail("--format " + strFormat + ": expected tsv, csv or json");
        const std::string strSort = commandLine.Value("--sort", "place");
        if (!CConcordance::ParseOrder(strSort, eOrder)) return kOut.Fail("--sort " + strSort + ": expected place, right or left");
        const std::string strContext = commandLine.Value("--context", "12");
        if (!CCommandLine::ParseCount(strContext, nContext) || nContext > 1000)
            return kOut.Fail("--context " + strContext + ": expected a number of characters (0 to 1000)");
        return 0;
    });
    if (nStatus != 0) return nStatus;

    CConcordance concordance;
    concordance.Build(search.Index(), search.Results().GetPageIndexes(), search.Keywords(), search.Variants(), search.Part(), nContext);
    concordance.Sort(eOrder);
    const CCitation citation(search.Tree());
    const std::string strOut =
        strFormat == "json" ? FormatJson(concordance, citation)
                            : concordance.Export(strFormat == "csv" ? CConcordance::Format::Csv : CConcordance::Format::Tsv,
                                                 citation);
    if (!kOut.WriteOut(strOut, "the concordance")) return 2;
    kOut.WarnOfDamage(search.Index().GetDamage());
    return concordance.Rows().empty() ? 1 : 0;
}
