#pragma once
// The fixed table of script commands, each with its Chinese (GBK), English and
// short name.

#include <cstdint>

enum class NameForm : std::int32_t { English = 0, Chinese = 1, ShortCode = 2 };

enum class ParamKind : std::int32_t {
    None = 0,
    Integer = 1,
    TwoIntegers = 2,
    TwoIntegersAndText = 3,
    Text = 5,
    KeyCombination = 6,
};

struct CommandSpec {
    const char* chineseName;
    const char* englishName;
    const char* shortCode;
    ParamKind paramKind;
    std::int32_t opcode;
};

constexpr int CommandTableRowCount = 46;
// No name of the table is longer than this many bytes.
constexpr int CommandNameCapacity = 23; // "Set Last Mouse Position"
extern const CommandSpec CommandTable[CommandTableRowCount];

// The row's name in `form`; any form value other than Chinese and ShortCode
// gives the English name. A row outside the table gives the empty text.
const char* commandName(NameForm form, int row);
