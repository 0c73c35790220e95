#pragma once
// The packer's checks of a script, made with the player's own parser and key
// table on the exact bytes that will be embedded: lines that match no command
// (errors) and lines that parse but will not do what the writer meant
// (warnings). Nothing here needs Windows.

#include "script/command_table.h"
#include "ui_text.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A line as the player keeps it.
struct ScriptLine {
    int fileLine = 0;   // 1-based, every line of the file counted
    int playerLine = 0; // 1-based among the kept lines: the number the player shows
    std::string text;   // without its line feed
};

// The lines the player keeps: the text up to its first NUL byte, split at line
// feeds, lines of length 0 dropped.
std::vector<ScriptLine> scriptLines(std::string_view text);

// What the player's parser makes of one line, copied out of the parse.
struct LineParse {
    bool matched = false;
    int row = -1; // the command table row that matched
    NameForm form = NameForm::English;
    Opcode opcode = Opcode::Empty;
    ParamKind kind = ParamKind::None;
    std::string parameterText; // the text after the command name, as written
    // The three slots; `written` tells which ones the parser filled.
    bool written[3] = {};
    std::int32_t numbers[3] = {};
    std::string texts[3]; // the text of a text slot (after any upper-casing)
    bool isText[3] = {};
};

LineParse parseScriptLine(std::string_view line);

// The English name of a command table row without its trailing space.
std::string englishCommandName(int row);

enum class FindingKind { Error, Warning };

struct Finding {
    FindingKind kind = FindingKind::Error;
    int fileLine = 0;
    int playerLine = 0; // 0 when the finding concerns no kept line
    std::string message;
    std::string lineText;
};

// The errors and warnings of one kept line, appended to `findings`: `first` and
// `last` tell whether it is the script's first or last kept line. checkScript
// is this for every line; an editor re-checks a changed line with it. The
// messages are in `language`.
void checkScriptLine(const ScriptLine& line, bool first, bool last, std::vector<Finding>& findings,
                     UiLanguage language = UiLanguage::English);

// Every error and warning for the script `text` (GBK bytes, line feeds as the
// player will see them), in line order.
std::vector<Finding> checkScript(std::string_view text, UiLanguage language = UiLanguage::English);

bool hasErrors(const std::vector<Finding>& findings);
int countKind(const std::vector<Finding>& findings, FindingKind kind);

// `line 4 (player line 3): error: ...: "text"`, or the same in Chinese.
std::string formatFinding(const Finding& finding, UiLanguage language = UiLanguage::English);

// A line's bytes for a message: printable bytes as they are (GBK included),
// carriage returns, tabs and other control bytes escaped (\r, \t, \x01),
// backslashes and double quotes escaped.
std::string quoteText(std::string_view text);
