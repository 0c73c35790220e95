// The packer's checks: errors for lines no command matches, warnings for lines
// that parse but will not do what the writer meant.

#include "pack_checks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string describe(const std::vector<Finding>& findings) {
    std::string text;
    for (const Finding& finding : findings) {
        text += formatFinding(finding) + "\n";
    }
    return text;
}

// A script with a clean frame around `body` lines.
std::string framed(const std::string& body) {
    return "Start\n" + body + "End\n";
}

TEST(PackLines, KeptLinesCarryFileAndPlayerNumbers) {
    std::vector<ScriptLine> lines = scriptLines("Start\n\n\nDelay 5\n\r\nEnd");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1].text, "Delay 5");
    EXPECT_EQ(lines[1].fileLine, 4);
    EXPECT_EQ(lines[1].playerLine, 2);
    EXPECT_EQ(lines[2].text, "\r");
    EXPECT_EQ(lines[3].fileLine, 6);
    EXPECT_EQ(lines[3].playerLine, 4);

    std::vector<ScriptLine> cut = scriptLines(std::string("Start\nDe\0lay\nEnd", 16));
    ASSERT_EQ(cut.size(), 2u);
    EXPECT_EQ(cut[1].text, "De");
}

TEST(PackChecks, CleanScriptsHaveNoFindings) {
    const std::string scripts[] = {
        "Start\n*Comment: Three clicks\nBreak Key F12\nLoop Times 3\nLClick\nDelay 500\nEnd\n",
        "Start No Box\nMoveTo 100 200\nWaitColor 10 20 FF00FF\nWaitNotColor 1 2 00A0FF\nEnd\n",
        "STK ctrl+alt+a\nHotKey CTRL+SHIFT+F5\nPush Down 577\nPush Up 13\nWait Key A\nEND\n",
        "STC 100 200 FF0000\nIf Key F9 again\nPutChar hello123\nWait Caption Notepad\nEnd\n",
        // The Chinese names parse as well.
        "开始\n延时 100\n输出文字(剪贴板) 你好\n结束\n",
        // An action-free single line still counts as a start command.
        "Start No Box\n",
    };
    for (const std::string& script : scripts) {
        std::vector<Finding> findings = checkScript(script);
        EXPECT_TRUE(findings.empty()) << script << "\n" << describe(findings);
    }
}

TEST(PackChecks, LineThatMatchesNoCommandIsAnErrorWithBothLineNumbers) {
    std::vector<Finding> findings = checkScript("Start\n\nDealy 100\n Delay 5\nEnd\n");
    ASSERT_EQ(findings.size(), 2u) << describe(findings);
    EXPECT_EQ(findings[0].kind, FindingKind::Error);
    EXPECT_EQ(findings[0].fileLine, 3);
    EXPECT_EQ(findings[0].playerLine, 2);
    EXPECT_EQ(formatFinding(findings[0]),
              "line 3 (player line 2): error: no command matches this line: \"Dealy 100\"");
    EXPECT_EQ(findings[1].fileLine, 4);
    EXPECT_NE(findings[1].message.find("begins with white space"), std::string::npos);
    EXPECT_TRUE(hasErrors(findings));

    std::vector<Finding> noSpace = checkScript("Start\nWindowLeftTop\nEnd\n");
    ASSERT_EQ(noSpace.size(), 1u) << describe(noSpace);
    EXPECT_NE(noSpace[0].message.find("name ends in a space: add one after it"), std::string::npos)
        << noSpace[0].message;
}

TEST(PackChecks, CarriageReturnsKeptByKeepCrAreCaught) {
    // A blank line of a CR LF file holds a carriage return and matches nothing.
    std::vector<Finding> findings = checkScript("Start\r\n\r\nBreak Key F12\r\nEnd\r\n");
    ASSERT_FALSE(findings.empty());
    EXPECT_EQ(findings[0].kind, FindingKind::Error);
    EXPECT_EQ(findings[0].playerLine, 2);
    EXPECT_NE(findings[0].message.find("only a carriage return"), std::string::npos);
    EXPECT_NE(describe(findings).find("\"F12\\r\" names no key (it ends in a carriage return)"),
              std::string::npos)
        << describe(findings);
}

// One fault per script, and the warning it must give on its line.
TEST(PackChecks, EachKindOfFaultGivesItsWarning) {
    struct Case {
        const char* fault;
        std::string script;
        int fileLine;
        const char* expected; // part of the message
    };
    const Case cases[] = {
        {"break key", framed("Break Key F13X\n"), 2, "\"F13X\" names no key"},
        {"pause key with a trailing space", framed("PauseKey F9 \n"), 2,
         "\"F9 \" names no key (it ends in white space)"},
        {"empty pause key", framed("PSK \n"), 2, "\"\" names no key"},
        {"start key", "Start Key CTRL+13\nLClick\nEnd\n", 1, "\"CTRL+13\" names no key"},
        {"hot key", framed("HotKey ENTRE\n"), 2, "HotKey: the key text \"ENTRE\" names no key"},
        {"push down", framed("Push Down LWIN+A\n"), 2, "names no key"},
        {"push up", framed("KPU SHIFT+\xA1\xA1\n"), 2, "names no key"},
        {"modifier with no key", framed("HotKey CTRL+\n"), 2,
         "\"CTRL+\" names no key (a modifier with no key after it); only the modifiers are sent"},
        {"wait for a modifier with no key", framed("Wait Key SHIFT+\n"), 2,
         "\"SHIFT+\" names no key (a modifier with no key after it); the wait never ends"},
        {"number without a virtual key", "Start Key 4096\nLClick\nEnd\n", 1,
         "\"4096\" names no key (the number's low byte, the virtual-key code, is 0); the script "
         "never starts"},
        {"number with CTRL but no virtual key", framed("Push Down 512\n"), 2,
         "\"512\" names no key (the number's low byte"},
        {"wait key", framed("Wait Key ESCAPE\n"), 2, "the wait never ends"},
        {"if key without a space", framed("If Key F9\n"), 2, "If Key without a space does nothing"},
        {"if key naming no key", framed("If Key F99 go\n"), 2, "\"F99\" names no key"},
        {"start colour in lower case", "Start Color 10 20 ff0000\nLClick\nEnd\n", 1,
         "\"ff0000\" is not six upper-case hexadecimal digits (RRGGBB), so it never equals a "
         "pixel and the script ends at once; write FF0000"},
        {"start colour with a trailing space", "STC 10 20 FF0000 \nLClick\nEnd\n", 1,
         "\"FF0000 \" is not six upper-case hexadecimal digits (RRGGBB) (it ends in white space); "
         "the player compares the last six bytes of the line, \"F0000 \", with the pixel, so it "
         "never equals a pixel and the script ends at once"},
        {"start colour with a seventh digit", "STC 10 20 FF00001\nLClick\nEnd\n", 1,
         "Start Color: the colour \"FF00001\" is not six upper-case hexadecimal digits (RRGGBB); "
         "the player compares the last six bytes of the line, \"F00001\", with the pixel"},
        {"wait colour too short", framed("WaitColor 10 20 FFF\n"), 2,
         "the wait ends only by the break key"},
        {"wait not colour", framed("WaitNotColor 10 20 GG0000\n"), 2, "the wait ends at once"},
        // Eight digits, as an alpha channel would be written, never equal the six read.
        {"wait colour with eight digits", framed("WaitColor 10 20 FF00FF00\n"), 2,
         "WaitColor: the colour \"FF00FF00\" is not six upper-case hexadecimal digits (RRGGBB), "
         "so it never equals a pixel and the wait ends only by the break key"},
        {"wait not colour with a seventh digit", framed("WNC 10 20 00A0FF0\n"), 2,
         "WaitNotColor: the colour \"00A0FF0\" is not six upper-case hexadecimal digits "
         "(RRGGBB), so it never equals a pixel and the wait ends at once"},
        {"move without y", framed("MoveTo 100\n"), 2,
         "MoveTo needs x and y, separated by single spaces; the player reads x=100 and no y"},
        {"move with a comma", framed("MoveTo 100,200\n"), 2, "reads x=100 and no y"},
        {"move with two spaces", framed("MoveTo  100 200\n"), 2, "reads x=100 y=100"},
        {"start colour without numbers", "Start Color FF0000\nLClick\nEnd\n", 1,
         "Start Color needs x and y"},
        {"wait colour without its colour", framed("WaitColor 10 20\n"), 2,
         "needs x, y and a colour, separated by single spaces; the player reads x=10 y=20 and "
         "no colour"},
        {"action on the first line", "LClick\nDelay 5\nEnd\n", 1,
         "an action on the first line never runs"},
        {"action on the last line", "Start\nDelay 5\nLClick\n", 3,
         "an action on the last line never runs"},
        {"first line no start command", "REM hello\nDelay 5\nEnd\n", 1,
         "the first line is no start command"},
        {"caption with a trailing space", framed("Wait Caption Notepad \n"), 2,
         "ends in white space), which is compared too"},
        {"PutChar with a space", framed("PutChar Hello World!\n"), 2,
         "the byte \" \" at column 6 and 1 more send a key stroke with no key"},
        {"a command that does nothing", framed("PutText hello\n"), 2,
         "PutText does nothing in this player; use PutChar or PutTextCb"},
    };
    for (const Case& c : cases) {
        std::vector<Finding> findings = checkScript(c.script);
        bool found = false;
        for (const Finding& finding : findings) {
            EXPECT_EQ(finding.kind, FindingKind::Warning) << c.fault << ": " << describe(findings);
            if (finding.fileLine == c.fileLine &&
                finding.message.find(c.expected) != std::string::npos) {
                found = true;
            }
        }
        EXPECT_TRUE(found) << c.fault << ": expected \"" << c.expected << "\" on line "
                           << c.fileLine << ", got:\n"
                           << describe(findings);
    }
}

TEST(PackChecks, EmptyScriptAndNulBytes) {
    std::vector<Finding> empty = checkScript("\n\n");
    ASSERT_EQ(empty.size(), 1u);
    EXPECT_EQ(empty[0].kind, FindingKind::Warning);
    EXPECT_EQ(formatFinding(empty[0]), "warning: the script has no lines: the player does nothing");

    std::vector<Finding> nul = checkScript(std::string("Start\nDelay 5\nEnd\0\nLClick\n", 25));
    ASSERT_EQ(nul.size(), 1u) << describe(nul);
    EXPECT_EQ(nul[0].kind, FindingKind::Error);
    EXPECT_EQ(nul[0].fileLine, 3);
    EXPECT_NE(nul[0].message.find("NUL byte"), std::string::npos);
}

TEST(PackChecks, ParseSnapshotTellsWhichSlotsThePlayerFilled) {
    LineParse move = parseScriptLine("mmt 5");
    ASSERT_TRUE(move.matched);
    EXPECT_EQ(move.opcode, Opcode::MoveTo);
    EXPECT_EQ(englishCommandName(move.row), "MoveTo");
    EXPECT_EQ(move.form, NameForm::ShortCode);
    EXPECT_TRUE(move.written[0]);
    EXPECT_FALSE(move.written[1]);

    LineParse key = parseScriptLine("break key ctrl+f1");
    EXPECT_EQ(key.opcode, Opcode::BreakKey);
    EXPECT_EQ(key.texts[0], "CTRL+F1"); // upper-cased as the player keeps it
    EXPECT_EQ(key.form, NameForm::English);

    LineParse chinese = parseScriptLine("输出字母 abc");
    EXPECT_EQ(chinese.row, 16);
    EXPECT_EQ(chinese.form, NameForm::Chinese);
    EXPECT_EQ(chinese.texts[0], "abc");

    EXPECT_FALSE(parseScriptLine("WindowLeftTop").matched);
}

TEST(PackChecks, QuotingEscapesControlBytesAndKeepsGbk) {
    EXPECT_EQ(quoteText("a\"b\\c\r\t\x01"), "\"a\\\"b\\\\c\\r\\t\\x01\"");
    EXPECT_EQ(quoteText("\xC4\xE3"), "\"\xC4\xE3\"");
}

} // namespace
