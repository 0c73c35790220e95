// Debugging in the studio: the line numbers, breakpoints and the playing line
// beside the editor, what the traced player of a run tells (the line it plays,
// what it waits for, where it stopped, why it ended), Pause, Step and
// Continue through the shared block, and the run log.

#include "front_end.h"

#include "pack_windows.h"
#include "studio_help.h"

#include <windowsx.h>

#include <richedit.h>

#include <algorithm>
#include <cstdio>

namespace {

constexpr std::size_t RunLogRows = 2000;
constexpr UINT TraceTimerMs = 100;
constexpr COLORREF BreakpointColour = RGB(200, 30, 30);
constexpr COLORREF PlayingColour = RGB(240, 180, 0);

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

void scrollToLine(int line) {
    const LONG start = static_cast<LONG>(SendMessageW(studio.editor, EM_LINEINDEX, line, 0));
    CHARRANGE range{start, start};
    SendMessageW(studio.editor, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    SendMessageW(studio.editor, EM_SCROLLCARET, 0, 0);
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
    const UiScale scale = studio.scale;
    // One question to the editor for the whole paint: asking it per line
    // costs as much as the lines before the first one shown, under Wine.
    const VisibleLines lines = visibleLines();
    const int width = gutterWidth();
    SelectObject(dc, studio.gutterFont);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    const int count = static_cast<int>(studio.workspace.document.lines.size());
    RECT editorClient;
    GetClientRect(studio.editor, &editorClient);
    // The editor's client area starts inside its border; the gutter's top is
    // the editor's window top.
    POINT origin{0, 0};
    MapWindowPoints(studio.editor, window, &origin, 1);
    const int mark = scaled(scale, 10);
    for (int line = lines.first; line < count; ++line) {
        const int lineTop = lines.top + (line - lines.first) * lines.height;
        if (lineTop > editorClient.bottom) {
            break;
        }
        const int y = origin.y + lineTop;
        const int middle = y + lines.height / 2;
        if (studio.workspace.breakpoints.count(line) != 0) {
            HBRUSH brush = CreateSolidBrush(BreakpointColour);
            HGDIOBJ old = SelectObject(dc, brush);
            const int left = scaled(scale, 3);
            Ellipse(dc, left, middle - mark / 2, left + mark, middle - mark / 2 + mark);
            SelectObject(dc, old);
            DeleteObject(brush);
        }
        if (line == studio.workspace.trace.line && studio.workspace.running) {
            HBRUSH brush = CreateSolidBrush(PlayingColour);
            const int left = scaled(scale, 14);
            const int half = scaled(scale, 6);
            POINT arrow[3] = {
                {left, middle - half}, {left + scaled(scale, 8), middle}, {left, middle + half}};
            HGDIOBJ old = SelectObject(dc, brush);
            Polygon(dc, arrow, 3);
            SelectObject(dc, old);
            DeleteObject(brush);
        }
        RECT number{scaled(scale, 22), y, width - scaled(scale, 4), y + lines.height};
        const std::wstring label = std::to_wstring(line + 1);
        DrawTextW(dc, label.c_str(), -1, &number, DT_RIGHT | DT_SINGLELINE | DT_VCENTER);
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
    studio.gutter = CreateWindowExW(0, gutterClass.lpszClassName, L"", WS_CHILD | WS_VISIBLE, 0, 0,
                                    scaled(GutterWidth), 10, studio.window,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(GutterId)),
                                    studio.instance, nullptr);
    studio.runLog = CreateWindowExW(
        WS_EX_CLIENTEDGE, L"listbox", L"",
        WS_CHILD | WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY | WS_TABSTOP, 0, 0,
        10, 10, studio.window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(RunLogId)),
        studio.instance, nullptr);
    SendMessageW(studio.runLog, WM_SETFONT, reinterpret_cast<WPARAM>(studio.uiFont), FALSE);
    SendMessageW(studio.runLog, LB_SETHORIZONTALEXTENT, scaled(studio.scale, 3000), 0);
    studio.traceMessage = RegisterWindowMessageA(TraceMessageName);
}

int gutterWidth() {
    // Room for five digits of the line numbers' font beside the marks.
    HFONT font = studio.gutterFont != nullptr ? studio.gutterFont
                                              : createFixedFont(EditorPoints, studio.scale.dpi);
    const int digits = textSize(font, L"00000").cx;
    if (font != studio.gutterFont) {
        DeleteObject(font);
    }
    return std::max(scaled(studio.scale, GutterWidth), scaled(studio.scale, 26) + digits);
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

void toggleBreakpoint() {
    applyUpdate(toggleBreakpoint(studio.workspace, cursorLine()));
}

bool prepareTrace(const std::vector<int>& editorLines, bool stopAtFirst, std::string& resource,
                  std::string& error) {
    RunningScript& run = studio.run;
    const auto lineCount = static_cast<std::uint32_t>(editorLines.size());
    const std::size_t size = traceControlSize(lineCount);
    static unsigned serial = 0;
    const std::string name = "Local\\ScriptStudioTrace-" + std::to_string(GetCurrentProcessId()) +
                             "-" + std::to_string(++serial);
    run.mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                     static_cast<DWORD>(size), name.c_str());
    void* view = run.mapping != nullptr
                     ? MapViewOfFile(run.mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, 0)
                     : nullptr;
    if (view == nullptr) {
        error = errorText(GetLastError());
        endTrace();
        return false;
    }
    run.control = initTraceControl(view, lineCount);
    for (std::uint32_t line = 1; line <= lineCount; ++line) {
        if (studio.workspace.breakpoints.count(editorLines[line - 1]) != 0) {
            setTraceBreakpoint(*run.control, static_cast<std::int32_t>(line), true);
        }
    }
    if (stopAtFirst) {
        tracePause(*run.control);
    }
    resource = traceResourceText(reinterpret_cast<std::uintptr_t>(studio.window), name);
    if (studio.runLog != nullptr) {
        SendMessageW(studio.runLog, LB_RESETCONTENT, 0, 0);
    }
    SetTimer(studio.window, TraceTimer, TraceTimerMs, nullptr);
    return true;
}

void endTrace() {
    RunningScript& run = studio.run;
    KillTimer(studio.window, TraceTimer);
    if (run.control != nullptr) {
        UnmapViewOfFile(run.control);
    }
    if (run.mapping != nullptr) {
        CloseHandle(run.mapping);
    }
    run.control = nullptr;
    run.mapping = nullptr;
    invalidateGutter();
}

void onTraceMessage(WPARAM wParam, LPARAM lParam) {
    if (studio.run.process == nullptr) {
        return;
    }
    // The window in front before the studio comes forward: the one to give
    // the foreground back to when the run goes on.
    const auto foreground = reinterpret_cast<std::uintptr_t>(GetForegroundWindow());
    applyUpdate(traceEvent(studio.workspace, decodeTraceMessage(wParam, lParam), GetTickCount64(),
                           foreground));
    pointsRunAt(studio.run.process != nullptr ? studio.workspace.trace.line : -1);
}

void onTraceTimer() {
    applyUpdate(traceTick(studio.workspace, GetTickCount64()));
}

bool continueScript() {
    if (studio.run.control == nullptr) {
        return false;
    }
    const WorkspaceUpdate update = continueRun(studio.workspace);
    applyUpdate(update);
    return update.order != TraceOrder::None;
}

void stepScript() {
    if (studio.run.process == nullptr) {
        startRun(RunKind::StepFromStart);
        return;
    }
    if (studio.run.control != nullptr) {
        // The studio steps aside for the one command too, so that its keys
        // and clicks reach the windows they are meant for.
        applyUpdate(stepRun(studio.workspace));
    }
}

void pauseScript() {
    if (studio.run.control != nullptr) {
        applyUpdate(pauseRun(studio.workspace));
    }
}

void applyTraceUpdate(const WorkspaceUpdate& update) {
    for (const std::string& row : update.logRows) {
        addLogRow(row);
    }
    if (update.comeForward) {
        ShowWindow(studio.window, SW_RESTORE);
        SetForegroundWindow(studio.window);
    }
    if (update.showLine >= 0) {
        scrollToLine(update.showLine);
    }
    if (update.stepAside) {
        ShowWindow(studio.window, SW_MINIMIZE);
    }
    if (update.giveForegroundTo != 0) {
        HWND window = reinterpret_cast<HWND>(update.giveForegroundTo);
        if (IsWindow(window)) {
            SetForegroundWindow(window);
        } else {
            applyUpdate(foregroundGone(studio.workspace));
        }
    }
    TraceControl* control = studio.run.control;
    if (control != nullptr && update.breakpointPlayerLine != 0) {
        setTraceBreakpoint(*control, update.breakpointPlayerLine, update.breakpointOn);
    }
    if (control != nullptr) {
        switch (update.order) {
        case TraceOrder::None:
            break;
        case TraceOrder::Pause:
            tracePause(*control);
            break;
        case TraceOrder::Step:
            traceStep(*control);
            break;
        case TraceOrder::Continue:
            traceContinue(*control);
            break;
        }
    }
}
