#include "support/screen.h"

namespace e2e {

COLORREF screenPixel(int x, int y) {
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return colour;
}

bool showsColour(RECT area, COLORREF colour) {
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            if (screenPixel(x, y) == colour) {
                return true;
            }
        }
    }
    return false;
}

} // namespace e2e
