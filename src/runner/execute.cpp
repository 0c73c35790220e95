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
    case Opcode::WaitCaption:
        waitCaption(slotText(command.param1));
        return false;
    case Opcode::WaitKey:
        if (char* key = slotTextOrNull(command.param1)) {
            waitKey(key);
        }
        return false;
    case Opcode::WaitColor:
        return waitColor(slotNumber(command.param1), slotNumber(command.param2),
                         slotText(command.param3), true);
    case Opcode::WaitNotColor:
        return waitColor(slotNumber(command.param1), slotNumber(command.param2),
                         slotText(command.param3), false);
    case Opcode::WaitProcess:
        return waitProcess(slotText(command.param1));
    case Opcode::TopClass:
        topWindow(slotText(command.param1), nullptr);
        return false;
    case Opcode::TopCaption:
        topWindow(nullptr, slotText(command.param1));
        return false;
    case Opcode::ClickButtonText:
        waitControlText(slotText(command.param1), true);
        return false;
    case Opcode::WaitButtonText:
        waitControlText(slotText(command.param1), false);
        return false;
    case Opcode::WaitButtonEnable:
        waitControlEnabled(slotText(command.param1));
        return false;
    case Opcode::WindowLeftTop:
        moveForegroundWindowToCorner();
        return false;
    default:
        return false;
    }
}

void sendKeyText(Command& command, KeySendMode mode) {
    if (char* key = slotTextOrNull(command.param1)) {
        sendKeyCombo(key, mode);
    }
}

} // namespace

bool Script::execute(Command& command) {
    waitWhilePaused();
    if (!isActionCommand(command)) {
        executeSetting(*this, command);
        return false;
    }
    switch (command.opcode) {
    case Opcode::WaitCaption:
    case Opcode::WaitKey:
    case Opcode::WaitColor:
    case Opcode::WaitProcess:
    case Opcode::TopClass:
    case Opcode::TopCaption:
    case Opcode::ClickButtonText:
    case Opcode::WaitButtonText:
    case Opcode::WaitButtonEnable:
    case Opcode::WindowLeftTop:
    case Opcode::WaitNotColor:
        return executeWaitOrWindow(command);
    case Opcode::HotKey:
        sendKeyText(command, PressAndRelease);
        return false;
    case Opcode::PutChar:
        putChars(slotText(command.param1));
        return false;
    case Opcode::Delay:
        delayFor(slotNumber(command.param1));
        return false;
    case Opcode::Excute:
        startProgram(slotText(command.param1));
        return false;
    case Opcode::PushDown:
        sendKeyText(command, PressOnly);
        return false;
    case Opcode::PushUp:
        sendKeyText(command, ReleaseOnly);
        return false;
    case Opcode::LClick:
        clickMouse(LeftClickFlags);
        return false;
    case Opcode::RClick:
        clickMouse(RightClickFlags);
        return false;
    case Opcode::LDBClick:
        clickMouse(LeftClickFlags);
        clickMouse(LeftClickFlags);
        return false;
    case Opcode::MClick:
        clickMouse(MiddleClickFlags);
        return false;
    case Opcode::MoveTo:
        moveMouseTo(slotNumber(command.param1), slotNumber(command.param2));
        return false;
    case Opcode::RememberMousePosition:
        rememberMousePosition();
        return false;
    case Opcode::SetLastMousePosition:
        restoreMousePosition();
        return false;
    case Opcode::IfKey:
        startSelfOnKey(slotText(command.param1));
        return false;
    case Opcode::PutTextCb:
        pasteText(slotText(command.param1));
        return false;
    default:
        // An empty line, the start modes (Start, Start Key, Start Color, Start No
        // Box), the accepted commands without an action (MoveToRelWin, MoveToClick,
        // PutText, Goto) and any unknown value.
        return false;
    }
}
