// Click ButtonText, Wait ButtonText and Wait ButtonEnable on the controls of the
// foreground window.

#include "wait_test_support.h"

#include <stop_token>
#include <string>
#include <thread>
#include <vector>

namespace {

using ControlWait = WaitTest;

class ControlWaitWindow : public WaitTest {
  protected:
    void SetUp() override {
        WaitTest::SetUp();
        dialog = fake::addWindow("#32770", "Setup"); // handle 100
        fake::setForeground(dialog);
    }
    platform::WindowHandle dialog = 0;
};

TEST_F(ControlWaitWindow, ClickWithOnlyANumberClicksAtOnce) {
    fake::addControl(dialog, 1001, "Next >"); // handle 101
    EXPECT_FALSE(execute("Click ButtonText 1001"));
    EXPECT_EQ(timeline(),
              (std::vector<std::string>{"0: foreground?", "0: item? 100 1001", "0: text? 101",
                                        "0: send 100 1001 0201", "0: send 100 1001 0202"}));
}

TEST_F(ControlWaitWindow, TextMatchDecidesTheEnd) {
    struct Case {
        const char* line;
        bool click;
        bool endsAtOnce;
    };
    const Case cases[] = {
        {"Click ButtonText 1001 Save as", true, true}, // the text after the first space
        {"BTX 1001 Save as", true, true},
        {"Wait ButtonText 1001 Save as", false, true},
        {"Wait ButtonText 1001", false, true},
        {"Wait ButtonText 1001 save as", false, false}, // exact bytes
        {"Click ButtonText 1001 Save as\r", true, false},
        {"Click ButtonText 1001 Save", true, false},
        {"Click ButtonText 1002 Save as", true, false}, // no such control: empty text
        {"Click ButtonText 1002 ", true, true},         // ... which equals an empty text
    };
    for (const Case& c : cases) {
        SetUp();
        fake::addControl(dialog, 1001, "Save as");
        load(c.line);
        if (c.endsAtOnce) {
            EXPECT_FALSE(run()) << c.line;
            EXPECT_EQ(fake::countCalls("foreground?"), 1u) << c.line;
            EXPECT_EQ(fake::countCalls("send"), c.click ? 2u : 0u) << c.line;
        } else {
            EXPECT_TRUE(runsForever()) << c.line;
            EXPECT_EQ(fake::countCalls("send"), 0u) << c.line;
        }
        // These waits poll without any pause.
        EXPECT_EQ(fake::countCalls("sleep"), 0u) << c.line;
    }
}

TEST_F(ControlWaitWindow, ControlTextIsReadInto256Bytes) {
    std::string text(300, 'b');
    fake::addControl(dialog, 7, text);
    load("Wait ButtonText 7 " + text);
    EXPECT_TRUE(runsForever());
    EXPECT_FALSE(execute("Wait ButtonText 7 " + text.substr(0, 255)));
}

TEST_F(ControlWaitWindow, ClickGoesToTheWindowInFrontWhenTheTextMatches) {
    fake::addControl(dialog, 12, "Wait");            // 101
    auto other = fake::addWindow("#32770", "Other"); // 102
    fake::addControl(other, 12, "OK");               // 103
    load("Click ButtonText 12abc OK");               // the id is only the leading number
    // The wait never sleeps, so the virtual clock cannot change the foreground
    // during it. A second thread does, as a user would: it brings the other
    // window to the front once the wait has read the dialog's control.
    std::jthread user([other](std::stop_token stop) {
        while (!stop.stop_requested() && fake::countCalls("text? 101") == 0) {
            std::this_thread::yield();
        }
        fake::setForeground(other);
    });
    EXPECT_FALSE(runsForever(2'000, 1'000'000));
    user.request_stop();
    user.join();
    EXPECT_EQ(fake::callTexts({"send"}),
              (std::vector<std::string>{"send 102 12 0201", "send 102 12 0202"}));
}

TEST_F(ControlWaitWindow, EnableSleepsTwentyMsBeforeEachTest) {
    auto control = fake::addControl(dialog, 5, "Install", false);
    fake::setControlEnabled(control, true, 50);
    EXPECT_FALSE(execute("Wait ButtonEnable 5 Install"));

    std::vector<std::string> expected;
    for (int time : {0, 20, 40}) {
        expected.push_back(std::to_string(time) + ": foreground?");
        expected.push_back(std::to_string(time) + ": sleep 20");
        expected.push_back(std::to_string(time + 20) + ": item? 100 5");
        expected.push_back(std::to_string(time + 20) + ": enabled? 101");
    }
    EXPECT_EQ(timeline(), expected);
}

TEST_F(ControlWaitWindow, EnabledControlTakesOneSleep) {
    fake::addControl(dialog, 5, "Install");
    EXPECT_FALSE(execute("WBE 5"));
    EXPECT_EQ(fake::callTexts({"sleep"}), (std::vector<std::string>{"sleep 20"}));
    EXPECT_EQ(fake::now(), 20u);
}

TEST_F(ControlWaitWindow, EnableUsesTheWindowReadBeforeTheSleep) {
    auto other = fake::addWindow("#32770", "Other"); // 101
    fake::addControl(other, 5, "Go");                // 102
    fake::setForeground(other, 30);
    EXPECT_FALSE(execute("Wait ButtonEnable 5"));
    // Read at 0 and 20: the dialog without the control; read at 40: the other one.
    EXPECT_EQ(fake::now(), 60u);
    EXPECT_EQ(fake::callTexts({"item?"}),
              (std::vector<std::string>{"item? 100 5", "item? 100 5", "item? 101 5"}));
}

TEST_F(ControlWait, MissingControlKeepsEnableWaiting) {
    fake::setForeground(fake::addWindow("#32770", "Setup"));
    load("Wait ButtonEnable 5");
    EXPECT_TRUE(runsForever());
    EXPECT_EQ(fake::countCalls("sleep 20"), 101u); // the last one runs into the limit
    EXPECT_EQ(fake::countCalls("enabled?"), 0u);
}

} // namespace
