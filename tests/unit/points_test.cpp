// The places a script names on the screen and the rewriting of a dragged line.

#include "points.h"
#include "studio_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using studio_test::toUtf8;

constexpr PointerScreen Screen{1920, 1080};

StudioDocument documentOf(const std::vector<const char*>& gbkLines) {
    StudioDocument document;
    document.toGbk = studio_test::utf8CharacterToGbk;
    std::string text;
    for (const char* line : gbkLines) {
        text += toUtf8(line) + "\n";
    }
    text.pop_back();
    setDocumentText(document, text);
    return document;
}

struct Expected {
    int line;
    PlaceKind kind;
    std::int32_t pixelX, pixelY;
    bool placed, played;
    std::string colour;
    std::vector<std::pair<int, ClickKind>> clicks;
};

void expectPlaces(const std::vector<Place>& places, const std::vector<Expected>& expected) {
    ASSERT_EQ(places.size(), expected.size());
    for (std::size_t i = 0; i < places.size(); ++i) {
        const Place& place = places[i];
        const Expected& want = expected[i];
        SCOPED_TRACE("line " + std::to_string(want.line));
        EXPECT_EQ(place.line, want.line);
        EXPECT_EQ(place.kind, want.kind);
        EXPECT_EQ(place.pixelX, want.pixelX);
        EXPECT_EQ(place.pixelY, want.pixelY);
        EXPECT_EQ(place.placed, want.placed);
        EXPECT_EQ(place.played, want.played);
        EXPECT_EQ(place.colour, want.colour);
        std::vector<std::pair<int, ClickKind>> clicks;
        for (const PlaceClick& click : place.clicks) {
            clicks.emplace_back(click.line, click.kind);
        }
        EXPECT_EQ(clicks, want.clicks);
    }
}

// A dragged line rewritten, set back into the document, and found again.
Place replaceAndFind(StudioDocument& document, int line, const DraggedLine& rewritten) {
    EXPECT_TRUE(rewritten.ok) << rewritten.reason;
    replaceLines(document, line - 1, 1, {rewritten.line});
    for (const Place& place : findPlaces(document, Screen)) {
        if (place.line == line) {
            return place;
        }
    }
    ADD_FAILURE() << "line " << line << " names no place after the rewrite";
    return Place{};
}

DraggedLine drag(const StudioDocument& document, int line, std::int32_t x, std::int32_t y,
                 std::string_view colour = {}, const WindowRect* front = nullptr) {
    return rewriteDraggedLine(document.lines[line - 1].text, document.toGbk, studio_test::gbkToUtf8,
                              Screen, DragDrop{x, y, colour, front});
}

TEST(Points, AScriptsLinesNameTheirPlacesAsThePlayerReachesThem) {
    StudioDocument document = documentOf({
        "MoveTo 5 5",                      // 1: the start line is never played
        "Break Key F12",                   // 2
        "MoveTo 960 540",                  // 3
        "LClick",                          // 4
        "",                                // 5
        "LDBClick",                        // 6
        "指针移至 100 200",                // 7
        "右键单击",                        // 8
        "Delay 100",                       // 9
        "MMT 5000 10",                     // 10: off the screen, stops at its edge
        "MMC",                             // 11
        "MoveToRelWin 10 20",              // 12: the player does not move
        "LClick",                          // 13: still at line 10's place
        "Remeber Mouse Position",          // 14
        "MoveTo 1920 1080",                // 15
        "MClick",                          // 16
        "Set Last Mouse Position",         // 17: back at line 10's place
        "RClick",                          // 18
        "WaitColor 10 20 FF0000",          // 19
        "取点颜色不等则继续 30 40 00ff00", // 20
        "Wait Color 5 6",                  // 21: no colour at all
        "Start Color 1 1 FFFFFF",          // 22: only a first line starts on a colour
        "LClick",                          // 23: waits move nothing
        "LClick",                          // 24: the last line is never played
    });
    std::vector<Place> places = findPlaces(document, Screen);
    using C = ClickKind;
    using K = PlaceKind;
    expectPlaces(places,
                 {
                     {1, K::MoveTo, 4, 4, true, false, "", {}},
                     {3, K::MoveTo, 959, 539, true, true, "", {{4, C::Single}, {6, C::Double}}},
                     {7, K::MoveTo, 99, 199, true, true, "", {{8, C::Right}}},
                     {10,
                      K::MoveTo,
                      1919,
                      9,
                      false,
                      true,
                      "",
                      {{11, C::Middle}, {13, C::Single}, {18, C::Right}, {23, C::Single}}},
                     {12, K::MoveToRelWin, 10, 20, false, true, "", {}},
                     {15, K::MoveTo, 1919, 1079, true, true, "", {{16, C::Middle}}},
                     {19, K::WaitColor, 10, 20, true, true, "FF0000", {}},
                     {20, K::WaitNotColor, 30, 40, true, true, "00ff00", {}},
                     {21, K::WaitColor, 5, 6, true, true, "", {}},
                     {22, K::StartColor, 1, 1, true, false, "FFFFFF", {}},
                 });

    const WindowRect front{300, 200, 900, 700};
    placeOnWindow(places, &front);
    EXPECT_EQ(places[4].pixelX, 310);
    EXPECT_EQ(places[4].pixelY, 220);
    EXPECT_TRUE(places[4].placed);
    placeOnWindow(places, nullptr);
    EXPECT_FALSE(places[4].placed);

    // The colours now against what the lines compare, as the waits do: red
    // is FF0000 (the low byte is red); an unreadable pixel reads FFFFFF.
    const std::uint32_t red = 0x0000FF;
    const std::uint32_t green = 0x00FF00;
    EXPECT_EQ(colourDigits(red), "FF0000");
    EXPECT_TRUE(waitOverNow(places[6], red));
    EXPECT_FALSE(waitOverNow(places[6], green));
    // "00ff00" in lower case never equals a pixel: WaitNotColor is over at once.
    EXPECT_TRUE(waitOverNow(places[7], green));
    EXPECT_FALSE(waitOverNow(places[8], 0));
    EXPECT_TRUE(waitOverNow(places[9], 0xFFFFFFFF));
    EXPECT_FALSE(waitOverNow(places[9], 0xFFFFFE));
    EXPECT_FALSE(waitOverNow(places[1], red));

    // A Start Color on the first line is played; the next line's clicks follow
    // no place.
    StudioDocument start = documentOf({"STC 7 8 00FF00", "LClick", "End"});
    places = findPlaces(start, Screen);
    ASSERT_EQ(places.size(), 1u);
    EXPECT_TRUE(places[0].played);
    EXPECT_TRUE(places[0].clicks.empty());
    EXPECT_TRUE(waitOverNow(places[0], green));
}

TEST(Points, ADraggedLineKeepsItsNameFormAndLandsOnTheDroppedPixel) {
    StudioDocument document = documentOf({
        "Start",
        "MoveTo 10 10",                  // 2
        "指针移至 10 10",                // 3
        "MMT 10 10",                     // 4
        "WaitColor 1 1 000000",          // 5
        "判断颜色不同则继续 1 1 000000", // 6: the second of two Chinese names
        "WCR 1 1 000000",                // 7
        "Wait NotColor 1 1 000000",      // 8: the second English name
        "指针移至相对当前窗口 1 1",      // 9
        "End",
    });
    // Every pixel of a stretch lands exactly, in every form.
    for (int line = 2; line <= 4; ++line) {
        for (std::int32_t x = 95; x < 105; ++x) {
            const Place place = replaceAndFind(document, line, drag(document, line, x, 1079 - x));
            EXPECT_EQ(place.pixelX, x);
            EXPECT_EQ(place.pixelY, 1079 - x);
            EXPECT_TRUE(place.placed);
        }
    }
    EXPECT_EQ(document.lines[1].text, "MoveTo 105 976"); // 104 would land on 103
    EXPECT_EQ(document.lines[2].text, toUtf8("指针移至 105 976"));
    EXPECT_EQ(document.lines[3].text, "MMT 105 976");

    // The colour lines take the pixel and the new colour, or keep theirs.
    Place place = replaceAndFind(document, 5, drag(document, 5, 640, 480, "12AB34"));
    EXPECT_EQ(document.lines[4].text, "WaitColor 640 480 12AB34");
    EXPECT_EQ(place.pixelX, 640);
    EXPECT_EQ(place.colour, "12AB34");
    place = replaceAndFind(document, 6, drag(document, 6, 7, 8));
    EXPECT_EQ(document.lines[5].text, toUtf8("判断颜色不同则继续 7 8 000000"));
    EXPECT_EQ(place.kind, PlaceKind::WaitNotColor);
    replaceAndFind(document, 7, drag(document, 7, 0, 0, "FFFFFF"));
    EXPECT_EQ(document.lines[6].text, "WCR 0 0 FFFFFF");
    replaceAndFind(document, 8, drag(document, 8, 3, 4));
    EXPECT_EQ(document.lines[7].text, "Wait NotColor 3 4 000000");

    // MoveToRelWin: the pixel less the corner of the window in front.
    const WindowRect front{300, 200, 900, 700};
    replaceAndFind(document, 9, drag(document, 9, 350, 260, {}, &front));
    EXPECT_EQ(document.lines[8].text, toUtf8("指针移至相对当前窗口 50 60"));
    EXPECT_FALSE(drag(document, 9, 350, 260).ok);

    // No MoveTo reaches a pixel off the screen; a line without a place is refused.
    EXPECT_FALSE(drag(document, 2, 1920, 5).ok);
    EXPECT_FALSE(drag(document, 2, -1, 5).ok);
    EXPECT_FALSE(drag(document, 1, 5, 5).ok);
    // A colour that would break the line is refused, not written.
    EXPECT_FALSE(drag(document, 5, 5, 5, "00\n000").ok);
}

TEST(Points, AStartColourLineIsRewrittenWithItsColourLast) {
    for (const char* line :
         {"Start Color 1 2 00FF00", "判断颜色则开始 1 2 00FF00", "STC 1 2 00FF00"}) {
        StudioDocument document = documentOf({line, "LClick", "End"});
        const std::string name = toUtf8(line).substr(0, toUtf8(line).find(" 1 2"));
        Place place = replaceAndFind(document, 1, drag(document, 1, 33, 44));
        EXPECT_EQ(document.lines[0].text, name + " 33 44 00FF00");
        EXPECT_EQ(place.pixelY, 44);
        place = replaceAndFind(document, 1, drag(document, 1, 5, 6, "ABCDEF"));
        EXPECT_EQ(document.lines[0].text, name + " 5 6 ABCDEF");
        EXPECT_EQ(place.colour, "ABCDEF");
        EXPECT_TRUE(place.played);
    }
}

} // namespace
