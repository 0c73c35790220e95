// Wait Caption: hold the run until the foreground window's caption contains a text.

#include "platform/platform.h"
#include "runner/executor.h"

#include <cstring>

namespace {
constexpr std::uint32_t CaptionPollMs = 10;
constexpr std::size_t WindowTextCapacity = 256;
} // namespace

void waitCaption(const char* text) {
    for (;;) {
        // No foreground window reads as the empty caption.
        char caption[WindowTextCapacity] = {};
        platform::windowText(platform::foregroundWindow(), caption, sizeof caption);
        if (std::strstr(caption, text) != nullptr) {
            return;
        }
        platform::sleepFor(CaptionPollMs);
    }
}
