// parseLine (with and without the line's length) and matchCommand on any line. The input is the
// line's buffer: the line ends at its first NUL byte, and the bytes after it must stay as they are.
// Properties: the result and the row agree with a plain restatement of the matching rule; a failed
// parse changes neither the line nor the command; a successful one writes exactly the slots of the
// row's kind, its text slots point into the line, and only a key text is changed, by upper-casing.

#include "check.h"
#include "reference.h"

#include "script/parser.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

char unwrittenText;
constexpr Opcode UnwrittenOpcode = static_cast<Opcode>(-777);

Command sentinelCommand() {
    Command command;
    command.opcode = UnwrittenOpcode;
    for (CommandParam* slot : {&command.param1, &command.param2, &command.param3}) {
        setSlotText(*slot, &unwrittenText);
    }
    return command;
}

bool unwritten(const CommandParam& slot) {
    return slotHoldsText(slot) && slotTextOrNull(slot) == &unwrittenText;
}

bool sameCommand(const Command& a, const Command& b) {
    auto same = [](const CommandParam& x, const CommandParam& y) {
        return slotHoldsText(x) == slotHoldsText(y) && slotNumber(x) == slotNumber(y) &&
               slotTextOrNull(x) == slotTextOrNull(y);
    };
    return a.opcode == b.opcode && same(a.param1, b.param1) && same(a.param2, b.param2) &&
           same(a.param3, b.param3);
}

bool number(const CommandParam& slot, std::int32_t value) {
    return !slotHoldsText(slot) && slotNumber(slot) == value;
}

bool textAt(const CommandParam& slot, const char* at) {
    return slotHoldsText(slot) && slotTextOrNull(slot) == at;
}

// The slots a successful parse of `line` (whose command name is `nameLength`
// bytes long) must hold, checked against the command, with `buffer` the line.
void checkSlots(const Command& command, const char* buffer, std::size_t lineLength, int row,
                std::size_t nameLength) {
    const CommandSpec& entry = CommandTable[row];
    FUZZ_CHECK(command.opcode == entry.opcode);
    const char* p = buffer + nameLength;
    const std::string_view parameters(p, lineLength - nameLength);
    // Every text slot lies inside the line (its end, the NUL, included).
    for (const CommandParam* slot : {&command.param1, &command.param2, &command.param3}) {
        if (!unwritten(*slot) && slotHoldsText(*slot)) {
            const char* text = slotText(*slot);
            FUZZ_CHECK(text >= buffer && text <= buffer + lineLength);
        }
    }
    std::size_t space = parameters.find(' ');
    switch (entry.paramKind) {
    case ParamKind::None:
        FUZZ_CHECK(number(command.param1, 0));
        FUZZ_CHECK(unwritten(command.param2) && unwritten(command.param3));
        break;
    case ParamKind::Integer:
        FUZZ_CHECK(number(command.param1, reference::leadingNumber(parameters)));
        FUZZ_CHECK(unwritten(command.param2) && unwritten(command.param3));
        break;
    case ParamKind::TwoIntegers:
        FUZZ_CHECK(number(command.param1, reference::leadingNumber(parameters)));
        if (space == std::string_view::npos) {
            FUZZ_CHECK(unwritten(command.param2));
        } else {
            FUZZ_CHECK(
                number(command.param2, reference::leadingNumber(parameters.substr(space + 1))));
        }
        FUZZ_CHECK(unwritten(command.param3));
        break;
    case ParamKind::TwoIntegersAndText: {
        FUZZ_CHECK(number(command.param1, reference::leadingNumber(parameters)));
        if (space == std::string_view::npos) {
            FUZZ_CHECK(unwritten(command.param2) && unwritten(command.param3));
            break;
        }
        std::string_view second = parameters.substr(space + 1);
        FUZZ_CHECK(number(command.param2, reference::leadingNumber(second)));
        std::size_t next = second.find(' ');
        if (next == std::string_view::npos) {
            FUZZ_CHECK(unwritten(command.param3));
        } else {
            FUZZ_CHECK(textAt(command.param3, p + space + 1 + next + 1));
        }
        break;
    }
    case ParamKind::Text:
    case ParamKind::KeyCombination:
        FUZZ_CHECK(textAt(command.param1, p));
        FUZZ_CHECK(unwritten(command.param2) && unwritten(command.param3));
        break;
    }
}

// After a successful parse: only a key text may have changed, and only by
// upper-casing; the length and everything past the NUL stay.
void checkChanges(const std::vector<char>& before, const std::vector<char>& after,
                  std::size_t lineLength, int row, std::size_t nameLength) {
    FUZZ_CHECK(before.size() == after.size());
    FUZZ_CHECK(std::strlen(after.data()) == lineLength);
    const bool keyText = CommandTable[row].paramKind == ParamKind::KeyCombination;
    for (std::size_t i = 0; i < before.size(); ++i) {
        char expected = before[i];
        if (keyText && i >= nameLength && i < lineLength && expected >= 'a' && expected <= 'z') {
            expected = static_cast<char>(expected - 0x20);
        }
        FUZZ_CHECK(after[i] == expected);
    }
}

// The same slots in two commands parsed from copies `a` and `b` of one line.
bool sameSlotsIn(const Command& x, const char* a, const Command& y, const char* b) {
    auto same = [a, b](const CommandParam& p, const CommandParam& q) {
        if (unwritten(p) || unwritten(q)) {
            return unwritten(p) && unwritten(q);
        }
        return slotHoldsText(p) == slotHoldsText(q) && slotNumber(p) == slotNumber(q) &&
               (!slotHoldsText(p) || slotTextOrNull(p) - a == slotTextOrNull(q) - b);
    };
    return x.opcode == y.opcode && same(x.param1, y.param1) && same(x.param2, y.param2) &&
           same(x.param3, y.param3);
}

void checkParseLine(const std::vector<char>& input) {
    std::vector<char> buffer = input;
    const std::size_t lineLength = std::strlen(buffer.data());
    const std::string_view line(buffer.data(), lineLength);
    const reference::CommandMatch expected = reference::findCommand(line);

    Command command = sentinelCommand();
    const bool parsed = parseLine(buffer.data(), command);
    // Given the line's length (as the compile pass does), on a copy of the line,
    // the parse does the same.
    std::vector<char> copy = input;
    Command withLength = sentinelCommand();
    FUZZ_CHECK(parseLine(copy.data(), lineLength, withLength) == parsed);
    FUZZ_CHECK(copy == buffer);
    FUZZ_CHECK(sameSlotsIn(command, buffer.data(), withLength, copy.data()));
    if (lineLength == 0) {
        FUZZ_CHECK(parsed);
        FUZZ_CHECK(command.opcode == Opcode::Empty);
        FUZZ_CHECK(unwritten(command.param1) && unwritten(command.param2) &&
                   unwritten(command.param3));
        FUZZ_CHECK(buffer == input);
        return;
    }
    FUZZ_CHECK(parsed == expected.matched);
    if (!parsed) {
        FUZZ_CHECK(buffer == input);
        FUZZ_CHECK(sameCommand(command, sentinelCommand()));
        return;
    }
    checkSlots(command, buffer.data(), lineLength, expected.row, expected.nameLength);
    checkChanges(input, buffer, lineLength, expected.row, expected.nameLength);
}

// Every row in every form, and rows and forms outside the table.
void checkMatchCommand(const std::vector<char>& input) {
    const std::size_t lineLength = std::strlen(input.data());
    const std::string_view line(input.data(), lineLength);
    const NameForm forms[] = {NameForm::English, NameForm::Chinese, NameForm::ShortCode,
                              static_cast<NameForm>(3), static_cast<NameForm>(-1)};
    for (int row = -1; row <= CommandTableRowCount; ++row) {
        for (NameForm form : forms) {
            std::vector<char> buffer = input;
            Command command = sentinelCommand();
            const bool matched = matchCommand(buffer.data(), row, form, command);
            if (lineLength == 0) {
                FUZZ_CHECK(matched && command.opcode == Opcode::Empty && buffer == input);
                continue;
            }
            FUZZ_CHECK(matched == reference::beginsWithName(line, row, form));
            if (!matched) {
                FUZZ_CHECK(buffer == input);
                FUZZ_CHECK(sameCommand(command, sentinelCommand()));
                continue;
            }
            const std::size_t nameLength = std::strlen(commandName(form, row));
            checkSlots(command, buffer.data(), lineLength, row, nameLength);
            checkChanges(input, buffer, lineLength, row, nameLength);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The line's own buffer, NUL-terminated; bytes after an inner NUL stay in it.
    std::vector<char> input(data, data + size);
    input.push_back('\0');
    checkParseLine(input);
    checkMatchCommand(input);
    return 0;
}
