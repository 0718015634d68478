#pragma once

#include <cstddef>
#include <functional>
#include <vector>

// Times a piece of work the same way for every engine: one warm-up call
// (not timed), then at least MinRuns timed calls, more while they take
// less than MinSeconds in all (at most MaxRuns); the figure is the median.
class CBenchTimer {
public:
    static constexpr size_t MinRuns = 7;
    static constexpr size_t MaxRuns = 51;
    static constexpr double MinSeconds = 0.3;

    // Seconds on a monotonic clock.
    static double Now();
    static double Median(std::vector<double> samples);

    // Runs work as above; returns the median in seconds. work returns false
    // to stop (an engine error): the samples so far count.
    double Measure(const std::function<bool()>& work);

    // Times several pieces of work side by side, so that a burst of other
    // load on the machine falls on all of them alike: one untimed call of
    // each, then nRounds rounds in which each work is called (each call
    // timed on its own) until it has taken dSlice seconds, at least once.
    // samples[i] receives work i's times; a work that returns false is not
    // called again.
    static void Interleave(const std::vector<std::function<bool()>>& works, size_t nRounds, double dSlice,
                           std::vector<std::vector<double>>& samples);

    size_t Runs() const { return m_samples.size(); }
    const std::vector<double>& Samples() const { return m_samples; }

private:
    std::vector<double> m_samples;
};
