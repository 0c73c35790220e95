#pragma once
// The compiled script as the player sees it, for `pack --list`.

#include <string>
#include <string_view>

// One row per kept line: the player's line number, the file's line number, the
// opcode, the command's English name as the line writer writes it (one name per
// opcode), whether it is a settings command (applied while the script is read),
// the start mode, an action, or a line that is never run, and each parameter
// slot the parser filled. A closing summary gives the break and pause keys and
// the number of passes.
std::string listScript(std::string_view text);
