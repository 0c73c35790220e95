#pragma once
// The places on the screen that a script's lines name, as the player reaches
// them: where a MoveTo puts the pointer and which clicks land there, where a
// MoveToRelWin would stand on the window in front, and the pixels the colour
// waits and Start Color read with the colour they expect. And the line a
// dragged place is rewritten to, in the name form it was written in. All in
// physical screen pixels; nothing here needs Windows.

#include "pack_text.h"
#include "script/command_table.h"
#include "studio_document.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class PlaceKind { MoveTo, MoveToRelWin, WaitColor, WaitNotColor, StartColor };
enum class ClickKind { Single, Double, Right, Middle };

struct PlaceClick {
    int line = 0; // 1-based editor line
    ClickKind kind = ClickKind::Single;
};

// The primary screen the player scales MoveTo to.
struct PointerScreen {
    std::int32_t width = 0;
    std::int32_t height = 0;
};

struct WindowRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

struct Place {
    int line = 0; // 1-based editor line
    PlaceKind kind = PlaceKind::MoveTo;
    NameForm form = NameForm::English;
    std::int32_t x = 0; // the numbers on the line (0 for one the line lacks)
    std::int32_t y = 0;
    // The screen pixel: where the pointer lands, the pixel a colour line reads,
    // or where a MoveToRelWin would stand on the window in front.
    std::int32_t pixelX = 0;
    std::int32_t pixelY = 0;
    // False when the pixel is not where the line's numbers say: a MoveTo off
    // the screen (the system stops the pointer at its edge), a MoveToRelWin
    // without a window in front.
    bool placed = true;
    // False for a line the player never plays: an action on the first or last
    // kept line, a Start Color below the first line. The player also plays no
    // MoveToRelWin: the pointer stays where it was, and the clicks after one
    // land at the MoveTo before it.
    bool played = true;
    // The colour the line compares with, as the player compares it (the colour
    // waits' text, the last six bytes of a Start Color line).
    std::string colour;
    // The played clicks that land here, until the pointer moves again.
    std::vector<PlaceClick> clicks;
};

// Every place of the document's lines, in line order. A MoveToRelWin's pixel
// is its numbers until placeOnWindow puts it on a window.
std::vector<Place> findPlaces(const StudioDocument& document, PointerScreen screen);

// Puts the MoveToRelWin places on `front` (its top left corner plus the
// line's numbers); null: no window in front, and they are not placed.
void placeOnWindow(std::vector<Place>& places, const WindowRect* front);

bool isColourPlace(const Place& place);

// Whether the wait (or the start) would be over with the pixel's colour now, a
// value as the screen gives it (red in the low byte; all bits set for a pixel
// that cannot be read). False for a place that is no colour place.
bool waitOverNow(const Place& place, std::uint32_t colourNow);

// The six digits the player formats a colour value in.
std::string colourDigits(std::uint32_t colour);

struct DraggedLine {
    bool ok = false;
    std::string line;   // UTF-8, when ok
    std::string reason; // when not ok
};

struct DragDrop {
    std::int32_t pixelX = 0; // where the place was dropped, on the screen
    std::int32_t pixelY = 0;
    // The colour text a colour line now expects; empty keeps the line's own.
    std::string_view colour;
    // The window in front, for a MoveToRelWin; null when there is none.
    const WindowRect* front = nullptr;
};

using GbkToUtf8Text = bool (*)(std::string_view gbk, std::string& utf8);

// The line `utf8Line` (a MoveTo, MoveToRelWin, colour wait or Start Color) with
// the numbers that reach the dropped pixel: for MoveTo the coordinates the
// player's pointer lands on it with, for MoveToRelWin the pixel less the window's
// corner, for the colour lines the pixel itself and the given colour. Written
// by the player's line writer in the line's own name form (and its own name,
// where two names share a command); refused with the reason when no numbers
// reach the pixel or the line is none of these.
DraggedLine rewriteDraggedLine(std::string_view utf8Line, GbkConverter toGbk, GbkToUtf8Text fromGbk,
                               PointerScreen screen, const DragDrop& drop);
