// The recording fake platform. Every operation of platform.h logs one line of
// text with the virtual time; the forms are:
//   key VK down|up            keyboard event (VK two hex digits, upper case)
//   mouse FLAGS DX DY         mouse event (FLAGS four hex digits, DX DY decimal)
//   held? VK                  key-state query
//   cursor? / cursor X Y      read / set the pointer position
//   width? / height?          screen size queries
//   sleep MS
//   thread                    startThread
//   end                       endProcess
//   box CAPTION|TEXT|BUTTONS  message box (BUTTONS decimal)
//   clipboard open|empty|close|set OK|FAILED
//   memory alloc SIZE|lock|unlock|free
//   open FILE|PARAMS          openProgram (PARAMS "(null)" when absent)
//   path?                     ownExecutablePath
//   foreground?               foregroundWindow
//   text? H                   windowText
//   find CLASS|TITLE          findWindow ("(null)" for an absent name)
//   show H CMD / update H / front H / rect? H / place H X Y W H FLAGS
//   item? H ID / send H ID MSG (MSG four hex digits) / enabled? H / pid? H
//   window CLASS|TITLE|STYLE|X|Y|W|H   createWindow (STYLE eight hex digits)
//   dc / pixel X Y / release dc
//   snapshot / process first|next / snapshot close
//   icon FILE INDEX / icon destroy / notify MSG
//   module? / resource NAME TYPE
// Handles are printed in decimal.

#include "platform/fake/fake.h"
#include "platform/platform.h"

#include <cstdio>
#include <cstring>
#include <functional>
#include <iterator>
#include <map>
#include <mutex>
#include <new>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

template <typename T> struct Timeline {
    std::vector<std::pair<fake::Time, T>> changes; // in order of `from`

    void set(fake::Time from, T value) {
        auto at = changes.begin();
        while (at != changes.end() && at->first <= from) {
            ++at;
        }
        changes.insert(at, {from, std::move(value)});
    }
    const T* at(fake::Time time) const {
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
    fake::Time time = 0;
    fake::Time timeLimit = 3'600'000;
    std::size_t callLimit = 2'000'000;
    std::vector<fake::Call> calls;

    std::map<std::uint8_t, std::vector<std::pair<fake::Time, fake::Time>>> heldKeys;
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
    fake::Failures failures;

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
    std::vector<fake::NotifyCall> notifies;
    std::vector<std::pair<fake::Time, std::function<void()>>> timedActions;
};

std::recursive_mutex worldMutex;

World& world() {
    static World instance;
    return instance;
}

using Lock = std::lock_guard<std::recursive_mutex>;

// Texts of any length: a long program path or parameter text is logged whole.
std::string format(const char* pattern, auto... values) {
    const int length = std::snprintf(nullptr, 0, pattern, values...);
    std::string text(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
    std::snprintf(text.data(), text.size() + 1, pattern, values...);
    return text;
}

const char* orNull(const char* text) {
    return text != nullptr ? text : "(null)";
}

void log(std::string text) {
    World& w = world();
    if (w.calls.size() >= w.callLimit) {
        throw fake::TimeLimitReached{};
    }
    w.calls.push_back({w.time, std::move(text)});
}

FakeWindow* findFakeWindow(platform::WindowHandle handle) {
    auto it = world().windows.find(handle);
    return it != world().windows.end() ? &it->second : nullptr;
}

std::string textOf(const FakeWindow& window) {
    const std::string* text = window.text.at(world().time);
    return text != nullptr ? *text : std::string();
}

} // namespace

// ---- Control ----------------------------------------------------------------

namespace fake {

void reset() {
    Lock lock(worldMutex);
    world() = World{};
}

Time now() {
    Lock lock(worldMutex);
    return world().time;
}

void setTimeLimit(Time limit, std::size_t callLimit) {
    Lock lock(worldMutex);
    world().timeLimit = limit;
    world().callLimit = callLimit;
}

const std::vector<Call>& calls() {
    return world().calls;
}

std::vector<std::string> callTexts(const std::vector<std::string>& prefixes) {
    Lock lock(worldMutex);
    std::vector<std::string> texts;
    for (const Call& call : world().calls) {
        bool wanted = prefixes.empty();
        for (const std::string& prefix : prefixes) {
            wanted = wanted || call.text.compare(0, prefix.size(), prefix) == 0;
        }
        if (wanted) {
            texts.push_back(call.text);
        }
    }
    return texts;
}

std::size_t countCalls(const std::string& prefix) {
    return callTexts({prefix}).size();
}

void clearCalls() {
    Lock lock(worldMutex);
    world().calls.clear();
}

void holdKey(std::uint8_t virtualKey, Time from, Time until) {
    Lock lock(worldMutex);
    world().heldKeys[virtualKey].push_back({from, until});
}

void setScreenSize(std::int32_t width, std::int32_t height) {
    Lock lock(worldMutex);
    world().width = width;
    world().height = height;
}

void setCursor(platform::ScreenPoint point) {
    Lock lock(worldMutex);
    world().cursor = point;
}

void setPixel(std::int32_t x, std::int32_t y, std::uint32_t colour, Time from) {
    Lock lock(worldMutex);
    world().pixels[{x, y}].set(from, colour);
}

void setResource(platform::ModuleHandle module, int name, int type, std::string bytes) {
    Lock lock(worldMutex);
    world().resources[{module, name, type}] = std::move(bytes);
}

void setOwnModule(platform::ModuleHandle module) {
    Lock lock(worldMutex);
    world().ownModule = module;
}

void setOwnExecutablePath(std::string path) {
    Lock lock(worldMutex);
    world().ownPath = std::move(path);
}

platform::WindowHandle addWindow(std::string className, std::string title,
                                 std::uint32_t processId) {
    Lock lock(worldMutex);
    World& w = world();
    platform::WindowHandle handle = w.nextWindow++;
    FakeWindow& window = w.windows[handle];
    window.className = std::move(className);
    window.text.set(0, std::move(title));
    window.enabled.set(0, true);
    window.processId = processId;
    return handle;
}

void setWindowTitle(platform::WindowHandle window, std::string title, Time from) {
    Lock lock(worldMutex);
    if (FakeWindow* found = findFakeWindow(window)) {
        found->text.set(from, std::move(title));
    }
}

void setWindowRect(platform::WindowHandle window, platform::WindowRect rect) {
    Lock lock(worldMutex);
    if (FakeWindow* found = findFakeWindow(window)) {
        found->rect = rect;
    }
}

platform::WindowRect windowRectOf(platform::WindowHandle window) {
    Lock lock(worldMutex);
    FakeWindow* found = findFakeWindow(window);
    return found != nullptr ? found->rect : platform::WindowRect{};
}

void setForeground(platform::WindowHandle window, Time from) {
    Lock lock(worldMutex);
    world().foreground.set(from, window);
}

platform::WindowHandle addControl(platform::WindowHandle window, int id, std::string text,
                                  bool enabled) {
    Lock lock(worldMutex);
    platform::WindowHandle control = addWindow("Button", std::move(text));
    FakeWindow& created = world().windows[control];
    created.parent = window;
    created.id = id;
    created.enabled = {};
    created.enabled.set(0, enabled);
    return control;
}

void setControlText(platform::WindowHandle control, std::string text, Time from) {
    setWindowTitle(control, std::move(text), from);
}

void setControlEnabled(platform::WindowHandle control, bool enabled, Time from) {
    Lock lock(worldMutex);
    if (FakeWindow* found = findFakeWindow(control)) {
        found->enabled.set(from, enabled);
    }
}

void addProcess(std::uint32_t processId, std::string exeFile) {
    Lock lock(worldMutex);
    world().processes[processId] = std::move(exeFile);
}

void atTime(Time when, std::function<void()> action) {
    Lock lock(worldMutex);
    world().timedActions.emplace_back(when, std::move(action));
}

void setMessageBoxAnswer(int answer) {
    Lock lock(worldMutex);
    world().messageBoxAnswer = answer;
}

Failures& failures() {
    return world().failures;
}

std::string clipboardText() {
    Lock lock(worldMutex);
    return world().clipboard;
}

std::size_t liveMemoryBlocks() {
    Lock lock(worldMutex);
    return world().memory.size() - world().clipboardOwned.size();
}

std::size_t liveScreenContexts() {
    Lock lock(worldMutex);
    return world().liveContexts;
}

std::size_t liveIcons() {
    Lock lock(worldMutex);
    return world().liveIcons;
}

const std::vector<void (*)()>& startedThreads() {
    return world().threads;
}

const std::vector<NotifyCall>& notifyCalls() {
    return world().notifies;
}

} // namespace fake

// ---- The platform operations ---------------------------------------------------

namespace platform {

ModuleHandle ownModule() {
    Lock lock(worldMutex);
    log("module?");
    return world().ownModule;
}

bool findResource(ModuleHandle module, int name, int type, const unsigned char*& bytes,
                  std::uint32_t& size) {
    Lock lock(worldMutex);
    log(format("resource %d %d", name, type));
    auto it = world().resources.find({module, name, type});
    if (it == world().resources.end()) {
        return false;
    }
    bytes = reinterpret_cast<const unsigned char*>(it->second.data());
    size = static_cast<std::uint32_t>(it->second.size());
    return true;
}

void sendKeyEvent(std::uint8_t virtualKey, std::uint32_t flags) {
    Lock lock(worldMutex);
    log(format("key %02X %s", virtualKey, (flags & KeyUpFlag) != 0 ? "up" : "down"));
}

void sendMouseEvent(std::uint32_t flags, std::uint32_t dx, std::uint32_t dy) {
    Lock lock(worldMutex);
    log(format("mouse %04X %u %u", flags, dx, dy));
}

bool isKeyDown(std::uint8_t virtualKey) {
    Lock lock(worldMutex);
    log(format("held? %02X", virtualKey));
    World& w = world();
    auto it = w.heldKeys.find(virtualKey);
    if (it == w.heldKeys.end()) {
        return false;
    }
    for (const auto& [from, until] : it->second) {
        if (from <= w.time && w.time < until) {
            return true;
        }
    }
    return false;
}

ScreenPoint cursorPosition() {
    Lock lock(worldMutex);
    log("cursor?");
    return world().cursor;
}

void setCursorPosition(ScreenPoint point) {
    Lock lock(worldMutex);
    log(format("cursor %d %d", point.x, point.y));
    world().cursor = point;
}

std::int32_t screenWidth() {
    Lock lock(worldMutex);
    log("width?");
    return world().width;
}

std::int32_t screenHeight() {
    Lock lock(worldMutex);
    log("height?");
    return world().height;
}

void sleepFor(std::uint32_t milliseconds) {
    Lock lock(worldMutex);
    log(format("sleep %u", milliseconds));
    World& w = world();
    if (w.time + milliseconds > w.timeLimit) {
        w.time = w.timeLimit;
        throw fake::TimeLimitReached{};
    }
    w.time += milliseconds;
    std::vector<std::function<void()>> due;
    for (auto at = w.timedActions.begin(); at != w.timedActions.end();) {
        if (at->first <= w.time) {
            due.push_back(std::move(at->second));
            at = w.timedActions.erase(at);
        } else {
            ++at;
        }
    }
    for (auto& action : due) {
        action();
    }
}

void startThread(void (*procedure)()) {
    Lock lock(worldMutex);
    log("thread");
    world().threads.push_back(procedure);
}

void endProcess() {
    {
        Lock lock(worldMutex);
        log("end");
    }
    throw fake::ProcessEnded{};
}

int messageBox(const char* text, const char* caption, std::uint32_t buttons) {
    Lock lock(worldMutex);
    log(format("box %s|%s|%u", orNull(caption), orNull(text), buttons));
    return world().messageBoxAnswer;
}

bool openClipboard() {
    Lock lock(worldMutex);
    log("clipboard open");
    if (world().failures.openClipboard) {
        return false;
    }
    world().clipboardOpen = true;
    return true;
}

void emptyClipboard() {
    Lock lock(worldMutex);
    log("clipboard empty");
    if (world().clipboardOpen) {
        world().clipboard.clear();
    }
}

MemoryHandle allocateSharedMemory(std::size_t size) {
    Lock lock(worldMutex);
    log(format("memory alloc %zu", size));
    World& w = world();
    if (w.failures.allocateMemory) {
        return 0;
    }
    MemoryHandle handle = w.nextMemory++;
    w.memory[handle] = std::string(size, '\0');
    return handle;
}

char* lockMemory(MemoryHandle memory) {
    Lock lock(worldMutex);
    log("memory lock");
    auto it = world().memory.find(memory);
    if (world().failures.lockMemory || it == world().memory.end()) {
        return nullptr;
    }
    return it->second.data();
}

void unlockMemory(MemoryHandle memory) {
    Lock lock(worldMutex);
    log("memory unlock");
    (void)memory;
}

void freeMemory(MemoryHandle memory) {
    Lock lock(worldMutex);
    log("memory free");
    world().memory.erase(memory);
}

bool setClipboardText(MemoryHandle memory) {
    Lock lock(worldMutex);
    World& w = world();
    auto it = w.memory.find(memory);
    if (w.failures.setClipboard || !w.clipboardOpen || it == w.memory.end()) {
        log("clipboard set FAILED");
        return false;
    }
    log("clipboard set OK");
    w.clipboard = std::string(it->second.c_str());
    w.clipboardOwned.insert(memory);
    return true;
}

void closeClipboard() {
    Lock lock(worldMutex);
    log("clipboard close");
    world().clipboardOpen = false;
}

void openProgram(const char* file, const char* parameters) {
    Lock lock(worldMutex);
    log(format("open %s|%s", orNull(file), orNull(parameters)));
}

std::size_t ownExecutablePath(char* buffer, std::size_t capacity) {
    Lock lock(worldMutex);
    log("path?");
    const std::string& path = world().ownPath;
    if (capacity == 0) {
        return 0;
    }
    if (path.size() >= capacity) {
        std::memcpy(buffer, path.data(), capacity - 1);
        buffer[capacity - 1] = '\0';
        return capacity;
    }
    std::memcpy(buffer, path.c_str(), path.size() + 1);
    return path.size();
}

WindowHandle foregroundWindow() {
    Lock lock(worldMutex);
    log("foreground?");
    const WindowHandle* handle = world().foreground.at(world().time);
    return handle != nullptr ? *handle : 0;
}

std::size_t windowText(WindowHandle window, char* buffer, std::size_t capacity) {
    Lock lock(worldMutex);
    log(format("text? %zu", static_cast<std::size_t>(window)));
    if (capacity == 0) {
        return 0;
    }
    FakeWindow* found = findFakeWindow(window);
    std::string text = found != nullptr ? textOf(*found) : std::string();
    std::size_t length = text.size() < capacity - 1 ? text.size() : capacity - 1;
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return length;
}

WindowHandle findWindow(const char* className, const char* title) {
    Lock lock(worldMutex);
    log(format("find %s|%s", orNull(className), orNull(title)));
    auto sameText = [](const std::string& a, const char* b) {
        if (a.size() != std::strlen(b)) {
            return false;
        }
        for (std::size_t i = 0; i < a.size(); ++i) {
            auto fold = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
            if (fold(static_cast<unsigned char>(a[i])) != fold(static_cast<unsigned char>(b[i]))) {
                return false;
            }
        }
        return true;
    };
    for (const auto& [handle, window] : world().windows) {
        if (window.parent != 0) {
            continue;
        }
        if (className != nullptr && !sameText(window.className, className)) {
            continue;
        }
        if (title != nullptr && !sameText(textOf(window), title)) {
            continue;
        }
        return handle;
    }
    return 0;
}

void showWindow(WindowHandle window, int command) {
    Lock lock(worldMutex);
    log(format("show %zu %d", static_cast<std::size_t>(window), command));
}

void updateWindow(WindowHandle window) {
    Lock lock(worldMutex);
    log(format("update %zu", static_cast<std::size_t>(window)));
}

void setForegroundWindow(WindowHandle window) {
    Lock lock(worldMutex);
    log(format("front %zu", static_cast<std::size_t>(window)));
    if (findFakeWindow(window) != nullptr) {
        world().foreground.set(world().time, window);
    }
}

bool windowRect(WindowHandle window, WindowRect& rect) {
    Lock lock(worldMutex);
    log(format("rect? %zu", static_cast<std::size_t>(window)));
    FakeWindow* found = findFakeWindow(window);
    if (found == nullptr) {
        return false;
    }
    rect = found->rect;
    return true;
}

void setWindowPosition(WindowHandle window, std::int32_t x, std::int32_t y, std::int32_t width,
                       std::int32_t height, std::uint32_t flags) {
    Lock lock(worldMutex);
    log(format("place %zu %d %d %d %d %u", static_cast<std::size_t>(window), x, y, width, height,
               flags));
    if (FakeWindow* found = findFakeWindow(window)) {
        found->rect = {x, y, x + width, y + height};
    }
}

WindowHandle dialogItem(WindowHandle window, int id) {
    Lock lock(worldMutex);
    log(format("item? %zu %d", static_cast<std::size_t>(window), id));
    if (window == 0) {
        return 0;
    }
    for (const auto& [handle, control] : world().windows) {
        if (control.parent == window && control.id == id) {
            return handle;
        }
    }
    return 0;
}

void sendDialogItemMessage(WindowHandle window, int id, std::uint32_t message) {
    Lock lock(worldMutex);
    log(format("send %zu %d %04X", static_cast<std::size_t>(window), id, message));
}

bool isWindowEnabled(WindowHandle window) {
    Lock lock(worldMutex);
    log(format("enabled? %zu", static_cast<std::size_t>(window)));
    FakeWindow* found = findFakeWindow(window);
    if (found == nullptr) {
        return false;
    }
    const bool* enabled = found->enabled.at(world().time);
    return enabled != nullptr && *enabled;
}

std::uint32_t windowProcessId(WindowHandle window) {
    Lock lock(worldMutex);
    log(format("pid? %zu", static_cast<std::size_t>(window)));
    FakeWindow* found = findFakeWindow(window);
    return found != nullptr ? found->processId : 0;
}

WindowHandle createWindow(const char* className, const char* title, std::uint32_t style,
                          std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) {
    Lock lock(worldMutex);
    log(format("window %s|%s|%08X|%d|%d|%d|%d", orNull(className), orNull(title), style, x, y,
               width, height));
    if (world().failures.outOfMemory) {
        throw std::bad_alloc();
    }
    if (world().failures.createWindow) {
        return 0;
    }
    WindowHandle handle = fake::addWindow(orNull(className), orNull(title));
    return handle;
}

ContextHandle screenContext() {
    Lock lock(worldMutex);
    log("dc");
    ++world().liveContexts;
    return 0x5C;
}

std::uint32_t pixelColor(ContextHandle context, std::int32_t x, std::int32_t y) {
    Lock lock(worldMutex);
    log(format("pixel %d %d", x, y));
    World& w = world();
    if (context == 0 || x < 0 || y < 0 || x >= w.width || y >= w.height) {
        return 0xFFFFFFFF;
    }
    auto it = w.pixels.find({x, y});
    if (it == w.pixels.end()) {
        return 0;
    }
    const std::uint32_t* colour = it->second.at(w.time);
    return colour != nullptr ? *colour : 0;
}

void releaseScreenContext(ContextHandle context) {
    Lock lock(worldMutex);
    log("release dc");
    if (context != 0 && world().liveContexts > 0) {
        --world().liveContexts;
    }
}

SnapshotHandle processSnapshot() {
    Lock lock(worldMutex);
    log("snapshot");
    World& w = world();
    if (w.failures.snapshot) {
        return 0;
    }
    SnapshotHandle handle = w.nextSnapshot++;
    w.snapshots[handle] = 0;
    return handle;
}

namespace {
bool snapshotEntry(SnapshotHandle snapshot, ProcessEntry& entry, bool first) {
    World& w = world();
    auto it = w.snapshots.find(snapshot);
    if (it == w.snapshots.end()) {
        return false;
    }
    if (first) {
        it->second = 0;
    }
    if (it->second >= w.processes.size()) {
        return false;
    }
    auto process = w.processes.begin();
    std::advance(process, static_cast<std::ptrdiff_t>(it->second));
    ++it->second;
    entry.processId = process->first;
    std::memset(entry.exeFile, 0, sizeof entry.exeFile);
    std::strncpy(entry.exeFile, process->second.c_str(), sizeof entry.exeFile - 1);
    return true;
}
} // namespace

bool firstProcess(SnapshotHandle snapshot, ProcessEntry& entry) {
    Lock lock(worldMutex);
    log("process first");
    return snapshotEntry(snapshot, entry, true);
}

bool nextProcess(SnapshotHandle snapshot, ProcessEntry& entry) {
    Lock lock(worldMutex);
    log("process next");
    return snapshotEntry(snapshot, entry, false);
}

void closeSnapshot(SnapshotHandle snapshot) {
    Lock lock(worldMutex);
    log("snapshot close");
    world().snapshots.erase(snapshot);
}

IconHandle extractSmallIcon(const char* file, int index) {
    Lock lock(worldMutex);
    log(format("icon %s %d", orNull(file), index));
    ++world().liveIcons;
    return 1000 + static_cast<IconHandle>(index);
}

void destroyIcon(IconHandle icon) {
    Lock lock(worldMutex);
    log("icon destroy");
    if (icon != 0 && world().liveIcons > 0) {
        --world().liveIcons;
    }
}

bool notifyIcon(std::uint32_t message, const NotifyIconRecord& record) {
    Lock lock(worldMutex);
    log(format("notify %u", message));
    world().notifies.push_back({message, record});
    return true;
}

bool utf16CharacterToGbk(std::u16string_view character, std::string& out) {
    // ASCII is the same in both; the host has no code page 936 table.
    if (character.size() != 1 || character[0] >= 0x80) {
        return false;
    }
    out += static_cast<char>(character[0]);
    return true;
}

} // namespace platform
