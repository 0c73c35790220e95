// The settings commands: they run once each, during the compile pass, in line order.

#include "runner/executor.h"
#include "runner/run_state.h"

void executeSetting(Script& script, Command& command) {
    switch (command.opcode) {
    case Opcode::BreakKey:
        runState.breakKey = ByteString(slotText(command.param1));
        break;
    case Opcode::PauseKey:
        runState.pauseKey = ByteString(slotText(command.param1));
        break;
    case Opcode::LoopTimes:
        runState.loopCount = slotNumber(command.param1);
        runState.loopEnabled = 1;
        break;
    case Opcode::Loop:
        runState.loopEnabled = 1;
        break;
    case Opcode::End:
        runState.loopEnabled = 0;
        break;
    case Opcode::ShowTrayIcon:
        runState.showTrayIcon = 1;
        break;
    case Opcode::Comment:
        script.commentText.append(slotText(command.param1));
        script.commentText.append("\r\n");
        break;
    case Opcode::Rem: // a comment line without effect
    default:
        break;
    }
}
