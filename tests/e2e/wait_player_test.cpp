// Whole player runs with the waits in their scripts: a wait that ends by its
// condition lets the next line run; the break key ends a wait and the run with
// exit code 0 before the next line.

#include "helpers/wait_support.h"
#include "runner/executor.h"
#include "support/e2e.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

using namespace waits;

constexpr DWORD ExitTimeoutMs = 20000;

// A window under the cursor that counts the left clicks of the player.
class ClickTarget {
  public:
    explicit ClickTarget(COLORREF colour = CLR_INVALID)
        : window({.title = "wait click target",
                  .x = 300,
                  .y = 300,
                  .width = 400,
                  .height = 300,
                  .background = colour}) {
        EXPECT_TRUE(window.activate());
        centre = screenPoint(window.handle(), 200, 150);
        SetCursorPos(centre.x, centre.y);
    }
    std::size_t clicks() const {
        std::size_t count = 0;
        for (const e2e::ReceivedMessage& message : window.messages()) {
            count += message.message == WM_LBUTTONDOWN ? 1 : 0;
        }
        return count;
    }
    std::string point() const { return std::to_string(centre.x) + " " + std::to_string(centre.y); }

    e2e::TestWindow window;
    POINT centre{};
};

TEST(WaitPlayer, WaitColorThatMatchesLetsTheNextLineRun) {
    ClickTarget target(RGB(0x00, 0x00, 0xFF));
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
    ClickTarget target(RGB(0x00, 0x00, 0xFF));
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
    ClickTarget target;
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
    ClickTarget target;
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

} // namespace
