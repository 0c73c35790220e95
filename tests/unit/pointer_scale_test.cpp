// The MoveTo coordinate that lands on a pixel, for every pixel of three screens.

#include "runner/pointer_scale.h"

#include <gtest/gtest.h>

namespace {

TEST(PointerScale, ThePlayersScaleAndTheSystemsTruncatingMapping) {
    EXPECT_EQ(toAbsolute(1920, 1920), 65535u);
    EXPECT_EQ(toAbsolute(960, 1920), 32767u);
    EXPECT_EQ(toAbsolute(100, 1920), 3413u);
    EXPECT_EQ(toAbsolute(-1, 1920), 2236928u);
    // Checked under Wine: MoveTo 960 540 on 1920 x 1080 lands on (959, 539), and
    // (400 * 65536 + 960) / 1920 on 399.
    EXPECT_EQ(landedPixel(toAbsolute(960, 1920), 1920), 959);
    EXPECT_EQ(landedPixel(toAbsolute(540, 1080), 1080), 539);
    EXPECT_EQ(landedPixel((400 * 65536 + 960) / 1920, 1920), 399);
}

TEST(PointerScale, EveryPixelOfThreeScreensHasTheNearestCoordinate) {
    for (std::uint32_t size : {1920u, 1080u, 1366u, 768u, 3840u, 2160u}) {
        int offByOne = 0;
        for (std::int32_t pixel = 0; pixel < static_cast<std::int32_t>(size); ++pixel) {
            std::int32_t coordinate = -1;
            ASSERT_TRUE(moveToCoordinate(pixel, size, coordinate)) << size << " " << pixel;
            ASSERT_EQ(landedPixel(toAbsolute(coordinate, size), size), pixel) << size;
            // Nearest: the pixel itself when it lands there, else nothing between.
            ASSERT_GE(coordinate, pixel);
            if (coordinate > pixel) {
                ASSERT_LT(landedPixel(toAbsolute(coordinate - 1, size), size), pixel);
                ++offByOne;
            }
        }
        // The scale loses a pixel for most coordinates: that is why the inverse exists.
        EXPECT_GT(offByOne, static_cast<int>(size) / 2) << size;
    }
}

TEST(PointerScale, PixelsOffTheScreenHaveNoCoordinate) {
    std::int32_t coordinate = 12345;
    EXPECT_FALSE(moveToCoordinate(-1, 1920, coordinate));
    EXPECT_FALSE(moveToCoordinate(1920, 1920, coordinate));
    EXPECT_FALSE(moveToCoordinate(0, 0, coordinate));
    EXPECT_EQ(coordinate, 12345);
    ASSERT_TRUE(moveToCoordinate(1919, 1920, coordinate));
    EXPECT_EQ(coordinate, 1920);
}

} // namespace
