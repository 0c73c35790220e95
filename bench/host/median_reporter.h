#pragma once
// Google Benchmark's console report, which also keeps the median of each
// benchmark for the BENCH lines: the median aggregate, or the one run when
// there is a single repetition.

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace bench {

struct Median {
    double cpuSeconds = 0;
    double realSeconds = 0;
    std::map<std::string, double> counters; // by the counter's name, per iteration as reported
    bool found = false;
};

// The counter `name` of a median; 0 when the benchmark did not set it.
inline double counterOf(const Median& median, const std::string& name) {
    const auto found = median.counters.find(name);
    return found == median.counters.end() ? 0.0 : found->second;
}

class MedianReporter : public benchmark::ConsoleReporter {
  public:
    MedianReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const bool single = run.run_type == Run::RT_Iteration && run.repetitions == 1;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if ((single || median) && !run.error_occurred) {
                const double perSecond = benchmark::GetTimeUnitMultiplier(run.time_unit);
                Median& kept = medians[run.run_name.function_name];
                kept = {run.GetAdjustedCPUTime() / perSecond,
                        run.GetAdjustedRealTime() / perSecond,
                        {},
                        true};
                for (const auto& [name, counter] : run.counters) {
                    kept.counters[name] = counter.value;
                }
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    std::map<std::string, Median> medians;
};

} // namespace bench
