// Click ButtonText, Wait ButtonText and Wait ButtonEnable on a button of the
// foreground window whose text and enabled state change on a timer.

#include "helpers/wait_support.h"
#include "support/e2e.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace waits;
using ControlWaitE2e = WaitE2e;

constexpr int ButtonId = 1001;

class ButtonWindow : public ControlWaitE2e {
  protected:
    void SetUp() override {
        ControlWaitE2e::SetUp();
        window.addControl("button", ButtonId, "Please wait", true);
        ASSERT_TRUE(window.activate());
    }
    e2e::TestWindow window{{.title = "wait button"}};
};

TEST_F(ButtonWindow, ClickButtonTextClicksOnceTheTextAppears) {
    Stopwatch clock;
    {
        Later change(400, [&] { window.setControlText(ButtonId, "Next >"); });
        EXPECT_FALSE(executeLine("Click ButtonText 1001 Next >"));
        // The click happens only after the text changed.
        EXPECT_GE(clock.elapsedMs(), 350u);
    }
    EXPECT_TRUE(eventually([&] { return buttonClicks(window, ButtonId) == 1; }));
}

TEST_F(ButtonWindow, ClickButtonTextWithOnlyANumberClicksAtOnce) {
    Stopwatch clock;
    EXPECT_FALSE(executeLine("BTX 1001"));
    EXPECT_LT(clock.elapsedMs(), 1000u);
    EXPECT_TRUE(eventually([&] { return buttonClicks(window, ButtonId) == 1; }));
}

TEST_F(ButtonWindow, WaitButtonTextDoesNotClick) {
    Stopwatch clock;
    {
        Later change(400, [&] { window.setControlText(ButtonId, "Finish"); });
        EXPECT_FALSE(executeLine("Wait ButtonText 1001 Finish"));
    }
    EXPECT_GE(clock.elapsedMs(), 350u);
    Sleep(200);
    EXPECT_EQ(buttonClicks(window, ButtonId), 0u);
}

TEST_F(ButtonWindow, WaitButtonEnableWaitsForTheControlToBeEnabled) {
    window.enableControl(ButtonId, false);
    Stopwatch clock;
    {
        Later enable(500, [&] { window.enableControl(ButtonId, true); });
        EXPECT_FALSE(executeLine("Wait ButtonEnable 1001"));
    }
    EXPECT_GE(clock.elapsedMs(), 450u);

    // Already enabled: one sleep of 20 ms.
    clock = Stopwatch();
    EXPECT_FALSE(executeLine("WBE 1001 any text"));
    EXPECT_GE(clock.elapsedMs(), 15u);
    EXPECT_LT(clock.elapsedMs(), 1000u);
}

} // namespace
