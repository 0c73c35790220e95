#include "keys/key_text.h"

#include <cstring>

namespace {

// A name that an upper-cased key text can equal: not empty, no lower-case byte
// (the "Fn" of 0xFF never matches).
bool nameReachable(const char* name) {
    if (name[0] == '\0') {
        return false;
    }
    for (const char* byte = name; *byte != '\0'; ++byte) {
        if (*byte >= 'a' && *byte <= 'z') {
            return false;
        }
    }
    return true;
}

} // namespace

std::string keyText(KeyCombo code) {
    if (code == 0) {
        return {};
    }
    const std::uint8_t key = static_cast<std::uint8_t>(code & 0xFF);
    const bool highBits = (code & 0xF000) != 0;
    // Modifiers with key code 0 are written as their prefixes alone: the empty
    // name after them matches the table's first entry.
    if (!highBits && (key == 0 || nameReachable(KeyNameTable[key]))) {
        std::string text;
        for (const KeyModifier& modifier : KeyModifiers) {
            if ((code & modifier.bit) != 0) {
                text += modifier.prefix;
            }
        }
        text += KeyNameTable[key];
        return text;
    }
    std::string number = std::to_string(static_cast<unsigned>(code));
    return number.size() == 1 ? "0" + number : number;
}
