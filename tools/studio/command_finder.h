#pragma once
// The command list: finding commands as the user types, by any part of any of
// their names, each command once; and what goes into the script for a chosen
// one. Texts are GBK, as the command table and the help are: the list's
// filter is converted once, and a character GBK lacks matches no name anyway.

#include "script/command_table.h"
#include "ui_text.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// How a name matched what was typed, best first.
enum class MatchKind { Exact, Prefix, WordStart, Inside };

struct FoundCommand {
    int row = 0;        // the command's main row (its first in the table), for its help
    int matchedRow = 0; // the row whose name matched (one of the command's rows)
    NameForm form = NameForm::English; // the form of the name that matched
    MatchKind kind = MatchKind::Exact;
};

// The table's commands: rows that do the same (the same opcode) are one
// command, named by its first row. In table order.
std::vector<int> commandMainRows();

// Every row of the command that `row` belongs to, its main row first.
std::vector<int> rowsOfCommand(int row);

// The command's names that its main row does not show (the Chinese synonyms,
// "Wait Color" beside "WaitColor"), joined by " | "; empty when there are none.
std::string otherCommandNames(int row);

// The commands one of whose names (Chinese, English or short code, of any of
// their rows) holds `typed`, each once: an exact name first, then names that
// start with it, then names with a word that does, then the rest; alike ones
// by the matched name (Latin letters in either case), then table order.
// Latin letters match in either case; a Chinese character only as a whole.
// Spaces before the text do not count. Empty: every command in table order.
std::vector<FoundCommand> findCommands(std::string_view typed);

// What to insert for a command in a name form: the name, followed by the
// space that must follow it when it has one; the cursor after it, where the
// parameters go; and the parameters' description for the status line.
struct CommandInsertion {
    std::string text;
    std::size_t cursor = 0; // in bytes of `text`
    bool takesParameters = false;
    std::string hint; // "MoveTo x y", in `language`
};
CommandInsertion commandInsertion(int row, NameForm form, UiLanguage language);
