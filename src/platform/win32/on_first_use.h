#pragma once
// What only some scripts need is made ready when one first needs it, so that a
// script that needs none of it starts as fast as a program that makes one window:
// SHELL32 (the tray icon and Excute) is loaded, not imported, and version 6 of
// the common controls is selected only around what shows the system's own
// windows (the message boxes, the errors of a program start), not for the whole
// process, where the hidden owner window alone would load comctl32.

#include "platform/win32/handles.h"

namespace platform::win32 {

// The address of `name` in shell32.dll, which is loaded on the first call; null
// when either is missing.
FARPROC shellProcedure(const char* name);

template <typename Function> Function* shellFunction(const char* name) {
    // Through the generic function pointer type, which any other converts from
    // and to without a warning about their types.
    return reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(shellProcedure(name)));
}

// Activates, on the calling thread, the player's manifest that selects version 6
// of the common controls (RT_MANIFEST 2); returns the cookie for
// leaveCommonControls, 0 when it could not be activated.
ULONG_PTR enterCommonControls();
void leaveCommonControls(ULONG_PTR cookie);

} // namespace platform::win32
