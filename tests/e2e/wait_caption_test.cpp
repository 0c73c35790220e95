// Wait Caption and Wait Key in the test process, on the real desktop: a caption
// that changes after a while, a key pressed at the X server.

#include "helpers/wait_support.h"
#include "support/e2e.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

using namespace waits;
using WaitCaptionE2e = WaitE2e;
using WaitKeyE2e = WaitE2e;

constexpr DWORD WatchdogMs = 10000;

TEST_F(WaitCaptionE2e, ReturnsWhenTheForegroundCaptionChanges) {
    e2e::TestWindow window({.title = "report - loading"});
    ASSERT_TRUE(window.activate());
    std::atomic<bool> watchdogFired = false;

    Stopwatch clock;
    {
        Later change(400, [&] { SetWindowTextA(window.handle(), "report - ready (42)"); });
        Later watchdog(WatchdogMs, [&] {
            watchdogFired = true;
            SetWindowTextA(window.handle(), "ready");
        });
        EXPECT_FALSE(executeLine("Wait Caption ready ("));
    }
    EXPECT_FALSE(watchdogFired);
    EXPECT_GE(clock.elapsedMs(), 350u);
}

TEST_F(WaitCaptionE2e, LetterCaseMatters) {
    e2e::TestWindow window({.title = "report - ready"});
    ASSERT_TRUE(window.activate());

    Stopwatch clock;
    {
        Later change(600, [&] { SetWindowTextA(window.handle(), "report - READY"); });
        EXPECT_FALSE(executeLine("Wait Caption READY"));
    }
    // The lower-case caption in front until then did not end it.
    EXPECT_GE(clock.elapsedMs(), 550u);
    EXPECT_LT(clock.elapsedMs(), WatchdogMs);
}

TEST_F(WaitKeyE2e, EndsWhenTheKeyIsReleased) {
    e2e::TestWindow window({.title = "wait key"});
    ASSERT_TRUE(window.activate());

    Stopwatch clock;
    ULONGLONG releasedAt = 0;
    {
        Later press(300, [] { e2e::keyDownAtServer("F8"); });
        Later release(800, [&] {
            releasedAt = clock.elapsedMs();
            e2e::keyUpAtServer("F8");
        });
        EXPECT_FALSE(executeLine("Wait Key f8"));
    }
    EXPECT_GE(clock.elapsedMs(), 750u); // not at the press
    EXPECT_GE(clock.elapsedMs(), releasedAt);
    e2e::keyUpAtServer("F8");
}

TEST_F(WaitKeyE2e, CombinationNeedsItsModifier) {
    e2e::TestWindow window({.title = "wait key combination"});
    ASSERT_TRUE(window.activate());

    Stopwatch clock;
    {
        // F7 alone first, which does not count; then CTRL with F7.
        Later plain(200, [] { e2e::tapAtServer("F7"); });
        Later press(700, [] { e2e::keyDownAtServer("ctrl+F7"); });
        Later release(1000, [] { e2e::keyUpAtServer("ctrl+F7"); });
        EXPECT_FALSE(executeLine("WKY CTRL+F7"));
    }
    EXPECT_GE(clock.elapsedMs(), 950u);
    e2e::keyUpAtServer("ctrl+F7");
}

} // namespace
