#pragma once
// What a player started by the studio tells it, and how the studio steers it.
// Such a player carries a second resource (type 10, id 2) that names the
// studio's window and a block of shared memory; a player without it traces
// nothing. The player only posts to the window, never sends and never waits
// for it; the studio writes the block (pause, step, continue, breakpoints) and
// the player reads it before each command. Nothing here needs Windows.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

constexpr int TraceResourceName = 2;
constexpr const char* TraceMessageName = "ScriptStudioTrace";
constexpr std::uint32_t TraceVersion = 1;

// What a posted message says: its kind in the low four bits of wParam, the
// player's line (1-based, as the player counts lines) in the bits above, and
// the pass or the reason of the end in lParam.
enum class TraceEvent : std::uint32_t {
    CommandStarted = 1, // lParam: the pass, from 1
    CommandDone = 2,
    Stopped = 3, // before the line's command: a breakpoint, Pause or Step
    Resumed = 4,
    Ended = 5, // lParam: the reason
};

enum class TraceEnd : std::uint32_t {
    PassesDone = 1,
    BreakKey = 2,
    WaitEnded = 3, // a colour or process wait saw the break key held
    StartCancelled = 4,
    StartColourMismatch = 5,
    SyntaxError = 6, // the line is the one the player refused
};

struct TraceMessage {
    TraceEvent event = TraceEvent::CommandStarted;
    std::int32_t line = 0;
    std::uint32_t value = 0; // the pass or the reason
};

std::uintptr_t traceWParam(TraceEvent event, std::int32_t line);
TraceMessage decodeTraceMessage(std::uintptr_t wParam, std::intptr_t lParam);

// The resource's text: "ScriptStudioTrace 1 WINDOW NAME" and a NUL, the window
// handle in decimal and the name of the shared memory.
inline std::string traceResourceText(std::uintptr_t window, std::string_view memoryName) {
    std::string text = "ScriptStudioTrace " + std::to_string(TraceVersion) + " " +
                       std::to_string(window) + " " + std::string(memoryName);
    text.push_back('\0');
    return text;
}
// `memoryName` points into `bytes`, at the NUL-terminated name. (The player
// links this; it keeps to calls that cannot throw.)
bool parseTraceResource(const char* bytes, std::size_t size, std::uintptr_t& window,
                        const char*& memoryName);

enum class TraceMode : std::int32_t { Run = 0, Pause = 1, Step = 2 };

// The block in shared memory: this header, then one breakpoint bit per player
// line (bit 0 of byte 0 is line 1). The studio makes it with traceControlSize.
struct TraceControl {
    std::uint32_t version;
    std::uint32_t lineCount;
    std::atomic<std::int32_t> mode;
    std::atomic<std::int32_t> serial; // bumped by Continue and Step
};

std::size_t traceControlSize(std::uint32_t lineCount);
// Lays out a fresh block of traceControlSize(lineCount) zeroed bytes.
TraceControl* initTraceControl(void* memory, std::uint32_t lineCount);

bool traceBreakpoint(const TraceControl& control, std::int32_t line);
void setTraceBreakpoint(TraceControl& control, std::int32_t line, bool on);
// Whether the player stops before the command of `line`.
bool traceStopsBefore(const TraceControl& control, std::int32_t line);

// The studio's commands to a run.
void tracePause(TraceControl& control);
void traceStep(TraceControl& control);
void traceContinue(TraceControl& control);
