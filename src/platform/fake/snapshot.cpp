// The process snapshot.
//   snapshot / process first|next / snapshot close

#include "platform/fake/world.h"

#include <cstring>
#include <iterator>

namespace fake {

void addProcess(std::uint32_t processId, std::string exeFile) {
    Lock lock(worldMutex);
    world().processes[processId] = std::move(exeFile);
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

} // namespace platform
