#pragma once
// Helpers for the end-to-end tests of the waiting and window commands: script
// lines executed in the test process through the real platform layer, actions
// that happen a while later on a thread of their own, and a clock.

#include "runner/run_state.h"
#include "script/parser.h"
#include "script/script.h"
#include "support/test_window.h"
#include "support/windows_api.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace waits {

// Parses `line` as the only line of a script and executes it as the body loop
// would; returns the stop flag. The Script puts the break key back to ESC.
inline bool executeLine(const std::string& line) {
    Script script;
    script.splitLines(line.c_str());
    if (script.lineCount != 1 || !parseLine(script.lines[0].data(), script.commands[0])) {
        ADD_FAILURE() << "cannot parse: " << line;
        return false;
    }
    return script.execute(script.commands[0]);
}

// Milliseconds since the record was made.
class Stopwatch {
  public:
    ULONGLONG elapsedMs() const { return GetTickCount64() - start; }

  private:
    ULONGLONG start = GetTickCount64();
};

// Runs `action` on a thread of its own `delayMs` after the record is made,
// unless the record ends first; the end of the record waits for a running action.
class Later {
  public:
    Later(DWORD delayMs, std::function<void()> action)
        : thread([this, delayMs, action = std::move(action)] {
              std::unique_lock lock(mutex);
              if (!changed.wait_for(lock, std::chrono::milliseconds(delayMs),
                                    [this] { return cancelled; })) {
                  lock.unlock();
                  action();
              }
          }) {}
    Later(const Later&) = delete;
    Later& operator=(const Later&) = delete;
    ~Later() {
        {
            std::lock_guard lock(mutex);
            cancelled = true;
        }
        changed.notify_all();
        thread.join();
    }

  private:
    std::mutex mutex;
    std::condition_variable changed;
    bool cancelled = false;
    std::thread thread;
};

// Screen coordinates of a point of a window's client area.
inline POINT screenPoint(HWND window, int x, int y) {
    POINT point{x, y};
    ClientToScreen(window, &point);
    return point;
}

// Waits until `done` holds, testing every 20 ms; false after `timeoutMs`.
inline bool eventually(const std::function<bool()>& done, DWORD timeoutMs = 5000) {
    Stopwatch clock;
    while (!done()) {
        if (clock.elapsedMs() >= timeoutMs) {
            return false;
        }
        Sleep(20);
    }
    return true;
}

// The BN_CLICKED notifications of the control `id` that the window received.
inline std::size_t buttonClicks(const e2e::TestWindow& window, int id) {
    std::size_t clicks = 0;
    for (const e2e::ReceivedMessage& message : window.messages()) {
        clicks += message.message == WM_COMMAND && LOWORD(message.wParam) == id &&
                          HIWORD(message.wParam) == BN_CLICKED
                      ? 1
                      : 0;
    }
    return clicks;
}

// Fresh run state for each test: the tests share one process.
class WaitE2e : public ::testing::Test {
  protected:
    void SetUp() override { resetRunState(); }
};

} // namespace waits
