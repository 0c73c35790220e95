#include "script/parser.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

// An opcode no row has, left by a parse that writes nothing.
constexpr Opcode Unwritten = static_cast<Opcode>(-7);

constexpr NameForm TriedForms[] = {NameForm::Chinese, NameForm::English, NameForm::ShortCode};

// Texts no parse refers to, one per slot.
char markers[3][10] = {"untouched", "untouched", "untouched"};

// A command whose every field holds a value no parse writes, to see which are written.
Command sentinelCommand() {
    Command command;
    command.opcode = Unwritten;
    setSlotText(command.param1, markers[0]);
    setSlotText(command.param2, markers[1]);
    setSlotText(command.param3, markers[2]);
    return command;
}

// True when the slot still holds the marker of slot `index` (1 to 3).
bool isSentinel(const CommandParam& param, int index) {
    return slotHoldsText(param) && slotTextOrNull(param) == markers[index - 1] &&
           std::strcmp(slotText(param), "untouched") == 0;
}

struct Reached {
    int row;
    NameForm form;
};

// The first row and form that matchCommand accepts, trying them one by one in
// table order: the reference for what parseLine must find.
// A failed attempt changes nothing, so one copy of the line serves every attempt.
std::optional<Reached> firstMatch(const std::string& text) {
    std::vector<char> line(text.begin(), text.end());
    line.push_back('\0');
    for (int row = 0; row < CommandTableRowCount; ++row) {
        for (NameForm form : TriedForms) {
            Command command;
            if (matchCommand(line.data(), row, form, command)) {
                return Reached{row, form};
            }
        }
    }
    return std::nullopt;
}

struct Parsed {
    bool ok;
    std::string line; // the line after the parse
    Command command;
    std::vector<char> buffer;
};

Parsed parse(const std::string& text) {
    Parsed parsed{false, {}, sentinelCommand(), std::vector<char>(text.begin(), text.end())};
    parsed.buffer.push_back('\0');
    parsed.ok = parseLine(parsed.buffer.data(), parsed.command);
    parsed.line = parsed.buffer.data();
    return parsed;
}

std::string lower(std::string text) {
    for (char& byte : text) {
        if (byte >= 'A' && byte <= 'Z') {
            byte = static_cast<char>(byte + 0x20);
        }
    }
    return text;
}

std::string upper(std::string text) {
    for (char& byte : text) {
        if (byte >= 'a' && byte <= 'z') {
            byte = static_cast<char>(byte - 0x20);
        }
    }
    return text;
}

// Which row a line written with `form` of `row` reaches: the earlier row of a pair
// that shares the name, else the row itself.
int expectedRow(int row, NameForm form) {
    bool shortCode = form == NameForm::ShortCode;
    bool english = form == NameForm::English;
    if ((row == 16 || row == 19) && (english || shortCode)) {
        return row - 1;
    }
    if ((row == 25 || row == 26) && shortCode) {
        return row - 2;
    }
    return row;
}

TEST(ParseLine, EveryRowIsReachedThroughEachOfItsForms) {
    for (int row = 0; row < CommandTableRowCount; ++row) {
        for (NameForm form : TriedForms) {
            std::string name = commandName(form, row);
            bool endsInSpace = name.back() == ' ';
            // Names without a space would take the parameter into the name's letters.
            std::string text = name + (endsInSpace ? "12 34 56" : "");
            std::vector<std::string> spellings = {text};
            if (form != NameForm::Chinese) {
                spellings.push_back(lower(text));
                spellings.push_back(upper(text));
            }
            for (const std::string& spelling : spellings) {
                SCOPED_TRACE(spelling);
                int want = expectedRow(row, form);
                std::optional<Reached> reached = firstMatch(spelling);
                ASSERT_TRUE(reached.has_value());
                EXPECT_EQ(reached->row, want);
                Parsed parsed = parse(spelling);
                EXPECT_TRUE(parsed.ok);
                EXPECT_EQ(parsed.command.opcode, CommandTable[want].opcode);
            }
        }
    }
}

TEST(ParseLine, AgreesWithTryingEveryRowInTurn) {
    // Every prefix of every name, each followed by assorted endings and in three
    // cases: parseLine must give exactly what the plain loop over matchCommand gives.
    const char* endings[] = {"", " ", "x", "1 2 3", "\r", " ctrl+a", "\xb0\x61"};
    std::set<std::string> texts;
    for (int row = 0; row < CommandTableRowCount; ++row) {
        for (NameForm form : TriedForms) {
            std::string name = commandName(form, row);
            for (std::size_t cut = 0; cut <= name.size(); ++cut) {
                for (const char* ending : endings) {
                    std::string base = name.substr(0, cut) + ending;
                    texts.insert({base, lower(base), upper(base)});
                }
            }
        }
    }
    for (const std::string& text : texts) {
        std::optional<Reached> reached = firstMatch(text);
        Parsed parsed = parse(text);
        if (text.empty()) {
            EXPECT_TRUE(parsed.ok);
            EXPECT_EQ(parsed.command.opcode, Opcode::Empty);
            continue;
        }
        ASSERT_EQ(parsed.ok, reached.has_value()) << text;
        if (!reached) {
            EXPECT_EQ(parsed.command.opcode, Unwritten) << text;
            EXPECT_EQ(parsed.line, text);
            continue;
        }
        std::vector<char> buffer(text.begin(), text.end());
        buffer.push_back('\0');
        Command command = sentinelCommand();
        ASSERT_TRUE(matchCommand(buffer.data(), reached->row, reached->form, command));
        EXPECT_EQ(parsed.line, std::string(buffer.data()));
        EXPECT_EQ(parsed.command.opcode, command.opcode) << text;
        const CommandParam* got[] = {&parsed.command.param1, &parsed.command.param2,
                                     &parsed.command.param3};
        const CommandParam* want[] = {&command.param1, &command.param2, &command.param3};
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(slotHoldsText(*got[i]), slotHoldsText(*want[i])) << text << " slot " << i;
            EXPECT_EQ(slotNumber(*got[i]), slotNumber(*want[i])) << text << " slot " << i;
            EXPECT_STREQ(slotText(*got[i]), slotText(*want[i])) << text << " slot " << i;
        }
    }
    EXPECT_GT(texts.size(), 3000u);
}

struct TieBreak {
    const char* line;
    Opcode opcode; // Empty with ok false: no match
    bool ok;
};

TEST(ParseLine, TieBreaks) {
    const TieBreak cases[] = {
        {"Start Key", Opcode::Start, true},
        {"Start Key F1", Opcode::StartKey, true},
        {"STK F1", Opcode::StartKey, true},
        {"Loop Times", Opcode::Loop, true},
        {"Loop Times 3", Opcode::LoopTimes, true},
        {"结束热键", Opcode::End, true},
        {"结束热键 F12", Opcode::BreakKey, true},
        {"开始热键", Opcode::Start, true},
        {"开始", Opcode::Start, true},
        {"Start Color 1 2", Opcode::StartColor, true},
        {"Start Color", Opcode::Start, true},
        {"Start No Box", Opcode::StartNoBox, true},
        {"Start No Boxes", Opcode::StartNoBox, true},
        {"Start", Opcode::Start, true},
        {"strange", Opcode::Start, true},
        {"End", Opcode::End, true},
        {"endless", Opcode::End, true},
        {"ENDLESS LOOP", Opcode::End, true},
        {"lopsided", Opcode::Loop, true},
        {"Loop", Opcode::Loop, true},
        {"stick", Opcode::ShowTrayIcon, true},
        {"ShowTaryIcon", Opcode::ShowTrayIcon, true},
        {"MoveTo 1 2", Opcode::MoveTo, true},
        {"MoveToClick ", Opcode::MoveToClick, true},
        {"MoveToRelWin 1 2", Opcode::MoveToRelWin, true},
        {"MMT 1 2", Opcode::MoveTo, true},
        {"MMTR 1 2", Opcode::MoveToRelWin, true},
        {"指针移至 1 2", Opcode::MoveTo, true},
        {"指针移至并单击 ", Opcode::MoveToClick, true},
        {"指针移至相对当前窗口 1 2", Opcode::MoveToRelWin, true},
        {"输出文字 x", Opcode::PutText, true},
        {"输出文字(剪贴板) x", Opcode::PutTextCb, true},
        {"运行 x", Opcode::Excute, true},
        {"运行时显示托盘图标 ", Opcode::ShowTrayIcon, true},
        {"输出字母 abc", Opcode::PutChar, true},
        {"PutChar abc", Opcode::PutChar, true},
        {"WindowLeftTop", Opcode::Empty, false},
        {"WindowLeftTop ", Opcode::WindowLeftTop, true},
        {"MoveToClick", Opcode::Empty, false},
        {"运行时显示托盘图标", Opcode::Empty, false},
        {"Delay100", Opcode::Empty, false},
        {"REM x", Opcode::Rem, true},
        {"rem x", Opcode::Rem, true},
        {"Gto x", Opcode::Goto, true},
        {"GOTO x", Opcode::Goto, true},
    };
    for (const TieBreak& tie : cases) {
        SCOPED_TRACE(tie.line);
        Parsed parsed = parse(tie.line);
        EXPECT_EQ(parsed.ok, tie.ok);
        EXPECT_EQ(parsed.command.opcode, tie.ok ? tie.opcode : Unwritten);
    }
}

TEST(ParseLine, NothingBeforeTheNameIsSkipped) {
    for (const char* line : {" Delay 5", "\tDelay 5", "\rDelay 5", "\r", "x Delay 5", "延 时 5"}) {
        SCOPED_TRACE(line);
        Parsed parsed = parse(line);
        EXPECT_FALSE(parsed.ok);
        EXPECT_EQ(parsed.command.opcode, Unwritten);
    }
}

TEST(ParseLine, EmptyLineIsOpcodeZeroWithNoSlotWritten) {
    Parsed parsed = parse("");
    EXPECT_TRUE(parsed.ok);
    EXPECT_EQ(parsed.command.opcode, Opcode::Empty);
    EXPECT_TRUE(isSentinel(parsed.command.param1, 1));
    EXPECT_TRUE(isSentinel(parsed.command.param2, 2));
    EXPECT_TRUE(isSentinel(parsed.command.param3, 3));
}

// The slots a parse writes: a number, or the offset of a text inside the line.
struct Slot {
    enum Kind { Unwritten, Number, Text } kind;
    int number = 0;
    std::size_t offset = 0;
};
constexpr Slot unwritten() {
    return {Slot::Unwritten};
}
constexpr Slot number(int value) {
    return {Slot::Number, value};
}
constexpr Slot text(std::size_t offset) {
    return {Slot::Text, 0, offset};
}

struct Decoding {
    const char* line;
    Opcode opcode;
    Slot param1, param2, param3;
};

void expectSlot(const Parsed& parsed, const CommandParam& param, const Slot& slot, int index) {
    switch (slot.kind) {
    case Slot::Unwritten:
        EXPECT_TRUE(isSentinel(param, index));
        break;
    case Slot::Number:
        EXPECT_FALSE(slotHoldsText(param));
        EXPECT_EQ(slotNumber(param), slot.number);
        break;
    case Slot::Text:
        EXPECT_TRUE(slotHoldsText(param));
        EXPECT_EQ(slotTextOrNull(param), parsed.buffer.data() + slot.offset);
        break;
    }
}

TEST(ParseLine, DecodesEachParameterKind) {
    const Decoding cases[] = {
        // Integer
        {"Delay 100", Opcode::Delay, number(100), unwritten(), unwritten()},
        {"delay 100", Opcode::Delay, number(100), unwritten(), unwritten()},
        {"DELAY 100", Opcode::Delay, number(100), unwritten(), unwritten()},
        {"dLy 100", Opcode::Delay, number(100), unwritten(), unwritten()},
        {"Delay ", Opcode::Delay, number(0), unwritten(), unwritten()},
        {"Delay abc", Opcode::Delay, number(0), unwritten(), unwritten()},
        {"Delay  100", Opcode::Delay, number(100), unwritten(), unwritten()},
        {"Delay -25ms", Opcode::Delay, number(-25), unwritten(), unwritten()},
        {"延时 300", Opcode::Delay, number(300), unwritten(), unwritten()},
        // TwoIntegers
        {"MoveTo 100 200", Opcode::MoveTo, number(100), number(200), unwritten()},
        {"MoveTo 100", Opcode::MoveTo, number(100), unwritten(), unwritten()},
        {"MoveTo 100,200", Opcode::MoveTo, number(100), unwritten(), unwritten()},
        {"MoveTo  100 200", Opcode::MoveTo, number(100), number(100), unwritten()},
        {"MoveTo 1\t2", Opcode::MoveTo, number(1), unwritten(), unwritten()},
        {"Start Color 5 6 7", Opcode::StartColor, number(5), number(6), unwritten()},
        // TwoIntegersAndText
        {"WaitColor 10 20 FF00FF", Opcode::WaitColor, number(10), number(20), text(16)},
        {"WaitColor 10 20", Opcode::WaitColor, number(10), number(20), unwritten()},
        {"WaitColor 10  20", Opcode::WaitColor, number(10), number(20), text(14)},
        {"WaitColor 10", Opcode::WaitColor, number(10), unwritten(), unwritten()},
        {"WCR 1 2 a b\r", Opcode::WaitColor, number(1), number(2), text(8)},
        {"Wait NotColor 1 2 3", Opcode::WaitNotColor, number(1), number(2), text(18)},
        // Text
        {"PutText  hello world \r", Opcode::PutText, text(8), unwritten(), unwritten()},
        {"*Comment: ", Opcode::Comment, text(10), unwritten(), unwritten()},
        {"Excute notepad.exe", Opcode::Excute, text(7), unwritten(), unwritten()},
        // None: param1 is 0 and no text, the rest is ignored
        {"LClick and more", Opcode::LClick, number(0), unwritten(), unwritten()},
        {"Remeber Mouse Position", Opcode::RememberMousePosition, number(0), unwritten(),
         unwritten()},
        // KeyCombination
        {"Break Key ctrl+esc", Opcode::BreakKey, text(10), unwritten(), unwritten()},
        {"hotkey alt+f4\r", Opcode::HotKey, text(7), unwritten(), unwritten()},
    };
    for (const Decoding& row : cases) {
        SCOPED_TRACE(row.line);
        Parsed parsed = parse(row.line);
        ASSERT_TRUE(parsed.ok);
        EXPECT_EQ(parsed.command.opcode, row.opcode);
        expectSlot(parsed, parsed.command.param1, row.param1, 1);
        expectSlot(parsed, parsed.command.param2, row.param2, 2);
        expectSlot(parsed, parsed.command.param3, row.param3, 3);
    }
}

TEST(ParseLine, KeyTextIsUpperCasedInPlace) {
    struct Case {
        const char* line;
        const char* after;
    } cases[] = {
        {"Break Key ctrl+esc", "Break Key CTRL+ESC"},
        {"break key ctrl+esc\r", "break key CTRL+ESC\r"}, // the name keeps its case
        {"pausekey Shift+f1", "pausekey SHIFT+F1"},
        {"Wait Key a", "Wait Key A"},
        {"kpd lwin", "kpd LWIN"},
        {"抬起 ctrl", "抬起 CTRL"},
        // Byte by byte: the second byte of a GBK character is folded too.
        {"结束热键 \xb0\x61z", "结束热键 \xb0\x41Z"},
        {"Push Up 123 {}", "Push Up 123 {}"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        Parsed parsed = parse(c.line);
        ASSERT_TRUE(parsed.ok);
        EXPECT_EQ(parsed.line, c.after);
    }
    // Other kinds keep the parameter as written.
    EXPECT_EQ(parse("PutText hello").line, "PutText hello");
}

TEST(ParseLine, FailedParseChangesNothing) {
    for (const char* line : {"Break Keyx ctrl+a", " break key ctrl+a", "hotkeys ctrl+a", "\r"}) {
        SCOPED_TRACE(line);
        Parsed parsed = parse(line);
        EXPECT_FALSE(parsed.ok);
        EXPECT_EQ(parsed.line, line);
        EXPECT_EQ(parsed.command.opcode, Unwritten);
        EXPECT_TRUE(isSentinel(parsed.command.param1, 1));
        EXPECT_TRUE(isSentinel(parsed.command.param2, 2));
        EXPECT_TRUE(isSentinel(parsed.command.param3, 3));
    }
}

TEST(MatchCommand, TestsOneRowInOneForm) {
    char startKey[] = "Start Key F1";
    Command command = sentinelCommand();
    // On its own, a later row matches whatever earlier rows would have taken.
    EXPECT_TRUE(matchCommand(startKey, 43, NameForm::English, command));
    EXPECT_EQ(command.opcode, Opcode::Start);
    EXPECT_FALSE(matchCommand(startKey, 43, NameForm::Chinese, command));
    EXPECT_FALSE(matchCommand(startKey, 43, NameForm::ShortCode, command));
    EXPECT_TRUE(matchCommand(startKey, 2, static_cast<NameForm>(9), command));
    EXPECT_EQ(command.opcode, Opcode::StartKey);
    EXPECT_STREQ(slotText(command.param1), "F1");

    char shortLine[] = "Dela";
    EXPECT_FALSE(matchCommand(shortLine, 12, NameForm::English, command));
    char longName[] = "Set Last Mouse Positio";
    EXPECT_FALSE(matchCommand(longName, 5, NameForm::English, command));
    char fullName[] = "set last mouse position";
    EXPECT_TRUE(matchCommand(fullName, 5, NameForm::English, command));
    EXPECT_EQ(command.opcode, Opcode::SetLastMousePosition);
    char later[] = "x Delay 5";
    EXPECT_FALSE(matchCommand(later, 12, NameForm::English, command));
    EXPECT_FALSE(matchCommand(fullName, -1, NameForm::English, command));
    EXPECT_FALSE(matchCommand(fullName, CommandTableRowCount, NameForm::English, command));

    char empty[] = "";
    Command blank = sentinelCommand();
    EXPECT_TRUE(matchCommand(empty, 17, NameForm::ShortCode, blank));
    EXPECT_EQ(blank.opcode, Opcode::Empty);
    EXPECT_TRUE(isSentinel(blank.param1, 1));
}

} // namespace
