// Keyboard and mouse events, key state, the pointer and the screen size.
//   key VK down|up            keyboard event (VK two hex digits, upper case)
//   mouse FLAGS DX DY         mouse event (FLAGS four hex digits, DX DY decimal)
//   held? VK                  key-state query
//   cursor? / cursor X Y      read / set the pointer position
//   width? / height?          screen size queries

#include "platform/fake/world.h"

namespace fake {

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

} // namespace fake

namespace platform {

using fake::format;
using fake::Lock;
using fake::log;
using fake::orNull;
using fake::world;
using fake::World;
using fake::worldMutex;

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

} // namespace platform
