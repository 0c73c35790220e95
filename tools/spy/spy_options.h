#pragma once
// The spy's command line.

#include "script/command_table.h"

#include <cstdint>
#include <string>
#include <vector>

struct SpyOptions {
    bool ok = true;
    std::string error; // when not ok
    bool help = false;
    bool version = false;
    bool at = false; // --at X Y: print the lines for that point and end
    std::int32_t x = 0;
    std::int32_t y = 0;
    NameForm form = NameForm::English;
    bool utf8 = false;    // print UTF-8 instead of GBK
    std::string language; // --lang: "zh" or "en"; empty when not given
};

// The arguments after the program name.
SpyOptions parseSpyOptions(const std::vector<std::string>& arguments);
