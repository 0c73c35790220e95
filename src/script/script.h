#pragma once
// The loaded script of one run: its kept lines, one parsed command per line and
// the collected comment text. The run driver and the executor are operations on it.

#include "script/byte_string.h"
#include "script/command.h"

#include <cstdint>
#include <memory>
#include <vector>

struct Script {
    std::unique_ptr<Command[]> commands; // lineCount records, record i for line i
    ByteString commentText;
    std::vector<ByteString> lines; // lines of non-zero length, without their line feed
    std::int32_t lineCount = 0;

    // Also resets the break key to "ESC" and the pause key to the empty text.
    Script();

    // Splits a NUL-terminated text into lines at line feeds, dropping empty lines,
    // and allocates one zeroed command per line. Called once.
    void splitLines(const char* text);

    // The whole run: compile pass, start preparation, owner window, passes.
    void run();
    // Parses every line in order and applies settings commands at once.
    void compile();
    // Starts the monitor thread, then applies the start mode of the first line.
    void prepareStart();
    // Executes one command of this script; true asks the run to stop at once.
    bool execute(Command& command);
};
