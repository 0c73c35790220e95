// The fake's world and log, and the control functions that span every area.

#include "platform/fake/world.h"

namespace fake {

std::recursive_mutex worldMutex;

World& world() {
    static World instance;
    return instance;
}

void log(std::string text) {
    World& w = world();
    if (w.calls.size() >= w.callLimit) {
        throw TimeLimitReached{};
    }
    w.calls.push_back({w.time, std::move(text)});
}

void reset() {
    Lock lock(worldMutex);
    world() = World{};
}

Time now() {
    Lock lock(worldMutex);
    return world().time;
}

void setTimeLimit(Time limit, std::size_t callLimit) {
    Lock lock(worldMutex);
    world().timeLimit = limit;
    world().callLimit = callLimit;
}

const std::vector<Call>& calls() {
    return world().calls;
}

std::vector<std::string> callTexts(const std::vector<std::string>& prefixes) {
    Lock lock(worldMutex);
    std::vector<std::string> texts;
    for (const Call& call : world().calls) {
        bool wanted = prefixes.empty();
        for (const std::string& prefix : prefixes) {
            wanted = wanted || call.text.compare(0, prefix.size(), prefix) == 0;
        }
        if (wanted) {
            texts.push_back(call.text);
        }
    }
    return texts;
}

std::size_t countCalls(const std::string& prefix) {
    return callTexts({prefix}).size();
}

void clearCalls() {
    Lock lock(worldMutex);
    world().calls.clear();
}

Failures& failures() {
    return world().failures;
}

} // namespace fake
