#pragma once
// What the spy shows, without Windows: the facts gathered at one point of the
// screen and the ready script lines made from them, each with the reason when
// it cannot be given.

#include "keys/key_combo.h"
#include "script/command_table.h"
#include "ui_text.h"

#include <cstdint>
#include <string>
#include <vector>

// A text of another program, as the player would read it and as a script can
// hold it.
struct TextFact {
    bool present = false;  // the text could be read
    std::string gbk;       // the whole text in GBK, when `writable`
    bool writable = false; // every character has a GBK form
    std::string problem;   // why not, when not writable
};

struct SpyFacts {
    // The point and the primary screen the player scales MoveTo to.
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t screenWidth = 0;
    std::int32_t screenHeight = 0;
    std::string colour; // the pixel's six digits as WaitColor reads them

    // The window in front.
    bool haveWindow = false;
    TextFact caption;
    TextFact className;
    std::uint32_t processId = 0;
    std::string exeName;            // as Wait Process reads it; empty when not found
    bool captionFindsOther = false; // FindWindowA by this caption gives another window first
    bool classFindsOther = false;   // FindWindowA by this class gives another window first

    // The control under the pointer, when the pointer is over a child window.
    bool haveControl = false;
    std::int32_t controlId = 0;
    TextFact controlClass;
    TextFact controlText;
    std::size_t controlTextBytes = 0; // the text's GBK length in full
    bool controlEnabled = false;
    bool controlInFrontWindow = false; // its top-level window is the window in front
    bool controlDirectChild = false;   // its parent is the window in front
    bool controlFoundFirst = false;    // GetDlgItem(window in front, id) gives this control
    std::string controlFoundInstead;   // what GetDlgItem gives instead, for the reason

    // A key pressed while the spy had the focus; 0 when none.
    KeyCombo key = 0;
};

// The player reads window and control texts into 256 bytes.
constexpr std::size_t PlayerTextLimit = 255;

enum class LineStatus {
    Ready,        // the line does what it says
    Flagged,      // written, but it reaches another window first (see `note`)
    NotAvailable, // nothing to write it from (no window, no control, off the screen)
    NotWritable,  // the text cannot stand in a GBK script line
    Unreachable,  // the control cannot be reached the way the command looks it up
};

struct SpyLine {
    Opcode opcode = Opcode::Empty;
    LineStatus status = LineStatus::NotAvailable;
    std::string line; // GBK bytes; empty unless Ready or Flagged
    std::string note; // the reason, for every status but Ready
};

// One line per command the spy offers, in a fixed order: MoveTo, WaitColor,
// WaitNotColor, Wait Caption, Top Caption, Top Class, Wait Process, Click
// ButtonText, Wait ButtonText, Wait ButtonEnable, Wait Key, HotKey, Break Key.
// The reasons are in `language`.
std::vector<SpyLine> spyLines(const SpyFacts& facts, NameForm form,
                              UiLanguage language = UiLanguage::English);

// The lines as text to copy or print, each ending in a line feed: a ready line
// as it is; any other as a REM line of the same form that names the command
// and the reason (and holds the flagged line), so the whole text is still a
// script that does nothing unintended.
std::string spyLineText(const SpyLine& line, NameForm form,
                        UiLanguage language = UiLanguage::English);
std::string spyText(const std::vector<SpyLine>& lines, NameForm form,
                    UiLanguage language = UiLanguage::English);

// The line as a list of ready lines shows it (GBK): a ready line with its
// note in parentheses, a flagged one with "[flagged: note]", any other as
// "[Command: status] note".
std::string spyRowText(const SpyLine& line, UiLanguage language = UiLanguage::English);

// "not available", "flagged" and the like.
const char* statusWord(LineStatus status, UiLanguage language = UiLanguage::English);
