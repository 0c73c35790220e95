#pragma once
// The colours of one script line in the editor, as the player's parser reads it.

#include "pack_text.h"

#include <string_view>
#include <vector>

enum class ColourKind { Command, Setting, Comment, Number, KeyText, Text, Invalid };

// A run of one colour, in UTF-16 code units of the line (the editor's units).
struct ColourSpan {
    int start = 0;
    int length = 0;
    ColourKind kind = ColourKind::Text;
};

// The command name in the form the parser matched (Command for an action,
// Setting for a setting), a REM or *Comment: line whole as Comment, then the
// parameters by the slots the command reads: Number for its integers, KeyText
// for a key (the key of If Key too), Text for texts; bytes the player ignores
// get no span. A line that does not parse (or has no GBK form) is Invalid as
// a whole; an empty line has no spans.
std::vector<ColourSpan> colourLine(std::string_view utf8Line, GbkConverter toGbk);
