// tessaline-bench: the reader's search side by side with SQLite FTS5 (one
// token per character, and trigram), Xapian (one term per character), a
// brute-force scan and ripgrep, all built from the same exported pages and
// asked the same queries in one run; and a synthetic corpus many times the
// default one (--scale). Prints Markdown; bench/run.sh writes it into
// bench/README.md.

#include "bench/benchoptions.h"
#include "bench/benchquery.h"
#include "bench/benchtable.h"
#include "bench/benchtimer.h"
#include "bench/ourengine.h"
#include "bench/pageexport.h"
#include "bench/processtools.h"
#include "bench/ripgrepengine.h"
#include "bench/scanengine.h"
#include "bench/sqlitefts5engine.h"
#include "bench/sqlitetrigramengine.h"
#include "bench/syntheticcorpus.h"
#include "bench/xapianengine.h"
#include "builder/corpuswriter.h"
#include "corpus/corpusfiles.h"
#include "index/indexwriter.h"
#include "model/searchforms.h"
#include "text/codeconverter.h"


#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

void Progress(const std::string& strMessage) {
    std::fprintf(stderr, "tessaline-bench: %s\n", strMessage.c_str());
    std::fflush(stderr);
}

int Fail(const std::string& strMessage) {
    std::fprintf(stderr, "tessaline-bench: %s\n", strMessage.c_str());
    return 2;
}

// The query set's timing: rounds in which every engine answers the query,
// each for at least this long (at least once).
constexpr size_t QueryRounds = 9;
constexpr double QuerySlice = 0.025;

// One engine's answer to one query.
struct QueryOutcome {
    bool ran = false;
    std::string error;
    double seconds = 0;
    size_t runs = 0;
    std::vector<uint32_t> pages;  // sorted
    std::vector<uint32_t> hits;   // parallel to pages when the engine counts
    BenchTranslation translation;
    bool faithful = false;  // the same pages as the scan
    bool hitsEqual = false;
};

// Sorts pages (and hits along with them).
void SortPages(std::vector<uint32_t>& pages, std::vector<uint32_t>& hits) {
    if (hits.size() != pages.size()) {
        hits.clear();
        std::sort(pages.begin(), pages.end());
        return;
    }
    std::vector<std::pair<uint32_t, uint32_t>> pairs;
    for (size_t i = 0; i < pages.size(); ++i) pairs.emplace_back(pages[i], hits[i]);
    std::sort(pairs.begin(), pairs.end());
    for (size_t i = 0; i < pairs.size(); ++i) {
        pages[i] = pairs[i].first;
        hits[i] = pairs[i].second;
    }
}

QueryOutcome RunQuery(CBenchEngine& engine, const CBenchQuery& query) {
    QueryOutcome outcome;
    outcome.translation = engine.Translate(query);
    CBenchTimer timer;
    std::string strError;
    bool bOk = true;
    outcome.seconds = timer.Measure([&]() {
        bOk = engine.Run(query, strError);
        return bOk;
    });
    outcome.runs = timer.Runs();
    if (!bOk) {
        outcome.error = strError;
        return outcome;
    }
    outcome.ran = true;
    engine.LastResult(outcome.pages, outcome.hits);
    SortPages(outcome.pages, outcome.hits);
    return outcome;
}

// A timed build (or a reused one) of a peer.
struct BuildOutcome {
    bool ok = false;
    bool reused = false;
    double seconds = 0;
    uint64_t bytes = 0;
    std::string note;
    std::string error;
};

BuildOutcome BuildEngine(CBenchEngine& engine, const CPageExport& pages, const std::string& strPath,
                         const std::string& strStampPath, const std::string& strStamp, bool bReuse) {
    BuildOutcome outcome;
    std::string strError;
    if (bReuse) {
        std::ifstream in(strStampPath);
        std::stringstream content;
        content << in.rdbuf();
        const std::string strSaved = content.str();
        const size_t nCut = strSaved.rfind("build-seconds ");
        if (nCut != std::string::npos && strSaved.substr(0, nCut) == strStamp && engine.Open(strPath, strError)) {
            outcome.ok = true;
            outcome.reused = true;
            outcome.seconds = std::atof(strSaved.c_str() + nCut + 14);
            outcome.bytes = engine.IndexBytes();
            outcome.note = engine.IndexNote();
            return outcome;
        }
    }
    std::remove(strStampPath.c_str());
    const double dStart = CBenchTimer::Now();
    if (!engine.Build(pages, strPath, strError)) {
        outcome.error = strError;
        return outcome;
    }
    outcome.seconds = CBenchTimer::Now() - dStart;
    outcome.ok = true;
    outcome.bytes = engine.IndexBytes();
    outcome.note = engine.IndexNote();
    std::ofstream out(strStampPath, std::ios::trunc);
    out << strStamp << "build-seconds " << outcome.seconds << "\n";
    return outcome;
}

std::string Cell(const QueryOutcome& outcome, bool bScan) {
    if (!outcome.ran) return "error";
    std::string s = CBenchTable::Milliseconds(outcome.seconds);
    if (bScan) return s;
    if (outcome.faithful) return s + " ✓";
    return s + " ✗ " + CBenchTable::Count(outcome.pages.size());
}

// The text of one list row as the result list shows it.
std::string RowText(const SearchNodeTag& row) {
    return CCodeConverter::Utf16ToUtf8(row.category) + "\t" + CCodeConverter::Utf16ToUtf8(row.bookName) + "\t" +
           CCodeConverter::Utf16ToUtf8(row.volumeName) + "\t" + std::to_string(row.pageNo) + "\t" +
           std::to_string(row.hitCount);
}

// Search, rows of the range and the first list page's text.
struct FirstListPage {
    std::string keywords;
    bool bOr = false;
    double seconds = 0;
    double searchSeconds = 0;
    size_t pages = 0;
};

FirstListPage MeasureFirstListPage(COurEngine& ours, const std::string& strKeywords, bool bOr) {
    FirstListPage result;
    result.keywords = strKeywords;
    result.bOr = bOr;
    const ContentsNodeTag* pRange = ours.Tree().FindRangeNode(1);
    if (!pRange) return result;
    CResultList list;
    std::vector<std::string> texts;
    auto search = [&]() {
        std::u16string strWords = CCodeConverter::Utf8ToUtf16(strKeywords);
        if (bOr)
            ours.Index().SearchOr(strWords, true, true);
        else
            ours.Index().SearchAnd(strWords, true, true);
    };
    const std::vector<std::function<bool()>> works = {
        [&]() {
            search();
            list.BuildResults(*pRange, ours.Index().GetResultPages(), ours.Index().GetResultHits());
            size_t nBegin = 0, nEnd = 0;
            texts.clear();
            if (list.GetListPageRows(1, nBegin, nEnd))
                for (size_t i = nBegin; i < nEnd; ++i) texts.push_back(RowText(list.GetRow(i)));
            return true;
        },
        [&]() {
            search();
            return true;
        }};
    std::vector<std::vector<double>> samples;
    CBenchTimer::Interleave(works, QueryRounds, QuerySlice, samples);
    result.seconds = CBenchTimer::Median(samples[0]);
    result.searchSeconds = CBenchTimer::Median(samples[1]);
    result.pages = list.GetRowCount();
    return result;
}

struct RenderFigures {
    size_t calls = 0;
    double median = 0;
    double p90 = 0;
    double max = 0;
    size_t pairs = 0;
    uint64_t marks = 0;  // hit marks made in one pass
};

RenderFigures MeasureRendering(COurEngine& ours, const std::vector<CBenchQuery>& queries,
                               const std::vector<std::vector<uint32_t>>& resultPages) {
    constexpr size_t PagesPerQuery = 25;
    std::vector<std::pair<uint32_t, std::u16string>> work;
    for (size_t q = 0; q < queries.size(); ++q) {
        const std::vector<uint32_t>& pages = resultPages[q];
        if (pages.empty()) continue;
        const size_t nTake = std::min(PagesPerQuery, pages.size());
        for (size_t i = 0; i < nTake; ++i) work.emplace_back(pages[i * pages.size() / nTake], queries[q].Keywords());
    }
    RenderFigures figures;
    figures.pairs = work.size();
    std::string strOut;
    for (const auto& item : work)
        figures.marks += static_cast<uint64_t>(
            std::max(0, ours.Index().RenderPage(static_cast<int32_t>(item.first), strOut, item.second, TextPart::WholeText, true)));
    std::vector<double> samples;
    for (int nPass = 0; nPass < 3; ++nPass) {
        for (const auto& item : work) {
            const double dStart = CBenchTimer::Now();
            ours.Index().RenderPage(static_cast<int32_t>(item.first), strOut, item.second, TextPart::WholeText, true);
            samples.push_back(CBenchTimer::Now() - dStart);
        }
    }
    if (samples.empty()) return figures;
    figures.calls = samples.size();
    std::sort(samples.begin(), samples.end());
    figures.median = CBenchTimer::Median(samples);
    figures.p90 = samples[samples.size() * 9 / 10];
    figures.max = samples.back();
    return figures;
}

bool ReadCatalog(const std::string& strFolder, std::vector<CatalogRecord>& records, std::string& strError) {
    return CCatalog::Read(strFolder + "/" + CCorpusFiles::Catalogue, records, strError);
}

// ---------------------------------------------------------------- side by side

int RunSideBySide(const CBenchOptions& options) {
    std::vector<CBenchQuery> queries;
    std::string strError;
    if (!CBenchQuery::ReadFile(options.m_strQueries, queries, strError)) return Fail(strError);
    std::error_code ec;
    fs::create_directories(options.m_strOut, ec);
    const std::string strLoadBefore = CProcessTools::LoadAverage();
    const double dRunStart = CBenchTimer::Now();

    Progress("exporting the pages of " + options.m_strCorpus);
    CPageExport pages;
    double dStart = CBenchTimer::Now();
    if (!pages.Read(options.m_strCorpus, strError)) return Fail(strError);
    const double dExportSeconds = CBenchTimer::Now() - dStart;
    const std::string strStamp = CPageExport::CorpusStamp(options.m_strCorpus);
    uint64_t nIndexed = 0;
    for (char32_t c : pages.Chars()) nIndexed += CPageExport::HasSlot(c) ? 1 : 0;
    Progress(std::to_string(pages.PageCount()) + " pages, " + std::to_string(pages.Runs().size()) + " runs, " +
             std::to_string(pages.Chars().size()) + " characters in " + CBenchTable::Seconds(dExportSeconds));

    // The engines, in the order of the table's columns.
    struct EngineSlot {
        std::string key;
        std::string column;
        std::unique_ptr<CBenchEngine> engine;
        std::string path;
        BuildOutcome build;
    };
    std::vector<EngineSlot> engines;
    auto ours = std::make_unique<COurEngine>();
    COurEngine* pOurs = ours.get();
    auto scan = std::make_unique<CScanEngine>();
    auto fts5 = std::make_unique<CSqliteFts5Engine>();
    fts5->SetFolding(pages);
    auto trigram = std::make_unique<CSqliteTrigramEngine>();
    trigram->SetFolding(pages);
    auto xapian = std::make_unique<CXapianEngine>();
    xapian->SetFolding(pages);
    auto ripgrep = std::make_unique<CRipgrepEngine>();
    ripgrep->SetFolding(pages);
    const std::string strRipgrepVersion = ripgrep->Version();
    engines.push_back({"ours", "Tessaline", std::move(ours), options.m_strCorpus, {}});
    engines.push_back({"fts5", "FTS5 token", std::move(fts5), options.m_strOut + "/fts5-token.db", {}});
    engines.push_back({"trigram", "FTS5 trigram", std::move(trigram), options.m_strOut + "/fts5-trigram.db", {}});
    engines.push_back({"xapian", "Xapian", std::move(xapian), options.m_strOut + "/xapian", {}});
    engines.push_back({"ripgrep", "ripgrep", std::move(ripgrep), options.m_strOut + "/ripgrep-pages.txt", {}});
    engines.push_back({"scan", "scan", std::move(scan), "", {}});
    // The scan defines the expected pages: it always runs.
    std::vector<EngineSlot*> active;
    for (EngineSlot& slot : engines)
        if (slot.key == "scan" || options.m_engines.count(slot.key)) active.push_back(&slot);

    for (EngineSlot* pSlot : active) {
        Progress("building " + pSlot->engine->Name());
        if (pSlot->key == "ours" || pSlot->key == "scan") {
            dStart = CBenchTimer::Now();
            if (!pSlot->engine->Build(pages, pSlot->path, strError)) return Fail(strError);
            pSlot->build.ok = true;
            pSlot->build.seconds = CBenchTimer::Now() - dStart;
            pSlot->build.bytes = pSlot->engine->IndexBytes();
            pSlot->build.note = pSlot->engine->IndexNote();
            continue;
        }
        pSlot->build = BuildEngine(*pSlot->engine, pages, pSlot->path, options.m_strOut + "/" + pSlot->key + ".stamp",
                                   strStamp, options.m_bReuse);
        if (!pSlot->build.ok) return Fail(pSlot->build.error);
        Progress(pSlot->engine->Name() + ": " + CBenchTable::Seconds(pSlot->build.seconds) +
                 (pSlot->build.reused ? " (reused)" : "") + ", " + CBenchTable::Megabytes(pSlot->build.bytes));
    }

    // The queries.
    const std::string strLoadQueries = CProcessTools::LoadAverage();
    std::vector<std::vector<QueryOutcome>> outcomes(queries.size());
    std::vector<std::vector<uint32_t>> ourPages(queries.size());
    std::vector<double> ourFirstSeconds(queries.size(), 0);
    for (size_t q = 0; q < queries.size(); ++q) {
        const CBenchQuery& query = queries[q];
        Progress("query " + query.m_strId + " " + query.m_strText);
        outcomes[q].resize(active.size());
        std::vector<std::function<bool()>> works;
        std::vector<std::string> errors(active.size());
        for (size_t e = 0; e < active.size(); ++e) {
            outcomes[q][e].translation = active[e]->engine->Translate(query);
            CBenchEngine* pEngine = active[e]->engine.get();
            std::string* pError = &errors[e];
            works.push_back([pEngine, &query, pError]() { return pEngine->Run(query, *pError); });
        }
        // Our first run, with no page directory built yet (the files are in
        // the page cache): what a query costs the first time its characters
        // are searched in a session.
        if (pOurs && options.m_engines.count("ours")) {
            pOurs->Index().ClearDirectories();
            std::string strError;
            const double dStart = CBenchTimer::Now();
            pOurs->Run(query, strError);
            ourFirstSeconds[q] = CBenchTimer::Now() - dStart;
        }
        std::vector<std::vector<double>> samples;
        CBenchTimer::Interleave(works, QueryRounds, QuerySlice, samples);
        for (size_t e = 0; e < active.size(); ++e) {
            QueryOutcome& outcome = outcomes[q][e];
            outcome.runs = samples[e].size();
            outcome.seconds = CBenchTimer::Median(samples[e]);
            if (!errors[e].empty()) {
                outcome.error = errors[e];
                Progress(active[e]->engine->Name() + ": " + outcome.error);
                continue;
            }
            outcome.ran = true;
            active[e]->engine->LastResult(outcome.pages, outcome.hits);
            SortPages(outcome.pages, outcome.hits);
        }
        // The scan (last) defines the expected pages.
        const QueryOutcome& expected = outcomes[q].back();
        for (size_t e = 0; e < active.size(); ++e) {
            QueryOutcome& outcome = outcomes[q][e];
            outcome.faithful = outcome.ran && outcome.pages == expected.pages;
            outcome.hitsEqual = outcome.faithful && outcome.hits == expected.hits;
            if (active[e]->key == "ours") ourPages[q] = outcome.pages;
        }
    }
    const std::string strLoadAfterQueries = CProcessTools::LoadAverage();

    // Our other figures.
    RenderFigures render;
    std::vector<FirstListPage> firstPages;
    if (options.m_engines.count("ours")) {
        Progress("rendering result pages");
        render = MeasureRendering(*pOurs, queries, ourPages);
        Progress("search to the first list page");
        firstPages.push_back(MeasureFirstListPage(*pOurs, "，", false));
        firstPages.push_back(MeasureFirstListPage(*pOurs, "之 不 人 一", true));
    }

    // Our build, through the command line as a user runs it.
    CommandCost ourBuild;
    const std::string strOurBuild = options.m_strOut + "/ours-build";
    if (fs::is_directory(options.m_strSource, ec) && fs::exists(options.m_strCli, ec)) {
        Progress("timing tessaline-cli build on " + options.m_strSource);
        ourBuild = CProcessTools::MeasureCommand({options.m_strCli, "build", "--variants", options.m_strCorpus + "/yitizi.txt", options.m_strSource,
                                   strOurBuild},
                                  options.m_strOut + "/time-build.txt");
    }
    // Peak memory of a search as the command line runs it.
    std::vector<std::pair<std::string, CommandCost>> searchCosts;
    if (fs::exists(options.m_strCli, ec)) {
        for (const char* pszKeyword : {"不", "，"}) {
            searchCosts.emplace_back(pszKeyword, CProcessTools::MeasureCommand({options.m_strCli, "search", "--data", options.m_strCorpus, pszKeyword},
                                                                options.m_strOut + "/time-search.txt"));
        }
    }
    ReaderMemory readerMemory;
    constexpr int ReaderSeconds = 20;
    if (!options.m_strReader.empty()) {
        Progress("starting the reader under xvfb-run for " + std::to_string(ReaderSeconds) + " s");
        readerMemory = CProcessTools::MeasureReader(options.m_strReader, options.m_strCorpus, ReaderSeconds, options.m_strOut + "/reader-memory.txt");
    }
    const std::string strLoadAfter = CProcessTools::LoadAverage();

    // ---- Output.
    std::string out;
    out += "### Corpus\n\n";
    out += "`" + options.m_strCorpus + "`: " + CBenchTable::Count(pages.PageCount()) + " pages, " +
           CBenchTable::Count(pages.Runs().size()) + " runs (paragraphs and annotations), " +
           CBenchTable::Count(pages.Chars().size()) + " characters of which " + CBenchTable::Count(nIndexed) +
           " have an index slot; " + CBenchTable::Count(pages.FoldedCharacters()) +
           " characters belong to a variant group. Export from the page store: " +
           CBenchTable::Seconds(dExportSeconds) + ".\n\n";
    out += "Load average: " + strLoadBefore + " at the start, " + strLoadQueries + " before the queries, " +
           strLoadAfterQueries + " after them, " + strLoadAfter + " at the end (2 cores; other work ran alongside). " +
           "Whole run: " + CBenchTable::Seconds(CBenchTimer::Now() - dRunStart) + ".\n\n";

    out += "### Query times\n\n";
    out += "Median of the warm runs: after one untimed run of each, the engines take turns in " +
           std::to_string(QueryRounds) + " rounds, each engine running the query in every round until it has taken " +
           CBenchTable::Milliseconds(QuerySlice) +
           " (at least once), so that a burst of other load falls on all of them alike; at least " +
           std::to_string(QueryRounds) + " runs each. ✓: the same pages as the brute-force scan; ✗ N: N pages, not the "
           "scan's. Tessaline's time is the search and the result rows of every category, as the panel builds them; "
           "*first run* is its one run before the others, with the page directories it keeps between searches "
           "dropped first (they are built from the postings on a character's first search in a session); "
           "ripgrep's includes starting the program. *Lead* is the fastest faithful peer's time (ripgrep and the "
           "scan included) divided by Tessaline's.\n\n";
    std::vector<std::string> header = {"id", "query", "pages"};
    for (EngineSlot* pSlot : active) {
        header.push_back(pSlot->column);
        if (pSlot->key == "ours") header.push_back("first run");
    }
    header.push_back("fastest faithful peer");
    header.push_back("lead");
    CBenchTable queryTable(header);
    for (size_t q = 0; q < queries.size(); ++q) {
        std::vector<std::string> row = {queries[q].m_strId, "`" + queries[q].m_strText + "`",
                                        CBenchTable::Count(outcomes[q].back().pages.size())};
        double dBestPeer = 0;
        std::string strBestPeer = "none";
        double dOurs = 0;
        bool bOursFaithful = false;
        for (size_t e = 0; e < active.size(); ++e) {
            const QueryOutcome& outcome = outcomes[q][e];
            row.push_back(Cell(outcome, active[e]->key == "scan"));
            if (active[e]->key == "ours") row.push_back(CBenchTable::Milliseconds(ourFirstSeconds[q]));
            if (active[e]->key == "ours") {
                dOurs = outcome.seconds;
                bOursFaithful = outcome.faithful;
            } else if (outcome.ran && outcome.faithful && (strBestPeer == "none" || outcome.seconds < dBestPeer)) {
                dBestPeer = outcome.seconds;
                strBestPeer = active[e]->column;
            }
        }
        row.push_back(strBestPeer == "none" ? "none" : strBestPeer + " " + CBenchTable::Milliseconds(dBestPeer));
        row.push_back(dOurs > 0 && strBestPeer != "none" && bOursFaithful ? CBenchTable::Ratio(dBestPeer / dOurs)
                                                                           : "–");
        queryTable.AddRow(row);
    }
    out += queryTable.Format() + "\n";
    // Hits, where both count them.
    for (size_t e = 0; e < active.size(); ++e) {
        if (active[e]->key != "ours") continue;
        size_t nEqual = 0;
        std::string strDiffer;
        for (size_t q = 0; q < queries.size(); ++q) {
            if (outcomes[q][e].hitsEqual)
                ++nEqual;
            else
                strDiffer += (strDiffer.empty() ? "" : ", ") + queries[q].m_strId;
        }
        out += "Tessaline's hit counts equal the scan's on " + std::to_string(nEqual) + " of " +
               std::to_string(queries.size()) + " queries" + (strDiffer.empty() ? "" : " (not on " + strDiffer + ")") +
               ".\n\n";
    }

    const bool bPeers = std::any_of(active.begin(), active.end(), [](const EngineSlot* p) {
        return p->key != "scan" && p->key != "ours";
    });
    if (bPeers) {
        out += "### How each engine was asked\n\n";
        out += "Characters are folded to their variant group's stand-in in every peer's index and query (the reader "
               "searches with variants on). *Inexact* marks a form that cannot say what the reader's query says; "
               "whether its pages still came out equal is in the table above.\n\n";
        std::vector<std::string> translationHeader = {"id"};
        for (EngineSlot* pSlot : active)
            if (pSlot->key != "scan" && pSlot->key != "ours") translationHeader.push_back(pSlot->column);
        CBenchTable translationTable(translationHeader);
        std::map<std::string, std::set<std::string>> inexactWhy;
        for (size_t q = 0; q < queries.size(); ++q) {
            std::vector<std::string> row = {queries[q].m_strId};
            for (size_t e = 0; e < active.size(); ++e) {
                if (active[e]->key == "scan" || active[e]->key == "ours") continue;
                const BenchTranslation& translation = outcomes[q][e].translation;
                // A bar inside a table cell is escaped, code spans included.
                std::string strText;
                for (char c : translation.text) strText += c == '|' ? std::string("\\|") : std::string(1, c);
                std::string strCell = "`" + strText + "`";
                if (!translation.exact) {
                    strCell += " *inexact*";
                    inexactWhy[active[e]->column].insert(translation.why);
                }
                row.push_back(strCell);
            }
            translationTable.AddRow(row);
        }
        out += translationTable.Format() + "\n";
        for (const auto& [strColumn, reasons] : inexactWhy) {
            out += "- " + strColumn + " inexact:";
            bool bFirst = true;
            for (const std::string& strWhy : reasons) {
                out += (bFirst ? " " : "; ") + strWhy;
                bFirst = false;
            }
            out += ".\n";
        }
        if (!strRipgrepVersion.empty()) out += "- ripgrep: " + strRipgrepVersion + ".\n";
        out += "\n";
    }

    out += "### Index build and size\n\n";
    CBenchTable buildTable({"engine", "build", "size on disk", "what"});
    for (EngineSlot* pSlot : active) {
        if (pSlot->key == "ours") {
            if (ourBuild.ok && ourBuild.status == 0) {
                buildTable.AddRow({"Tessaline", CBenchTable::Seconds(ourBuild.seconds) + ", peak " +
                                                    CBenchTable::Megabytes(ourBuild.peakBytes),
                                   CBenchTable::Megabytes(pOurs->IndexBytes()) + " (corpus " +
                                       CBenchTable::Megabytes(pOurs->CorpusBytes()) + ")",
                                   "`tessaline-cli build` from `" + options.m_strSource +
                                       "` (" + CBenchTable::Count(pages.PageCount()) +
                                       " page files): page store, three indexes, catalogue; size: whole-text index "
                                       "(corpus: all files)"});
            } else {
                buildTable.AddRow({"Tessaline", ourBuild.ok ? "failed (status " + std::to_string(ourBuild.status) + ")"
                                                             : "not measured",
                                   CBenchTable::Megabytes(pOurs->IndexBytes()) + " (corpus " +
                                       CBenchTable::Megabytes(pOurs->CorpusBytes()) + ")",
                                   "whole-text index (corpus: all files)"});
            }
            continue;
        }
        buildTable.AddRow({pSlot->engine->Name(),
                           CBenchTable::Seconds(pSlot->build.seconds) + (pSlot->build.reused ? " (earlier run)" : ""),
                           pSlot->key == "scan" ? "–" : CBenchTable::Megabytes(pSlot->build.bytes),
                           pSlot->key == "scan" ? "folds the exported characters in memory (" +
                                                      CBenchTable::Megabytes(pages.MemoryBytes()) + " of runs)"
                                                : pSlot->build.note});
    }
    out += buildTable.Format() + "\n";
    out += "Peers are built from the exported pages (export " + CBenchTable::Seconds(dExportSeconds) +
           ", not included); SQLite's time includes 'optimize' and VACUUM, Xapian's the compaction.\n\n";

    if (options.m_engines.count("ours")) {
        out += "### The reader's other figures\n\n";
        CBenchTable otherTable({"what", "figure"});
        otherTable.AddRow({"render a result page (CIndex::RenderPage, " + CBenchTable::Count(render.calls) +
                               " calls over " + CBenchTable::Count(render.pairs) + " page and keyword pairs of the queries' results, " +
                               CBenchTable::Count(render.marks) + " hit marks a pass)",
                           "median " + CBenchTable::Milliseconds(render.median) + ", 90th percentile " +
                               CBenchTable::Milliseconds(render.p90) + ", max " + CBenchTable::Milliseconds(render.max)});
        for (const FirstListPage& first : firstPages) {
            otherTable.AddRow({"search to the first list page (" + std::string(first.bOr ? "or" : "and") + " `" +
                                   first.keywords + "`, range: slot 1, " + CBenchTable::Count(first.pages) +
                                   " pages; search + rows + text of the first 100 rows)",
                               CBenchTable::Milliseconds(first.seconds) + " (search alone " +
                                   CBenchTable::Milliseconds(first.searchSeconds) + ")"});
        }
        for (const auto& [strKeyword, cost] : searchCosts) {
            otherTable.AddRow({"peak memory of `tessaline-cli search --data " + options.m_strCorpus + " " + strKeyword + "`",
                               cost.ok ? CBenchTable::Megabytes(cost.peakBytes) + " (" +
                                             CBenchTable::Seconds(cost.seconds) + " wall, with printing the rows)"
                                       : cost.error});
        }
        if (!options.m_strReader.empty()) {
            otherTable.AddRow({"peak memory of the desktop reader `" + options.m_strReader + " --data " + options.m_strCorpus +
                                   " --no-splash`, started under xvfb-run and ended after " +
                                   std::to_string(ReaderSeconds) + " s (no search)",
                               readerMemory.ok ? CBenchTable::Megabytes(readerMemory.peakBytes) +
                                                     " (its process); with the page view's helper processes " +
                                                     CBenchTable::Megabytes(readerMemory.treeBytes) + " resident"
                                               : "not measured: " + readerMemory.error});
        }
        out += otherTable.Format() + "\n";
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}

// ---------------------------------------------------------------- loop (profiling)

int RunLoop(const CBenchOptions& options) {
    std::vector<CBenchQuery> queries;
    std::string strError;
    if (!CBenchQuery::ReadFile(options.m_strQueries, queries, strError)) return Fail(strError);
    COurEngine ours;
    if (!ours.Open(options.m_strCorpus, strError)) return Fail(strError);
    std::vector<const CBenchQuery*> chosen;
    for (const CBenchQuery& query : queries)
        if (options.m_strLoop == "all" || query.m_strId == options.m_strLoop) chosen.push_back(&query);
    if (chosen.empty()) return Fail("--loop " + options.m_strLoop + ": no such query id");
    size_t nRuns = 0;
    const double dStart = CBenchTimer::Now();
    while (CBenchTimer::Now() - dStart < options.m_dSeconds) {
        for (const CBenchQuery* pQuery : chosen) {
            if (!ours.Run(*pQuery, strError)) return Fail(strError);
            ++nRuns;
        }
    }
    const double dSeconds = CBenchTimer::Now() - dStart;
    std::printf("%zu runs in %.2f s: %.3f ms each\n", nRuns, dSeconds, dSeconds * 1000 / static_cast<double>(nRuns));
    return 0;
}

// ---------------------------------------------------------------- forms line

// What the line of the forms searched costs a search: the search and its
// rows, as the side-by-side run times them, and CSearchForms::Build over the
// first category (the panel's default range) on its own, warm and right
// after a first search (when the forms' own characters have no page
// directory yet).
int RunForms(const CBenchOptions& options) {
    std::vector<CBenchQuery> queries;
    std::string strError;
    if (!CBenchQuery::ReadFile(options.m_strQueries, queries, strError)) return Fail(strError);
    // And keywords typed in 新字体, of one character and more, whose forms
    // are counted one by one.
    int nExtra = 0;
    for (const char* pszText : {"桜", "国", "気", "楽", "読書", "気 楽"}) {
        CBenchQuery query;
        if (!query.Parse(pszText, strError)) return Fail(strError);
        query.m_strId = "f" + std::to_string(++nExtra);
        query.m_strText = pszText;
        queries.push_back(query);
    }
    COurEngine ours;
    if (!ours.Open(options.m_strCorpus, strError)) return Fail(strError);
    const ContentsNodeTag& range = *ours.Categories()[0];
    CSearchForms forms;
    const std::string strLoadBefore = CProcessTools::LoadAverage();
    CBenchTable table({"id", "query", "search and rows", "forms line", "share", "first search", "forms line after it",
                       "the line"});
    for (const CBenchQuery& query : queries) {
        auto search = [&]() { return ours.Run(query, strError); };
        auto build = [&]() {
            forms.Build(ours.Index(), query.Keywords(), true, range);
            return true;
        };
        ours.Index().ClearDirectories();
        double dStart = CBenchTimer::Now();
        if (!search()) return Fail(strError);
        const double dFirst = CBenchTimer::Now() - dStart;
        dStart = CBenchTimer::Now();
        build();
        const double dFirstForms = CBenchTimer::Now() - dStart;
        std::vector<std::vector<double>> samples;
        CBenchTimer::Interleave({search, build}, QueryRounds, QuerySlice, samples);
        const double dSearch = CBenchTimer::Median(samples[0]);
        const double dForms = CBenchTimer::Median(samples[1]);
        char szShare[32];
        std::snprintf(szShare, sizeof szShare, "%.1f %%", 100 * dForms / dSearch);
        table.AddRow({query.m_strId, "`" + query.m_strText + "`", CBenchTable::Milliseconds(dSearch),
                      CBenchTable::Milliseconds(dForms), szShare, CBenchTable::Milliseconds(dFirst),
                      CBenchTable::Milliseconds(dFirstForms), "`" + forms.FormatLine() + "`"});
    }
    std::string out = "Median of the warm runs (" + std::to_string(QueryRounds) +
                      " rounds, the two taking turns); *share*: the forms line's time over the search's. *First "
                      "search*: with the page directories dropped before it, and the forms line right after it. "
                      "Load average: " + strLoadBefore + " at the start, " + CProcessTools::LoadAverage() + " at the end.\n\n";
    out += table.Format();
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}

// ---------------------------------------------------------------- scale

int RunScale(const CBenchOptions& options) {
    std::vector<CBenchQuery> queries;
    std::string strError;
    if (!CBenchQuery::ReadFile(options.m_strQueries, queries, strError)) return Fail(strError);
    std::error_code ec;
    fs::create_directories(options.m_strOut, ec);
    const std::string strLoadBefore = CProcessTools::LoadAverage();

    Progress("exporting the pages of " + options.m_strCorpus);
    auto pBase = std::make_unique<CPageExport>();
    if (!pBase->Read(options.m_strCorpus, strError)) return Fail(strError);
    std::vector<CatalogRecord> catalog;
    if (!ReadCatalog(options.m_strCorpus, catalog, strError)) return Fail(strError);
    const uint64_t nBaseChars = pBase->Chars().size();
    const uint32_t nBasePages = pBase->PageCount();

    // What one copy adds to the bounded files: the page store's content file
    // (32-bit signed ends: 2 GiB) and the whole-text postings (4 GiB).
    const double dStoreBytes = static_cast<double>(CProcessTools::PathBytes(options.m_strCorpus + "/Index-fl.cnt"));
    const double dPostingsBytes = static_cast<double>(CProcessTools::PathBytes(options.m_strCorpus + "/Index-idx.m"));
    const double dStoreCopies = static_cast<double>(INT32_MAX) / dStoreBytes;
    const double dPostingsCopies = static_cast<double>(CIndexWriter::MaxPostingsBlocks) * 4096.0 / dPostingsBytes;
    // Shuffled copies have other titles and positions; keep a margin.
    const size_t nFit = static_cast<size_t>(std::min(dStoreCopies, dPostingsCopies) * 0.98);
    size_t nCopies = options.m_nScale;
    std::string strBoundNote;
    char szBound[512];
    std::snprintf(szBound, sizeof szBound,
                  "One copy adds %.1f MB to the page store's content file, whose 32-bit record ends hold 2 GiB: "
                  "reached at %.1f copies (%.0f million characters); and %.1f MB to the whole-text postings, which "
                  "hold 4 GiB: reached at %.1f copies (%.0f million characters).",
                  dStoreBytes / 1e6, dStoreCopies, dStoreCopies * static_cast<double>(nBaseChars) / 1e6,
                  dPostingsBytes / 1e6, dPostingsCopies, dPostingsCopies * static_cast<double>(nBaseChars) / 1e6);
    strBoundNote = szBound;
    if (nCopies > nFit && !options.m_bScaleForce) {
        strBoundNote += " " + std::to_string(options.m_nScale) + " copies do not fit; built " + std::to_string(nFit) +
                        " copies, the most that fit.";
        nCopies = nFit;
    }
    Progress(strBoundNote);

    Progress("making " + std::to_string(nCopies) + " copies");
    double dStart = CBenchTimer::Now();
    auto pSource = std::make_unique<CorpusSource>();
    if (!CSyntheticCorpus::Make(*pBase, catalog, nCopies, 20261209, *pSource, strError)) return Fail(strError);
    const double dMakeSeconds = CBenchTimer::Now() - dStart;
    uint64_t nSourceBytes = 0;
    for (const SourceCategory& category : pSource->categories)
        for (const SourceBook& book : category.books)
            for (const SourceVolume& volume : book.volumes)
                for (const SourcePage& page : volume.pages) nSourceBytes += page.text.size();
    pBase.reset();
    const uint64_t nRssBeforeBuild = CProcessTools::CurrentRss();

    const std::string strScaleFolder = options.m_strOut + "/scale";
    Progress("building " + std::to_string(pSource->PageCount()) + " pages into " + strScaleFolder);
    CCorpusWriter writer;
    size_t nLastPercent = 0;
    const double dBuildStart = CBenchTimer::Now();
    writer.SetProgressCallback([&](size_t nDone, size_t nTotal) {
        const size_t nPercent = nDone * 100 / std::max<size_t>(nTotal, 1);
        if (nPercent >= nLastPercent + 5) {
            nLastPercent = nPercent;
            Progress(std::to_string(nPercent) + "% of the pages after " +
                     CBenchTable::Seconds(CBenchTimer::Now() - dBuildStart) + ", resident " +
                     CBenchTable::Megabytes(CProcessTools::CurrentRss()));
        }
    });
    CVariantTable variants;
    variants.LoadFile(options.m_strCorpus + "/" + CCorpusFiles::Variants);
    const bool bBuilt = writer.Write(*pSource, variants, strScaleFolder, strError);
    const double dBuildSeconds = CBenchTimer::Now() - dBuildStart;
    const uint64_t nPeakBuild = CProcessTools::PeakRss();
    const size_t nPages = pSource->PageCount();
    pSource.reset();

    std::string out;
    out += strBoundNote + "\n\n";
    if (!bBuilt) {
        out += "The build of " + std::to_string(nCopies) + " copies (" + CBenchTable::Count(nPages) + " pages) failed after " +
               CBenchTable::Seconds(dBuildSeconds) + ": " + strError + "\n";
        std::fwrite(out.data(), 1, out.size(), stdout);
        return 1;
    }
    const CorpusSummary summary = writer.Summary();
    CBenchTable buildTable({"what", "figure"});
    buildTable.AddRow({"copies of the corpus (the first as it is, the others shuffled within each run)",
                       std::to_string(nCopies)});
    buildTable.AddRow({"pages", CBenchTable::Count(summary.pages)});
    buildTable.AddRow({"characters (indexed)", CBenchTable::Count(summary.characters) + " (" +
                                                    CBenchTable::Count(summary.indexed) + ")"});
    buildTable.AddRow({"making the source in memory", CBenchTable::Seconds(dMakeSeconds) + ", " +
                                                          CBenchTable::Megabytes(nSourceBytes) + " of text"});
    buildTable.AddRow({"build (CCorpusWriter, in process, under nice)", CBenchTable::Seconds(dBuildSeconds)});
    buildTable.AddRow({"peak resident memory of the process", CBenchTable::Megabytes(nPeakBuild) + " (" +
                                                                   CBenchTable::Megabytes(nRssBeforeBuild) +
                                                                   " before the build: the source and what the export left)"});
    for (const char* pszName : {"Index-fl.cnt", "Index-idx.m", "Index_content-idx.m", "Index_desc-idx.m"})
        buildTable.AddRow({std::string("size of ") + pszName,
                           CBenchTable::Megabytes(CProcessTools::PathBytes(strScaleFolder + "/" + pszName))});
    buildTable.AddRow({"size of the corpus folder", CBenchTable::Megabytes(CProcessTools::PathBytes(strScaleFolder))});
    out += buildTable.Format() + "\n";
    if (nCopies > 1) {
        // The bounds again, from what the shuffled copies actually added.
        const double dStoreStep =
            (static_cast<double>(CProcessTools::PathBytes(strScaleFolder + "/Index-fl.cnt")) - dStoreBytes) / static_cast<double>(nCopies - 1);
        const double dPostingsStep =
            (static_cast<double>(CProcessTools::PathBytes(strScaleFolder + "/Index-idx.m")) - dPostingsBytes) / static_cast<double>(nCopies - 1);
        char szGrowth[512];
        std::snprintf(szGrowth, sizeof szGrowth,
                      "Each further (shuffled) copy added %.1f MB to the page store's content file and %.1f MB to the "
                      "whole-text postings: at that rate the page store's 2 GiB are reached at %.1f copies and the "
                      "postings' 4 GiB at %.1f copies (%.0f million characters).\n\n",
                      dStoreStep / 1e6, dPostingsStep / 1e6, 1 + (static_cast<double>(INT32_MAX) - dStoreBytes) / dStoreStep,
                      1 + (4294967296.0 - dPostingsBytes) / dPostingsStep,
                      (1 + (4294967296.0 - dPostingsBytes) / dPostingsStep) * static_cast<double>(nBaseChars) / 1e6);
        out += szGrowth;
    }

    // Queries through our road on the large corpus.
    COurEngine ours;
    if (!ours.Open(strScaleFolder, strError)) return Fail(strError);
    std::unique_ptr<CPageExport> pScaled;
    std::unique_ptr<CScanEngine> pScan;
    if (options.m_bScaleCheck) {
        Progress("exporting the large corpus for the scan");
        pScaled = std::make_unique<CPageExport>();
        if (!pScaled->Read(strScaleFolder, strError)) return Fail(strError);
        pScan = std::make_unique<CScanEngine>();
        pScan->Build(*pScaled, "", strError);
    }
    CBenchTable queryTable({"id", "query", "pages", "time", "same pages as the scan", "in the first copy"});
    for (const CBenchQuery& query : queries) {
        Progress("query " + query.m_strId + " " + query.m_strText);
        QueryOutcome outcome = RunQuery(ours, query);
        std::string strCheck = "not checked";
        if (pScan) {
            std::vector<uint32_t> expected;
            std::vector<uint32_t> hits;
            pScan->Run(query, strError);
            pScan->LastResult(expected, hits);
            std::sort(expected.begin(), expected.end());
            strCheck = outcome.pages == expected ? "✓" : "✗ scan: " + CBenchTable::Count(expected.size());
        }
        // Pages found in the first copy (the corpus as it is).
        size_t nFirstCopy = 0;
        for (uint32_t nPage : outcome.pages) nFirstCopy += nPage < nBasePages ? 1 : 0;
        queryTable.AddRow({query.m_strId, "`" + query.m_strText + "`", CBenchTable::Count(outcome.pages.size()),
                           outcome.ran ? CBenchTable::Milliseconds(outcome.seconds) : outcome.error, strCheck,
                           CBenchTable::Count(nFirstCopy)});
    }
    out += queryTable.Format() + "\n";
    out += "*In the first copy*: of the pages found, those in the first copy (the default corpus unchanged); the "
           "shuffled copies keep the characters' frequencies but break most phrases.\n\n";

    std::vector<std::pair<std::string, CommandCost>> searchCosts;
    if (fs::exists(options.m_strCli, ec)) {
        for (const char* pszKeyword : {"不", "，"})
            searchCosts.emplace_back(pszKeyword, CProcessTools::MeasureCommand({options.m_strCli, "search", "--data", strScaleFolder, pszKeyword},
                                                                options.m_strOut + "/time-search.txt"));
    }
    CBenchTable memoryTable({"what", "figure"});
    for (const auto& [strKeyword, cost] : searchCosts)
        memoryTable.AddRow({"peak memory of `tessaline-cli search` for " + strKeyword + " (range: slot 1, one copy)",
                            cost.ok ? CBenchTable::Megabytes(cost.peakBytes) + " (" + CBenchTable::Seconds(cost.seconds) +
                                          " wall)"
                                    : cost.error});
    out += memoryTable.Format() + "\n";
    out += "Load average: " + strLoadBefore + " at the start, " + CProcessTools::LoadAverage() + " at the end.\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    CBenchOptions options;
    std::string strError;
    if (!options.Parse(argc - 1, argv + 1, strError))
        return Fail(strError + "; see tessaline-bench --help");
    if (options.m_bHelp) {
        std::printf("%s", CBenchOptions::Help().c_str());
        return 0;
    }
    switch (options.m_eMode) {
    case CBenchOptions::Mode::Loop:
        return RunLoop(options);
    case CBenchOptions::Mode::Forms:
        return RunForms(options);
    case CBenchOptions::Mode::Scale:
        return RunScale(options);
    case CBenchOptions::Mode::SideBySide:
        break;
    }
    return RunSideBySide(options);
}
