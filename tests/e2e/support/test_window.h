#pragma once
// A top-level window of the test process, run by a thread of its own, that
// records the input messages it receives: keys (WM_KEYDOWN, WM_KEYUP,
// WM_SYSKEYDOWN, WM_SYSKEYUP, WM_CHAR), mouse buttons (down, up, double click
// of the left, right and middle buttons, with the client position) and clicks
// of its child controls (WM_COMMAND). What a program under test sends is
// checked through these messages.

#include "windows_api.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace e2e {

struct ReceivedMessage {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD time = 0; // the message's time (GetMessageTime), in milliseconds
};

// "WM_KEYDOWN 41" and the like, for readable failure messages.
std::string describe(const ReceivedMessage& message);
std::vector<std::string> describe(const std::vector<ReceivedMessage>& messages);

struct TestWindowOptions {
    std::string title = "e2e test window";
    int x = 100;
    int y = 100;
    int width = 640;
    int height = 480;
    // The client area's colour; CLR_INVALID for the system's window colour.
    COLORREF background = CLR_INVALID;
    // Two quick left clicks arrive as WM_LBUTTONDOWN and WM_LBUTTONDBLCLK, as
    // in most programs; false: every press is a WM_LBUTTONDOWN.
    bool doubleClicks = true;
};

class TestWindow {
  public:
    explicit TestWindow(TestWindowOptions options = {});
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    ~TestWindow();

    HWND handle() const { return window; }

    // Brings the window to the front with the keyboard focus; true once it is
    // the foreground window.
    bool activate(DWORD timeoutMs = 5000);

    // A child control made on the window's thread: a push button, say, with
    // the class "button", or "edit". Returns its handle.
    HWND addControl(const std::string& className, int id, const std::string& text,
                    bool enabled = true, DWORD style = 0);
    // A child control at a place of its own: inside the control `parentId`
    // (a group box, say) or, with 0, directly in the window; x and y are
    // relative to that parent's client area.
    HWND addControlAt(int parentId, const std::string& className, int id, const std::string& text,
                      RECT place, DWORD style = 0);
    void setControlText(int id, const std::string& text);
    void enableControl(int id, bool enabled);

    // The messages recorded so far, in order of arrival.
    std::vector<ReceivedMessage> messages() const;
    // Only the key messages (WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP).
    std::vector<ReceivedMessage> keyMessages() const;
    void clearMessages();

    // Waits until `done` holds for the recorded messages; false on timeout.
    // `done` gets a copy and may call this window's members.
    bool waitFor(const std::function<bool(const std::vector<ReceivedMessage>&)>& done,
                 DWORD timeoutMs = 5000) const;
    // Waits until at least `count` messages are recorded.
    bool waitForCount(std::size_t count, DWORD timeoutMs = 5000) const;
    // Waits until at least `count` key messages are recorded.
    bool waitForKeyMessages(std::size_t count, DWORD timeoutMs = 5000) const;

  private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void run(TestWindowOptions options);
    void record(UINT message, WPARAM wParam, LPARAM lParam);
    // Runs `work` on the window's thread and waits for it.
    void onWindowThread(const std::function<void()>& work);

    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    std::vector<ReceivedMessage> received;
    std::size_t changes = 0; // counts every change of `received`
    HWND window = nullptr;
    bool ready = false;
    int controlCount = 0; // used on the window's thread only
    HBRUSH backgroundBrush = nullptr;
    std::thread thread;
};

} // namespace e2e
