#include "script/command_table.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

namespace {

// Per row: the GBK byte length of the Chinese name and which names end in a space.
struct RowFacts {
    int gbkBytes;
    bool chineseSpace, englishSpace, shortSpace;
};

constexpr bool A = true, N = false;
const RowFacts Facts[CommandTableRowCount] = {
    {9, A, A, A},  {9, A, A, A},  {9, A, A, A},  {9, A, A, A},  {16, N, N, N}, {16, N, N, N},
    {8, N, N, N},  {8, N, N, N},  {8, N, N, N},  {8, N, N, N},  {9, A, A, A},  {15, A, A, A},
    {5, A, A, A},  {9, A, A, A},  {17, A, A, A}, {9, A, A, A},  {9, A, A, A},  {9, A, A, A},
    {5, A, A, A},  {9, A, A, A},  {15, A, A, A}, {15, A, A, A}, {15, A, A, A}, {19, A, A, A},
    {19, A, A, A}, {19, A, A, A}, {19, A, A, A}, {5, A, A, A},  {5, A, A, A},  {15, A, A, A},
    {11, A, A, A}, {13, A, A, A}, {13, A, A, A}, {19, A, A, A}, {19, A, A, A}, {15, A, A, A},
    {21, A, A, A}, {17, A, A, A}, {19, A, N, N}, {5, A, A, A},  {7, A, A, A},  {7, A, A, A},
    {12, N, N, N}, {4, N, N, N},  {4, N, N, N},  {4, N, N, N},
};

bool endsInSpace(const char* name) {
    std::size_t length = std::strlen(name);
    return length > 0 && name[length - 1] == ' ';
}

TEST(CommandTable, ChineseNamesHaveTheirGbkLengthAndSpaces) {
    for (int row = 0; row < CommandTableRowCount; ++row) {
        SCOPED_TRACE(row);
        const CommandSpec& entry = CommandTable[row];
        EXPECT_EQ(std::strlen(entry.chineseName), static_cast<std::size_t>(Facts[row].gbkBytes));
        EXPECT_EQ(endsInSpace(entry.chineseName), Facts[row].chineseSpace);
        EXPECT_EQ(endsInSpace(entry.englishName), Facts[row].englishSpace);
        EXPECT_EQ(endsInSpace(entry.shortCode), Facts[row].shortSpace);
        // Chinese names hold no ASCII letter, so folding never changes them.
        for (const char* byte = entry.chineseName; *byte != '\0'; ++byte) {
            EXPECT_FALSE((*byte >= 'A' && *byte <= 'Z') || (*byte >= 'a' && *byte <= 'z'));
        }
    }
}

TEST(CommandTable, NamesAreStoredAsGbkBytes) {
    EXPECT_STREQ(CommandTable[0].chineseName, "\xbd\xe1\xca\xf8\xc8\xc8\xbc\xfc\x20");
    // The parentheses, asterisk and colon are ASCII.
    EXPECT_STREQ(CommandTable[14].chineseName,
                 "\xca\xe4\xb3\xf6\xce\xc4\xd7\xd6(\xbc\xf4\xcc\xf9\xb0\xe5) ");
    EXPECT_STREQ(CommandTable[40].chineseName, "*\xcb\xb5\xc3\xf7: ");
}

TEST(CommandTable, OpcodesAndSharedNames) {
    std::set<int> opcodes;
    for (const CommandSpec& entry : CommandTable) {
        const int opcode = static_cast<int>(entry.opcode);
        EXPECT_GE(opcode, 1);
        EXPECT_LE(opcode, 47);
        opcodes.insert(opcode);
    }
    for (int unused : {15, 16, 24, 25, 28}) {
        EXPECT_EQ(opcodes.count(unused), 0u) << unused;
    }
    EXPECT_EQ(opcodes.size(), 47u - 5u);
    // Pairs of rows that share a name agree in kind and opcode.
    for (auto [first, second] : {std::pair{15, 16}, {18, 19}, {23, 25}, {24, 26}}) {
        EXPECT_EQ(CommandTable[first].opcode, CommandTable[second].opcode);
        EXPECT_EQ(CommandTable[first].paramKind, CommandTable[second].paramKind);
        EXPECT_STREQ(CommandTable[first].shortCode, CommandTable[second].shortCode);
    }
}

TEST(CommandTable, CommandNamePicksTheForm) {
    EXPECT_STREQ(commandName(NameForm::Chinese, 12), "延时 ");
    EXPECT_STREQ(commandName(NameForm::English, 12), "Delay ");
    EXPECT_STREQ(commandName(NameForm::ShortCode, 12), "DLY ");
    EXPECT_STREQ(commandName(static_cast<NameForm>(3), 12), "Delay ");
    EXPECT_STREQ(commandName(static_cast<NameForm>(-1), 45), "Loop");
    EXPECT_STREQ(commandName(NameForm::English, -1), "");
    EXPECT_STREQ(commandName(NameForm::English, CommandTableRowCount), "");
}

} // namespace
