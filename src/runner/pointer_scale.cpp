#include "runner/pointer_scale.h"

std::uint32_t toAbsolute(std::int32_t pixel, std::uint32_t screenSize) {
    return static_cast<std::uint32_t>(pixel) * AbsoluteScale / screenSize;
}

std::int32_t landedPixel(std::uint32_t absolute, std::uint32_t screenSize) {
    return static_cast<std::int32_t>(std::uint64_t{absolute} * screenSize / 65536);
}

bool moveToCoordinate(std::int32_t pixel, std::uint32_t screenSize, std::int32_t& coordinate) {
    if (pixel < 0 || screenSize == 0 || screenSize > AbsoluteScale ||
        static_cast<std::uint32_t>(pixel) >= screenSize) {
        return false;
    }
    // The smallest absolute value that lands on the pixel, then the smallest
    // coordinate the player scales to at least that value; it lands there when
    // the player's value stays below the next pixel's.
    const std::uint64_t lowest =
        (std::uint64_t{static_cast<std::uint32_t>(pixel)} * 65536 + screenSize - 1) / screenSize;
    const std::uint64_t candidate = (lowest * screenSize + AbsoluteScale - 1) / AbsoluteScale;
    if (candidate > screenSize) {
        return false;
    }
    const auto value = static_cast<std::int32_t>(candidate);
    if (landedPixel(toAbsolute(value, screenSize), screenSize) != pixel) {
        return false;
    }
    coordinate = value;
    return true;
}
