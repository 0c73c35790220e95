// Debugging in the studio, through what the user sees: the status line while a
// run waits, a breakpoint and a step against a window that counts clicks, a
// part of the script run on its own, and a player packed from a traced one.

#include "helpers/desktop_input.h"
#include "helpers/studio_driver.h"
#include "helpers/wait_support.h"
#include "pack_windows.h"
#include "support/e2e.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

using e2e::press;
using e2e::StudioUnderTest;
using waits::eventually;

constexpr int OkId = 1001;

std::string writeScript(const std::string& name, const std::string& text) {
    const std::string path = e2e::workDirectory() + "\\" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

// The seconds of "..., 1.5 s" at the end of a status text; -1 without them.
double waitedSeconds(const std::string& state) {
    const std::size_t end = state.rfind(" s");
    const std::size_t start = state.rfind(", ", end);
    if (end == std::string::npos || start == std::string::npos) {
        return -1;
    }
    return std::atof(state.substr(start + 2, end - start - 2).c_str());
}

// A window that counts the left and right clicks it gets, and the point of a
// script line that moves the pointer into it.
struct ClickTarget {
    e2e::TestWindow window{{.title = "studio debug target", .x = 300, .y = 200}};
    std::string moveTo() const {
        RECT client{};
        GetClientRect(window.handle(), &client);
        POINT centre{client.right / 2, client.bottom / 2};
        ClientToScreen(window.handle(), &centre);
        return "MoveTo " + std::to_string(centre.x) + " " + std::to_string(centre.y);
    }
    std::size_t count(UINT message) const {
        std::size_t clicks = 0;
        for (const e2e::ReceivedMessage& received : window.messages()) {
            clicks += received.message == message ? 1 : 0;
        }
        return clicks;
    }
};

} // namespace

TEST(StudioDebug, ARunStuckOnAWaitShowsTheLineAndTheGrowingWait) {
    const std::string path = writeScript(
        "studio_stuck.txt", "Start No Box\nDelay 100\nWait Caption no such window at all\nEnd\n");
    StudioUnderTest studio("--lang en \"" + path + "\"");
    ASSERT_TRUE(studio.waitForWindow());
    ASSERT_TRUE(studio.bringToFront());
    press(VK_F5);
    const std::string shown = "line 3: Wait Caption no such window at all, ";
    ASSERT_TRUE(eventually([&] { return studio.state().rfind(shown, 0) == 0; }, 10000))
        << studio.state();
    EXPECT_TRUE(IsIconic(studio.window)) << "the studio steps aside while the script plays";
    const double first = waitedSeconds(studio.state());
    ASSERT_TRUE(eventually([&] { return waitedSeconds(studio.state()) >= first + 1.0; }, 10000))
        << studio.state();
    EXPECT_EQ(studio.state().rfind(shown, 0), 0u) << "still on that line";

    ASSERT_TRUE(studio.bringToFront());
    press(VK_F5, {VK_SHIFT});
    EXPECT_TRUE(eventually([&] { return studio.state().rfind("Stopped (exit code 1)", 0) == 0; }))
        << studio.state();
}

// The clicks go to a button by its id, not to a point: under Wine the studio
// coming back to the front can put the pointer back where it was before the
// script's MoveTo (the relayed crossing event of the X11 driver), and a
// stepped LClick would then land there. Click ButtonText acts on the window in
// front: the window the script brought forward must be in front again when a
// step or Continue plays on, though the studio came forward at the stop and
// the user looked at another window meanwhile. The test never brings the
// target forward itself.
TEST(StudioDebug, ABreakpointStopsBeforeItsLineAndStepPlaysExactlyOneClick) {
    e2e::TestWindow other{{.title = "studio debug other window", .x = 200, .y = 150}};
    other.addControl("button", OkId, "OK");
    ClickTarget target;
    target.window.addControl("button", OkId, "OK");
    const std::string path =
        writeScript("studio_breakpoint.txt",
                    "Start No Box\nTop Caption studio debug target\nClick ButtonText 1001 OK\n"
                    "Click ButtonText 1001 OK\nClick ButtonText 1001 OK\nEnd\n");
    StudioUnderTest studio("--lang en \"" + path + "\"");
    ASSERT_TRUE(studio.waitForWindow());
    ASSERT_TRUE(eventually([&] { return !studio.editorText().empty(); }));
    ASSERT_TRUE(studio.bringToFront());
    press(VK_HOME, {VK_CONTROL});
    press(VK_DOWN);
    press(VK_DOWN);
    press(VK_F9);
    ASSERT_EQ(studio.state(), "Breakpoint on line 3");

    // The studio steps aside for each stretch of the run and comes forward at
    // each stop; a stretch this short can be over before a poll sees the
    // studio minimised, so the stuck run below checks that it steps aside.
    // While stopped the user looks at another window, then goes back to the
    // studio to press the key.
    auto lookElsewhere = [&] {
        ASSERT_TRUE(other.activate());
        ASSERT_TRUE(studio.bringToFront());
    };
    press(VK_F5);
    ASSERT_TRUE(eventually(
        [&] { return studio.state().rfind("Stopped before line 3: Click ButtonText", 0) == 0; },
        15000))
        << studio.state();
    EXPECT_FALSE(IsIconic(studio.window)) << "the studio comes forward at the stop";
    EXPECT_EQ(waits::buttonClicks(target.window, OkId), 0u);

    lookElsewhere();
    press(VK_F10);
    ASSERT_TRUE(eventually(
        [&] { return studio.state().rfind("Stopped before line 4: Click ButtonText", 0) == 0; },
        15000))
        << studio.state();
    EXPECT_EQ(waits::buttonClicks(target.window, OkId), 1u) << "one step, one click";

    lookElsewhere();
    press(VK_F5);
    ASSERT_TRUE(eventually(
        [&] { return studio.state().rfind("The passes ran out: exit code 0", 0) == 0; }, 15000))
        << studio.state();
    EXPECT_EQ(waits::buttonClicks(target.window, OkId), 3u);
    EXPECT_EQ(waits::buttonClicks(other, OkId), 0u) << "no click reached the other window";
}

TEST(StudioDebug, RunSelectionPlaysOnlyTheSelectedLines) {
    ClickTarget target;
    ASSERT_TRUE(target.window.activate());
    const std::string path = writeScript(
        "studio_part.txt", "Start No Box\nBreak Key F12\nTop Caption studio debug target\n" +
                               target.moveTo() + "\nDelay 300\nLClick\nRClick\nEnd\n");
    e2e::PassingMouseHook hook;
    ASSERT_TRUE(hook.installed());
    StudioUnderTest studio("--lang en \"" + path + "\"");
    ASSERT_TRUE(studio.waitForWindow());
    ASSERT_TRUE(eventually([&] { return !studio.editorText().empty(); }));
    ASSERT_TRUE(studio.bringToFront());
    // Lines 3 to 6: to the front, the move, the pause, the left click; not the right click.
    press(VK_HOME, {VK_CONTROL});
    press(VK_DOWN);
    press(VK_DOWN);
    for (int line = 3; line <= 6; ++line) {
        press(VK_DOWN, {VK_SHIFT});
    }
    press(VK_F5, {VK_CONTROL});
    ASSERT_TRUE(eventually(
        [&] { return studio.state().rfind("The passes ran out: exit code 0", 0) == 0; }, 15000))
        << studio.state();
    EXPECT_EQ(target.count(WM_LBUTTONDOWN), 1u);
    EXPECT_EQ(target.count(WM_RBUTTONDOWN), 0u);
}

TEST(StudioDebug, APlayerPackedFromATracedOneCarriesNoTrace) {
    const std::string script = writeScript("studio_traced.txt", "Start No Box\nDelay 1\nEnd\n");
    const std::string traced = e2e::workDirectory() + "\\studio_traced_player.exe";
    std::string error;
    ASSERT_TRUE(writeTracedPlayer(e2e::plainPlayerPath(), traced, "Start No Box\nEnd\n",
                                  "ScriptStudioTrace 1 0 none", error))
        << error;
    ASSERT_TRUE(carriesTrace(traced));
    const std::string packed = e2e::workDirectory() + "\\studio_from_traced.exe";
    EXPECT_EQ(
        e2e::runProgram(e2e::windowsPath(E2E_PACKER),
                        "--player \"" + traced + "\" \"" + script + "\" -o \"" + packed + "\""),
        std::optional<DWORD>(0));
    EXPECT_FALSE(carriesTrace(packed));
    EXPECT_EQ(e2e::runProgram(packed), std::optional<DWORD>(0));
}
