#pragma once

// The console report of Google Benchmark, keeping the time per iteration of each benchmark so
// that a program can print its ratios once the runs are over.

#include "support/PrintRatio.h"

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter
{
public:
    std::map<std::string, double> perIteration;

    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs)
            perIteration[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    // Time of work over time of reference, 0 when the reference did not run.
    double ratio(const std::string &work, const std::string &reference)
    {
        const double base = perIteration[reference];
        return base > 0 ? perIteration[work] / base : 0.0;
    }
};
