#pragma once
// From a key code back to the key text a script writes for it.

#include "keys/key_combo.h"

#include <string>

// The key text that resolveKeyCombo reads as `code`: the modifier prefixes in
// the order of KeyModifiers (SHIFT+CTRL+ALT+WIN+) and the key's name from
// KeyNameTable ("CTRL+ALT+F5", "CTRL+" for modifiers alone). A key without a
// name that a text can match, and a code with any of the bits 12-15, is written
// as the decimal number of the whole code, with a leading 0 where one digit
// would name a digit key ("07"). The empty text for 0, which is no key.
std::string keyText(KeyCombo code);
