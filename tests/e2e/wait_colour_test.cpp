// WaitColor and WaitNotColor on the real screen: a region that turns red, a red
// region that goes away, the break key, and the GDI objects of a long wait.

#include "helpers/wait_support.h"
#include "runner/executor.h"
#include "support/e2e.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using namespace waits;
using WaitColourE2e = WaitE2e;

constexpr COLORREF Blue = RGB(0x00, 0x00, 0xFF);
constexpr COLORREF Red = RGB(0xFF, 0x00, 0x00);

e2e::TestWindowOptions area(const char* title, COLORREF colour) {
    return {.title = title, .x = 300, .y = 300, .width = 400, .height = 300, .background = colour};
}

// A blue window in front, and the screen point in the middle of its client area.
class ColourArea {
  public:
    ColourArea() : window(area("colour area", Blue)) {
        EXPECT_TRUE(window.activate());
        centre = screenPoint(window.handle(), 200, 150);
        EXPECT_TRUE(showsColour("0000FF"));
    }
    bool showsColour(const char* text) {
        return eventually([&] { return std::string(colourText()) == text; });
    }
    std::string colourText() { return screenColourText(centre.x, centre.y).text; }
    std::string line(const char* command, const char* colour) {
        return std::string(command) + " " + std::to_string(centre.x) + " " +
               std::to_string(centre.y) + " " + colour;
    }

    e2e::TestWindow window;
    POINT centre{};
};

TEST_F(WaitColourE2e, WaitColorReturnsWhenTheRegionTurnsRed) {
    ColourArea blue;
    std::unique_ptr<e2e::TestWindow> red;
    Stopwatch clock;
    {
        Later cover(500, [&] { red = std::make_unique<e2e::TestWindow>(area("red", Red)); });
        // ESC at the server would end the wait with true: the watchdog.
        Later watchdog(10000, [] { e2e::tapAtServer("Escape"); });
        EXPECT_FALSE(executeLine(blue.line("WaitColor", "FF0000")));
    }
    EXPECT_GE(clock.elapsedMs(), 450u);
    EXPECT_EQ(blue.colourText(), "FF0000");
}

TEST_F(WaitColourE2e, WaitNotColorReturnsWhenTheRedRegionGoesAway) {
    ColourArea blue;
    auto red = std::make_unique<e2e::TestWindow>(area("red", Red));
    ASSERT_TRUE(red->activate());
    ASSERT_TRUE(blue.showsColour("FF0000"));

    Stopwatch clock;
    {
        Later uncover(500, [&] { red.reset(); });
        Later watchdog(10000, [] { e2e::tapAtServer("Escape"); });
        EXPECT_FALSE(executeLine(blue.line("WNC", "FF0000")));
    }
    EXPECT_GE(clock.elapsedMs(), 450u);
    EXPECT_EQ(blue.colourText(), "0000FF");
}

TEST_F(WaitColourE2e, LowerCaseDigitsNeverMatchAndTheBreakKeyEndsTheWait) {
    ColourArea blue;
    Stopwatch clock;
    bool stop = false;
    {
        Later press(600, [] { e2e::keyDownAtServer("Escape"); });
        stop = executeLine(blue.line("WaitColor", "0000ff"));
    }
    e2e::keyUpAtServer("Escape");
    EXPECT_TRUE(stop);
    EXPECT_GE(clock.elapsedMs(), 550u);
}

TEST_F(WaitColourE2e, PointOffTheScreenReadsAsSixFs) {
    EXPECT_EQ(std::string(screenColourText(-1, -1).text), "FFFFFF");
    EXPECT_EQ(std::string(screenColourText(1920, 1080).text), "FFFFFF");
    Stopwatch clock;
    EXPECT_FALSE(executeLine("WaitColor 5000 5000 FFFFFF"));
    EXPECT_LT(clock.elapsedMs(), 1000u);
}

// The screen context a read takes next: a wait that keeps the contexts it takes
// leaves the system's cached one in use, and a different one comes next.
HDC nextScreenContext() {
    HDC context = GetDC(nullptr);
    ReleaseDC(nullptr, context);
    return context;
}

TEST_F(WaitColourE2e, LongWaitGivesBackItsScreenContexts) {
    ColourArea blue;
    const DWORD objectsBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    const HDC contextBefore = nextScreenContext();
    bool stop = false;
    {
        // Some hundred reads of the screen, then the break key ends the wait.
        Later press(3000, [] { e2e::keyDownAtServer("Escape"); });
        stop = executeLine(blue.line("WaitColor", "123456"));
    }
    e2e::keyUpAtServer("Escape");
    EXPECT_TRUE(stop);
    // The guard that works under Wine: a wait that kept its contexts would leave
    // the cached one in use, and the next read would get another.
    EXPECT_EQ(nextScreenContext(), contextBefore);
    // Where the system counts GDI objects, the count is unchanged. Wine reports
    // 0 for the test process before and after, so under Wine this check cannot
    // fail; only the context check above can.
    const DWORD objectsAfter = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    EXPECT_EQ(objectsAfter, objectsBefore);
}

} // namespace
