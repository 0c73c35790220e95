// WaitColor and WaitNotColor: hold the run until a screen pixel has, or no longer
// has, a colour given as six upper-case hex digits (red, green, blue).

#include "platform/platform.h"
#include "runner/executor.h"
#include "runner/wait_support.h"

#include <cstdio>
#include <cstring>

namespace {
constexpr std::uint32_t ColourPollMs = 10;
} // namespace

ColourText screenColourText(std::int32_t x, std::int32_t y) {
    // One screen context per read, given back at once: a long wait would otherwise
    // use up the process's device contexts.
    platform::ContextHandle context = platform::screenContext();
    std::uint32_t colour = platform::pixelColor(context, x, y);
    platform::releaseScreenContext(context);
    return colourText(colour);
}

ColourText colourText(std::uint32_t colour) {
    ColourText result;
    std::snprintf(result.text, sizeof result.text, "%02X%02X%02X", colour & 0xFFu,
                  (colour >> 8) & 0xFFu, (colour >> 16) & 0xFFu);
    return result;
}

bool waitColor(std::int32_t x, std::int32_t y, const char* colour, bool untilEqual) {
    for (;;) {
        ColourText seen = screenColourText(x, y);
        bool equal = std::strcmp(seen.text, colour) == 0;
        if (equal == untilEqual) {
            return false;
        }
        if (isBreakKeyHeldNow()) {
            return true;
        }
        platform::sleepFor(ColourPollMs);
    }
}
