// The exe's settings kept in the script's comment lines, their checks, and
// the icon and version resources made of them.

#include "exe_settings.h"
#include "pack_checks.h"
#include "pack_options.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(PackExeSettings, LinesAreReadAsThePlayerSkipsThemAndWrittenBack) {
    const std::string script = "Start\r\n"
                               "REM Exe Icon: art\\logo.ico \r\n"
                               "*Comment: REM Exe Company: not a comment line\r\n"
                               "rem  exe description :  Daily report\r\n"
                               "注释 Exe Company: 示例公司\r\n"
                               "REM Exe notes: an ordinary comment\r\n"
                               "LClick\r\n"
                               "REM Exe Company: ACME\r\n"
                               "End\r\n";
    ExeSettingsRead read = readExeSettings(script);
    EXPECT_TRUE(read.problems.empty());
    EXPECT_EQ(read.settings[ExeField::Icon], "art\\logo.ico");
    EXPECT_EQ(read.settings[ExeField::Description], "Daily report");
    EXPECT_EQ(read.settings[ExeField::Company], "ACME"); // the later line wins
    EXPECT_EQ(read.lines[static_cast<int>(ExeField::Company)], 8);
    EXPECT_EQ(read.settings[ExeField::Product], "");
    // Every setting line is a line the player takes for a comment.
    for (const ScriptLine& line : scriptLines(script)) {
        if (line.text.find("Exe ") != std::string::npos && line.text[0] != '*') {
            EXPECT_EQ(parseScriptLine(line.text).opcode, Opcode::Rem) << line.text;
        }
    }

    // Written back: given fields in place (the first line of a field), new
    // ones after the first line, cleared ones gone, CR LF kept, the rest as it was.
    ExeSettings settings = read.settings;
    settings[ExeField::Icon] = "";
    settings[ExeField::Company] = "Example Ltd";
    settings[ExeField::FileVersion] = "1.2.0.0";
    const std::string written = writeExeSettings(script, settings);
    EXPECT_EQ(written, "Start\r\n"
                       "REM Exe File Version: 1.2.0.0\r\n"
                       "*Comment: REM Exe Company: not a comment line\r\n"
                       "REM Exe Description: Daily report\r\n"
                       "REM Exe Company: Example Ltd\r\n"
                       "REM Exe notes: an ordinary comment\r\n"
                       "LClick\r\n"
                       "End\r\n");
    ExeSettingsRead back = readExeSettings(written);
    EXPECT_EQ(back.settings.values, settings.values);
    EXPECT_EQ(writeExeSettings(written, settings), written);
    // No settings: the lines go and nothing else changes.
    EXPECT_EQ(writeExeSettings("Start\nREM Exe Icon: a.ico\nEnd", ExeSettings{}), "Start\nEnd");
    // A script of one line without a line feed, and an empty one.
    ExeSettings one;
    one[ExeField::Product] = "Tool";
    EXPECT_EQ(writeExeSettings("Start", one), "Start\nREM Exe Product: Tool\n");
    EXPECT_EQ(writeExeSettings("", one), "REM Exe Product: Tool\n");
}

TEST(PackExeSettings, BadValuesAreNamedWithTheirLines) {
    ExeSettingsRead read = readExeSettings("Start\nREM Exe File Version: 1.2.3\n"
                                           "REM Exe Product Version: 1.0.0.65536\n"
                                           "REM Exe Original Name: a/b.exe\nREM Exe Product:\n"
                                           "REM Exe Company: \x81\x20\nEnd\n");
    ASSERT_EQ(read.problems.size(), 5u);
    EXPECT_EQ(read.problems[0].fileLine, 2);
    EXPECT_EQ(read.problems[0].message,
              "the exe's file version \"1.2.3\" is not four numbers up to 65535, such as 1.2.0.0");
    EXPECT_EQ(read.problems[1].fileLine, 3);
    EXPECT_NE(read.problems[2].message.find("is no file name"), std::string::npos);
    EXPECT_EQ(read.problems[3].message, "the exe's product name is empty");
    EXPECT_EQ(read.problems[4].message, "the exe's company holds bytes that are no GBK text");
    EXPECT_EQ(read.settings.values, ExeSettings{}.values);

    for (const char* good : {"0.0.0.0", "65535.65535.65535.65535", "1.02.3.4"}) {
        EXPECT_EQ(exeSettingProblem(ExeField::FileVersion, good), "") << good;
    }
    for (const char* bad :
         {"1.2.3.4.5", "1..2.3", "1.2.3.", "-1.2.3.4", "1.2.3.4 ", "99999.0.0.0"}) {
        EXPECT_NE(exeSettingProblem(ExeField::FileVersion, bad), "") << bad;
    }
    EXPECT_EQ(versionNumbers("2.5.0.65535"), (std::array<std::uint16_t, 4>{2, 5, 0, 65535}));
    EXPECT_NE(exeSettingProblem(ExeField::Description, "tab\there"), "");
    EXPECT_EQ(exeSettingProblem(ExeField::Description, std::string(1000, 'x')), "");
    EXPECT_NE(exeSettingProblem(ExeField::Description, std::string(1001, 'x')), "");
    EXPECT_EQ(exeSettingProblem(ExeField::Copyright, "版权所有 (c) 2026"), "");
    EXPECT_EQ(exeSettingProblem(ExeField::FileVersion, "x", UiLanguage::Chinese),
              "exe 的文件版本“x”不是四个不超过 65535 的数字（例如 1.2.0.0）");

    // The options take the same checks; given twice or without a value is an error.
    ParsedOptions parsed =
        parsePackArguments({"a.txt", "--icon", "b.ico", "--file-version", "1.2.3.4"});
    ASSERT_TRUE(parsed.ok) << parsed.error;
    EXPECT_EQ(parsed.options.exe[ExeField::Icon], "b.ico");
    EXPECT_EQ(parsed.options.exe[ExeField::FileVersion], "1.2.3.4");
    EXPECT_NE(parsePackArguments({"a.txt", "--file-version", "1.2"}).error.find("four numbers"),
              std::string::npos);
    EXPECT_EQ(parsePackArguments({"a.txt", "--company", "A", "--company", "B"}).error,
              "--company is given twice");
    EXPECT_EQ(parsePackArguments({"a.txt", "--product"}).error, "--product needs a value");
    EXPECT_FALSE(parsePackArguments({"--extract", "a.exe", "--icon", "b.ico"}).ok);
}

// A little-endian word of `bytes`.
unsigned word(const std::string& bytes, std::size_t at) {
    return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
}

// The key of the version node at `at`, ASCII only.
std::string keyAt(const std::string& bytes, std::size_t at) {
    std::string key;
    for (std::size_t i = at + 6; word(bytes, i) != 0; i += 2) {
        key += static_cast<char>(word(bytes, i));
    }
    return key;
}

TEST(PackExeSettings, VersionResourceNestsItsNodesOnFourByteBoundaries) {
    VersionTexts texts;
    texts.fileNumbers = {1, 2, 3, 4};
    texts.productNumbers = {5, 6, 7, 8};
    texts.strings = {{u"FileDescription", u"Tool"}, {u"CompanyName", u"\u793A\u4F8B"}};
    const std::string bytes = versionResource(texts);
    ASSERT_EQ(word(bytes, 0), bytes.size());
    EXPECT_EQ(keyAt(bytes, 0), "VS_VERSION_INFO");
    EXPECT_EQ(word(bytes, 2), 52u); // VS_FIXEDFILEINFO
    // "VS_VERSION_INFO" and its NUL end at 6 + 32 = 38, padded to 40.
    EXPECT_EQ(bytes.substr(40, 4), std::string("\xBD\x04\xEF\xFE", 4));
    EXPECT_EQ(word(bytes, 48), 2u); // file version, high word first: 1.2
    EXPECT_EQ(word(bytes, 50), 1u);
    EXPECT_EQ(word(bytes, 60), 8u);
    const std::size_t stringInfo = 40 + 52;
    EXPECT_EQ(keyAt(bytes, stringInfo), "StringFileInfo");
    const std::size_t table = stringInfo + 6 + 30; // 14 characters and NUL: aligned
    EXPECT_EQ(keyAt(bytes, table), "040904B0");
    std::size_t string = table + 6 + 18; // 8 characters and NUL: aligned
    EXPECT_EQ(keyAt(bytes, string), "FileDescription");
    EXPECT_EQ(word(bytes, string + 2), 5u); // "Tool" and its NUL, in characters
    EXPECT_EQ(word(bytes, string + 4), 1u); // a text
    string += (word(bytes, string) + 3) / 4 * 4;
    EXPECT_EQ(keyAt(bytes, string), "CompanyName");
    const std::size_t varInfo = stringInfo + word(bytes, stringInfo);
    EXPECT_EQ(keyAt(bytes, varInfo), "VarFileInfo");
    EXPECT_EQ(bytes.substr(bytes.size() - 4), std::string("\x09\x04\xB0\x04", 4));
    EXPECT_EQ(varInfo + word(bytes, varInfo), bytes.size());

    // Too long for the 16-bit length: no resource.
    texts.strings = {{u"FileDescription", std::u16string(40000, u'x')}};
    EXPECT_EQ(versionResource(texts), "");
}

TEST(PackExeSettings, IconFilesAreCheckedAndBecomeAGroup) {
    // Two images: a bitmap and a PNG.
    const std::string bitmap = std::string("\x28\0\0\0", 4) + std::string(36, 'b');
    const std::string png = std::string("\x89PNG\r\n\x1A\n", 8) + "rest";
    std::string ico = std::string("\0\0\1\0\2\0", 6);
    auto entry = [](int size, std::size_t length, std::size_t offset) {
        std::string e = {static_cast<char>(size), static_cast<char>(size), 0, 0, 1, 0, 32, 0};
        for (std::size_t v : {length, offset}) {
            for (int i = 0; i < 4; ++i) {
                e += static_cast<char>(v >> (8 * i));
            }
        }
        return e;
    };
    ico += entry(16, bitmap.size(), 38) + entry(0, png.size(), 38 + bitmap.size());
    ico += bitmap + png;
    IconFile icon = parseIconFile(ico);
    ASSERT_EQ(icon.problem, "");
    ASSERT_EQ(icon.images.size(), 2u);
    EXPECT_EQ(icon.images[0].bytes, bitmap);
    EXPECT_EQ(icon.images[1].bytes, png);
    EXPECT_EQ(icon.images[1].width, 0);
    const std::string group = iconGroupResource(icon.images, 1);
    ASSERT_EQ(group.size(), 6u + 14 * 2);
    EXPECT_EQ(group.substr(0, 6), ico.substr(0, 6));
    EXPECT_EQ(group.substr(6, 12), ico.substr(6, 12)); // as the file had it, up to the size
    EXPECT_EQ(word(group, 18), 1u);                    // then the RT_ICON id
    EXPECT_EQ(word(group, 32), 2u);

    EXPECT_EQ(parseIconFile("GIF89a").problem, "it does not begin with an icon file's header");
    EXPECT_EQ(parseIconFile(std::string("\0\0\2\0\1\0", 6) + entry(16, 8, 22) + bitmap).problem,
              "it does not begin with an icon file's header"); // a cursor
    EXPECT_EQ(parseIconFile(std::string("\0\0\1\0\0\0", 6)).problem, "it holds no image");
    std::string outside = ico;
    outside.resize(ico.size() - 1);
    EXPECT_EQ(parseIconFile(outside).problem, "image 2 lies outside the file");
    std::string kind = ico;
    kind[38] = 'X';
    EXPECT_EQ(parseIconFile(kind, UiLanguage::Chinese).problem, "第 1 个图像既不是位图也不是 PNG");
}

} // namespace
