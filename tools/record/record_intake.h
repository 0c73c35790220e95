#pragma once
// From the capture's events to a recording, as every program that records
// takes them: the stop key ends the recording and is never part of it, clicks
// on the recording program's own windows and keys typed into them stay out,
// and each event notes the caption of the window in front.

#include "record_capture.h"

struct Intake {
    Recording recording;
    KeyCombo stopKey = 0;
    HeldModifiers held;
    unsigned ownButtons = 0; // buttons pressed on the program's own windows
    HWND lastFront = nullptr;
    std::uint32_t lastWindow = 0;
    std::vector<CapturedEvent> batch;
};

// A fresh intake: the screen and the system's pointer metrics now, the start
// time. The capture is started separately (startCapture).
void beginIntake(Intake& intake, KeyCombo stopKey);

// Takes what the hooks queued since the last call into the recording. True
// when the stop key went down; the recording's end time is that key's time
// then, and later events stay out.
bool takeIntoRecording(Intake& intake);

// Drops the click that stopped a recording from outside (on a tray icon, say):
// the last button press and what followed it.
void dropLastClick(Intake& intake);

// A UTF-16 text as GBK, up to the first character GBK cannot hold exactly.
std::string gbkPrefix(const wchar_t* text, int length);
