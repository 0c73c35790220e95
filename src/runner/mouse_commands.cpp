// Mouse clicks, absolute pointer moves, and remembering and restoring the pointer.

#include "platform/platform.h"
#include "runner/executor.h"
#include "runner/pointer_scale.h"
#include "runner/run_state.h"

namespace {

constexpr std::uint32_t MoveAbsoluteFlags = 0x8001; // MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE

} // namespace

void clickMouse(std::uint32_t flags) {
    platform::sendMouseEvent(flags, 0, 0);
}

void moveMouseTo(std::int32_t x, std::int32_t y) {
    const auto height = static_cast<std::uint32_t>(platform::screenHeight());
    const auto width = static_cast<std::uint32_t>(platform::screenWidth());
    if (width == 0 || height == 0) {
        return; // the screen size could not be read: there is nothing to scale to
    }
    platform::sendMouseEvent(MoveAbsoluteFlags, toAbsolute(x, width), toAbsolute(y, height));
}

void rememberMousePosition() {
    runState.savedCursor = platform::cursorPosition();
}

void restoreMousePosition() {
    platform::setCursorPosition(runState.savedCursor);
}
