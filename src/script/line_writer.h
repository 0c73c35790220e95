#pragma once
// Writing one script line: a command, its name form and its parameter values in,
// the GBK bytes of the line out. Every line written parses back through
// parseLine to the same opcode and parameters; a line that would not is refused
// with the reason, never written.

#include "script/command_table.h"

#include <cstdint>
#include <string>
#include <string_view>

// The parameter values of a line, read according to the command's ParamKind:
// Integer takes `first`; TwoIntegers `first` and `second`; TwoIntegersAndText
// both numbers and `text`; Text and KeyCombination `text` (GBK bytes). Values
// the kind does not take are ignored.
struct LineValues {
    std::int32_t first = 0;
    std::int32_t second = 0;
    std::string_view text;
};

struct WrittenLine {
    bool ok = false;
    std::string line;   // the line's GBK bytes without a line feed, when ok
    std::string reason; // why it cannot be written, when not ok
};

// The line for `opcode` in `form`. A key text is written upper-cased, as the
// player keeps it. Refused: an opcode no row carries (or the empty line), a
// text holding a line feed, a carriage return or a NUL byte, and any line that
// would parse back to another command or other values.
WrittenLine writeLine(Opcode opcode, NameForm form, const LineValues& values);

// The same, with the values a kind takes; a call whose values do not fit the
// command's kind (a text for Delay, a number for Wait Caption) is refused.
WrittenLine writeLine(Opcode opcode, NameForm form);
WrittenLine writeLine(Opcode opcode, NameForm form, std::int32_t number);
WrittenLine writeLine(Opcode opcode, NameForm form, std::int32_t x, std::int32_t y);
WrittenLine writeLine(Opcode opcode, NameForm form, std::int32_t x, std::int32_t y,
                      std::string_view text);
WrittenLine writeLine(Opcode opcode, NameForm form, std::string_view text);

// The command table row whose names the writer uses for `opcode` (the first
// row that carries it), or -1 when no row does.
int writerRow(Opcode opcode);

// The command's name in `form` as the writer writes it, without the trailing
// space that separates it from the parameters; the empty text for an opcode no
// row carries.
std::string_view commandWord(Opcode opcode, NameForm form);

// A Unicode text as GBK bytes for a script line, or why it cannot be one.
struct GbkText {
    bool ok = false;
    std::string bytes;  // when ok
    std::string reason; // when not ok: the first character GBK cannot hold
};

// Converts each UTF-16 character (surrogate pairs whole) with `convert`, which
// appends the GBK bytes of one character and returns false when GBK has no
// exact form for it.
using Utf16ToGbk = bool (*)(std::u16string_view character, std::string& out);
GbkText gbkFromUtf16(std::u16string_view text, Utf16ToGbk convert);
