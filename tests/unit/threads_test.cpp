// The monitor thread and the executor on two real threads, as in a run: the
// monitor on a std::thread, the passes on the test thread through the pause
// gate, tray updates from both. Built with ThreadSanitizer (preset tsan) these
// tests check that the two threads share nothing unguarded.
//
// Both threads move the fake's one virtual clock, and how far the other thread
// moves it between two tests of the monitor depends on scheduling. So no press
// here is a fixed time window the monitor could miss: a press goes on until
// the monitor has queried the key while down (and 20 ms longer), and each
// press is made only once the run has reached the state the test wants, seen
// from the log. Every wait is bounded by the fake's time limit.

#include "keys/key_combo.h"
#include "platform/fake/fake.h"
#include "runner/executor.h"
#include "runner/monitor.h"
#include "runner/run_state.h"
#include "runner/tray_icon.h"
#include "script/parser.h"
#include "script/script.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr std::uint8_t Esc = 0x1B;
constexpr std::uint8_t F9 = 0x78;
constexpr fake::Time PressTail = 20;

enum class MonitorOutcome { Running, ProcessEnded, TimeLimit };

// Thrown into the executor's thread at its next sleep once the monitor thread
// has ended the process: in a real run that thread would be gone.
struct ProcessGone {};

// The log lines added since the last call (called under the fake's lock).
class LogCursor {
  public:
    template <typename Visit> void visitNew(Visit visit) {
        const std::vector<fake::Call>& calls = fake::calls();
        for (; next < calls.size(); ++next) {
            visit(calls[next]);
        }
    }

  private:
    std::size_t next = 0;
};

// A key press that lasts until the key was queried while down, then PressTail
// more milliseconds: down for every query from its start until one has seen it.
// It counts as released once a query has found it up again.
class Press {
  public:
    explicit Press(std::uint8_t key) : query("held? " + hexByte(key)), key(key) {}

    void start() {
        active = true;
        extend();
    }
    // Per log line since the last step, then once per step.
    void see(const fake::Call& call) {
        if (!active || call.text != query) {
            return;
        }
        if (!seen) {
            seen = true;
        } else if (call.time >= downUntil) {
            released = true;
        }
    }
    void step() {
        if (active && !seen) {
            extend();
        }
    }
    bool wasSeen() const { return seen; }
    bool wasReleased() const { return released; }

  private:
    static std::string hexByte(std::uint8_t value) {
        const char digits[] = "0123456789ABCDEF";
        return {digits[value >> 4], digits[value & 0xF]};
    }
    void extend() {
        downUntil = fake::now() + PressTail;
        fake::holdKey(key, fake::now(), downUntil);
    }

    std::string query;
    std::uint8_t key;
    bool active = false;
    bool seen = false;
    bool released = false;
    fake::Time downUntil = 0;
};

class TwoThreads : public ::testing::Test {
  protected:
    void SetUp() override {
        fake::reset();
        resetRunState();
        // Generous bounds: one thread can run far ahead on the shared clock
        // while the other waits for the fake's lock.
        fake::setTimeLimit(100'000'000, 5'000'000);
    }

    void TearDown() override {
        if (monitor.joinable()) {
            monitor.join();
        }
    }

    // Splits and compiles the script on this thread: the settings are in
    // place before the monitor starts, as in a run.
    void compile(const std::string& text) {
        script.splitLines(text.c_str());
        script.compile();
    }

    // What the run driver does after the compile pass: the monitor thread,
    // then the owner window (written while the monitor already runs) and the
    // icon.
    void startMonitorAndTray() {
        monitor = std::thread([this] {
            try {
                MonitorThread();
            } catch (const fake::ProcessEnded&) {
                outcome = MonitorOutcome::ProcessEnded;
            } catch (const fake::TimeLimitReached&) {
                outcome = MonitorOutcome::TimeLimit;
            }
        });
        platform::WindowHandle window =
            platform::createWindow("button", "VELMO-TEK", platform::OverlappedWindowStyle,
                                   platform::DefaultPosition, 0, 300, 100);
        runState.hiddenWindow.store(window);
        TrayIcon::update(TrayMode::Add);
    }

    // The passes over the body, as the driver runs them, until a command
    // returns the stop flag (then the icon is removed: true) or the monitor
    // thread has ended the process (false). The time limit ends it otherwise.
    bool runPasses() {
        try {
            while (outcome == MonitorOutcome::Running) {
                for (std::int32_t i = 1; i < script.lineCount - 1; ++i) {
                    if (outcome != MonitorOutcome::Running) {
                        break; // the process has ended: this thread would be gone
                    }
                    std::this_thread::yield(); // let the monitor at the fake's lock
                    Command& command = script.commands[i];
                    if (isActionCommand(command) && script.execute(command)) {
                        TrayIcon::update(TrayMode::Remove);
                        return true;
                    }
                }
            }
        } catch (const ProcessGone&) {
        } catch (const fake::TimeLimitReached&) {
            ADD_FAILURE() << "the executor ran into the time limit at " << fake::now();
        }
        return false;
    }

    // Runs `step` after every sleep that moves the clock, on whichever thread
    // sleeps: the clock moves only there, so `step` sees each new virtual time
    // before any key is queried at it. The fake's lock is held meanwhile.
    void afterEverySleep(std::function<void()> step) {
        auto shared = std::make_shared<std::function<void()>>(std::move(step));
        scheduleStep(shared);
    }

    void joinMonitor() {
        monitor.join();
        if (outcome != MonitorOutcome::ProcessEnded) {
            std::string tail;
            const auto& calls = fake::calls();
            for (std::size_t i = calls.size() > 300 ? calls.size() - 300 : 0; i < calls.size();
                 ++i) {
                tail += std::to_string(calls[i].time) + " " + calls[i].text + "\n";
            }
            FAIL() << "monitor did not end the process; last calls:\n" << tail;
        }
    }

    // The index in the log of the first call equal to `text` after `from`.
    static std::size_t findCall(const std::vector<std::string>& calls, const std::string& text,
                                std::size_t from = 0) {
        for (std::size_t i = from; i < calls.size(); ++i) {
            if (calls[i] == text) {
                return i;
            }
        }
        return calls.size();
    }

    static std::size_t countBetween(const std::vector<std::string>& calls, const std::string& text,
                                    std::size_t from, std::size_t to) {
        std::size_t count = 0;
        for (std::size_t i = from; i < to && i < calls.size(); ++i) {
            count += calls[i] == text ? 1 : 0;
        }
        return count;
    }

    static std::vector<std::uint32_t> notifyMessages() {
        std::vector<std::uint32_t> messages;
        for (const fake::NotifyCall& call : fake::notifyCalls()) {
            messages.push_back(call.message);
        }
        return messages;
    }

    void scheduleStep(std::shared_ptr<std::function<void()>> step) {
        fake::atTime(fake::now() + 1, [this, step] {
            if (outcome != MonitorOutcome::Running) {
                throw ProcessGone{}; // only the executor's thread still sleeps
            }
            (*step)();
            scheduleStep(step);
        });
    }

    Script script;
    std::thread monitor;
    std::atomic<MonitorOutcome> outcome{MonitorOutcome::Running};
};

TEST_F(TwoThreads, PauseKeyHoldsTheExecutorAtTheNextCommandUntilPressedAgain) {
    compile("Start No Box\nPauseKey f9\nShowTaryIcon\nLClick\nDelay 10\nLoop\nEnd\n");
    ASSERT_STREQ(runState.pauseKey.c_str(), "F9");

    // The first press once three clicks were made; the second once the
    // executor has polled the gate three times; the break key once three
    // clicks followed the resumption.
    enum class Phase { BeforePause, Pausing, Paused, Resuming, Running, Breaking };
    auto phase = std::make_shared<Phase>(Phase::BeforePause);
    auto pause = std::make_shared<Press>(F9);
    auto resume = std::make_shared<Press>(F9);
    auto log = std::make_shared<LogCursor>();
    auto counted = std::make_shared<std::size_t>(0);
    afterEverySleep([=] {
        log->visitNew([&](const fake::Call& call) {
            pause->see(call);
            resume->see(call);
            const bool running = *phase == Phase::BeforePause || *phase == Phase::Running;
            if ((*phase == Phase::Paused && call.text == "sleep 100") ||
                (running && call.text == "mouse 0006 0 0")) {
                ++*counted;
            }
        });
        pause->step();
        resume->step();
        const bool paused = runState.paused.load() != 0;
        switch (*phase) {
        case Phase::BeforePause:
            if (*counted >= 3) {
                pause->start();
                *phase = Phase::Pausing;
            }
            break;
        case Phase::Pausing:
            if (paused) {
                *counted = 0;
                *phase = Phase::Paused;
            }
            break;
        case Phase::Paused:
            // The monitor must be back in its cycle first: a press during its
            // wait for the release would only prolong the first one.
            if (*counted >= 3 && pause->wasReleased()) {
                resume->start();
                *phase = Phase::Resuming;
            }
            break;
        case Phase::Resuming:
            if (!paused) {
                *counted = 0;
                *phase = Phase::Running;
            }
            break;
        case Phase::Running:
            if (*counted >= 3) {
                fake::holdKey(Esc, fake::now());
                *phase = Phase::Breaking;
            }
            break;
        case Phase::Breaking:
            break;
        }
    });

    startMonitorAndTray();
    EXPECT_FALSE(runPasses());
    joinMonitor();

    EXPECT_TRUE(pause->wasSeen());
    EXPECT_TRUE(resume->wasSeen());
    EXPECT_EQ(runState.paused.load(), 0);
    // Add from this thread; paused, running and removal from the monitor.
    EXPECT_EQ(notifyMessages(),
              (std::vector<std::uint32_t>{platform::NotifyAdd, platform::NotifyModify,
                                          platform::NotifyModify, platform::NotifyDelete}));
    EXPECT_EQ(fake::liveIcons(), 0u);

    const std::vector<std::string> calls = fake::callTexts();
    const std::size_t pausedAt = findCall(calls, "icon shell32.dll 109");
    const std::size_t resumedAt = findCall(calls, "icon shell32.dll 137", pausedAt);
    // The icon changes before the flag: the pause is in force at the first
    // poll of the gate.
    const std::size_t gateAt = findCall(calls, "sleep 100", pausedAt);
    const std::size_t endedAt = findCall(calls, "end");
    ASSERT_LT(pausedAt, resumedAt);
    ASSERT_LT(resumedAt, endedAt);
    EXPECT_EQ(countBetween(calls, "end", 0, calls.size()), 1u);
    EXPECT_GT(countBetween(calls, "mouse 0006 0 0", 0, pausedAt), 0u);
    ASSERT_LT(gateAt, resumedAt);
    // Once the executor waits at the gate, no command runs until the second press.
    EXPECT_EQ(countBetween(calls, "mouse 0006 0 0", gateAt, resumedAt), 0u);
    EXPECT_GE(countBetween(calls, "sleep 100", gateAt, resumedAt), 3u);
    EXPECT_GE(countBetween(calls, "mouse 0006 0 0", resumedAt, endedAt), 3u);
}

TEST_F(TwoThreads, BreakKeyEndsAColourWaitAndTheMonitorAlike) {
    compile("SNB\nShowTaryIcon\nWaitColor 5 5 FFFFFF\nEND\n");
    fake::holdKey(Esc, 500); // and for good: both threads must see it

    startMonitorAndTray();
    // The wait runs to its end whether the monitor has ended the process yet
    // or not, and returns the stop flag; the run then removes the icon.
    const bool stop = script.execute(script.commands[2]);
    EXPECT_TRUE(stop);
    if (stop) {
        TrayIcon::update(TrayMode::Remove);
    }
    joinMonitor();

    // One icon added; removed by the run's end and by the monitor, in either
    // order, possibly at once.
    std::vector<std::uint32_t> messages = notifyMessages();
    EXPECT_EQ(std::count(messages.begin(), messages.end(), platform::NotifyAdd), 1);
    EXPECT_EQ(std::count(messages.begin(), messages.end(), platform::NotifyDelete), 2);
    EXPECT_EQ(messages.size(), 3u);
    EXPECT_EQ(fake::liveIcons(), 0u);
    EXPECT_EQ(fake::countCalls("end"), 1u);
    EXPECT_GE(fake::now(), 500u);
    // The wait compared the pixel at least once per poll before the key came.
    EXPECT_GE(fake::countCalls("pixel 5 5"), 1u);
}

TEST_F(TwoThreads, OneKeyAsBreakAndPauseKeyEndsAColourWaitButOnlyPausesTheMonitor) {
    compile("SNB\nBreak Key F9\nPauseKey f9\nShowTaryIcon\nWaitColor 5 5 FFFFFF\nEND\n");
    // Pressed for good once the monitor is in its cycle (held before its first
    // test, the key would end the process at once) and the wait polls (a
    // pause seen before the wait began would hold it at the gate).
    auto pressed = std::make_shared<bool>(false);
    afterEverySleep([=] {
        if (!*pressed && fake::countCalls("sleep 50") > 0 && fake::countCalls("pixel 5 5") > 0) {
            fake::holdKey(F9, fake::now());
            *pressed = true;
        }
    });

    startMonitorAndTray();
    const bool stop = script.execute(script.commands[4]);
    EXPECT_TRUE(stop);
    if (stop) {
        TrayIcon::update(TrayMode::Remove);
    }
    // The monitor waits for the key's release from now on: let it run into
    // the time limit instead.
    fake::setTimeLimit(fake::now() + 500, 5'000'000);
    monitor.join();

    EXPECT_EQ(outcome.load(), MonitorOutcome::TimeLimit);
    EXPECT_EQ(fake::countCalls("end"), 0u);
    EXPECT_EQ(runState.paused.load(), 1);
    std::vector<std::uint32_t> messages = notifyMessages();
    EXPECT_EQ(std::count(messages.begin(), messages.end(), platform::NotifyAdd), 1);
    EXPECT_EQ(std::count(messages.begin(), messages.end(), platform::NotifyModify), 1);
    EXPECT_EQ(std::count(messages.begin(), messages.end(), platform::NotifyDelete), 1);
}

TEST_F(TwoThreads, BreakKeyWhilePausedEndsTheRunWithTheExecutorStillAtTheGate) {
    compile("SNB\nPauseKey F9\nBreak Key ctrl+q\nLClick\nLoop\nEND\n");
    ASSERT_STREQ(runState.breakKey.c_str(), "CTRL+Q");

    auto pause = std::make_shared<Press>(F9);
    auto log = std::make_shared<LogCursor>();
    auto clicks = std::make_shared<int>(0);
    auto gatePolls = std::make_shared<int>(0);
    auto pausedAt = std::make_shared<std::size_t>(0); // log size when the pause was seen
    auto broke = std::make_shared<bool>(false);
    afterEverySleep([=] {
        const bool paused = runState.paused.load() != 0;
        log->visitNew([&](const fake::Call& call) {
            pause->see(call);
            *clicks += call.text == "mouse 0006 0 0" ? 1 : 0;
            *gatePolls += paused && call.text == "sleep 100" ? 1 : 0;
        });
        pause->step();
        if (*clicks >= 2 && !pause->wasSeen()) {
            pause->start();
        }
        if (paused && *pausedAt == 0) {
            *pausedAt = fake::calls().size();
        }
        if (*gatePolls >= 5 && !*broke) {
            fake::holdKey(0x11, fake::now()); // CTRL
            fake::holdKey('Q', fake::now());
            *broke = true;
        }
    });

    startMonitorAndTray();
    EXPECT_FALSE(runPasses());
    joinMonitor();

    EXPECT_TRUE(*broke);
    EXPECT_EQ(runState.paused.load(), 1); // pausing does not stop the watch
    EXPECT_EQ(fake::countCalls("end"), 1u);
    EXPECT_TRUE(notifyMessages().empty()); // no ShowTaryIcon: no tray call at all
    // No click after the pause took effect, but for one already past the gate.
    ASSERT_GT(*pausedAt, 0u);
    EXPECT_LE(countBetween(fake::callTexts(), "mouse 0006 0 0", *pausedAt, fake::calls().size()),
              1u);
}

} // namespace
