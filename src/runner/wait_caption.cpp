// Wait Caption: hold the run until the foreground window's caption contains a text.

#include "platform/platform.h"
#include "runner/executor.h"

#include <cstring>

namespace {
constexpr std::uint32_t CaptionPollMs = 10;
} // namespace

void waitCaption(const char* text) {
    for (;;) {
        // No foreground window reads as the empty caption.
        WindowTextRead caption = readWindowText(platform::foregroundWindow());
        if (std::strstr(caption.text, text) != nullptr) {
            return;
        }
        platform::sleepFor(CaptionPollMs);
    }
}
