#pragma once
// The process-wide settings and flags of a run.

#include "platform/platform.h"
#include "script/byte_string.h"

#include <atomic>
#include <cstdint>

// The break key of a script that names none.
inline constexpr char DefaultBreakKey[] = "ESC";

struct RunState {
    ByteString breakKey{DefaultBreakKey};
    ByteString pauseKey;
    std::int32_t loopCount = -1;
    std::int32_t loopEnabled = 0;
    // Written by the monitor thread, polled by the executor.
    std::atomic<std::int32_t> paused{0};
    std::uint8_t showTrayIcon = 0;
    platform::ScreenPoint savedCursor;
    std::uint32_t lastForegroundPid = 0;
    // Written by the main thread once the monitor thread runs; read by both.
    std::atomic<platform::WindowHandle> hiddenWindow{0};
};

extern RunState runState;

// Puts every field back to its initial value (a new run in the same process).
void resetRunState();
