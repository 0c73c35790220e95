// Start-up: from CreateProcess to the arrival at a window of ours of the click
// that a player's script (Start No Box, LClick, End) makes, against
// CreateProcess to the exit of the minimal C++ GUI program of ours. The two are
// started in turn, after one unmeasured start of each.

#include "benchmarks.h"
#include "helpers/click_target.h"
#include "report.h"
#include "support/paths.h"
#include "support/process.h"

#include <optional>
#include <string>
#include <vector>

namespace bench {

namespace {

constexpr int Runs = 20;
constexpr double Target = 1.10;

std::optional<double> timeToExit(const std::string& program) {
    const double start = nowMs();
    e2e::RunningProgram run = e2e::startProgram(program);
    if (!run.started() || !run.waitForExit(GiveUpMs))
        return std::nullopt;
    return nowMs() - start;
}

std::optional<double> timeToClick(const std::string& player, e2e::ClickTarget& target) {
    target.window.clearMessages();
    const double start = nowMs();
    e2e::RunningProgram run = e2e::startProgram(player);
    if (!run.started() || !target.waitForClicks(1, GiveUpMs))
        return std::nullopt;
    const double clicked = nowMs() - start;
    if (!run.waitForExit(GiveUpMs))
        return std::nullopt;
    return clicked;
}

} // namespace

bool startUpBenchmark() {
    const std::string minimal = e2e::windowsPath(BENCH_MINIMAL_PROGRAM);
    const std::string player = e2e::windowsPath(BENCH_CLICK_PLAYER);
    e2e::ClickTarget target({.title = "start-up click target"});
    if (!target.aimed)
        return couldNot("put the pointer over the click target");

    std::vector<double> bare;
    std::vector<double> clicks;
    for (int run = 0; run <= Runs; ++run) {
        const std::optional<double> exited = timeToExit(minimal);
        if (!exited)
            return couldNot("run the minimal program");
        const std::optional<double> clicked = timeToClick(player, target);
        if (!clicked)
            return couldNot("see the click of the start-up player");
        if (run > 0) { // the first start of each fills the caches
            bare.push_back(*exited);
            clicks.push_back(*clicked);
        }
    }

    const double baseline = median(bare);
    const double value = median(clicks);
    const double ratio = value / baseline;
    printFigure({.name = "start-up to first click",
                 .baseline = baseline,
                 .baselineUnit = "ms",
                 .baselineNote = "CreateProcess to exit of a minimal static C++ GUI program, "
                                 "median of 20",
                 .value = value,
                 .valueUnit = "ms",
                 .valueNote = "CreateProcess to the click of Start No Box, LClick, End; median "
                              "of 20",
                 .ratio = ratio,
                 .target = "<= 1.10",
                 .verdict = ratio <= Target ? Verdict::Met : Verdict::Missed});
    printSeries("minimal program, ms", bare);
    printSeries("player to click, ms", clicks);
    return true;
}

} // namespace bench
