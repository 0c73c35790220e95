// Whole runs of real players with embedded scripts, observed as a user would:
// the boxes they show, the clicks that arrive, the keys that end or pause them.

#include "helpers/click_target.h"
#include "support/keys.h"
#include "support/message_box.h"
#include "support/paths.h"
#include "support/process.h"
#include "support/test_window.h"
#include "support/windows_api.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <string>

namespace {

using namespace e2e;

constexpr DWORD ExitTimeoutMs = 20000;

// A press long enough for the player's 50 ms key polls to see it.
void pressAtServer(const std::string& key) {
    HeldKey held(key);
    Sleep(250);
}

// The window where the players of these tests click.
TestWindowOptions clickWindow() {
    return {.title = "click target", .x = 200, .y = 200, .width = 400, .height = 300};
}

TEST(RunPlayer, WithoutScriptResourceEndsAtOnceWithCodeZero) {
    EXPECT_EQ(runProgram(plainPlayerPath(), "", ExitTimeoutMs), std::optional<DWORD>(0));
}

TEST(RunPlayer, EmptyScriptResourceEndsWithCodeZero) {
    EXPECT_EQ(runProgram(builtPlayerPath("empty_script_player"), "", ExitTimeoutMs),
              std::optional<DWORD>(0));
}

TEST(RunPlayer, ScriptsWithoutBodyEndWithCodeZero) {
    struct Case {
        const char* name;
        std::string script;
    };
    const Case cases[] = {
        {"feeds_only", "\n\n\n"}, {"one_line", "LClick"}, {"frame_only", "Start No Box\nEnd"}};
    ClickTarget target(clickWindow());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string player = playerWithScript(c.name, c.script);
        ASSERT_FALSE(player.empty());
        EXPECT_EQ(runProgram(player, "", ExitTimeoutMs), std::optional<DWORD>(0));
    }
    Sleep(200);
    EXPECT_EQ(target.clicks(), 0u);
}

TEST(RunPlayer, StartBoxShowsCommentsAndKeysAndOkStartsTheRun) {
    ClickTarget target(clickWindow());
    const std::string player = playerWithScript(
        "start_ok", "Start\n*Comment: Hello\nBreak Key f12\nPauseKey F9\nLClick\nEnd");
    ASSERT_FALSE(player.empty());
    RunningProgram run = startProgram(player);
    ASSERT_TRUE(run.started());
    HWND box = waitForMessageBox("开始", run.processId());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(messageBoxText(box), "Hello\r\n----------------------------\n"
                                   "按确定开始运行,结束热键[F12]暂停热键[F9]");
    EXPECT_TRUE(hasButton(box, IDCANCEL));
    EXPECT_EQ(target.clicks(), 0u);
    ASSERT_TRUE(pressButton(box, IDOK));
    EXPECT_EQ(run.waitForExit(ExitTimeoutMs), std::optional<DWORD>(0));
    EXPECT_TRUE(target.waitForClicks(1));
}

TEST(RunPlayer, CancelOnTheStartBoxRunsNothing) {
    ClickTarget target(clickWindow());
    const std::string player = playerWithScript("start_cancel", "开始\nLClick\nEnd");
    ASSERT_FALSE(player.empty());
    RunningProgram run = startProgram(player);
    ASSERT_TRUE(run.started());
    HWND box = waitForMessageBox("开始", run.processId());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(messageBoxText(box), "按确定开始运行,结束热键[ESC]");
    ASSERT_TRUE(pressButton(box, IDCANCEL));
    EXPECT_EQ(run.waitForExit(ExitTimeoutMs), std::optional<DWORD>(0));
    Sleep(300);
    EXPECT_EQ(target.clicks(), 0u);
}

TEST(RunPlayer, SyntaxErrorBoxNamesTheKeptLineAndRunsNothing) {
    ClickTarget target(clickWindow());
    const std::string player =
        playerWithScript("syntax_error", "SNB\n\nLClick\nnot a command\nLClick\nEnd\n");
    ASSERT_FALSE(player.empty());
    RunningProgram run = startProgram(player);
    ASSERT_TRUE(run.started());
    HWND box = waitForMessageBox("错误", run.processId());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(messageBoxText(box), "第3行脚本语法错误! \n代码:\"not a command\"");
    ASSERT_TRUE(pressButton(box, IDOK));
    EXPECT_EQ(run.waitForExit(ExitTimeoutMs), std::optional<DWORD>(0));
    Sleep(300);
    EXPECT_EQ(target.clicks(), 0u);
}

TEST(RunPlayer, LoopTimesRunsThatManyPasses) {
    ClickTarget target(clickWindow());
    const std::string player =
        playerWithScript("three_passes", "SNB\nLoop Times 3\nLClick\nDelay 50\nEnd");
    ASSERT_FALSE(player.empty());
    EXPECT_EQ(runProgram(player, "", ExitTimeoutMs), std::optional<DWORD>(0));
    target.waitForClicks(4, 1000); // give stray clicks time to show
    EXPECT_EQ(target.clicks(), 3u);
}

TEST(RunPlayer, BreakKeyEndsALongDelayWithCodeZero) {
    const std::string player =
        playerWithScript("break_delay", "SNB\nBreak Key F12\nDelay 60000\nEnd");
    ASSERT_FALSE(player.empty());
    RunningProgram run = startProgram(player);
    ASSERT_TRUE(run.started());
    Sleep(1000);
    ASSERT_TRUE(run.running());
    const DWORD pressed = GetTickCount();
    HeldKey key("F12");
    EXPECT_EQ(run.waitForExit(30000), std::optional<DWORD>(0));
    EXPECT_LT(GetTickCount() - pressed, 30000u); // long before the minute is over
}

TEST(RunPlayer, PauseKeyHoldsTheRunUntilPressedAgain) {
    ClickTarget target(clickWindow());
    const std::string player = playerWithScript(
        "pause_resume", "SNB\nPauseKey F9\nBreak Key F12\nLClick\nDelay 100\nLoop");
    ASSERT_FALSE(player.empty());
    RunningProgram run = startProgram(player);
    ASSERT_TRUE(run.started());
    ASSERT_TRUE(target.waitForClicks(3));

    pressAtServer("F9");
    Sleep(500); // the command under way ends, the next one waits at the gate
    const std::size_t paused = target.clicks();
    Sleep(1500);
    EXPECT_EQ(target.clicks(), paused);

    pressAtServer("F9");
    EXPECT_TRUE(target.waitForClicks(paused + 3));

    HeldKey key("F12");
    EXPECT_EQ(run.waitForExit(ExitTimeoutMs), std::optional<DWORD>(0));
}

// One key as break key and pause key: each press pauses or resumes, whichever
// moment of the player's key polling it begins at, and none ends the player.
TEST(RunPlayer, OneKeyAsBreakAndPauseKeyOnlyPausesAndResumes) {
    ClickTarget target(clickWindow());
    const std::string player = playerWithScript(
        "one_key_pause", "SNB\nPauseKey F9\nBreak Key F9\nLClick\nDelay 100\nLoop");
    ASSERT_FALSE(player.empty());
    RunningProgram run = startProgram(player);
    ASSERT_TRUE(run.started());
    ASSERT_TRUE(target.waitForClicks(3));

    for (DWORD round = 0; round < 3; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        Sleep(17 * round); // presses begin at different points of the 50 ms cycle
        pressAtServer("F9");
        Sleep(500);
        ASSERT_TRUE(run.running());
        const std::size_t paused = target.clicks();
        Sleep(1000);
        EXPECT_EQ(target.clicks(), paused);

        Sleep(29 * round);
        pressAtServer("F9");
        EXPECT_TRUE(target.waitForClicks(paused + 3));
        ASSERT_TRUE(run.running());
    }
    // Ending the record ends the player.
}

// The colour wait still ends the run on the break key shared with the pause key.
TEST(RunPlayer, OneKeyAsBreakAndPauseKeyEndsAColourWait) {
    const std::string player = playerWithScript(
        "one_key_colour", "SNB\nPauseKey F9\nBreak Key F9\nWaitColor 1 1 123456\nLClick\nEnd");
    ASSERT_FALSE(player.empty());
    ClickTarget target(clickWindow());
    RunningProgram run = startProgram(player);
    ASSERT_TRUE(run.started());
    Sleep(1000);
    ASSERT_TRUE(run.running());
    HeldKey key("F9");
    EXPECT_EQ(run.waitForExit(ExitTimeoutMs), std::optional<DWORD>(0));
    key.release();
    EXPECT_FALSE(target.waitForClicks(1, 500)); // the stop flag ends the run at once
}

TEST(RunPlayer, TrayIconRunEndsNormally) {
    ClickTarget target(clickWindow());
    const std::string player =
        playerWithScript("tray_icon", "SNB\nShowTaryIcon\nLoop Times 2\nLClick\nEnd");
    ASSERT_FALSE(player.empty());
    EXPECT_EQ(runProgram(player, "", ExitTimeoutMs), std::optional<DWORD>(0));
    EXPECT_TRUE(target.waitForClicks(2));
}

// The player loads SHELL32 only when a script needs it: the icon is there while
// the run plays, for the player's hidden owner window, so the test can take it
// away (an icon that was never added cannot be).
TEST(RunPlayer, TrayIconIsThereWhileTheRunPlays) {
    const std::string player = playerWithScript("tray_shown", "SNB\nShowTaryIcon\nDelay 3000\nEnd");
    ASSERT_FALSE(player.empty());
    RunningProgram run = startProgram(player);
    ASSERT_TRUE(run.started());
    HWND owner = nullptr;
    for (const ULONGLONG start = GetTickCount64();
         owner == nullptr && GetTickCount64() - start < 5000; Sleep(10)) {
        for (HWND window : topLevelWindowsOf(run.processId())) {
            char title[16] = {};
            GetWindowTextA(window, title, sizeof title);
            if (std::string(title) == "VELMO-TEK")
                owner = window;
        }
    }
    ASSERT_NE(owner, nullptr);
    NOTIFYICONDATAA icon{};
    icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
    icon.hWnd = owner;
    icon.uID = 1; // the player's is 0
    EXPECT_FALSE(Shell_NotifyIconA(NIM_DELETE, &icon));
    icon.uID = 0;
    bool removed = false;
    for (int attempt = 0; attempt < 100 && !removed; ++attempt) {
        removed = Shell_NotifyIconA(NIM_DELETE, &icon) != FALSE;
        if (!removed)
            Sleep(20);
    }
    EXPECT_TRUE(removed);
    EXPECT_EQ(run.waitForExit(ExitTimeoutMs), std::optional<DWORD>(0));
}

} // namespace
