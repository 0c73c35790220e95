// The player's own module and its resources.
//   module? / resource NAME TYPE

#include "platform/fake/world.h"

namespace fake {

void setResource(platform::ModuleHandle module, int name, int type, std::string bytes) {
    Lock lock(worldMutex);
    world().resources[{module, name, type}] = std::move(bytes);
}

void setOwnModule(platform::ModuleHandle module) {
    Lock lock(worldMutex);
    world().ownModule = module;
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

} // namespace platform
