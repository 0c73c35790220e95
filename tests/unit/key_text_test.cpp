// The key text of a key code: what a script writes for it reads back as that code.

#include "keys/key_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

KeyCombo parsed(const std::string& text, bool withNumber) {
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back('\0');
    return withNumber ? resolveKeyCombo(buffer.data()) : parseKeyCombo(buffer.data());
}

TEST(KeyText, EveryNamedKeyWithEveryModifierSetParsesByName) {
    int named = 0;
    for (int key = 0; key < 256; ++key) {
        const std::string name = KeyNameTable[key];
        if (key != 0 && (name.empty() || name == "Fn")) {
            continue;
        }
        ++named;
        for (int modifiers = 0; modifiers < 16; ++modifiers) {
            const auto code = static_cast<KeyCombo>((modifiers << 8) | key);
            if (code == 0) {
                continue;
            }
            const std::string text = keyText(code);
            ASSERT_EQ(parsed(text, false), code) << text;
            ASSERT_EQ(text.substr(text.size() - name.size()), name) << text;
        }
    }
    EXPECT_EQ(named, 130); // 129 names and the modifiers-only code 0
}

TEST(KeyText, EveryCodeResolvesBack) {
    for (int code = 1; code <= 0xFFFF; ++code) {
        const std::string text = keyText(static_cast<KeyCombo>(code));
        ASSERT_EQ(parsed(text, true), code) << text;
    }
    EXPECT_EQ(keyText(0), "");
}

TEST(KeyText, SpelledAsTheKeyTableSpellsThem) {
    EXPECT_EQ(keyText(0x62E), "CTRL+ALT+DEL");
    EXPECT_EQ(keyText(0x974), "SHIFT+WIN+F5");
    EXPECT_EQ(keyText(0xF2E), "SHIFT+CTRL+ALT+WIN+DEL");
    EXPECT_EQ(keyText(0x26B), "CTRL+NUM+");
    EXPECT_EQ(keyText(0x11), "CTRL");
    EXPECT_EQ(keyText(0x200), "CTRL+");
    EXPECT_EQ(keyText(0x31), "1");
    EXPECT_EQ(keyText(0x07), "07"); // 7 alone would be the digit key
    EXPECT_EQ(keyText(0xFF), "255");
    EXPECT_EQ(keyText(0x2FF), "767"); // no prefix before a number
    EXPECT_EQ(keyText(0x1041), "4161");
}

} // namespace
