#include "bench/queryoutcome.h"

#include "bench/benchtimer.h"

#include <algorithm>
#include <utility>

void QueryOutcome::TakeResult(const CBenchEngine& engine) {
    ran = true;
    engine.LastResult(pages, hits);
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

QueryOutcome QueryOutcome::Measure(CBenchEngine& engine, const CBenchQuery& query) {
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
    outcome.TakeResult(engine);
    return outcome;
}

bool QueryOutcome::RunFirst(CBenchEngine& engine, const CBenchQuery& query, double& dSeconds,
                            std::vector<uint32_t>& pages, std::string& strError) {
    if (!engine.Reopen(strError)) return false;
    const double dStart = CBenchTimer::Now();
    if (!engine.Run(query, strError)) return false;
    dSeconds = CBenchTimer::Now() - dStart;
    QueryOutcome first;
    first.TakeResult(engine);
    pages = std::move(first.pages);
    return true;
}
