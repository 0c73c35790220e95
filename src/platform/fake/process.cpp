// Virtual time, threads and the end of the process.
//   sleep MS
//   thread                    startThread
//   end                       endProcess

#include "platform/fake/world.h"

namespace fake {

void atTime(Time when, std::function<void()> action) {
    Lock lock(worldMutex);
    world().timedActions.emplace_back(when, std::move(action));
}

const std::vector<void (*)()>& startedThreads() {
    return world().threads;
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

} // namespace platform
