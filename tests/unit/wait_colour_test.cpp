// WaitColor and WaitNotColor: the colour text, the order of compare, break-key
// test and sleep, and one screen context per read given back each time.

#include "runner/executor.h"
#include "wait_test_support.h"

#include <string>
#include <vector>

namespace {

using WaitColour = WaitTest;

constexpr std::uint32_t Red = 0x0000FF; // red in the low byte
constexpr std::uint32_t Green = 0x00FF00;

TEST_F(WaitColour, ColourTextIsRedGreenBlueInUpperCaseHex) {
    fake::setPixel(5, 6, 0x00ABCDEF);
    fake::setPixel(7, 8, 0x0000000A);
    EXPECT_STREQ(screenColourText(5, 6).text, "EFCDAB");
    EXPECT_STREQ(screenColourText(7, 8).text, "0A0000");
    EXPECT_STREQ(screenColourText(9, 9).text, "000000");
    // Points off the screen cannot be read and give all bits set.
    for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {1920, 0}, {0, 1080}}) {
        EXPECT_STREQ(screenColourText(x, y).text, "FFFFFF") << x << "," << y;
    }
    EXPECT_EQ(fake::liveScreenContexts(), 0u);
}

TEST_F(WaitColour, ComparesThenTestsBreakKeyThenSleepsTenMs) {
    fake::setPixel(10, 20, Red, 15);
    EXPECT_FALSE(execute("WaitColor 10 20 FF0000"));

    std::vector<std::string> expected;
    for (int time : {0, 10}) {
        for (const char* call : {"dc", "pixel 10 20", "release dc", "held? 1B", "sleep 10"}) {
            expected.push_back(std::to_string(time) + ": " + call);
        }
    }
    for (const char* call : {"dc", "pixel 10 20", "release dc"}) {
        expected.push_back(std::string("20: ") + call);
    }
    EXPECT_EQ(timeline(), expected);
}

TEST_F(WaitColour, ComparisonIsExact) {
    struct Case {
        const char* line;
        bool endsAtOnce; // else it must run until the time limit
    };
    const Case cases[] = {
        {"WaitColor 10 20 FF0000", true},
        {"WCR 10 20 FF0000", true},
        {"WaitColor 10 20 ff0000", false},   // lower-case digits
        {"WaitColor 10 20 FF0000\r", false}, // CR LF script
        {"WaitColor 10 20 FF00", false},
        {"WaitColor 10 20", false},         // no colour field: the empty text
        {"WaitColor 3000 20 FFFFFF", true}, // off the screen
        {"WaitNotColor 10 20 ff0000", true},
        {"WaitNotColor 10 20 FF0000\r", true},
        {"WaitNotColor 10 20", true},
        {"WaitNotColor 10 20 FF0000", false},
        {"WNC 10 -5 FFFFFF", false},
    };
    for (const Case& c : cases) {
        SetUp();
        fake::setPixel(10, 20, Red);
        load(c.line);
        if (c.endsAtOnce) {
            EXPECT_FALSE(run()) << c.line;
            EXPECT_EQ(fake::countCalls("sleep"), 0u) << c.line;
        } else {
            EXPECT_TRUE(runsForever()) << c.line;
        }
        EXPECT_EQ(fake::liveScreenContexts(), 0u) << c.line;
    }
}

TEST_F(WaitColour, WaitNotColorEndsWhenThePixelChanges) {
    fake::setPixel(10, 20, Red);
    fake::setPixel(10, 20, Green, 42);
    EXPECT_FALSE(execute("WaitNotColor 10 20 FF0000"));
    EXPECT_EQ(fake::now(), 50u);
}

TEST_F(WaitColour, BreakKeyHeldStopsTheRunWithoutSleeping) {
    fake::holdKey(0x1B);
    EXPECT_TRUE(execute("WaitColor 10 20 FF0000"));
    EXPECT_EQ(timeline(), (std::vector<std::string>{"0: dc", "0: pixel 10 20", "0: release dc",
                                                    "0: held? 1B"}));
}

TEST_F(WaitColour, MatchingColourWinsOverTheBreakKey) {
    fake::holdKey(0x1B);
    fake::setPixel(10, 20, Red);
    EXPECT_FALSE(execute("WaitColor 10 20 FF0000"));
    EXPECT_EQ(fake::countCalls("held?"), 0u);
}

TEST_F(WaitColour, TestsTheBreakKeyOfTheScript) {
    fake::holdKey(0x1B);     // ESC no longer counts
    fake::holdKey(0x7B, 33); // F12 from 33 ms
    load("WaitNotColor 10 20 000000");
    runState.breakKey = ByteString("F12");
    EXPECT_TRUE(run());
    EXPECT_EQ(fake::now(), 40u);
}

TEST_F(WaitColour, LongWaitGivesBackEveryScreenContext) {
    fake::holdKey(0x1B, 60'000);
    EXPECT_TRUE(execute("WaitColor 10 20 FF0000"));
    EXPECT_EQ(fake::countCalls("dc"), 6'001u);
    EXPECT_EQ(fake::countCalls("release dc"), 6'001u);
    EXPECT_EQ(fake::liveScreenContexts(), 0u);
}

} // namespace
