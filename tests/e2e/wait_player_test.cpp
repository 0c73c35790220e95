// Whole player runs with the waiting and window commands in their scripts: a
// wait that ends by its condition lets the next line run, and nothing after it
// runs before; the break key ends a wait and the run with exit code 0 before the
// next line; the window commands act on windows of the test process.

#include "helpers/click_target.h"
#include "helpers/wait_support.h"
#include "runner/executor.h"
#include "support/e2e.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

using namespace waits;

constexpr DWORD ExitTimeoutMs = 20000;
constexpr int ButtonId = 1001;

// The window where the players of these tests click.
e2e::TestWindowOptions clickWindow(COLORREF colour = CLR_INVALID) {
    return {.title = "wait click target",
            .x = 300,
            .y = 300,
            .width = 400,
            .height = 300,
            .background = colour};
}

TEST(WaitPlayer, WaitColorThatMatchesLetsTheNextLineRun) {
    e2e::ClickTarget target(clickWindow(RGB(0x00, 0x00, 0xFF)));
    ASSERT_TRUE(eventually([&] {
        return std::string(screenColourText(target.centre.x, target.centre.y).text) == "0000FF";
    }));
    const std::string player = e2e::playerWithScript(
        "wait_colour_match", "Start No Box\nWaitColor " + target.point() + " 0000FF\nLClick\nEnd");
    ASSERT_FALSE(player.empty());
    EXPECT_EQ(e2e::runProgram(player, "", ExitTimeoutMs), std::optional<DWORD>(0));
    EXPECT_TRUE(eventually([&] { return target.clicks() == 1; }));
}

TEST(WaitPlayer, BreakKeyEndsAWaitColorRunWithCodeZero) {
    e2e::ClickTarget target(clickWindow(RGB(0x00, 0x00, 0xFF)));
    const std::string player = e2e::playerWithScript(
        "wait_colour_break", "Start No Box\nWaitColor " + target.point() + " 123456\nLClick\nEnd");
    ASSERT_FALSE(player.empty());
    e2e::RunningProgram run = e2e::startProgram(player);
    ASSERT_TRUE(run.started());
    Sleep(1000);
    ASSERT_TRUE(run.running()) << "the wait ended without its colour";
    {
        e2e::HeldKey escape("Escape");
        EXPECT_EQ(run.waitForExit(ExitTimeoutMs), std::optional<DWORD>(0));
    }
    Sleep(200);
    EXPECT_EQ(target.clicks(), 0u);
}

TEST(WaitPlayer, BreakKeyOfTheScriptEndsAWaitProcessRun) {
    e2e::ClickTarget target(clickWindow());
    const std::string player = e2e::playerWithScript(
        "wait_process_break",
        "Start No Box\nBreak Key f9\nWait Process no_such_program.exe\nLClick\nEnd");
    ASSERT_FALSE(player.empty());
    e2e::RunningProgram run = e2e::startProgram(player);
    ASSERT_TRUE(run.started());
    Sleep(1000);
    {
        e2e::HeldKey escape("Escape"); // not the break key of this script
        Sleep(300);
        ASSERT_TRUE(run.running());
    }
    {
        e2e::HeldKey f9("F9");
        EXPECT_EQ(run.waitForExit(ExitTimeoutMs), std::optional<DWORD>(0));
    }
    Sleep(200);
    EXPECT_EQ(target.clicks(), 0u);
}

TEST(WaitPlayer, WaitCaptionHoldsTheRunUntilTheCaptionChanges) {
    e2e::ClickTarget target(clickWindow());
    SetWindowTextA(target.window.handle(), "job running");
    const std::string player = e2e::playerWithScript(
        "wait_caption_run", "Start No Box\nWait Caption job done\nLClick\nEnd");
    ASSERT_FALSE(player.empty());
    e2e::RunningProgram run = e2e::startProgram(player);
    ASSERT_TRUE(run.started());
    Sleep(1000);
    EXPECT_TRUE(run.running());
    EXPECT_EQ(target.clicks(), 0u);

    SetWindowTextA(target.window.handle(), "job done: 3 files");
    EXPECT_EQ(run.waitForExit(ExitTimeoutMs), std::optional<DWORD>(0));
    EXPECT_TRUE(eventually([&] { return target.clicks() == 1; }));
}

// The player reads and clicks a control of another process. Its first line
// finds the text at once and clicks, which shows that the run has reached the
// control; the second waits until the text changes.
TEST(WaitPlayer, ClickButtonTextClicksTheButtonOnceItShowsTheText) {
    e2e::ClickTarget target(clickWindow());
    target.window.addControl("button", ButtonId, "Please wait");
    ASSERT_TRUE(target.window.activate());
    const std::string player = e2e::playerWithScript(
        "wait_button_text",
        "Start No Box\nClick ButtonText 1001 Please wait\nClick ButtonText 1001 OK\nEnd");
    ASSERT_FALSE(player.empty());
    e2e::RunningProgram run = e2e::startProgram(player);
    ASSERT_TRUE(run.started());
    ASSERT_TRUE(eventually([&] { return buttonClicks(target.window, ButtonId) == 1; }, 10000));
    Sleep(1000);
    EXPECT_TRUE(run.running());
    EXPECT_EQ(buttonClicks(target.window, ButtonId), 1u);

    target.window.setControlText(ButtonId, "OK");
    EXPECT_EQ(run.waitForExit(ExitTimeoutMs), std::optional<DWORD>(0));
    EXPECT_EQ(buttonClicks(target.window, ButtonId), 2u);
}

TEST(WaitPlayer, WaitButtonEnableHoldsTheRunUntilTheButtonIsEnabled) {
    e2e::ClickTarget target(clickWindow()); // the cursor is on the window, away from the button
    target.window.addControl("button", ButtonId, "Install", false);
    ASSERT_TRUE(target.window.activate());
    const std::string player = e2e::playerWithScript(
        "wait_button_enable", "Start No Box\nWait ButtonEnable 1001\nLClick\nEnd");
    ASSERT_FALSE(player.empty());
    e2e::RunningProgram run = e2e::startProgram(player);
    ASSERT_TRUE(run.started());
    Sleep(1500);
    EXPECT_TRUE(run.running());
    EXPECT_EQ(target.clicks(), 0u);

    target.window.enableControl(ButtonId, true);
    EXPECT_EQ(run.waitForExit(ExitTimeoutMs), std::optional<DWORD>(0));
    EXPECT_TRUE(eventually([&] { return target.clicks() == 1; }));
}

TEST(WaitPlayer, WaitKeyHoldsTheRunUntilTheKeyIsPressedAndReleased) {
    e2e::ClickTarget target(clickWindow());
    const std::string player =
        e2e::playerWithScript("wait_key_run", "Start No Box\nWait Key F7\nLClick\nEnd");
    ASSERT_FALSE(player.empty());
    e2e::RunningProgram run = e2e::startProgram(player);
    ASSERT_TRUE(run.started());
    Sleep(1500);
    EXPECT_TRUE(run.running());
    {
        e2e::HeldKey f7("F7");
        Sleep(500);
        EXPECT_TRUE(run.running()) << "the wait ended while the key was still down";
        EXPECT_EQ(target.clicks(), 0u);
    }
    EXPECT_EQ(run.waitForExit(ExitTimeoutMs), std::optional<DWORD>(0));
    EXPECT_TRUE(eventually([&] { return target.clicks() == 1; }));
}

// Top Caption brings the window behind to the front; WindowLeftTop then moves
// the foreground window from (100, 100) to the corner with its size kept. Two
// runs: under Wine the foreground window of another process reads as none for
// a moment after SetForegroundWindow, so a WindowLeftTop straight after Top
// Caption may find nothing to move.
TEST(WaitPlayer, TopCaptionAndWindowLeftTopMoveABackgroundWindowToTheCorner) {
    e2e::TestWindow back(
        {.title = "wait player back", .x = 100, .y = 100, .width = 800, .height = 600});
    e2e::TestWindow front(
        {.title = "wait player front", .x = 500, .y = 400, .width = 400, .height = 300});
    ASSERT_TRUE(front.activate());
    RECT rect{};
    GetWindowRect(back.handle(), &rect);
    ASSERT_EQ(rect.left, 100);
    ASSERT_EQ(rect.top, 100);

    const std::string top = e2e::playerWithScript(
        "wait_top_caption", "Start No Box\nTop Caption WAIT player back\nEnd");
    ASSERT_FALSE(top.empty());
    EXPECT_EQ(e2e::runProgram(top, "", ExitTimeoutMs), std::optional<DWORD>(0));
    ASSERT_TRUE(eventually([&] { return GetForegroundWindow() == back.handle(); }));

    const std::string corner =
        e2e::playerWithScript("wait_left_top", "Start No Box\nWindowLeftTop \nEnd");
    ASSERT_FALSE(corner.empty());
    EXPECT_EQ(e2e::runProgram(corner, "", ExitTimeoutMs), std::optional<DWORD>(0));
    GetWindowRect(back.handle(), &rect);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, 800);
    EXPECT_EQ(rect.bottom, 600);
    GetWindowRect(front.handle(), &rect);
    EXPECT_EQ(rect.left, 500);
    EXPECT_EQ(rect.top, 400);
}

} // namespace
