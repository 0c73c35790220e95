#include "runner/run_state.h"
#include "script/parser.h"
#include "script/script.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

std::vector<std::string> linesOf(const Script& script) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < script.lines.size(); ++i) {
        lines.emplace_back(script.lines[i].c_str(), script.lines[i].size());
    }
    return lines;
}

TEST(SplitLines, SplitsAtLineFeedsAndDropsEmptyLines) {
    struct Case {
        std::string text;
        std::vector<std::string> lines;
    } cases[] = {
        {"X\r\n\r\nY\n\nZ", {"X\r", "\r", "Y", "Z"}},
        {"", {}},
        {"\n\n\n", {}},
        {"a\nb", {"a", "b"}},
        {"a\nb\n", {"a", "b"}},
        {"\n\na\n\n\nb\n\n", {"a", "b"}},
        {"Start\r\nDelay 5\r\nEnd\r\n", {"Start\r", "Delay 5\r", "End\r"}},
        {std::string("a\nb\0c\nd", 7), {"a", "b"}},
        {std::string("\0a\nb", 4), {}},
        {"  lead and trail \t\n   \n", {"  lead and trail \t", "   "}},
        {"\r", {"\r"}},
        {"\xbf\xaa\xca\xbc\n\xbd\xe1\xca\xf8", {"\xbf\xaa\xca\xbc", "\xbd\xe1\xca\xf8"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Script script;
        script.splitLines(c.text.c_str());
        EXPECT_EQ(linesOf(script), c.lines);
        EXPECT_EQ(script.lineCount, static_cast<std::int32_t>(c.lines.size()));
        EXPECT_NE(script.commands, nullptr);
    }
}

TEST(SplitLines, CommandsStartZeroed) {
    Script script;
    script.splitLines("Delay 5\nMoveTo 100\nLClick\nWaitColor 1\n");
    ASSERT_EQ(script.lineCount, 4);
    for (int i = 0; i < script.lineCount; ++i) {
        const Command& command = script.commands[i];
        EXPECT_EQ(command.opcode, Opcode::Empty);
        for (const CommandParam* param : {&command.param1, &command.param2, &command.param3}) {
            EXPECT_FALSE(slotHoldsText(*param));
            EXPECT_EQ(slotNumber(*param), 0);
        }
    }
    // Slots a parse leaves alone read as 0 and as the empty text.
    ASSERT_TRUE(parseLine(script.lines[1].data(), script.commands[1]));
    EXPECT_EQ(slotNumber(script.commands[1].param1), 100);
    EXPECT_EQ(slotNumber(script.commands[1].param2), 0);
    ASSERT_TRUE(parseLine(script.lines[3].data(), script.commands[3]));
    EXPECT_STREQ(slotText(script.commands[3].param3), "");
}

TEST(SplitLines, LinesAreSlicesOfOneCopyThatTheCompilePassWritesInto) {
    const std::string text = "Break Key ctrl+q\n\nPutText keep me\r\nWait Key f5";
    Script script;
    script.splitLines(text.c_str());
    ASSERT_EQ(script.lineCount, 3);
    // One buffer: each line ends in a NUL where its line feed was, and the
    // dropped empty line leaves its NUL between the first two lines.
    EXPECT_EQ(script.lines[1].data(), script.lines[0].data() + script.lines[0].size() + 2);
    EXPECT_EQ(script.lines[2].data(), script.lines[1].data() + script.lines[1].size() + 1);
    for (int i = 0; i < script.lineCount; ++i) {
        EXPECT_EQ(script.lines[i].c_str()[script.lines[i].size()], '\0');
    }
    script.compile();
    // The key texts were upper-cased in the script's copy, and the slots point there.
    EXPECT_STREQ(script.lines[0].c_str(), "Break Key CTRL+Q");
    EXPECT_EQ(slotTextOrNull(script.commands[0].param1), script.lines[0].data() + 10);
    EXPECT_STREQ(script.lines[1].c_str(), "PutText keep me\r");
    EXPECT_STREQ(script.lines[2].c_str(), "Wait Key F5");
    EXPECT_EQ(runState.breakKey, "CTRL+Q");
    EXPECT_EQ(text, "Break Key ctrl+q\n\nPutText keep me\r\nWait Key f5");
    resetRunState();
}

TEST(CommandSlot, WritingOneSideClearsTheOther) {
    char text[] = "abc";
    CommandParam slot{};
    EXPECT_FALSE(slotHoldsText(slot));
    EXPECT_EQ(slotTextOrNull(slot), nullptr);
    setSlotNumber(slot, -123456789);
    EXPECT_EQ(slotNumber(slot), -123456789);
    setSlotText(slot, text);
    EXPECT_TRUE(slotHoldsText(slot));
    EXPECT_EQ(slotTextOrNull(slot), text);
    EXPECT_EQ(slotNumber(slot), 0);
    setSlotNumber(slot, INT32_MIN);
    EXPECT_FALSE(slotHoldsText(slot));
    EXPECT_EQ(slotTextOrNull(slot), nullptr);
    EXPECT_STREQ(slotText(slot), "");
    EXPECT_EQ(slotNumber(slot), INT32_MIN);
    // A copied command holds the same values.
    Command command;
    setSlotText(command.param3, text + 1);
    setSlotNumber(command.param2, 7);
    const Command copy = command;
    EXPECT_EQ(slotTextOrNull(copy.param3), text + 1);
    EXPECT_EQ(slotNumber(copy.param2), 7);
    EXPECT_FALSE(slotHoldsText(copy.param1));
}

TEST(SplitLines, LinesAreCopies) {
    std::string text = "Delay 5\nREM note";
    Script script;
    script.splitLines(text.c_str());
    text.assign(text.size(), 'x');
    EXPECT_EQ(linesOf(script), (std::vector<std::string>{"Delay 5", "REM note"}));
}

// The lines of `text` as a plain split gives them: up to the first NUL, at
// line feeds, empty lines dropped.
std::vector<std::string> plainSplit(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (char byte : text.substr(0, text.find('\0'))) {
        if (byte != '\n') {
            line += byte;
        } else if (!line.empty()) {
            lines.push_back(line);
            line.clear();
        }
    }
    if (!line.empty()) {
        lines.push_back(line);
    }
    return lines;
}

// The split reads eight bytes at a time: texts of every length up to a few
// words, with feeds, runs of feeds and other bytes at every position, give
// the lines of a plain split, copied or taken over.
TEST(SplitLines, GivesThePlainSplitAtEveryPositionInAWord) {
    const char alphabet[] = {'\n', '\n', 'a', 'Z', '\r', ' ', '\xbf', '\v', '\x8a'};
    std::uint32_t seed = 12345;
    const auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return seed >> 16;
    };
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        const std::size_t length = next() % 40;
        for (std::size_t i = 0; i < length; ++i) {
            text += alphabet[next() % sizeof alphabet];
        }
        if (round % 10 == 0 && !text.empty()) {
            text[next() % text.size()] = '\0'; // the script ends there
        }
        SCOPED_TRACE(::testing::PrintToString(text));
        const std::vector<std::string> expected = plainSplit(text);
        const std::size_t visible = std::strlen(text.c_str());
        const TextShape shape = shapeOfText(text.c_str(), text.size());
        EXPECT_EQ(shape.length, visible);
        EXPECT_EQ(shape.keptLines, expected.size());
        Script copied;
        copied.splitLines(text.c_str());
        EXPECT_EQ(linesOf(copied), expected);
        auto owned = std::make_unique<char[]>(text.size() + 1);
        std::memcpy(owned.get(), text.c_str(), text.size() + 1);
        Script taken;
        taken.splitOwnedLines(std::move(owned), text.size());
        EXPECT_EQ(linesOf(taken), expected);
        EXPECT_EQ(taken.lineCount, static_cast<std::int32_t>(expected.size()));
    }
}

TEST(SplitLines, TakesOverTheGivenTextAndSplitsItInPlace) {
    const char text[] = "Break Key ctrl+q\n\nDelay 5\r\nEnd\0LClick";
    auto owned = std::make_unique<char[]>(sizeof text);
    std::memcpy(owned.get(), text, sizeof text);
    char* const bytes = owned.get();
    Script script;
    script.splitOwnedLines(std::move(owned), sizeof text - 1);
    ASSERT_EQ(script.lineCount, 3);
    EXPECT_EQ(script.lines[0].data(), bytes);
    EXPECT_EQ(script.lines[1].data(), bytes + 18);
    EXPECT_EQ(script.lines[2].data(), bytes + 27);
    EXPECT_EQ(linesOf(script), (std::vector<std::string>{"Break Key ctrl+q", "Delay 5\r", "End"}));
    script.compile();
    EXPECT_STREQ(bytes, "Break Key CTRL+Q");
    EXPECT_EQ(runState.breakKey, "CTRL+Q");
    resetRunState();

    Script none;
    none.splitOwnedLines(nullptr, 0);
    EXPECT_EQ(none.lineCount, 0);
    EXPECT_NE(none.commands, nullptr);
}

TEST(SplitLines, NullTextGivesNoLines) {
    Script script;
    script.splitLines(nullptr);
    EXPECT_EQ(script.lineCount, 0);
    EXPECT_TRUE(script.lines.empty());
}

TEST(Script, ConstructionResetsBreakAndPauseKeys) {
    resetRunState();
    runState.breakKey = ByteString("F12");
    runState.pauseKey = ByteString("CTRL+P");
    Script script;
    EXPECT_TRUE(runState.breakKey == "ESC");
    EXPECT_TRUE(runState.pauseKey.empty());
    EXPECT_EQ(script.lineCount, 0);
    EXPECT_TRUE(script.commentText.empty());
    resetRunState();
}

} // namespace
