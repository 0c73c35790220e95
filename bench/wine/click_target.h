#pragma once
// A window of ours for the players' clicks to land on.

#include "support/test_window.h"

namespace bench {

// Brings the window to the front and holds the pointer steady over the middle
// of its client area, where a player's LClick then lands; false when it cannot.
bool aimAt(e2e::TestWindow& window);

// Waits until a left press has arrived at the window since its messages were
// last cleared (a press soon after the last one arrives as a double click).
bool waitForClick(const e2e::TestWindow& window, DWORD timeoutMs);

} // namespace bench
