#include "cli/clioutput.h"
#include "cli/commandline.h"
#include "cli/commands.h"
#include "cli/searchrun.h"
#include "model/hitdistribution.h"
#include "model/hitparts.h"
#include "model/resultlist.h"
#include "model/searchforms.h"
#include "text/codeconverter.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

const CCliOutput kOut("search");
std::vector<OptionSpec> SearchOptions() {
    std::vector<OptionSpec> options = CSearchRun::Options();
    options.insert(options.end(), {
        {"--format", "FORMAT", "output: tsv (default) or json (each row with a \"part\" field)"},
        {"--show-parts", nullptr, "end each row with where its hits lie: main, annotations or both"},
        {"--by", "LEVEL",
         "instead of the rows, the pages and hits per book or per volume (LEVEL: book or volume), in the order of "
         "the contents tree"},
        {"--order", "ORDER", "the rows by page number (page, the default) or in reading order (reading: category, "
                             "book, volume, page)"},
        {"--forms", nullptr,
         "also show the forms searched: each keyword's variant forms and, for one character, the pages and places "
         "of each form in the range (tsv: a line after the summary; json: a \"forms\" field)"},
        {"--help", nullptr, "show this help"},
    });
    return options;
}

void PrintHelp(const CCommandLine& commandLine) {
    std::printf("Usage: %s [OPTIONS] KEYWORDS...\n\n"
                "Searches the corpus as the search panel does and prints one row per page found,\n"
                "ordered by page number, tab-separated: category, book, volume, page number,\n"
                "page index, hits; then the summary line. Several KEYWORDS are joined with a space.\n"
                "--within narrows: 'search --within 春風 明月' finds the pages of 春風 that also hold 明月.\n\n"
                "%s\n"
                "Exit status: 0 rows found, 1 no rows, 2 an error.\n",
                kOut.Name().c_str(), commandLine.OptionHelp().c_str());
}

// pParts: a last column of where each row's hits lie.
std::string FormatTsv(const CResultList& results, const CSearchForms* pForms, CHitParts* pParts) {
    std::string out;
    for (size_t i = 0; i < results.GetRowCount(); ++i) {
        const SearchNodeTag row = results.GetRow(i);
        out += CCliOutput::TsvField(row.category) + "\t" + CCliOutput::TsvField(row.bookName) + "\t" +
               CCliOutput::TsvField(row.volumeName) + "\t" + std::to_string(row.pageNo) + "\t" +
               std::to_string(row.pageIndex) + "\t" + std::to_string(row.hitCount);
        if (pParts) out += std::string("\t") + CHitParts::Name(pParts->PartsOf(static_cast<uint32_t>(row.pageIndex)));
        out += "\n";
    }
    out += results.GetSummaryLine() + "\n";
    if (pForms) out += pForms->FormatLine() + "\n";
    return out;
}

// The names of a count's node: category, book and, per volume, volume.
struct CountNames {
    std::u16string category, book, volume;
};
CountNames NamesOf(const HitCountTag& count) {
    CountNames names;
    const ContentsNodeTag* pNode = count.pNode;
    if (pNode && pNode->level == 3) {
        names.volume = pNode->name;
        pNode = pNode->parent;
    }
    if (pNode && pNode->level == 2) {
        names.book = pNode->name;
        pNode = pNode->parent;
    }
    if (pNode && pNode->level == 1) names.category = pNode->name;
    return names;
}

// The counts per book (category, book, pages, hits) or per volume
// (category, book, volume, pages, hits), then the summary line.
std::string FormatCountsTsv(const CResultList& results, const std::vector<HitCountTag>& counts, bool bVolumes) {
    std::string out;
    for (const HitCountTag& count : counts) {
        const CountNames names = NamesOf(count);
        out += CCliOutput::TsvField(names.category) + "\t" + CCliOutput::TsvField(names.book) + "\t";
        if (bVolumes) out += CCliOutput::TsvField(names.volume) + "\t";
        out += std::to_string(count.nPages) + "\t" + std::to_string(count.nPlaces) + "\n";
    }
    return out + results.GetSummaryLine() + "\n";
}

std::string FormatCountsJson(const CResultList& results, const std::vector<HitCountTag>& counts, bool bVolumes) {
    std::string out = std::string("{\n  \"by\": \"") + (bVolumes ? "volume" : "book") + "\",\n  \"counts\": [";
    for (size_t i = 0; i < counts.size(); ++i) {
        const CountNames names = NamesOf(counts[i]);
        out += i ? ",\n" : "\n";
        out += "    {\"category\": " + CCliOutput::JsonString(names.category) + ", \"book\": " +
               CCliOutput::JsonString(names.book);
        if (bVolumes) out += ", \"volume\": " + CCliOutput::JsonString(names.volume);
        out += ", \"pages\": " + std::to_string(counts[i].nPages) + ", \"hits\": " + std::to_string(counts[i].nPlaces) + "}";
    }
    out += counts.empty() ? "],\n" : "\n  ],\n";
    out += "  \"pages\": " + std::to_string(results.GetAllRowCount()) + ",\n";
    return out + "  \"hits\": " + std::to_string(results.GetTotalHits()) + "\n}\n";
}

// "forms": one object per keyword: its characters' forms and, for one
// character, the pages and places of each form.
std::string FormatJsonForms(const CSearchForms& forms) {
    std::string out = "  \"forms\": [";
    bool bFirst = true;
    for (const CSearchForms::Keyword& keyword : forms.Keywords()) {
        out += bFirst ? "\n" : ",\n";
        bFirst = false;
        out += "    {\"keyword\": " + CCliOutput::JsonString(keyword.text) + ", \"characters\": [";
        for (size_t i = 0; i < keyword.characters.size(); ++i) {
            out += i ? ", [" : "[";
            for (size_t j = 0; j < keyword.characters[i].size(); ++j)
                out += (j ? ", " : "") + CCliOutput::JsonString(keyword.characters[i][j]);
            out += "]";
        }
        out += "]";
        if (!keyword.counts.empty()) {
            out += ", \"counts\": [";
            for (size_t i = 0; i < keyword.counts.size(); ++i) {
                const CSearchForms::FormCount& count = keyword.counts[i];
                out += std::string(i ? ", " : "") + "{\"form\": " + CCliOutput::JsonString(count.form) +
                       ", \"pages\": " + std::to_string(count.pages) + ", \"hits\": " + std::to_string(count.places) +
                       "}";
            }
            out += "]";
        }
        out += "}";
    }
    return out + (bFirst ? "],\n" : "\n  ],\n");
}

std::string FormatJson(const CResultList& results, const CSearchForms* pForms, CHitParts& parts) {
    std::string out = "{\n  \"rows\": [";
    bool bFirst = true;
    for (size_t i = 0; i < results.GetRowCount(); ++i) {
        const SearchNodeTag row = results.GetRow(i);
        out += bFirst ? "\n" : ",\n";
        bFirst = false;
        out += "    {\"category\": " + CCliOutput::JsonString(row.category) + ", \"book\": " + CCliOutput::JsonString(row.bookName) +
               ", \"volume\": " + CCliOutput::JsonString(row.volumeName) + ", \"pageNo\": " + std::to_string(row.pageNo) +
               ", \"pageIndex\": " + std::to_string(row.pageIndex) + ", \"hits\": " + std::to_string(row.hitCount) +
               ", \"part\": \"" + CHitParts::Name(parts.PartsOf(static_cast<uint32_t>(row.pageIndex))) + "\"}";
    }
    out += bFirst ? "],\n" : "\n  ],\n";
    if (pForms) out += FormatJsonForms(*pForms);
    out += "  \"pages\": " + std::to_string(results.GetRowCount()) + ",\n";
    out += "  \"hits\": " + std::to_string(results.GetTotalHits()) + "\n}\n";
    return out;
}

}  // namespace

int RunSearch(int argc, char** argv) {
    CCommandLine commandLine(SearchOptions());
    std::string strError;
    if (!commandLine.Parse(argc, argv, strError))
        return kOut.Fail(strError + " (see '" + kOut.Name() + " --help')");
    if (commandLine.Has("--help")) {
        PrintHelp(commandLine);
        return 0;
    }
    const std::string strFormat = commandLine.Value("--format", "tsv");
    const std::string strBy = commandLine.Value("--by");
    const std::string strOrder = commandLine.Value("--order", "page");
    CHitDistribution::Level eLevel = CHitDistribution::Level::Book;
    CSearchRun search;
    const int nStatus = search.Run(commandLine, kOut, [&]() {
        if (strFormat != "tsv" && strFormat != "json") return kOut.Fail("--format " + strFormat + ": expected tsv or json");
        if (commandLine.Has("--by") && !CHitDistribution::ParseLevel(strBy, eLevel))
            return kOut.Fail("--by " + strBy + ": expected book or volume");
        if (strOrder != "page" && strOrder != "reading")
            return kOut.Fail("--order " + strOrder + ": expected page or reading");
        return 0;
    });
    if (nStatus != 0) return nStatus;

    CResultList& results = search.Results();
    if (commandLine.Has("--by")) {
        const std::vector<HitCountTag> counts = CHitDistribution::Count(results, eLevel);
        const bool bVolumes = eLevel == CHitDistribution::Level::Volume;
        if (!kOut.WriteOut(strFormat == "json" ? FormatCountsJson(results, counts, bVolumes)
                                               : FormatCountsTsv(results, counts, bVolumes),
                           "the counts"))
            return 2;
        kOut.WarnOfDamage(search.Index().GetDamage());
        return results.GetRowCount() > 0 ? 0 : 1;
    }
    if (strOrder == "reading") results.SortRows(CResultList::Order::Reading);
    CSearchForms forms;
    const bool bForms = commandLine.Has("--forms");
    if (bForms) forms.Build(search.Index(), search.Keywords(), search.Variants(), search.Range());
    // Where the hits lie, when the output shows it.
    CHitParts parts;
    const bool bParts = strFormat == "json" || commandLine.Has("--show-parts");
    if (bParts)
        parts.Compute(search.Index(), search.Folder(), search.Part(), search.Keywords(), search.Variants(),
                      results.GetPageIndexes());
    const std::string strOut = strFormat == "json"
                                   ? FormatJson(results, bForms ? &forms : nullptr, parts)
                                   : FormatTsv(results, bForms ? &forms : nullptr, bParts ? &parts : nullptr);
    if (!kOut.WriteOut(strOut, "the result")) return 2;
    kOut.WarnOfDamage(search.Index().GetDamage());
    return results.GetRowCount() > 0 ? 0 : 1;
}
