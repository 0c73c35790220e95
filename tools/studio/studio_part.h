#pragma once
// A part of the script to run on its own: the selected lines or the lines from
// the cursor on, with the settings of the whole script.

#include "studio_document.h"

#include <string>
#include <vector>

struct RunPart {
    std::string text;            // UTF-8 lines joined by '\n'
    std::vector<int> editorLine; // for each line of `text`, the 1-based editor line it came
                                 // from (0 for the added Start No Box and End)
};

// "Start No Box", then the script's settings lines outside the range (Break
// Key, PauseKey, REM, *Comment:, ShowTaryIcon) in their order, then lines
// [first, last] (0-based, inclusive, clamped to the script), then "End". Run
// from the cursor: `last` is the last line.
RunPart assembleRunPart(const StudioDocument& document, int first, int last);
