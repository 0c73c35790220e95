// Top-level windows, dialog controls and the window the player creates.
//   foreground?               foregroundWindow
//   text? H                   windowText
//   find CLASS|TITLE          findWindow ("(null)" for an absent name)
//   show H CMD / update H / front H / rect? H / place H X Y W H FLAGS
//   item? H ID / send H ID MSG (MSG four hex digits) / enabled? H / pid? H
//   window CLASS|TITLE|STYLE|X|Y|W|H   createWindow (STYLE eight hex digits)
// Handles are printed in decimal.

#include "platform/fake/world.h"

#include <cstring>
#include <new>

namespace fake {
namespace {

FakeWindow* findFakeWindow(platform::WindowHandle handle) {
    auto it = world().windows.find(handle);
    return it != world().windows.end() ? &it->second : nullptr;
}

std::string textOf(const FakeWindow& window) {
    const std::string* text = window.text.at(world().time);
    return text != nullptr ? *text : std::string();
}

} // namespace

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

} // namespace fake

namespace platform {

using fake::FakeWindow;
using fake::findFakeWindow;
using fake::format;
using fake::Lock;
using fake::log;
using fake::orNull;
using fake::textOf;
using fake::world;
using fake::World;
using fake::worldMutex;

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

} // namespace platform
