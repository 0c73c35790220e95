#pragma once
// Display scale for a window program of ours. Every program declares itself
// per-monitor DPI aware in its manifest, so the system scales nothing for it:
// the window draws its own layout at its monitor's DPI. Layouts are written in
// 96-DPI design pixels and scaled; fonts are made for the DPI.
//
// A window program keeps a UiScale in its one state record and does this:
//
//   WM_CREATE:     state.scale = scaleForWindow(window);
//                  makeFonts(state);   // messageFont(state.scale.dpi), ...
//                  layout(state);      // scaled(state.scale, 8), textWidth(...)
//   WM_DPICHANGED: if (takeDpiChange(window, state.scale, wParam, lParam)) {
//                      makeFonts(state);  // the old ones deleted after WM_SETFONT
//                      layout(state);
//                  }
//
// and sizes its top-level window with windowSizeForClient. Positions that a
// tool writes into a script (the spy's points, recorded clicks) are screen
// pixels and have nothing to do with this.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string_view>

constexpr UINT DesignDpi = 96;

struct UiScale {
    UINT dpi = DesignDpi;
};

// The DPI of the window (GetDpiForWindow), else of its monitor
// (GetDpiForMonitor), else of the system (the screen's LOGPIXELSY).
UINT windowDpi(HWND window);
// The system DPI, for a window not made yet.
UINT systemDpi();
inline UiScale scaleForWindow(HWND window) {
    return UiScale{windowDpi(window)};
}

// A 96-DPI design value at the scale, rounded to the nearest pixel.
inline int scaled(UiScale scale, int designValue) {
    return MulDiv(designValue, static_cast<int>(scale.dpi), static_cast<int>(DesignDpi));
}

// The system's message font (what dialogs use) at the DPI:
// SystemParametersInfoForDpi where the system has it, else the font for the
// system DPI scaled to this one. The caller deletes it.
HFONT createMessageFont(UINT dpi);
// A fixed-pitch font (Consolas, else Courier New) of `points` points at the DPI.
HFONT createFixedFont(int points, UINT dpi);

// A text as the font draws it on one line, and the height of one line of the
// font (its tmHeight plus its external leading).
SIZE textSize(HFONT font, std::wstring_view text);
// The height of a text broken into lines at words to fit `width`, as a static
// control without SS_LEFTNOWORDWRAP shows it.
int wrappedTextHeight(HFONT font, std::wstring_view text, int width);
int lineHeight(HFONT font);

// The size of a top-level window whose client area is `clientWidth` x
// `clientHeight` at the DPI (AdjustWindowRectExForDpi where the system has it).
SIZE windowSizeForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, UINT dpi);

// WM_DPICHANGED: moves the window to the rectangle the system suggests and
// takes the new DPI (the message's, which is the one the window will have);
// true when the DPI changed, and fonts and layout are then to be made anew.
bool takeDpiChange(HWND window, UiScale& scale, WPARAM wParam, LPARAM lParam);

// Gives the control the font and redraws it. A font given to controls is
// deleted only after every one of them has been given its successor.
void setControlFont(HWND control, HFONT font);
