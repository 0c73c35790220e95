#pragma once
// Help while writing a script: every command's parameters and what it does in
// English and Chinese, completion of a command name from its first bytes, and
// the parameter hint for the command a line starts with.

#include "script/command_table.h"
#include "ui_text.h"

#include <string>
#include <string_view>
#include <vector>

struct CommandHelp {
    const char* parameters[2];  // [English, Chinese] as in docs/commands.md's "Parameters" column
    const char* description[2]; // [English, Chinese] its "What it does" column
};

// The help of a command table row (0 to CommandTableRowCount - 1). The texts
// are GBK and keep the Markdown code marks (`Delay -1`) of docs/commands.md.
const CommandHelp& commandHelp(int row);

// The row's name in `form` without the space that follows it on a line.
std::string commandNameText(int row, NameForm form);

// Rows whose Chinese, English or short name starts with `typed` (GBK bytes;
// the English name and the short code compared ignoring ASCII case, the
// Chinese name exactly), in table order, each row once.
std::vector<int> completeCommand(std::string_view typed);

// The row and form of the command a (GBK) line starts with, as the parser
// reads it, or as it would once the space after a bare name is typed; -1 if none.
int commandRowOfLine(std::string_view gbkLine, NameForm& form);

// "MoveTo x y" / "指针移至 x y": the name in `form` and the parameters in
// `language` (GBK), for the status line; the name alone for a command without
// parameters.
std::string parameterHint(int row, NameForm form, UiLanguage language);
