// Screen pixels through the screen's device context.
//   dc / pixel X Y / release dc

#include "platform/fake/world.h"

namespace fake {

void setPixel(std::int32_t x, std::int32_t y, std::uint32_t colour, Time from) {
    Lock lock(worldMutex);
    world().pixels[{x, y}].set(from, colour);
}

std::size_t liveScreenContexts() {
    Lock lock(worldMutex);
    return world().liveContexts;
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

} // namespace platform
