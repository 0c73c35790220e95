#pragma once
// Key-combination texts ("CTRL+ALT+DEL", "F12", "577") and their 16-bit codes.

#include <cstdint>

// Bits 0-7 the virtual key, 0x100 SHIFT, 0x200 CTRL, 0x400 ALT, 0x800 WIN; 0 no key.
using KeyCombo = std::uint16_t;

constexpr KeyCombo ShiftBit = 0x100;
constexpr KeyCombo CtrlBit = 0x200;
constexpr KeyCombo AltBit = 0x400;
constexpr KeyCombo WinBit = 0x800;

enum KeySendMode : std::int32_t {
    PressAndRelease = 0,
    PressOnly = 1,
    ReleaseOnly = 2,
};

// The names of the virtual keys 0x00..0xFF; the empty text where a code has none.
extern const char* const KeyNameTable[256];

struct KeyModifier {
    KeyCombo bit;
    const char* prefix;
    std::uint8_t prefixLength;
    std::uint8_t virtualKey;
};

// SHIFT, CTRL, ALT, WIN: the order in which modifiers are pressed, released and tested.
extern const KeyModifier KeyModifiers[4];

// All four operations upper-case `text` in place (ASCII letters only).
// The modifier bits plus the code of the named key; 0 when the name matches none.
KeyCombo parseKeyCombo(char* text);
// parseKeyCombo, or when that is 0 the low 16 bits of the leading decimal number.
KeyCombo resolveKeyCombo(char* text);
// True while every modifier of the combination and its key are down.
bool isKeyComboHeld(char* text);
// Presses and/or releases the combination; nothing for a text that names no key.
void sendKeyCombo(char* text, std::int32_t mode);
