// The studio's command help: the English texts are docs/commands.md's command
// table row by row, the Chinese ones docs/commands.zh.md's; completion and the
// parameter hint. Chinese literals are GBK.

#include "studio_help.h"
#include "studio_test_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

using studio_test::toUtf8;

std::string trimmed(std::string text) {
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    return text;
}

// The cells of each row of the command table of a document in docs/ (UTF-8),
// the table whose header row starts with `header` (UTF-8).
std::vector<std::vector<std::string>>
docsCommandRows(const char* document = "commands.md",
                const std::string& header = "| Chinese | English | Code |") {
    std::ifstream file(std::string(PLAYER_SOURCE_DIR "/docs/") + document);
    std::vector<std::vector<std::string>> rows;
    bool inTable = false;
    for (std::string line; std::getline(file, line);) {
        if (line.starts_with(header)) {
            inTable = true;
            continue;
        }
        if (!inTable || line.starts_with("|---")) {
            continue;
        }
        if (!line.starts_with("| ")) {
            break;
        }
        std::vector<std::string> cells;
        std::string rest = line.substr(2, line.size() - 4); // without "| " and " |"
        for (std::size_t bar; (bar = rest.find(" | ")) != std::string::npos;) {
            cells.push_back(rest.substr(0, bar));
            rest = rest.substr(bar + 3);
        }
        cells.push_back(rest);
        rows.push_back(cells);
    }
    return rows;
}

TEST(StudioHelp, EveryRowIsTheSameAsInTheCommandsDocument) {
    const auto rows = docsCommandRows();
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(CommandTableRowCount));
    for (int row = 0; row < CommandTableRowCount; ++row) {
        const std::vector<std::string>& cells = rows[row];
        ASSERT_EQ(cells.size(), 6u) << "row " << row;
        const CommandHelp& help = commandHelp(row);
        EXPECT_EQ(toUtf8(trimmed(CommandTable[row].chineseName)), cells[0]) << row;
        EXPECT_EQ(trimmed(CommandTable[row].englishName), cells[1]) << row;
        EXPECT_EQ(trimmed(CommandTable[row].shortCode), cells[2]) << row;
        EXPECT_EQ(toUtf8(help.parameters[0]), cells[4]) << row;
        EXPECT_EQ(toUtf8(help.description[0]), cells[5]) << row;
        // The Chinese texts are there and are GBK.
        EXPECT_FALSE(toUtf8(help.parameters[1]).empty()) << row;
        EXPECT_GT(toUtf8(help.description[1]).size(), 8u) << row;
    }
}

TEST(StudioHelp, EveryRowIsTheSameAsInTheChineseCommandsDocument) {
    const auto rows = docsCommandRows("commands.zh.md", toUtf8("| 中文名 | 英文名 | 简写 |"));
    const auto english = docsCommandRows();
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(CommandTableRowCount));
    ASSERT_EQ(english.size(), rows.size());
    for (int row = 0; row < CommandTableRowCount; ++row) {
        const std::vector<std::string>& cells = rows[row];
        ASSERT_EQ(cells.size(), 6u) << "row " << row;
        const CommandHelp& help = commandHelp(row);
        EXPECT_EQ(toUtf8(trimmed(CommandTable[row].chineseName)), cells[0]) << row;
        EXPECT_EQ(trimmed(CommandTable[row].englishName), cells[1]) << row;
        EXPECT_EQ(trimmed(CommandTable[row].shortCode), cells[2]) << row;
        // The space column says the same in both documents.
        EXPECT_EQ(english[row][3] == "yes", cells[3] == toUtf8("是")) << row;
        EXPECT_EQ(english[row][3] == "no", cells[3] == toUtf8("否")) << row;
        EXPECT_EQ(toUtf8(help.parameters[1]), cells[4]) << row;
        EXPECT_EQ(toUtf8(help.description[1]), cells[5]) << row;
    }
}

TEST(StudioHelp, CompletionFindsEachRowOnceInTableOrder) {
    struct Case {
        std::string typed;
        std::vector<int> rows;
    };
    const Case cases[] = {
        {"mo", {10, 11, 36}},        // MoveTo, MoveToClick, MoveToRelWin
        {"MoveToC", {11}},           // English in any case
        {"st", {2, 21, 38, 42, 43}}, // Start Key, Start Color, STI, Start No Box, Start
        {"kp", {13, 15, 16, 27, 28}},
        {"指针", {10, 11, 36}},
        {"输出", {13, 14, 15, 16, 17}},
        {"Break Key ", {0}},
        {"Break Key F", {}},
        {"xyz", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(completeCommand(c.typed), c.rows) << c.typed;
    }
    EXPECT_EQ(completeCommand("").size(), static_cast<std::size_t>(CommandTableRowCount));
}

TEST(StudioHelp, TheHintNamesTheCommandOfTheLineInItsForm) {
    struct Case {
        const char* line;
        UiLanguage language;
        const char* hint; // empty: no command
    };
    const Case cases[] = {
        {"MoveTo 1 2", UiLanguage::English, "MoveTo x y"},
        {"mmt 1", UiLanguage::English, "MMT x y"},
        {"指针移至 1 2", UiLanguage::Chinese, "指针移至 x y"},
        {"MoveTo", UiLanguage::English, "MoveTo x y"}, // the space not typed yet
        {"MLC", UiLanguage::Chinese, "MLC"},
        {"If Key F5 a", UiLanguage::Chinese, "If Key 按键、空格、参数"},
        {"运行 notepad", UiLanguage::English, "运行 program and parameters"},
        {"Bogus", UiLanguage::English, ""},
        {"", UiLanguage::English, ""},
    };
    for (const Case& c : cases) {
        NameForm form = NameForm::English;
        const int row = commandRowOfLine(c.line, form);
        EXPECT_EQ(row < 0 ? "" : parameterHint(row, form, c.language), c.hint) << c.line;
    }
}

} // namespace
