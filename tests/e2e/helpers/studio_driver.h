#pragma once
// Driving the studio as a user does: keys sent with SendInput to the window in
// front, and what it shows read from outside (helpers/studio_window.h). The
// tests' literals are GBK, as everything the system keeps; what the studio
// shows is read as UTF-16 and compared in GBK.

#include "helpers/studio_window.h"
#include "support/process.h"
#include "support/windows_api.h"

#include <string>
#include <vector>

namespace e2e {

std::wstring wide(const std::string& text, UINT codePage = 936);
std::string narrow(const std::wstring& text, UINT codePage = 936);
inline std::string gbk(const std::wstring& text) {
    return narrow(text);
}
inline std::string utf8Of(const std::string& gbkText) {
    return narrow(wide(gbkText), CP_UTF8);
}

// A key with modifiers held around it, as a user presses a shortcut.
void press(WORD key, std::vector<WORD> modifiers = {});
// Types GBK text character by character; a line feed is the Enter key.
void type(const std::string& text);

// A studio started for a test, ended with it.
class StudioUnderTest {
  public:
    // The built studio, or a copy of it at `studioPath` (a Windows path).
    explicit StudioUnderTest(const std::string& arguments, const std::string& studioPath = "");

    bool waitForWindow();
    // The studio in front (restored if it stepped aside), its editor focused.
    bool bringToFront();
    std::wstring controlText(int id) const { return studioControlText(window, id); }
    std::string title() const;
    std::string editorText() const { return gbk(studioEditorText(window)); }
    std::vector<std::string> problems() const;
    std::string state() const;

    RunningProgram program;
    HWND window = nullptr;
};

} // namespace e2e
