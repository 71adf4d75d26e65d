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

    // Of several repetitions, the best time is kept: the machine may be busy with something
    // else during some of them, never faster than its quiet self.
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred)
                continue;
            std::string name = run.run_name.function_name;
            if (!run.run_name.args.empty())
                name += "/" + run.run_name.args;
            const double t = run.GetAdjustedRealTime();
            const auto it = perIteration.find(name);
            if (it == perIteration.end() || t < it->second)
                perIteration[name] = t;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    // Time of work over time of reference, 0 when the reference did not run.
    double ratio(const std::string &work, const std::string &reference)
    {
        const double base = perIteration[reference];
        return base > 0 ? perIteration[work] / base : 0.0;
    }
};
