#pragma once
// Small helpers shared by the waiting commands.

#include "keys/key_combo.h"
#include "runner/run_state.h"

// True while the run's break key is held. The key text was upper-cased when the
// script was parsed, so the test only reads it (the monitor thread reads it too).
inline bool isBreakKeyHeldNow() {
    char* text = runState.breakKey.data();
    return text != nullptr && isKeyComboHeld(text);
}
