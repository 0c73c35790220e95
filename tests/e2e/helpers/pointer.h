#pragma once
// Putting the pointer somewhere for a click test, under Wine.
//
// Wine shows a pointer move a little later than it is made. And after a move
// that warps the X pointer, the position the clicks use can fall back to where
// the pointer was before, while GetCursorPos already reports the new one; a
// second move to the same place, with the X pointer already there, sticks. So a
// move is made with MoveTo (through the same input path as the clicks), twice,
// awaited, and repeated until the pointer stays there.

#include "helpers/run_lines.h"
#include "support/windows_api.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace e2e {

// True once the pointer is within `tolerance` pixels of `target`.
inline bool cursorNear(POINT target, int tolerance, DWORD timeoutMs = 2000) {
    for (DWORD waited = 0;; waited += 10) {
        POINT cursor{};
        GetCursorPos(&cursor);
        if (std::abs(cursor.x - target.x) <= tolerance &&
            std::abs(cursor.y - target.y) <= tolerance) {
            return true;
        }
        if (waited >= timeoutMs) {
            ADD_FAILURE() << "the pointer is at (" << cursor.x << ", " << cursor.y
                          << "), not near (" << target.x << ", " << target.y << ")";
            return false;
        }
        Sleep(10);
    }
}

// Moves the pointer to the screen point (within a pixel, as MoveTo lands) and
// waits until it stays there; false when it does not.
inline bool movePointerSteadily(POINT target) {
    const std::string move = "MoveTo " + std::to_string(target.x) + " " + std::to_string(target.y);
    for (int attempt = 0; attempt < 5; ++attempt) {
        runLines(move);
        if (!cursorNear(target, 1)) {
            return false;
        }
        Sleep(100);
        runLines(move);
        Sleep(250);
        POINT cursor{};
        GetCursorPos(&cursor);
        if (std::abs(cursor.x - target.x) <= 1 && std::abs(cursor.y - target.y) <= 1) {
            return true;
        }
    }
    ADD_FAILURE() << "the pointer does not stay at (" << target.x << ", " << target.y << ")";
    return false;
}

} // namespace e2e
