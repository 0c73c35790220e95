// The clipboard and the shared memory blocks handed to it.
//   clipboard open|empty|close|set OK|FAILED
//   memory alloc SIZE|lock|unlock|free

#include "platform/fake/world.h"

namespace fake {

std::string clipboardText() {
    Lock lock(worldMutex);
    return world().clipboard;
}

std::size_t liveMemoryBlocks() {
    Lock lock(worldMutex);
    return world().memory.size() - world().clipboardOwned.size();
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

} // namespace platform
