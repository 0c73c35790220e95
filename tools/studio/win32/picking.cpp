// Picking from the screen: the studio steps aside and a small window follows
// the pointer with the spy's magnifier and its ready lines, read by the spy's
// own code; keys 1 to 9 and 0 insert a line at the script's cursor, Esc ends.
// The keys are hotkeys while picking, so they never reach the window under
// the pointer, and nothing is clicked: the window in front stays the user's.

#include "front_end.h"

#include "spy_screen.h"
#include "studio_capture.h"

#include <algorithm>

namespace {

constexpr int StartHotKey = 1;  // Ctrl+Shift+F11, on the helper window, while the studio is open
constexpr int EscapeHotKey = 2; // on the picker, while picking
constexpr int RowHotKey = 10;   // + row
constexpr UINT_PTR RefreshTimer = 1;
constexpr UINT RefreshMs = 100;

constexpr int FactsLines = 3;

// The picker's layout at the studio's scale (design values at 96 DPI).
struct PickerMetrics {
    int margin = 6;
    int rowHeight = 18;
    int width = 620;
    int zoom = MagnifierZoom;
    int magnifierSize = MagnifierSize;
    int height = 0;
    int pointerGap = 24; // between the pointer and the picker
};

PickerMetrics pickerMetrics() {
    const UiScale scale = studio.scale;
    PickerMetrics metrics;
    metrics.margin = scaled(scale, 6);
    metrics.rowHeight = std::max(scaled(scale, 18), lineHeight(studio.uiFont) + scaled(scale, 2));
    metrics.width = scaled(scale, 620);
    metrics.zoom = scaled(scale, MagnifierZoom);
    metrics.magnifierSize = MagnifiedPixels * metrics.zoom;
    metrics.height = metrics.margin * 3 + metrics.magnifierSize +
                     static_cast<int>(PickedLineCount) * metrics.rowHeight + metrics.rowHeight * 2;
    metrics.pointerGap = scaled(scale, 24);
    return metrics;
}

struct Picker {
    HWND helper = nullptr; // message-only: the start hotkey
    bool startKey = false;
    HWND window = nullptr;
    Magnifier magnifier;
    SpyFacts facts;
    std::vector<SpyLine> lines;
    HWND lastFront = nullptr;
    POINT lastPoint{-1, -1};
    std::wstring status;
    int inserted = 0;
};

Picker picker;

bool isOwnWindow(HWND window) {
    DWORD process = 0;
    return window != nullptr && GetWindowThreadProcessId(window, &process) != 0 &&
           process == GetCurrentProcessId();
}

// Beside the pointer, below and right of it unless the screen ends there, so
// that the picker never lies under the pointer.
void follow(POINT point) {
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const PickerMetrics metrics = pickerMetrics();
    int x = point.x + metrics.pointerGap;
    int y = point.y + metrics.pointerGap;
    if (x + metrics.width > work.right) {
        x = point.x - metrics.pointerGap - metrics.width;
    }
    if (y + metrics.height > work.bottom) {
        y = point.y - metrics.pointerGap - metrics.height;
    }
    SetWindowPos(picker.window, HWND_TOPMOST, std::max<int>(x, work.left),
                 std::max<int>(y, work.top), 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
}

void refresh() {
    POINT point{};
    GetCursorPos(&point);
    if (point.x != picker.lastPoint.x || point.y != picker.lastPoint.y) {
        follow(point);
    }
    // Over the studio's own windows (the picker on its way): keep what was shown.
    if (isOwnWindow(GetAncestor(WindowFromPoint(point), GA_ROOT))) {
        return;
    }
    picker.lastPoint = point;
    HWND front = GetForegroundWindow();
    if (front == nullptr || isOwnWindow(front)) {
        front = picker.lastFront;
    } else {
        picker.lastFront = front;
    }
    picker.facts = gatherFacts(point, front, 0, studio.workspace.language);
    picker.lines = spyLines(picker.facts, studio.insertForm, studio.workspace.language);
    picker.lines.resize(std::min(picker.lines.size(), PickedLineCount));
    captureMagnifier(picker.magnifier, point);
    InvalidateRect(picker.window, nullptr, FALSE);
}

void insertRow(int row) {
    if (row < 0 || row >= static_cast<int>(picker.lines.size())) {
        return;
    }
    std::string why;
    const std::string line = pickedText(picker.lines[static_cast<std::size_t>(row)], why);
    if (line.empty()) {
        picker.status = fromGbk(formatUiText(text(TextId::StudioPickNotInserted), {why}));
        MessageBeep(MB_ICONWARNING);
    } else {
        insertLinesAfterCursor(fromGbk(line));
        ++picker.inserted;
        picker.status = fromGbk(formatUiText(text(TextId::StudioPickInserted), {line}));
    }
    InvalidateRect(picker.window, nullptr, FALSE);
}

void drawLine(HDC dc, int x, int y, const std::wstring& line, COLORREF colour) {
    const PickerMetrics metrics = pickerMetrics();
    SetTextColor(dc, colour);
    RECT place{x, y, metrics.width - metrics.margin, y + metrics.rowHeight};
    DrawTextW(dc, line.c_str(), static_cast<int>(line.size()), &place,
              DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void paint(HDC dc) {
    const PickerMetrics metrics = pickerMetrics();
    const int margin = metrics.margin;
    const int rowHeight = metrics.rowHeight;
    RECT all{0, 0, metrics.width, metrics.height};
    FillRect(dc, &all, GetSysColorBrush(COLOR_INFOBK));
    paintMagnifier(picker.magnifier, dc, POINT{margin, margin}, metrics.zoom);
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, studio.uiFont);
    const SpyFacts& facts = picker.facts;
    const int factsLeft = margin * 2 + metrics.magnifierSize;
    const std::wstring facts0 = L"x " + std::to_wstring(facts.x) + L", y " +
                                std::to_wstring(facts.y) + L"   " + fromGbk(facts.colour);
    const std::wstring window = fromGbk(formatUiText(
        text(TextId::StudioPickWindow),
        {facts.haveWindow && facts.caption.writable ? facts.caption.gbk : std::string("-")}));
    const std::wstring control = facts.haveControl
                                     ? L"id " + std::to_wstring(facts.controlId) + L"  " +
                                           fromGbk(facts.controlClass.gbk) + L"  \"" +
                                           fromGbk(facts.controlText.gbk) + L"\""
                                     : L"";
    const std::wstring factLines[FactsLines] = {facts0, window, control};
    for (int i = 0; i < FactsLines; ++i) {
        drawLine(dc, factsLeft, margin + i * rowHeight, factLines[i], GetSysColor(COLOR_INFOTEXT));
    }
    drawLine(dc, factsLeft, margin + (FactsLines + 1) * rowHeight, wideText(TextId::StudioPickKeys),
             RGB(0, 0, 160));
    int y = margin * 2 + metrics.magnifierSize;
    for (std::size_t row = 0; row < picker.lines.size(); ++row) {
        const SpyLine& line = picker.lines[row];
        const COLORREF colour = line.status == LineStatus::Ready     ? RGB(0, 0, 0)
                                : line.status == LineStatus::Flagged ? RGB(160, 90, 0)
                                                                     : RGB(128, 128, 128);
        drawLine(dc, margin, y,
                 std::wstring(1, static_cast<wchar_t>(pickKey(row))) + L"   " +
                     fromGbk(spyRowText(line, studio.workspace.language)),
                 colour);
        y += rowHeight;
    }
    drawLine(dc, margin, y + margin, picker.status, RGB(0, 100, 0));
}

LRESULT CALLBACK pickerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        refresh();
        return 0;
    case WM_HOTKEY:
        if (wParam == EscapeHotKey) {
            endPicking();
        } else if (wParam >= RowHotKey && wParam < RowHotKey + PickedLineCount) {
            insertRow(static_cast<int>(wParam - RowHotKey));
        }
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paintStruct;
        HDC dc = BeginPaint(window, &paintStruct);
        // Drawn off the screen first, so the rows do not flicker ten times a second.
        HDC buffer = CreateCompatibleDC(dc);
        const PickerMetrics metrics = pickerMetrics();
        HBITMAP bitmap = CreateCompatibleBitmap(dc, metrics.width, metrics.height);
        HGDIOBJ old = SelectObject(buffer, bitmap);
        paint(buffer);
        BitBlt(dc, 0, 0, metrics.width, metrics.height, buffer, 0, 0, SRCCOPY);
        SelectObject(buffer, old);
        DeleteObject(bitmap);
        DeleteDC(buffer);
        EndPaint(window, &paintStruct);
        return 0;
    }
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK helperProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_HOTKEY && wParam == StartHotKey) {
        if (isPicking()) {
            endPicking();
        } else {
            startPicking();
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void registerClass(const wchar_t* name, WNDPROC procedure) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = studio.instance;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.lpszClassName = name;
    RegisterClassW(&windowClass);
}

} // namespace

void initCapture() {
    registerClass(L"ScriptStudioCaptureKeys", helperProcedure);
    registerClass(StudioPickerClass, pickerProcedure);
    picker.helper = CreateWindowExW(0, L"ScriptStudioCaptureKeys", L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                    nullptr, studio.instance, nullptr);
    picker.startKey =
        RegisterHotKey(picker.helper, StartHotKey, MOD_CONTROL | MOD_SHIFT, VK_F11) != FALSE;
    if (!picker.startKey) {
        setState(wideText(TextId::StudioPickKeyTaken));
    }
}

bool isPicking() {
    return picker.window != nullptr;
}

void startPicking() {
    if (isPicking()) {
        return;
    }
    if (studio.run.process != nullptr || isRecording()) {
        setState(wideText(TextId::StudioStateAlreadyRunning));
        return;
    }
    const PickerMetrics metrics = pickerMetrics();
    picker.window =
        CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, StudioPickerClass,
                        wideText(TextId::StudioPickTitle).c_str(), WS_POPUP | WS_BORDER, 0, 0,
                        metrics.width, metrics.height, nullptr, nullptr, studio.instance, nullptr);
    if (picker.window == nullptr) {
        return;
    }
    applyUpdate(setPicking(studio.workspace, true));
    picker.magnifier = createMagnifier();
    picker.lines.clear();
    picker.facts = SpyFacts{};
    picker.status.clear();
    picker.inserted = 0;
    picker.lastPoint = POINT{-1, -1};
    picker.lastFront = nullptr;
    RegisterHotKey(picker.window, EscapeHotKey, 0, VK_ESCAPE);
    for (std::size_t row = 0; row < PickedLineCount; ++row) {
        RegisterHotKey(picker.window, RowHotKey + static_cast<int>(row), 0,
                       static_cast<UINT>(pickKey(row)));
    }
    setState(wideText(TextId::StudioStatePicking));
    // Aside, so that the window in front is the user's own, as the player will see it.
    ShowWindow(studio.window, SW_MINIMIZE);
    refresh();
    ShowWindow(picker.window, SW_SHOWNOACTIVATE);
    SetTimer(picker.window, RefreshTimer, RefreshMs, nullptr);
}

void endPicking() {
    if (!isPicking()) {
        return;
    }
    KillTimer(picker.window, RefreshTimer);
    UnregisterHotKey(picker.window, EscapeHotKey);
    for (std::size_t row = 0; row < PickedLineCount; ++row) {
        UnregisterHotKey(picker.window, RowHotKey + static_cast<int>(row));
    }
    DestroyWindow(picker.window);
    picker.window = nullptr;
    applyUpdate(setPicking(studio.workspace, false));
    destroyMagnifier(picker.magnifier);
    ShowWindow(studio.window, SW_RESTORE);
    SetForegroundWindow(studio.window);
    SetFocus(studio.editor);
    setState(
        fromGbk(formatUiText(text(TextId::StudioStatePicked), {std::to_string(picker.inserted)})));
}

void insertLinesAfterCursor(const std::wstring& lines) {
    const int line = cursorLine();
    const LRESULT start = SendMessageW(studio.editor, EM_LINEINDEX, line, 0);
    const LRESULT length = SendMessageW(studio.editor, EM_LINELENGTH, start, 0);
    if (length == 0) {
        SendMessageW(studio.editor, EM_SETSEL, start, start);
        insertAtCursor(lines);
    } else {
        SendMessageW(studio.editor, EM_SETSEL, start + length, start + length);
        insertAtCursor(L"\r" + lines);
    }
}
