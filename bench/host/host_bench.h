#pragma once
// What the host benchmarks share: their own flags among Google Benchmark's,
// and the console report that also keeps the median of each benchmark for the
// BENCH lines.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace bench {

// Reads and removes "--name=N" from the arguments; `fallback` when absent.
inline std::int64_t takeNumberFlag(int& argc, char** argv, const char* name,
                                   std::int64_t fallback) {
    const std::string prefix = std::string("--") + name + "=";
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], prefix.c_str(), prefix.size()) == 0) {
            const std::int64_t value = std::atoll(argv[i] + prefix.size());
            for (int j = i; j + 1 < argc; ++j) {
                argv[j] = argv[j + 1];
            }
            --argc;
            return value;
        }
    }
    return fallback;
}

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

// The median aggregate of each benchmark, or its one run when there is a
// single repetition, by the benchmark's name.
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
