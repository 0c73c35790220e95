#pragma once
// From a recording to the script that plays it back: clicks, double clicks and
// drags, typed runs of letters and digits, key combinations and held keys,
// pauses, and waits for the window in front. Nothing here needs Windows.

#include "record_events.h"
#include "script/command_table.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class StartMode { NoBox, Box, Key };

struct TranslateOptions {
    StartMode start = StartMode::NoBox;
    std::string startKey;          // the key text of Start Key, for StartMode::Key
    std::int32_t loopCount = 0;    // a Loop Times line when above 0
    KeyCombo stopKey = 0x13;       // PAUSE; never written, and recording ends there
    bool moves = false;            // write the points where the pointer rested
    std::uint32_t restTime = 500;  // how long the pointer stays still to rest (ms)
    std::uint32_t threshold = 100; // the shortest pause written as a Delay (ms)
    double speed = 1.0;            // delays are divided by this
    std::uint32_t maxDelay = 0;    // the longest Delay (ms); 0: no limit
    bool windowWaits = true;       // Wait Caption before input into another window
    bool ignoreInjected = false;   // leave out input that programs sent
    std::string comment;           // the text of the *Comment: line
};

// One script line before it is written: the command and its parameter values,
// read as the command's ParamKind takes them.
struct ScriptStep {
    Opcode opcode = Opcode::Empty;
    std::int32_t first = 0;
    std::int32_t second = 0;
    std::string text; // GBK

    bool operator==(const ScriptStep&) const = default;
};

struct Translation {
    std::vector<ScriptStep> steps; // every line, the first (Start) to the last (End)
    std::size_t bodySteps = 0;     // the lines that act, between the settings and End
    // Pointer positions left out because no MoveTo lands on them (another
    // monitor than the main one), with the buttons pressed there.
    int unreachable = 0;
};

Translation translateRecording(const Recording& recording, const TranslateOptions& options);

// The player compares this many bytes of the caption in front.
constexpr std::size_t CaptionCompared = 255;

// A window caption (GBK) as a Wait Caption line waits for it: the part before
// the first control byte, at most CaptionCompared bytes, never half of a
// double-byte character. The player's wait finds it inside the whole caption.
std::string waitCaptionText(std::string_view caption);

// "Recorded 2026-12-09 14:05 on a 1920 x 1080 screen".
std::string recordingComment(const std::string& dateTime, std::int32_t width, std::int32_t height);

struct RenderedScript {
    bool ok = false;
    std::string text;    // GBK, one line feed after every line, when ok
    std::string problem; // the step that cannot be written and why, when not ok
};

RenderedScript renderScript(const std::vector<ScriptStep>& steps, NameForm form);
