// The key-combination operations on any text, against the fake platform. The
// first input byte chooses which modifier keys are down (bits 0-3: SHIFT,
// CTRL, ALT, WIN) and a send mode (bits 4-7), the second one more key that is
// down; the rest, up to a NUL, is the text. Properties: each operation
// upper-cases the text in place and changes nothing else; the codes agree with
// a plain restatement of the rules; the held test queries the keys in order and
// stops at the first one up; the events sent are exactly those of the code.

#include "check.h"
#include "reference.h"

#include "keys/key_combo.h"
#include "platform/fake/fake.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

const std::uint8_t ModifierKeys[4] = {0x10, 0x11, 0x12, 0x5B}; // SHIFT, CTRL, ALT, WIN
const KeyCombo ModifierBits[4] = {ShiftBit, CtrlBit, AltBit, WinBit};

std::string heldQuery(std::uint8_t key) {
    char text[16];
    std::snprintf(text, sizeof text, "held? %02X", key);
    return text;
}

// A writable copy of the text, as the callers pass their own buffers.
struct Text {
    std::vector<char> bytes;
    explicit Text(const std::string& text) : bytes(text.begin(), text.end()) {
        bytes.push_back('\0');
    }
    char* data() { return bytes.data(); }
    // The text is upper-cased in place and nothing else changes.
    void checkUpperCased(const std::string& original) const {
        FUZZ_CHECK(bytes.size() == original.size() + 1);
        FUZZ_CHECK(std::string(bytes.data(), original.size()) == reference::upperCase(original));
        FUZZ_CHECK(bytes.back() == '\0');
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const std::uint8_t modifiersDown = data[0] & 0x0F;
    const std::int32_t mode = static_cast<std::int32_t>(data[0] >> 4) - 1; // -1..14
    const std::uint8_t extraKey = data[1];
    std::string text(reinterpret_cast<const char*>(data + 2), size - 2);
    text = text.substr(0, text.find('\0'));

    fake::reset();
    std::set<std::uint8_t> down = {extraKey};
    fake::holdKey(extraKey);
    for (int i = 0; i < 4; ++i) {
        if ((modifiersDown & (1 << i)) != 0) {
            fake::holdKey(ModifierKeys[i]);
            down.insert(ModifierKeys[i]);
        }
    }

    const KeyCombo expectedParse = reference::keyCombo(text);
    const KeyCombo expectedCode = reference::resolvedKeyCombo(text);
    // The name syntax never sets the meaningless high bits.
    FUZZ_CHECK((expectedParse & 0xF000) == 0);

    {
        Text buffer(text);
        FUZZ_CHECK(parseKeyCombo(buffer.data()) == expectedParse);
        buffer.checkUpperCased(text);
    }
    {
        Text buffer(text);
        FUZZ_CHECK(resolveKeyCombo(buffer.data()) == expectedCode);
        buffer.checkUpperCased(text);
    }
    FUZZ_CHECK(fake::calls().empty()); // parsing asks the platform nothing

    {
        // The expected queries: each modifier of the code in order, stopping at
        // the first one up, then the key itself.
        std::vector<std::string> queries;
        bool held = expectedCode != 0;
        if (held) {
            for (int i = 0; i < 4 && held; ++i) {
                if ((expectedCode & ModifierBits[i]) != 0) {
                    queries.push_back(heldQuery(ModifierKeys[i]));
                    held = down.count(ModifierKeys[i]) != 0;
                }
            }
            if (held) {
                const std::uint8_t key = expectedCode & 0xFF;
                queries.push_back(heldQuery(key));
                held = down.count(key) != 0;
            }
        }
        Text buffer(text);
        FUZZ_CHECK(isKeyComboHeld(buffer.data()) == held);
        buffer.checkUpperCased(text);
        FUZZ_CHECK(fake::callTexts() == queries);
    }

    for (std::int32_t sendMode :
         {static_cast<std::int32_t>(PressAndRelease), static_cast<std::int32_t>(PressOnly),
          static_cast<std::int32_t>(ReleaseOnly), mode}) {
        fake::clearCalls();
        Text buffer(text);
        sendKeyCombo(buffer.data(), sendMode);
        buffer.checkUpperCased(text);
        FUZZ_CHECK(fake::callTexts() == reference::keyEvents(expectedCode, sendMode));
    }
    return 0;
}
