// The monitor thread: the break key ends the process, each press of the pause
// key suspends or resumes the script.

#include "runner/monitor.h"

#include "keys/key_combo.h"
#include "platform/platform.h"
#include "runner/run_state.h"
#include "runner/trace.h"
#include "runner/tray_icon.h"

namespace {

constexpr std::uint32_t CycleMs = 50;
constexpr std::uint32_t ReleasePollMs = 5;

// The key texts were upper-cased when the script was parsed, so testing them
// only reads them, also while the main thread tests the same text.
bool breakKeyHeld() {
    return isKeyComboHeld(runState.breakKey.data());
}
bool pauseKeyHeld() {
    return isKeyComboHeld(runState.pauseKey.data());
}

// True when the break key and the pause key name one combination ("ESC" and
// "27" alike). Each press of that key then only toggles the pause: were it
// also tested as the break key after the cycle's sleep, every press that began
// during the sleep would end the program instead.
bool breakKeyIsPauseKey() {
    KeyCombo breakCombo = resolveKeyCombo(runState.breakKey.data());
    return breakCombo != 0 && breakCombo == resolveKeyCombo(runState.pauseKey.data());
}

void togglePause() {
    if (runState.paused.load(std::memory_order_relaxed) != 0) {
        TrayIcon::update(TrayMode::ShowRunning);
        runState.paused.store(0, std::memory_order_relaxed);
    } else {
        TrayIcon::update(TrayMode::ShowPaused);
        runState.paused.store(1, std::memory_order_relaxed);
    }
    // One press toggles once, however long the key is held.
    while (pauseKeyHeld()) {
        platform::sleepFor(ReleasePollMs);
    }
}

} // namespace

void MonitorThread() {
    // A break key already held when the thread starts ends the program, also
    // when it is the pause key too.
    if (!breakKeyHeld()) {
        const bool breakTested = !breakKeyIsPauseKey();
        do {
            if (pauseKeyHeld()) {
                togglePause();
            }
            platform::sleepFor(CycleMs);
        } while (!breakTested || !breakKeyHeld());
    }
    traceEnd(TraceEnd::BreakKey);
    TrayIcon::update(TrayMode::Remove);
    platform::endProcess();
}
