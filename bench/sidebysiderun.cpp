#include "bench/sidebysiderun.h"

#include "bench/benchtable.h"
#include "bench/benchtimer.h"
#include "bench/ourengine.h"
#include "bench/ripgrepengine.h"
#include "bench/scanengine.h"
#include "bench/sqlitefts5engine.h"
#include "bench/sqlitetrigramengine.h"
#include "bench/xapianengine.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

CSideBySideRun::CSideBySideRun(const CBenchOptions& options) : CBenchRun(options) {}

CSideBySideRun::~CSideBySideRun() = default;

bool CSideBySideRun::Run() {
    if (!ReadQueries(m_queries)) return false;
    std::error_code ec;
    fs::create_directories(m_options.m_strOut, ec);
    m_strLoadBefore = CProcessTools::LoadAverage();
    m_dRunStart = CBenchTimer::Now();
    if (!Export()) return false;
    MakeEngines();
    if (!BuildEngines()) return false;
    m_strLoadQueries = CProcessTools::LoadAverage();
    RunQueries();
    m_strLoadAfterQueries = CProcessTools::LoadAverage();
    MeasureOthers();
    m_strLoadAfter = CProcessTools::LoadAverage();
    Print(FormatCorpus() + FormatQueryTimes() + FormatFirstRuns() + FormatTranslations() + FormatBuilds() + FormatOthers());
    return true;
}

bool CSideBySideRun::Export() {
    Progress("exporting the pages of " + m_options.m_strCorpus);
    std::string strError;
    const double dStart = CBenchTimer::Now();
    if (!m_pages.Read(m_options.m_strCorpus, strError)) return Fail(strError);
    m_dExportSeconds = CBenchTimer::Now() - dStart;
    for (char32_t c : m_pages.Chars()) m_nIndexed += CPageExport::HasSlot(c) ? 1 : 0;
    Progress(std::to_string(m_pages.PageCount()) + " pages, " + std::to_string(m_pages.Runs().size()) + " runs, " +
             std::to_string(m_pages.Chars().size()) + " characters in " + CBenchTable::Seconds(m_dExportSeconds));
    return true;
}

void CSideBySideRun::MakeEngines() {
    auto ours = std::make_unique<COurEngine>();
    m_pOurs = ours.get();
    auto scan = std::make_unique<CScanEngine>();
    auto fts5 = std::make_unique<CSqliteFts5Engine>();
    fts5->SetFolding(m_pages);
    auto trigram = std::make_unique<CSqliteTrigramEngine>();
    trigram->SetFolding(m_pages);
    auto xapian = std::make_unique<CXapianEngine>();
    xapian->SetFolding(m_pages);
    auto ripgrep = std::make_unique<CRipgrepEngine>();
    ripgrep->SetFolding(m_pages);
    m_strRipgrepVersion = ripgrep->Version();
    const std::string& strOut = m_options.m_strOut;
    m_engines.push_back({"ours", "Tessaline", std::move(ours), m_options.m_strCorpus, {}});
    m_engines.push_back({"fts5", "FTS5 token", std::move(fts5), strOut + "/fts5-token.db", {}});
    m_engines.push_back({"trigram", "FTS5 trigram", std::move(trigram), strOut + "/fts5-trigram.db", {}});
    m_engines.push_back({"xapian", "Xapian", std::move(xapian), strOut + "/xapian", {}});
    m_engines.push_back({"ripgrep", "ripgrep", std::move(ripgrep), strOut + "/ripgrep-pages.txt", {}});
    m_engines.push_back({"scan", "scan", std::move(scan), "", {}});
    // The scan defines the expected pages: it always runs.
    for (EngineSlot& slot : m_engines)
        if (slot.key == "scan" || m_options.m_engines.count(slot.key)) m_active.push_back(&slot);
}

bool CSideBySideRun::BuildEngines() {
    const std::string strStamp = CPageExport::CorpusStamp(m_options.m_strCorpus);
    std::string strError;
    for (EngineSlot* pSlot : m_active) {
        Progress("building " + pSlot->engine->Name());
        if (pSlot->key == "ours" || pSlot->key == "scan") {
            const double dStart = CBenchTimer::Now();
            if (!pSlot->engine->Build(m_pages, pSlot->path, strError)) return Fail(strError);
            pSlot->build.ok = true;
            pSlot->build.seconds = CBenchTimer::Now() - dStart;
            pSlot->build.bytes = pSlot->engine->IndexBytes();
            pSlot->build.note = pSlot->engine->IndexNote();
            continue;
        }
        pSlot->build = BuildPeer(*pSlot->engine, m_pages, pSlot->path, m_options.m_strOut + "/" + pSlot->key + ".stamp",
                                 strStamp, m_options.m_bReuse);
        if (!pSlot->build.ok) return Fail(pSlot->build.error);
        Progress(pSlot->engine->Name() + ": " + CBenchTable::Seconds(pSlot->build.seconds) +
                 (pSlot->build.reused ? " (reused)" : "") + ", " + CBenchTable::Megabytes(pSlot->build.bytes));
    }
    return true;
}

void CSideBySideRun::RunQueries() {
    m_outcomes.assign(m_queries.size(), {});
    m_ourPages.assign(m_queries.size(), {});
    for (size_t q = 0; q < m_queries.size(); ++q) {
        const CBenchQuery& query = m_queries[q];
        Progress("query " + query.m_strId + " " + query.m_strText);
        std::vector<QueryOutcome>& outcomes = m_outcomes[q];
        outcomes.resize(m_active.size());
        std::vector<std::function<bool()>> works;
        std::vector<std::string> errors(m_active.size());
        for (size_t e = 0; e < m_active.size(); ++e) {
            outcomes[e].translation = m_active[e]->engine->Translate(query);
            CBenchEngine* pEngine = m_active[e]->engine.get();
            std::string* pError = &errors[e];
            works.push_back([pEngine, &query, pError]() { return pEngine->Run(query, *pError); });
        }
        // First runs: before each, every engine drops what it keeps and
        // opens its index afresh (untimed; the files stay in the operating
        // system's cache), then answers the query once; the engines take
        // turns, and the figure is the median.
        std::vector<std::vector<double>> firsts(m_active.size());
        std::vector<std::vector<uint32_t>> firstPages(m_active.size());
        for (size_t r = 0; r < QueryOutcome::FirstRounds; ++r) {
            for (size_t e = 0; e < m_active.size(); ++e) {
                if (!errors[e].empty()) continue;
                double dSeconds = 0;
                if (!QueryOutcome::RunFirst(*m_active[e]->engine, query, dSeconds, firstPages[e], errors[e])) continue;
                firsts[e].push_back(dSeconds);
            }
        }
        std::vector<std::vector<double>> samples;
        CBenchTimer::Interleave(works, QueryRounds, QuerySlice, samples);
        for (size_t e = 0; e < m_active.size(); ++e) {
            QueryOutcome& outcome = outcomes[e];
            outcome.runs = samples[e].size();
            outcome.seconds = CBenchTimer::Median(samples[e]);
            if (!errors[e].empty()) {
                outcome.error = errors[e];
                Progress(m_active[e]->engine->Name() + ": " + outcome.error);
                continue;
            }
            outcome.TakeResult(*m_active[e]->engine);
            outcome.firstSeconds = CBenchTimer::Median(firsts[e]);
            outcome.firstSame = firstPages[e] == outcome.pages;
        }
        // The scan (last) defines the expected pages.
        const QueryOutcome& expected = outcomes.back();
        for (size_t e = 0; e < m_active.size(); ++e) {
            QueryOutcome& outcome = outcomes[e];
            outcome.faithful = outcome.ran && outcome.pages == expected.pages;
            outcome.hitsEqual = outcome.faithful && outcome.hits == expected.hits;
            if (m_active[e]->key == "ours") m_ourPages[q] = outcome.pages;
        }
    }
}

void CSideBySideRun::MeasureOthers() {
    if (m_options.m_engines.count("ours")) {
        Progress("rendering result pages");
        m_render = CReaderFigures::MeasureRendering(*m_pOurs, m_queries, m_ourPages);
        Progress("search to the first list page");
        m_firstPages.push_back(CReaderFigures::MeasureFirstListPage(*m_pOurs, "，", false));
        m_firstPages.push_back(CReaderFigures::MeasureFirstListPage(*m_pOurs, "之 不 人 一", true));
        m_firstPages.push_back(CReaderFigures::MeasureFirstSearch(*m_pOurs, "不"));
    }

    // Our build, through the command line as a user runs it.
    const std::string& strCli = m_options.m_strCli;
    std::error_code ec;
    if (fs::is_directory(m_options.m_strSource, ec) && fs::exists(strCli, ec)) {
        Progress("timing tessaline-cli build on " + m_options.m_strSource);
        ::sync();  // as before each peer's build
        m_ourBuild =
            CProcessTools::MeasureCommand({strCli, "build", "--variants", m_options.m_strCorpus + "/yitizi.txt",
                                           m_options.m_strSource, m_options.m_strOut + "/ours-build"},
                                          m_options.m_strOut + "/time-build.txt");
        if (!m_ourBuild.ok) Progress("tessaline-cli build: " + m_ourBuild.error);
    }
    // Peak memory of a search as the command line runs it.
    m_searchCosts = MeasureSearches(m_options.m_strCorpus);
    if (!m_options.m_strReader.empty()) {
        Progress("starting the reader under xvfb-run for " + std::to_string(ReaderSeconds) + " s");
        m_readerMemory = CProcessTools::MeasureReader(m_options.m_strReader, m_options.m_strCorpus, ReaderSeconds,
                                                      m_options.m_strOut + "/reader-memory.txt");
        if (!m_readerMemory.ok) Progress("the reader's memory: " + m_readerMemory.error);
    }
}

CSideBySideRun::BuildOutcome CSideBySideRun::BuildPeer(CBenchEngine& engine, const CPageExport& pages,
                                                       const std::string& strPath, const std::string& strStampPath,
                                                       const std::string& strStamp, bool bReuse) {
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
    // What earlier work left to be written goes to disk first, so that its
    // writeback does not fall into this build's time.
    ::sync();
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

std::string CSideBySideRun::Cell(const QueryOutcome& outcome, bool bScan) {
    if (!outcome.ran) return "error";
    std::string s = CBenchTable::Milliseconds(outcome.seconds);
    if (bScan) return s;
    if (outcome.faithful) return s + " ✓";
    return s + " ✗ " + CBenchTable::Count(outcome.pages.size());
}

std::string CSideBySideRun::FormatCorpus() const {
    std::string out;
    out += "### Corpus\n\n";
    out += "`" + m_options.m_strCorpus + "`: " + CBenchTable::Count(m_pages.PageCount()) + " pages, " +
           CBenchTable::Count(m_pages.Runs().size()) + " runs (paragraphs and annotations), " +
           CBenchTable::Count(m_pages.Chars().size()) + " characters of which " + CBenchTable::Count(m_nIndexed) +
           " have an index slot; " + CBenchTable::Count(m_pages.FoldedCharacters()) +
           " characters belong to a variant group. Export from the page store: " +
           CBenchTable::Seconds(m_dExportSeconds) + ".\n\n";
    out += "Load average: " + m_strLoadBefore + " at the start, " + m_strLoadQueries + " before the queries, " +
           m_strLoadAfterQueries + " after them, " + m_strLoadAfter +
           " at the end (2 cores; other work ran alongside). " +
           "Whole run: " + CBenchTable::Seconds(CBenchTimer::Now() - m_dRunStart) + ".\n\n";
    return out;
}

std::string CSideBySideRun::FormatQueryTimes() const {
    std::string out;
    out += "### Query times\n\n";
    out += "Median of the warm runs: after one untimed run of each, the engines take turns in " +
           std::to_string(QueryRounds) + " rounds, each engine running the query in every round until it has taken " +
           CBenchTable::Milliseconds(QuerySlice) +
           " (at least once), so that a burst of other load falls on all of them alike; at least " +
           std::to_string(QueryRounds) +
           " runs each. ✓: the same pages as the brute-force scan; ✗ N: N pages, not the "
           "scan's. Tessaline's time is the search and the result rows of every category, as the panel builds them; "
           "ripgrep's includes starting the program. *Lead* is the fastest faithful peer's time (ripgrep and the "
           "scan included) divided by Tessaline's.\n\n";
    std::vector<std::string> header = {"id", "query", "pages"};
    for (EngineSlot* pSlot : m_active) {
        header.push_back(pSlot->column);
    }
    header.push_back("fastest faithful peer");
    header.push_back("lead");
    CBenchTable queryTable(header);
    for (size_t q = 0; q < m_queries.size(); ++q) {
        std::vector<std::string> row = {m_queries[q].m_strId, "`" + m_queries[q].m_strText + "`",
                                        CBenchTable::Count(m_outcomes[q].back().pages.size())};
        double dBestPeer = 0;
        std::string strBestPeer = "none";
        double dOurs = 0;
        bool bOursFaithful = false;
        for (size_t e = 0; e < m_active.size(); ++e) {
            const QueryOutcome& outcome = m_outcomes[q][e];
            row.push_back(Cell(outcome, m_active[e]->key == "scan"));
            if (m_active[e]->key == "ours") {
                dOurs = outcome.seconds;
                bOursFaithful = outcome.faithful;
            } else if (outcome.ran && outcome.faithful && (strBestPeer == "none" || outcome.seconds < dBestPeer)) {
                dBestPeer = outcome.seconds;
                strBestPeer = m_active[e]->column;
            }
        }
        row.push_back(strBestPeer == "none" ? "none" : strBestPeer + " " + CBenchTable::Milliseconds(dBestPeer));
        row.push_back(dOurs > 0 && strBestPeer != "none" && bOursFaithful ? CBenchTable::Ratio(dBestPeer / dOurs)
                                                                          : "–");
        queryTable.AddRow(row);
    }
    out += queryTable.Format() + "\n";
    // Hits, where both count them.
    for (size_t e = 0; e < m_active.size(); ++e) {
        if (m_active[e]->key != "ours") continue;
        size_t nEqual = 0;
        std::string strDiffer;
        for (size_t q = 0; q < m_queries.size(); ++q) {
            if (m_outcomes[q][e].hitsEqual)
                ++nEqual;
            else
                strDiffer += (strDiffer.empty() ? "" : ", ") + m_queries[q].m_strId;
        }
        out += "Tessaline's hit counts equal the scan's on " + std::to_string(nEqual) + " of " +
               std::to_string(m_queries.size()) + " queries" +
               (strDiffer.empty() ? "" : " (not on " + strDiffer + ")") + ".\n\n";
    }
    return out;
}

std::string CSideBySideRun::FormatFirstRuns() const {
    std::string out;
    out += "### First runs\n\n";
    out += "Before each first run every engine drops what it keeps between queries and opens its index afresh, "
           "untimed: SQLite a new connection (its schema read, its page cache empty), Xapian a new database "
           "handle, Tessaline a new CIndex (no page directory, new mappings); the files stay in the operating "
           "system's cache. Then the query runs once, timed. The engines take turns, " +
           std::to_string(QueryOutcome::FirstRounds) +
           " rounds before the warm runs; the figure is the median. ripgrep and the scan keep nothing: their first "
           "run is an ordinary one. *Lead* is the fastest faithful peer's first run divided by Tessaline's; "
           "*against warm* is the fastest faithful peer's warm time (the table above) divided by Tessaline's first "
           "run. ≠: the first runs found other pages than the warm runs.\n\n";
    std::vector<std::string> header = {"id", "query"};
    for (EngineSlot* pSlot : m_active) header.push_back(pSlot->column);
    for (const char* psz : {"fastest faithful peer", "lead", "against warm"}) header.push_back(psz);
    CBenchTable table(header);
    for (size_t q = 0; q < m_queries.size(); ++q) {
        std::vector<std::string> row = {m_queries[q].m_strId, "`" + m_queries[q].m_strText + "`"};
        double dBestFirst = 0;
        double dBestWarm = 0;
        std::string strBestFirst;
        double dOurs = 0;
        bool bOursGood = false;
        for (size_t e = 0; e < m_active.size(); ++e) {
            const QueryOutcome& outcome = m_outcomes[q][e];
            if (!outcome.ran) {
                row.push_back("error");
                continue;
            }
            row.push_back(CBenchTable::Milliseconds(outcome.firstSeconds) + (outcome.firstSame ? "" : " ≠"));
            if (m_active[e]->key == "ours") {
                dOurs = outcome.firstSeconds;
                bOursGood = outcome.faithful && outcome.firstSame;
                continue;
            }
            if (!outcome.faithful || !outcome.firstSame) continue;
            if (strBestFirst.empty() || outcome.firstSeconds < dBestFirst) {
                dBestFirst = outcome.firstSeconds;
                strBestFirst = m_active[e]->column;
            }
            if (dBestWarm == 0 || outcome.seconds < dBestWarm) dBestWarm = outcome.seconds;
        }
        const bool bLead = dOurs > 0 && !strBestFirst.empty() && bOursGood;
        row.push_back(strBestFirst.empty() ? "none" : strBestFirst + " " + CBenchTable::Milliseconds(dBestFirst));
        row.push_back(bLead ? CBenchTable::Ratio(dBestFirst / dOurs) : "–");
        row.push_back(bLead ? CBenchTable::Ratio(dBestWarm / dOurs) : "–");
        table.AddRow(row);
    }
    return out + table.Format() + "\n";
}

std::string CSideBySideRun::FormatTranslations() const {
    std::string out;
    const bool bPeers = std::any_of(m_active.begin(), m_active.end(),
                                    [](const EngineSlot* p) { return p->key != "scan" && p->key != "ours"; });
    if (bPeers) {
        out += "### How each engine was asked\n\n";
        out += "Characters are folded to their variant group's stand-in in every peer's index and query (the reader "
               "searches with variants on). *Inexact* marks a form that cannot say what the reader's query says; "
               "whether its pages still came out equal is in the table above.\n\n";
        std::vector<std::string> translationHeader = {"id"};
        for (EngineSlot* pSlot : m_active)
            if (pSlot->key != "scan" && pSlot->key != "ours") translationHeader.push_back(pSlot->column);
        CBenchTable translationTable(translationHeader);
        std::map<std::string, std::set<std::string>> inexactWhy;
        for (size_t q = 0; q < m_queries.size(); ++q) {
            std::vector<std::string> row = {m_queries[q].m_strId};
            for (size_t e = 0; e < m_active.size(); ++e) {
                if (m_active[e]->key == "scan" || m_active[e]->key == "ours") continue;
                const BenchTranslation& translation = m_outcomes[q][e].translation;
                // A bar inside a table cell is escaped, code spans included.
                std::string strText;
                for (char c : translation.text) strText += c == '|' ? std::string("\\|") : std::string(1, c);
                std::string strCell = "`" + strText + "`";
                if (!translation.exact) {
                    strCell += " *inexact*";
                    inexactWhy[m_active[e]->column].insert(translation.why);
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
        if (!m_strRipgrepVersion.empty()) out += "- ripgrep: " + m_strRipgrepVersion + ".\n";
        out += "\n";
    }
    return out;
}

std::string CSideBySideRun::FormatBuilds() const {
    std::string out;
    out += "### Index build and size\n\n";
    CBenchTable buildTable({"engine", "build", "size on disk", "what"});
    for (EngineSlot* pSlot : m_active) {
        if (pSlot->key == "ours") {
            if (m_ourBuild.ok) {
                buildTable.AddRow({"Tessaline",
                                   CBenchTable::Seconds(m_ourBuild.seconds) + ", peak " +
                                       CBenchTable::Megabytes(m_ourBuild.peakBytes),
                                   CBenchTable::Megabytes(m_pOurs->IndexBytes()) + " (corpus " +
                                       CBenchTable::Megabytes(m_pOurs->CorpusBytes()) + ")",
                                   "`tessaline-cli build` from `" + m_options.m_strSource + "` (" +
                                       CBenchTable::Count(m_pages.PageCount()) +
                                       " page files): page store, three indexes, catalogue; size: whole-text index "
                                       "(corpus: all files)"});
            } else {
                buildTable.AddRow(
                    {"Tessaline",
                     m_ourBuild.error.empty() ? "not measured" : m_ourBuild.error,
                     CBenchTable::Megabytes(m_pOurs->IndexBytes()) + " (corpus " +
                         CBenchTable::Megabytes(m_pOurs->CorpusBytes()) + ")",
                     "whole-text index (corpus: all files)"});
            }
            continue;
        }
        buildTable.AddRow({pSlot->engine->Name(),
                           CBenchTable::Seconds(pSlot->build.seconds) + (pSlot->build.reused ? " (earlier run)" : ""),
                           pSlot->key == "scan" ? "–" : CBenchTable::Megabytes(pSlot->build.bytes),
                           pSlot->key == "scan" ? "folds the exported characters in memory (" +
                                                      CBenchTable::Megabytes(m_pages.MemoryBytes()) + " of runs)"
                                                : pSlot->build.note});
    }
    out += buildTable.Format() + "\n";
    out += "Peers are built from the exported pages (export " + CBenchTable::Seconds(m_dExportSeconds) +
           ", not included); SQLite's time includes 'optimize' and VACUUM, Xapian's the compaction. Every build "
           "starts after a sync, so that what earlier work left to write does not fall into it; SQLite writes "
           "with synchronous=OFF, while `tessaline-cli build` syncs each file it writes before it puts the "
           "corpus in place.\n\n";
    return out;
}

std::string CSideBySideRun::FormatOthers() const {
    std::string out;
    if (m_options.m_engines.count("ours")) {
        out += "### The reader's other figures\n\n";
        CBenchTable otherTable({"what", "figure"});
        otherTable.AddRow(
            {"render a result page (CIndex::RenderPage, " + CBenchTable::Count(m_render.calls) + " calls over " +
                 CBenchTable::Count(m_render.pairs) + " page and keyword pairs of the queries' results, " +
                 CBenchTable::Count(m_render.marks) + " hit marks a pass)",
             "median " + CBenchTable::Milliseconds(m_render.median) + ", 90th percentile " +
                 CBenchTable::Milliseconds(m_render.p90) + ", max " + CBenchTable::Milliseconds(m_render.max)});
        for (const FirstListPage& first : m_firstPages) {
            if (first.bFirstSearch) {
                otherTable.AddRow({"the first search of a session to its first list page (`" + first.keywords +
                                       "`, range: slot 1, " + CBenchTable::Count(first.pages) +
                                       " pages; the index opened afresh, untimed; search + rows + forms line + text "
                                       "parts and text of the first 100 rows, as the window makes them)",
                                   CBenchTable::Milliseconds(first.seconds) + " (search alone " +
                                       CBenchTable::Milliseconds(first.searchSeconds) + ")"});
                continue;
            }
            otherTable.AddRow({"search to the first list page (" + std::string(first.bOr ? "or" : "and") + " `" +
                                   first.keywords + "`, range: slot 1, " + CBenchTable::Count(first.pages) +
                                   " pages; search + rows + text of the first 100 rows)",
                               CBenchTable::Milliseconds(first.seconds) + " (search alone " +
                                   CBenchTable::Milliseconds(first.searchSeconds) + ")"});
        }
        for (const auto& [strKeyword, cost] : m_searchCosts) {
            otherTable.AddRow(
                {"peak memory of `tessaline-cli search --data " + m_options.m_strCorpus + " " + strKeyword + "`",
                 cost.ok ? CBenchTable::Megabytes(cost.peakBytes) + " (" + CBenchTable::Seconds(cost.seconds) +
                               " wall, with printing the rows)"
                         : cost.error});
        }
        if (!m_options.m_strReader.empty()) {
            otherTable.AddRow({"peak memory of the desktop reader `" + m_options.m_strReader + " --data " +
                                   m_options.m_strCorpus + " --no-splash`, started under xvfb-run and ended after " +
                                   std::to_string(ReaderSeconds) + " s (no search)",
                               m_readerMemory.ok ? CBenchTable::Megabytes(m_readerMemory.peakBytes) +
                                                       " (its process); with the page view's helper processes " +
                                                       CBenchTable::Megabytes(m_readerMemory.treeBytes) + " resident"
                                                 : m_readerMemory.error});
        }
        out += otherTable.Format() + "\n";
    }
    return out;
}
