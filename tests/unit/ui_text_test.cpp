// The tools' texts: the language a tool speaks, filling in arguments, the
// table's rows in both languages, and the packer's checks in Chinese.

#include "pack_checks.h"
#include "pack_options.h"
#include "pack_text.h"
#include "ui_text.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

TEST(UiText, TheOptionChoosesElseTheUsersUiLanguage) {
    // Chinese (PRC), Taiwan, Hong Kong, Singapore: the primary language is Chinese.
    for (unsigned short chinese : {0x0804, 0x0404, 0x0C04, 0x1004, 0x7C04}) {
        EXPECT_EQ(chooseUiLanguage("", chinese), UiLanguage::Chinese) << chinese;
        EXPECT_EQ(chooseUiLanguage("en", chinese), UiLanguage::English) << chinese;
    }
    // English, Japanese (0x11: no Chinese), Korean, and no language at all.
    for (unsigned short other : {0x0409, 0x0411, 0x0412, 0x0000, 0x0C09}) {
        EXPECT_EQ(chooseUiLanguage("", other), UiLanguage::English) << other;
        EXPECT_EQ(chooseUiLanguage("zh", other), UiLanguage::Chinese) << other;
    }
    EXPECT_TRUE(isUiLanguageOption("zh"));
    EXPECT_TRUE(isUiLanguageOption("en"));
    EXPECT_FALSE(isUiLanguageOption("cn"));
    EXPECT_FALSE(isUiLanguageOption(""));

    // The language is known before the rest of a command line is read.
    using Arguments = std::vector<std::string>;
    EXPECT_EQ(languageArgument(Arguments{"a.txt", "--lang", "zh", "--bogus"}), "zh");
    EXPECT_EQ(languageArgument(Arguments{"--lang", "fr"}), "");
    EXPECT_EQ(languageArgument(Arguments{"a.txt", "--lang"}), "");
    const ParsedOptions pack = parsePackArguments({"a.txt", "--lang", "en", "--strict"});
    EXPECT_TRUE(pack.ok);
    EXPECT_EQ(pack.options.language, "en");
    EXPECT_TRUE(pack.options.strict);
    EXPECT_FALSE(parsePackArguments({"a.txt", "--lang", "fr"}).ok);
}

TEST(UiText, ArgumentsFillTheirNumbersOnly) {
    EXPECT_EQ(formatUiText("{2} after {1}, {1} again", {"one", "two"}), "two after one, one again");
    // An argument is never read for numbers itself.
    EXPECT_EQ(formatUiText("[{1}]", {"{1}{2}"}), "[{1}{2}]");
    // A number with no argument, and braces that hold no number, stay as they are.
    EXPECT_EQ(formatUiText("{1} {3} {x} {", {"a"}), "a {3} {x} {");
    EXPECT_EQ(formatUiText("no arguments", {}), "no arguments");
}

// The numbers {1} to {9} that a text uses.
std::set<char> placeholders(const std::string& text) {
    std::set<char> numbers;
    for (std::size_t i = 0; i + 2 < text.size(); ++i) {
        if (text[i] == '{' && text[i + 1] >= '1' && text[i + 1] <= '9' && text[i + 2] == '}') {
            numbers.insert(text[i + 1]);
        }
    }
    return numbers;
}

// Whether `text` is GBK throughout: ASCII, or a lead byte 0x81 to 0xFE and a
// trail byte 0x40 to 0xFE other than 0x7F.
bool isGbk(const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            continue;
        }
        if (lead == 0x80 || lead == 0xFF || i + 1 >= text.size()) {
            return false;
        }
        const auto trail = static_cast<unsigned char>(text[++i]);
        if (trail < 0x40 || trail == 0x7F || trail == 0xFF) {
            return false;
        }
    }
    return true;
}

TEST(UiText, EveryRowHasBothLanguagesWithTheSameArguments) {
    for (int id = 0; id < static_cast<int>(TextId::Count); ++id) {
        const std::string english = uiText(static_cast<TextId>(id), UiLanguage::English);
        const std::string chinese = uiText(static_cast<TextId>(id), UiLanguage::Chinese);
        EXPECT_FALSE(english.empty()) << id;
        EXPECT_FALSE(chinese.empty()) << id;
        EXPECT_EQ(placeholders(english), placeholders(chinese)) << english;
        for (char byte : english) {
            // A tab parts a menu item from its shortcut.
            EXPECT_TRUE(byte == '\n' || byte == '\t' || (byte >= 0x20 && byte < 0x7F)) << english;
        }
        EXPECT_TRUE(isGbk(chinese)) << id;
    }
}

TEST(UiText, ChineseTextsAreStoredAsGbk) {
    // Two bytes for each Chinese character and for the full-width colon, where
    // UTF-8 would take three.
    const std::string error = uiText(TextId::FindingError, UiLanguage::Chinese);
    EXPECT_EQ(error, "\xB4\xED\xCE\xF3\xA3\xBA{1}");
    EXPECT_EQ(error.size(), 3u * 2 + 3);
}

TEST(UiText, TheChecksSayTheSameInChinese) {
    const std::string script = "Start\nDealy 100\nBreak Key CTRL+\nWaitColor 1 2 ff00ff\n"
                               "PutChar a!b?\nWait Caption 记事本 \nLClick\n";
    const std::vector<Finding> english = checkScript(script);
    const std::vector<Finding> chinese = checkScript(script, UiLanguage::Chinese);
    ASSERT_EQ(chinese.size(), english.size());
    ASSERT_EQ(english.size(), 6u);
    for (std::size_t i = 0; i < english.size(); ++i) {
        EXPECT_EQ(chinese[i].kind, english[i].kind);
        EXPECT_EQ(chinese[i].fileLine, english[i].fileLine);
        EXPECT_EQ(chinese[i].lineText, english[i].lineText);
        EXPECT_NE(chinese[i].message, english[i].message);
        EXPECT_TRUE(isGbk(chinese[i].message)) << i;
    }
    EXPECT_EQ(formatFinding(chinese[0], UiLanguage::Chinese),
              "第 2 行（播放器第 2 行）：错误：没有命令与此行相符：\"Dealy 100\"");
    // The command's name and the key text stay as written.
    EXPECT_EQ(chinese[1].message, "Break Key：按键文字 \"CTRL+\" 不对应任何键（修饰键后面没有键）；"
                                  "脚本因此没有能按下的中断键");
    EXPECT_EQ(chinese[2].message, "WaitColor：颜色 \"ff00ff\" 不是六位大写十六进制数字（RRGGBB），"
                                  "因此永远不会与像素相同，等待只能用中断键结束；应写作 FF00FF");
    EXPECT_EQ(formatFinding(Finding{FindingKind::Warning, 0, 0, "x", ""}, UiLanguage::Chinese),
              "警告：x");

    const GbkConversion converted = convertUtf8ToGbk(
        "ok\n\xFF", [](std::string_view, std::string&) { return true; }, UiLanguage::Chinese);
    EXPECT_EQ(converted.problem, "字节 0xFF 不是 UTF-8");
}

} // namespace
