#include "bench/scalerun.h"

#include "bench/benchtable.h"
#include "bench/benchtimer.h"
#include "bench/ourengine.h"
#include "bench/pageexport.h"
#include "bench/processtools.h"
#include "bench/queryoutcome.h"
#include "bench/scanengine.h"
#include "bench/syntheticcorpus.h"
#include "builder/corpuswriter.h"
#include "corpus/catalog.h"
#include "corpus/corpusfiles.h"
#include "index/indexwriter.h"
#include "text/varianttable.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

bool CScaleRun::Run() {
    std::vector<CBenchQuery> queries;
    if (!ReadQueries(queries)) return false;
    std::string strError;
    std::error_code ec;
    fs::create_directories(m_options.m_strOut, ec);
    const std::string strLoadBefore = CProcessTools::LoadAverage();

    Progress("exporting the pages of " + m_options.m_strCorpus);
    auto pBase = std::make_unique<CPageExport>();
    if (!pBase->Read(m_options.m_strCorpus, strError)) return Fail(strError);
    std::vector<CatalogRecord> catalog;
    if (!CCatalog::Read(m_options.m_strCorpus + "/" + CCorpusFiles::Catalogue, catalog, strError))
        return Fail(strError);
    const uint64_t nBaseChars = pBase->Chars().size();
    const uint32_t nBasePages = pBase->PageCount();

    // What one copy adds to the bounded files: the page store's content file
    // (32-bit signed ends: 2 GiB) and the whole-text postings (4 GiB).
    const double dStoreBytes = static_cast<double>(CProcessTools::PathBytes(m_options.m_strCorpus + "/Index-fl.cnt"));
    const double dPostingsBytes = static_cast<double>(CProcessTools::PathBytes(m_options.m_strCorpus + "/Index-idx.m"));
    if (dStoreBytes <= 0 || dPostingsBytes <= 0)
        return Fail(m_options.m_strCorpus + "/" + (dStoreBytes <= 0 ? "Index-fl.cnt" : "Index-idx.m") +
                    ": missing or empty, so the bounds of a larger corpus cannot be estimated");
    const double dStoreCopies = static_cast<double>(INT32_MAX) / dStoreBytes;
    const double dPostingsCopies = static_cast<double>(CIndexWriter::MaxPostingsBlocks) * 4096.0 / dPostingsBytes;
    // Shuffled copies have other titles and positions; keep a margin.
    const size_t nFit = static_cast<size_t>(std::min(dStoreCopies, dPostingsCopies) * 0.98);
    size_t nCopies = m_options.m_nScale;
    std::string strBoundNote;
    char szBound[512];
    std::snprintf(szBound, sizeof szBound,
                  "One copy adds %.1f MB to the page store's content file, whose 32-bit record ends hold 2 GiB: "
                  "reached at %.1f copies (%.0f million characters); and %.1f MB to the whole-text postings, which "
                  "hold 4 GiB: reached at %.1f copies (%.0f million characters).",
                  dStoreBytes / 1e6, dStoreCopies, dStoreCopies * static_cast<double>(nBaseChars) / 1e6,
                  dPostingsBytes / 1e6, dPostingsCopies, dPostingsCopies * static_cast<double>(nBaseChars) / 1e6);
    strBoundNote = szBound;
    if (nCopies > nFit && !m_options.m_bScaleForce) {
        strBoundNote += " " + std::to_string(m_options.m_nScale) + " copies do not fit; built " + std::to_string(nFit) +
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

    const std::string strScaleFolder = m_options.m_strOut + "/scale";
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
    variants.LoadFile(m_options.m_strCorpus + "/" + CCorpusFiles::Variants);
    const bool bBuilt = writer.Write(*pSource, variants, strScaleFolder, strError);
    const double dBuildSeconds = CBenchTimer::Now() - dBuildStart;
    const uint64_t nPeakBuild = CProcessTools::PeakRss();
    const size_t nPages = pSource->PageCount();
    pSource.reset();

    std::string out;
    out += strBoundNote + "\n\n";
    if (!bBuilt) {
        out += "The build of " + std::to_string(nCopies) + " copies (" + CBenchTable::Count(nPages) +
               " pages) failed after " + CBenchTable::Seconds(dBuildSeconds) + ": " + strError + "\n";
        Print(out);
        return Fail("the build of " + std::to_string(nCopies) + " copies failed: " + strError);
    }
    const CorpusSummary summary = writer.Summary();
    CBenchTable buildTable({"what", "figure"});
    buildTable.AddRow(
        {"copies of the corpus (the first as it is, the others shuffled within each run)", std::to_string(nCopies)});
    buildTable.AddRow({"pages", CBenchTable::Count(summary.pages)});
    buildTable.AddRow({"characters (indexed)",
                       CBenchTable::Count(summary.characters) + " (" + CBenchTable::Count(summary.indexed) + ")"});
    buildTable.AddRow({"making the source in memory",
                       CBenchTable::Seconds(dMakeSeconds) + ", " + CBenchTable::Megabytes(nSourceBytes) + " of text"});
    buildTable.AddRow({"build (CCorpusWriter, in process, under nice)", CBenchTable::Seconds(dBuildSeconds)});
    buildTable.AddRow({"peak resident memory of the process",
                       CBenchTable::Megabytes(nPeakBuild) + " (" + CBenchTable::Megabytes(nRssBeforeBuild) +
                           " before the build: the source and what the export left)"});
    for (const char* pszName : {"Index-fl.cnt", "Index-idx.m", "Index_content-idx.m", "Index_desc-idx.m"})
        buildTable.AddRow({std::string("size of ") + pszName,
                           CBenchTable::Megabytes(CProcessTools::PathBytes(strScaleFolder + "/" + pszName))});
    buildTable.AddRow({"size of the corpus folder", CBenchTable::Megabytes(CProcessTools::PathBytes(strScaleFolder))});
    out += buildTable.Format() + "\n";
    if (nCopies > 1) {
        // The bounds again, from what the shuffled copies actually added.
        const double dStoreStep =
            (static_cast<double>(CProcessTools::PathBytes(strScaleFolder + "/Index-fl.cnt")) - dStoreBytes) /
            static_cast<double>(nCopies - 1);
        const double dPostingsStep =
            (static_cast<double>(CProcessTools::PathBytes(strScaleFolder + "/Index-idx.m")) - dPostingsBytes) /
            static_cast<double>(nCopies - 1);
        char szGrowth[512];
        std::snprintf(szGrowth, sizeof szGrowth,
                      "Each further (shuffled) copy added %.1f MB to the page store's content file and %.1f MB to the "
                      "whole-text postings: at that rate the page store's 2 GiB are reached at %.1f copies and the "
                      "postings' 4 GiB at %.1f copies (%.0f million characters).\n\n",
                      dStoreStep / 1e6, dPostingsStep / 1e6,
                      1 + (static_cast<double>(INT32_MAX) - dStoreBytes) / dStoreStep,
                      1 + (4294967296.0 - dPostingsBytes) / dPostingsStep,
                      (1 + (4294967296.0 - dPostingsBytes) / dPostingsStep) * static_cast<double>(nBaseChars) / 1e6);
        out += szGrowth;
    }

    // Queries through our road on the large corpus.
    COurEngine ours;
    if (!ours.Open(strScaleFolder, strError)) return Fail(strError);
    std::unique_ptr<CPageExport> pScaled;
    std::unique_ptr<CScanEngine> pScan;
    if (m_options.m_bScaleCheck) {
        Progress("exporting the large corpus for the scan");
        pScaled = std::make_unique<CPageExport>();
        if (!pScaled->Read(strScaleFolder, strError)) return Fail(strError);
        pScan = std::make_unique<CScanEngine>();
        pScan->Build(*pScaled, "", strError);
    }
    CBenchTable queryTable(
        {"id", "query", "pages", "time", "first run", "same pages as the scan", "in the first copy"});
    for (const CBenchQuery& query : queries) {
        Progress("query " + query.m_strId + " " + query.m_strText);
        // First runs (the index opened afresh before each), then warm.
        std::vector<double> firsts;
        std::vector<uint32_t> firstPages;
        std::string strFirstError;
        for (size_t r = 0; r < QueryOutcome::FirstRounds && strFirstError.empty(); ++r) {
            double dSeconds = 0;
            if (QueryOutcome::RunFirst(ours, query, dSeconds, firstPages, strFirstError)) firsts.push_back(dSeconds);
        }
        QueryOutcome outcome = QueryOutcome::Measure(ours, query);
        std::string strFirst = !strFirstError.empty() ? strFirstError
                               : firsts.empty()       ? "–"
                                                      : CBenchTable::Milliseconds(CBenchTimer::Median(firsts));
        if (outcome.ran && strFirstError.empty() && firstPages != outcome.pages) strFirst += " ≠";
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
                           outcome.ran ? CBenchTable::Milliseconds(outcome.seconds) : outcome.error, strFirst,
                           strCheck, CBenchTable::Count(nFirstCopy)});
    }
    out += queryTable.Format() + "\n";
    out += "*First run*: median of " + std::to_string(QueryOutcome::FirstRounds) +
           " runs, each on the index opened afresh (no page directory; the files in the operating system's cache); "
           "≠: other pages than the warm runs. *In the first copy*: of the pages found, those in the first copy (the "
           "default corpus unchanged); the shuffled copies keep the characters' frequencies but break most "
           "phrases.\n\n";

    const std::vector<std::pair<std::string, CommandCost>> searchCosts = MeasureSearches(strScaleFolder);
    CBenchTable memoryTable({"what", "figure"});
    for (const auto& [strKeyword, cost] : searchCosts)
        memoryTable.AddRow(
            {"peak memory of `tessaline-cli search` for " + strKeyword + " (range: slot 1, one copy)",
             cost.ok ? CBenchTable::Megabytes(cost.peakBytes) + " (" + CBenchTable::Seconds(cost.seconds) + " wall)"
                     : cost.error});
    out += memoryTable.Format() + "\n";
    out += "Load average: " + strLoadBefore + " at the start, " + CProcessTools::LoadAverage() + " at the end.\n";
    Print(out);
    return true;
}
