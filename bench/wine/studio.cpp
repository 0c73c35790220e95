// The studio under Wine: a keystroke in a 10,000-line script until the
// problems list is up to date, against the same key reaching a plain edit
// control of a bare program; opening a 100,000-line script until it is shown,
// coloured and checked, and Ctrl+End through it, against a bare program that
// shows the same text in the same rich edit control (and, for opening, against
// reading and splitting the file); the studio's working set with the 10,000
// lines open, against that bare rich edit program and a bare program.
// Everything is read from outside, through the windows.

#include "benchmarks.h"
#include "helpers/studio_window.h"
#include "report.h"
#include "studio_ids.h"
#include "support/paths.h"
#include "support/process.h"

#include <psapi.h>

#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace bench {

namespace {

constexpr int KeystrokeLines = 10000;
constexpr int OpenLines = 100000;
constexpr int Keystrokes = 15;
constexpr int OpenRuns = 3;
constexpr int EndKeys = 5;
constexpr double FrameMs = 16;

constexpr const char* BodyLines[] = {
    "MoveTo 960 540",       "Delay 0",      "LClick", "REM a comment",
    "Wait Caption Notepad", "HotKey CTRL+S"};

std::string writeScript(const std::string& name, int lines) {
    std::string script = "Start No Box\r\n";
    for (int line = 0; line < lines - 2; ++line)
        script += std::string(BodyLines[line % std::size(BodyLines)]) + "\r\n";
    script += "End\r\n";
    const std::string path = e2e::workDirectory() + "\\" + name;
    std::ofstream(path, std::ios::binary) << script;
    return path;
}

void sendCharacter(wchar_t character) {
    INPUT input[2] = {};
    for (int i = 0; i < 2; ++i) {
        input[i].type = INPUT_KEYBOARD;
        input[i].ki.wScan = character;
        input[i].ki.dwFlags = KEYEVENTF_UNICODE | (i == 1 ? KEYEVENTF_KEYUP : 0);
    }
    SendInput(2, input, sizeof(INPUT));
}

void sendKey(WORD key, WORD modifier = 0) {
    std::vector<INPUT> inputs;
    auto add = [&](WORD virtualKey, bool up) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = virtualKey;
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    };
    if (modifier != 0)
        add(modifier, false);
    add(key, false);
    add(key, true);
    if (modifier != 0)
        add(modifier, true);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// Milliseconds from now until `done` holds, polling every half millisecond;
// none when it does not hold within the give-up time.
std::optional<double> timeUntil(const std::function<bool()>& done) {
    const double start = nowMs();
    while (!done()) {
        if (nowMs() - start > GiveUpMs)
            return std::nullopt;
        Sleep(0);
    }
    return nowMs() - start;
}

bool toFront(HWND window) {
    SetForegroundWindow(window);
    return timeUntil([&] { return GetForegroundWindow() == window; }).has_value();
}

// A space typed at the start of the last line ("End") makes it an error, a
// backspace mends it: each is timed until `changed` shows it.
bool timeKeystrokes(HWND window, const std::function<bool(bool broken)>& shows,
                    std::vector<double>& times) {
    if (!toFront(window))
        return couldNot("bring the window to the front");
    sendKey(VK_END, VK_CONTROL);
    sendKey(VK_HOME);
    Sleep(300);
    for (int i = 0; i < Keystrokes; ++i) {
        sendCharacter(L' ');
        const std::optional<double> broken = timeUntil([&] { return shows(true); });
        sendKey(VK_BACK);
        const std::optional<double> mended = timeUntil([&] { return shows(false); });
        if (!broken || !mended)
            return couldNot(broken ? "see the key mended" : "see the key break the line");
        times.push_back(*broken);
        times.push_back(*mended);
        Sleep(50);
    }
    return true;
}

std::optional<double> workingSetKb(HANDLE process) {
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    if (!GetProcessMemoryInfo(process, &memory, sizeof memory))
        return std::nullopt;
    return static_cast<double>(memory.WorkingSetSize) / 1024.0;
}

std::wstring titleOf(HWND window) {
    wchar_t title[256] = {};
    GetWindowTextW(window, title, 256);
    return title;
}

// The visible top-level window of a process once its title is `title`.
HWND windowTitled(DWORD processId, const std::wstring& title) {
    HWND found = nullptr;
    timeUntil([&] {
        for (HWND window : e2e::topLevelWindowsOf(processId)) {
            if (IsWindowVisible(window) && titleOf(window) == title)
                found = window;
        }
        return found != nullptr;
    });
    return found;
}

// Ctrl+End in `editor` of `window`, timed until the control shows the end of
// its `lines` lines and has nothing left to paint; Ctrl+Home between the runs.
bool timeCtrlEnd(HWND window, HWND editor, int lines, std::vector<double>& times) {
    if (!toFront(window))
        return couldNot("bring the window to the front");
    auto shown = [&](bool atEnd) {
        const LRESULT first = SendMessageW(editor, EM_GETFIRSTVISIBLELINE, 0, 0);
        return (atEnd ? first > lines - 200 : first == 0) && !GetUpdateRect(editor, nullptr, FALSE);
    };
    for (int i = 0; i < EndKeys; ++i) {
        sendKey(VK_HOME, VK_CONTROL);
        if (!timeUntil([&] { return shown(false); }))
            return couldNot("see Ctrl+Home reach the top");
        Sleep(200);
        sendKey(VK_END, VK_CONTROL);
        const std::optional<double> time = timeUntil([&] { return shown(true); });
        if (!time)
            return couldNot("see Ctrl+End reach the end");
        times.push_back(*time);
        Sleep(100);
    }
    return true;
}

} // namespace

bool studioBenchmark() {
    const std::string script = writeScript("bench_keystroke.txt", KeystrokeLines);

    // The floor: the same keys into a bare edit control holding the same text.
    e2e::RunningProgram edit = e2e::startProgram(e2e::windowsPath(BENCH_EDIT_WINDOW), script);
    HWND editWindow = nullptr;
    if (!timeUntil([&] {
            for (HWND window : e2e::topLevelWindowsOf(edit.processId())) {
                if (IsWindowVisible(window))
                    editWindow = window;
            }
            return editWindow != nullptr;
        }))
        return couldNot("start the bare edit window");
    HWND editControl = nullptr;
    LRESULT plainLength = 0;
    if (!timeUntil([&] {
            editControl = GetDlgItem(editWindow, 1);
            plainLength = SendMessageW(editControl, WM_GETTEXTLENGTH, 0, 0);
            return plainLength > 0;
        }))
        return couldNot("see the text in the bare edit window");
    std::vector<double> editTimes;
    if (!timeKeystrokes(
            editWindow,
            [&](bool broken) {
                return SendMessageW(editControl, WM_GETTEXTLENGTH, 0, 0) ==
                       plainLength + (broken ? 1 : 0);
            },
            editTimes))
        return couldNot("time keys in the bare edit window");
    edit.kill();

    // The floor of the working set: the same text in the same rich edit control.
    e2e::RunningProgram richEdit = e2e::startProgram(e2e::windowsPath(BENCH_RICH_EDIT), script);
    if (windowTitled(richEdit.processId(), L"bench rich edit loaded") == nullptr)
        return couldNot("open the 10,000-line script in the bare rich edit program");
    Sleep(500);
    const std::optional<double> richEditKb = workingSetKb(richEdit.processHandle());
    richEdit.kill();

    e2e::RunningProgram studio =
        e2e::startProgram(e2e::windowsPath(BENCH_STUDIO), "--lang en \"" + script + "\"");
    HWND window = e2e::waitForStudioWindow(studio.processId(), GiveUpMs);
    if (window == nullptr ||
        !timeUntil([&] { return titleOf(window) == L"bench_keystroke.txt - Script Studio"; }))
        return couldNot("open the 10,000-line script in the studio");
    Sleep(500);
    std::vector<double> studioTimes;
    if (!timeKeystrokes(
            window,
            [&](bool broken) { return e2e::studioProblemCount(window) == (broken ? 1 : 0); },
            studioTimes))
        return couldNot("time keys in the studio");
    const std::optional<double> studioKb = workingSetKb(studio.processHandle());
    studio.kill();

    const double editMedian = median(editTimes);
    const double studioMedian = median(studioTimes);
    printFigure({.name = "studio: keystroke to problems list, 10,000-line script",
                 .baseline = editMedian,
                 .baselineUnit = "ms",
                 .baselineNote = "the same key reaching a bare edit control with the same text",
                 .value = studioMedian,
                 .valueUnit = "ms",
                 .valueNote = "a space that breaks the last line, or a backspace that mends it, "
                              "until the problems list shows it (median)",
                 .ratio = studioMedian / editMedian,
                 .target = "<= 16 ms",
                 .verdict = studioMedian <= FrameMs ? Verdict::Met : Verdict::Missed});
    printSeries("studio ms", studioTimes);
    printSeries("edit control ms", editTimes);
    printDetail("worst: studio " + std::to_string(worst(studioTimes)) + " ms, edit control " +
                std::to_string(worst(editTimes)) + " ms");

    // Opening 100,000 lines, against reading and splitting them.
    const std::string big = writeScript("bench_open.txt", OpenLines);
    std::vector<double> readTimes;
    std::vector<double> bareOpenTimes;
    std::vector<double> openTimes;
    std::vector<double> bareEndTimes;
    std::vector<double> studioEndTimes;
    for (int run = 0; run < OpenRuns; ++run) {
        const bool last = run == OpenRuns - 1;
        const double readStart = nowMs();
        if (!e2e::runProgram(e2e::windowsPath(BENCH_READ_LINES), big, GiveUpMs))
            return couldNot("read the 100,000-line script with the bare program");
        readTimes.push_back(nowMs() - readStart);

        const double bareStart = nowMs();
        e2e::RunningProgram bareOpening = e2e::startProgram(e2e::windowsPath(BENCH_RICH_EDIT), big);
        HWND bareWindow = windowTitled(bareOpening.processId(), L"bench rich edit loaded");
        if (bareWindow == nullptr)
            return couldNot("open the 100,000-line script in the bare rich edit program");
        bareOpenTimes.push_back(nowMs() - bareStart);
        if (last && !timeCtrlEnd(bareWindow, GetDlgItem(bareWindow, 1), OpenLines, bareEndTimes))
            return false;
        bareOpening.kill();

        const double openStart = nowMs();
        e2e::RunningProgram opening =
            e2e::startProgram(e2e::windowsPath(BENCH_STUDIO), "--lang en \"" + big + "\"");
        HWND opened = e2e::waitForStudioWindow(opening.processId(), GiveUpMs);
        if (opened == nullptr ||
            !timeUntil([&] { return titleOf(opened) == L"bench_open.txt - Script Studio"; }))
            return couldNot("open the 100,000-line script in the studio");
        openTimes.push_back(nowMs() - openStart);
        if (last && !timeCtrlEnd(opened, GetDlgItem(opened, EditorId), OpenLines, studioEndTimes))
            return false;
        opening.kill();
    }
    const double readMedian = median(readTimes);
    const double bareOpenMedian = median(bareOpenTimes);
    const double openMedian = median(openTimes);
    printFigure({.name = "studio: opening a 100,000-line script, against the bare rich edit",
                 .baseline = bareOpenMedian,
                 .baselineUnit = "ms",
                 .baselineNote = "a bare program showing the same text in the same rich edit "
                                 "control, start until shown",
                 .value = openMedian,
                 .valueUnit = "ms",
                 .valueNote = "start until the studio shows it, coloured where seen and checked",
                 .ratio = openMedian / bareOpenMedian,
                 .target = "<= 1.3",
                 .verdict = openMedian <= 1.3 * bareOpenMedian ? Verdict::Met : Verdict::Missed});
    printSeries("studio ms", openTimes);
    printSeries("bare rich edit ms", bareOpenTimes);
    printFigure({.name = "studio: opening a 100,000-line script",
                 .baseline = readMedian,
                 .baselineUnit = "ms",
                 .baselineNote = "a bare program reading the file and splitting it into lines",
                 .value = openMedian,
                 .valueUnit = "ms",
                 .valueNote = "start until the studio shows it, coloured where seen and checked",
                 .ratio = openMedian / readMedian,
                 .target = "none",
                 .verdict = Verdict::None});
    printSeries("read and split ms", readTimes);

    const double bareEndMedian = median(bareEndTimes);
    const double studioEndMedian = median(studioEndTimes);
    printFigure(
        {.name = "studio: Ctrl+End through a 100,000-line script",
         .baseline = bareEndMedian,
         .baselineUnit = "ms",
         .baselineNote = "the same key in the bare rich edit program, until the end is "
                         "shown and painted (median)",
         .value = studioEndMedian,
         .valueUnit = "ms",
         .valueNote = "the same in the studio, its colouring of the lines shown included",
         .ratio = studioEndMedian / bareEndMedian,
         .target = "<= 1.3",
         .verdict = studioEndMedian <= 1.3 * bareEndMedian ? Verdict::Met : Verdict::Missed});
    printSeries("studio ms", studioEndTimes);
    printSeries("bare rich edit ms", bareEndTimes);

    // The working set with the 10,000 lines open, against a bare program.
    e2e::RunningProgram bare = e2e::startProgram(e2e::windowsPath(BENCH_KEY_WAIT_PROGRAM));
    Sleep(1000);
    const std::optional<double> bareKb = workingSetKb(bare.processHandle());
    bare.kill();
    if (!bareKb || !studioKb || !richEditKb)
        return couldNot("read the working sets");
    printFigure(
        {.name = "studio: working set with a 10,000-line script open, against the bare "
                 "rich edit",
         .baseline = *richEditKb,
         .baselineUnit = "KB",
         .baselineNote = "a bare program showing the same text in the same rich edit control",
         .value = *studioKb,
         .valueUnit = "KB",
         .valueNote = "the studio after the keystrokes above",
         .ratio = *studioKb / *richEditKb,
         .target = "<= 1.5",
         .verdict = *studioKb <= 1.5 * *richEditKb ? Verdict::Met : Verdict::Missed});
    printFigure({.name = "studio: working set with a 10,000-line script open",
                 .baseline = *bareKb,
                 .baselineUnit = "KB",
                 .baselineNote = "a bare program of ours waiting for a key",
                 .value = *studioKb,
                 .valueUnit = "KB",
                 .valueNote = "the studio after the keystrokes above",
                 .ratio = *studioKb / *bareKb,
                 .target = "none",
                 .verdict = Verdict::None});
    printDetail("the studio above the bare program: " +
                std::to_string(static_cast<long long>(*studioKb - *bareKb)) + " KB");
    return true;
}

} // namespace bench
