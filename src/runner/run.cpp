// The run driver: compile pass, start preparation, the owner window of the tray
// icon, then the passes over the lines between the first and the last.

#include "platform/platform.h"
#include "runner/executor.h"
#include "runner/run_state.h"
#include "runner/trace.h"
#include "runner/tray_icon.h"
#include "script/script.h"

#include <cstdint>

namespace {

// A plain system button that exists only to own the tray icon; no message loop.
void createOwnerWindow() {
    platform::WindowHandle window =
        platform::createWindow("button", "VELMO-TEK", platform::OverlappedWindowStyle,
                               platform::DefaultPosition, 0, 300, 100);
    runState.hiddenWindow.store(window, std::memory_order_relaxed);
    if (window != 0) {
        platform::updateWindow(window);
        platform::showWindow(window, platform::ShowMinimize);
        platform::showWindow(window, platform::ShowHide);
    }
}

// After a pass: true when another pass follows. Endless with looping on and a
// negative count; otherwise the count is used up one per pass.
bool anotherPass() {
    if (runState.loopEnabled != 0 && runState.loopCount < 0) {
        return true;
    }
    if (runState.loopCount == INT32_MIN) {
        return false; // already as low as it goes; counting down would overflow
    }
    runState.loopCount -= 1;
    return runState.loopCount > 0;
}

} // namespace

void Script::run() {
    compile();
    prepareStart();
    createOwnerWindow();
    TrayIcon::update(TrayMode::Add);
    std::int32_t pass = 0;
    do {
        ++pass;
        for (std::int32_t i = 1; i < lineCount - 1; ++i) {
            Command& command = commands[i];
            if (!isActionCommand(command)) {
                continue;
            }
            traceBeforeCommand(i + 1, pass);
            const bool stop = execute(command);
            traceAfterCommand(i + 1);
            if (stop) {
                traceEnd(TraceEnd::WaitEnded);
                TrayIcon::update(TrayMode::Remove);
                return;
            }
        }
    } while (anotherPass());
    traceEnd(TraceEnd::PassesDone);
    TrayIcon::update(TrayMode::Remove);
}
