#pragma once
// One parsed script line.

#include "script/command_table.h"

#include <cstdint>

// A parameter slot holds a number or a reference to text inside the line it came
// from, never both. Read and write it only through the functions below: each
// setter replaces whatever the slot held, so writing one side clears the other.
// A value-initialised slot holds the number 0 and no text.
struct CommandParam {
    std::int32_t number = 0;
    char* text = nullptr;
};

struct Command {
    Opcode opcode = Opcode::Empty;
    CommandParam param1;
    CommandParam param2;
    CommandParam param3;
};

// True when the slot holds a text.
inline bool slotHoldsText(const CommandParam& param) {
    return param.text != nullptr;
}

// The number of a slot, 0 when the slot holds a text.
inline std::int32_t slotNumber(const CommandParam& param) {
    return param.text != nullptr ? 0 : param.number;
}

// The text of a slot, the empty text when the slot holds none.
inline const char* slotText(const CommandParam& param) {
    return param.text != nullptr ? param.text : "";
}

// The slot's text where it lies in the line (writable, for key texts that are
// upper-cased in place), or null when the slot holds no text.
inline char* slotTextOrNull(const CommandParam& param) {
    return param.text;
}

inline void setSlotNumber(CommandParam& param, std::int32_t number) {
    param.number = number;
    param.text = nullptr;
}

// `text` must not be null; the slot then refers to it and holds no number.
inline void setSlotText(CommandParam& param, char* text) {
    param.number = 0;
    param.text = text;
}
