// The packer's byte handling: encoding detection, UTF-8 checks, conversion to
// GBK with positions, line ends. Test texts are written as byte escapes: the
// unit tests are compiled with GBK as the execution character set.

#include "pack_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// UTF-8 for 中 (U+4E2D), 文 (U+6587), € (U+20AC) and 😀 (U+1F600).
const std::string Zhong = "\xE4\xB8\xAD";
const std::string Wen = "\xE6\x96\x87";
const std::string Euro = "\xE2\x82\xAC";
const std::string Smile = "\xF0\x9F\x98\x80";

// A GBK table of two characters, standing in for the system's code page 936.
bool tinyGbk(std::string_view character, std::string& out) {
    if (character == Zhong) {
        out += "\xD6\xD0";
        return true;
    }
    if (character == Wen) {
        out += "\xCE\xC4";
        return true;
    }
    return false;
}

TEST(PackEncoding, AutoPicksUtf8OnlyForMarkedOrValidNonAsciiText) {
    struct Case {
        const char* name;
        std::string bytes;
        SourceEncoding expected;
    };
    const Case cases[] = {
        {"plain ASCII", "Start\nDelay 10\nEnd\n", SourceEncoding::Gbk},
        {"empty", "", SourceEncoding::Gbk},
        {"byte-order mark, ASCII after it", "\xEF\xBB\xBFStart\n", SourceEncoding::Utf8},
        {"valid UTF-8 with Chinese", "PutTextCb " + Zhong + Wen + "\n", SourceEncoding::Utf8},
        // The GBK bytes of 开始 are no valid UTF-8.
        {"GBK Chinese", "\xBF\xAA\xCA\xBC\n", SourceEncoding::Gbk},
        {"GBK that happens to hold one UTF-8 lead", "\xD6\xD0\xCE\xC4", SourceEncoding::Gbk},
        {"byte-order mark but invalid after it", "\xEF\xBB\xBF\xBF\xAA", SourceEncoding::Utf8},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(resolveEncoding(c.bytes, SourceEncoding::Auto), c.expected) << c.name;
    }
    EXPECT_EQ(resolveEncoding(Zhong, SourceEncoding::Gbk), SourceEncoding::Gbk);
    EXPECT_EQ(resolveEncoding("\xBF\xAA", SourceEncoding::Utf8), SourceEncoding::Utf8);
}

TEST(PackEncoding, Utf8CharacterLengthRejectsMalformedSequences) {
    struct Case {
        std::string bytes;
        std::size_t expected;
    };
    const Case cases[] = {
        {"A", 1},
        {"\xC3\xA9", 2},
        {Zhong, 3},
        {Smile, 4},
        {"\x80", 0},             // stray continuation byte
        {"\xC0\x80", 0},         // overlong NUL
        {"\xC1\xBF", 0},         // overlong
        {"\xE0\x80\x80", 0},     // overlong three-byte form
        {"\xF0\x80\x80\x80", 0}, // overlong four-byte form
        {"\xED\xA0\x80", 0},     // a surrogate half
        {"\xF4\x90\x80\x80", 0}, // above U+10FFFF
        {"\xF5\x80\x80\x80", 0},
        {"\xE4\xB8", 0}, // truncated at the end of the text
        {"\xE4"
         "A\xAD",
         0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(utf8CharacterLength(c.bytes, 0), c.expected) << testing::PrintToString(c.bytes);
    }
    EXPECT_EQ(firstInvalidUtf8("ab" + Zhong +
                               "\xFF"
                               "cd"),
              5u);
    EXPECT_EQ(firstInvalidUtf8("ab" + Zhong + Smile), std::string::npos);
}

TEST(PackEncoding, PositionsCountLinesAndCharacters) {
    const std::string text = "ab\n" + Zhong + Wen + "x\n";
    EXPECT_EQ(positionOf(text, 0, true).line, 1);
    TextPosition x = positionOf(text, 3 + 6, true);
    EXPECT_EQ(x.line, 2);
    EXPECT_EQ(x.column, 3); // two Chinese characters before it
    TextPosition bytes = positionOf(text, 3 + 6, false);
    EXPECT_EQ(bytes.column, 7);
    EXPECT_EQ(positionOf(text, text.size(), true).line, 3);
}

TEST(PackEncoding, ConversionCopiesAsciiAndMapsEachCharacter) {
    GbkConversion result = convertUtf8ToGbk("PutTextCb " + Zhong + Wen + "!\n", tinyGbk);
    ASSERT_TRUE(result.ok) << result.problem;
    EXPECT_EQ(result.text, "PutTextCb \xD6\xD0\xCE\xC4!\n");
}

TEST(PackEncoding, ConversionNamesTheLineAndColumnOfAFault) {
    GbkConversion unmapped = convertUtf8ToGbk("Start\nPutTextCb " + Zhong + Euro + "\n", tinyGbk);
    EXPECT_FALSE(unmapped.ok);
    EXPECT_TRUE(unmapped.text.empty());
    EXPECT_EQ(unmapped.position.line, 2);
    EXPECT_EQ(unmapped.position.column, 12);
    EXPECT_NE(unmapped.problem.find("U+20AC"), std::string::npos) << unmapped.problem;
    EXPECT_NE(unmapped.problem.find("no GBK form"), std::string::npos) << unmapped.problem;

    GbkConversion emoji = convertUtf8ToGbk(Smile, tinyGbk);
    EXPECT_FALSE(emoji.ok);
    EXPECT_NE(emoji.problem.find("U+1F600"), std::string::npos) << emoji.problem;

    GbkConversion broken = convertUtf8ToGbk("Start\nEnd\n\xBF\xAA", tinyGbk);
    EXPECT_FALSE(broken.ok);
    EXPECT_EQ(broken.position.line, 3);
    EXPECT_EQ(broken.position.column, 1);
    EXPECT_NE(broken.problem.find("0xBF is not UTF-8"), std::string::npos) << broken.problem;
}

TEST(PackEncoding, ByteOrderMarks) {
    EXPECT_TRUE(hasUtf8Bom("\xEF\xBB\xBFStart"));
    EXPECT_FALSE(hasUtf8Bom("\xEF\xBB"));
    EXPECT_TRUE(hasUtf16Bom("\xFF\xFES\0"));
    EXPECT_TRUE(hasUtf16Bom("\xFE\xFF\0S"));
    EXPECT_FALSE(hasUtf16Bom("\xFF"));
}

TEST(PackLineEnds, CrLfBecomesLfAndLoneCarriageReturnsStay) {
    struct Case {
        std::string in;
        std::string out;
        int changed;
    };
    const Case cases[] = {
        {"Start\r\nDelay 1\r\nEnd\r\n", "Start\nDelay 1\nEnd\n", 3},
        {"Start\nEnd", "Start\nEnd", 0},
        {"Start\r\n\r\nEnd", "Start\n\nEnd", 2},
        {"Start\rEnd\r", "Start\rEnd\r", 0},
        {"a\r\r\nb", "a\r\nb", 1},
        {"", "", 0},
    };
    for (const Case& c : cases) {
        LineEnds result = normaliseLineEnds(c.in);
        EXPECT_EQ(result.text, c.out) << testing::PrintToString(c.in);
        EXPECT_EQ(result.changedLines, c.changed) << testing::PrintToString(c.in);
    }
}

} // namespace
