#include "script/line_writer.h"

#include "script/command.h"
#include "script/parser.h"

#include <cstdio>
#include <memory>

namespace {

// Which values a convenience call passed, to be matched against the kind.
enum class ValueShape { Any, None, OneNumber, TwoNumbers, TwoNumbersAndText, Text };

bool shapeFits(ValueShape shape, ParamKind kind) {
    switch (shape) {
    case ValueShape::Any:
        return true;
    case ValueShape::None:
        return kind == ParamKind::None;
    case ValueShape::OneNumber:
        return kind == ParamKind::Integer;
    case ValueShape::TwoNumbers:
        return kind == ParamKind::TwoIntegers;
    case ValueShape::TwoNumbersAndText:
        return kind == ParamKind::TwoIntegersAndText;
    case ValueShape::Text:
        return kind == ParamKind::Text || kind == ParamKind::KeyCombination;
    }
    return false;
}

const char* kindWants(ParamKind kind) {
    switch (kind) {
    case ParamKind::None:
        return "no parameters";
    case ParamKind::Integer:
        return "one number";
    case ParamKind::TwoIntegers:
        return "two numbers";
    case ParamKind::TwoIntegersAndText:
        return "two numbers and a text";
    case ParamKind::Text:
        return "a text";
    case ParamKind::KeyCombination:
        return "a key text";
    }
    return "other values";
}

WrittenLine refused(std::string reason) {
    WrittenLine result;
    result.reason = std::move(reason);
    return result;
}

// Why `text` cannot stand in a line, or null when it can.
const char* textProblem(std::string_view text) {
    for (char byte : text) {
        if (byte == '\n') {
            return "the text holds a line feed, which a script line cannot hold";
        }
        if (byte == '\r') {
            return "the text holds a carriage return, which a script saved with CR LF line ends "
                   "loses or keeps at random";
        }
        if (byte == '\0') {
            return "the text holds a NUL byte, which ends the script";
        }
    }
    return nullptr;
}

void appendNumber(std::string& line, std::int32_t number) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%ld", static_cast<long>(number));
    line += digits;
}

std::string upperAscii(std::string_view text) {
    std::string upper(text);
    for (char& byte : upper) {
        if (byte >= 'a' && byte <= 'z') {
            byte = static_cast<char>(byte - 0x20);
        }
    }
    return upper;
}

bool sameText(const CommandParam& param, std::string_view expected) {
    return slotHoldsText(param) && std::string_view(slotText(param)) == expected;
}

// True when `line` parses to `opcode` with exactly these values.
bool parsesBack(const std::string& line, Opcode opcode, ParamKind kind, const LineValues& values,
                std::string_view text) {
    auto buffer = std::make_unique<char[]>(line.size() + 1);
    line.copy(buffer.get(), line.size());
    buffer[line.size()] = '\0';
    Command command;
    if (!parseLine(buffer.get(), command) || command.opcode != opcode) {
        return false;
    }
    switch (kind) {
    case ParamKind::None:
        return true;
    case ParamKind::Integer:
        return slotNumber(command.param1) == values.first;
    case ParamKind::TwoIntegers:
        return slotNumber(command.param1) == values.first &&
               slotNumber(command.param2) == values.second;
    case ParamKind::TwoIntegersAndText:
        return slotNumber(command.param1) == values.first &&
               slotNumber(command.param2) == values.second && sameText(command.param3, text);
    case ParamKind::Text:
    case ParamKind::KeyCombination:
        return sameText(command.param1, text);
    }
    return false;
}

WrittenLine write(Opcode opcode, NameForm form, const LineValues& values, ValueShape shape) {
    const int row = writerRow(opcode);
    if (row < 0 || opcode == Opcode::Empty) {
        return refused("no command has the opcode " + std::to_string(static_cast<int>(opcode)));
    }
    const CommandSpec& entry = CommandTable[row];
    const std::string_view word = commandWord(opcode, NameForm::English);
    if (!shapeFits(shape, entry.paramKind)) {
        return refused(std::string(word) + " takes " + kindWants(entry.paramKind));
    }

    std::string text;
    if (entry.paramKind == ParamKind::Text || entry.paramKind == ParamKind::KeyCombination ||
        entry.paramKind == ParamKind::TwoIntegersAndText) {
        if (const char* problem = textProblem(values.text)) {
            return refused(problem);
        }
        text = entry.paramKind == ParamKind::KeyCombination ? upperAscii(values.text)
                                                            : std::string(values.text);
    }

    WrittenLine result;
    result.line = commandName(form, row);
    switch (entry.paramKind) {
    case ParamKind::None:
        break;
    case ParamKind::Integer:
        appendNumber(result.line, values.first);
        break;
    case ParamKind::TwoIntegers:
        appendNumber(result.line, values.first);
        result.line += ' ';
        appendNumber(result.line, values.second);
        break;
    case ParamKind::TwoIntegersAndText:
        appendNumber(result.line, values.first);
        result.line += ' ';
        appendNumber(result.line, values.second);
        result.line += ' ';
        result.line += text;
        break;
    case ParamKind::Text:
    case ParamKind::KeyCombination:
        result.line += text;
        break;
    }
    // The parser decides, with its tie-breaks between rows: a line it would read
    // differently is not written.
    if (!parsesBack(result.line, opcode, entry.paramKind, values, text)) {
        return refused("the player would read the line \"" + result.line +
                       "\" as another command or with other values");
    }
    result.ok = true;
    return result;
}

} // namespace

int writerRow(Opcode opcode) {
    for (int row = 0; row < CommandTableRowCount; ++row) {
        if (CommandTable[row].opcode == opcode) {
            return row;
        }
    }
    return -1;
}

std::string_view commandWord(Opcode opcode, NameForm form) {
    std::string_view name = commandName(form, writerRow(opcode));
    if (!name.empty() && name.back() == ' ') {
        name.remove_suffix(1);
    }
    return name;
}

WrittenLine writeLine(Opcode opcode, NameForm form, const LineValues& values) {
    return write(opcode, form, values, ValueShape::Any);
}

WrittenLine writeLine(Opcode opcode, NameForm form) {
    return write(opcode, form, LineValues{}, ValueShape::None);
}

WrittenLine writeLine(Opcode opcode, NameForm form, std::int32_t number) {
    return write(opcode, form, LineValues{number, 0, {}}, ValueShape::OneNumber);
}

WrittenLine writeLine(Opcode opcode, NameForm form, std::int32_t x, std::int32_t y) {
    return write(opcode, form, LineValues{x, y, {}}, ValueShape::TwoNumbers);
}

WrittenLine writeLine(Opcode opcode, NameForm form, std::int32_t x, std::int32_t y,
                      std::string_view text) {
    return write(opcode, form, LineValues{x, y, text}, ValueShape::TwoNumbersAndText);
}

WrittenLine writeLine(Opcode opcode, NameForm form, std::string_view text) {
    return write(opcode, form, LineValues{0, 0, text}, ValueShape::Text);
}

GbkText gbkFromUtf16(std::u16string_view text, Utf16ToGbk convert) {
    GbkText result;
    for (std::size_t i = 0; i < text.size();) {
        const char16_t unit = text[i];
        std::size_t length = 1;
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            length = 2;
        }
        const std::u16string_view character = text.substr(i, length);
        const bool lone = (unit >= 0xD800 && unit <= 0xDFFF) && length == 1;
        if (lone || !convert(character, result.bytes)) {
            std::uint32_t point =
                length == 2 ? 0x10000 + ((unit - 0xD800u) << 10) + (character[1] - 0xDC00u) : unit;
            char code[16];
            std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(point));
            result.bytes.clear();
            result.reason = std::string("the character ") + code + " at position " +
                            std::to_string(i + 1) +
                            " has no GBK form, so a GBK script cannot "
                            "hold the text";
            return result;
        }
        i += length;
    }
    result.ok = true;
    return result;
}
