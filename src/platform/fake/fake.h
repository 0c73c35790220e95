#pragma once
// Control of the recording fake platform used by the host tests.
//
// Time is virtual: sleepFor advances the clock and nothing else does. The state
// of keys, pixels, windows, controls and the foreground window follows scripted
// timelines (a value from a given virtual millisecond on). Every platform call
// is logged with the virtual time at which it was made, so a test can assert the
// exact sequence of events.

#include "platform/platform.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace fake {

using Time = std::uint64_t; // virtual milliseconds since reset()
constexpr Time Forever = ~Time(0);

struct Call {
    Time time;
    std::string
        text; // e.g. "key 41 down", "sleep 100"; see the files of src/platform/fake for each form
};

// Thrown by endProcess(): the process would end here.
struct ProcessEnded {};
// Thrown when a run goes on longer than the limit: a wait that never ends.
struct TimeLimitReached {};

// Back to a fresh world: time 0, empty log, 1920 x 1080 screen, no keys held,
// no windows, no processes, no resources, every operation succeeding.
void reset();

Time now();
// Virtual time after which sleepFor throws TimeLimitReached (default one hour);
// also the number of logged calls after which any call throws it (default 2,000,000).
void setTimeLimit(Time limit, std::size_t callLimit = 2'000'000);

const std::vector<Call>& calls();
// The texts of the logged calls, only those starting with one of `prefixes` when given.
std::vector<std::string> callTexts(const std::vector<std::string>& prefixes = {});
// The number of logged calls whose text starts with `prefix`.
std::size_t countCalls(const std::string& prefix);
void clearCalls();

// ---- Scripted state ----------------------------------------------------------

// The key is down from `from` (inclusive) until `until` (exclusive).
void holdKey(std::uint8_t virtualKey, Time from = 0, Time until = Forever);
void setScreenSize(std::int32_t width, std::int32_t height);
void setCursor(platform::ScreenPoint point);
// The pixel has `colour` (red in the low byte) from `from` on. Unset pixels on the
// screen are black; pixels off the screen read with all bits set.
void setPixel(std::int32_t x, std::int32_t y, std::uint32_t colour, Time from = 0);

void setResource(platform::ModuleHandle module, int name, int type, std::string bytes);
void setOwnModule(platform::ModuleHandle module);
void setOwnExecutablePath(std::string path);
// Shared memory of this name and size (zeroed), which openSharedMemory maps;
// returns its bytes, valid until reset.
void* addSharedMemory(std::string name, std::size_t size);

// A top-level window; returns its handle.
platform::WindowHandle addWindow(std::string className, std::string title,
                                 std::uint32_t processId = 0);
void setWindowTitle(platform::WindowHandle window, std::string title, Time from = 0);
void setWindowRect(platform::WindowHandle window, platform::WindowRect rect);
platform::WindowRect windowRectOf(platform::WindowHandle window);
// The foreground window is `window` from `from` on (0: none).
void setForeground(platform::WindowHandle window, Time from = 0);
// A control of `window` with dialog id `id`; returns its handle.
platform::WindowHandle addControl(platform::WindowHandle window, int id, std::string text,
                                  bool enabled = true);
void setControlText(platform::WindowHandle control, std::string text, Time from = 0);
void setControlEnabled(platform::WindowHandle control, bool enabled, Time from = 0);
void addProcess(std::uint32_t processId, std::string exeFile);

// Runs `action` once, as soon as sleepFor has moved the clock to `when` or past it;
// actions due together run in the order they were given. For state that the
// fake cannot script itself, such as a flag another thread would change.
void atTime(Time when, std::function<void()> action);

// Answer that message boxes return (default: OK).
void setMessageBoxAnswer(int answer);

// Failure switches, all off after reset().
struct Failures {
    bool openClipboard = false;
    bool allocateMemory = false;
    bool lockMemory = false;
    bool setClipboard = false;
    bool snapshot = false;
    bool createWindow = false;
    // createWindow throws std::bad_alloc, as a failed allocation anywhere in a run would.
    bool outOfMemory = false;
};
Failures& failures();

// ---- Observed state ------------------------------------------------------------

std::string clipboardText();
std::size_t liveMemoryBlocks();   // allocated, neither freed nor owned by the clipboard
std::size_t liveScreenContexts(); // taken and not released
std::size_t liveIcons();          // extracted and not destroyed
// Procedures handed to startThread, in order; the fake does not run them.
const std::vector<void (*)()>& startedThreads();
// The last record given to notifyIcon, with the message.
struct NotifyCall {
    std::uint32_t message;
    platform::NotifyIconRecord record;
};
const std::vector<NotifyCall>& notifyCalls();

} // namespace fake
