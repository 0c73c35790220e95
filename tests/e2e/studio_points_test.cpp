// The script's points shown from the studio, driven as a user drives it: its
// key, the marks read off the screen, a click beside them and a drag made with
// SendInput, the editor's text read from outside, and the rewritten script
// then run from the studio against the same test window.

#include "helpers/desktop_input.h"
#include "helpers/studio_driver.h"
#include "helpers/wait_support.h"
#include "runner/pointer_scale.h"
#include "spy_screen.h"
#include "studio_ids.h"
#include "support/e2e.h"
#include "support/screen.h"

#include <gtest/gtest.h>
#include <windowsx.h>

#include <fstream>
#include <memory>
#include <string>

namespace {

using e2e::press;
using e2e::StudioUnderTest;
using waits::eventually;

constexpr COLORREF Background = RGB(40, 160, 90); // 28A05A as the waits read it
constexpr COLORREF Patch = RGB(200, 30, 30);      // C81E1E
constexpr COLORREF MoveToFrame = RGB(0, 90, 220);
constexpr COLORREF NotOver = RGB(220, 0, 0);

std::string writeScript(const std::string& name, const std::string& text) {
    const std::string path = e2e::workDirectory() + "\\" + name;
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    return path;
}

std::string moveToFor(POINT point) {
    std::int32_t x = -1;
    std::int32_t y = -1;
    EXPECT_TRUE(moveToCoordinate(point.x, GetSystemMetrics(SM_CXSCREEN), x));
    EXPECT_TRUE(moveToCoordinate(point.y, GetSystemMetrics(SM_CYSCREEN), y));
    return "MoveTo " + std::to_string(x) + " " + std::to_string(y);
}

using e2e::screenPixel;
using e2e::showsColour;

// The row beside and above a mark's pixel where its label, swatches and
// not-over cross stand (at 96 DPI).
RECT labelRow(POINT pixel) {
    return RECT{pixel.x, pixel.y - 45, pixel.x + 160, pixel.y - 8};
}

// The first button press the window saw, in its client coordinates.
bool firstPress(const e2e::TestWindow& window, POINT& at) {
    for (const e2e::ReceivedMessage& message : window.messages()) {
        if (message.message == WM_LBUTTONDOWN) {
            at = POINT{GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam)};
            return true;
        }
    }
    return false;
}

POINT clientOf(const e2e::TestWindow& window, POINT screen) {
    ScreenToClient(window.handle(), &screen);
    return screen;
}

bool layerShown() {
    return FindWindowW(L"ScriptPointsLayer", nullptr) != nullptr;
}

} // namespace

TEST(StudioPoints, MarksStandWhereThePlayerActsAndADraggedMarkRewritesItsLineToPlayThere) {
    e2e::TestWindow below({.title = "studio points below", .background = Background});
    // A red patch over the pixel of the WaitNotColor: that wait would not be
    // over while the patch is there.
    auto patch =
        std::make_unique<e2e::TestWindow>(e2e::TestWindowOptions{.title = "studio points patch",
                                                                 .x = 560,
                                                                 .y = 200,
                                                                 .width = 120,
                                                                 .height = 120,
                                                                 .background = Patch});
    RECT patchArea{};
    GetClientRect(patch->handle(), &patchArea);
    POINT colourNotOver{patchArea.right / 2, patchArea.bottom / 2};
    ClientToScreen(patch->handle(), &colourNotOver);
    ASSERT_TRUE(eventually([&] { return screenPixel(colourNotOver.x, colourNotOver.y) == Patch; }));

    const POINT move{400, 300};
    const POINT colourOver{500, 350};
    const std::string tail = "\nDelay 400\nLClick\nWaitColor 500 350 28A05A\nWaitNotColor " +
                             std::to_string(colourNotOver.x) + " " +
                             std::to_string(colourNotOver.y) + " C81E1E\nDelay 300\nEnd\n";
    const std::string script = "Start No Box\n" + moveToFor(move) + tail;
    StudioUnderTest studio("--lang en \"" + writeScript("studio_points.txt", script) + "\"");
    ASSERT_TRUE(studio.waitForWindow());
    ASSERT_TRUE(eventually([&] { return studio.editorText() == script; })) << studio.editorText();
    ASSERT_TRUE(studio.bringToFront());

    press('P', {VK_CONTROL, VK_SHIFT});
    ASSERT_TRUE(eventually([&] { return layerShown() && IsIconic(studio.window) != FALSE; }))
        << studio.state();
    EXPECT_EQ(studio.state(), "Showing the points (Esc or Ctrl+Shift+P ends)");

    // The MoveTo's mark frames the pixel the player lands on and leaves it uncovered.
    const int hole = MagnifiedPixels / 2 + 1;
    EXPECT_TRUE(eventually([&] { return screenPixel(move.x, move.y - hole - 1) == MoveToFrame; }));
    EXPECT_EQ(screenPixel(move.x - hole - 1, move.y), MoveToFrame);
    EXPECT_EQ(screenPixel(move.x, move.y), Background);
    // The wait that would not be over now is crossed out; the one that would is not.
    EXPECT_TRUE(showsColour(labelRow(colourNotOver), NotOver));
    EXPECT_FALSE(showsColour(labelRow(colourOver), NotOver));

    // A click beside the marks reaches the window below.
    below.clearMessages();
    const POINT beside{300, 450};
    e2e::movePointer(beside);
    Sleep(200);
    e2e::click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    POINT pressedAt{};
    ASSERT_TRUE(eventually([&] { return firstPress(below, pressedAt); }));
    EXPECT_EQ(pressedAt.x, clientOf(below, beside).x);
    EXPECT_EQ(pressedAt.y, clientOf(below, beside).y);

    // The window that came forward does not hide the marks.
    EXPECT_TRUE(eventually([&] { return screenPixel(move.x, move.y - hole - 1) == MoveToFrame; }));
    // The MoveTo's mark dragged onto another pixel: its line says that pixel.
    const POINT grab{move.x + hole + 1, move.y};
    const POINT target{523, 377};
    e2e::movePointer(grab);
    Sleep(200);
    e2e::button(MOUSEEVENTF_LEFTDOWN);
    Sleep(100);
    for (int step = 1; step <= 5; ++step) {
        e2e::movePointer(POINT{grab.x + (target.x - grab.x) * step / 5,
                               grab.y + (target.y - grab.y) * step / 5});
        Sleep(60);
    }
    // Held still over the target before letting go, as a hand does: under Wine
    // the pointer's position can trail the last move by a step.
    ASSERT_TRUE(eventually([&] {
        POINT now{};
        GetCursorPos(&now);
        return now.x == target.x && now.y == target.y;
    }));
    Sleep(200);
    e2e::button(MOUSEEVENTF_LEFTUP);
    const std::string moved = "Start No Box\n" + moveToFor(target) + tail;
    ASSERT_TRUE(eventually([&] { return studio.editorText() == moved; })) << studio.editorText();
    EXPECT_TRUE(studio.problems().empty());
    // The mark moved with its line.
    EXPECT_TRUE(
        eventually([&] { return screenPixel(target.x, target.y - hole - 1) == MoveToFrame; }));
    EXPECT_EQ(screenPixel(move.x, move.y - hole - 1), Background);

    // The same key ends it, and the studio comes back.
    press('P', {VK_CONTROL, VK_SHIFT});
    ASSERT_TRUE(eventually([&] { return !layerShown() && IsIconic(studio.window) == FALSE; }));
    EXPECT_EQ(studio.state(), "Points hidden, 1 lines moved");

    // Run: the click lands on the new pixel. The patch goes, so that the
    // WaitNotColor is over. A passing mouse hook is in place while the player
    // plays positions (see PassingMouseHook).
    patch.reset();
    below.clearMessages();
    {
        e2e::PassingMouseHook hook;
        ASSERT_TRUE(hook.installed());
        ASSERT_TRUE(studio.bringToFront());
        press(VK_F5);
        EXPECT_TRUE(eventually([&] { return IsIconic(studio.window) != FALSE; }));
        EXPECT_TRUE(below.activate());
        ASSERT_TRUE(eventually(
            [&] { return studio.state().find("exit code 0") != std::string::npos; }, 20000))
            << studio.state();
    }
    ASSERT_TRUE(firstPress(below, pressedAt))
        << ::testing::PrintToString(e2e::describe(below.messages()));
    EXPECT_EQ(pressedAt.x, clientOf(below, target).x);
    EXPECT_EQ(pressedAt.y, clientOf(below, target).y);

    // The drag was one edit: one undo brings the old line back.
    ASSERT_TRUE(studio.bringToFront());
    press('Z', {VK_CONTROL});
    EXPECT_TRUE(eventually([&] { return studio.editorText() == script; })) << studio.editorText();
}
