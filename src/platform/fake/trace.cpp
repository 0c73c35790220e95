// The studio's trace: messages posted to a window are logged
//   post H MESSAGE WPARAM LPARAM
// (all in decimal), and shared memory is what the test added by name.

#include "platform/fake/world.h"

namespace fake {

void* addSharedMemory(std::string name, std::size_t size) {
    Lock lock(worldMutex);
    std::vector<std::uint64_t>& memory = world().sharedMemory[std::move(name)];
    memory.assign((size + 7) / 8, 0);
    return memory.data();
}

} // namespace fake

namespace platform {

// The message number a registered name gets; the same for every name here.
constexpr std::uint32_t RegisteredMessage = 0xC123;

std::uint32_t registerWindowMessage(const char*) {
    return RegisteredMessage;
}

bool postMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                 std::intptr_t lParam) {
    using namespace fake;
    Lock lock(worldMutex);
    log(format("post %llu %u %llu %lld", static_cast<unsigned long long>(window), message,
               static_cast<unsigned long long>(wParam), static_cast<long long>(lParam)));
    return world().windows.count(window) != 0;
}

void* openSharedMemory(const char* name) {
    using namespace fake;
    Lock lock(worldMutex);
    auto it = world().sharedMemory.find(name);
    return it != world().sharedMemory.end() ? it->second.data() : nullptr;
}

} // namespace platform
