#include "bench/resultsrun.h"

#include "bench/benchtable.h"
#include "bench/benchtimer.h"
#include "bench/ourengine.h"
#include "bench/processtools.h"
#include "model/hitdistribution.h"
#include "model/resultlist.h"

#include <string>
#include <vector>

namespace {

constexpr size_t kRounds = 9;

int64_t PagesOf(const std::vector<HitCountTag>& counts) {
    int64_t nPages = 0;
    for (const HitCountTag& count : counts) nPages += count.nPages;
    return nPages;
}

}  // namespace

bool CResultsRun::Run() {
    std::string strError;
    COurEngine ours;
    if (!ours.Open(m_options.m_strCorpus, strError)) return Fail(strError);
    if (ours.Categories().empty()) return Fail(m_options.m_strCorpus + ": the catalogue holds no category");
    const ContentsNodeTag& range = *ours.Categories().front();
    const std::string strLoadBefore = CProcessTools::LoadAverage();
    CBenchTable table({"keywords", "rows", "books", "volumes", "search and rows", "per book", "per volume",
                       "reading order", "page order", "narrow to a book"});
    // One list for every search, as the window keeps its own: its buffers
    // stay allocated from one search to the next.
    CResultList rows;
    for (const char* pszKeywords : {"不", "，", "明月", "春*花", "白日依山盡"}) {
        CBenchQuery query;
        if (!query.Parse(pszKeywords, strError)) return Fail(strError);
        std::vector<double> search, books, volumes, reading, byPage, narrow;
        size_t nRows = 0, nBooks = 0, nVolumes = 0;
        for (size_t nRound = 0; nRound < kRounds; ++nRound) {
            double dStart = CBenchTimer::Now();
            std::u16string strKeywords = query.Keywords();
            if (query.m_bOr)
                ours.Index().SearchOr(strKeywords, true, true);
            else
                ours.Index().SearchAnd(strKeywords, true, true);
            rows.BuildResults(range, ours.Index().GetResultPages(), ours.Index().GetResultHits());
            search.push_back(CBenchTimer::Now() - dStart);
            nRows = rows.GetAllRowCount();

            dStart = CBenchTimer::Now();
            const std::vector<HitCountTag> perBook = CHitDistribution::Count(rows, CHitDistribution::Level::Book);
            books.push_back(CBenchTimer::Now() - dStart);
            dStart = CBenchTimer::Now();
            const std::vector<HitCountTag> perVolume = CHitDistribution::Count(rows, CHitDistribution::Level::Volume);
            volumes.push_back(CBenchTimer::Now() - dStart);
            nBooks = perBook.size();
            nVolumes = perVolume.size();
            if (PagesOf(perBook) != static_cast<int64_t>(nRows) || PagesOf(perVolume) != static_cast<int64_t>(nRows))
                return Fail(std::string(pszKeywords) + ": the counts per book or volume do not add up to the rows");

            dStart = CBenchTimer::Now();
            rows.SortRows(CResultList::Order::Reading);
            reading.push_back(CBenchTimer::Now() - dStart);
            dStart = CBenchTimer::Now();
            rows.SortRows(CResultList::Order::PageNumber);
            byPage.push_back(CBenchTimer::Now() - dStart);

            const HitCountTag* pMost = nullptr;
            for (const HitCountTag& count : perBook)
                if (count.pNode && (!pMost || count.nPages > pMost->nPages)) pMost = &count;
            dStart = CBenchTimer::Now();
            if (pMost && !rows.Narrow(pMost->pNode)) return Fail(std::string(pszKeywords) + ": the book holds no row");
            narrow.push_back(CBenchTimer::Now() - dStart);
        }
        table.AddRow({"`" + std::string(pszKeywords) + "`", std::to_string(nRows), std::to_string(nBooks),
                      std::to_string(nVolumes), CBenchTable::Milliseconds(CBenchTimer::Median(search)),
                      CBenchTable::Milliseconds(CBenchTimer::Median(books)),
                      CBenchTable::Milliseconds(CBenchTimer::Median(volumes)),
                      CBenchTable::Milliseconds(CBenchTimer::Median(reading)),
                      CBenchTable::Milliseconds(CBenchTimer::Median(byPage)),
                      CBenchTable::Milliseconds(CBenchTimer::Median(narrow))});
    }
    std::string out = "Median of " + std::to_string(kRounds) +
                      " rounds, variants on, the first category (the default search range). Counts of every row per "
                      "book and per volume, checked against the rows; the reading order is the contents tree's "
                      "(category, book, volume, page); *narrow to a book*: the rows of the book that holds most. "
                      "Load average: " + strLoadBefore + " at the start, " + CProcessTools::LoadAverage() +
                      " at the end.\n\n";
    out += table.Format();
    Print(out);
    return true;
}
