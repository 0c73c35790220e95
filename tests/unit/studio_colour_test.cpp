// The studio's colours: spans in UTF-16 units of the editor's line, by what
// the player's parser reads. Chinese literals are GBK; toUtf8 gives the line.

#include "studio_colour.h"
#include "studio_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

using Kind = ColourKind;
using Span = std::tuple<int, int, ColourKind>;

std::vector<Span> spansOf(const std::string& gbkLine) {
    std::vector<Span> out;
    for (const ColourSpan& span :
         colourLine(studio_test::toUtf8(gbkLine), studio_test::utf8CharacterToGbk)) {
        out.emplace_back(span.start, span.length, span.kind);
    }
    return out;
}

TEST(StudioColour, LinesAreColouredAsTheParserReadsThem) {
    struct Case {
        const char* line;
        std::vector<Span> spans;
    };
    const Case cases[] = {
        {"", {}},
        {"LClick", {{0, 6, Kind::Command}}},
        {"MoveTo 10 20", {{0, 6, Kind::Command}, {7, 2, Kind::Number}, {10, 2, Kind::Number}}},
        {"Delay -1", {{0, 5, Kind::Command}, {6, 2, Kind::Number}}},
        {"延时 5", {{0, 2, Kind::Command}, {3, 1, Kind::Number}}},
        {"Loop Times 3", {{0, 10, Kind::Setting}, {11, 1, Kind::Number}}},
        {"结束热键 ctrl+s", {{0, 4, Kind::Setting}, {5, 6, Kind::KeyText}}},
        {"输出文字(剪贴板) 你好，世界", {{0, 9, Kind::Command}, {10, 5, Kind::Text}}},
        {"WaitColor 1 2 FF0000",
         {{0, 9, Kind::Command},
          {10, 1, Kind::Number},
          {12, 1, Kind::Number},
          {14, 6, Kind::Text}}},
        {"Start Color 5 5 00FF00",
         {{0, 11, Kind::Command},
          {12, 1, Kind::Number},
          {14, 1, Kind::Number},
          {16, 6, Kind::Text}}},
        {"If Key F5 -x", {{0, 6, Kind::Command}, {7, 2, Kind::KeyText}, {10, 2, Kind::Text}}},
        {"REM Start here", {{0, 14, Kind::Comment}}},
        {"*说明: 三次单击", {{0, 9, Kind::Comment}}},
        {"Bogus", {{0, 5, Kind::Invalid}}},
        {"判断标", {{0, 3, Kind::Invalid}}},
        // Two spaces: the parser reads 10 twice; the spans do not overlap.
        {"MoveTo  10 20", {{0, 6, Kind::Command}, {8, 2, Kind::Number}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(spansOf(c.line), c.spans) << c.line;
    }
}

} // namespace
