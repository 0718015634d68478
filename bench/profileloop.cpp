#include "bench/profileloop.h"

#include "bench/benchtimer.h"
#include "bench/ourengine.h"

#include <cstdio>
#include <string>
#include <vector>

bool CProfileLoop::Run() {
    std::vector<CBenchQuery> queries;
    if (!ReadQueries(queries)) return false;
    std::string strError;
    COurEngine ours;
    if (!ours.Open(m_options.m_strCorpus, strError)) return Fail(strError);
    std::vector<const CBenchQuery*> chosen;
    for (const CBenchQuery& query : queries)
        if (m_options.m_strLoop == "all" || query.m_strId == m_options.m_strLoop) chosen.push_back(&query);
    if (chosen.empty()) return Fail("--loop " + m_options.m_strLoop + ": no such query id");
    size_t nRuns = 0;
    double dSeconds = 0;  // in the runs alone
    const double dStart = CBenchTimer::Now();
    while (CBenchTimer::Now() - dStart < m_options.m_dSeconds) {
        for (const CBenchQuery* pQuery : chosen) {
            if (m_options.m_bFirst && !ours.Reopen(strError)) return Fail(strError);
            const double dRun = CBenchTimer::Now();
            if (!ours.Run(*pQuery, strError)) return Fail(strError);
            dSeconds += CBenchTimer::Now() - dRun;
            ++nRuns;
        }
    }
    std::printf("%zu runs in %.2f s: %.3f ms each\n", nRuns, dSeconds, dSeconds * 1000 / static_cast<double>(nRuns));
    return true;
}
