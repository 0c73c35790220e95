// Script::execute: the pause gate, then one behaviour per opcode.

#include "keys/key_combo.h"
#include "platform/platform.h"
#include "runner/executor.h"
#include "runner/run_state.h"
#include "script/script.h"

namespace {

constexpr std::uint32_t PausePollMs = 100;

constexpr std::uint32_t LeftClickFlags = 0x0006;
constexpr std::uint32_t RightClickFlags = 0x0018;
constexpr std::uint32_t MiddleClickFlags = 0x0060;

void waitWhilePaused() {
    while (runState.paused.load(std::memory_order_relaxed) != 0) {
        platform::sleepFor(PausePollMs);
    }
}

// The waiting and window commands: they hold the run until a condition on the
// desktop is met, or act on windows.
bool executeWaitOrWindow(Command& command) {
    switch (command.opcode) {
    case 1: // Wait Caption
        waitCaption(slotText(command.param1));
        return false;
    case 3: // Wait Key
        if (command.param1.text != nullptr) {
            waitKey(command.param1.text);
        }
        return false;
    case 10: // WaitColor
        return waitColor(command.param1.number, command.param2.number, slotText(command.param3),
                         true);
    case 42: // WaitNotColor
        return waitColor(command.param1.number, command.param2.number, slotText(command.param3),
                         false);
    case 13: // Wait Process
        return waitProcess(slotText(command.param1));
    case 14: // Top Class
        topWindow(slotText(command.param1), nullptr);
        return false;
    case 17: // Top Caption
        topWindow(nullptr, slotText(command.param1));
        return false;
    case 18: // Click ButtonText
        waitControlText(slotText(command.param1), true);
        return false;
    case 19: // Wait ButtonText
        waitControlText(slotText(command.param1), false);
        return false;
    case 20: // Wait ButtonEnable
        waitControlEnabled(slotText(command.param1));
        return false;
    case 22: // WindowLeftTop
        moveForegroundWindowToCorner();
        return false;
    default:
        return false;
    }
}

void sendKeyText(Command& command, KeySendMode mode) {
    if (command.param1.text != nullptr) {
        sendKeyCombo(command.param1.text, mode);
    }
}

} // namespace

bool isActionCommand(const Command& command) {
    switch (command.opcode) {
    case 9:
    case 32:
    case 33:
    case 38:
    case 43:
    case 45:
    case 46:
    case 47:
        return false;
    default:
        return true;
    }
}

bool Script::execute(Command& command) {
    waitWhilePaused();
    if (!isActionCommand(command)) {
        executeSetting(*this, command);
        return false;
    }
    switch (command.opcode) {
    case 1:
    case 3:
    case 10:
    case 13:
    case 14:
    case 17:
    case 18:
    case 19:
    case 20:
    case 22:
    case 42:
        return executeWaitOrWindow(command);
    case 4: // HotKey
        sendKeyText(command, PressAndRelease);
        return false;
    case 5: // PutChar
        putChars(slotText(command.param1));
        return false;
    case 6: // Delay
        delayFor(command.param1.number);
        return false;
    case 7: // Excute
        startProgram(slotText(command.param1));
        return false;
    case 11: // Push Down
        sendKeyText(command, PressOnly);
        return false;
    case 12: // Push Up
        sendKeyText(command, ReleaseOnly);
        return false;
    case 23: // LClick
        clickMouse(LeftClickFlags);
        return false;
    case 26: // RClick
        clickMouse(RightClickFlags);
        return false;
    case 27: // LDBClick
        clickMouse(LeftClickFlags);
        clickMouse(LeftClickFlags);
        return false;
    case 29: // MClick
        clickMouse(MiddleClickFlags);
        return false;
    case 30: // MoveTo
        moveMouseTo(command.param1.number, command.param2.number);
        return false;
    case 36: // Remeber Mouse Position
        rememberMousePosition();
        return false;
    case 37: // Set Last Mouse Position
        restoreMousePosition();
        return false;
    case 39: // If Key
        startSelfOnKey(slotText(command.param1));
        return false;
    case 40: // PutTextCb
        pasteText(slotText(command.param1));
        return false;
    default:
        // 0 (an empty line), the start modes (2, 8, 34, 35), the accepted commands
        // without an action (21, 31, 41, 44) and any unknown value.
        return false;
    }
}
