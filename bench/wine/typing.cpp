// Typing speed: the characters per second that arrive at an edit control of
// ours from a player's PutChar, against the same key events (a down and an up
// per character, by keybd_event) sent by a bare program of ours. Both are timed
// from the first WM_CHAR at the control to the last; they run in turn.

#include "benchmarks.h"
#include "report.h"
#include "support/paths.h"
#include "support/process.h"
#include "support/test_window.h"
#include "traced_player.h"

#include <atomic>
#include <optional>
#include <string>
#include <vector>

namespace bench {

namespace {

constexpr int Characters = 2000;
constexpr int Runs = 7;
constexpr double Target = 1.20;
// A run is over when no character has arrived for this long.
constexpr double QuietMs = 2000;
constexpr int EditId = 1;
constexpr const char* CounterProperty = "bench.typing";
// Sent to the edit control: it takes the keyboard focus (on its own thread).
constexpr UINT TakeFocusMessage = WM_APP + 7;

// What the edit control has received, written on the window's thread.
struct CharacterCount {
    WNDPROC original = nullptr;
    double firstMs = 0;
    double lastMs = 0;
    std::atomic<int> count = 0; // stored after the times
};

LRESULT CALLBACK countingProcedure(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* counter = static_cast<CharacterCount*>(GetPropA(edit, CounterProperty));
    if (message == TakeFocusMessage) {
        SetFocus(edit);
        return 0;
    }
    if (message == WM_CHAR) {
        const double now = nowMs();
        if (counter->count.load() == 0)
            counter->firstMs = now;
        counter->lastMs = now;
        counter->count.fetch_add(1);
    }
    return CallWindowProcA(counter->original, edit, message, wParam, lParam);
}

// Letters and digits: each is typed as the plain key it names and arrives as one WM_CHAR.
std::string typedText() {
    const std::string cycle = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string text;
    while (text.size() < Characters)
        text += cycle[text.size() % cycle.size()];
    return text;
}

// Characters per second of one run of `program`.
std::optional<double> typingRate(const std::string& program, const std::string& arguments,
                                 HWND edit, CharacterCount& counter) {
    SetWindowTextA(edit, "");
    counter.count.store(0);
    e2e::RunningProgram run = e2e::startProgram(program, arguments);
    if (!run.started() || !run.waitForExit(GiveUpMs))
        return std::nullopt;
    // The receiving window is slower than the sender: characters go on
    // arriving after the program has ended. Over when none came for a while.
    int seen = counter.count.load();
    double changedAt = nowMs();
    while (counter.count.load() < Characters && nowMs() - changedAt < QuietMs) {
        if (counter.count.load() != seen) {
            seen = counter.count.load();
            changedAt = nowMs();
        }
        Sleep(5);
    }
    if (counter.count.load() != Characters)
        return std::nullopt;
    return (Characters - 1) * 1000.0 / (counter.lastMs - counter.firstMs);
}

} // namespace

bool typingBenchmark() {
    e2e::TestWindow window({.title = "typing target"});
    const HWND edit = window.addControl("edit", EditId, "", true, ES_AUTOHSCROLL | WS_BORDER);
    if (edit == nullptr)
        return couldNot("make the edit control");
    CharacterCount counter;
    counter.original = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(edit, GWLP_WNDPROC));
    SetPropA(edit, CounterProperty, &counter);
    SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(countingProcedure));
    if (!window.activate())
        return couldNot("bring the edit control's window to the front");
    SendMessageA(edit, TakeFocusMessage, 0, 0);

    const std::string text = typedText();
    const std::string player =
        e2e::playerWithScript("bench_typing", "Start No Box\nPutChar " + text + "\nEnd\n");
    const std::string rawKeys = e2e::windowsPath(BENCH_RAW_KEYS_PROGRAM);
    if (player.empty())
        return couldNot("make the typing player");
    // The same script in a player as the studio runs it, posting to a window.
    const std::string traced = tracedPlayer(
        "bench_typing_traced", "Start No Box\nPutChar " + text + "\nEnd\n", window.handle());
    if (traced.empty())
        return couldNot("make the traced typing player");

    std::vector<double> rawRates;
    std::vector<double> playerRates;
    std::vector<double> tracedRates;
    for (int run = 0; run < Runs; ++run) {
        const std::optional<double> tracedRate = typingRate(traced, "", edit, counter);
        if (!tracedRate)
            return couldNot("count every PutChar character of the traced player");
        tracedRates.push_back(*tracedRate);
        const std::optional<double> raw = typingRate(rawKeys, text, edit, counter);
        if (!raw)
            return couldNot("count every raw key event's character at the edit control");
        const std::optional<double> typed = typingRate(player, "", edit, counter);
        if (!typed)
            return couldNot("count every PutChar character at the edit control");
        rawRates.push_back(*raw);
        playerRates.push_back(*typed);
    }
    SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(counter.original));
    RemovePropA(edit, CounterProperty);

    const double baseline = median(rawRates);
    const double value = median(playerRates);
    const double slowdown = baseline / value;
    printFigure({.name = "typing speed",
                 .baseline = baseline,
                 .baselineUnit = "chars/s",
                 .baselineNote =
                     "2000 characters as raw key events, down and up, by a bare program; "
                     "median of 7",
                 .value = value,
                 .valueUnit = "chars/s",
                 .valueNote = "PutChar of 2000 letters and digits, median of 7",
                 .ratio = slowdown,
                 .target = "raw rate / PutChar rate <= 1.20",
                 .verdict = slowdown <= Target ? Verdict::Met : Verdict::Missed});
    printSeries("raw key events, chars/s", rawRates);
    printSeries("PutChar, chars/s", playerRates);

    const double tracedValue = median(tracedRates);
    printFigure({.name = "typing speed, traced player",
                 .baseline = value,
                 .baselineUnit = "chars/s",
                 .baselineNote = "PutChar of the player above, median of 7",
                 .value = tracedValue,
                 .valueUnit = "chars/s",
                 .valueNote = "the same PutChar in a player the studio starts (trace resource, "
                              "posts to a live window), median of 7, runs interleaved",
                 .ratio = tracedValue / value,
                 .target = "traced / untraced >= 0.95",
                 .verdict = tracedValue / value >= 0.95 ? Verdict::Met : Verdict::Missed});
    printSeries("traced PutChar, chars/s", tracedRates);
    return true;
}

} // namespace bench
