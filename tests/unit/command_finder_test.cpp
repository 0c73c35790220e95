// The command list: each command of the table once, found by any part of any
// of its names as the user types, and inserted so that the line it starts is
// that command. Chinese literals are GBK, as the table's names.

#include "command_finder.h"
#include "pack_checks.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

std::vector<int> rowsFound(std::string_view typed) {
    std::vector<int> rows;
    for (const FoundCommand& found : findCommands(typed)) {
        rows.push_back(found.row);
    }
    return rows;
}

TEST(StudioCommandFinder, EveryCommandIsListedOnceWithItsOtherNames) {
    std::set<Opcode> opcodes;
    for (const CommandSpec& command : CommandTable) {
        opcodes.insert(command.opcode);
    }
    const std::vector<FoundCommand> all = findCommands("");
    ASSERT_EQ(all.size(), opcodes.size());
    std::set<Opcode> listed;
    std::vector<int> rowsCovered(CommandTableRowCount, 0);
    for (const FoundCommand& found : all) {
        EXPECT_TRUE(listed.insert(CommandTable[found.row].opcode).second) << found.row;
        for (int row : rowsOfCommand(found.row)) {
            ++rowsCovered[row];
        }
    }
    EXPECT_EQ(rowsCovered, std::vector<int>(CommandTableRowCount, 1));
    EXPECT_EQ(commandMainRows(), rowsFound(""));

    // The rows the table holds twice, and what their help shows beside the main names.
    EXPECT_EQ(rowsOfCommand(16), (std::vector<int>{15, 16}));
    EXPECT_EQ(otherCommandNames(15), "输出字母");
    EXPECT_EQ(otherCommandNames(19), "执行命令");
    EXPECT_EQ(otherCommandNames(23), "判断颜色相同则继续 | Wait Color");
    EXPECT_EQ(otherCommandNames(24), "判断颜色不同则继续 | Wait NotColor");
    EXPECT_EQ(otherCommandNames(6), "");
}

TEST(StudioCommandFinder, TypingFindsByAnyPartOfAnyNameBestFirst) {
    const struct {
        const char* typed;
        std::vector<int> rows;
    } cases[] = {
        {"Top", {31, 30, 37}}, // Top Caption, Top Class, then WindowLeftTop; not PauseKey
        {"tOP c", {31, 30}},
        {"激活窗口标题", {31}},
        {"窗口", {37, 31, 30, 36}}, // alike matches in GBK order, which is pinyin order
        {"颜色", {21, 24, 23}},
        {"loop", {45, 1}},
        {"  Delay", {12}},
        {"caption", {31, 20}},    // at a word of Top Caption and Wait Caption
        {"button", {33, 35, 34}}, // Click ButtonText, Wait ButtonEnable, Wait ButtonText
        {"xyz", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(rowsFound(c.typed), c.rows) << c.typed;
    }
    // An exact name comes first, by any form and any row of its command.
    const struct {
        const char* typed;
        int row;
        int matchedRow;
        NameForm form;
    } exact[] = {
        {"end", 44, 44, NameForm::English},        {"输出字母", 15, 16, NameForm::Chinese},
        {"wait color", 23, 25, NameForm::English}, {"wcr", 23, 23, NameForm::ShortCode},
        {"rem", 39, 39, NameForm::English},
    };
    for (const auto& e : exact) {
        const std::vector<FoundCommand> found = findCommands(e.typed);
        ASSERT_FALSE(found.empty()) << e.typed;
        EXPECT_EQ(found[0].row, e.row) << e.typed;
        EXPECT_EQ(found[0].matchedRow, e.matchedRow) << e.typed;
        EXPECT_EQ(found[0].form, e.form) << e.typed;
        EXPECT_EQ(found[0].kind, MatchKind::Exact) << e.typed;
    }
    // 按 (B0 B4) also stands across two characters of 指针移至相对当前窗口
    // (前窗 = C7 B0 B4 B0): only whole characters match.
    const std::vector<int> press = rowsFound("按");
    EXPECT_EQ(std::set<int>(press.begin(), press.end()), (std::set<int>{22, 27, 33, 34, 35}));
}

// Every command in every form, inserted and given its parameters, is a line
// the packer reads as that command; the status line shows its parameters.
TEST(StudioCommandFinder, AnInsertedNameStartsALineOfThatCommand) {
    for (int row : commandMainRows()) {
        for (NameForm form : {NameForm::English, NameForm::Chinese, NameForm::ShortCode}) {
            const CommandInsertion insertion = commandInsertion(row, form, UiLanguage::English);
            ASSERT_EQ(insertion.cursor, insertion.text.size()) << row;
            std::string line = insertion.text;
            switch (CommandTable[row].paramKind) {
            case ParamKind::Integer:
                line += "100";
                break;
            case ParamKind::TwoIntegers:
                line += "10 20";
                break;
            case ParamKind::TwoIntegersAndText:
                line += "10 20 FF00FF";
                break;
            case ParamKind::Text:
                line += "notepad";
                break;
            case ParamKind::KeyCombination:
                line += "F12";
                break;
            default:
                break;
            }
            const LineParse parse = parseScriptLine(line);
            EXPECT_TRUE(parse.matched) << line;
            EXPECT_EQ(parse.opcode, CommandTable[row].opcode) << line;
            EXPECT_EQ(insertion.takesParameters, line != insertion.text) << line;
        }
    }
    const CommandInsertion delay = commandInsertion(12, NameForm::Chinese, UiLanguage::Chinese);
    EXPECT_EQ(delay.text, "延时 ");
    EXPECT_EQ(delay.cursor, 5u);
    EXPECT_EQ(delay.hint, "延时 数字");
    const CommandInsertion click = commandInsertion(6, NameForm::English, UiLanguage::English);
    EXPECT_EQ(click.text, "LClick");
    EXPECT_FALSE(click.takesParameters);
    EXPECT_EQ(click.hint, "LClick");
}

} // namespace
