#include "runner/run_state.h"

RunState runState;

void resetRunState() {
    runState.breakKey = ByteString(DefaultBreakKey);
    runState.pauseKey = ByteString();
    runState.loopCount = -1;
    runState.loopEnabled = 0;
    runState.paused.store(0, std::memory_order_relaxed);
    runState.showTrayIcon = 0;
    runState.savedCursor = {};
    runState.lastForegroundPid = 0;
    runState.hiddenWindow.store(0, std::memory_order_relaxed);
}
