// The benchmarks of the player under Wine, one per run: wine_bench NAME.
// Exit code 0 when the benchmark ran, 1 when it could not, 2 for an unknown name.

#include "benchmarks.h"

#include <cstdio>
#include <cstring>

namespace {

struct Benchmark {
    const char* name;
    bool (*run)();
};

constexpr Benchmark Benchmarks[] = {
    {"start-up", bench::startUpBenchmark},       // start to first click
    {"break-key", bench::breakKeyBenchmark},     // key down to the end of the process
    {"reaction", bench::reactionBenchmark},      // colour change to the next command
    {"typing", bench::typingBenchmark},          // PutChar against raw key events
    {"working-set", bench::workingSetBenchmark}, // peak of a 10,000-line script
    {"recorder", bench::recorderBenchmark},      // CPU while recording
    {"studio", bench::studioBenchmark},          // keystroke, opening, working set
    {"points", bench::pointsBenchmark},          // the studio's points layer shown
};

} // namespace

int main(int argc, char** argv) {
    if (argc == 2) {
        for (const Benchmark& benchmark : Benchmarks) {
            if (std::strcmp(argv[1], benchmark.name) == 0)
                return benchmark.run() ? 0 : 1;
        }
    }
    std::fprintf(stderr, "usage: wine_bench NAME, NAME one of:");
    for (const Benchmark& benchmark : Benchmarks)
        std::fprintf(stderr, " %s", benchmark.name);
    std::fprintf(stderr, "\n");
    return 2;
}
