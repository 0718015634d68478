#pragma once

#include "bench/benchengine.h"
#include "bench/benchrun.h"
#include "bench/pageexport.h"
#include "bench/processtools.h"
#include "bench/queryoutcome.h"
#include "bench/readerfigures.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class COurEngine;

// The reader's search side by side with SQLite FTS5 (one token per
// character, and trigram), Xapian (one term per character), ripgrep and a
// brute-force scan, all built from the pages of --corpus exported once and
// asked the query set in one run, taking turns query by query; then the
// reader's other figures (rendering, the first list page, the peak memory
// of tessaline-cli and of the desktop reader). Prints the corpus, the query
// times, how each peer was asked, the builds and the other figures.
class CSideBySideRun : public CBenchRun {
public:
    explicit CSideBySideRun(const CBenchOptions& options);
    ~CSideBySideRun() override;
    bool Run() override;

private:
    // A timed build (or a reused one) of an engine.
    struct BuildOutcome {
        bool ok = false;
        bool reused = false;
        double seconds = 0;
        uint64_t bytes = 0;
        std::string note;
        std::string error;
    };
    // One engine, in the order of the table's columns.
    struct EngineSlot {
        std::string key;     // its --engines name
        std::string column;  // its column in the tables
        std::unique_ptr<CBenchEngine> engine;
        std::string path;    // its index under --out (ours: the corpus)
        BuildOutcome build;
    };

    // Builds a peer's index at strPath, or with bReuse opens the one built
    // earlier when the stamp file holds the same corpus stamp; a new build
    // writes the stamp and its time there.
    static BuildOutcome BuildPeer(CBenchEngine& engine, const CPageExport& pages, const std::string& strPath,
                                  const std::string& strStampPath, const std::string& strStamp, bool bReuse);
    // How long the desktop reader runs before its memory is read.
    static constexpr int ReaderSeconds = 20;

    // A query time with ✓ or ✗ and the pages (the scan's: the time alone).
    static std::string Cell(const QueryOutcome& outcome, bool bScan);

    bool Export();
    void MakeEngines();
    bool BuildEngines();
    void RunQueries();
    // The reader's other figures and the commands' costs.
    void MeasureOthers();

    std::string FormatCorpus() const;
    std::string FormatQueryTimes() const;
    std::string FormatFirstRuns() const;
    std::string FormatTranslations() const;
    std::string FormatBuilds() const;
    std::string FormatOthers() const;

    std::vector<CBenchQuery> m_queries;
    CPageExport m_pages;
    double m_dRunStart = 0;
    double m_dExportSeconds = 0;
    uint64_t m_nIndexed = 0;  // exported characters with an index slot
    std::vector<EngineSlot> m_engines;
    std::vector<EngineSlot*> m_active;  // those asked for, and the scan (last)
    COurEngine* m_pOurs = nullptr;      // in m_engines
    std::string m_strRipgrepVersion;

    // Per query: the outcome of each active engine (parallel to m_active),
    // our pages, our first run.
    std::vector<std::vector<QueryOutcome>> m_outcomes;
    std::vector<std::vector<uint32_t>> m_ourPages;

    RenderFigures m_render;
    std::vector<FirstListPage> m_firstPages;
    CommandCost m_ourBuild;
    std::vector<std::pair<std::string, CommandCost>> m_searchCosts;
    ReaderMemory m_readerMemory;

    std::string m_strLoadBefore;
    std::string m_strLoadQueries;
    std::string m_strLoadAfterQueries;
    std::string m_strLoadAfter;
};
