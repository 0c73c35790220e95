#pragma once
// The state of the recording fake platform, shared by its files (one per area,
// as in win32/) and by nothing else: the tests use fake.h.

#include "platform/fake/fake.h"
#include "platform/platform.h"

#include <cstdio>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace fake {

template <typename T> struct Timeline {
    std::vector<std::pair<Time, T>> changes; // in order of `from`

    void set(Time from, T value) {
        auto at = changes.begin();
        while (at != changes.end() && at->first <= from) {
            ++at;
        }
        changes.insert(at, {from, std::move(value)});
    }
    const T* at(Time time) const {
        const T* value = nullptr;
        for (const auto& change : changes) {
            if (change.first <= time) {
                value = &change.second;
            }
        }
        return value;
    }
};

struct FakeWindow {
    std::string className;
    Timeline<std::string> text;
    Timeline<bool> enabled;
    platform::WindowRect rect;
    std::uint32_t processId = 0;
    platform::WindowHandle parent = 0;
    int id = 0;
};

struct World {
    Time time = 0;
    Time timeLimit = 3'600'000;
    std::size_t callLimit = 2'000'000;
    std::vector<Call> calls;

    std::map<std::uint8_t, std::vector<std::pair<Time, Time>>> heldKeys;
    std::int32_t width = 1920;
    std::int32_t height = 1080;
    platform::ScreenPoint cursor;
    std::map<std::pair<std::int32_t, std::int32_t>, Timeline<std::uint32_t>> pixels;

    platform::ModuleHandle ownModule = 0x400000;
    std::map<std::tuple<platform::ModuleHandle, int, int>, std::string> resources;
    std::string ownPath = "C:\\player.exe";

    std::map<platform::WindowHandle, FakeWindow> windows;
    platform::WindowHandle nextWindow = 100;
    Timeline<platform::WindowHandle> foreground;
    std::map<std::uint32_t, std::string> processes;

    int messageBoxAnswer = platform::AnswerOk;
    Failures failures;

    bool clipboardOpen = false;
    std::string clipboard;
    std::map<platform::MemoryHandle, std::string> memory; // live blocks
    std::set<platform::MemoryHandle> clipboardOwned;
    platform::MemoryHandle nextMemory = 1;

    std::size_t liveContexts = 0;
    std::size_t liveIcons = 0;
    platform::IconHandle nextIcon = 1;
    std::map<platform::SnapshotHandle, std::size_t> snapshots; // next entry index
    platform::SnapshotHandle nextSnapshot = 1;

    std::vector<void (*)()> threads;
    std::vector<NotifyCall> notifies;
    std::vector<std::pair<Time, std::function<void()>>> timedActions;
    std::map<std::string, std::vector<std::uint64_t>> sharedMemory; // 8-byte aligned
};

// Every operation and every control function holds this lock: the monitor
// thread and the executor may both call the fake in the threads tests.
extern std::recursive_mutex worldMutex;
using Lock = std::lock_guard<std::recursive_mutex>;

World& world();

// Appends one call to the log at the current virtual time; throws
// TimeLimitReached once the log holds the call limit.
void log(std::string text);

// Texts of any length: a long program path or parameter text is logged whole.
std::string format(const char* pattern, auto... values) {
    const int length = std::snprintf(nullptr, 0, pattern, values...);
    std::string text(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
    std::snprintf(text.data(), text.size() + 1, pattern, values...);
    return text;
}

inline const char* orNull(const char* text) {
    return text != nullptr ? text : "(null)";
}

} // namespace fake
