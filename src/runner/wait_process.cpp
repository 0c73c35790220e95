// Wait Process: hold the run until a process with a given executable name newly
// comes to the front; and the executable name of a process.

#include "platform/platform.h"
#include "runner/executor.h"
#include "runner/run_state.h"
#include "runner/wait_support.h"

#include <cstring>

namespace {

constexpr std::uint32_t ProcessPollMs = 50;

constexpr unsigned char lowerByte(unsigned char byte) {
    return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte + 0x20) : byte;
}

// Equal once the ASCII letters of both texts are folded to lower case, each byte
// on its own; no other byte changes and nothing is trimmed.
bool sameFoldedText(const char* left, const char* right) {
    for (std::size_t i = 0;; ++i) {
        unsigned char a = lowerByte(static_cast<unsigned char>(left[i]));
        unsigned char b = lowerByte(static_cast<unsigned char>(right[i]));
        if (a != b) {
            return false;
        }
        if (a == '\0') {
            return true;
        }
    }
}

} // namespace

ExeName processExeName(std::uint32_t processId) {
    ExeName result;
    platform::SnapshotHandle snapshot = platform::processSnapshot();
    if (snapshot == 0) {
        return result;
    }
    platform::ProcessEntry entry;
    for (bool more = platform::firstProcess(snapshot, entry); more;
         more = platform::nextProcess(snapshot, entry)) {
        if (entry.processId == processId) {
            // At most 259 bytes, terminated even if the entry's name is not.
            const void* end = std::memchr(entry.exeFile, '\0', sizeof entry.exeFile - 1);
            std::size_t length =
                end != nullptr
                    ? static_cast<std::size_t>(static_cast<const char*>(end) - entry.exeFile)
                    : sizeof entry.exeFile - 1;
            std::memcpy(result.text, entry.exeFile, length);
            result.text[length] = '\0';
            break;
        }
    }
    platform::closeSnapshot(snapshot);
    return result;
}

bool waitProcess(const char* exeName) {
    for (;;) {
        if (isBreakKeyHeldNow()) {
            return true;
        }
        // With no foreground window the id reads as 0 and is treated like any
        // other: a change to or from it counts as a change of the foreground
        // process, and its name is looked up like any other id's.
        std::uint32_t processId = platform::windowProcessId(platform::foregroundWindow());
        platform::sleepFor(ProcessPollMs);
        if (processId == runState.lastForegroundPid) {
            continue;
        }
        runState.lastForegroundPid = processId;
        ExeName name = processExeName(processId);
        if (sameFoldedText(name.text, exeName)) {
            return false;
        }
    }
}
