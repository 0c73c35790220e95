#pragma once
// The screen as a user sees it, read pixel by pixel.

#include "support/windows_api.h"

namespace e2e {

COLORREF screenPixel(int x, int y);
// Whether the colour shows anywhere in the rectangle of the screen.
bool showsColour(RECT area, COLORREF colour);

} // namespace e2e
