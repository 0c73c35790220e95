#pragma once
// Plain restatements of the player's rules, written for clarity rather than
// speed, against which the fuzz targets compare the player's own code: the
// command a line begins with, numbers, key combinations, the program-start
// split, the line list.

#include "keys/key_combo.h"
#include "script/command_table.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace reference {

// ASCII A-Z to a-z, every other byte as it is.
std::string foldCase(std::string_view text);
// ASCII a-z to A-Z, every other byte as it is.
std::string upperCase(std::string_view text);

// The first row and form (rows in table order; Chinese, English, short code
// within a row) whose name the case-folded line begins with.
struct CommandMatch {
    bool matched = false;
    int row = -1;
    NameForm form = NameForm::English;
    std::size_t nameLength = 0;
};
CommandMatch findCommand(std::string_view line);
// Whether the folded line begins with the folded name of `row` in `form`.
bool beginsWithName(std::string_view line, int row, NameForm form);

// The number the C library reads at the start of `text` (white space, one
// sign, digits), kept within the signed 32-bit range.
std::int32_t leadingNumber(std::string_view text);

// parseKeyCombo and resolveKeyCombo on a copy of `text`.
KeyCombo keyCombo(std::string_view text);
KeyCombo resolvedKeyCombo(std::string_view text);

// The key events sendKeyCombo makes for `code` in `mode`, in the fake
// platform's log form ("key 11 down", "mouse 0002 0 0").
std::vector<std::string> keyEvents(KeyCombo code, std::int32_t mode);

// The file and parameters of a program start (Excute), the parameters absent
// when the text gives none.
struct ProgramSplit {
    std::string file;
    std::optional<std::string> parameters;
};
ProgramSplit programSplit(std::string_view text);
// The fake platform's log line for opening `file` with `parameters`.
std::string openCall(const std::string& file, const std::optional<std::string>& parameters);

// The lines a script text keeps: up to its first NUL, split at line feeds,
// empty lines dropped.
std::vector<std::string> scriptLines(std::string_view text);

} // namespace reference
