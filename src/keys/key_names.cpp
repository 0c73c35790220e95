#include "keys/key_combo.h"

// Indexed by virtual-key code. A name is matched whole and case-sensitively
// against an upper-cased text, so the mixed-case "Fn" of 0xFF never matches:
// that code is reachable only through the numeric form.
// clang-format off
const char* const KeyNameTable[256] = {
    "", "LBUTTON", "RBUTTON", "CANCEL", "MBUTTON", "XBUTTON1", "XBUTTON2", "", // 0x00
    "BACK", "TAB", "", "", "CLEAR", "ENTER", "", "", // 0x08
    "SHIFT", "CTRL", "ALT", "PAUSE", "CAPS", "", "", "", // 0x10
    "", "", "", "ESC", "CONVERT", "NONCONVERT", "ACCEPT", "MODECHANGE", // 0x18
    "SPACE", "PAGEUP", "PAGEDOWN", "END", "HOME", "LEFT", "UP", "RIGHT", // 0x20
    "DOWN", "SELECT", "PRINT", "EXECUTE", "SNAPSHOT", "INS", "DEL", "HELP", // 0x28
    "0", "1", "2", "3", "4", "5", "6", "7", // 0x30
    "8", "9", "", "", "", "", "", "", // 0x38
    "", "A", "B", "C", "D", "E", "F", "G", // 0x40
    "H", "I", "J", "K", "L", "M", "N", "O", // 0x48
    "P", "Q", "R", "S", "T", "U", "V", "W", // 0x50
    "X", "Y", "Z", "LWIN", "RWIN", "APPS", "", "SLEEP", // 0x58
    "NUM0", "NUM1", "NUM2", "NUM3", "NUM4", "NUM5", "NUM6", "NUM7", // 0x60
    "NUM8", "NUM9", "NUM*", "NUM+", "SEPARATOR", "NUM-", "NUM.", "NUM/", // 0x68
    "F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", // 0x70
    "F9", "F10", "F11", "F12", "F13", "F14", "F15", "F16", // 0x78
    "F17", "F18", "F19", "F20", "F21", "F22", "F23", "F24", // 0x80
    "", "", "", "", "", "", "", "", // 0x88
    "NUMLOCK", "SCROLL", "", "", "", "", "", "", // 0x90
    "", "", "", "", "", "", "", "", // 0x98
    "", "", "", "", "", "", "", "", // 0xA0
    "", "", "", "", "", "", "", "", // 0xA8
    "", "", "", "", "", "", "", "", // 0xB0
    "", "", ";", "=", ",", "-", ".", "/", // 0xB8
    "`", "", "", "", "", "", "", "", // 0xC0
    "", "", "", "", "", "", "", "", // 0xC8
    "", "", "", "", "", "", "", "", // 0xD0
    "", "", "", "[", "\\", "]", "'", "", // 0xD8
    "", "", "", "", "", "", "", "", // 0xE0
    "", "", "", "", "", "", "", "", // 0xE8
    "", "", "", "", "", "", "", "", // 0xF0
    "", "", "", "", "", "", "", "Fn", // 0xF8
};
// clang-format on

const KeyModifier KeyModifiers[4] = {
    {ShiftBit, "SHIFT+", 6, 0x10},
    {CtrlBit, "CTRL+", 5, 0x11},
    {AltBit, "ALT+", 4, 0x12},
    {WinBit, "WIN+", 4, 0x5B},
};
