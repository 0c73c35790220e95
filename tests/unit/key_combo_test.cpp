#include "keys/key_combo.h"
#include "platform/fake/fake.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using Events = std::vector<std::string>;

std::vector<char> writable(const std::string& text) {
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back('\0');
    return buffer;
}

Events sent(const std::string& text, std::int32_t mode) {
    fake::reset();
    std::vector<char> buffer = writable(text);
    sendKeyCombo(buffer.data(), mode);
    return fake::callTexts({"key ", "mouse "});
}

struct Edge {
    std::string text;
    KeyCombo parsed;
    KeyCombo resolved;
    std::string upperCased;
    Events pressAndRelease, pressOnly, releaseOnly;
};

TEST(KeyCombo, EdgeCases) {
    const Edge cases[] = {
        {"ctrl+alt+del",
         0x62E,
         0x62E,
         "CTRL+ALT+DEL",
         {"key 11 down", "key 12 down", "key 2E down", "key 2E up", "key 11 up", "key 12 up"},
         {"key 11 down", "key 12 down", "key 2E down"},
         {"key 2E up", "key 11 up", "key 12 up"}},
        {"Shift+Win+F5",
         0x974,
         0x974,
         "SHIFT+WIN+F5",
         {"key 10 down", "key 5B down", "key 74 down", "key 74 up", "key 10 up", "key 5B up"},
         {"key 10 down", "key 5B down", "key 74 down"},
         {"key 74 up", "key 10 up", "key 5B up"}},
        {"ALT+CTRL+A",
         0x641,
         0x641,
         "ALT+CTRL+A",
         {"key 11 down", "key 12 down", "key 41 down", "key 41 up", "key 11 up", "key 12 up"},
         {"key 11 down", "key 12 down", "key 41 down"},
         {"key 41 up", "key 11 up", "key 12 up"}},
        {"CTRL+ALT+SHIFT+WIN+DEL",
         0xF2E,
         0xF2E,
         "CTRL+ALT+SHIFT+WIN+DEL",
         {"key 10 down", "key 11 down", "key 12 down", "key 5B down", "key 2E down", "key 2E up",
          "key 10 up", "key 11 up", "key 12 up", "key 5B up"},
         {"key 10 down", "key 11 down", "key 12 down", "key 5B down", "key 2E down"},
         {"key 2E up", "key 10 up", "key 11 up", "key 12 up", "key 5B up"}},
        {"CTRL+NUM+",
         0x26B,
         0x26B,
         "CTRL+NUM+",
         {"key 11 down", "key 6B down", "key 6B up", "key 11 up"},
         {"key 11 down", "key 6B down"},
         {"key 6B up", "key 11 up"}},
        {"ctrl", 0x11, 0x11, "CTRL", {"key 11 down", "key 11 up"}, {"key 11 down"}, {"key 11 up"}},
        {"CTRL+",
         0x200,
         0x200,
         "CTRL+",
         {"key 11 down", "key 00 down", "key 00 up", "key 11 up"},
         {"key 11 down", "key 00 down"},
         {"key 00 up", "key 11 up"}},
        {"shift+ctrl+alt+",
         0x700,
         0x700,
         "SHIFT+CTRL+ALT+",
         {"key 10 down", "key 11 down", "key 12 down", "key 00 down", "key 00 up", "key 10 up",
          "key 11 up", "key 12 up"},
         {"key 10 down", "key 11 down", "key 12 down", "key 00 down"},
         {"key 00 up", "key 10 up", "key 11 up", "key 12 up"}},
        {"", 0, 0, "", {}, {}, {}},
        {"1", 0x31, 0x31, "1", {"key 31 down", "key 31 up"}, {"key 31 down"}, {"key 31 up"}},
        {"0", 0x30, 0x30, "0", {"key 30 down", "key 30 up"}, {"key 30 down"}, {"key 30 up"}},
        {"13", 0, 0x0D, "13", {"key 0D down", "key 0D up"}, {"key 0D down"}, {"key 0D up"}},
        {"577",
         0,
         0x241,
         "577",
         {"key 11 down", "key 41 down", "key 41 up", "key 11 up"},
         {"key 11 down", "key 41 down"},
         {"key 41 up", "key 11 up"}},
        {"-1",
         0,
         0xFFFF,
         "-1",
         {"key 10 down", "key 11 down", "key 12 down", "key 5B down", "key FF down", "key FF up",
          "key 10 up", "key 11 up", "key 12 up", "key 5B up"},
         {"key 10 down", "key 11 down", "key 12 down", "key 5B down", "key FF down"},
         {"key FF up", "key 10 up", "key 11 up", "key 12 up", "key 5B up"}},
        {"255", 0, 0xFF, "255", {"key FF down", "key FF up"}, {"key FF down"}, {"key FF up"}},
        {"65536", 0, 0, "65536", {}, {}, {}},
        // The low 16 bits of 65537 are the left mouse button.
        {"65537",
         0,
         0x01,
         "65537",
         {"mouse 0002 0 0", "mouse 0004 0 0"},
         {"mouse 0002 0 0"},
         {"mouse 0004 0 0"}},
        // Beyond the 32-bit range the number stays at the largest value.
        {"99999999999",
         0,
         0xFFFF,
         "99999999999",
         {"key 10 down", "key 11 down", "key 12 down", "key 5B down", "key FF down", "key FF up",
          "key 10 up", "key 11 up", "key 12 up", "key 5B up"},
         {"key 10 down", "key 11 down", "key 12 down", "key 5B down", "key FF down"},
         {"key FF up", "key 10 up", "key 11 up", "key 12 up", "key 5B up"}},
        {"CTRL+13", 0, 0, "CTRL+13", {}, {}, {}},
        {"CTRL+CTRL+A", 0, 0, "CTRL+CTRL+A", {}, {}, {}},
        {"a+ctrl+", 0, 0, "A+CTRL+", {}, {}, {}},
        {"LWIN+A", 0, 0, "LWIN+A", {}, {}, {}},
        {"lwin", 0x5B, 0x5B, "LWIN", {"key 5B down", "key 5B up"}, {"key 5B down"}, {"key 5B up"}},
        {"A ", 0, 0, "A ", {}, {}, {}},
        {"A\r", 0, 0, "A\r", {}, {}, {}},
        {"fn", 0, 0, "FN", {}, {}, {}},
        {"Fn", 0, 0, "FN", {}, {}, {}},
        {"LBUTTON",
         0x01,
         0x01,
         "LBUTTON",
         {"mouse 0002 0 0", "mouse 0004 0 0"},
         {"mouse 0002 0 0"},
         {"mouse 0004 0 0"}},
        {"rbutton",
         0x02,
         0x02,
         "RBUTTON",
         {"mouse 0008 0 0", "mouse 0010 0 0"},
         {"mouse 0008 0 0"},
         {"mouse 0010 0 0"}},
        {"MBUTTON",
         0x04,
         0x04,
         "MBUTTON",
         {"mouse 0020 0 0", "mouse 0040 0 0"},
         {"mouse 0020 0 0"},
         {"mouse 0040 0 0"}},
        {"ctrl+lbutton",
         0x201,
         0x201,
         "CTRL+LBUTTON",
         {"key 11 down", "mouse 0002 0 0", "mouse 0004 0 0", "key 11 up"},
         {"key 11 down", "mouse 0002 0 0"},
         {"mouse 0004 0 0", "key 11 up"}},
        {"CANCEL",
         0x03,
         0x03,
         "CANCEL",
         {"key 03 down", "key 03 up"},
         {"key 03 down"},
         {"key 03 up"}},
        {"XBUTTON1",
         0x05,
         0x05,
         "XBUTTON1",
         {"key 05 down", "key 05 up"},
         {"key 05 down"},
         {"key 05 up"}},
        {"xbutton2",
         0x06,
         0x06,
         "XBUTTON2",
         {"key 06 down", "key 06 up"},
         {"key 06 down"},
         {"key 06 up"}},
        {"`", 0xC0, 0xC0, "`", {"key C0 down", "key C0 up"}, {"key C0 down"}, {"key C0 up"}},
        {"alt+'",
         0x4DE,
         0x4DE,
         "ALT+'",
         {"key 12 down", "key DE down", "key DE up", "key 12 up"},
         {"key 12 down", "key DE down"},
         {"key DE up", "key 12 up"}},
        // Only ASCII letters change, but every byte is tested on its own.
        {"\xb0\x61", 0, 0, "\xb0\x41", {}, {}, {}},
    };
    for (const Edge& edge : cases) {
        SCOPED_TRACE("text \"" + edge.text + "\"");
        std::vector<char> buffer = writable(edge.text);
        EXPECT_EQ(parseKeyCombo(buffer.data()), edge.parsed);
        EXPECT_STREQ(buffer.data(), edge.upperCased.c_str());
        buffer = writable(edge.text);
        EXPECT_EQ(resolveKeyCombo(buffer.data()), edge.resolved);
        EXPECT_STREQ(buffer.data(), edge.upperCased.c_str());

        EXPECT_EQ(sent(edge.text, PressAndRelease), edge.pressAndRelease);
        EXPECT_EQ(sent(edge.text, PressOnly), edge.pressOnly);
        EXPECT_EQ(sent(edge.text, ReleaseOnly), edge.releaseOnly);
        for (std::int32_t mode : {3, -1, 100}) {
            EXPECT_TRUE(sent(edge.text, mode).empty()) << "mode " << mode;
        }
    }
}

TEST(KeyCombo, EveryNamedKeyParsesToItsCode) {
    int named = 0;
    for (int code = 0; code < 256; ++code) {
        const char* name = KeyNameTable[code];
        if (name[0] == '\0' || code == 0xFF) {
            continue;
        }
        ++named;
        std::vector<char> buffer = writable(name);
        EXPECT_EQ(parseKeyCombo(buffer.data()), code) << name;
        buffer = writable(std::string("win+") + name);
        EXPECT_EQ(parseKeyCombo(buffer.data()), WinBit | code) << name;
    }
    EXPECT_EQ(named, 129);
    EXPECT_STREQ(KeyNameTable[0xFF], "Fn");
}

struct Held {
    std::string text;
    std::vector<std::uint8_t> down;
    bool held;
    Events queries;
};

TEST(KeyCombo, HeldTest) {
    const Held cases[] = {
        {"WIN+E", {0x5C, 0x45}, false, {"held? 5B"}},
        {"WIN+E", {0x5B, 0x45}, true, {"held? 5B", "held? 45"}},
        {"CTRL+A", {0x11, 0x12, 0x41}, true, {"held? 11", "held? 41"}},
        {"a", {0x11, 0x10, 0x41}, true, {"held? 41"}},
        {"CTRL+A", {0x41}, false, {"held? 11"}},
        {"CTRL+A", {0x11}, false, {"held? 11", "held? 41"}},
        // The first modifier that is up ends the test: nothing after it is queried.
        {"CTRL+ALT+SHIFT+WIN+DEL", {0x10, 0x12, 0x5B, 0x2E}, false, {"held? 10", "held? 11"}},
        {"CTRL+ALT+SHIFT+WIN+DEL", {0x11, 0x12, 0x5B, 0x2E}, false, {"held? 10"}},
        {"CTRL+ALT+SHIFT+WIN+DEL",
         {0x10, 0x11, 0x12, 0x5B, 0x2E},
         true,
         {"held? 10", "held? 11", "held? 12", "held? 5B", "held? 2E"}},
        {"CTRL+", {0x11}, false, {"held? 11", "held? 00"}},
        {"CTRL+", {0x11, 0x00}, true, {"held? 11", "held? 00"}},
        {"577", {0x11, 0x41}, true, {"held? 11", "held? 41"}},
        {"esc", {0x1B}, true, {"held? 1B"}},
        {"", {0x00}, false, {}},
        {"CTRL+13", {0x11, 0x0D}, false, {}},
        {"lbutton", {0x01}, true, {"held? 01"}},
    };
    for (const Held& c : cases) {
        SCOPED_TRACE("text \"" + c.text + "\"");
        fake::reset();
        for (std::uint8_t key : c.down) {
            fake::holdKey(key);
        }
        std::vector<char> buffer = writable(c.text);
        EXPECT_EQ(isKeyComboHeld(buffer.data()), c.held);
        EXPECT_EQ(fake::callTexts(), c.queries);
    }
}

TEST(KeyCombo, HeldFollowsTheMoment) {
    fake::reset();
    fake::holdKey(0x7B, 100, 200);
    char f12[] = "f12";
    EXPECT_FALSE(isKeyComboHeld(f12));
    EXPECT_STREQ(f12, "F12");
    platform::sleepFor(150);
    EXPECT_TRUE(isKeyComboHeld(f12));
    platform::sleepFor(100);
    EXPECT_FALSE(isKeyComboHeld(f12));
}

} // namespace
