// Reaction time: a player waits with WaitColor for a point of the screen to
// turn red, then clicks. A red window of ours appears over the point; from the
// moment the point shows red to the arrival of the click at another window of
// ours. Against the 10 ms interval at which the wait reads the screen.

#include "benchmarks.h"
#include "helpers/click_target.h"
#include "report.h"
#include "runner/executor.h"
#include "support/paths.h"
#include "support/process.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace bench {

namespace {

constexpr int Runs = 20;
constexpr double PollMs = 10;
// The player is in its colour wait this long after its start.
constexpr DWORD SettleMs = 500;

bool pointIsRed(POINT point) {
    return std::string(screenColourText(point.x, point.y).text) == "FF0000";
}

// Waits, testing every millisecond, until the point is red or is not; the
// moment it was seen so, or none on timeout.
std::optional<double> waitForRed(POINT point, bool red) {
    const double start = nowMs();
    for (;;) {
        if (pointIsRed(point) == red)
            return nowMs();
        if (nowMs() - start > GiveUpMs)
            return std::nullopt;
        Sleep(1);
    }
}

std::optional<double> reactionTime(const std::string& player, HWND cover, POINT point,
                                   e2e::ClickTarget& target) {
    target.window.clearMessages();
    e2e::RunningProgram run = e2e::startProgram(player);
    if (!run.started())
        return std::nullopt;
    Sleep(SettleMs);
    // In front of everything, and the click target keeps the focus.
    SetWindowPos(cover, HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    const std::optional<double> redAt = waitForRed(point, true);
    const bool clicked = redAt && target.waitForClicks(1, GiveUpMs);
    const double clickedAt = nowMs();
    ShowWindow(cover, SW_HIDE);
    if (!clicked || !run.waitForExit(GiveUpMs) || !waitForRed(point, false))
        return std::nullopt;
    return clickedAt - *redAt;
}

} // namespace

bool reactionBenchmark() {
    e2e::TestWindow cover({.title = "reaction red cover",
                           .x = 1200,
                           .y = 200,
                           .width = 300,
                           .height = 200,
                           .background = RGB(0xFF, 0x00, 0x00)});
    e2e::ClickTarget target({.title = "reaction click target", .x = 100, .y = 100});
    if (cover.handle() == nullptr)
        return couldNot("make the red cover");
    POINT point{150, 100};
    ClientToScreen(cover.handle(), &point);
    ShowWindow(cover.handle(), SW_HIDE);
    if (!target.aimed || !waitForRed(point, false))
        return couldNot("set up the click target and the watched point");

    const std::string script = "Start No Box\nWaitColor " + std::to_string(point.x) + " " +
                               std::to_string(point.y) + " FF0000\nLClick\nEnd\n";
    const std::string player = e2e::playerWithScript("bench_reaction", script);
    if (player.empty())
        return couldNot("make the WaitColor player");

    std::vector<double> reactions;
    for (int run = 0; run < Runs; ++run) {
        const std::optional<double> reaction = reactionTime(player, cover.handle(), point, target);
        if (!reaction)
            return couldNot("see the WaitColor player react");
        reactions.push_back(*reaction);
    }

    const double value = median(reactions);
    char valueNote[64];
    std::snprintf(valueNote, sizeof valueNote, "red to click, median of 20, worst %.1f ms",
                  worst(reactions));
    printFigure({.name = "reaction to a colour",
                 .baseline = PollMs,
                 .baselineUnit = "ms",
                 .baselineNote = "the interval of the colour wait's screen reads",
                 .value = value,
                 .valueUnit = "ms",
                 .valueNote = valueNote,
                 .ratio = value / PollMs,
                 .target = "none",
                 .verdict = Verdict::None});
    printSeries("red to click, ms", reactions);
    return true;
}

} // namespace bench
