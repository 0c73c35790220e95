// The studio's files: every encoding and kind of line end the packer reads opens
// and saves back to the same bytes; what is no script is refused with a reason.
// Chinese literals here are GBK (the tests' execution character set); toUtf8
// gives the editor's form.

#include "studio_file.h"
#include "studio_test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using studio_test::gbkToUtf8;
using studio_test::toUtf8;
using studio_test::utf8CharacterToGbk;

const std::string Smile = "\xF0\x9F\x98\x80"; // U+1F600, which GBK lacks

std::string withLineEnds(const std::string& text, const char* lineEnd) {
    std::string out;
    for (char byte : text) {
        out += byte == '\n' ? std::string(lineEnd) : std::string(1, byte);
    }
    return out;
}

TEST(StudioFile, EveryEncodingAndLineEndOpensAndSavesToTheSameBytes) {
    const std::string texts[] = {
        toUtf8("开始\n延时 100\n输出文字(剪贴板) 你好，世界\n结束"),
        toUtf8("*说明: 三次单击\nLoop Times 3\nLClick\nEnd\n"),
        "Start No Box\nMoveTo 10 20\n\n\nEnd\n",
        "",
        "single line",
        toUtf8("输出文字(剪贴板) 价格 ") + "\xE2\x82\xAC" + "5\n", // the euro sign is 0x80 in GBK
    };
    const struct {
        LineEndStyle style;
        const char* bytes;
    } ends[] = {{LineEndStyle::CrLf, "\r\n"}, {LineEndStyle::Lf, "\n"}, {LineEndStyle::Cr, "\r"}};
    const struct {
        SourceEncoding encoding;
        bool bom;
        const char* name;
    } encodings[] = {{SourceEncoding::Utf8, false, "UTF-8"},
                     {SourceEncoding::Utf8, true, "UTF-8 BOM"},
                     {SourceEncoding::Gbk, false, "GBK"}};
    for (const std::string& text : texts) {
        const bool ascii = !hasNonAscii(text);
        const bool oneLine = text.find('\n') == std::string::npos;
        for (const auto& end : ends) {
            for (const auto& encoding : encodings) {
                std::string body =
                    encoding.encoding == SourceEncoding::Gbk ? studio_test::utf8ToGbk(text) : text;
                const std::string bytes =
                    (encoding.bom ? std::string(Utf8Bom) : "") + withLineEnds(body, end.bytes);
                const std::string label =
                    std::string(encoding.name) + " " + lineEndName(end.style) + ": " + text;

                const OpenedText opened = decodeScriptFile(bytes, gbkToUtf8);
                ASSERT_EQ(opened.problem, OpenProblem::None) << label;
                EXPECT_EQ(opened.text, text) << label;
                // ASCII text is the same bytes in both encodings and opens as UTF-8.
                const bool asGbk = encoding.encoding == SourceEncoding::Gbk && !ascii;
                EXPECT_EQ(opened.format.encoding,
                          asGbk ? SourceEncoding::Gbk : SourceEncoding::Utf8)
                    << label;
                EXPECT_EQ(opened.format.byteOrderMark, encoding.bom) << label;
                EXPECT_EQ(opened.format.lineEnds, oneLine ? LineEndStyle::CrLf : end.style)
                    << label;
                EXPECT_FALSE(opened.format.mixedLineEnds) << label;
                if (!ascii) {
                    EXPECT_STREQ(encodingName(opened.format), encoding.name) << label;
                }

                const EncodedFile saved =
                    encodeScriptFile(opened.text, opened.format, utf8CharacterToGbk);
                ASSERT_TRUE(saved.ok) << label;
                EXPECT_EQ(saved.bytes, bytes) << label;
            }
        }
    }
}

// GBK's trail bytes reach down to 0x40 and include ASCII's '@', '\\' and
// letters: such a character is one character, not a broken lead and a letter.
TEST(StudioFile, GbkCharactersWithEveryKindOfTrailByteOpenAsText) {
    const std::string gbk = "Start\r\nPutChar \x81\x40\x81\x5C\x81\x7E\x81\x80\x81\xFE\r\n"
                            "*\xB0\x40\r\n\x81\x40";
    const OpenedText opened = decodeScriptFile(gbk, gbkToUtf8);
    ASSERT_EQ(opened.problem, OpenProblem::None);
    EXPECT_EQ(opened.format.encoding, SourceEncoding::Gbk);
    // U+4E02 U+4E57 U+4E8A U+4E90 U+4FA2, U+7645, U+4E02 in UTF-8
    EXPECT_EQ(opened.text, "Start\nPutChar "
                           "\xE4\xB8\x82\xE4\xB9\x97\xE4\xBA\x8A\xE4\xBA\x90\xE4\xBE\xA2\n*"
                           "\xE7\x99\x85\n\xE4\xB8\x82");
    const EncodedFile saved = encodeScriptFile(opened.text, opened.format, utf8CharacterToGbk);
    ASSERT_TRUE(saved.ok);
    EXPECT_EQ(saved.bytes, gbk);
}

TEST(StudioFile, MixedLineEndsAreSavedWithTheMostCommon) {
    const OpenedText opened = decodeScriptFile("a\r\nb\nc\r\nd\re\r\n", gbkToUtf8);
    EXPECT_EQ(opened.text, "a\nb\nc\nd\ne\n");
    EXPECT_TRUE(opened.format.mixedLineEnds);
    EXPECT_EQ(encodeScriptFile(opened.text, opened.format, utf8CharacterToGbk).bytes,
              "a\r\nb\r\nc\r\nd\r\ne\r\n");
}

TEST(StudioFile, WhatIsNoScriptIsRefusedWithTheReasonAndPlace) {
    struct Case {
        const char* name;
        std::string bytes;
        OpenProblem problem;
        TextPosition position;
    };
    const std::string gbkStart = "\xBF\xAA\xCA\xBC"; // 开始
    const Case cases[] = {
        {"too large", std::string(MaxScriptFileBytes + 1, 'a'), OpenProblem::TooLarge, {}},
        {"a NUL byte", std::string("Start\n\0End\n", 11), OpenProblem::Binary, {}},
        {"control bytes", "\x01\x02\x03\x04 abc \x1b\x1b", OpenProblem::Binary, {}},
        {"one escape in a long line",
         "PutChar abc\x1b" + std::string(40, 'x'),
         OpenProblem::None,
         {}},
        {"UTF-16 LE", std::string("\xFF\xFES\0t\0", 6), OpenProblem::Utf16, {}},
        {"GBK lead before a line feed", gbkStart + "\xBF\nEnd", OpenProblem::NotText, {1, 5}},
        {"GBK lead and 0x7F",
         "Start\nab" + gbkStart + "\xBF\x7F\nDelay 100\nEnd",
         OpenProblem::NotText,
         {2, 7}},
        {"0x80, the euro sign", gbkStart + "\x80\n", OpenProblem::None, {}},
        {"GBK lead at the end", gbkStart + "\xD6", OpenProblem::NotText, {1, 5}},
        {"byte-order mark, then GBK",
         std::string(Utf8Bom) + "ok\n" + gbkStart,
         OpenProblem::NotText,
         {2, 1}},
    };
    for (const Case& c : cases) {
        const OpenedText opened = decodeScriptFile(c.bytes, gbkToUtf8);
        EXPECT_EQ(opened.problem, c.problem) << c.name;
        if (c.problem == OpenProblem::NotText) {
            EXPECT_EQ(opened.position.line, c.position.line) << c.name;
            EXPECT_EQ(opened.position.column, c.position.column) << c.name;
            EXPECT_TRUE(opened.text.empty()) << c.name;
        }
        if (c.problem != OpenProblem::None) {
            EXPECT_FALSE(openProblemText(opened, UiLanguage::English).empty()) << c.name;
        }
    }
}

// A file with a few control bytes is text or not by its characters, whatever
// its encoding and line ends: what the studio saves, in the format the file
// came in or another, opens again.
TEST(StudioFile, ControlBytesJudgeTheSameTextAlikeInEveryFormat) {
    // Mixed line ends saved as the most common (LF) made this file one byte
    // shorter, and one control byte in fifteen is too many.
    const OpenedText mixed = decodeScriptFile("a\r\n\n\r$bc\n\x03\xD8"
                                              "d\re\r\x0B",
                                              gbkToUtf8);
    ASSERT_EQ(mixed.problem, OpenProblem::None);
    const EncodedFile saved = encodeScriptFile(mixed.text, mixed.format, utf8CharacterToGbk);
    ASSERT_TRUE(saved.ok);
    EXPECT_EQ(decodeScriptFile(saved.bytes, gbkToUtf8).problem, OpenProblem::None);

    const std::string chinese = toUtf8("你好世界开始结束延时");
    const std::string texts[] = {
        "\x1B" + chinese.substr(0, 21),           // seven characters after the escape
        "\x1B" + chinese + chinese.substr(0, 15), // fifteen
        "\x1B" + chinese + "\n\n\n",
        "\x1B\x1B" + chinese + chinese + chinese + "\n" + chinese,
    };
    const struct {
        SourceEncoding encoding;
        bool bom;
        LineEndStyle lineEnds;
    } formats[] = {{SourceEncoding::Utf8, false, LineEndStyle::CrLf},
                   {SourceEncoding::Utf8, true, LineEndStyle::Lf},
                   {SourceEncoding::Gbk, false, LineEndStyle::Cr},
                   {SourceEncoding::Gbk, false, LineEndStyle::CrLf}};
    for (const std::string& text : texts) {
        OpenProblem first = OpenProblem::TooLarge;
        for (const auto& f : formats) {
            const TextFormat format{f.encoding, f.bom, f.lineEnds, false};
            const EncodedFile file = encodeScriptFile(text, format, utf8CharacterToGbk);
            ASSERT_TRUE(file.ok);
            const OpenProblem problem = decodeScriptFile(file.bytes, gbkToUtf8).problem;
            EXPECT_TRUE(problem == OpenProblem::None || problem == OpenProblem::Binary);
            if (first == OpenProblem::TooLarge) {
                first = problem;
            }
            EXPECT_EQ(problem, first) << encodingName(format) << " " << lineEndName(f.lineEnds)
                                      << ": " << text.size() << " bytes";
        }
    }
}

TEST(StudioFile, SavingAsGbkNamesTheFirstCharacterGbkLacks) {
    TextFormat gbk;
    gbk.encoding = SourceEncoding::Gbk;
    const std::string text = toUtf8("开始\nPutTextCb 价格 ") + Smile + "5\nEnd";
    const EncodedFile saved = encodeScriptFile(text, gbk, utf8CharacterToGbk);
    EXPECT_FALSE(saved.ok);
    EXPECT_EQ(saved.position.line, 2);
    EXPECT_EQ(saved.position.column, 14);
    EXPECT_EQ(saveProblemText(saved, UiLanguage::English),
              "line 2, column 14: a character that GBK lacks; save the script as UTF-8");
}

} // namespace
