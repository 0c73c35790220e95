#pragma once
// The recorder's capture: low-level mouse and keyboard hooks on a thread of
// their own with a message loop. The hook procedures only put each event with
// its time on a queue; the recorder takes them off in batches.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "record_events.h"

#include <vector>

// One event as the hook saw it.
struct CapturedEvent {
    EventKind kind = EventKind::Move;
    std::uint8_t key = 0;
    bool injected = false;
    DWORD time = 0;
    POINT point{};
    HWND front = nullptr; // the foreground window at that moment
};

// Installs both hooks on a new thread and returns once they are in place.
// False, with the system's error code in `error`, when either cannot be
// installed; then no thread is left running.
bool startCapture(DWORD& error);

// Moves what the hooks queued since the last call into `into` (appended).
// The queue grows as needed: no event is ever dropped.
void takeCaptured(std::vector<CapturedEvent>& into);

// Removes the hooks and ends the thread; the events queued up to then can
// still be taken.
void stopCapture();
