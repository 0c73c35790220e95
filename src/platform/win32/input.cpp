// Synthesised keyboard and mouse input, key state, pointer and screen size.

#include "platform/platform.h"
#include "platform/win32/handles.h"

namespace platform {

static_assert(KeyUpFlag == KEYEVENTF_KEYUP);

void sendKeyEvent(std::uint8_t virtualKey, std::uint32_t flags) {
    keybd_event(virtualKey, 0, flags, 0);
}

void sendMouseEvent(std::uint32_t flags, std::uint32_t dx, std::uint32_t dy) {
    mouse_event(flags, dx, dy, 0, 0);
}

bool isKeyDown(std::uint8_t virtualKey) {
    return (static_cast<std::uint16_t>(GetAsyncKeyState(virtualKey)) & 0x8000) != 0;
}

ScreenPoint cursorPosition() {
    POINT point{};
    if (!GetCursorPos(&point))
        return {};
    return {static_cast<std::int32_t>(point.x), static_cast<std::int32_t>(point.y)};
}

void setCursorPosition(ScreenPoint point) {
    SetCursorPos(point.x, point.y);
}

std::int32_t screenWidth() {
    return GetSystemMetrics(SM_CXSCREEN);
}

std::int32_t screenHeight() {
    return GetSystemMetrics(SM_CYSCREEN);
}

} // namespace platform
