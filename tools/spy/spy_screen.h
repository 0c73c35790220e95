#pragma once
// What the spy reads from the screen, shared by spy.exe and the studio's
// picking: the facts under a point and the magnifier around it.

#include "spy_lines.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

// ---- spy_gather.cpp ----------------------------------------------------------

// The deepest visible child window under the screen point, disabled ones
// included, preferring a control over a group box it lies in; null when the
// point is over no child of its top-level window.
HWND controlAt(POINT point);
// Everything the lines need at `point`, for the window in front `front`.
SpyFacts gatherFacts(POINT point, HWND front, KeyCombo key, UiLanguage language);

// ---- spy_magnifier.cpp -------------------------------------------------------

// The pixels around the pointer, the centre one marked, drawn this many times
// their size.
constexpr int MagnifiedPixels = 11;
constexpr int MagnifierZoom = 12;
constexpr int MagnifierSize = MagnifiedPixels * MagnifierZoom;

struct Magnifier {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
};

Magnifier createMagnifier();
void destroyMagnifier(Magnifier& magnifier);
// Copies the pixels around `point` off the screen (black beyond its edges).
void captureMagnifier(Magnifier& magnifier, POINT point);
// Draws the magnified pixels with their top left corner at `at`, each `zoom`
// pixels square (MagnifiedPixels * zoom in all; a window scales the zoom with
// its DPI).
void paintMagnifier(const Magnifier& magnifier, HDC dc, POINT at, int zoom = MagnifierZoom);
