#include "script/byte_string.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

TEST(ByteString, MadeFromTexts) {
    EXPECT_TRUE(ByteString().empty());
    EXPECT_STREQ(ByteString(nullptr).c_str(), "");
    ByteString cut("ab\0cd");
    EXPECT_EQ(cut.size(), 2u);
    EXPECT_TRUE(cut == "ab");
    ByteString counted("abcdef", 3);
    EXPECT_EQ(counted.size(), 3u);
    EXPECT_STREQ(counted.c_str(), "abc");
    EXPECT_FALSE(counted == nullptr);
    EXPECT_STREQ(ByteString("\xbf\xaa\xca\xbc").c_str(), "\xbf\xaa\xca\xbc");
}

TEST(ByteString, CopiesOwnTheirBytes) {
    ByteString original("ESC");
    ByteString copy(original);
    copy.data()[0] = 'X';
    EXPECT_TRUE(original == "ESC");
    EXPECT_TRUE(copy == "XSC");
    ByteString assigned;
    assigned = original;
    original.data()[1] = 'Y';
    EXPECT_TRUE(assigned == "ESC");
    ByteString moved(std::move(original));
    EXPECT_TRUE(moved == "EYC");
    EXPECT_TRUE(original.empty());
    EXPECT_STREQ(original.c_str(), "");
}

TEST(ByteString, AppendsAndJoins) {
    ByteString text("note");
    text.append("\r\n").append(ByteString("more")).append(nullptr);
    EXPECT_TRUE(text == "note\r\nmore");
    EXPECT_EQ(text.size(), 10u);
    EXPECT_TRUE((ByteString("F1") + "]") == "F1]");
    EXPECT_TRUE(("[" + ByteString("F1")) == "[F1");
    ByteString empty;
    empty.append("");
    EXPECT_TRUE(empty.empty());
    EXPECT_EQ(empty.c_str()[0], '\0');
}

TEST(ByteString, SelfMoveAndEmptyBytesKeepTheString) {
    ByteString text("F12");
    ByteString& same = text;
    text = std::move(same);
    EXPECT_TRUE(text == "F12");
    EXPECT_EQ(text.size(), 3u);
    ByteString none(nullptr, 0);
    EXPECT_TRUE(none.empty());
    none.append(ByteString(nullptr, 0));
    EXPECT_STREQ(none.c_str(), "");
}

} // namespace
