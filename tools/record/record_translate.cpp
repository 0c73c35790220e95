#include "record_translate.h"

#include "keys/key_text.h"
#include "runner/pointer_scale.h"
#include "runner/run_state.h"
#include "script/line_writer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

int modifierIndex(std::uint8_t virtualKey) {
    switch (virtualKey) {
    case 0x10: // SHIFT, LSHIFT, RSHIFT
    case 0xA0:
    case 0xA1:
        return 0;
    case 0x11: // CTRL, LCONTROL, RCONTROL
    case 0xA2:
    case 0xA3:
        return 1;
    case 0x12: // ALT, LMENU, RMENU
    case 0xA4:
    case 0xA5:
        return 2;
    case 0x5B: // LWIN, RWIN
    case 0x5C:
        return 3;
    default:
        return -1;
    }
}

namespace {

constexpr std::uint8_t GenericKey = 1;
constexpr std::uint8_t LeftKey = 2;
constexpr std::uint8_t RightKey = 4;

// Which of its modifier's keys a modifier key is.
std::uint8_t modifierKeySide(std::uint8_t virtualKey) {
    switch (virtualKey) {
    case 0x10:
    case 0x11:
    case 0x12:
        return GenericKey;
    case 0xA0:
    case 0xA2:
    case 0xA4:
    case 0x5B:
        return LeftKey;
    default:
        return RightKey;
    }
}

} // namespace

void noteKeyEvent(HeldModifiers& held, const RecordedEvent& event) {
    const int modifier = modifierIndex(event.key);
    if (modifier < 0) {
        return;
    }
    std::uint8_t& down = held.keysDown[static_cast<std::size_t>(modifier)];
    const std::uint8_t side = modifierKeySide(event.key);
    if (event.kind == EventKind::KeyDown) {
        down |= side;
    } else if (event.kind == EventKind::KeyUp) {
        down = side == GenericKey ? 0 : static_cast<std::uint8_t>(down & ~(side | GenericKey));
    }
    if (down != 0) {
        held.bits |= KeyModifiers[modifier].bit;
    } else {
        held.bits &= static_cast<KeyCombo>(~KeyModifiers[modifier].bit);
    }
}

bool pressesStopKey(const HeldModifiers& held, const RecordedEvent& event, KeyCombo stopKey) {
    const KeyCombo wanted = stopKey & 0x0F00;
    return stopKey != 0 && event.kind == EventKind::KeyDown && event.key == (stopKey & 0xFF) &&
           (held.bits & wanted) == wanted;
}

std::string recordingComment(const std::string& dateTime, std::int32_t width, std::int32_t height) {
    return "Recorded " + dateTime + " on a " + std::to_string(width) + " x " +
           std::to_string(height) + " screen";
}

std::string waitCaptionText(std::string_view caption) {
    std::size_t length = 0;
    while (length < caption.size()) {
        const auto byte = static_cast<unsigned char>(caption[length]);
        const std::size_t width = byte >= 0x81 && byte <= 0xFE ? 2 : 1;
        if (byte < 0x20 || byte == 0x7F || length + width > CaptionCompared ||
            length + width > caption.size()) {
            break;
        }
        length += width;
    }
    return std::string(caption.substr(0, length));
}

namespace {

// What the recording did, in order, before it becomes lines: the first pass
// decides what the events mean, the second writes the lines with the pauses
// and waits between them.
enum class ActionKind : std::uint8_t {
    MoveTo,      // the pointer at a point (x, y)
    Click,       // a press and release of `key` (a button)
    DoubleClick, // two left clicks that the system takes for one double click
    Press,       // Push Down `key` (a button or key combination)
    Release,     // Push Up `key`
    Tap,         // HotKey `key`, or a letter of a PutChar run
};

struct Action {
    ActionKind kind = ActionKind::MoveTo;
    bool dropped = false;
    KeyCombo key = 0;
    std::uint32_t time = 0; // milliseconds since recording began, of its first event
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::uint32_t window = 0;
    // Its last event: a click's release, a key's release, the release of the
    // modifiers of a combination. The played action takes no time, so the
    // pause after it is measured from here.
    std::uint32_t endTime = 0;
};

// A modifier's part in what is written: held without use yet, used in a
// combination (HotKey CTRL+C), or held down with Push Down because a button
// was pressed while it was held (a SHIFT click).
enum class ModifierUse : std::uint8_t { Up, Held, InCombination, Pushed };

struct ButtonState {
    bool down = false;
    bool dragging = false;
    std::size_t action = 0; // its Click, which becomes a Press when it drags
    std::int32_t x = 0;
    std::int32_t y = 0;
};

struct KeyState {
    bool down = false;
    bool repeated = false;
    std::size_t action = 0; // its Tap, which becomes a Press when the key repeats
};

bool isPlainKey(KeyCombo key) {
    return (key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z');
}

class FirstPass {
  public:
    FirstPass(const Recording& recording, const TranslateOptions& options)
        : recording(recording), options(options) {}

    std::vector<Action> run() {
        HeldModifiers held;
        std::uint32_t end = elapsed(recording.endTime);
        for (const RecordedEvent& event : recording.events) {
            const bool isKey = event.kind == EventKind::KeyDown || event.kind == EventKind::KeyUp;
            if (isKey && pressesStopKey(held, event, options.stopKey)) {
                end = elapsed(event.time);
                break;
            }
            if (isKey) {
                noteKeyEvent(held, event);
            }
            if (options.ignoreInjected && event.injected) {
                continue;
            }
            handle(event);
        }
        finish(end);
        return std::move(actions);
    }

  private:
    std::uint32_t elapsed(std::uint32_t time) const {
        const std::uint32_t since = time - recording.startTime;
        return since > 0x7FFFFFFF ? 0 : since; // an event stamped before the start
    }

    // Actions stay in time order: one stamped earlier than the last (a move
    // made before the action that came last) takes that action's time.
    std::size_t add(ActionKind kind, std::uint32_t time, KeyCombo key, std::int32_t x,
                    std::int32_t y, std::uint32_t window) {
        if (!actions.empty() && time < actions.back().time) {
            time = actions.back().time;
        }
        actions.push_back(Action{kind, false, key, time, x, y, window, time});
        return actions.size() - 1;
    }

    void handle(const RecordedEvent& event) {
        const std::uint32_t time = elapsed(event.time);
        noteRest(time);
        switch (event.kind) {
        case EventKind::Move:
            move(event, time);
            break;
        case EventKind::ButtonDown:
            buttonDown(event, time);
            break;
        case EventKind::ButtonUp:
            buttonUp(event, time);
            break;
        case EventKind::KeyDown:
            keyDown(event, time);
            break;
        case EventKind::KeyUp:
            keyUp(event, time);
            break;
        }
    }

    // With --moves: the pointer has rested when it stayed still for the rest
    // time; the point is written at the time it arrived there.
    void noteRest(std::uint32_t now) {
        if (options.moves && restPending && now - lastMove >= options.restTime) {
            add(ActionKind::MoveTo, lastMove, 0, pointerX, pointerY, lastMoveWindow);
            restPending = false;
        }
    }

    static int buttonSlot(std::uint8_t button) {
        switch (button) {
        case LeftButton:
            return 0;
        case RightButton:
            return 1;
        case MiddleButton:
            return 2;
        default:
            return -1;
        }
    }

    bool beyondDrag(const ButtonState& button, std::int32_t x, std::int32_t y) const {
        return std::abs(x - button.x) > recording.metrics.dragWidth ||
               std::abs(y - button.y) > recording.metrics.dragHeight;
    }

    void move(const RecordedEvent& event, std::uint32_t time) {
        pointerX = event.x;
        pointerY = event.y;
        lastMove = time;
        lastMoveWindow = event.window;
        restPending = true;
        for (ButtonState& button : buttons) {
            if (button.down && !button.dragging && beyondDrag(button, event.x, event.y)) {
                button.dragging = true;
            }
        }
    }

    // The modifiers that are held while a button goes down are pushed down
    // for the click, so the played click is the same SHIFT or CTRL click.
    void pushHeldModifiers(std::uint32_t time, std::uint32_t window) {
        for (int modifier = 0; modifier < 4; ++modifier) {
            if (modifiers[modifier] == ModifierUse::Held ||
                modifiers[modifier] == ModifierUse::InCombination) {
                add(ActionKind::Press, time, KeyModifiers[modifier].virtualKey, 0, 0, window);
                modifiers[modifier] = ModifierUse::Pushed;
            }
        }
    }

    void buttonDown(const RecordedEvent& event, std::uint32_t time) {
        const int slot = buttonSlot(event.key);
        if (slot < 0 || buttons[slot].down) {
            return;
        }
        // The pointer arrived at the click's point with its last move.
        add(ActionKind::MoveTo, lastMove, 0, event.x, event.y, event.window);
        pushHeldModifiers(time, event.window);
        ButtonState& button = buttons[slot];
        button = ButtonState{
            true, false, add(ActionKind::Click, time, event.key, event.x, event.y, event.window),
            event.x, event.y};
        pointerX = event.x;
        pointerY = event.y;
        restPending = false;
    }

    void buttonUp(const RecordedEvent& event, std::uint32_t time) {
        const int slot = buttonSlot(event.key);
        if (slot < 0 || !buttons[slot].down) {
            return; // a release whose press came before the recording
        }
        ButtonState& button = buttons[slot];
        button.down = false;
        if (button.dragging || beyondDrag(button, event.x, event.y)) {
            actions[button.action].kind = ActionKind::Press;
            add(ActionKind::MoveTo, lastMove, 0, event.x, event.y, event.window);
            add(ActionKind::Release, time, event.key, 0, 0, event.window);
            lastClick = NoClick;
            pointerX = event.x;
            pointerY = event.y;
            restPending = false;
            return;
        }
        actions[button.action].endTime = time;
        if (slot == 0) {
            leftClicked(button.action);
        }
    }

    // The second of two left clicks within the system's double-click time and
    // rectangle, with nothing else between them, makes the first a double click.
    // A press exactly at a limit still counts (the time is the longest that may
    // pass, the rectangle's half-width the farthest the point may move).
    void leftClicked(std::size_t click) {
        const Action& second = actions[click];
        if (lastClick != NoClick) {
            Action& first = actions[lastClick];
            bool alone = true;
            for (std::size_t between = lastClick + 1; between < click; ++between) {
                alone = alone && actions[between].kind == ActionKind::MoveTo;
            }
            const PointerMetrics& metrics = recording.metrics;
            if (alone && second.time - first.time <= metrics.doubleClickTime &&
                std::abs(second.x - first.x) <= metrics.doubleClickWidth / 2 &&
                std::abs(second.y - first.y) <= metrics.doubleClickHeight / 2) {
                first.kind = ActionKind::DoubleClick;
                first.endTime = second.endTime;
                for (std::size_t between = lastClick + 1; between <= click; ++between) {
                    actions[between].dropped = true;
                }
                lastClick = NoClick;
                return;
            }
        }
        lastClick = click;
    }

    KeyCombo combinationBits() const {
        KeyCombo bits = 0;
        for (int modifier = 0; modifier < 4; ++modifier) {
            if (modifiers[modifier] == ModifierUse::Held ||
                modifiers[modifier] == ModifierUse::InCombination) {
                bits |= KeyModifiers[modifier].bit;
            }
        }
        return bits;
    }

    void keyDown(const RecordedEvent& event, std::uint32_t time) {
        const int modifier = modifierIndex(event.key);
        if (modifier >= 0) {
            noteKeyEvent(modifierKeys, event);
            if (modifiers[modifier] == ModifierUse::Up) {
                modifiers[modifier] = ModifierUse::Held;
            }
            return; // a held modifier repeats: nothing to write
        }
        KeyState& key = keys[event.key];
        if (key.down) {
            // Auto-repeat: the key is held, and is played as held.
            if (!key.repeated) {
                key.repeated = true;
                actions[key.action].kind = ActionKind::Press;
            }
            return;
        }
        const KeyCombo bits = combinationBits();
        lastClick = NoClick;
        key = KeyState{true, false,
                       add(ActionKind::Tap, time, static_cast<KeyCombo>(bits | event.key), 0, 0,
                           event.window)};
        for (int other = 0; other < 4; ++other) {
            if (bits & KeyModifiers[other].bit) {
                modifiers[other] = ModifierUse::InCombination;
                combination[other] = key.action;
            }
        }
    }

    void keyUp(const RecordedEvent& event, std::uint32_t time) {
        const int modifier = modifierIndex(event.key);
        if (modifier >= 0) {
            noteKeyEvent(modifierKeys, event);
            if ((modifierKeys.bits & KeyModifiers[modifier].bit) != 0) {
                return; // another of its keys is still down
            }
            const KeyCombo key = KeyModifiers[modifier].virtualKey;
            if (modifiers[modifier] == ModifierUse::Held) {
                add(ActionKind::Tap, time, key, 0, 0, event.window); // pressed alone
            } else if (modifiers[modifier] == ModifierUse::InCombination) {
                // A HotKey releases its modifiers too; a held key has its Push Up.
                Action& used = actions[combination[modifier]];
                if (used.kind == ActionKind::Tap) {
                    used.endTime = std::max(used.endTime, time);
                }
            } else if (modifiers[modifier] == ModifierUse::Pushed) {
                add(ActionKind::Release, time, key, 0, 0, event.window);
            }
            modifiers[modifier] = ModifierUse::Up;
            return;
        }
        KeyState& key = keys[event.key];
        if (key.down && key.repeated) {
            add(ActionKind::Release, time, actions[key.action].key, 0, 0, event.window);
        } else if (key.down) {
            Action& tap = actions[key.action];
            tap.endTime = std::max(tap.endTime, time);
        }
        key = KeyState{};
    }

    // What is still held when recording ends is released, so the played
    // script leaves no key or button down.
    void finish(std::uint32_t end) {
        noteRest(end);
        for (KeyState& key : keys) {
            if (key.down && key.repeated) {
                add(ActionKind::Release, end, actions[key.action].key, 0, 0, 0);
            }
        }
        for (ButtonState& button : buttons) {
            if (button.down && button.dragging) {
                actions[button.action].kind = ActionKind::Press;
                const KeyCombo key = actions[button.action].key;
                add(ActionKind::MoveTo, lastMove, 0, pointerX, pointerY, 0);
                add(ActionKind::Release, end, key, 0, 0, 0);
            }
        }
        for (int modifier = 0; modifier < 4; ++modifier) {
            if (modifiers[modifier] == ModifierUse::Pushed) {
                add(ActionKind::Release, end, KeyModifiers[modifier].virtualKey, 0, 0, 0);
            }
        }
    }

    static constexpr std::size_t NoClick = static_cast<std::size_t>(-1);

    const Recording& recording;
    const TranslateOptions& options;
    std::vector<Action> actions;
    std::array<ButtonState, 3> buttons{};
    std::array<KeyState, 256> keys{};
    std::array<ModifierUse, 4> modifiers{};
    HeldModifiers modifierKeys;               // the keys behind `modifiers`, of the events handled
    std::array<std::size_t, 4> combination{}; // the last action each modifier was part of
    std::int32_t pointerX = 0;
    std::int32_t pointerY = 0;
    std::uint32_t lastMove = 0;
    std::uint32_t lastMoveWindow = 0;
    bool restPending = false;
    std::size_t lastClick = NoClick;
};

// A pause as the Delay the script makes of it; 0 for none.
std::int32_t delayFor(std::uint32_t gap, const TranslateOptions& options) {
    if (gap == 0 || gap < options.threshold) {
        return 0;
    }
    double scaled = gap / (options.speed > 0 ? options.speed : 1.0);
    if (options.maxDelay > 0 && scaled > options.maxDelay) {
        scaled = options.maxDelay;
    }
    const double rounded = std::floor(scaled / 10.0 + 0.5) * 10.0;
    return rounded > 0x7FFFFFF0 ? 0x7FFFFFF0 : static_cast<std::int32_t>(rounded);
}

KeyCombo defaultBreakKey() {
    std::string text = DefaultBreakKey;
    return resolveKeyCombo(text.data());
}

// True when sending `sent` holds every key of `key`, as the player's break
// key watch reads it: its key and its modifiers (others may be held too).
bool sends(KeyCombo sent, KeyCombo key) {
    const KeyCombo modifiers = key & 0x0F00;
    return (sent & 0xFF) == (key & 0xFF) && (sent & modifiers) == modifiers;
}

// The longest PutChar line written: a longer run goes on in the next one.
constexpr std::size_t LongestRun = 200;

class SecondPass {
  public:
    SecondPass(const Recording& recording, const TranslateOptions& options,
               Translation& translation)
        : recording(recording), options(options), translation(translation) {
        for (const std::string& caption : recording.captions) {
            captions.push_back(waitCaptionText(caption));
        }
    }

    // True once a line sends the player's break key of a script that names
    // none (ESC).
    bool sendsBreakKey = false;

    void run(const std::vector<Action>& actions) {
        for (const Action& action : actions) {
            if (!action.dropped) {
                write(action);
            }
        }
        flushRun();
    }

  private:
    void step(Opcode opcode, std::int32_t first = 0, std::int32_t second = 0,
              std::string text = {}) {
        translation.steps.push_back(ScriptStep{opcode, first, second, std::move(text)});
        ++translation.bodySteps;
    }

    void flushRun() {
        if (!typed.empty()) {
            step(Opcode::PutChar, 0, 0, std::move(typed));
            typed.clear();
        }
    }

    void write(const Action& action) {
        std::int32_t moveX = 0;
        std::int32_t moveY = 0;
        if (action.kind == ActionKind::MoveTo) {
            if (positioned && action.x == scriptX && action.y == scriptY) {
                return; // the pointer is there already
            }
            // The coordinates that land on the pixel through the player's scale.
            if (!moveToCoordinate(action.x, static_cast<std::uint32_t>(recording.screenWidth),
                                  moveX) ||
                !moveToCoordinate(action.y, static_cast<std::uint32_t>(recording.screenHeight),
                                  moveY)) {
                ++translation.unreachable;
                offScreen = true;
                return;
            }
            offScreen = false;
        }
        // A button off the main screen would act wherever the pointer is.
        const bool isButton =
            action.kind == ActionKind::Click || action.kind == ActionKind::DoubleClick ||
            ((action.kind == ActionKind::Press || action.kind == ActionKind::Release) &&
             (action.key == LeftButton || action.key == RightButton || action.key == MiddleButton));
        if (offScreen && isButton) {
            return;
        }
        const std::uint32_t gap = started && action.time > lastTime ? action.time - lastTime : 0;
        started = true;
        lastTime = std::max(lastTime, action.endTime);
        const bool windowChanges = options.windowWaits && action.window != 0 &&
                                   action.window != lastWindow && action.window < captions.size() &&
                                   !captions[action.window].empty();
        const bool plain = action.kind == ActionKind::Tap && isPlainKey(action.key);
        if (plain && !typed.empty() && !windowChanges && gap < options.threshold &&
            typed.size() < LongestRun) {
            typed.push_back(static_cast<char>(action.key | 0x20));
            return;
        }
        flushRun();
        if (const std::int32_t delay = delayFor(gap, options); delay > 0) {
            step(Opcode::Delay, delay);
        }
        if (windowChanges) {
            step(Opcode::WaitCaption, 0, 0, captions[action.window]);
            lastWindow = action.window;
        }
        switch (action.kind) {
        case ActionKind::MoveTo:
            step(Opcode::MoveTo, moveX, moveY);
            positioned = true;
            scriptX = action.x;
            scriptY = action.y;
            break;
        case ActionKind::Click:
            step(action.key == LeftButton    ? Opcode::LClick
                 : action.key == RightButton ? Opcode::RClick
                                             : Opcode::MClick);
            break;
        case ActionKind::DoubleClick:
            step(Opcode::LDBClick);
            break;
        case ActionKind::Press:
            step(Opcode::PushDown, 0, 0, keyText(action.key));
            sendsBreakKey = sendsBreakKey || sends(action.key, breakKey);
            break;
        case ActionKind::Release:
            step(Opcode::PushUp, 0, 0, keyText(action.key));
            break;
        case ActionKind::Tap:
            if (plain) {
                typed.push_back(static_cast<char>(action.key | 0x20));
            } else {
                step(Opcode::HotKey, 0, 0, keyText(action.key));
                sendsBreakKey = sendsBreakKey || sends(action.key, breakKey);
            }
            break;
        }
    }

    const Recording& recording;
    const TranslateOptions& options;
    Translation& translation;
    const KeyCombo breakKey = defaultBreakKey();
    std::vector<std::string> captions; // as the waits write them
    std::string typed;                 // letters and digits typed one after the other
    bool started = false;
    std::uint32_t lastTime = 0;
    std::uint32_t lastWindow = 0;
    bool positioned = false; // the script has placed the pointer
    bool offScreen = false;  // the pointer went where no MoveTo reaches
    std::int32_t scriptX = 0;
    std::int32_t scriptY = 0;
};

} // namespace

Translation translateRecording(const Recording& recording, const TranslateOptions& options) {
    Translation translation;
    std::vector<ScriptStep>& steps = translation.steps;
    switch (options.start) {
    case StartMode::NoBox:
        steps.push_back(ScriptStep{Opcode::StartNoBox, 0, 0, {}});
        break;
    case StartMode::Box:
        steps.push_back(ScriptStep{Opcode::Start, 0, 0, {}});
        break;
    case StartMode::Key:
        steps.push_back(ScriptStep{Opcode::StartKey, 0, 0, options.startKey});
        break;
    }
    steps.push_back(ScriptStep{Opcode::Comment, 0, 0, options.comment});
    if (options.loopCount > 0) {
        steps.push_back(ScriptStep{Opcode::LoopTimes, options.loopCount, 0, {}});
    }
    const std::size_t settingsEnd = steps.size();
    SecondPass body(recording, options, translation);
    body.run(FirstPass(recording, options).run());
    if (body.sendsBreakKey) {
        // A played ESC would end the script at that line: the stop key, which
        // the recording never holds, breaks it instead.
        steps.insert(steps.begin() + static_cast<std::ptrdiff_t>(settingsEnd),
                     ScriptStep{Opcode::BreakKey, 0, 0, keyText(options.stopKey)});
    }
    steps.push_back(ScriptStep{Opcode::End, 0, 0, {}});
    return translation;
}

RenderedScript renderScript(const std::vector<ScriptStep>& steps, NameForm form) {
    RenderedScript rendered;
    for (const ScriptStep& step : steps) {
        const WrittenLine line =
            writeLine(step.opcode, form, LineValues{step.first, step.second, step.text});
        if (!line.ok) {
            rendered.problem = "cannot write the " + std::string(commandWord(step.opcode, form)) +
                               " line: " + line.reason;
            return rendered;
        }
        rendered.text += line.line;
        rendered.text += '\n';
    }
    rendered.ok = true;
    return rendered;
}
