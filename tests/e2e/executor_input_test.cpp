// Key, typing and mouse commands run in this process through the real Win32
// layer, checked by what a window of our own receives.

#include "helpers/pointer.h"
#include "helpers/run_lines.h"
#include "support/e2e.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Strings = std::vector<std::string>;

class ExecutorInput : public ::testing::Test {
  protected:
    void SetUp() override {
        resetRunState();
        ASSERT_TRUE(window.activate());
        window.clearMessages();
    }

    // The key messages once `count` of them have arrived (or the wait gave up).
    Strings keysAfter(std::size_t count) {
        window.waitFor([&](const std::vector<e2e::ReceivedMessage>& all) {
            std::size_t keys = 0;
            for (const e2e::ReceivedMessage& message : all) {
                keys += message.message == WM_KEYDOWN || message.message == WM_KEYUP ||
                        message.message == WM_SYSKEYDOWN || message.message == WM_SYSKEYUP;
            }
            return keys >= count;
        });
        Sleep(100); // anything sent after the expected messages would arrive by now
        return e2e::describe(window.keyMessages());
    }

    Strings mouseAfter(std::size_t count) {
        window.waitForCount(count);
        Sleep(100);
        return e2e::describe(window.messages());
    }

    // Moves the pointer onto a point of the window's client area and returns
    // where it landed, in client coordinates, as "(X, Y)".
    std::string pointAt(int x, int y) {
        POINT point{x, y};
        ClientToScreen(window.handle(), &point);
        EXPECT_TRUE(e2e::movePointerSteadily(point));
        POINT landed{};
        GetCursorPos(&landed);
        ScreenToClient(window.handle(), &landed);
        return "(" + std::to_string(landed.x) + ", " + std::to_string(landed.y) + ")";
    }

    e2e::TestWindow window;
};

TEST_F(ExecutorInput, HotKeyPressesModifiersThenKeyAndReleasesInTheSameOrder) {
    e2e::runLines("HotKey ctrl+shift+a");
    EXPECT_EQ(keysAfter(6), (Strings{"WM_KEYDOWN 10", "WM_KEYDOWN 11", "WM_KEYDOWN 41",
                                     "WM_KEYUP 41", "WM_KEYUP 10", "WM_KEYUP 11"}));
}

TEST_F(ExecutorInput, PushDownLeavesTheKeyDownUntilPushUp) {
    e2e::runLines("Push Down f7");
    EXPECT_EQ(keysAfter(1), (Strings{"WM_KEYDOWN 76"}));
    Sleep(400);
    EXPECT_EQ(e2e::describe(window.keyMessages()), (Strings{"WM_KEYDOWN 76"}));
    e2e::runLines("Push Up F7");
    EXPECT_EQ(keysAfter(2), (Strings{"WM_KEYDOWN 76", "WM_KEYUP 76"}));
}

TEST_F(ExecutorInput, PutCharTypesEachByteAsItsPlainKey) {
    e2e::runLines("PutChar aB1;/");
    EXPECT_EQ(
        keysAfter(10),
        (Strings{"WM_KEYDOWN 41", "WM_KEYUP 41", "WM_KEYDOWN 42", "WM_KEYUP 42", "WM_KEYDOWN 31",
                 "WM_KEYUP 31", "WM_KEYDOWN BA", "WM_KEYUP BA", "WM_KEYDOWN BF", "WM_KEYUP BF"}));
}

TEST_F(ExecutorInput, PutCharSendsBytesThatNameNoKeyAsCodeZero) {
    // A space, then a double-byte character whose second byte is the letter A.
    e2e::runLines("PutChar a \x81\x41");
    EXPECT_EQ(keysAfter(8),
              (Strings{"WM_KEYDOWN 41", "WM_KEYUP 41", "WM_KEYDOWN 00", "WM_KEYUP 00",
                       "WM_KEYDOWN 00", "WM_KEYUP 00", "WM_KEYDOWN 41", "WM_KEYUP 41"}));
}

TEST_F(ExecutorInput, LClickClicksWhereThePointerIs) {
    const std::string at = pointAt(200, 150);
    e2e::runLines("LClick");
    EXPECT_EQ(mouseAfter(2), (Strings{"WM_LBUTTONDOWN " + at, "WM_LBUTTONUP " + at}));
}

TEST_F(ExecutorInput, LDBClickIsADoubleClick) {
    const std::string at = pointAt(120, 80);
    e2e::runLines("LDBClick");
    EXPECT_EQ(mouseAfter(4), (Strings{"WM_LBUTTONDOWN " + at, "WM_LBUTTONUP " + at,
                                      "WM_LBUTTONDBLCLK " + at, "WM_LBUTTONUP " + at}));
}

TEST_F(ExecutorInput, RightAndMiddleClicks) {
    const std::string at = pointAt(300, 200);
    e2e::runLines("RClick\nMClick");
    EXPECT_EQ(mouseAfter(4), (Strings{"WM_RBUTTONDOWN " + at, "WM_RBUTTONUP " + at,
                                      "WM_MBUTTONDOWN " + at, "WM_MBUTTONUP " + at}));
}

TEST_F(ExecutorInput, MoveToLandsWithinOnePixel) {
    for (POINT target : {POINT{500, 400}, POINT{960, 540}, POINT{1, 2}, POINT{1900, 1000}}) {
        e2e::runLines("MoveTo " + std::to_string(target.x) + " " + std::to_string(target.y));
        EXPECT_TRUE(e2e::cursorNear(target, 1));
    }
}

TEST_F(ExecutorInput, SetLastMousePositionReturnsToTheRememberedPoint) {
    ASSERT_TRUE(e2e::movePointerSteadily({321, 234}));
    e2e::runLines("Remeber Mouse Position\nMoveTo 900 700");
    const POINT remembered{runState.savedCursor.x, runState.savedCursor.y};
    EXPECT_LE(std::abs(remembered.x - 321), 1);
    EXPECT_LE(std::abs(remembered.y - 234), 1);
    ASSERT_TRUE(e2e::cursorNear({900, 700}, 1));
    e2e::runLines("Set Last Mouse Position");
    EXPECT_TRUE(e2e::cursorNear(remembered, 0));
}

} // namespace
