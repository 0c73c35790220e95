#pragma once
// The fixed table of script commands, each with its Chinese (GBK), English and
// short name.

#include <cstdint>

// What a command does. The values are those the command table gives its rows;
// several rows (the Chinese synonyms, WaitColor and Wait Color) share one.
enum class Opcode : std::int32_t {
    Empty = 0, // an empty line
    WaitCaption = 1,
    StartColor = 2,
    WaitKey = 3,
    HotKey = 4,
    PutChar = 5,
    Delay = 6,
    Excute = 7,
    StartKey = 8,
    BreakKey = 9,
    WaitColor = 10,
    PushDown = 11,
    PushUp = 12,
    WaitProcess = 13,
    TopClass = 14,
    TopCaption = 17,
    ClickButtonText = 18,
    WaitButtonText = 19,
    WaitButtonEnable = 20,
    MoveToRelWin = 21,
    WindowLeftTop = 22,
    LClick = 23,
    RClick = 26,
    LDBClick = 27,
    MClick = 29,
    MoveTo = 30,
    MoveToClick = 31,
    Loop = 32,
    End = 33,
    StartNoBox = 34,
    Start = 35,
    RememberMousePosition = 36,
    SetLastMousePosition = 37,
    LoopTimes = 38,
    IfKey = 39,
    PutTextCb = 40,
    PutText = 41,
    WaitNotColor = 42,
    Rem = 43,
    Goto = 44,
    Comment = 45,
    PauseKey = 46,
    ShowTrayIcon = 47,
};

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
    Opcode opcode;
};

constexpr int CommandTableRowCount = 46;
// No name of the table is longer than this many bytes.
constexpr int CommandNameCapacity = 23; // "Set Last Mouse Position"
// No name is shorter than this many bytes.
constexpr int CommandNameShortest = 3; // "STR", "End" and the like
extern const CommandSpec CommandTable[CommandTableRowCount];

// The row's name in `form`; any form value other than Chinese and ShortCode
// gives the English name. A row outside the table gives the empty text.
const char* commandName(NameForm form, int row);
