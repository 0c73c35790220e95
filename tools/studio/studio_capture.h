#pragma once
// Picking from the screen and recording into the script, as far as neither
// needs Windows: which of the spy's lines a key picks, the recorder's options
// as the studio takes them, and the lines a recording inserts.

#include "record_options.h"
#include "record_translate.h"
#include "spy_lines.h"

#include <string>
#include <string_view>
#include <vector>

// The picker offers the spy's first lines, MoveTo to Wait ButtonEnable; the
// key lines need a key pressed into the spy, which picking does not take.
constexpr std::size_t PickedLineCount = 10;

// The key that inserts the picker's row (0-based): '1' to '9', then '0'.
char pickKey(std::size_t row);
// The row a key inserts; -1 for a key that inserts none.
int pickedRow(char key);

// What picking a line inserts: the line when the spy writes it (ready, or
// flagged with its warning, as the spy copies it); empty when it is not
// available, with `why` the spy's reason.
std::string pickedText(const SpyLine& line, std::string& why);

// A command line split into arguments: spaces separate them, double quotes
// hold spaces.
std::vector<std::string> splitArguments(std::string_view text);

struct StudioRecordOptions {
    bool ok = false;
    RecordOptions options;
    bool formGiven = false; // --form named; else the studio's insert form applies
    std::string error;
};

// The recorder's options as record.exe takes them ("--stop-key F12 --moves"),
// without what makes no sense inside the studio: a script file, --pack,
// --player, --encoding, --help and --version.
StudioRecordOptions parseStudioRecordOptions(std::string_view text);

// The lines a recording inserts into the script, GBK, each ending in a line
// feed. Into a blank script: the whole script as record.exe writes it. Into
// one with lines: the body only (no Start, comment, Loop Times or End), with
// the Break Key line first when the recording sends the player's break key.
RenderedScript recordedInsertion(const Translation& translation, bool wholeScript, NameForm form);
