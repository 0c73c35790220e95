#include "keys/key_combo.h"

#include "platform/platform.h"
#include "script/parser.h"

#include <cstring>

namespace {

constexpr std::uint8_t keyCode(KeyCombo code) {
    return static_cast<std::uint8_t>(code & 0xFF);
}

// Mouse-event flags for the three mouse buttons; 0 for a key sent as a keyboard event.
std::uint32_t mouseFlags(std::uint8_t key, bool press) {
    switch (key) {
    case 0x01:
        return press ? 0x0002 : 0x0004;
    case 0x02:
        return press ? 0x0008 : 0x0010;
    case 0x04:
        return press ? 0x0020 : 0x0040;
    default:
        return 0;
    }
}

void sendKey(std::uint8_t key, bool press) {
    std::uint32_t flags = mouseFlags(key, press);
    if (flags != 0) {
        platform::sendMouseEvent(flags, 0, 0);
    } else {
        platform::sendKeyEvent(key, press ? 0 : platform::KeyUpFlag);
    }
}

void sendModifiers(KeyCombo code, bool press) {
    for (const KeyModifier& modifier : KeyModifiers) {
        if ((code & modifier.bit) != 0) {
            platform::sendKeyEvent(modifier.virtualKey, press ? 0 : platform::KeyUpFlag);
        }
    }
}

} // namespace

KeyCombo parseKeyCombo(char* text) {
    std::size_t length = 0;
    for (char* byte = text; *byte != '\0'; ++byte, ++length) {
        if (*byte >= 'a' && *byte <= 'z') {
            *byte = static_cast<char>(*byte - 0x20);
        }
    }
    // Each prefix found anywhere sets its bit once and is skipped from the front.
    KeyCombo modifiers = 0;
    std::size_t skip = 0;
    for (const KeyModifier& modifier : KeyModifiers) {
        if (std::strstr(text, modifier.prefix) != nullptr) {
            modifiers |= modifier.bit;
            skip += modifier.prefixLength;
        }
    }
    // Occurrences of different prefixes cannot overlap, so skip stays within the text.
    if (skip > length) {
        return 0;
    }
    const char* name = text + skip;
    for (int code = 0; code < 256; ++code) {
        if (std::strcmp(name, KeyNameTable[code]) == 0) {
            return static_cast<KeyCombo>(modifiers | code);
        }
    }
    return 0;
}

KeyCombo resolveKeyCombo(char* text) {
    KeyCombo code = parseKeyCombo(text);
    if (code != 0) {
        return code;
    }
    return static_cast<KeyCombo>(static_cast<std::uint32_t>(readNumber(text)) & 0xFFFF);
}

bool isKeyComboHeld(char* text) {
    KeyCombo code = resolveKeyCombo(text);
    if (code == 0) {
        return false;
    }
    for (const KeyModifier& modifier : KeyModifiers) {
        if ((code & modifier.bit) != 0 && !platform::isKeyDown(modifier.virtualKey)) {
            return false;
        }
    }
    return platform::isKeyDown(keyCode(code));
}

void sendKeyCombo(char* text, std::int32_t mode) {
    KeyCombo code = resolveKeyCombo(text);
    if (code == 0) {
        return;
    }
    bool press = mode == PressAndRelease || mode == PressOnly;
    bool release = mode == PressAndRelease || mode == ReleaseOnly;
    if (press) {
        sendModifiers(code, true);
        sendKey(keyCode(code), true);
    }
    if (release) {
        sendKey(keyCode(code), false);
        sendModifiers(code, false);
    }
}
