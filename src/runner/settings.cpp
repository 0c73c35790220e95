// The settings commands: they run once each, during the compile pass, in line order.

#include "runner/executor.h"
#include "runner/run_state.h"

void executeSetting(Script& script, Command& command) {
    switch (command.opcode) {
    case 9: // Break Key
        runState.breakKey = ByteString(command.param1.text);
        break;
    case 46: // PauseKey
        runState.pauseKey = ByteString(command.param1.text);
        break;
    case 38: // Loop Times
        runState.loopCount = command.param1.number;
        runState.loopEnabled = 1;
        break;
    case 32: // Loop
        runState.loopEnabled = 1;
        break;
    case 33: // End
        runState.loopEnabled = 0;
        break;
    case 47: // ShowTaryIcon
        runState.showTrayIcon = 1;
        break;
    case 45: // *Comment:
        script.commentText.append(command.param1.text);
        script.commentText.append("\r\n");
        break;
    default: // REM (43): a comment line without effect
        break;
    }
}
