// Message boxes.
//   box CAPTION|TEXT|BUTTONS  message box (BUTTONS decimal)

#include "platform/fake/world.h"

namespace fake {

void setMessageBoxAnswer(int answer) {
    Lock lock(worldMutex);
    world().messageBoxAnswer = answer;
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

int messageBox(const char* text, const char* caption, std::uint32_t buttons) {
    Lock lock(worldMutex);
    log(format("box %s|%s|%u", orNull(caption), orNull(text), buttons));
    return world().messageBoxAnswer;
}

} // namespace platform
