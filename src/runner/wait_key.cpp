// Wait Key: hold the run until a key combination has been pressed and released.

#include "keys/key_combo.h"
#include "platform/platform.h"
#include "runner/executor.h"

namespace {
constexpr std::uint32_t KeyPollMs = 5;
} // namespace

void waitKey(char* text) {
    while (!isKeyComboHeld(text)) {
        platform::sleepFor(KeyPollMs);
    }
    while (isKeyComboHeld(text)) {
        platform::sleepFor(KeyPollMs);
    }
}
