#pragma once
// One parsed script line.

#include "script/command_table.h"

#include <cstdint>
#include <cstring>

// A parameter slot holds a number or a reference to text inside the line it came
// from, never both: one tag byte says which, and the eight bytes after it hold
// the number or the text's address. The bytes are only read and written by the
// functions below (the members are private to them); each setter writes the
// tag together with its value, so writing one side clears the other. Nine
// bytes, byte-aligned, make a Command of 32 bytes instead of 56.
// A value-initialised slot holds the number 0 and no text (all bytes zero).
class CommandParam {
  private:
    enum : std::uint8_t { HoldsNumber = 0, HoldsText = 1 };

    std::uint8_t tag_ = HoldsNumber;
    unsigned char value_[sizeof(char*)] = {};

    friend bool slotHoldsText(const CommandParam& param);
    friend std::int32_t slotNumber(const CommandParam& param);
    friend char* slotTextOrNull(const CommandParam& param);
    friend void setSlotNumber(CommandParam& param, std::int32_t number);
    friend void setSlotText(CommandParam& param, char* text);
};

struct Command {
    Opcode opcode = Opcode::Empty;
    CommandParam param1;
    CommandParam param2;
    CommandParam param3;
};

// True when the slot holds a text.
inline bool slotHoldsText(const CommandParam& param) {
    return param.tag_ == CommandParam::HoldsText;
}

// The number of a slot, 0 when the slot holds a text.
inline std::int32_t slotNumber(const CommandParam& param) {
    std::int32_t number = 0;
    if (param.tag_ == CommandParam::HoldsNumber) {
        std::memcpy(&number, param.value_, sizeof number);
    }
    return number;
}

// The slot's text where it lies in the line (writable, for key texts that are
// upper-cased in place), or null when the slot holds no text.
inline char* slotTextOrNull(const CommandParam& param) {
    char* text = nullptr;
    if (param.tag_ == CommandParam::HoldsText) {
        std::memcpy(&text, param.value_, sizeof text);
    }
    return text;
}

// The text of a slot, the empty text when the slot holds none.
inline const char* slotText(const CommandParam& param) {
    const char* text = slotTextOrNull(param);
    return text != nullptr ? text : "";
}

inline void setSlotNumber(CommandParam& param, std::int32_t number) {
    param.tag_ = CommandParam::HoldsNumber;
    std::memset(param.value_, 0, sizeof param.value_);
    std::memcpy(param.value_, &number, sizeof number);
}

// `text` must not be null; the slot then refers to it and holds no number.
inline void setSlotText(CommandParam& param, char* text) {
    param.tag_ = CommandParam::HoldsText;
    std::memcpy(param.value_, &text, sizeof text);
}

static_assert(sizeof(CommandParam) == 9 && sizeof(Command) == 32,
              "a command is one 32-bit opcode and three nine-byte slots");
