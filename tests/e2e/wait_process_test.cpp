// Wait Process on the real desktop: the test process itself and a helper process
// coming to the front, and the last seen process shared across commands.

#include "helpers/wait_support.h"
#include "support/e2e.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

using namespace waits;
using WaitProcessE2e = WaitE2e;

constexpr const char* HelperClass = "WaitProcessHelper";
constexpr const char* HelperTitle = "wait process helper";

e2e::RunningProgram startHelperInFront() {
    return e2e::startProgram(e2e::windowsPath(E2E_WAIT_WINDOW_HELPER), std::string(HelperClass) +
                                                                           " \"" + HelperTitle +
                                                                           "\" 200 200 400 300 1");
}

TEST_F(WaitProcessE2e, MatchesProcessesNewlyInFrontByName) {
    e2e::TestWindow window({.title = "wait process"});
    ASSERT_TRUE(window.activate());

    // The test process is in front and not yet seen: its name matches at once,
    // in another letter case.
    Stopwatch clock;
    EXPECT_FALSE(executeLine("Wait Process WAIT_TESTS.EXE"));
    EXPECT_LT(clock.elapsedMs(), 1000u);
    EXPECT_EQ(runState.lastForegroundPid, GetCurrentProcessId());

    // A helper process comes to the front a while later.
    std::optional<e2e::RunningProgram> helper;
    clock = Stopwatch();
    {
        Later start(400, [&] { helper = startHelperInFront(); });
        Later watchdog(15000, [] { e2e::tapAtServer("Escape"); });
        EXPECT_FALSE(executeLine("Wait Process Wait_Window_Helper.exe"));
    }
    EXPECT_GE(clock.elapsedMs(), 400u);
    ASSERT_TRUE(helper && helper->started());
    EXPECT_EQ(runState.lastForegroundPid, helper->processId());

    // The helper is still in front and was the last seen: the next wait for it
    // holds until another process has been in front and the helper returns.
    HWND helperWindow = FindWindowA(HelperClass, nullptr);
    ASSERT_NE(helperWindow, nullptr);
    clock = Stopwatch();
    {
        Later away(500, [&] { window.activate(); });
        Later back(1200, [&] { SetForegroundWindow(helperWindow); });
        Later watchdog(15000, [] { e2e::tapAtServer("Escape"); });
        EXPECT_FALSE(executeLine("WPR wait_window_helper.EXE"));
    }
    EXPECT_GE(clock.elapsedMs(), 1150u);
    EXPECT_EQ(GetForegroundWindow(), helperWindow);
}

TEST_F(WaitProcessE2e, PartOfTheNameNeverMatches) {
    e2e::TestWindow window({.title = "wait process part"});
    ASSERT_TRUE(window.activate());
    Stopwatch clock;
    bool stop = false;
    {
        Later press(800, [] { e2e::keyDownAtServer("Escape"); });
        stop = executeLine("Wait Process wait_tests");
    }
    e2e::keyUpAtServer("Escape");
    EXPECT_TRUE(stop);
    EXPECT_GE(clock.elapsedMs(), 750u);
}

} // namespace
