// Wait Process and processExeName: a name compared only when a process newly
// comes to the front, the id remembered across commands, the break key first.

#include "runner/executor.h"
#include "wait_test_support.h"

#include <string>
#include <vector>

namespace {

class WaitProcess : public WaitTest {
  protected:
    void SetUp() override {
        WaitTest::SetUp();
        fake::addProcess(4, "explorer.exe");
        fake::addProcess(7, "tool.exe");
        fake::addProcess(9, "Editor.EXE");
        tool = fake::addWindow("ToolFrame", "Tool", 7);     // 100
        editor = fake::addWindow("EditorFrame", "Edit", 9); // 101
    }
    platform::WindowHandle tool = 0;
    platform::WindowHandle editor = 0;
};

TEST_F(WaitProcess, ExeNameWalksTheSnapshotAndClosesIt) {
    EXPECT_STREQ(processExeName(7).text, "tool.exe");
    EXPECT_EQ(fake::callTexts(), (std::vector<std::string>{"snapshot", "process first",
                                                           "process next", "snapshot close"}));
    fake::clearCalls();
    EXPECT_STREQ(processExeName(5).text, "");
    EXPECT_EQ(fake::countCalls("snapshot close"), 1u);

    fake::failures().snapshot = true;
    EXPECT_STREQ(processExeName(7).text, "");
}

TEST_F(WaitProcess, ExeNameKeepsAtMost259Bytes) {
    fake::addProcess(11, std::string(300, 'n'));
    EXPECT_EQ(std::string(processExeName(11).text), std::string(259, 'n'));
}

TEST_F(WaitProcess, BreakTestThenReadThenSleepThenCompare) {
    fake::setForeground(editor);
    fake::setForeground(tool, 60);
    EXPECT_FALSE(execute("Wait Process TOOL.EXE"));

    const std::vector<std::string> expected = {
        // Editor newly in front: its name is compared after the sleep.
        "0: held? 1B", "0: foreground?", "0: pid? 101", "0: sleep 50", "50: snapshot",
        "50: process first", "50: process next", "50: process next", "50: snapshot close",
        // The tool is in front from 60 on.
        "50: held? 1B", "50: foreground?", "50: pid? 101", "50: sleep 50",
        // Tool newly in front: tool.exe equals TOOL.EXE with the letters folded.
        "100: held? 1B", "100: foreground?", "100: pid? 100", "100: sleep 50", "150: snapshot",
        "150: process first", "150: process next", "150: snapshot close"};
    EXPECT_EQ(timeline(), expected);
    EXPECT_EQ(runState.lastForegroundPid, 7u);
}

TEST_F(WaitProcess, MatchesOnlyWhenTheProcessNewlyComesToTheFront) {
    fake::setForeground(tool);
    EXPECT_FALSE(execute("Wait Process tool.exe"));
    EXPECT_EQ(fake::now(), 50u);

    // The tool is still in front and was the last seen: a second wait holds until
    // another process has been in front and the tool returns.
    fake::setForeground(editor, 200);
    fake::setForeground(tool, 400);
    EXPECT_FALSE(execute("WPR Tool.Exe"));
    EXPECT_EQ(fake::now(), 450u);
    EXPECT_EQ(fake::countCalls("snapshot close"), 3u); // tool, editor, tool
}

TEST_F(WaitProcess, NamesThatNeverMatch) {
    for (const char* line : {"Wait Process tool", "Wait Process TOOL.EXE\r",
                             "Wait Process tool.exe ", "Wait Process explorer.exe"}) {
        SetUp();
        fake::setForeground(tool);
        load(line);
        EXPECT_TRUE(runsForever()) << line;
        // Only the first iteration sees a change of the foreground process.
        EXPECT_EQ(fake::countCalls("snapshot close"), 1u) << line;
    }
}

TEST_F(WaitProcess, BreakKeyHeldStopsBeforeAnySleep) {
    fake::setForeground(tool);
    fake::holdKey(0x1B);
    EXPECT_TRUE(execute("Wait Process tool.exe"));
    EXPECT_EQ(timeline(), (std::vector<std::string>{"0: held? 1B"}));
    EXPECT_EQ(runState.lastForegroundPid, 0u);
}

TEST_F(WaitProcess, BreakKeyDuringTheWait) {
    fake::setForeground(editor);
    fake::holdKey(0x1B, 120);
    EXPECT_TRUE(execute("Wait Process tool.exe"));
    EXPECT_EQ(fake::now(), 150u);
    EXPECT_EQ(runState.lastForegroundPid, 9u);
}

TEST_F(WaitProcess, NoForegroundWindowCountsAsProcessZero) {
    // A moment without a foreground window is a change like any other: the tool
    // coming back afterwards is newly in front.
    runState.lastForegroundPid = 7;
    fake::setForeground(tool);
    fake::setForeground(0, 100);
    fake::setForeground(tool, 200);
    EXPECT_FALSE(execute("Wait Process tool.exe"));
    EXPECT_EQ(fake::now(), 250u);
    EXPECT_EQ(fake::callTexts({"pid?"})[2], "pid? 0");
}

} // namespace
