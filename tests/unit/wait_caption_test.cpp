// Wait Caption and Wait Key: the order of test and sleep, the intervals and the
// texts that never match.

#include "wait_test_support.h"

#include <string>
#include <vector>

namespace {

using WaitCaption = WaitTest;
using WaitKey = WaitTest;

TEST_F(WaitCaption, TestsBeforeEachSleepOfTenMs) {
    auto window = fake::addWindow("Notepad", "Untitled");
    fake::setForeground(window);
    fake::setWindowTitle(window, "report.txt - Notepad", 25);

    EXPECT_FALSE(execute("Wait Caption Notepad"));

    std::vector<std::string> expected;
    for (int time : {0, 10, 20}) {
        expected.push_back(std::to_string(time) + ": foreground?");
        expected.push_back(std::to_string(time) + ": text? 100");
        expected.push_back(std::to_string(time) + ": sleep 10");
    }
    expected.push_back("30: foreground?");
    expected.push_back("30: text? 100");
    EXPECT_EQ(timeline(), expected);
}

TEST_F(WaitCaption, MatchesWhatStrstrFinds) {
    struct Case {
        const char* caption;
        const char* line;
        bool found;
    };
    const Case cases[] = {
        {"report.txt - Notepad", "Wait Caption Notepad", true},
        {"report.txt - Notepad", "Wait Caption .txt - ", true}, // a middle part
        {"report.txt - Notepad", "WCP report.txt - Notepad", true},
        {"report.txt - Notepad", "Wait Caption notepad", false},   // case-sensitive
        {"report.txt - Notepad", "Wait Caption Notepad\r", false}, // CR LF script
        {"report.txt - Notepad", "Wait Caption Notepad!", false},
    };
    for (const Case& c : cases) {
        SetUp();
        fake::setForeground(fake::addWindow("Notepad", c.caption));
        load(c.line);
        if (c.found) {
            EXPECT_FALSE(run()) << c.line;
            EXPECT_EQ(fake::countCalls("sleep"), 0u) << c.line;
        } else {
            EXPECT_TRUE(runsForever()) << c.line;
            // 200 sleeps, and the one that runs into the limit.
            EXPECT_EQ(fake::countCalls("sleep 10"), 201u) << c.line;
        }
    }
}

TEST_F(WaitCaption, EmptyTextIsFoundWithoutAForegroundWindow) {
    // The line "Wait Caption " leaves the empty text.
    EXPECT_FALSE(execute("Wait Caption "));
    EXPECT_EQ(timeline(), (std::vector<std::string>{"0: foreground?", "0: text? 0"}));
}

TEST_F(WaitCaption, NoForegroundWindowReadsAsEmptyCaption) {
    auto window = fake::addWindow("Notepad", "Notepad");
    fake::setForeground(window, 40);
    EXPECT_FALSE(execute("Wait Caption Notepad"));
    EXPECT_EQ(fake::now(), 40u);
}

TEST_F(WaitCaption, ComparesOnlyTheFirst255BytesOfTheCaption) {
    std::string caption(255, 'x');
    caption += "TAIL";
    fake::setForeground(fake::addWindow("Notepad", caption));

    load("Wait Caption xTAIL");
    EXPECT_TRUE(runsForever());

    EXPECT_FALSE(execute("Wait Caption " + std::string(255, 'x')));
}

TEST_F(WaitKey, WaitsForPressThenReleaseInFiveMsSteps) {
    fake::holdKey(0x74, 12, 31); // F5
    EXPECT_FALSE(execute("Wait Key F5"));

    // Seen pressed at 15, where the second phase tests again; seen released at 35.
    std::vector<std::string> expected;
    for (int time : {0, 5, 10, 15, 20, 25, 30}) {
        expected.push_back(std::to_string(time) + ": held? 74");
        if (time == 15) {
            expected.push_back("15: held? 74");
        }
        expected.push_back(std::to_string(time) + ": sleep 5");
    }
    expected.push_back("35: held? 74");
    EXPECT_EQ(timeline(), expected);
}

TEST_F(WaitKey, HeldOnEntryEndsWithTheRelease) {
    fake::holdKey(0x41, 0, 7);
    EXPECT_FALSE(execute("Wait Key a")); // the parse upper-cases the key text
    EXPECT_EQ(fake::now(), 10u);
    EXPECT_EQ(fake::countCalls("sleep 5"), 2u);
}

TEST_F(WaitKey, CombinationNeedsEveryModifier) {
    fake::holdKey(0x41, 0, 100);
    fake::holdKey(0x11, 50, 100); // CTRL joins at 50
    EXPECT_FALSE(execute("Wait Key CTRL+A"));
    EXPECT_EQ(fake::now(), 100u);
}

TEST_F(WaitKey, KeyNeverPressedOrNamedKeepsWaiting) {
    for (const char* line : {"Wait Key B", "Wait Key A\r", "Wait Key NOSUCHKEY"}) {
        SetUp();
        fake::holdKey(0x41);
        load(line);
        EXPECT_TRUE(runsForever()) << line;
    }
}

} // namespace
