#pragma once
// Finding the message boxes a program under test shows, reading and answering them.

#include "windows_api.h"

#include <string>

namespace e2e {

// The first top-level dialog window with exactly this caption (GBK bytes),
// visible, of the process `processId` (0: of any process), that appears within
// `timeoutMs`; null when none does.
HWND waitForMessageBox(const std::string& caption, DWORD processId = 0, DWORD timeoutMs = 10000);

// The box's message text, byte for byte (the static control 0xFFFF).
std::string messageBoxText(HWND box);

// Whether the box has a button with this id (IDOK, IDCANCEL, ...).
bool hasButton(HWND box, int buttonId);

// Presses the button with this id; false when the box has no such button or
// does not answer within a few seconds.
bool pressButton(HWND box, int buttonId);

} // namespace e2e
