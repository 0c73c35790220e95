// Mouse, key and typing commands, driven through parsed script lines.

#include "executor_test_support.h"

#include <cstdio>

using Strings = std::vector<std::string>;

namespace {

std::string keyPair(unsigned code) {
    char down[16];
    std::snprintf(down, sizeof down, "key %02X", code);
    return down;
}

// The down and up events of PutChar for each code in turn.
Strings typed(std::initializer_list<unsigned> codes) {
    Strings events;
    for (unsigned code : codes) {
        events.push_back(keyPair(code) + " down");
        events.push_back(keyPair(code) + " up");
    }
    return events;
}

} // namespace

struct MoveCase {
    const char* line;
    const char* event;
};

void PrintTo(const MoveCase& c, std::ostream* out) {
    *out << c.line;
}

class MoveToTest : public ExecutorTest, public ::testing::WithParamInterface<MoveCase> {};

TEST_P(MoveToTest, ScalesToAbsoluteCoordinatesReadingHeightFirst) {
    run(GetParam().line);
    EXPECT_EQ(fake::callTexts(), (Strings{"height?", "width?", GetParam().event}));
}

INSTANTIATE_TEST_SUITE_P(
    FullHdScreen, MoveToTest,
    ::testing::Values(MoveCase{"MoveTo 960 540", "mouse 8001 32767 32767"},
                      MoveCase{"MoveTo 1920 1080", "mouse 8001 65535 65535"},
                      MoveCase{"MoveTo 1 2", "mouse 8001 34 121"},
                      MoveCase{"MoveTo 100 0", "mouse 8001 3413 0"},
                      // The product wraps at 32 bits before the unsigned division.
                      MoveCase{"MoveTo -1 0", "mouse 8001 2236928 0"},
                      // Without a second number y is 0.
                      MoveCase{"MoveTo 1920", "mouse 8001 65535 0"},
                      MoveCase{"MMT 0 1080", "mouse 8001 0 65535"}),
    [](const auto& info) { return lineTestName(info.param.line); });

TEST_F(ExecutorTest, MoveToUsesTheScreenSizeItReads) {
    fake::setScreenSize(1024, 768);
    run("MoveTo 512 384");
    EXPECT_EQ(fake::callTexts({"mouse"}), (Strings{"mouse 8001 32767 32767"}));
}

TEST_F(ExecutorTest, MoveToWithoutAScreenSizeSendsNothing) {
    fake::setScreenSize(0, 0);
    run("MoveTo 10 10");
    EXPECT_EQ(fake::callTexts(), (Strings{"height?", "width?"}));
}

struct ClickCase {
    const char* name;
    const char* line;
    Strings events;
};

void PrintTo(const ClickCase& c, std::ostream* out) {
    *out << c.line;
}

class ClickTest : public ExecutorTest, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(ClickTest, SendsButtonEventsWhereThePointerIs) {
    run(GetParam().line);
    EXPECT_EQ(fake::callTexts(), GetParam().events);
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, ClickTest,
    ::testing::Values(ClickCase{"LClick", "LClick", {"mouse 0006 0 0"}},
                      ClickCase{"RClick", "RClick", {"mouse 0018 0 0"}},
                      ClickCase{"MClick", "MClick", {"mouse 0060 0 0"}},
                      ClickCase{"LDBClick", "LDBClick", {"mouse 0006 0 0", "mouse 0006 0 0"}},
                      ClickCase{
                          "ChineseLDBClick", "左键双击", {"mouse 0006 0 0", "mouse 0006 0 0"}},
                      ClickCase{"MMC", "MMC", {"mouse 0060 0 0"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ExecutorTest, SetLastMousePositionWithoutRememberGoesToTheOrigin) {
    fake::setCursor({300, 400});
    run("Set Last Mouse Position");
    EXPECT_EQ(fake::callTexts(), (Strings{"cursor 0 0"}));
}

TEST_F(ExecutorTest, RememberedPositionIsRestoredAfterTheCursorMoved) {
    fake::setCursor({300, 400});
    run("Remeber Mouse Position\nMoveTo 0 0\nSet Last Mouse Position\nSet Last Mouse Position");
    EXPECT_EQ(fake::callTexts(), (Strings{"cursor?", "height?", "width?", "mouse 8001 0 0",
                                          "cursor 300 400", "cursor 300 400"}));
    EXPECT_EQ(runState.savedCursor.x, 300);
    EXPECT_EQ(runState.savedCursor.y, 400);
}

TEST_F(ExecutorTest, KeyCommandsPressReleaseOrBoth) {
    run("HotKey ctrl+shift+a\nPush Down alt\nPush Up alt\nHotKey nosuchkey");
    EXPECT_EQ(fake::callTexts(), (Strings{"key 10 down", "key 11 down", "key 41 down", "key 41 up",
                                          "key 10 up", "key 11 up", "key 12 down", "key 12 up"}));
}

TEST_F(ExecutorTest, PushDownOfAButtonLeavesItDownUntilPushUp) {
    run("Push Down LBUTTON\nDelay 50\nPush Up lbutton");
    EXPECT_EQ(timedCalls(), (Strings{"0: mouse 0002 0 0", "0: sleep 50", "50: mouse 0004 0 0"}));
}

TEST_F(ExecutorTest, PutCharTypesEachByteAsAPlainKey) {
    run("PutChar Ab1");
    EXPECT_EQ(fake::callTexts(), typed({0x41, 0x42, 0x31}));
}

TEST_F(ExecutorTest, PutCharSendsASpaceAsCodeZero) {
    run("PutChar a b");
    EXPECT_EQ(fake::callTexts(), typed({0x41, 0x00, 0x42}));
}

TEST_F(ExecutorTest, PutCharTakesDoubleByteCharactersByteByByte) {
    // 0xB0 0xA1: neither byte names a key. 0x81 0x41: the second byte is the A key.
    run("PutChar \xB0\xA1\x81\x41");
    EXPECT_EQ(fake::callTexts(), typed({0x00, 0x00, 0x00, 0x41}));
}

TEST_F(ExecutorTest, PutCharOfNothingSendsNothing) {
    run("PutChar ");
    EXPECT_TRUE(fake::calls().empty());
}

struct TypedByte {
    char byte;
    unsigned code;
};

void PrintTo(const TypedByte& c, std::ostream* out) {
    char text[32];
    std::snprintf(text, sizeof text, "byte %02X, key %02X",
                  static_cast<unsigned>(static_cast<unsigned char>(c.byte)), c.code);
    *out << text;
}

class PutCharByteTest : public ExecutorTest, public ::testing::WithParamInterface<TypedByte> {};

TEST_P(PutCharByteTest, SendsTheKeyTheByteNamesOrZero) {
    const char line[] = {'K', 'P', 'C', ' ', GetParam().byte, '\0'};
    run(line);
    EXPECT_EQ(fake::callTexts(), typed({GetParam().code}));
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, PutCharByteTest,
    ::testing::Values(TypedByte{'a', 0x41}, TypedByte{'z', 0x5A}, TypedByte{'Q', 0x51},
                      TypedByte{'0', 0x30}, TypedByte{'9', 0x39}, TypedByte{';', 0xBA},
                      TypedByte{'=', 0xBB}, TypedByte{',', 0xBC}, TypedByte{'-', 0xBD},
                      TypedByte{'.', 0xBE}, TypedByte{'/', 0xBF}, TypedByte{'`', 0xC0},
                      TypedByte{'[', 0xDB}, TypedByte{'\\', 0xDC}, TypedByte{']', 0xDD},
                      TypedByte{'\'', 0xDE}, TypedByte{'!', 0x00}, TypedByte{'+', 0x00},
                      TypedByte{'A' - 1, 0x00}, TypedByte{'\t', 0x00}, TypedByte{'\r', 0x00},
                      TypedByte{'\x80', 0x00}, TypedByte{'\xFF', 0x00}),
    [](const auto& info) {
        char name[16];
        std::snprintf(name, sizeof name, "Byte%02X",
                      static_cast<unsigned>(static_cast<unsigned char>(info.param.byte)));
        return std::string(name);
    });

TEST_F(ExecutorTest, DelaySleepsTheCountAsUnsigned) {
    run("Delay 250\nDLY 0");
    EXPECT_EQ(fake::callTexts(), (Strings{"sleep 250", "sleep 0"}));
}

TEST_F(ExecutorTest, DelayOfMinusOneIsTheInfiniteWait) {
    load("Delay -1");
    EXPECT_THROW(script.execute(script.commands[0]), fake::TimeLimitReached);
    EXPECT_EQ(fake::callTexts(), (Strings{"sleep 4294967295"}));
}
