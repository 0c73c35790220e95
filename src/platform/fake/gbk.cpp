// UTF-16 to GBK, for ASCII only: the host has no code page 936 table.

#include "platform/platform.h"

namespace platform {

bool utf16CharacterToGbk(std::u16string_view character, std::string& out) {
    // ASCII is the same in both.
    if (character.size() != 1 || character[0] >= 0x80) {
        return false;
    }
    out += static_cast<char>(character[0]);
    return true;
}

} // namespace platform
