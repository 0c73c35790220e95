#pragma once
// The spy's Win32 front end: text conversions, output to a console or pipe,
// the clipboard and the window; what it reads from the screen is in
// spy_screen.h, which the studio shares.

#include "spy_screen.h"
#include "text_codes.h"

#include <string>

// ---- spy_output.cpp ------------------------------------------------------------

// Writes to the standard output (or error): to a console as Unicode, to a pipe
// or file as GBK bytes or, with `utf8`, UTF-8. A GUI program has no console of
// its own; it uses the handles it was given or the console of its parent.
void printText(const std::string& gbk, bool utf8, bool toError);
// Puts the text on the clipboard as CF_UNICODETEXT and as CF_TEXT (GBK), line
// feeds as CR LF.
bool copyToClipboard(HWND owner, const std::string& gbk);

// ---- spy_window.cpp ------------------------------------------------------------

// The always-on-top spy window, its texts in `language`; returns the exit code.
int runSpyWindow(HINSTANCE instance, NameForm form, UiLanguage language);
