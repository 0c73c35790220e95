// The magnifier: the pixels around the pointer, copied off the screen and drawn
// large with the centre pixel framed.

#include "spy_screen.h"

Magnifier createMagnifier() {
    Magnifier magnifier;
    HDC screen = GetDC(nullptr);
    magnifier.dc = CreateCompatibleDC(screen);
    magnifier.bitmap = CreateCompatibleBitmap(screen, MagnifiedPixels, MagnifiedPixels);
    SelectObject(magnifier.dc, magnifier.bitmap);
    ReleaseDC(nullptr, screen);
    return magnifier;
}

void destroyMagnifier(Magnifier& magnifier) {
    DeleteDC(magnifier.dc);
    DeleteObject(magnifier.bitmap);
    magnifier = Magnifier{};
}

void captureMagnifier(Magnifier& magnifier, POINT point) {
    RECT all{0, 0, MagnifiedPixels, MagnifiedPixels};
    FillRect(magnifier.dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    HDC screen = GetDC(nullptr);
    BitBlt(magnifier.dc, 0, 0, MagnifiedPixels, MagnifiedPixels, screen,
           point.x - MagnifiedPixels / 2, point.y - MagnifiedPixels / 2, SRCCOPY);
    ReleaseDC(nullptr, screen);
}

void paintMagnifier(const Magnifier& magnifier, HDC dc, POINT at, int zoom) {
    const int size = MagnifiedPixels * zoom;
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, at.x, at.y, size, size, magnifier.dc, 0, 0, MagnifiedPixels, MagnifiedPixels,
               SRCCOPY);
    // The centre pixel: a black frame with a white one inside, visible on any colour.
    constexpr int centre = MagnifiedPixels / 2;
    RECT frame{at.x + centre * zoom - 1, at.y + centre * zoom - 1, at.x + (centre + 1) * zoom + 1,
               at.y + (centre + 1) * zoom + 1};
    FrameRect(dc, &frame, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    InflateRect(&frame, -1, -1);
    FrameRect(dc, &frame, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}
