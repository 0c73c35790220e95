#pragma once
// What the recorder captures: the mouse and keyboard events of the desktop in
// the order they happened, each with its time and the window that was in front.
// Nothing here needs Windows.

#include "keys/key_combo.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

enum class EventKind : std::uint8_t { Move, ButtonDown, ButtonUp, KeyDown, KeyUp };

// The virtual keys of the three buttons that can be recorded: the player sends
// these as mouse events.
constexpr std::uint8_t LeftButton = 0x01;
constexpr std::uint8_t RightButton = 0x02;
constexpr std::uint8_t MiddleButton = 0x04;

struct RecordedEvent {
    EventKind kind = EventKind::Move;
    std::uint8_t key = 0;   // the virtual key of a key event, the button's of a button event
    bool injected = false;  // sent by a program rather than by a device
    std::uint32_t time = 0; // milliseconds, the system's tick count
    std::int32_t x = 0;     // the pointer's screen position (moves and buttons)
    std::int32_t y = 0;
    std::uint32_t window = 0; // the window in front: an index into Recording::captions
};

// The system's settings that decide what a pair of clicks or a move with a
// button held is.
struct PointerMetrics {
    std::uint32_t doubleClickTime = 500; // GetDoubleClickTime
    std::int32_t doubleClickWidth = 4;   // SM_CXDOUBLECLK, SM_CYDOUBLECLK
    std::int32_t doubleClickHeight = 4;
    std::int32_t dragWidth = 4; // SM_CXDRAG, SM_CYDRAG
    std::int32_t dragHeight = 4;
};

struct Recording {
    std::vector<RecordedEvent> events;
    // The captions of the windows that were in front, GBK. Index 0 is no window
    // the script can wait for: none, one without a caption, or the recorder's own.
    std::vector<std::string> captions{std::string()};
    std::uint32_t startTime = 0; // when recording began
    std::uint32_t endTime = 0;   // when it ended
    std::int32_t screenWidth = 0;
    std::int32_t screenHeight = 0;
    PointerMetrics metrics;
};

// Which of the four modifiers (in the order of KeyModifiers: SHIFT, CTRL, ALT,
// WIN) a virtual key is, left and right keys alike; -1 for every other key.
int modifierIndex(std::uint8_t virtualKey);

// The modifiers held, as KeyCombo bits, followed through a stream of key events.
// A modifier is held while any of its keys is down: both SHIFT keys may be, and
// letting go of one leaves SHIFT held. Releasing the generic code (which some
// injectors send) lets go of every key of that modifier, releasing the left or
// the right key lets go of that key and of the generic code.
struct HeldModifiers {
    KeyCombo bits = 0;
    std::array<std::uint8_t, 4> keysDown{}; // per modifier: generic 1, left 2, right 4
};
void noteKeyEvent(HeldModifiers& held, const RecordedEvent& event);

// True when `event` presses the stop key: its key goes down while every modifier
// of the combination is held (others may be held too). `held` is the state
// before the event.
bool pressesStopKey(const HeldModifiers& held, const RecordedEvent& event, KeyCombo stopKey);
