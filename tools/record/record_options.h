#pragma once
// The recorder's command line.

#include "exe_settings.h"
#include "record_translate.h"
#include "script/command_table.h"

#include <cstdint>
#include <string>
#include <vector>

enum class RecordMode { Record, Help, Version };

struct RecordOptions {
    RecordMode mode = RecordMode::Record;
    std::string output;            // the script file; empty: a name made of the date and time
    std::string stopKey = "PAUSE"; // the stop key as the user wrote it, upper-cased
    std::uint32_t seconds = 0;     // end after this many seconds; 0: on the stop key or Stop
    bool gbk = false;              // write GBK instead of UTF-8
    NameForm form = NameForm::English;
    std::string pack;     // --pack: also pack the script into this player
    std::string player;   // --player: the player to pack; empty: the one beside the recorder
    ExeSettings exe;      // --icon, --description, ...: the packed exe's own, as pack takes them
    std::string language; // --lang: "zh" or "en"; empty when not given
    TranslateOptions translate;
};

struct ParsedRecordOptions {
    bool ok = false;
    RecordOptions options;
    std::string error; // one line, when not ok
};

// `arguments` without the program name.
ParsedRecordOptions parseRecordArguments(const std::vector<std::string>& arguments);
