// Start-up: from CreateProcess to the arrival at a window of ours of the click
// that a player's script (Start No Box, LClick, End) makes, against two
// programs of ours, from CreateProcess to their exit: the minimal C++ GUI
// program, and the same with the one hidden window that the player makes at
// start-up, made the same way. Under Wine's X11 driver that first window is
// most of the difference, so the target holds against the window program. The
// three are started in turn, after one unmeasured start of each.

#include "benchmarks.h"
#include "helpers/click_target.h"
#include "report.h"
#include "support/paths.h"
#include "support/process.h"

#include <cstdio>
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
    const std::string windowed = e2e::windowsPath(BENCH_WINDOW_PROGRAM);
    const std::string player = e2e::windowsPath(BENCH_CLICK_PLAYER);
    e2e::ClickTarget target({.title = "start-up click target"});
    if (!target.aimed)
        return couldNot("put the pointer over the click target");

    std::vector<double> bare;
    std::vector<double> window;
    std::vector<double> clicks;
    for (int run = 0; run <= Runs; ++run) {
        const std::optional<double> exited = timeToExit(minimal);
        if (!exited)
            return couldNot("run the minimal program");
        const std::optional<double> windowExited = timeToExit(windowed);
        if (!windowExited)
            return couldNot("run the minimal program with a window");
        const std::optional<double> clicked = timeToClick(player, target);
        if (!clicked)
            return couldNot("see the click of the start-up player");
        if (run > 0) { // the first start of each fills the caches
            bare.push_back(*exited);
            window.push_back(*windowExited);
            clicks.push_back(*clicked);
        }
    }

    const double value = median(clicks);
    const std::string valueNote =
        "CreateProcess to the click of Start No Box, LClick, End; median of 20";
    const double windowBaseline = median(window);
    const double windowRatio = value / windowBaseline;
    printFigure({.name = "start-up to first click",
                 .baseline = windowBaseline,
                 .baselineUnit = "ms",
                 .baselineNote = "CreateProcess to exit of a minimal static C++ GUI program that "
                                 "makes one hidden window as the player does, median of 20",
                 .value = value,
                 .valueUnit = "ms",
                 .valueNote = valueNote,
                 .ratio = windowRatio,
                 .target = "<= 1.10",
                 .verdict = windowRatio <= Target ? Verdict::Met : Verdict::Missed});
    printSeries("minimal program with the window, ms", window);
    printSeries("player to click, ms", clicks);

    const double bareBaseline = median(bare);
    printFigure({.name = "start-up to first click, against a program without a window",
                 .baseline = bareBaseline,
                 .baselineUnit = "ms",
                 .baselineNote = "CreateProcess to exit of a minimal static C++ GUI program, "
                                 "median of 20",
                 .value = value,
                 .valueUnit = "ms",
                 .valueNote = valueNote,
                 .ratio = value / bareBaseline,
                 .target = "none",
                 .verdict = Verdict::None});
    printSeries("minimal program, ms", bare);
    char windowCost[80];
    std::snprintf(windowCost, sizeof windowCost,
                  "the window alone: %.1f ms (difference of the medians)",
                  windowBaseline - bareBaseline);
    printDetail(windowCost);
    return true;
}

} // namespace bench
