#pragma once
// Absolute pointer coordinates: the player's scale for MoveTo, the pixel the
// system lands on, and the MoveTo coordinate that lands on a given pixel.

#include <cstdint>

// MoveTo scales pixels to 0..65,535 with this factor and the screen size as the
// divisor (not size - 1).
constexpr std::uint32_t AbsoluteScale = 65535;

// The player's arithmetic: pixel * 65,535 / size, the product wrapping at 32
// bits and the division unsigned, so a negative pixel gives a large value.
std::uint32_t toAbsolute(std::int32_t pixel, std::uint32_t screenSize);

// Where the system puts the pointer for an absolute coordinate: the coordinate
// spread over 65,536 steps of the screen, truncated (checked under Wine: 960 on
// a 1,920-pixel screen lands on 959, 400 sent as (400 * 65536 + 960) / 1920 on
// 399).
std::int32_t landedPixel(std::uint32_t absolute, std::uint32_t screenSize);

// The MoveTo coordinate nearest to `pixel` (the pixel itself when it lands
// there, else the next that does) that lands on `pixel` on a screen of
// `screenSize` pixels. False for a pixel off the screen or one that no
// coordinate reaches.
bool moveToCoordinate(std::int32_t pixel, std::uint32_t screenSize, std::int32_t& coordinate);
