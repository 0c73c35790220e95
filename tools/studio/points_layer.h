#pragma once
// The points layer: a see-through window over the whole screen that marks the
// places of a script (points.h), each with its line number, its clicks, and for
// the colour lines the expected colour beside the pixel's colour now. Clicks
// outside the marks and every key but Esc reach the windows below. A mark can
// be clicked or dragged to another pixel, with a magnifier beside the pointer.
// One layer per process, run by the thread that shows it (its message loop and
// low-level hooks); it polls nothing and draws only what changed. Places are in physical screen
// pixels; the marks' lines and texts grow with the screen's DPI.

#include "points.h"
#include "ui_text.h"

#include <cstdint>
#include <vector>

// What the user does on the layer. Any handler may be null.
struct PointsLayerEvents {
    void* context = nullptr;
    void (*markClicked)(void* context, int line) = nullptr;
    // A mark let go after a drag: its line and the screen pixel under the pointer.
    void (*markDropped)(void* context, int line, std::int32_t x, std::int32_t y) = nullptr;
    // Esc, wherever the keyboard is; the layer takes the key.
    void (*escapePressed)(void* context) = nullptr;
};

// Shows the layer with `places` in front of every window, without taking the
// keyboard; the colours now are read off the screen before it shows. False
// when the window cannot be made.
bool showPointsLayer(const std::vector<Place>& places, const PointsLayerEvents& events);
// All places anew (the colours now read again).
void updatePointsLayer(const std::vector<Place>& places);
// The place of `place.line` anew; a line the layer does not show is added.
void updatePointsLayerPlace(const Place& place);
// Marks the place of `line` as the one a traced run plays next; 0: none.
void markCurrentPoint(int line);
void hidePointsLayer();
bool pointsLayerShown();
// The language of the marks' words (English until set).
void setPointsLayerLanguage(UiLanguage language);
