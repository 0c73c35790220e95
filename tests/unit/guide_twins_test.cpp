// The English and the Chinese guide (docs/guide.md, docs/guide.zh.md) tell the
// same: the same headings at each level in the same order, the same pictures in
// the same order, and every command of the player's command table named in both.
//
// A picture of the Chinese guide is the English one's file, or that file's name
// with ".zh" before the extension (studio.png, studio.zh.png); the file is in
// docs/. The English guide names a command by any of its English names or short
// codes, as a whole word in the case of the table; the Chinese guide by its
// Chinese name where a code span or a line of a code block starts with it. At
// each place the longest name that fits counts, as the player reads a line
// (`开始热键 F9` names 开始热键, not 开始).

#include "script/command_table.h"
#include "studio_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string DocsDir = PLAYER_SOURCE_DIR "/docs/";

std::string readDoc(const std::string& name) {
    std::ifstream file(DocsDir + name, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

struct Line {
    std::string text;
    bool inCode = false; // a line of a fenced code block
};

std::vector<Line> linesOf(const std::string& text) {
    std::vector<Line> lines;
    std::istringstream stream(text);
    bool inCode = false;
    for (std::string line; std::getline(stream, line);) {
        if (line.starts_with("```")) {
            inCode = !inCode;
            continue;
        }
        lines.push_back({line, inCode});
    }
    return lines;
}

// "2 Keys" for "## Keys": the level, then the text.
std::vector<std::string> headingsOf(const std::string& text) {
    std::vector<std::string> headings;
    for (const Line& line : linesOf(text)) {
        if (line.inCode || !line.text.starts_with('#')) {
            continue;
        }
        const std::size_t level = line.text.find_first_not_of('#');
        if (level != std::string::npos && line.text[level] == ' ') {
            headings.push_back(std::to_string(level) + " " + line.text.substr(level + 1));
        }
    }
    return headings;
}

int levelOf(const std::string& heading) {
    return heading[0] - '0';
}

// The targets of ![alt](target), outside code blocks; the alt may run over lines.
std::vector<std::string> picturesOf(const std::string& text) {
    std::string prose;
    for (const Line& line : linesOf(text)) {
        if (!line.inCode) {
            prose += line.text + "\n";
        }
    }
    std::vector<std::string> pictures;
    for (std::size_t at = 0; (at = prose.find("![", at)) != std::string::npos;) {
        const std::size_t target = prose.find("](", at);
        const std::size_t end = target == std::string::npos ? target : prose.find(')', target);
        if (end == std::string::npos) {
            pictures.push_back("(unclosed picture)");
            break;
        }
        pictures.push_back(prose.substr(target + 2, end - target - 2));
        at = end;
    }
    return pictures;
}

// Whether `chinese` may stand for `english` in the Chinese guide.
bool isChinesePictureOf(const std::string& chinese, const std::string& english) {
    const std::size_t dot = english.rfind('.');
    return chinese == english || (dot != std::string::npos &&
                                  chinese == english.substr(0, dot) + ".zh" + english.substr(dot));
}

std::string trimmed(std::string name) {
    while (!name.empty() && name.back() == ' ') {
        name.pop_back();
    }
    return name;
}

bool isWordByte(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// The English names and short codes of each row, without their closing space.
std::vector<std::vector<std::string>> latinNames() {
    std::vector<std::vector<std::string>> names(CommandTableRowCount);
    for (int row = 0; row < CommandTableRowCount; ++row) {
        names[row] = {trimmed(CommandTable[row].englishName), trimmed(CommandTable[row].shortCode)};
    }
    return names;
}

// Every row that one of `names` (per row) names at some place of `text` where
// the place allows it (`at` says so), the longest fitting name at each place.
template <typename PlaceTest>
std::vector<bool> rowsNamed(const std::string& text,
                            const std::vector<std::vector<std::string>>& names, bool wholeWord,
                            PlaceTest at) {
    std::vector<bool> named(CommandTableRowCount, false);
    for (std::size_t place = 0; place < text.size(); ++place) {
        if (!at(place)) {
            continue;
        }
        std::string longest;
        for (const auto& rowNames : names) {
            for (const std::string& name : rowNames) {
                if (name.size() <= longest.size() || text.compare(place, name.size(), name) != 0) {
                    continue;
                }
                const std::size_t after = place + name.size();
                if (wholeWord && isWordByte(name.back()) && after < text.size() &&
                    isWordByte(text[after])) {
                    continue;
                }
                longest = name;
            }
        }
        for (int row = 0; row < CommandTableRowCount && !longest.empty(); ++row) {
            for (const std::string& name : names[row]) {
                named[row] = named[row] || name == longest;
            }
        }
    }
    return named;
}

std::vector<bool> rowsNamedInEnglish(const std::string& text) {
    return rowsNamed(text, latinNames(), true,
                     [&](std::size_t place) { return place == 0 || !isWordByte(text[place - 1]); });
}

// The rows the Chinese guide names where a code span or a line of a code block
// starts (a span does not run over a line end).
std::vector<bool> rowsNamedInChinese(const std::string& guide) {
    std::string text;
    std::vector<bool> starts;
    for (const Line& line : linesOf(guide)) {
        bool inSpan = false;
        bool spanOpened = false;
        for (std::size_t i = 0; i < line.text.size(); ++i) {
            text += line.text[i];
            starts.push_back((line.inCode && i == 0) || spanOpened);
            spanOpened = false;
            if (line.text[i] == '`' && !line.inCode) {
                spanOpened = !inSpan;
                inSpan = !inSpan;
            }
        }
        text += '\n';
        starts.push_back(false);
    }
    std::vector<std::vector<std::string>> names(CommandTableRowCount);
    for (int row = 0; row < CommandTableRowCount; ++row) {
        names[row] = {studio_test::toUtf8(trimmed(CommandTable[row].chineseName))};
    }
    return rowsNamed(text, names, false, [&](std::size_t place) { return starts[place]; });
}

std::string rowName(int row) {
    return studio_test::toUtf8(trimmed(CommandTable[row].chineseName)) + " (" +
           trimmed(CommandTable[row].englishName) + ")";
}

TEST(GuideTwins, TheSameHeadingsAtEachLevelInTheSameOrder) {
    const auto english = headingsOf(readDoc("guide.md"));
    const auto chinese = headingsOf(readDoc("guide.zh.md"));
    ASSERT_GT(english.size(), 10u);
    for (std::size_t i = 0; i < std::max(english.size(), chinese.size()); ++i) {
        ASSERT_LT(i, english.size()) << "the Chinese guide has more headings from " << chinese[i];
        ASSERT_LT(i, chinese.size()) << "the Chinese guide has no heading for " << english[i];
        EXPECT_EQ(levelOf(english[i]), levelOf(chinese[i]))
            << "heading " << i + 1 << ": " << english[i] << " | " << chinese[i];
    }
}

TEST(GuideTwins, TheSamePicturesInTheSameOrderAndEachOneIsThere) {
    const auto english = picturesOf(readDoc("guide.md"));
    const auto chinese = picturesOf(readDoc("guide.zh.md"));
    ASSERT_FALSE(english.empty());
    ASSERT_EQ(english.size(), chinese.size());
    for (std::size_t i = 0; i < english.size(); ++i) {
        EXPECT_TRUE(isChinesePictureOf(chinese[i], english[i]))
            << "picture " << i + 1 << ": " << english[i] << " | " << chinese[i];
        EXPECT_TRUE(std::filesystem::is_regular_file(DocsDir + english[i])) << english[i];
        EXPECT_TRUE(std::filesystem::is_regular_file(DocsDir + chinese[i])) << chinese[i];
    }
}

TEST(GuideTwins, ThePictureRuleTakesTheSameFileOrTheZhTwinOnly) {
    EXPECT_TRUE(isChinesePictureOf("studio.png", "studio.png"));
    EXPECT_TRUE(isChinesePictureOf("studio-debug.zh.png", "studio-debug.png"));
    EXPECT_FALSE(isChinesePictureOf("studio.zh.png", "spy.png"));
    EXPECT_FALSE(isChinesePictureOf("studio-zh.png", "studio.png"));
    EXPECT_FALSE(isChinesePictureOf("studio.png.zh", "studio.png"));
    EXPECT_EQ(
        picturesOf("![a\nb](one.png) `![x](no.png)`\n```\n![c](code.png)\n```\n![d](two.png)"),
        (std::vector<std::string>{"one.png", "no.png", "two.png"}));
}

TEST(GuideTwins, EveryCommandIsNamedInBothGuides) {
    const auto english = rowsNamedInEnglish(readDoc("guide.md"));
    const auto chinese = rowsNamedInChinese(readDoc("guide.zh.md"));
    for (int row = 0; row < CommandTableRowCount; ++row) {
        EXPECT_TRUE(english[row]) << "guide.md does not name " << rowName(row);
        EXPECT_TRUE(chinese[row]) << "guide.zh.md does not name " << rowName(row)
                                  << " at the start of a code span or code line";
    }
}

TEST(GuideTwins, ANameCountsOnlyAsTheLongestNameAtItsPlace) {
    // The literals here are GBK, the guides UTF-8.
    const auto utf8 = [](const char* gbk) { return studio_test::toUtf8(gbk); };
    const auto count = [](const std::vector<bool>& rows) {
        return std::count(rows.begin(), rows.end(), true);
    };
    // 开始热键 (Start Key) is named, 开始 (Start) is not; prose does not count.
    const auto chinese = rowsNamedInChinese(utf8("`开始热键 F9` 开始\n"));
    EXPECT_TRUE(chinese[2]);
    EXPECT_EQ(count(chinese), 1);
    EXPECT_EQ(count(rowsNamedInChinese(utf8("```\n  开始\n```\n"))), 0);
    // A code block line counts; so does a second span after a first one.
    EXPECT_TRUE(rowsNamedInChinese(utf8("```\n开始\n```\n"))[43]);
    EXPECT_TRUE(rowsNamedInChinese(utf8("`F9` and `结束`\n"))[44]);
    EXPECT_FALSE(rowsNamedInChinese(utf8("`F9 结束`\n"))[44]);
    // English: whole words in the table's case, the longest one at each place.
    const auto english = rowsNamedInEnglish("Start Key F9; Endless; end; LClicks");
    EXPECT_TRUE(english[2]);
    EXPECT_EQ(count(english), 1);
    EXPECT_TRUE(rowsNamedInEnglish("Top Class or TCL")[30]);
    EXPECT_TRUE(rowsNamedInEnglish("use PutChar")[15]);
    EXPECT_TRUE(rowsNamedInEnglish("use PutChar")[16]);
}

} // namespace
