// PutChar: types a text one byte at a time, each byte as the plain key it names.

#include "keys/key_combo.h"
#include "platform/platform.h"
#include "runner/executor.h"

void putChars(const char* text) {
    for (const char* at = text; *at != '\0'; ++at) {
        // parseKeyCombo upper-cases the one-byte text in place, so a and A give
        // the same key; bytes that name no key give 0 and are still sent.
        char single[2] = {*at, '\0'};
        const auto virtualKey = static_cast<std::uint8_t>(parseKeyCombo(single) & 0xFF);
        platform::sendKeyEvent(virtualKey, 0);
        platform::sendKeyEvent(virtualKey, platform::KeyUpFlag);
    }
}
