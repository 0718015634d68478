#include "cli/clioutput.h"
#include "cli/commandline.h"
#include "cli/commands.h"
#include "corpus/catalog.h"
#include "corpus/corpusfiles.h"
#include "index/index.h"
#include "model/contentstree.h"
#include "model/datafolder.h"
#include "model/keywordcheck.h"
#include "model/resultlist.h"
#include "model/searchforms.h"
#include "text/codeconverter.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

const CCliOutput kOut("search");
const char* const kNoRange = "検索範囲をまた指定していません。";
const char* const kMissingCatalogue = "you delete data file!";

std::vector<OptionSpec> SearchOptions() {
    return {
        {"--data", "DIR", "corpus folder (default: $TESSALINE_DATA, else the program's folder)"},
        {"--or", nullptr, "pages with any keyword (default: pages with every keyword)"},
        {"--no-variants", nullptr, "variant characters do not count as the same character"},
        {"--part", "PART", "text part searched: whole (default), main or annotations"},
        {"--range", "SLOT", "catalogue slot that limits the search (default 1, the first record)"},
        {"--format", "FORMAT", "output: tsv (default) or json"},
        {"--forms", nullptr,
         "also show the forms searched: each keyword's variant forms and, for one character, the pages and places "
         "of each form in the range (tsv: a line after the summary; json: a \"forms\" field)"},
        {"--help", nullptr, "show this help"},
    };
}

void PrintHelp(const CCommandLine& commandLine) {
    std::printf("Usage: %s [OPTIONS] KEYWORDS...\n\n"
                "Searches the corpus as the search panel does and prints one row per page found,\n"
                "ordered by page number, tab-separated: category, book, volume, page number,\n"
                "page index, hits; then the summary line. Several KEYWORDS are joined with a space.\n\n"
                "%s\n"
                "Exit status: 0 rows found, 1 no rows, 2 an error.\n",
                kOut.Name().c_str(), commandLine.OptionHelp().c_str());
}

// Why a slot gives no range node, in the words of the catalogue.
std::string NoRangeReason(const CContentsTree& tree, int32_t nSlot) {
    const std::string strSlot = "--range " + std::to_string(nSlot) + ": ";
    const CatalogRecord* pRecord = tree.GetRecord(nSlot);
    if (!pRecord)
        return strSlot + "the catalogue has no record in slot " + std::to_string(nSlot) + " (it has " +
               std::to_string(tree.GetRecordCount()) + " records)";
    if (pRecord->level < 1 || pRecord->level > 3)
        return strSlot + "the catalogue record in slot " + std::to_string(nSlot) + " has level " +
               std::to_string(pRecord->level) + "; a search range is a category, book or volume (level 1 to 3)";
    return strSlot + "the catalogue record in slot " + std::to_string(nSlot) + " (level " +
           std::to_string(pRecord->level) + ") has no record of level " + std::to_string(pRecord->level - 1) +
           " before it, so it is not in the contents tree";
}

std::string FormatTsv(const CResultList& results) {
    std::string out;
    for (size_t i = 0; i < results.GetRowCount(); ++i) {
        const SearchNodeTag row = results.GetRow(i);
        out += CCliOutput::TsvField(row.category) + "\t" + CCliOutput::TsvField(row.bookName) + "\t" + CCliOutput::TsvField(row.volumeName) + "\t" +
               std::to_string(row.pageNo) + "\t" + std::to_string(row.pageIndex) + "\t" +
               std::to_string(row.hitCount) + "\n";
    }
    return out + results.GetSummaryLine() + "\n";
}

std::string FormatTsv(const CResultList& results, const CSearchForms* pForms) {
    std::string out = FormatTsv(results);
    if (pForms) out += pForms->FormatLine() + "\n";
    return out;
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

std::string FormatJson(const CResultList& results, const CSearchForms* pForms) {
    std::string out = "{\n  \"rows\": [";
    bool bFirst = true;
    for (size_t i = 0; i < results.GetRowCount(); ++i) {
        const SearchNodeTag row = results.GetRow(i);
        out += bFirst ? "\n" : ",\n";
        bFirst = false;
        out += "    {\"category\": " + CCliOutput::JsonString(row.category) + ", \"book\": " + CCliOutput::JsonString(row.bookName) +
               ", \"volume\": " + CCliOutput::JsonString(row.volumeName) + ", \"pageNo\": " + std::to_string(row.pageNo) +
               ", \"pageIndex\": " + std::to_string(row.pageIndex) + ", \"hits\": " + std::to_string(row.hitCount) +
               "}";
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

    const std::string strPart = commandLine.Value("--part", "whole");
    TextPart ePart = TextPart::WholeText;
    if (!CCommandLine::ParsePart(strPart, ePart))
        return kOut.Fail("--part " + strPart + ": expected whole, main or annotations");

    const std::string strFormat = commandLine.Value("--format", "tsv");
    if (strFormat != "tsv" && strFormat != "json") return kOut.Fail("--format " + strFormat + ": expected tsv or json");

    int32_t nRange = 1;
    const std::string strRange = commandLine.Value("--range", "1");
    if (!CCommandLine::ParseCount(strRange, nRange)) return kOut.Fail("--range " + strRange + ": expected a catalogue slot number");
    if (nRange == 0) return kOut.Fail(kNoRange);

    // The keywords as the keyword box would hold them: one line, ideographic
    // spaces taken as spaces.
    std::u16string strKeywords;
    if (!CCommandLine::JoinKeywords(commandLine.Positional(), 0, strKeywords))
        return kOut.Fail("the keywords are not valid UTF-8");
    const std::string strKeywordError = CKeywordCheck::Check(strKeywords);
    if (!strKeywordError.empty()) return kOut.Fail(strKeywordError);

    std::string strFolder;
    if (!CDataFolder::Resolve(commandLine.Value("--data"), strFolder, strError)) return kOut.Fail(strError);

    CIndex index;
    if (!index.Open(strFolder, CCorpusFiles::BaseName, ScopeOf(ePart)))
        return kOut.Fail(std::string(CIndex::OpenFailedMessage) + " " + index.GetOpenError());

    const std::string strCatalogue = strFolder + "/" + CCorpusFiles::Catalogue;
    std::vector<CatalogRecord> records;
    if (!CCatalog::Read(strCatalogue, records, strError))
        return kOut.Fail(std::string(kMissingCatalogue) + " " + strError);
    CContentsTree tree;
    for (const CatalogRecord& record : records) tree.AddCatalogueRecord(record);
    const ContentsNodeTag* pRange = tree.FindRangeNode(nRange);
    if (!pRange) return kOut.Fail(NoRangeReason(tree, nRange));

    const bool bVariants = !commandLine.Has("--no-variants");
    if (commandLine.Has("--or"))
        index.SearchOr(strKeywords, true, bVariants);
    else
        index.SearchAnd(strKeywords, true, bVariants);

    CResultList results;
    results.BuildResults(*pRange, index.GetResultPages(), index.GetResultHits());
    CSearchForms forms;
    const bool bForms = commandLine.Has("--forms");
    if (bForms) forms.Build(index, strKeywords, bVariants, *pRange);
    const std::string strOut =
        strFormat == "json" ? FormatJson(results, bForms ? &forms : nullptr) : FormatTsv(results, bForms ? &forms : nullptr);
    if (!kOut.WriteOut(strOut, "the result")) return 2;
    kOut.WarnOfDamage(index.GetDamage());
    return results.GetRowCount() > 0 ? 0 : 1;
}
