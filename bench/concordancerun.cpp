#include "bench/concordancerun.h"

#include "bench/benchtable.h"
#include "bench/benchtimer.h"
#include "bench/ourengine.h"
#include "bench/processtools.h"
#include "model/citation.h"
#include "model/concordance.h"

#include <cstdio>
#include <numeric>
#include <string>
#include <vector>

namespace {

// The rows of the window's first screen, and the pages the pane reads
// between two looks at the clock.
constexpr size_t kFirstScreenRows = 100;
constexpr size_t kPagesPerStep = 32;
constexpr size_t kRounds = 5;

}  // namespace

bool CConcordanceRun::Run() {
    std::string strError;
    COurEngine ours;
    if (!ours.Open(m_options.m_strCorpus, strError)) return Fail(strError);
    const CCitation citation(ours.Tree());
    const std::string strLoadBefore = CProcessTools::LoadAverage();
    CBenchTable table({"keywords", "pages", "rows", "search and rows", "first screen", "all rows", "sort right",
                       "sort left", "export CSV", "CSV size"});
    for (const char* pszKeywords : {"不", "明月", "天下", "春*花", "白日依山盡", "獨在異鄉為異客"}) {
        CBenchQuery query;
        if (!query.Parse(pszKeywords, strError)) return Fail(strError);
        std::vector<double> search, first, all, right, left, exported;
        std::vector<uint32_t> pages, hits;
        size_t nRows = 0, nBytes = 0;
        for (size_t nRound = 0; nRound < kRounds; ++nRound) {
            double dStart = CBenchTimer::Now();
            if (!ours.Run(query, strError)) return Fail(strError);
            search.push_back(CBenchTimer::Now() - dStart);
            ours.LastResult(pages, hits);
            const std::vector<int32_t> rows(pages.begin(), pages.end());

            CConcordance concordance;
            dStart = CBenchTimer::Now();
            concordance.Start(ours.Index(), rows, query.Keywords(), true, TextPart::WholeText);
            while (concordance.Rows().size() < kFirstScreenRows && concordance.Continue(kPagesPerStep)) {
            }
            first.push_back(CBenchTimer::Now() - dStart);
            while (concordance.Continue(1024)) {
            }
            all.push_back(CBenchTimer::Now() - dStart);
            nRows = concordance.Rows().size();
            dStart = CBenchTimer::Now();
            concordance.Sort(CConcordance::Order::Right);
            right.push_back(CBenchTimer::Now() - dStart);
            dStart = CBenchTimer::Now();
            concordance.Sort(CConcordance::Order::Left);
            left.push_back(CBenchTimer::Now() - dStart);
            dStart = CBenchTimer::Now();
            nBytes = concordance.Export(CConcordance::Format::Csv, citation).size();
            exported.push_back(CBenchTimer::Now() - dStart);
        }
        const uint64_t nHits = std::accumulate(hits.begin(), hits.end(), uint64_t{0});
        if (nRows != nHits)
            Progress(std::string(pszKeywords) + ": " + std::to_string(nRows) + " concordance rows, but the search counts " +
                     std::to_string(nHits) + " hits");
        char szSize[32];
        std::snprintf(szSize, sizeof szSize, "%.1f MB", static_cast<double>(nBytes) / 1e6);
        table.AddRow({"`" + std::string(pszKeywords) + "`", std::to_string(pages.size()),
                      std::to_string(nRows) + (nRows == nHits ? "" : " (hits: " + std::to_string(nHits) + ")"),
                      CBenchTable::Milliseconds(CBenchTimer::Median(search)),
                      CBenchTable::Milliseconds(CBenchTimer::Median(first)),
                      CBenchTable::Milliseconds(CBenchTimer::Median(all)),
                      CBenchTable::Milliseconds(CBenchTimer::Median(right)),
                      CBenchTable::Milliseconds(CBenchTimer::Median(left)),
                      CBenchTable::Milliseconds(CBenchTimer::Median(exported)), szSize});
    }
    std::string out = "Median of " + std::to_string(kRounds) +
                      " rounds, variants on, the whole corpus (every category). *First screen*: from the start of the "
                      "concordance to its first " + std::to_string(kFirstScreenRows) +
                      " rows, read " + std::to_string(kPagesPerStep) +
                      " pages at a time as the window's pane reads them; *all rows*: from the same start to the last "
                      "row. Every concordance's rows equal the search's hits unless the row says otherwise. Load "
                      "average: " + strLoadBefore + " at the start, " + CProcessTools::LoadAverage() + " at the end.\n\n";
    out += table.Format();
    Print(out);
    return true;
}
