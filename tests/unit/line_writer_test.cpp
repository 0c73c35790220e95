// Writing script lines: every command in every name form parses back to what was
// written, and texts a line cannot carry are refused with a reason.

#include "platform/platform.h"
#include "script/command.h"
#include "script/line_writer.h"
#include "script/parser.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr NameForm AllForms[] = {NameForm::Chinese, NameForm::English, NameForm::ShortCode};

struct Parsed {
    bool ok = false;
    Opcode opcode = Opcode::Empty;
    std::int32_t numbers[3] = {};
    std::string texts[3];
    bool isText[3] = {};
};

Parsed parse(const std::string& line) {
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back('\0');
    Command command;
    Parsed result;
    result.ok = parseLine(buffer.data(), command);
    result.opcode = command.opcode;
    const CommandParam* slots[3] = {&command.param1, &command.param2, &command.param3};
    for (int i = 0; i < 3; ++i) {
        result.numbers[i] = slotNumber(*slots[i]);
        result.isText[i] = slotHoldsText(*slots[i]);
        result.texts[i] = slotText(*slots[i]);
    }
    return result;
}

// Values that stress each kind: the limits of the numbers, texts with leading,
// inner and trailing spaces, digits first, GBK bytes, lower-case key texts.
const std::int32_t Numbers[] = {0, 7, -1, 1920, INT32_MAX, INT32_MIN};
const char* const Texts[] = {"",
                             "notepad.exe",
                             " leading",
                             "two  inner spaces ",
                             "12 OK",
                             "\xBC\xC7\xCA\xC2\xB1\xBE", // 记事本
                             "Start Key F5",
                             "ctrl+alt+f5"};

std::string upper(std::string text) {
    for (char& byte : text) {
        if (byte >= 'a' && byte <= 'z') {
            byte = static_cast<char>(byte - 0x20);
        }
    }
    return text;
}

TEST(LineWriter, EveryRowInEveryFormParsesBackToTheSameCommand) {
    int written = 0;
    for (int row = 0; row < CommandTableRowCount; ++row) {
        const CommandSpec& entry = CommandTable[row];
        const int writer = writerRow(entry.opcode);
        ASSERT_GE(writer, 0);
        ASSERT_LE(writer, row);
        EXPECT_EQ(CommandTable[writer].paramKind, entry.paramKind) << row;
        for (NameForm form : AllForms) {
            std::vector<LineValues> cases;
            for (std::int32_t first : Numbers) {
                for (const char* text : Texts) {
                    cases.push_back({first, Numbers[(written + cases.size()) % 6], text});
                }
            }
            for (const LineValues& values : cases) {
                WrittenLine line = writeLine(entry.opcode, form, values);
                ASSERT_TRUE(line.ok) << row << ": " << line.reason;
                ++written;
                // The name of the chosen form, then the values.
                const char* name = commandName(form, writer);
                ASSERT_EQ(line.line.compare(0, std::strlen(name), name), 0) << line.line;
                Parsed back = parse(line.line);
                ASSERT_TRUE(back.ok) << line.line;
                ASSERT_EQ(back.opcode, entry.opcode) << line.line;
                switch (entry.paramKind) {
                case ParamKind::None:
                    EXPECT_EQ(line.line, name);
                    break;
                case ParamKind::Integer:
                    EXPECT_EQ(back.numbers[0], values.first) << line.line;
                    break;
                case ParamKind::TwoIntegers:
                    EXPECT_EQ(back.numbers[0], values.first) << line.line;
                    EXPECT_EQ(back.numbers[1], values.second) << line.line;
                    break;
                case ParamKind::TwoIntegersAndText:
                    EXPECT_EQ(back.numbers[0], values.first) << line.line;
                    EXPECT_EQ(back.numbers[1], values.second) << line.line;
                    EXPECT_TRUE(back.isText[2]) << line.line;
                    EXPECT_EQ(back.texts[2], values.text) << line.line;
                    break;
                case ParamKind::Text:
                    EXPECT_EQ(back.texts[0], values.text) << line.line;
                    break;
                case ParamKind::KeyCombination:
                    EXPECT_EQ(back.texts[0], upper(std::string(values.text))) << line.line;
                    break;
                }
            }
        }
    }
    EXPECT_GT(written, 46 * 3 * 40);
}

TEST(LineWriter, LinesAsAScriptWritesThem) {
    EXPECT_EQ(writeLine(Opcode::MoveTo, NameForm::English, 961, 541).line, "MoveTo 961 541");
    EXPECT_EQ(writeLine(Opcode::MoveTo, NameForm::ShortCode, -3, 0).line, "MMT -3 0");
    EXPECT_EQ(writeLine(Opcode::WaitColor, NameForm::ShortCode, 10, 20, "FF00FF").line,
              "WCR 10 20 FF00FF");
    EXPECT_EQ(writeLine(Opcode::WaitNotColor, NameForm::Chinese, 1, 2, "000000").line,
              "取点颜色不等则继续 1 2 000000");
    EXPECT_EQ(writeLine(Opcode::ClickButtonText, NameForm::English, "1001 OK").line,
              "Click ButtonText 1001 OK");
    EXPECT_EQ(writeLine(Opcode::WaitKey, NameForm::English, "ctrl+f5").line, "Wait Key CTRL+F5");
    EXPECT_EQ(writeLine(Opcode::Delay, NameForm::Chinese, 500).line, "延时 500");
    EXPECT_EQ(writeLine(Opcode::ShowTrayIcon, NameForm::Chinese).line, "运行时显示托盘图标 ");
    EXPECT_EQ(writeLine(Opcode::Start, NameForm::English).line, "Start");
    EXPECT_EQ(writeLine(Opcode::TopCaption, NameForm::English, "").line, "Top Caption ");

    EXPECT_EQ(commandWord(Opcode::WaitColor, NameForm::English), "WaitColor");
    EXPECT_EQ(commandWord(Opcode::PutChar, NameForm::Chinese), "输出字符");
    EXPECT_EQ(commandWord(Opcode::ShowTrayIcon, NameForm::English), "ShowTaryIcon");
    EXPECT_EQ(commandWord(static_cast<Opcode>(15), NameForm::English), "");
}

TEST(LineWriter, RefusesWhatALineCannotCarry) {
    struct Case {
        WrittenLine line;
        const char* reasonPart;
    };
    using namespace std::string_view_literals;
    const Case cases[] = {
        {writeLine(Opcode::WaitCaption, NameForm::English, "two\nlines"), "line feed"},
        {writeLine(Opcode::TopCaption, NameForm::English, "ends in\r"), "carriage return"},
        {writeLine(Opcode::WaitColor, NameForm::English, 1, 2, "FF\n0000"), "line feed"},
        {writeLine(Opcode::WaitProcess, NameForm::English, "a\0b"sv), "NUL"},
        {writeLine(Opcode::Empty, NameForm::English), "no command"},
        {writeLine(static_cast<Opcode>(16), NameForm::English), "no command"},
        {writeLine(Opcode::Delay, NameForm::English, "500"), "takes one number"},
        {writeLine(Opcode::WaitCaption, NameForm::English, 5), "takes a text"},
        {writeLine(Opcode::MoveTo, NameForm::English, 5), "takes two numbers"},
        {writeLine(Opcode::LClick, NameForm::English, 1, 2), "takes no parameters"},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(c.line.ok) << c.line.line;
        EXPECT_TRUE(c.line.line.empty()) << c.line.line;
        EXPECT_NE(c.line.reason.find(c.reasonPart), std::string::npos) << c.line.reason;
    }
}

TEST(LineWriter, UnicodeTextsGbkCannotHoldAreRefused) {
    GbkText ascii = gbkFromUtf16(u"Notepad 1", platform::utf16CharacterToGbk);
    EXPECT_TRUE(ascii.ok);
    EXPECT_EQ(ascii.bytes, "Notepad 1");

    // The fake platform has no GBK table: any non-ASCII character stands for one
    // GBK lacks.
    GbkText hangul = gbkFromUtf16(u"ab\uD55C", platform::utf16CharacterToGbk);
    EXPECT_FALSE(hangul.ok);
    EXPECT_TRUE(hangul.bytes.empty());
    EXPECT_NE(hangul.reason.find("U+D55C at position 3"), std::string::npos) << hangul.reason;

    GbkText pair = gbkFromUtf16(u"\U0001F600", platform::utf16CharacterToGbk);
    EXPECT_NE(pair.reason.find("U+1F600 at position 1"), std::string::npos) << pair.reason;

    const char16_t lone[] = {u'a', 0xD800, u'b', 0};
    GbkText broken = gbkFromUtf16(lone, platform::utf16CharacterToGbk);
    EXPECT_FALSE(broken.ok);
    EXPECT_NE(broken.reason.find("U+D800"), std::string::npos) << broken.reason;
}

} // namespace
