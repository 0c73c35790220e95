#pragma once
// One parsed script line.

#include "script/command_table.h"

#include <cstdint>

// A parameter slot holds a number or a reference to text inside the line it came
// from; a slot the parser did not write reads as 0 and as no text.
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

// The text of a slot, the empty text when the slot holds none.
inline const char* slotText(const CommandParam& param) {
    return param.text != nullptr ? param.text : "";
}
