#include "bench/benchtimer.h"

#include <algorithm>
#include <chrono>

double CBenchTimer::Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double CBenchTimer::Median(std::vector<double> samples) {
    if (samples.empty()) return 0;
    std::sort(samples.begin(), samples.end());
    const size_t n = samples.size();
    return n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
}

double CBenchTimer::Measure(const std::function<bool()>& work) {
    m_samples.clear();
    if (!work()) return 0;
    double dTotal = 0;
    while (m_samples.size() < MaxRuns && (m_samples.size() < MinRuns || dTotal < MinSeconds)) {
        const double dStart = Now();
        const bool bOk = work();
        const double d = Now() - dStart;
        m_samples.push_back(d);
        dTotal += d;
        if (!bOk) break;
    }
    return Median(m_samples);
}

void CBenchTimer::Interleave(const std::vector<std::function<bool()>>& works, size_t nRounds, double dSlice,
                             std::vector<std::vector<double>>& samples) {
    samples.assign(works.size(), {});
    std::vector<bool> live(works.size(), true);
    for (size_t i = 0; i < works.size(); ++i) live[i] = works[i]();
    for (size_t nRound = 0; nRound < nRounds; ++nRound) {
        for (size_t i = 0; i < works.size(); ++i) {
            double dSpent = 0;
            while (live[i] && (dSpent == 0 || dSpent < dSlice)) {
                const double dStart = Now();
                live[i] = works[i]();
                const double d = Now() - dStart;
                samples[i].push_back(d);
                dSpent += d;
            }
        }
    }
}
