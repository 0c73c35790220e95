#pragma once
// One parsed script line.

#include "script/command_table.h"

#include <cstdint>
#include <cstring>

// A parameter slot holds a number or a reference to text inside the line it came
// from, never both, in one eight-byte value: a text is its address with the top
// bit set (addresses a program can hold in user space never have it), a number
// is its 32 bits with the upper half zero. The bytes are only read and written
// by the functions below (the members are private to them); each setter writes
// the whole value, so writing one side clears the other. Eight bytes,
// byte-aligned, make a Command of 28 bytes.
// A value-initialised slot holds the number 0 and no text (all bytes zero).
class CommandParam {
  private:
    static constexpr std::uint64_t TextBit = std::uint64_t(1) << 63;

    unsigned char value_[8] = {};

    std::uint64_t value() const {
        std::uint64_t value;
        std::memcpy(&value, value_, sizeof value);
        return value;
    }
    void setValue(std::uint64_t value) { std::memcpy(value_, &value, sizeof value); }

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

static_assert(sizeof(std::uintptr_t) <= sizeof(std::uint64_t));

// True when the slot holds a text.
inline bool slotHoldsText(const CommandParam& param) {
    return (param.value() & CommandParam::TextBit) != 0;
}

// The number of a slot, 0 when the slot holds a text.
inline std::int32_t slotNumber(const CommandParam& param) {
    const std::uint64_t value = param.value();
    if ((value & CommandParam::TextBit) != 0) {
        return 0;
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

// The slot's text where it lies in the line (writable, for key texts that are
// upper-cased in place), or null when the slot holds no text.
inline char* slotTextOrNull(const CommandParam& param) {
    const std::uint64_t value = param.value();
    if ((value & CommandParam::TextBit) == 0) {
        return nullptr;
    }
    return reinterpret_cast<char*>(static_cast<std::uintptr_t>(value & ~CommandParam::TextBit));
}

// The text of a slot, the empty text when the slot holds none.
inline const char* slotText(const CommandParam& param) {
    const char* text = slotTextOrNull(param);
    return text != nullptr ? text : "";
}

inline void setSlotNumber(CommandParam& param, std::int32_t number) {
    param.setValue(static_cast<std::uint32_t>(number));
}

// `text` must not be null; the slot then refers to it and holds no number.
inline void setSlotText(CommandParam& param, char* text) {
    param.setValue(static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(text)) |
                   CommandParam::TextBit);
}

static_assert(sizeof(CommandParam) == 8 && sizeof(Command) == 28,
              "a command is one 32-bit opcode and three eight-byte slots");
