#pragma once
// The packer's command line.

#include "pack_text.h"

#include <string>
#include <vector>

enum class PackMode { Pack, ListOnly, Extract, Help, Version };

struct PackOptions {
    PackMode mode = PackMode::Pack;
    std::string script;  // the script file (Pack, ListOnly)
    std::string output;  // -o: the packed player to write (Pack)
    std::string player;  // --player: the player to copy; empty: the one beside the packer
    std::string extract; // --extract: the packed player to read (Extract)
    SourceEncoding encoding = SourceEncoding::Auto;
    bool keepCr = false;
    bool strict = false;
    bool list = false; // print the compiled script
};

struct ParsedOptions {
    bool ok = false;
    PackOptions options;
    std::string error; // one line, when not ok
};

// `arguments` without the program name.
ParsedOptions parsePackArguments(const std::vector<std::string>& arguments);

extern const char* const PackUsage;
