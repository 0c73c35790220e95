#pragma once
// The executor's commands, grouped by concern; Script::execute dispatches to them.

#include "platform/platform.h"
#include "script/command.h"
#include "script/script.h"

#include <cstdint>

// False for exactly the eight settings opcodes, true for every other value.
// Inline: the compile pass asks it of every line.
inline bool isActionCommand(const Command& command) {
    switch (command.opcode) {
    case Opcode::BreakKey:
    case Opcode::Loop:
    case Opcode::End:
    case Opcode::LoopTimes:
    case Opcode::Rem:
    case Opcode::Comment:
    case Opcode::PauseKey:
    case Opcode::ShowTrayIcon:
        return false;
    default:
        return true;
    }
}

// Settings commands (run during the compile pass).
void executeSetting(Script& script, Command& command);

// Input and program commands; each returns nothing and never stops the run.
void clickMouse(std::uint32_t flags);
void moveMouseTo(std::int32_t x, std::int32_t y);
void rememberMousePosition();
void restoreMousePosition();
void putChars(const char* text);
void pasteText(const char* text);
void delayFor(std::int32_t milliseconds);
void startProgram(const char* text);
void startSelfOnKey(const char* text);

// Waiting and window commands. The colour and process waits return true when
// they saw the break key held.
void waitCaption(const char* text);
void waitKey(char* text);
bool waitColor(std::int32_t x, std::int32_t y, const char* colour, bool untilEqual);
bool waitProcess(const char* exeName);
void topWindow(const char* className, const char* title);
void waitControlText(const char* text, bool click);
void waitControlEnabled(const char* text);
void moveForegroundWindowToCorner();

// The executable name of a process (at most 259 bytes); empty when not found.
struct ExeName {
    char text[260] = {};
};
ExeName processExeName(std::uint32_t processId);

// The screen pixel at (x, y) as six upper-case hex digits, red first.
struct ColourText {
    char text[7] = {};
};
ColourText screenColourText(std::int32_t x, std::int32_t y);
// A colour value as the screen gives it (red in the low byte) in those digits.
ColourText colourText(std::uint32_t colour);

// A window's text as the caption and control waits read it: at most 255 bytes,
// always terminated; the empty text for no window.
struct WindowTextRead {
    static constexpr std::size_t Capacity = 256;
    char text[Capacity] = {};
};
WindowTextRead readWindowText(platform::WindowHandle window);
// The text of the control with `id` in `window`, read as Click ButtonText and
// Wait ButtonText read it (GetDlgItem, then the bounded read above).
WindowTextRead readControlText(platform::WindowHandle window, std::int32_t id);
