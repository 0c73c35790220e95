// Top Class, Top Caption and WindowLeftTop: bring a window to the front, or move
// the foreground window to the top-left corner of the screen.

#include "platform/platform.h"
#include "runner/executor.h"

void topWindow(const char* className, const char* title) {
    // No check: when no window matches, the calls get no window and do nothing.
    platform::WindowHandle window = platform::findWindow(className, title);
    platform::showWindow(window, platform::ShowRestore);
    platform::showWindow(window, platform::ShowShow);
    platform::setForegroundWindow(window);
}

void moveForegroundWindowToCorner() {
    platform::WindowHandle window = platform::foregroundWindow();
    platform::WindowRect rect;
    // Without a rectangle (no foreground window, or it closed meanwhile) there is
    // no size to keep, and the window is left alone.
    if (!platform::windowRect(window, rect)) {
        return;
    }
    platform::setWindowPosition(window, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                                platform::PositionShowWindow);
}
