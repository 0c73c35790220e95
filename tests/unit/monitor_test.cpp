// The monitor thread under the virtual clock, and the tray icon record.

#include "platform/fake/fake.h"
#include "runner/monitor.h"
#include "runner/run_state.h"
#include "runner/tray_icon.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr std::uint8_t Esc = 0x1B;
constexpr std::uint8_t F9 = 0x78;

class Monitor : public ::testing::Test {
  protected:
    void SetUp() override {
        fake::reset();
        resetRunState();
    }

    // Runs the thread procedure on this thread until it ends the process;
    // returns the virtual time at which it did.
    fake::Time runUntilEnd() {
        EXPECT_THROW(MonitorThread(), fake::ProcessEnded);
        return fake::now();
    }

    // The values of `paused` the thread wrote, read from the tray calls it made.
    std::vector<std::string> trayCalls() { return fake::callTexts({"icon", "notify"}); }
};

TEST_F(Monitor, BreakKeyHeldAtStartEndsAtOnce) {
    fake::holdKey(Esc);
    EXPECT_EQ(runUntilEnd(), 0u);
    std::vector<std::string> expected = {"held? 1B", "end"};
    EXPECT_EQ(fake::callTexts(), expected);
}

TEST_F(Monitor, CycleTestsPauseSleepsThenTestsBreak) {
    runState.pauseKey = ByteString("F9");
    fake::holdKey(Esc, 60);
    EXPECT_EQ(runUntilEnd(), 100u);
    std::vector<std::string> expected = {"held? 1B", "held? 78", "sleep 50", "held? 1B",
                                         "held? 78", "sleep 50", "held? 1B", "end"};
    EXPECT_EQ(fake::callTexts(), expected);
}

TEST_F(Monitor, OnePressTogglesOnceHoweverLongItIsHeld) {
    runState.pauseKey = ByteString("F9");
    runState.showTrayIcon = 1;
    runState.hiddenWindow.store(7);
    fake::holdKey(F9, 40, 3000);   // held for three seconds: one toggle
    fake::holdKey(F9, 3500, 3600); // a second press: back to running
    fake::holdKey(Esc, 5000);
    runUntilEnd();
    EXPECT_EQ(runState.paused.load(), 0);
    std::vector<std::string> expected = {"icon shell32.dll 109", "notify 1", "icon destroy",
                                         "icon shell32.dll 137", "notify 1", "icon destroy",
                                         "icon shell32.dll 137", "notify 2", "icon destroy"};
    EXPECT_EQ(fake::callTexts({"icon", "notify"}), expected);
    // The release is awaited in steps of 5 ms.
    EXPECT_GT(fake::countCalls("sleep 5"), 500u);
    EXPECT_EQ(fake::liveIcons(), 0u);
}

TEST_F(Monitor, PauseSetsTheFlagUntilTheNextPress) {
    runState.pauseKey = ByteString("F9");
    fake::holdKey(F9, 40, 60);
    fake::holdKey(Esc, 1000);
    runUntilEnd();
    EXPECT_EQ(runState.paused.load(), 1); // break while paused still ends the process
    EXPECT_EQ(fake::countCalls("end"), 1u);
}

TEST_F(Monitor, SameKeyForBreakAndPauseHeldAtStartEndsAtOnce) {
    runState.breakKey = ByteString("F9");
    runState.pauseKey = ByteString("F9");
    fake::holdKey(F9);
    EXPECT_EQ(runUntilEnd(), 0u);
    EXPECT_EQ(runState.paused.load(), 0);
}

// One key as both break and pause key only toggles the pause, wherever in the
// 50 ms cycle a press begins and however long it lasts. The pause key is
// tested at every multiple of 50 ms while no press is awaited, so a press is
// seen when it covers one of those times. A second, longer press later puts
// the run back.
TEST_F(Monitor, SameKeyForBreakAndPauseOnlyTogglesAtEveryPhaseOfTheCycle) {
    const fake::Time durations[] = {1, 20, 49, 50, 51, 400, 3000};
    for (fake::Time phase = 0; phase < 100; ++phase) {
        for (fake::Time duration : durations) {
            SCOPED_TRACE("press at 100 + " + std::to_string(phase) + " for " +
                         std::to_string(duration) + " ms");
            fake::reset();
            resetRunState();
            runState.breakKey = ByteString("F9");
            runState.pauseKey = ByteString("F9");
            runState.showTrayIcon = 1;
            runState.hiddenWindow.store(7);
            const fake::Time start = 100 + phase;
            fake::holdKey(F9, start, start + duration);
            fake::holdKey(F9, 4000 + phase, 4060 + phase);
            fake::setTimeLimit(5000);
            EXPECT_THROW(MonitorThread(), fake::TimeLimitReached);

            const bool firstSeen = (start + duration - 1) / 50 * 50 >= start;
            EXPECT_EQ(fake::countCalls("notify 1"), firstSeen ? 2u : 1u);
            EXPECT_EQ(runState.paused.load(), firstSeen ? 0 : 1);
            EXPECT_EQ(fake::countCalls("notify 2"), 0u); // never removed
            EXPECT_EQ(fake::countCalls("end"), 0u);
            if (HasFailure()) {
                return;
            }
        }
    }
}

TEST_F(Monitor, BreakAndPauseKeyNamingOneComboByNameAndNumberAreOneKey) {
    runState.pauseKey = ByteString("27"); // ESC by number; the break key is ESC
    fake::holdKey(Esc, 40, 200);
    fake::setTimeLimit(1000);
    EXPECT_THROW(MonitorThread(), fake::TimeLimitReached);
    EXPECT_EQ(runState.paused.load(), 1);
    EXPECT_EQ(fake::countCalls("end"), 0u);
}

TEST_F(Monitor, NoTrayCallsWithoutTheIconSetting) {
    runState.pauseKey = ByteString("F9");
    fake::holdKey(F9, 40, 60);
    fake::holdKey(Esc, 500);
    runUntilEnd();
    EXPECT_EQ(runState.paused.load(), 1);
    EXPECT_TRUE(trayCalls().empty());
}

TEST_F(Monitor, EmptyPauseKeyIsNeverHeld) {
    fake::holdKey(0x00); // even a "down" code 0 does not make the empty text a key
    fake::holdKey(Esc, 300);
    runUntilEnd();
    EXPECT_EQ(runState.paused.load(), 0);
}

TEST(TrayRecord, IsFilledByteForByte) {
    platform::NotifyIconRecord record = TrayIcon::record(0x1234, 0x5678);
    platform::NotifyIconRecord expected;
    std::memset(&expected, 0, sizeof expected);
    expected.cbSize = sizeof expected;
    expected.hWnd = 0x1234;
    expected.uFlags = 7;
    expected.uCallbackMessage = 2025;
    expected.hIcon = 0x5678;
    const unsigned char tip[] = {0xBD, 0xC5, 0xB1, 0xBE, 0xD6, 0xB4, 0xD0, 0xD0, 0xC6, 0xF7};
    std::memcpy(expected.szTip, tip, sizeof tip);
    EXPECT_EQ(std::memcmp(&record, &expected, sizeof record), 0);
    // The first version of the record: 88 bytes with 32-bit pointers, 104 with 64-bit.
    EXPECT_EQ(sizeof record, sizeof(void*) == 8 ? 104u : 88u);
    EXPECT_EQ(record.szTip[10], '\0');
}

TEST(TrayRecord, EachModeUsesItsMessageAndPicture) {
    struct Case {
        TrayMode mode;
        std::string icon;
        std::uint32_t message;
    };
    const Case cases[] = {{TrayMode::Add, "icon shell32.dll 137", 0},
                          {TrayMode::ShowPaused, "icon shell32.dll 109", 1},
                          {TrayMode::ShowRunning, "icon shell32.dll 137", 1},
                          {TrayMode::Remove, "icon shell32.dll 137", 2}};
    for (const Case& c : cases) {
        fake::reset();
        resetRunState();
        runState.showTrayIcon = 1;
        runState.hiddenWindow.store(42);
        TrayIcon::update(c.mode);
        ASSERT_EQ(fake::notifyCalls().size(), 1u);
        EXPECT_EQ(fake::notifyCalls()[0].message, c.message);
        EXPECT_EQ(fake::notifyCalls()[0].record.hWnd, 42u);
        EXPECT_EQ(fake::callTexts({"icon"}).front(), c.icon);
        EXPECT_EQ(fake::liveIcons(), 0u);
    }
}

} // namespace
