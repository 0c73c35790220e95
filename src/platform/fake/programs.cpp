// Started programs and the player's own path.
//   open FILE|PARAMS          openProgram (PARAMS "(null)" when absent)
//   path?                     ownExecutablePath

#include "platform/fake/world.h"

#include <cstring>

namespace fake {

void setOwnExecutablePath(std::string path) {
    Lock lock(worldMutex);
    world().ownPath = std::move(path);
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

} // namespace platform
