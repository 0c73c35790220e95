// Top-level windows, their controls and the foreground window.

#include "platform/platform.h"
#include "platform/win32/handles.h"

#include <algorithm>
#include <climits>

namespace platform {

using win32::fromHandle;
using win32::toHandle;

static_assert(ShowHide == SW_HIDE);
static_assert(ShowNormal == SW_SHOWNORMAL);
static_assert(ShowMinimize == SW_MINIMIZE);
static_assert(ShowShow == SW_SHOW);
static_assert(ShowRestore == SW_RESTORE);
static_assert(PositionShowWindow == SWP_SHOWWINDOW);
static_assert(OverlappedWindowStyle == WS_OVERLAPPEDWINDOW);
static_assert(DefaultPosition == static_cast<std::int32_t>(CW_USEDEFAULT));

static HWND window(WindowHandle handle) {
    return toHandle<HWND>(handle);
}

WindowHandle foregroundWindow() {
    return fromHandle(GetForegroundWindow());
}

std::size_t windowText(WindowHandle handle, char* buffer, std::size_t capacity) {
    if (capacity == 0)
        return 0;
    buffer[0] = '\0';
    // Wine answers a null window with the desktop's text; no window has none.
    if (handle == 0)
        return 0;
    const int room = static_cast<int>(std::min<std::size_t>(capacity, INT_MAX));
    const int length = GetWindowTextA(window(handle), buffer, room);
    // Never trust the reported length beyond the buffer: terminate inside it.
    const std::size_t copied = std::clamp(length, 0, room - 1);
    buffer[copied] = '\0';
    return copied;
}

WindowHandle findWindow(const char* className, const char* title) {
    return fromHandle(FindWindowA(className, title));
}

void showWindow(WindowHandle handle, int command) {
    ShowWindow(window(handle), command);
}

void updateWindow(WindowHandle handle) {
    UpdateWindow(window(handle));
}

void setForegroundWindow(WindowHandle handle) {
    SetForegroundWindow(window(handle));
}

bool windowRect(WindowHandle handle, WindowRect& rect) {
    RECT system{};
    if (!GetWindowRect(window(handle), &system))
        return false;
    rect = {static_cast<std::int32_t>(system.left), static_cast<std::int32_t>(system.top),
            static_cast<std::int32_t>(system.right), static_cast<std::int32_t>(system.bottom)};
    return true;
}

void setWindowPosition(WindowHandle handle, std::int32_t x, std::int32_t y, std::int32_t width,
                       std::int32_t height, std::uint32_t flags) {
    SetWindowPos(window(handle), HWND_TOP, x, y, width, height, flags);
}

WindowHandle dialogItem(WindowHandle handle, int id) {
    return fromHandle(GetDlgItem(window(handle), id));
}

void sendDialogItemMessage(WindowHandle handle, int id, std::uint32_t message) {
    SendDlgItemMessageA(window(handle), id, message, 0, 0);
}

bool isWindowEnabled(WindowHandle handle) {
    return IsWindowEnabled(window(handle)) != 0;
}

std::uint32_t windowProcessId(WindowHandle handle) {
    DWORD processId = 0;
    if (GetWindowThreadProcessId(window(handle), &processId) == 0)
        return 0;
    return processId;
}

WindowHandle createWindow(const char* className, const char* title, std::uint32_t style,
                          std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) {
    return fromHandle(CreateWindowExA(0, className, title, style, x, y, width, height, nullptr,
                                      nullptr, nullptr, nullptr));
}

} // namespace platform
