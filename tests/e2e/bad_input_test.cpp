// Real players with scripts no one should write: a line of a megabyte, a
// hundred thousand lines, NUL bytes, bytes that are no GBK, random binary,
// nothing but line feeds, key texts of ten thousand bytes, numbers beyond 32
// bits. Each one shows its syntax box, with a bounded text that starts with
// the right line number, or runs and ends; never a crash or a hang, and the
// exit code is always 0.

#include "script/parser.h"
#include "script/script.h"
#include "support/e2e.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace e2e;

constexpr DWORD RunTimeoutMs = 60000;
constexpr std::size_t MessageLimit = 65535; // the syntax box's buffer less its NUL

// What a player did with its script.
struct Outcome {
    bool started = false;
    bool syntaxBox = false;
    std::string boxText;           // the whole text of the syntax box, when shown
    std::optional<DWORD> exitCode; // none: still running at the deadline (a hang)
};

// The box's message text whatever its length (the message box helper reads
// at most 64 KB, which would hide a longer text).
std::string wholeBoxText(HWND box) {
    HWND text = GetDlgItem(box, 0xFFFF);
    if (text == nullptr) {
        return {};
    }
    const LRESULT length = SendMessageA(text, WM_GETTEXTLENGTH, 0, 0);
    std::vector<char> buffer(static_cast<std::size_t>(length) + 2);
    const int copied = GetWindowTextA(text, buffer.data(), static_cast<int>(buffer.size()));
    return std::string(buffer.data(), copied > 0 ? static_cast<std::size_t>(copied) : 0);
}

// Runs the player until it ends, answering its syntax box with OK.
Outcome runPlayer(const std::string& name, const std::string& script) {
    Outcome outcome;
    const std::string player = playerWithScript(name, script);
    if (player.empty()) {
        return outcome;
    }
    // A crash ends the player with its exception code instead of starting a
    // debugger that waits for ever (the error mode passes to the child).
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    RunningProgram run = startProgram(player);
    outcome.started = run.started();
    if (!outcome.started) {
        return outcome;
    }
    const ULONGLONG deadline = GetTickCount64() + RunTimeoutMs;
    while (GetTickCount64() < deadline) {
        if ((outcome.exitCode = run.waitForExit(0))) {
            return outcome;
        }
        if (HWND box = waitForMessageBox("错误", run.processId(), 50)) {
            outcome.syntaxBox = true;
            outcome.boxText = wholeBoxText(box);
            EXPECT_TRUE(pressButton(box, IDOK));
            outcome.exitCode = run.waitForExit(RunTimeoutMs);
            return outcome;
        }
    }
    return outcome; // still running: the record ends it
}

// The start of the syntax box for kept line `number`.
std::string boxHead(std::size_t number) {
    return "第" + std::to_string(number) + "行脚本语法错误! \n代码:\"";
}

// The first kept line the player's parser matches no command on (1-based), or
// 0 when every line parses: what a run of `script` must report.
std::size_t firstBadLine(const std::string& script) {
    Script parsed;
    parsed.splitLines(script.c_str());
    for (std::int32_t i = 0; i < parsed.lineCount; ++i) {
        Command command;
        if (!parseLine(parsed.lines[i].data(), command)) {
            return static_cast<std::size_t>(i) + 1;
        }
    }
    return 0;
}

void expectSyntaxBox(const Outcome& outcome, std::size_t line, const std::string& lineStart) {
    ASSERT_TRUE(outcome.started);
    ASSERT_TRUE(outcome.syntaxBox)
        << "no syntax box; exit code "
        << (outcome.exitCode ? std::to_string(*outcome.exitCode) : std::string("none: it hangs"));
    EXPECT_LE(outcome.boxText.size(), MessageLimit);
    const std::string head = boxHead(line) + lineStart;
    EXPECT_EQ(outcome.boxText.substr(0, head.size()), head);
    EXPECT_EQ(outcome.exitCode, std::optional<DWORD>(0));
}

void expectRunsAndEnds(const Outcome& outcome) {
    ASSERT_TRUE(outcome.started);
    EXPECT_FALSE(outcome.syntaxBox) << outcome.boxText.substr(0, 200);
    EXPECT_EQ(outcome.exitCode, std::optional<DWORD>(0)) << "none: it hangs";
}

std::string randomBytes(std::size_t count, std::uint32_t seed, bool withNul) {
    std::mt19937 generator(seed);
    std::uniform_int_distribution<int> byte(withNul ? 0 : 1, 255);
    std::string bytes(count, '\0');
    for (char& b : bytes) {
        b = static_cast<char>(byte(generator));
    }
    return bytes;
}

TEST(BadInput, LineOfAMegabyteShowsACutSyntaxBox) {
    const std::string line(1 << 20, 'x');
    const Outcome outcome = runPlayer("bad_mega_line", "SNB\nREM fine\n" + line + "\nEND\n");
    // Under Wine the player crashed inside MessageBoxA on syntax messages of
    // some 32,768 characters and more: the line is cut to 32,000 bytes and the
    // message keeps its closing quote.
    expectSyntaxBox(outcome, 3, std::string(32000, 'x') + "\"");
    EXPECT_EQ(outcome.boxText.size(), boxHead(3).size() + 32001);
}

TEST(BadInput, ValidLineOfAMegabyteRunsAndEnds) {
    expectRunsAndEnds(
        runPlayer("bad_mega_comment", "SNB\nREM " + std::string(1 << 20, 'r') + "\nEND\n"));
}

TEST(BadInput, HundredThousandLinesRunOrNameTheLastOne) {
    std::string lines = "SNB\n";
    for (int i = 2; i < 100'000; ++i) {
        lines += "REM line " + std::to_string(i) + "\n";
    }
    expectRunsAndEnds(runPlayer("bad_many_lines", lines + "END\n"));
    expectSyntaxBox(runPlayer("bad_many_lines_last", lines + "no command\n"), 100'000,
                    "no command\"");
}

TEST(BadInput, NulByteEndsTheScriptWhereItStands) {
    // What follows the NUL, a line that matches nothing included, is not read.
    expectRunsAndEnds(runPlayer("bad_nul_middle",
                                std::string("SNB\nREM a\0no command\n", 21) + "more garbage\nEND"));
    expectRunsAndEnds(runPlayer("bad_nul_first", std::string("\0no command\n", 12)));
    // Before the NUL, a bad line is still reported.
    expectSyntaxBox(runPlayer("bad_nul_after_error", std::string("SNB\nbad\0END\n", 12)), 2,
                    "bad\"");
}

TEST(BadInput, InvalidGbkIsNeverDecoded) {
    // Lead bytes without a valid trail byte, a lone trail byte, 0x80 and 0xFF,
    // and a lead byte at the very end of a line.
    const std::string invalid = "\x81\x20\xFE\x7F\x80\xFF\xA1\x0D\x81";
    expectRunsAndEnds(
        runPlayer("bad_gbk_comment", "SNB\nREM " + invalid + "\n*Comment: " + invalid + "\nEND\n"));
    // As a line of its own it matches no command. The box shows it through the
    // system's conversions, which turn what is no GBK into other characters
    // (the lone lead byte at the end takes the closing quote with it).
    expectSyntaxBox(runPlayer("bad_gbk_line", "SNB\n" + invalid + "\nEND\n"), 2, "");
}

TEST(BadInput, RandomBinaryShowsTheBoxOfItsFirstBadLine) {
    for (bool withNul : {true, false}) {
        const std::string script = randomBytes(64 * 1024, 20240601, withNul);
        const std::size_t bad = firstBadLine(script);
        ASSERT_GT(bad, 0u) << "this seed no longer gives a bad line";
        expectSyntaxBox(runPlayer(withNul ? "bad_random" : "bad_random_no_nul", script), bad, "");
    }
}

TEST(BadInput, OnlyLineFeedsIsAnEmptyScript) {
    expectRunsAndEnds(runPlayer("bad_line_feeds", std::string(10'000, '\n')));
}

TEST(BadInput, KeyTextsOfTenThousandBytesRunAndEnd) {
    const std::string key(10'000, 'k'); // upper-cased by the parse, names no key
    const std::string prefixes = [] {
        std::string text;
        while (text.size() < 10'000) {
            text += "CTRL+ALT+";
        }
        return text + "DEL";
    }();
    const std::string script = "SNB\nPauseKey " + key + "\nHotKey " + key + "\nHotKey " + prefixes +
                               "\nPush Down " + key + "\nPush Up " + key + "\nIf Key " + key +
                               " params\nIf Key " + prefixes + " params\nEND\n";
    expectRunsAndEnds(runPlayer("bad_long_keys", script));
}

TEST(BadInput, StartBoxShowsABreakKeyOfTenThousandBytes) {
    const std::string key(10'000, 'q');
    const std::string player =
        playerWithScript("bad_long_break_key", "Start\nBreak Key " + key + "\nEND\n");
    ASSERT_FALSE(player.empty());
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    RunningProgram run = startProgram(player);
    ASSERT_TRUE(run.started());
    HWND box = waitForMessageBox("开始", run.processId(), 20000);
    ASSERT_NE(box, nullptr);
    const std::string text = wholeBoxText(box);
    EXPECT_EQ(text, "按确定开始运行,结束热键[" + std::string(10'000, 'Q') + "]");
    ASSERT_TRUE(pressButton(box, IDOK));
    EXPECT_EQ(run.waitForExit(RunTimeoutMs), std::optional<DWORD>(0));
}

TEST(BadInput, StartBoxShowsACommentOfAHundredKilobytes) {
    const std::string comment(100'000, 'c');
    const std::string player =
        playerWithScript("bad_long_comment", "Start\n*Comment: " + comment + "\nEND\n");
    ASSERT_FALSE(player.empty());
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    RunningProgram run = startProgram(player);
    ASSERT_TRUE(run.started());
    HWND box = waitForMessageBox("开始", run.processId(), 20000);
    ASSERT_NE(box, nullptr) << "exit code " << run.waitForExit(0).value_or(STILL_ACTIVE);
    // Wine keeps no more than some 64 K characters of a window text, so what
    // the box holds of so long a text is not compared; it shows, and OK runs.
    EXPECT_FALSE(wholeBoxText(box).empty());
    ASSERT_TRUE(pressButton(box, IDOK));
    EXPECT_EQ(run.waitForExit(RunTimeoutMs), std::optional<DWORD>(0));
}

TEST(BadInput, NumbersBeyondThirtyTwoBitsRunAndEnd) {
    // Off-screen points, coordinates that overflow the absolute scale, colour
    // waits on points no screen has, a loop count past the range.
    expectRunsAndEnds(
        runPlayer("bad_big_numbers",
                  "SNB\nLoop Times 99999999999999999999\nMoveTo 99999999999 -99999999999\n"
                  "MoveTo -4294967296 4294967297\nWaitNotColor 99999999999 -99999999999 000000\n"
                  "WaitColor -4294967297 4294967297 FFFFFF\nLoop Times -99999999999\nEND\n"));
}

TEST(BadInput, RunsWithoutEndStopOnTheBreakKey) {
    struct Case {
        const char* name;
        const char* script;
    };
    const Case cases[] = {
        // The count is kept at the largest signed value, some 24 days.
        {"bad_big_delay", "SNB\nDelay 99999999999999999999\nLClick\nEND\n"},
        // Passes without an action spin at full speed: endlessly, or some two
        // billion times for the largest count.
        {"bad_endless_empty", "SNB\nREM nothing to do\nLoop\n"},
        {"bad_huge_count_empty", "SNB\nLoop Times 99999999999\nREM nothing to do\nEnd\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string player = playerWithScript(c.name, c.script);
        ASSERT_FALSE(player.empty());
        RunningProgram run = startProgram(player);
        ASSERT_TRUE(run.started());
        EXPECT_EQ(run.waitForExit(1500), std::nullopt) << "the run ended at once";
        HeldKey escape("Escape");
        EXPECT_EQ(run.waitForExit(20000), std::optional<DWORD>(0));
    }
}

} // namespace
