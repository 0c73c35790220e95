#pragma once
// Turns one script line into a Command.

#include "script/command.h"
#include "script/command_table.h"

#include <cstddef>
#include <cstdint>

// The value the C library's atoi reads at `text` (leading white space, one
// optional sign, decimal digits), saturated at INT32_MIN and INT32_MAX.
std::int32_t readNumber(const char* text);

// Tests one row in one name form against `line` (the line's own writable,
// NUL-terminated text) and fills `command` on a match.
bool matchCommand(char* line, int row, NameForm form, Command& command);

// True when some row in some form matches (or the line is empty) and `command`
// has been filled; false leaves `command` and `line` untouched.
bool parseLine(char* line, Command& command);
// The same for a line whose length is known: `length` is the line's length
// (for a line of 24 bytes or more, any number from 24 up to it will do).
bool parseLine(char* line, std::size_t length, Command& command);
