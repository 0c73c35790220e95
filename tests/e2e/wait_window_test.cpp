// Top Class, Top Caption and WindowLeftTop on the real desktop, with windows of
// the test process and of a helper process.

#include "helpers/wait_support.h"
#include "support/e2e.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace waits;
using WindowCommandE2e = WaitE2e;

constexpr const char* HelperClass = "WaitTopHelper";
constexpr const char* HelperTitle = "wait top helper";

TEST_F(WindowCommandE2e, TopClassAndTopCaptionBringABackgroundWindowToTheFront) {
    // The helper's window starts behind the test window, not active.
    e2e::RunningProgram helper =
        e2e::startProgram(e2e::windowsPath(E2E_WAIT_WINDOW_HELPER),
                          std::string(HelperClass) + " \"" + HelperTitle + "\" 250 250 400 300 0");
    ASSERT_TRUE(helper.started());
    HWND helperWindow = nullptr;
    ASSERT_TRUE(eventually([&] { return (helperWindow = FindWindowA(HelperClass, nullptr)); }));

    e2e::TestWindow window({.title = "wait top"});
    const char* lines[] = {"Top Caption wait top helper", "TCA WAIT TOP HELPER",
                           "Top Class WaitTopHelper", "TCL waittophelper"};
    for (const char* line : lines) {
        SCOPED_TRACE(line);
        ASSERT_TRUE(window.activate());
        EXPECT_FALSE(executeLine(line));
        EXPECT_TRUE(eventually([&] { return GetForegroundWindow() == helperWindow; }));
    }

    // A minimised window is restored.
    ASSERT_TRUE(window.activate());
    ShowWindow(helperWindow, SW_MINIMIZE);
    ASSERT_TRUE(eventually([&] { return IsIconic(helperWindow) != 0; }));
    EXPECT_FALSE(executeLine("Top Caption wait top helper"));
    EXPECT_TRUE(eventually(
        [&] { return IsIconic(helperWindow) == 0 && GetForegroundWindow() == helperWindow; }));
}

TEST_F(WindowCommandE2e, TopCaptionWithAnUnknownTitleChangesNothing) {
    e2e::TestWindow window({.title = "wait top unknown"});
    ASSERT_TRUE(window.activate());
    for (const char* line : {"Top Caption no window has this title",
                             "Top Caption wait top unknown\r", "Top Class E2eTestWindow\r"}) {
        EXPECT_FALSE(executeLine(line)) << line;
        Sleep(100);
        EXPECT_EQ(GetForegroundWindow(), window.handle()) << line;
    }
}

TEST_F(WindowCommandE2e, WindowLeftTopMovesTheForegroundWindowToTheCorner) {
    e2e::TestWindow window(
        {.title = "wait left top", .x = 100, .y = 100, .width = 800, .height = 600});
    ASSERT_TRUE(window.activate());
    RECT rect{};
    GetWindowRect(window.handle(), &rect);
    ASSERT_EQ(rect.left, 100);
    ASSERT_EQ(rect.top, 100);

    EXPECT_FALSE(executeLine("WindowLeftTop "));
    GetWindowRect(window.handle(), &rect);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, 800);
    EXPECT_EQ(rect.bottom, 600);
    EXPECT_TRUE(IsWindowVisible(window.handle()));
}

} // namespace
