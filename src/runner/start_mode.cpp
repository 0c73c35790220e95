// Start preparation: the monitor thread, then the start mode of the first line.

#include "keys/key_combo.h"
#include "platform/platform.h"
#include "runner/executor.h"
#include "runner/monitor.h"
#include "runner/run_state.h"
#include "runner/trace.h"
#include "script/script.h"

#include <cstring>

namespace {

constexpr std::uint32_t StartKeyPollMs = 10;
constexpr std::size_t ColourTextLength = 6;

ByteString startBoxText(const Script& script) {
    ByteString text(script.commentText);
    if (!text.empty()) {
        text.append("----------------------------\n");
    }
    text.append("按确定开始运行,结束热键[");
    text.append(runState.breakKey);
    text.append("]");
    if (!runState.pauseKey.empty()) {
        text.append("暂停热键[");
        text.append(runState.pauseKey);
        text.append("]");
    }
    return text;
}

void confirmStart(const Script& script) {
    ByteString text = startBoxText(script);
    if (platform::messageBox(text.c_str(), "开始", platform::BoxOkCancel) != platform::AnswerOk) {
        traceEnd(TraceEnd::StartCancelled);
        platform::endProcess();
    }
}

// The body starts when the key has been pressed and released.
void waitForStartKey(char* keyText) {
    while (!isKeyComboHeld(keyText)) {
        platform::sleepFor(StartKeyPollMs);
    }
    while (isKeyComboHeld(keyText)) {
        platform::sleepFor(StartKeyPollMs);
    }
}

// The expected colour is the last six bytes of the first line; a line shorter
// than that holds no colour and never matches.
void checkStartColour(const LineText& line, const Command& command) {
    if (line.size() < ColourTextLength) {
        traceEnd(TraceEnd::StartColourMismatch);
        platform::endProcess();
    }
    const char* expected = line.c_str() + line.size() - ColourTextLength;
    ColourText actual = screenColourText(slotNumber(command.param1), slotNumber(command.param2));
    if (std::memcmp(actual.text, expected, ColourTextLength) != 0) {
        traceEnd(TraceEnd::StartColourMismatch);
        platform::endProcess();
    }
}

} // namespace

void Script::prepareStart() {
    platform::startThread(MonitorThread);
    if (lineCount == 0) {
        return;
    }
    Command& first = commands[0];
    if (first.opcode == Opcode::Start) {
        confirmStart(*this);
    } else if (first.opcode == Opcode::StartKey) {
        if (char* key = slotTextOrNull(first.param1)) {
            waitForStartKey(key);
        }
    } else if (first.opcode == Opcode::StartColor) {
        checkStartColour(lines[0], first);
    }
}
