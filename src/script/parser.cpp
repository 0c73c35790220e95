#include "script/parser.h"

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

constexpr int NameFormCount = 3;
constexpr int AttemptCount = CommandTableRowCount * NameFormCount;

// The order in which the forms of one row are tried.
constexpr NameForm AttemptForms[NameFormCount] = {NameForm::Chinese, NameForm::English,
                                                  NameForm::ShortCode};

constexpr unsigned char foldByte(unsigned char byte) {
    return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte + 0x20) : byte;
}

constexpr char upperByte(char byte) {
    return byte >= 'a' && byte <= 'z' ? static_cast<char>(byte - 0x20) : byte;
}

// The leading bytes of a line, case-folded: as many as the longest name needs.
struct FoldedPrefix {
    unsigned char bytes[CommandNameCapacity];
    std::size_t length; // less than the capacity only when the line ends sooner
};

FoldedPrefix foldPrefix(const char* line) {
    FoldedPrefix prefix{};
    while (prefix.length < CommandNameCapacity && line[prefix.length] != '\0') {
        prefix.bytes[prefix.length] = foldByte(static_cast<unsigned char>(line[prefix.length]));
        ++prefix.length;
    }
    return prefix;
}

struct FoldedName {
    unsigned char bytes[CommandNameCapacity];
    std::uint8_t length;
};

// Every name of the table folded once, and for each possible first byte of a
// folded line the attempts whose name starts with that byte, in the order in
// which parseLine tries them. A line can only begin with a name whose first byte
// it has, so this keeps the results of trying every attempt in turn.
struct NameIndex {
    FoldedName names[CommandTableRowCount][NameFormCount];
    std::uint16_t firstAttempt[257];     // bucket b is attempts[firstAttempt[b]..firstAttempt[b+1])
    std::uint8_t attempts[AttemptCount]; // row * NameFormCount + position in AttemptForms
};

NameIndex buildNameIndex() {
    NameIndex index{};
    std::uint16_t bucketSize[256] = {};
    for (int row = 0; row < CommandTableRowCount; ++row) {
        for (int position = 0; position < NameFormCount; ++position) {
            const char* name = commandName(AttemptForms[position], row);
            FoldedName& folded = index.names[row][position];
            std::size_t length = std::strlen(name); // at most the capacity, checked with the table
            for (std::size_t i = 0; i < length; ++i) {
                folded.bytes[i] = foldByte(static_cast<unsigned char>(name[i]));
            }
            folded.length = static_cast<std::uint8_t>(length);
            ++bucketSize[folded.bytes[0]];
        }
    }
    std::uint16_t fill[256];
    std::uint16_t start = 0;
    for (int byte = 0; byte < 256; ++byte) {
        index.firstAttempt[byte] = start;
        fill[byte] = start;
        start = static_cast<std::uint16_t>(start + bucketSize[byte]);
    }
    index.firstAttempt[256] = start;
    for (int row = 0; row < CommandTableRowCount; ++row) {
        for (int position = 0; position < NameFormCount; ++position) {
            unsigned char first = index.names[row][position].bytes[0];
            index.attempts[fill[first]++] =
                static_cast<std::uint8_t>(row * NameFormCount + position);
        }
    }
    return index;
}

const NameIndex& nameIndex() {
    static const NameIndex index = buildNameIndex();
    return index;
}

// The position of `form` in AttemptForms.
int formPosition(NameForm form) {
    switch (form) {
    case NameForm::Chinese:
        return 0;
    case NameForm::ShortCode:
        return 2;
    default:
        return 1; // any other value means the English name, as commandName has it
    }
}

// Decodes the parameter text `p` (inside the line) into the slots of `kind`.
void decodeParameters(char* p, ParamKind kind, Command& command) {
    switch (kind) {
    case ParamKind::None:
        command.param1 = CommandParam{};
        break;
    case ParamKind::Integer:
        command.param1 = CommandParam{readNumber(p), nullptr};
        break;
    case ParamKind::TwoIntegers: {
        command.param1 = CommandParam{readNumber(p), nullptr};
        char* space = std::strchr(p, ' ');
        if (space != nullptr) {
            command.param2 = CommandParam{readNumber(space + 1), nullptr};
        }
        break;
    }
    case ParamKind::TwoIntegersAndText: {
        command.param1 = CommandParam{readNumber(p), nullptr};
        char* space = std::strchr(p, ' ');
        if (space == nullptr) {
            break;
        }
        char* second = space + 1;
        command.param2 = CommandParam{readNumber(second), nullptr};
        char* next = std::strchr(second, ' ');
        if (next != nullptr) {
            command.param3 = CommandParam{0, next + 1};
        }
        break;
    }
    case ParamKind::Text:
        command.param1 = CommandParam{0, p};
        break;
    case ParamKind::KeyCombination:
        // Key texts are kept upper-case in the line itself, so every later reader
        // (and the break and pause keys copied from it) sees them that way.
        for (char* byte = p; *byte != '\0'; ++byte) {
            *byte = upperByte(*byte);
        }
        command.param1 = CommandParam{0, p};
        break;
    }
}

// One attempt against a line of at least one byte whose folded prefix is given.
bool matchFolded(char* line, const FoldedPrefix& prefix, int row, int position, Command& command) {
    const FoldedName& name = nameIndex().names[row][position];
    if (name.length > prefix.length || std::memcmp(prefix.bytes, name.bytes, name.length) != 0) {
        return false;
    }
    const CommandSpec& spec = CommandTable[row];
    decodeParameters(line + name.length, spec.paramKind, command);
    command.opcode = spec.opcode;
    return true;
}

} // namespace

std::int32_t readNumber(const char* text) {
    const char* at = text;
    while (*at == ' ' || (*at >= '\t' && *at <= '\r')) {
        ++at;
    }
    bool negative = false;
    if (*at == '+' || *at == '-') {
        negative = *at == '-';
        ++at;
    }
    // Accumulated as a negative value so that INT32_MIN itself is representable;
    // beyond the range the value stays at the limit instead of overflowing.
    constexpr std::int64_t lowest = INT32_MIN;
    std::int64_t value = 0;
    for (; *at >= '0' && *at <= '9'; ++at) {
        if (value > lowest) {
            value = value * 10 - (*at - '0');
            if (value < lowest) {
                value = lowest;
            }
        }
    }
    if (negative) {
        return static_cast<std::int32_t>(value);
    }
    return value < -std::int64_t(INT32_MAX) ? INT32_MAX : static_cast<std::int32_t>(-value);
}

bool matchCommand(char* line, int row, NameForm form, Command& command) {
    if (line[0] == '\0') {
        command.opcode = 0;
        return true;
    }
    if (row < 0 || row >= CommandTableRowCount) {
        return false;
    }
    return matchFolded(line, foldPrefix(line), row, formPosition(form), command);
}

bool parseLine(char* line, Command& command) {
    if (line[0] == '\0') {
        command.opcode = 0;
        return true;
    }
    const NameIndex& index = nameIndex();
    FoldedPrefix prefix = foldPrefix(line);
    unsigned char first = prefix.bytes[0];
    for (int i = index.firstAttempt[first]; i < index.firstAttempt[first + 1]; ++i) {
        int attempt = index.attempts[i];
        if (matchFolded(line, prefix, attempt / NameFormCount, attempt % NameFormCount, command)) {
            return true;
        }
    }
    return false;
}
