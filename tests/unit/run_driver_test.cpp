// The whole run on the fake platform: compile pass, start modes, passes.

#include "platform/fake/fake.h"
#include "runner/run_state.h"
#include "runner/start_up.h"
#include "script/resource_reader.h"
#include "script/script.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

class RunDriver : public ::testing::Test {
  protected:
    void SetUp() override {
        fake::reset();
        resetRunState();
    }

    // A script split from `text`; the Script is kept by the fixture so that the
    // command slots stay valid.
    Script& load(const std::string& text) {
        script.splitLines(text.c_str());
        return script;
    }

    // Runs the script; true when the run returned, false when the process ended.
    bool runToEnd() {
        try {
            script.run();
            return true;
        } catch (const fake::ProcessEnded&) {
            return false;
        }
    }

    std::size_t clicks() { return fake::countCalls("mouse 0006"); }

    Script script;
};

TEST_F(RunDriver, SettingsApplyInLineOrderOnFirstAndLastLines) {
    load("Break Key f12\nPauseKey f9\n*Comment: one\nLClick\n*Comment: two\nBreak Key f11\n");
    ASSERT_TRUE(runToEnd());
    EXPECT_STREQ(runState.breakKey.c_str(), "F11");
    EXPECT_STREQ(runState.pauseKey.c_str(), "F9");
    EXPECT_STREQ(script.commentText.c_str(), "one\r\ntwo\r\n");
    EXPECT_EQ(clicks(), 1u); // line 4 is in the body, the frame lines never run
}

TEST_F(RunDriver, SyntaxErrorShowsKeptLineNumberAndEndsBeforeAnyLaterLine) {
    load("SNB\n\n\nLClick\nthis is no command\nBreak Key F12\nEND\n");
    EXPECT_FALSE(runToEnd());
    std::vector<std::string> expected = {
        "box 错误|第3行脚本语法错误! \n代码:\"this is no command\"|0", "end"};
    EXPECT_EQ(fake::callTexts({"box", "end"}), expected);
    EXPECT_STREQ(runState.breakKey.c_str(), "ESC"); // line 4 was never parsed
    EXPECT_EQ(clicks(), 0u);
    EXPECT_EQ(fake::countCalls("thread"), 0u);
}

TEST_F(RunDriver, SyntaxErrorOfAVeryLongLineIsCutForTheMessageBox) {
    std::string line(200000, 'x');
    load("SNB\n" + line + "\nEND");
    EXPECT_FALSE(runToEnd());
    std::vector<std::string> boxes = fake::callTexts({"box"});
    ASSERT_EQ(boxes.size(), 1u);
    // "box 错误|" + message + "|0"; the box shows the first 32,000 bytes of the
    // line and the closing quote, far below the 64 KB buffer.
    std::string prefix = "box 错误|";
    std::string message = boxes[0].substr(prefix.size(), boxes[0].size() - prefix.size() - 2);
    const std::string head = "第2行脚本语法错误! \n代码:\"";
    EXPECT_EQ(message, head + std::string(32000, 'x') + "\"");
}

TEST_F(RunDriver, BlankLineOfACarriageReturnIsASyntaxError) {
    load("SNB\r\nLClick\r\n\r\nEND\r\n");
    EXPECT_FALSE(runToEnd());
    EXPECT_EQ(fake::countCalls("box 错误|第3行脚本语法错误! \n代码:\"\r\"|0"), 1u);
}

struct BoxCase {
    const char* name;
    std::string script;
    std::string text;
};

void PrintTo(const BoxCase& c, std::ostream* out) {
    *out << c.name;
}

class StartBox : public RunDriver, public ::testing::WithParamInterface<BoxCase> {};

TEST_P(StartBox, ShowsCommentsAndKeys) {
    load(GetParam().script);
    ASSERT_TRUE(runToEnd());
    std::vector<std::string> boxes = fake::callTexts({"box"});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "box 开始|" + GetParam().text + "|1");
}

INSTANTIATE_TEST_SUITE_P(
    Texts, StartBox,
    ::testing::Values(
        BoxCase{"Plain", "Start\nEnd", "按确定开始运行,结束热键[ESC]"},
        BoxCase{"CommentAndKeys", "开始\n*Comment: Hello\nBreak Key f12\nPauseKey F9\nEnd",
                "Hello\r\n----------------------------\n按确定开始运行,结束热键[F12]暂停热键[F9]"},
        BoxCase{"PauseKeyOnly", "STR\nPSK ctrl+p\nEND",
                "按确定开始运行,结束热键[ESC]暂停热键[CTRL+P]"},
        BoxCase{"TwoComments", "Start\n*C: a\n*说明: b\nEnd",
                "a\r\nb\r\n----------------------------\n按确定开始运行,结束热键[ESC]"}),
    [](const auto& info) { return info.param.name; });

TEST_F(RunDriver, CancelledStartBoxEndsWithoutAnyAction) {
    fake::setMessageBoxAnswer(2);
    load("Start\nLClick\nEnd");
    EXPECT_FALSE(runToEnd());
    EXPECT_EQ(clicks(), 0u);
    // The monitor thread was started before the box.
    EXPECT_EQ(fake::callTexts({"thread", "box", "end"}).front(), "thread");
}

TEST_F(RunDriver, StartKeyWaitsForPressAndRelease) {
    fake::holdKey(0x70, 35, 72); // F1
    load("Start Key f1\nLClick\nEnd");
    ASSERT_TRUE(runToEnd());
    EXPECT_EQ(clicks(), 1u);
    const fake::Call* click = nullptr;
    for (const fake::Call& call : fake::calls()) {
        if (call.text == "mouse 0006 0 0") {
            click = &call;
        }
    }
    ASSERT_NE(click, nullptr);
    EXPECT_EQ(click->time, 80u); // 10 ms polls: first seen held at 40, first seen up at 80
}

TEST_F(RunDriver, StartKeyThatNamesNoKeyWaitsForever) {
    fake::setTimeLimit(5000);
    load("STK NOKEY\nLClick\nEnd");
    EXPECT_THROW(script.run(), fake::TimeLimitReached);
    EXPECT_EQ(clicks(), 0u);
}

struct ColourCase {
    const char* name;
    std::string firstLine;
    std::uint32_t pixel;
    bool starts;
};

void PrintTo(const ColourCase& c, std::ostream* out) {
    *out << c.name;
}

class StartColour : public RunDriver, public ::testing::WithParamInterface<ColourCase> {};

TEST_P(StartColour, StartsOnlyOnTheExactColour) {
    fake::setPixel(100, 200, GetParam().pixel);
    load(GetParam().firstLine + "\nLClick\nEnd");
    EXPECT_EQ(runToEnd(), GetParam().starts);
    EXPECT_EQ(clicks(), GetParam().starts ? 1u : 0u);
    EXPECT_EQ(fake::liveScreenContexts(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, StartColour,
    ::testing::Values(ColourCase{"Red", "STC 100 200 FF0000", 0x0000FF, true},
                      ColourCase{"BlueIsNotRed", "STC 100 200 FF0000", 0xFF0000, false},
                      ColourCase{"BlueByteOrder", "Start Color 100 200 0000FF", 0xFF0000, true},
                      ColourCase{"LowerCase", "STC 100 200 ff0000", 0x0000FF, false},
                      ColourCase{"TrailingSpace", "STC 100 200 FF0000 ", 0x0000FF, false},
                      ColourCase{"ShortLine", "STC 1", 0x000000, false},
                      ColourCase{"OffScreen", "STC -5 200 FFFFFF", 0x000000, true}),
    [](const auto& info) { return info.param.name; });

struct LoopCase {
    const char* name;
    std::string settings; // lines between the first line and the body
    std::string lastLine;
    long passes; // -1: endless
};

void PrintTo(const LoopCase& c, std::ostream* out) {
    *out << c.name;
}

class LoopRule : public RunDriver, public ::testing::WithParamInterface<LoopCase> {};

TEST_P(LoopRule, CountsPasses) {
    fake::setTimeLimit(fake::Forever, 20000);
    load("SNB\n" + GetParam().settings + "LClick\n" + GetParam().lastLine);
    if (GetParam().passes < 0) {
        EXPECT_THROW(script.run(), fake::TimeLimitReached);
        EXPECT_GT(clicks(), 1000u);
    } else {
        ASSERT_TRUE(runToEnd());
        EXPECT_EQ(clicks(), static_cast<std::size_t>(GetParam().passes));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Settings, LoopRule,
    ::testing::Values(LoopCase{"None", "", "REM last", 1}, LoopCase{"OnlyEnd", "", "End", 1},
                      LoopCase{"LoopAlone", "Loop\n", "REM last", -1},
                      LoopCase{"LoopLast", "", "Loop", -1},
                      LoopCase{"TimesThenEnd", "Loop Times 3\n", "End", 3},
                      LoopCase{"TimesThenLoop", "LPT 3\n", "LOP", 3},
                      LoopCase{"TimesAlone", "循环次数 4\n", "REM last", 4},
                      LoopCase{"TimesZero", "Loop Times 0\n", "End", 1},
                      // Looping is on, but a count of 0 is no endless loop.
                      LoopCase{"TimesZeroAlone", "Loop Times 0\n", "REM last", 1},
                      LoopCase{"TimesZeroThenLoop", "Loop Times 0\n", "Loop", 1},
                      LoopCase{"NegativeThenLoop", "Loop Times -1\n", "Loop", -1},
                      LoopCase{"NegativeAlone", "Loop Times -1\n", "REM last", -1},
                      LoopCase{"NegativeThenEnd", "Loop Times -1\n", "End", 1},
                      LoopCase{"EndThenLoop", "End\n", "Loop", -1},
                      LoopCase{"LowestCountThenEnd", "Loop Times -2147483648\n", "End", 1},
                      LoopCase{"SaturatedCount", "Loop Times -99999999999\n", "End", 1}),
    [](const auto& info) { return info.param.name; });

TEST_F(RunDriver, FrameLinesNeverRunAsActions) {
    load("LClick\nLClick\nRClick");
    ASSERT_TRUE(runToEnd());
    EXPECT_EQ(clicks(), 1u);
    EXPECT_EQ(fake::countCalls("mouse 0018"), 0u);
}

TEST_F(RunDriver, ScriptsWithoutBodyRunNothing) {
    for (const char* text : {"", "\n\n\n", "LClick", "Start No Box\nEnd", "SNB\nREM x\nEnd"}) {
        SCOPED_TRACE(text);
        fake::reset();
        resetRunState();
        Script fresh;
        fresh.splitLines(text);
        fresh.run();
        EXPECT_EQ(fake::countCalls("mouse"), 0u);
        EXPECT_EQ(fake::countCalls("box"), 0u);
    }
}

TEST_F(RunDriver, OwnerWindowIsMadeAfterTheStartModeAndHidden) {
    load("Start\nShowTaryIcon\nLClick\nEnd");
    ASSERT_TRUE(runToEnd());
    std::vector<std::string> expected = {
        "thread",
        "box 开始|按确定开始运行,结束热键[ESC]|1",
        "window button|VELMO-TEK|00CF0000|-2147483648|0|300|100",
        "update 100",
        "show 100 6",
        "show 100 0",
        "notify 0",
        "mouse 0006 0 0",
        "notify 2",
    };
    EXPECT_EQ(fake::callTexts({"thread", "box", "window", "update", "show", "notify", "mouse"}),
              expected);
    EXPECT_EQ(runState.hiddenWindow.load(), 100u);
}

TEST_F(RunDriver, RunGoesOnWithoutOwnerWindow) {
    fake::failures().createWindow = true;
    load("SNB\nShowTaryIcon\nLClick\nEnd");
    ASSERT_TRUE(runToEnd());
    EXPECT_EQ(fake::countCalls("update"), 0u);
    EXPECT_EQ(clicks(), 1u);
    ASSERT_EQ(fake::notifyCalls().size(), 2u);
    EXPECT_EQ(fake::notifyCalls()[0].record.hWnd, 0u);
}

TEST_F(RunDriver, StopFlagEndsTheRunAtOnceAndRemovesTheIcon) {
    fake::holdKey(0x1B); // ESC, the default break key
    load("SNB\nShowTaryIcon\nLoop\nWaitColor 1 1 FF0000\nLClick\nEnd");
    ASSERT_TRUE(runToEnd());
    EXPECT_EQ(clicks(), 0u);
    std::vector<std::string> expected = {"notify 0", "notify 2"};
    EXPECT_EQ(fake::callTexts({"notify"}), expected);
}

TEST_F(RunDriver, PausedRunWaitsAtTheFirstCommandUntilResumed) {
    runState.paused.store(1);
    fake::atTime(1000, [] { runState.paused.store(0); });
    load("SNB\nLClick\nEnd");
    ASSERT_TRUE(runToEnd());
    EXPECT_EQ(fake::countCalls("sleep 100"), 10u);
    ASSERT_EQ(clicks(), 1u);
    EXPECT_EQ(fake::calls().back().time, 1000u);
}

// Start-up from the process's point of view: what the user sees and the exit
// code, with and without a script, and when the run fails to allocate.
TEST(StartUp, EndsWithCodeZeroAndShowsTheErrorBoxOnlyForAFailure) {
    struct Case {
        const char* name;
        bool embedded;
        bool outOfMemory;
        std::size_t clicks;
        std::vector<std::string> boxes;
    };
    const Case cases[] = {
        {"no script", false, false, 0, {}},
        {"a script", true, false, 1, {}},
        {"allocation fails", true, true, 0, {"box VELMO-TEK|读取脚本文件发生错误|0"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fake::reset();
        resetRunState();
        fake::setOwnModule(7);
        if (c.embedded) {
            fake::setResource(7, ScriptResourceName, ScriptResourceType, "SNB\nLClick\nEnd");
        }
        fake::failures().outOfMemory = c.outOfMemory;
        EXPECT_EQ(startUp(), 0);
        EXPECT_EQ(fake::countCalls("mouse 0006"), c.clicks);
        EXPECT_EQ(fake::callTexts({"box"}), c.boxes);
        if (!c.embedded) {
            const std::vector<std::string> lookups = {"module?", "resource 1 10"};
            EXPECT_EQ(fake::callTexts(), lookups); // nothing else happens
        }
    }
}

} // namespace
