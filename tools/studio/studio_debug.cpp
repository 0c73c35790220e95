// Debugging in the studio: the line numbers, breakpoints and the playing line
// beside the editor, what the traced player of a run tells (the line it plays,
// what it waits for, where it stopped, why it ended), Pause, Step and
// Continue through the shared block, and the run log.

#include "studio_win32.h"

#include "pack_windows.h"
#include "studio_help.h"

#include <windowsx.h>

#include <richedit.h>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int GutterWidth = 52;
constexpr std::size_t RunLogRows = 2000;
constexpr UINT_PTR TraceTimer = 2;
constexpr UINT TraceTimerMs = 100;
constexpr COLORREF BreakpointColour = RGB(200, 30, 30);
constexpr COLORREF PlayingColour = RGB(240, 180, 0);

std::string seconds(ULONGLONG milliseconds) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.1f", static_cast<double>(milliseconds) / 1000.0);
    return buffer;
}

// The editor line's text in GBK, as the status line and the log quote it.
std::string lineText(int line) {
    if (line < 0 || line >= static_cast<int>(studio.document.lines.size())) {
        return "";
    }
    return toGbk(fromUtf8(studio.document.lines[static_cast<std::size_t>(line)].text));
}

// The player's line as the editor's line, 0-based; -1 for lines the studio added.
int editorLineOf(std::int32_t playerLine) {
    const std::vector<int>& lines = studio.run.trace.editorLineOf;
    if (playerLine < 1 || static_cast<std::size_t>(playerLine) >= lines.size()) {
        return -1;
    }
    return lines[static_cast<std::size_t>(playerLine)];
}

void addLogRow(const std::string& row) {
    if (studio.runLog == nullptr) {
        return;
    }
    const LRESULT count = SendMessageW(studio.runLog, LB_GETCOUNT, 0, 0);
    if (count >= static_cast<LRESULT>(RunLogRows)) {
        SendMessageW(studio.runLog, LB_DELETESTRING, 0, 0);
    }
    const LRESULT at = SendMessageW(studio.runLog, LB_ADDSTRING, 0,
                                    reinterpret_cast<LPARAM>(fromGbk(row).c_str()));
    SendMessageW(studio.runLog, LB_SETTOPINDEX, at, 0);
}

std::string sinceStart() {
    return seconds(GetTickCount64() - studio.run.startedAt);
}

// "line 12: Wait Caption 记事本, 3.4 s, pass 2" while a command plays.
void showPlaying() {
    const TraceState& trace = studio.run.trace;
    if (trace.line < 0) {
        return;
    }
    std::string state = formatUiText(text(TextId::StudioStatePlaying),
                                     {std::to_string(trace.line + 1), lineText(trace.line),
                                      seconds(GetTickCount64() - trace.commandStartedAt)});
    if (trace.pass > 1) {
        state += formatUiText(text(TextId::StudioStatePass), {std::to_string(trace.pass)});
    }
    setState(fromGbk(state));
}

void showStopped() {
    const TraceState& trace = studio.run.trace;
    setState(fromGbk(formatUiText(text(TextId::StudioStateStoppedBefore),
                                  {std::to_string(trace.line + 1), lineText(trace.line)})));
}

void scrollToLine(int line) {
    const LONG start = static_cast<LONG>(SendMessageW(studio.editor, EM_LINEINDEX, line, 0));
    CHARRANGE range{start, start};
    SendMessageW(studio.editor, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    SendMessageW(studio.editor, EM_SCROLLCARET, 0, 0);
}

// The studio comes back while the run stands still, and steps aside again
// when it goes on.
void comeBack() {
    if (studio.run.minimised) {
        ShowWindow(studio.window, SW_RESTORE);
        SetForegroundWindow(studio.window);
    }
}

void stepAside() {
    if (studio.run.minimised) {
        ShowWindow(studio.window, SW_MINIMIZE);
    }
}

LRESULT CALLBACK gutterProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_LBUTTONDOWN) {
        // A click beside a line sets or clears its breakpoint.
        POINTL point{2, GET_Y_LPARAM(lParam)};
        const LRESULT character =
            SendMessageW(studio.editor, EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&point));
        const int line =
            static_cast<int>(SendMessageW(studio.editor, EM_EXLINEFROMCHAR, 0, character));
        scrollToLine(line);
        toggleBreakpoint();
        return 0;
    }
    if (message != WM_PAINT) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    SelectObject(dc, studio.uiFont);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    const int first = static_cast<int>(SendMessageW(studio.editor, EM_GETFIRSTVISIBLELINE, 0, 0));
    const int count = static_cast<int>(studio.document.lines.size());
    RECT editorClient;
    GetClientRect(studio.editor, &editorClient);
    for (int line = first; line < count; ++line) {
        const LRESULT start = SendMessageW(studio.editor, EM_LINEINDEX, line, 0);
        POINTL at{};
        SendMessageW(studio.editor, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), start);
        if (at.y > editorClient.bottom) {
            break;
        }
        // The gutter's top is the editor's top (both below the toolbar).
        const int y = at.y + 2;
        if (studio.breakpoints.count(line) != 0) {
            HBRUSH brush = CreateSolidBrush(BreakpointColour);
            HGDIOBJ old = SelectObject(dc, brush);
            Ellipse(dc, 3, y + 2, 13, y + 12);
            SelectObject(dc, old);
            DeleteObject(brush);
        }
        if (line == studio.run.trace.line && studio.run.process != nullptr) {
            HBRUSH brush = CreateSolidBrush(PlayingColour);
            POINT arrow[3] = {{14, y + 1}, {22, y + 7}, {14, y + 13}};
            HGDIOBJ old = SelectObject(dc, brush);
            Polygon(dc, arrow, 3);
            SelectObject(dc, old);
            DeleteObject(brush);
        }
        RECT number{22, y, GutterWidth - 4, y + 16};
        const std::wstring label = std::to_wstring(line + 1);
        DrawTextW(dc, label.c_str(), -1, &number, DT_RIGHT | DT_SINGLELINE | DT_TOP);
    }
    EndPaint(window, &paint);
    return 0;
}

} // namespace

void createDebugControls() {
    WNDCLASSW gutterClass{};
    gutterClass.lpfnWndProc = gutterProcedure;
    gutterClass.hInstance = studio.instance;
    gutterClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    gutterClass.lpszClassName = L"ScriptStudioGutter";
    RegisterClassW(&gutterClass);
    studio.gutter =
        CreateWindowExW(0, gutterClass.lpszClassName, L"", WS_CHILD | WS_VISIBLE, 0, 0, GutterWidth,
                        10, studio.window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(GutterId)),
                        studio.instance, nullptr);
    studio.runLog = CreateWindowExW(
        WS_EX_CLIENTEDGE, L"listbox", L"",
        WS_CHILD | WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY | WS_TABSTOP, 0, 0,
        10, 10, studio.window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(RunLogId)),
        studio.instance, nullptr);
    SendMessageW(studio.runLog, WM_SETFONT, reinterpret_cast<WPARAM>(studio.uiFont), FALSE);
    SendMessageW(studio.runLog, LB_SETHORIZONTALEXTENT, 3000, 0);
    studio.traceMessage = RegisterWindowMessageA(TraceMessageName);
}

int gutterWidth() {
    return GutterWidth;
}

void invalidateGutter() {
    if (studio.gutter != nullptr) {
        InvalidateRect(studio.gutter, nullptr, FALSE);
    }
}

void toggleRunLog() {
    studio.runLogShown = !studio.runLogShown;
    ShowWindow(studio.runLog, studio.runLogShown ? SW_SHOW : SW_HIDE);
    CheckMenuItem(GetMenu(studio.window), CmdShowRunLog,
                  studio.runLogShown ? MF_CHECKED : MF_UNCHECKED);
    SendMessageW(studio.window, WM_SIZE, 0, 0);
}

void shiftLineMarks(int first, int removed, int inserted) {
    if (removed == inserted || studio.breakpoints.empty()) {
        return;
    }
    std::set<int> shifted;
    for (int line : studio.breakpoints) {
        if (line < first + std::min(removed, inserted)) {
            shifted.insert(line);
        } else if (line >= first + removed) {
            shifted.insert(line - removed + inserted);
        }
    }
    studio.breakpoints = std::move(shifted);
    invalidateGutter();
}

// The player line of an editor line in the run, 0 when the run does not play it.
static std::int32_t playerLineOf(int editorLine) {
    const std::vector<int>& lines = studio.run.trace.editorLineOf;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        if (lines[i] == editorLine) {
            return static_cast<std::int32_t>(i);
        }
    }
    return 0;
}

void toggleBreakpoint() {
    const int line = cursorLine();
    const bool on = studio.breakpoints.count(line) == 0;
    if (on) {
        studio.breakpoints.insert(line);
    } else {
        studio.breakpoints.erase(line);
    }
    // A run that plays already takes it from its next command on.
    if (studio.run.trace.control != nullptr) {
        setTraceBreakpoint(*studio.run.trace.control, playerLineOf(line), on);
    }
    invalidateGutter();
    setState(fromGbk(
        formatUiText(text(on ? TextId::StudioBreakpointSet : TextId::StudioBreakpointCleared),
                     {std::to_string(line + 1)})));
}

bool prepareTrace(const std::vector<int>& editorLines, bool stopAtFirst, std::string& resource,
                  std::string& error) {
    TraceState& trace = studio.run.trace;
    trace = TraceState{};
    trace.editorLineOf.assign(1, -1);
    trace.editorLineOf.insert(trace.editorLineOf.end(), editorLines.begin(), editorLines.end());
    const auto lineCount = static_cast<std::uint32_t>(editorLines.size());
    const std::size_t size = traceControlSize(lineCount);
    static unsigned serial = 0;
    const std::string name = "Local\\ScriptStudioTrace-" + std::to_string(GetCurrentProcessId()) +
                             "-" + std::to_string(++serial);
    trace.mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                       static_cast<DWORD>(size), name.c_str());
    void* view = trace.mapping != nullptr
                     ? MapViewOfFile(trace.mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, 0)
                     : nullptr;
    if (view == nullptr) {
        error = errorText(GetLastError());
        endTrace();
        return false;
    }
    trace.control = initTraceControl(view, lineCount);
    for (std::uint32_t line = 1; line <= lineCount; ++line) {
        if (studio.breakpoints.count(trace.editorLineOf[line]) != 0) {
            setTraceBreakpoint(*trace.control, static_cast<std::int32_t>(line), true);
        }
    }
    if (stopAtFirst) {
        tracePause(*trace.control);
    }
    resource = traceResourceText(reinterpret_cast<std::uintptr_t>(studio.window), name);
    if (studio.runLog != nullptr) {
        SendMessageW(studio.runLog, LB_RESETCONTENT, 0, 0);
    }
    SetTimer(studio.window, TraceTimer, TraceTimerMs, nullptr);
    return true;
}

void endTrace() {
    TraceState& trace = studio.run.trace;
    KillTimer(studio.window, TraceTimer);
    if (trace.control != nullptr) {
        UnmapViewOfFile(trace.control);
    }
    if (trace.mapping != nullptr) {
        CloseHandle(trace.mapping);
    }
    trace.control = nullptr;
    trace.mapping = nullptr;
    invalidateGutter();
}

std::wstring endReasonText() {
    const TraceState& trace = studio.run.trace;
    if (!trace.ended) {
        return L"";
    }
    TextId id = TextId::StudioEndPassesDone;
    switch (trace.end) {
    case TraceEnd::PassesDone:
        id = TextId::StudioEndPassesDone;
        break;
    case TraceEnd::BreakKey:
        id = TextId::StudioEndBreakKey;
        break;
    case TraceEnd::WaitEnded:
        id = TextId::StudioEndWait;
        break;
    case TraceEnd::StartCancelled:
        id = TextId::StudioEndStartCancelled;
        break;
    case TraceEnd::StartColourMismatch:
        id = TextId::StudioEndStartColour;
        break;
    case TraceEnd::SyntaxError:
        id = TextId::StudioEndSyntaxError;
        break;
    }
    return fromGbk(formatUiText(text(id), {std::to_string(trace.line + 1)}));
}

void onTraceMessage(WPARAM wParam, LPARAM lParam) {
    TraceState& trace = studio.run.trace;
    if (studio.run.process == nullptr) {
        return;
    }
    const TraceMessage message = decodeTraceMessage(wParam, lParam);
    const int line = editorLineOf(message.line);
    switch (message.event) {
    case TraceEvent::CommandStarted:
        trace.line = line;
        trace.pass = static_cast<std::int32_t>(message.value);
        trace.commandStartedAt = GetTickCount64();
        trace.waiting = true;
        trace.stopped = false;
        addLogRow(formatUiText(text(TextId::StudioLogCommand),
                               {sinceStart(), std::to_string(line + 1), lineText(line)}));
        break;
    case TraceEvent::CommandDone: {
        trace.waiting = false;
        const ULONGLONG took = GetTickCount64() - trace.commandStartedAt;
        // A command that took a while (a wait, a delay) gets its time logged.
        if (took >= 100) {
            addLogRow(formatUiText(text(TextId::StudioLogDone),
                                   {sinceStart(), std::to_string(line + 1), seconds(took)}));
        }
        break;
    }
    case TraceEvent::Stopped:
        trace.line = line;
        trace.stopped = true;
        trace.waiting = false;
        comeBack();
        scrollToLine(line);
        showStopped();
        addLogRow(formatUiText(text(TextId::StudioLogStopped),
                               {sinceStart(), std::to_string(line + 1), lineText(line)}));
        break;
    case TraceEvent::Resumed:
        trace.stopped = false;
        break;
    case TraceEvent::Ended:
        trace.ended = true;
        trace.end = static_cast<TraceEnd>(message.value);
        if (trace.end == TraceEnd::SyntaxError) {
            trace.line = line;
        }
        addLogRow(toGbk(endReasonText()));
        break;
    }
    invalidateGutter();
}

void onTraceTimer() {
    const TraceState& trace = studio.run.trace;
    if (studio.run.process != nullptr && !trace.stopped && trace.waiting) {
        showPlaying();
    }
}

bool continueScript() {
    TraceState& trace = studio.run.trace;
    if (studio.run.process == nullptr || trace.control == nullptr || !trace.stopped) {
        return false;
    }
    stepAside();
    traceContinue(*trace.control);
    trace.stopped = false;
    setState(wideText(TextId::StudioStateRunning));
    return true;
}

void stepScript() {
    TraceState& trace = studio.run.trace;
    if (studio.run.process == nullptr) {
        startRun(RunKind::StepFromStart);
        return;
    }
    if (trace.control == nullptr || !trace.stopped) {
        return;
    }
    // The studio steps aside for the one command too, so that its keys and
    // clicks reach the windows they are meant for.
    stepAside();
    traceStep(*trace.control);
    trace.stopped = false;
}

void pauseScript() {
    TraceState& trace = studio.run.trace;
    if (studio.run.process != nullptr && trace.control != nullptr && !trace.stopped) {
        tracePause(*trace.control);
    }
}
