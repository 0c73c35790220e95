#include "script/parser.h"

#include <bit>
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

// The leading bytes of a line or a name, case-folded, in three eight-byte
// words, zero past the end; the bytes are in memory order.
constexpr std::size_t PrefixBytes = 24;
static_assert(CommandNameCapacity <= PrefixBytes);
struct PrefixWords {
    std::uint64_t words[PrefixBytes / 8];
};

constexpr std::uint64_t EveryByte = 0x0101010101010101;
constexpr std::uint64_t HighBits = 0x8080808080808080;

// Case-folds each byte of `word`: 0x20 is added to every byte from 'A' to 'Z'.
// Each test works on the low seven bits of a byte, so no sum carries into the
// next byte, and bytes with the high bit set are left out.
std::uint64_t foldWord(std::uint64_t word) {
    const std::uint64_t low = word & ~HighBits;
    const std::uint64_t atLeastA = low + EveryByte * (0x80 - 'A');
    const std::uint64_t beyondZ = low + EveryByte * (0x80 - 'Z' - 1);
    const std::uint64_t upper = atLeastA & ~beyondZ & ~word & HighBits;
    return word | (upper >> 2);
}

template <typename Word> Word load(const char* bytes) {
    Word word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

// The `length` (1 to 7) bytes at `bytes` in the low bytes of a word, read
// with loads that stay within them: two overlapping halves, or the first,
// middle and last byte.
std::uint64_t shortWord(const char* bytes, std::size_t length) {
    if (length >= 4) {
        const std::uint64_t first = load<std::uint32_t>(bytes);
        const std::uint64_t last = load<std::uint32_t>(bytes + length - 4);
        return first | last << (8 * (length - 4));
    }
    const auto byteAt = [bytes](std::size_t at) {
        return std::uint64_t(static_cast<unsigned char>(bytes[at])) << (8 * at);
    };
    return byteAt(0) | byteAt(length / 2) | byteAt(length - 1);
}

// The first `length` bytes of `text`, at most PrefixBytes, folded and padded
// with zeros. Only the text's own bytes are read, and in words: bytes stored
// and read back in other widths would stall the loads.
PrefixWords foldedWords(const char* text, std::size_t length) {
    PrefixWords prefix;
    for (std::size_t k = 0; k < PrefixBytes / 8; ++k) {
        const std::size_t at = 8 * k;
        std::uint64_t word = 0;
        if (length >= at + 8) {
            word = load<std::uint64_t>(text + at);
        } else if (length > at && length >= 8) {
            // The line's last eight bytes; the word's own are the high ones.
            word = load<std::uint64_t>(text + length - 8) >> (8 * (at + 8 - length));
        } else if (length > at) {
            word = shortWord(text, length);
        }
        prefix.words[k] = foldWord(word);
    }
    return prefix;
}

// A name in the form the line prefix is compared with: its folded bytes and a
// mask of its length. A name has no NUL byte, so a line that ends within the
// name (and is padded with zeros there) cannot compare equal to it.
struct NameWords {
    PrefixWords bytes;
    PrefixWords mask;
    std::uint8_t length;
    std::uint8_t row;
};

// Names are looked up by their first three bytes (no name is shorter),
// hashed into this many buckets; names that share a bucket are all tried.
static_assert(CommandNameShortest >= 3);
static_assert(std::endian::native == std::endian::little, "the key is the word's low three bytes");
constexpr int BucketBits = 11;
constexpr int BucketCount = 1 << BucketBits;

// A multiplicative hash of the key, its top bits.
int bucketOf(std::uint64_t firstWord) {
    const std::uint32_t key = static_cast<std::uint32_t>(firstWord) & 0xFFFFFF;
    return static_cast<int>((key * 0x9E3779B1u) >> (32 - BucketBits));
}

// Every name of the table folded once. For each bucket, `ordered` holds the
// names in it in the order in which parseLine tries them (rows in table
// order, each row's forms in AttemptForms order). A line can only begin with
// a name whose first bytes it has, so trying the line's bucket in that order
// gives the result of trying every row and form in turn.
struct NameIndex {
    NameWords names[CommandTableRowCount][NameFormCount]; // by row and position in AttemptForms
    NameWords ordered[AttemptCount];
    // Bucket b is ordered[firstOrdered[b]..firstOrdered[b + 1]).
    std::uint16_t firstOrdered[BucketCount + 1];
};

NameIndex buildNameIndex() {
    NameIndex index{};
    std::uint16_t bucketSize[BucketCount] = {};
    for (int row = 0; row < CommandTableRowCount; ++row) {
        for (int position = 0; position < NameFormCount; ++position) {
            const char* name = commandName(AttemptForms[position], row);
            const std::size_t length =
                std::strlen(name); // within the capacity, three bytes or more
            NameWords& words = index.names[row][position];
            words.bytes = foldedWords(name, length);
            unsigned char ones[PrefixBytes] = {};
            std::memset(ones, 0xFF, length);
            std::memcpy(words.mask.words, ones, sizeof ones);
            words.length = static_cast<std::uint8_t>(length);
            words.row = static_cast<std::uint8_t>(row);
            ++bucketSize[bucketOf(words.bytes.words[0])];
        }
    }
    std::uint16_t fill[BucketCount];
    std::uint16_t start = 0;
    for (int bucket = 0; bucket < BucketCount; ++bucket) {
        index.firstOrdered[bucket] = start;
        fill[bucket] = start;
        start = static_cast<std::uint16_t>(start + bucketSize[bucket]);
    }
    index.firstOrdered[BucketCount] = start;
    for (int row = 0; row < CommandTableRowCount; ++row) {
        for (const NameWords& words : index.names[row]) {
            index.ordered[fill[bucketOf(words.bytes.words[0])]++] = words;
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

// The length of `line`, or PrefixBytes when it is longer: as much of it as is
// compared with the names.
std::size_t prefixLength(const char* line) {
    std::size_t length = 0;
    while (length < PrefixBytes && line[length] != '\0') {
        ++length;
    }
    return length;
}

// Fills `command` for `line`, which begins with the name of `row` of `nameLength` bytes.
void fillCommand(char* line, int row, std::size_t nameLength, Command& command) {
    const CommandSpec& entry = CommandTable[row];
    decodeParameters(line + nameLength, entry.paramKind, command);
    command.opcode = entry.opcode;
}

// True when the folded line prefix begins with `name`.
bool beginsWith(const PrefixWords& prefix, const NameWords& name) {
    // Most names differ from the line within the first eight bytes.
    if (((prefix.words[0] ^ name.bytes.words[0]) & name.mask.words[0]) != 0) {
        return false;
    }
    return (((prefix.words[1] ^ name.bytes.words[1]) & name.mask.words[1]) |
            ((prefix.words[2] ^ name.bytes.words[2]) & name.mask.words[2])) == 0;
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
    const NameWords& name = nameIndex().names[row][formPosition(form)];
    if (!beginsWith(foldedWords(line, prefixLength(line)), name)) {
        return false;
    }
    fillCommand(line, name.row, name.length, command);
    return true;
}

bool parseLine(char* line, std::size_t length, Command& command) {
    if (length == 0) {
        command.opcode = Opcode::Empty;
        return true;
    }
    const NameIndex& index = nameIndex();
    const PrefixWords prefix = foldedWords(line, length);
    const int bucket = bucketOf(prefix.words[0]);
    const int end = index.firstOrdered[bucket + 1];
    for (int i = index.firstOrdered[bucket]; i < end; ++i) {
        const NameWords& name = index.ordered[i];
        if (beginsWith(prefix, name)) {
            fillCommand(line, name.row, name.length, command);
            return true;
        }
    }
    return false;
}

bool parseLine(char* line, Command& command) {
    return parseLine(line, prefixLength(line), command);
}
