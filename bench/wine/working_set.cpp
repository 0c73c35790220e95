// Peak working set of players, read from outside with GetProcessMemoryInfo
// while they run: one with a three-line script against a bare program of ours
// that only waits, read the same way (what any process costs under Wine), and
// one with a 10,000-line script against the three-line one (what the lines
// cost). Under Wine every process maps Wine's own libraries, so the absolute
// figure says little about a player on Windows, and the 4 MB that it should
// stay below there cannot be checked here.

#include "benchmarks.h"
#include "report.h"
#include "support/paths.h"
#include "support/process.h"

#include <psapi.h>

#include <algorithm>
#include <iterator>
#include <optional>
#include <string>

namespace bench {

namespace {

constexpr int ScriptLines = 10000;
// How long the bare program is watched.
constexpr DWORD BareWatchMs = 1000;

// Lines that finish at once and leave the desktop as it was, in all three name
// forms: pointer moves, zero delays, colour waits on a point off the screen
// (read as FFFFFF), the pointer kept and put back, windows that do not exist.
constexpr const char* BodyLines[] = {
    "MoveTo 960 540",
    "指针移至 900 500",
    "MMT 960 540",
    "Delay 0",
    "延时 0",
    "DLY 0",
    "WaitColor 5000 5000 FFFFFF",
    "取点颜色不等则继续 5000 5000 000000",
    "WCR 5000 5000 FFFFFF",
    "Remeber Mouse Position",
    "恢复最近鼠标位置",
    "SMP",
    "Top Caption no such window",
    "激活窗口类 NoSuchClass",
    "REM ten thousand lines",
};

// Start No Box, the body lines in turn, and a last second of Delay in which
// the peak of the whole run is read once more.
std::string longScript(int lines) {
    std::string script = "Start No Box\n";
    const int bodyLines = lines - 3;
    for (int line = 0; line < bodyLines; ++line)
        script += std::string(BodyLines[line % std::size(BodyLines)]) + "\n";
    return script + "Delay 1000\nEnd\n";
}

// The largest peak working set the process reports, in KB, read every few
// milliseconds until it ends or `watchMs` have passed.
std::optional<double> peakWorkingSetKb(e2e::RunningProgram& run, DWORD watchMs) {
    SIZE_T peak = 0;
    const double start = nowMs();
    while (run.running() && nowMs() - start < watchMs) {
        PROCESS_MEMORY_COUNTERS memory{};
        memory.cb = sizeof memory;
        if (GetProcessMemoryInfo(run.processHandle(), &memory, sizeof memory))
            peak = std::max(peak, memory.PeakWorkingSetSize);
        Sleep(5);
    }
    if (peak == 0)
        return std::nullopt;
    return static_cast<double>(peak) / 1024.0;
}

std::optional<double> playerPeakKb(const std::string& name, const std::string& script) {
    const std::string player = e2e::playerWithScript(name, script);
    if (player.empty())
        return std::nullopt;
    e2e::RunningProgram run = e2e::startProgram(player);
    if (!run.started())
        return std::nullopt;
    const std::optional<double> peak = peakWorkingSetKb(run, GiveUpMs);
    if (run.running())
        return std::nullopt; // the script did not end in time
    return peak;
}

std::string kilobytes(double value) {
    return std::to_string(static_cast<long long>(value)) + " KB";
}

} // namespace

bool workingSetBenchmark() {
    e2e::RunningProgram bare = e2e::startProgram(e2e::windowsPath(BENCH_KEY_WAIT_PROGRAM));
    if (!bare.started())
        return couldNot("start the bare program");
    const std::optional<double> baseline = peakWorkingSetKb(bare, BareWatchMs);
    bare.kill();
    if (!baseline)
        return couldNot("read the bare program's working set");

    const std::optional<double> small =
        playerPeakKb("bench_short_script", "Start No Box\nDelay 1000\nEnd\n");
    if (!small)
        return couldNot("read the working set of the player of three lines");
    const std::optional<double> large = playerPeakKb("bench_long_script", longScript(ScriptLines));
    if (!large)
        return couldNot("read the working set of the player of 10,000 lines");

    printFigure({.name = "peak working set, three-line script",
                 .baseline = *baseline,
                 .baselineUnit = "KB",
                 .baselineNote = "a bare program of ours waiting for a key",
                 .value = *small,
                 .valueUnit = "KB",
                 .valueNote = "the player running Start No Box, Delay 1000, End",
                 .ratio = *small / *baseline,
                 .target = "none (< 4 MB on Windows cannot be checked under Wine)",
                 .verdict = Verdict::None});
    printDetail("the player above the bare program: " + kilobytes(*small - *baseline));
    printDetail("the target of 4 MB is for the player on Windows. Under Wine every process "
                "maps Wine's own libraries (the bare program alone has " +
                kilobytes(*baseline) +
                "), so it cannot be checked here: the figures above the "
                "bare program are what the player adds");

    printFigure({.name = "peak working set per 10,000 script lines",
                 .baseline = *small,
                 .baselineUnit = "KB",
                 .baselineNote = "the player running a three-line script",
                 .value = *large,
                 .valueUnit = "KB",
                 .valueNote = "the player running a 10,000-line script",
                 .ratio = *large / *small,
                 .target = "none",
                 .verdict = Verdict::None});
    printDetail("10,000 lines add " + kilobytes(*large - *small) + ", " +
                std::to_string(static_cast<long long>((*large - *small) * 1024 / ScriptLines)) +
                " bytes per line");
    printDetail("the 10,000-line player above the bare program: " + kilobytes(*large - *baseline));
    return true;
}

} // namespace bench
