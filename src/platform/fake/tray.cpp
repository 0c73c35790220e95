// Icons and the notification area.
//   icon FILE INDEX / icon destroy / notify MSG

#include "platform/fake/world.h"

namespace fake {

std::size_t liveIcons() {
    Lock lock(worldMutex);
    return world().liveIcons;
}

const std::vector<NotifyCall>& notifyCalls() {
    return world().notifies;
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

} // namespace platform
