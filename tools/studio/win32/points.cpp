// The script's points over the screen: the studio steps aside and the points
// layer marks every place the script's lines name. A mark dragged elsewhere
// rewrites its line (one edit, undone as one), a mark clicked puts the cursor
// on its line, and a traced run marks the place of the line it plays next.
// Esc (taken by the layer) or Ctrl+Shift+P (a hotkey while the points are
// shown, the studio's accelerator otherwise) ends it.

#include "front_end.h"

#include "points.h"
#include "points_layer.h"

#include <string>
#include <vector>

namespace {

constexpr int ToggleHotKey = 1;

struct PointsShown {
    HWND helper = nullptr; // message-only: the hotkey that ends the points
    std::vector<Place> places;
    int moved = 0;
};

PointsShown shown;

PointerScreen primaryScreen() {
    return PointerScreen{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

// The window in front, when it is none of the studio's own.
bool frontWindow(WindowRect& rect) {
    HWND front = GetForegroundWindow();
    DWORD process = 0;
    RECT area{};
    if (front == nullptr || GetWindowThreadProcessId(front, &process) == 0 ||
        process == GetCurrentProcessId() || !GetWindowRect(front, &area)) {
        return false;
    }
    rect = WindowRect{area.left, area.top, area.right, area.bottom};
    return true;
}

std::vector<Place> currentPlaces() {
    syncWithEditor();
    std::vector<Place> places = findPlaces(studio.workspace.document, primaryScreen());
    WindowRect front;
    const bool haveFront = frontWindow(front);
    placeOnWindow(places, haveFront ? &front : nullptr);
    return places;
}

const Place* placeOfLine(int line) {
    for (const Place& place : shown.places) {
        if (place.line == line) {
            return &place;
        }
    }
    return nullptr;
}

void notMoved(int line, const std::string& why) {
    setState(
        fromGbk(formatUiText(text(TextId::StudioPointsNotMoved), {std::to_string(line), why})));
    MessageBeep(MB_ICONWARNING);
}

// Replaces editor line `line` (1-based) with `utf8`, as one edit.
void replaceLine(int line, const std::string& utf8) {
    const LRESULT start = SendMessageW(studio.editor, EM_LINEINDEX, line - 1, 0);
    if (start < 0) {
        return;
    }
    const LRESULT length = SendMessageW(studio.editor, EM_LINELENGTH, start, 0);
    SendMessageW(studio.editor, EM_SETSEL, start, start + length);
    insertAtCursor(fromUtf8(utf8));
}

// The colour a colour line would take at the dropped pixel: its own unless the
// user takes the new pixel's.
std::string colourFor(const Place& place, std::int32_t x, std::int32_t y) {
    HDC screen = GetDC(nullptr);
    const COLORREF now = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    if (now == CLR_INVALID) {
        return {};
    }
    const std::string digits = colourDigits(now);
    if (digits == place.colour) {
        return {};
    }
    const std::wstring question = fromGbk(formatUiText(
        text(TextId::StudioPointsTakeColour), {std::to_string(place.line), place.colour, digits}));
    // No owner: the studio is minimised, and the box must show above the layer.
    const int answer = MessageBoxW(nullptr, question.c_str(), wideText(TextId::StudioName).c_str(),
                                   MB_YESNO | MB_ICONQUESTION | MB_TOPMOST | MB_SETFOREGROUND);
    return answer == IDYES ? digits : std::string();
}

void markDropped(void*, int line, std::int32_t x, std::int32_t y) {
    const Place* place = placeOfLine(line);
    if (place == nullptr || line < 1 ||
        line > static_cast<int>(studio.workspace.document.lines.size())) {
        return;
    }
    const std::string colour = isColourPlace(*place) ? colourFor(*place, x, y) : std::string();
    WindowRect front;
    DragDrop drop;
    drop.pixelX = x;
    drop.pixelY = y;
    drop.colour = colour;
    drop.front = frontWindow(front) ? &front : nullptr;
    const std::string before =
        studio.workspace.document.lines[static_cast<std::size_t>(line - 1)].text;
    const DraggedLine rewritten = rewriteDraggedLine(before, studio.workspace.document.toGbk,
                                                     gbkToUtf8, primaryScreen(), drop);
    if (!rewritten.ok) {
        notMoved(line, rewritten.reason);
        updatePointsLayerPlace(*place); // the mark goes back
        return;
    }
    if (rewritten.line != before) {
        replaceLine(line, rewritten.line);
        ++shown.moved;
    }
    shown.places = currentPlaces();
    if (const Place* now = placeOfLine(line)) {
        updatePointsLayerPlace(*now);
    } else {
        updatePointsLayer(shown.places);
    }
    setState(wideText(TextId::StudioStatePoints));
}

void markClicked(void*, int line) {
    goToLine(line);
}

void escapePressed(void*) {
    // Out of the hook's handler first: the layer is taken down.
    PostMessageW(shown.helper, WM_HOTKEY, ToggleHotKey, 0);
}

LRESULT CALLBACK helperProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_HOTKEY && wParam == ToggleHotKey) {
        togglePoints();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void showPoints() {
    if (isPicking() || isRecording()) {
        setState(wideText(TextId::StudioStateAlreadyRunning));
        return;
    }
    // Aside first, so that the window in front is the user's, as the player sees it.
    ShowWindow(studio.window, SW_MINIMIZE);
    shown.places = currentPlaces();
    shown.moved = 0;
    PointsLayerEvents events;
    events.markClicked = markClicked;
    events.markDropped = markDropped;
    events.escapePressed = escapePressed;
    setPointsLayerLanguage(studio.workspace.language);
    if (!showPointsLayer(shown.places, events)) {
        ShowWindow(studio.window, SW_RESTORE);
        return;
    }
    RegisterHotKey(shown.helper, ToggleHotKey, MOD_CONTROL | MOD_SHIFT, 'P');
    applyUpdate(setPointsShown(studio.workspace, true));
    setState(wideText(TextId::StudioStatePoints));
}

void hidePoints() {
    UnregisterHotKey(shown.helper, ToggleHotKey);
    hidePointsLayer();
    shown.places.clear();
    applyUpdate(setPointsShown(studio.workspace, false));
    ShowWindow(studio.window, SW_RESTORE);
    SetForegroundWindow(studio.window);
    SetFocus(studio.editor);
    setState(
        fromGbk(formatUiText(text(TextId::StudioStatePointsEnded), {std::to_string(shown.moved)})));
}

} // namespace

void initPoints() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = helperProcedure;
    windowClass.hInstance = studio.instance;
    windowClass.lpszClassName = L"ScriptStudioPointsKeys";
    RegisterClassW(&windowClass);
    shown.helper = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                   nullptr, studio.instance, nullptr);
}

bool isShowingPoints() {
    return pointsLayerShown();
}

void togglePoints() {
    if (isShowingPoints()) {
        hidePoints();
    } else {
        showPoints();
    }
}

void pointsRunAt(int line) {
    if (isShowingPoints()) {
        markCurrentPoint(line >= 0 ? line + 1 : 0);
    }
}
