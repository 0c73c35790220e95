#pragma once
// The loaded script of one run: its kept lines, one parsed command per line and
// the collected comment text. The run driver and the executor are operations on it.

#include "script/byte_string.h"
#include "script/command.h"
#include "script/line_list.h"

#include <cstdint>
#include <memory>

// Frees an array of commands made by allocateCommands.
struct FreeCommands {
    void operator()(Command* commands) const;
};
using CommandArray = std::unique_ptr<Command[], FreeCommands>;

// `count` value-initialised commands (at least one record is allocated). They
// come zero-filled from the allocator, which all-zero bytes make value-
// initialised: opcode Empty and every slot holding the number 0. Fresh memory
// is zero already, so no pass writes the records before the parser does.
// Throws std::bad_alloc when there is no memory.
CommandArray allocateCommands(std::size_t count);

struct Script {
    CommandArray commands; // lineCount records, record i for line i
    ByteString commentText;
    LineList lines; // lines of non-zero length, without their line feed
    std::int32_t lineCount = 0;

    // Also resets the break key to "ESC" and the pause key to the empty text.
    Script();

    // Copies a NUL-terminated text and splits the copy into lines at line feeds,
    // dropping empty lines, and allocates one zeroed command per line. Called once.
    void splitLines(const char* text);
    // The same without the copy: takes over `text`, a writable text of `size`
    // bytes and a NUL after them, which ends at its first NUL, and splits it in
    // place (as start-up does with the resource reader's copy).
    void splitOwnedLines(std::unique_ptr<char[]> text, std::size_t size);

    // The whole run: compile pass, start preparation, owner window, passes.
    void run();
    // Parses every line in order and applies settings commands at once.
    void compile();
    // Starts the monitor thread, then applies the start mode of the first line.
    void prepareStart();
    // Executes one command of this script; true asks the run to stop at once.
    bool execute(Command& command);
};
