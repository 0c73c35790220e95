// Script::execute as a whole: the settings in line order, the action/settings
// split, commands without an action, and the pause gate.

#include "executor_test_support.h"
#include "runner/executor.h"

#include <algorithm>
#include <iterator>
#include <vector>

using Strings = std::vector<std::string>;

TEST_F(ExecutorTest, SettingsTakeEffectInLineOrder) {
    run("Break Key f12\n"
        "PauseKey ctrl+p\n"
        "*Comment: t1\n"
        "Loop Times 3\n"
        "REM ShowTaryIcon\n"
        "*C: t2\n"
        "Break Key f11\n"
        "Loop\n"
        "End\n");
    EXPECT_EQ(runState.breakKey, "F11");
    EXPECT_EQ(runState.pauseKey, "CTRL+P");
    EXPECT_EQ(script.commentText, "t1\r\nt2\r\n");
    EXPECT_EQ(runState.loopCount, 3);
    EXPECT_EQ(runState.loopEnabled, 0);
    EXPECT_EQ(runState.showTrayIcon, 0);
    EXPECT_TRUE(fake::calls().empty());
}

TEST_F(ExecutorTest, LaterLoopSettingsOverrideEarlierOnes) {
    run("End\nLoop Times -5\nShowTaryIcon\nSTI");
    EXPECT_EQ(runState.loopCount, -5);
    EXPECT_EQ(runState.loopEnabled, 1);
    EXPECT_EQ(runState.showTrayIcon, 1);
}

TEST_F(ExecutorTest, ChineseSettingsKeepTheirGbkText) {
    run("暂停热键 f9\n*说明: 说明文字\n循环");
    EXPECT_EQ(runState.pauseKey, "F9");
    EXPECT_EQ(script.commentText, "\xCB\xB5\xC3\xF7\xCE\xC4\xD7\xD6\r\n");
    EXPECT_EQ(runState.loopEnabled, 1);
    EXPECT_EQ(runState.breakKey, "ESC");
}

TEST(IsActionCommand, FalseForExactlyTheEightSettings) {
    const std::vector<Opcode> settings = {Opcode::BreakKey,  Opcode::Loop,        Opcode::End,
                                          Opcode::LoopTimes, Opcode::Rem,         Opcode::Comment,
                                          Opcode::PauseKey,  Opcode::ShowTrayIcon};
    // Every value from the empty line to one past the table's last opcode.
    for (std::int32_t value = 0; value <= 48; ++value) {
        Command command;
        command.opcode = static_cast<Opcode>(value);
        const bool setting =
            std::find(settings.begin(), settings.end(), command.opcode) != settings.end();
        EXPECT_EQ(isActionCommand(command), !setting) << "opcode " << value;
    }
}

TEST_F(ExecutorTest, OpcodesWithoutAnActionMakeNoPlatformCall) {
    // The empty line, the start modes, the accepted commands without an action,
    // the values no row carries (15, 16, 24, 25, 28) and values outside the table.
    const Opcode named[] = {Opcode::Empty,        Opcode::StartColor,  Opcode::StartKey,
                            Opcode::MoveToRelWin, Opcode::MoveToClick, Opcode::StartNoBox,
                            Opcode::Start,        Opcode::PutText,     Opcode::Goto};
    std::vector<Opcode> opcodes(std::begin(named), std::end(named));
    for (std::int32_t value : {15, 16, 24, 25, 28, 48, -1, 9999}) {
        opcodes.push_back(static_cast<Opcode>(value));
    }
    for (Opcode opcode : opcodes) {
        Command command;
        command.opcode = opcode;
        setSlotNumber(command.param1, 100);
        setSlotNumber(command.param2, 100);
        EXPECT_FALSE(script.execute(command)) << "opcode " << static_cast<int>(opcode);
    }
    EXPECT_TRUE(fake::calls().empty());
}

TEST_F(ExecutorTest, NoActionLinesParseAndDoNothing) {
    run("MoveToRelWin 10 10\nMoveToClick 5\nPutText abc\nGoto 3\nStart Color 1 2\nStart\n");
    EXPECT_TRUE(fake::calls().empty());
}

TEST_F(ExecutorTest, PausedCommandWaitsAtTheGateUntilResumed) {
    load("LClick");
    runState.paused = 1;
    fake::atTime(300, [] { runState.paused = 0; });
    EXPECT_FALSE(script.execute(script.commands[0]));
    EXPECT_EQ(timedCalls(),
              (Strings{"0: sleep 100", "100: sleep 100", "200: sleep 100", "300: mouse 0006 0 0"}));
}

TEST_F(ExecutorTest, PausedSettingWaitsAtTheGateToo) {
    load("Loop");
    runState.paused = 1;
    bool appliedEarly = true;
    fake::atTime(200, [&] {
        appliedEarly = runState.loopEnabled != 0;
        runState.paused = 0;
    });
    script.execute(script.commands[0]);
    EXPECT_FALSE(appliedEarly);
    EXPECT_EQ(runState.loopEnabled, 1);
    EXPECT_EQ(fake::callTexts(), (Strings{"sleep 100", "sleep 100"}));
}

TEST_F(ExecutorTest, UnpausedCommandRunsWithoutSleeping) {
    run("MClick");
    EXPECT_EQ(timedCalls(), (Strings{"0: mouse 0060 0 0"}));
}
