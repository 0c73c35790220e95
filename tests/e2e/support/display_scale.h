#pragma once
// Running a window program at a display scale, and checking what its window
// shows at that scale: that every text fits its control, and that the window
// fits the screen.
//
//   e2e::DisplayScale scale(144);         // LogPixels for the programs started now
//   e2e::RunningProgram program = e2e::startProgram(...);
//   ... wait for its window ...
//   scale.restore();                      // 96 again for every later program
//   EXPECT_EQ(e2e::frameDpi(window), 144u);   // it runs at the scale
//   EXPECT_EQ(e2e::textsThatDoNotFit(window, 144), std::vector<std::string>{});
//   EXPECT_EQ(e2e::outsideScreen(window), "");

#include "windows_api.h"

#include <string>
#include <vector>

namespace e2e {

// Sets HKCU\Control Panel\Desktop LogPixels, which a Wine program reads when it
// starts; the programs started while the record lives run at `dpi` (96, 120,
// 144, 192). Restores 96 when restored or ended, so that a failing test leaves
// the bed as it found it.
class DisplayScale {
  public:
    explicit DisplayScale(DWORD dpi);
    DisplayScale(const DisplayScale&) = delete;
    DisplayScale& operator=(const DisplayScale&) = delete;
    ~DisplayScale();

    void restore();

  private:
    bool set = false;
};

// Makes the test process per-monitor DPI aware, as the programs are, so that
// it reads their windows' rectangles in real pixels (Wine scales them for a
// program that is not aware). Call it before any window of the test is made.
bool readRealPixels();

// The controls of the top-level window (its children, at any depth) whose
// text does not fit: push buttons, check boxes and radio buttons, and static
// labels, their text measured against their client rectangle (a check box's or
// radio button's box left out, a label's text broken at words unless it keeps
// to one line), and one-line edits by the height of a line. The text is
// measured with the control's own font where this process can read it, else
// (under Wine, for a window of another process) with the font the system gives
// dialogs at `dpi`, which our windows use. Look at a screenshot of the window
// too: a font that lacks a character is replaced by another when drawing.
// One description per control that does not fit; empty when all do.
std::vector<std::string> textsThatDoNotFit(HWND window, UINT dpi);

// The DPI at which the top-level window's frame (caption, borders and a menu bar of one row when it
// has a menu) is drawn, found by the frame's size; 0 when no DPI gives that frame. Under Wine
// GetDpiForWindow answers for the calling process, not for the window's.
UINT frameDpi(HWND window);

// Empty when the window lies wholly on the primary screen; else how it does not.
std::string outsideScreen(HWND window);

// The lines of a control's text, as it shows them (split at line breaks).
std::vector<std::wstring> textLines(HWND control);

// The height of one line of the control's font (as textsThatDoNotFit finds
// it), in pixels.
int controlLineHeight(HWND control, UINT dpi);

} // namespace e2e
