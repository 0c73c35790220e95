#pragma once
// Find and replace in the editor's text (UTF-16, lines separated by '\r'):
// the next match either way with wrap-around, with or without case, and
// every match replaced as one change (one step of the undo history).

#include "studio_edits.h"

#include <cstddef>
#include <string>

bool matchesAt(const std::u16string& text, std::size_t at, const std::u16string& what,
               bool matchCase);
// The next place of `what` from `from` on (down) or before `from` (up),
// wrapping around the end; npos when there is none.
std::size_t findText(const std::u16string& text, const std::u16string& what, std::size_t from,
                     bool down, bool matchCase);

struct Replacement {
    TextChange change; // from the first match to the end of the last
    int count = 0;     // 0: nothing to change
};
Replacement replaceAllChange(const std::u16string& text, const std::u16string& what,
                             const std::u16string& with, bool matchCase);
