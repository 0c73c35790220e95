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

// The leading bytes of a line, case-folded.
struct FoldedPrefix {
    unsigned char bytes[CommandNameCapacity];
    std::size_t length; // bytes folded: the limit, or fewer when the line ends sooner
};

// Folds at most `limit` (no more than the capacity) leading bytes of `line`.
void foldPrefix(const char* line, std::size_t limit, FoldedPrefix& prefix) {
    std::size_t length = 0;
    while (length < limit && line[length] != '\0') {
        prefix.bytes[length] = foldByte(static_cast<unsigned char>(line[length]));
        ++length;
    }
    prefix.length = length;
}

struct FoldedName {
    unsigned char bytes[CommandNameCapacity];
    std::uint8_t length;
    std::uint8_t row;
};

// Every name of the table folded once. For each possible first byte of a folded
// line, `ordered` holds the names that start with that byte, in the order in
// which parseLine tries them, and `longest` the longest of them. A line can only
// begin with a name whose first byte it has, so trying one bucket gives the
// result of trying every row and form in turn.
struct NameIndex {
    FoldedName names[CommandTableRowCount][NameFormCount]; // by row and position in AttemptForms
    FoldedName ordered[AttemptCount];
    std::uint16_t firstOrdered[257]; // bucket b is ordered[firstOrdered[b]..firstOrdered[b + 1])
    std::uint8_t longest[256];
};

NameIndex buildNameIndex() {
    NameIndex index{};
    std::uint16_t bucketSize[256] = {};
    for (int row = 0; row < CommandTableRowCount; ++row) {
        for (int position = 0; position < NameFormCount; ++position) {
            const char* name = commandName(AttemptForms[position], row);
            FoldedName& folded = index.names[row][position];
            std::size_t length = std::strlen(name); // non-empty and within the capacity
            for (std::size_t i = 0; i < length; ++i) {
                folded.bytes[i] = foldByte(static_cast<unsigned char>(name[i]));
            }
            folded.length = static_cast<std::uint8_t>(length);
            folded.row = static_cast<std::uint8_t>(row);
            unsigned char first = folded.bytes[0];
            ++bucketSize[first];
            if (folded.length > index.longest[first]) {
                index.longest[first] = folded.length;
            }
        }
    }
    std::uint16_t fill[256];
    std::uint16_t start = 0;
    for (int byte = 0; byte < 256; ++byte) {
        index.firstOrdered[byte] = start;
        fill[byte] = start;
        start = static_cast<std::uint16_t>(start + bucketSize[byte]);
    }
    index.firstOrdered[256] = start;
    for (int row = 0; row < CommandTableRowCount; ++row) {
        for (int position = 0; position < NameFormCount; ++position) {
            const FoldedName& folded = index.names[row][position];
            index.ordered[fill[folded.bytes[0]]++] = folded;
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
        setSlotNumber(command.param1, 0);
        break;
    case ParamKind::Integer:
        setSlotNumber(command.param1, readNumber(p));
        break;
    case ParamKind::TwoIntegers: {
        setSlotNumber(command.param1, readNumber(p));
        char* space = std::strchr(p, ' ');
        if (space != nullptr) {
            setSlotNumber(command.param2, readNumber(space + 1));
        }
        break;
    }
    case ParamKind::TwoIntegersAndText: {
        setSlotNumber(command.param1, readNumber(p));
        char* space = std::strchr(p, ' ');
        if (space == nullptr) {
            break;
        }
        char* second = space + 1;
        setSlotNumber(command.param2, readNumber(second));
        char* next = std::strchr(second, ' ');
        if (next != nullptr) {
            setSlotText(command.param3, next + 1);
        }
        break;
    }
    case ParamKind::Text:
        setSlotText(command.param1, p);
        break;
    case ParamKind::KeyCombination:
        // Key texts are kept upper-case in the line itself, so every later reader
        // (and the break and pause keys copied from it) sees them that way.
        for (char* byte = p; *byte != '\0'; ++byte) {
            if (*byte >= 'a' && *byte <= 'z') {
                *byte = static_cast<char>(*byte - 0x20);
            }
        }
        setSlotText(command.param1, p);
        break;
    }
}

bool startsWith(const FoldedPrefix& prefix, const FoldedName& name) {
    if (name.length > prefix.length) {
        return false;
    }
    // Names are short and most differ within their first bytes: a plain loop
    // beats a library call here.
    for (std::size_t i = 0; i < name.length; ++i) {
        if (prefix.bytes[i] != name.bytes[i]) {
            return false;
        }
    }
    return true;
}

// Fills `command` for `line`, which begins with `name`.
void fillCommand(char* line, const FoldedName& name, Command& command) {
    const CommandSpec& entry = CommandTable[name.row];
    decodeParameters(line + name.length, entry.paramKind, command);
    command.opcode = entry.opcode;
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
        command.opcode = Opcode::Empty;
        return true;
    }
    if (row < 0 || row >= CommandTableRowCount) {
        return false;
    }
    const FoldedName& name = nameIndex().names[row][formPosition(form)];
    FoldedPrefix prefix;
    foldPrefix(line, name.length, prefix);
    if (!startsWith(prefix, name)) {
        return false;
    }
    fillCommand(line, name, command);
    return true;
}

bool parseLine(char* line, Command& command) {
    if (line[0] == '\0') {
        command.opcode = Opcode::Empty;
        return true;
    }
    const NameIndex& index = nameIndex();
    unsigned char first = foldByte(static_cast<unsigned char>(line[0]));
    int begin = index.firstOrdered[first];
    int end = index.firstOrdered[first + 1];
    if (begin == end) {
        return false;
    }
    FoldedPrefix prefix;
    foldPrefix(line, index.longest[first], prefix);
    for (int i = begin; i < end; ++i) {
        const FoldedName& name = index.ordered[i];
        if (startsWith(prefix, name)) {
            fillCommand(line, name, command);
            return true;
        }
    }
    return false;
}
