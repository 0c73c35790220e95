#pragma once
// The packer's command line.

#include "exe_settings.h"
#include "pack_text.h"

#include <string>
#include <vector>

// Pack writes the packed player; Run packs into a temporary file, runs it and
// removes it.
enum class PackMode { Pack, ListOnly, Run, Extract, Help, Version };

struct PackOptions {
    PackMode mode = PackMode::Pack;
    std::string script; // the script file (Pack, ListOnly)
    std::string output; // -o, or SCRIPT.exe beside the script: the packed player (Pack)
    bool outputBesideScript = false; // no -o: an existing output must be a packed player
    std::string player;  // --player: the player to copy; empty: the one beside the packer
    std::string extract; // --extract: the packed player to read (Extract)
    SourceEncoding encoding = SourceEncoding::Auto;
    bool keepCr = false;
    bool strict = false;
    bool list = false;    // print the compiled script
    std::string language; // --lang: "zh" or "en"; empty when not given
    ExeSettings exe;      // --icon, --description, ...: over the script's setting lines
};

// Reads an exe setting option (--icon FILE and the like, ExeFields) at
// arguments[i], moving i past its value: false when arguments[i] is none.
// `error` is set when it is one but its value is missing, given twice or bad.
bool takeExeOption(const std::vector<std::string>& arguments, std::size_t& i, ExeSettings& exe,
                   std::string& error);

struct ParsedOptions {
    bool ok = false;
    PackOptions options;
    std::string error; // one line, when not ok
};

// The packed player's name when no -o is given: the script's path with its
// extension (if any) replaced by ".exe".
std::string outputBesideScript(const std::string& script);

// `arguments` without the program name.
ParsedOptions parsePackArguments(const std::vector<std::string>& arguments);
