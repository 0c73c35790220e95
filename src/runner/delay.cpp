// Delay: sleeps the given count, read as unsigned (-1 is the infinite wait).

#include "platform/platform.h"
#include "runner/executor.h"

void delayFor(std::int32_t milliseconds) {
    platform::sleepFor(static_cast<std::uint32_t>(milliseconds));
}
