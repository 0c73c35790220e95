// Excute starts a program named by a text; If Key starts a second copy of the
// player while a key combination is held.

#include "keys/key_combo.h"
#include "platform/platform.h"
#include "runner/executor.h"
#include "script/byte_string.h"

#include <cstring>
#include <vector>

namespace {

constexpr std::uint32_t SelfStartPollMs = 10;
constexpr std::size_t FirstPathCapacity = 256;
// Far beyond the longest path the system can give; stops the growth if the
// platform keeps reporting a cut path.
constexpr std::size_t LargestPathCapacity = 1 << 16;

// The running executable's path, read into a buffer that grows until it fits.
std::vector<char> ownPath() {
    std::vector<char> path(FirstPathCapacity);
    for (;;) {
        const std::size_t length = platform::ownExecutablePath(path.data(), path.size());
        if (length < path.size() || path.size() >= LargestPathCapacity) {
            path[length < path.size() ? length : path.size() - 1] = '\0';
            return path;
        }
        path.assign(path.size() * 2, '\0');
    }
}

} // namespace

void startProgram(const char* text) {
    // A working copy as long as the text: the file name is cut out of it in place.
    ByteString work(text);
    char* file = work.data();
    const char* parameters = nullptr;
    if (file[0] == '"') {
        ++file;
        if (char* closing = std::strchr(file, '"')) {
            *closing = '\0';
            // The byte after the closing quote (normally a space) is skipped,
            // whatever it is; a quote at the very end leaves no parameters.
            if (closing[1] != '\0') {
                parameters = closing + 2;
            }
        }
    } else if (char* space = std::strchr(file, ' ')) {
        *space = '\0';
        parameters = space + 1;
    }
    platform::openProgram(file, parameters);
}

void startSelfOnKey(const char* text) {
    ByteString work(text);
    char* keyText = work.data();
    char* space = std::strchr(keyText, ' ');
    if (space == nullptr) {
        return;
    }
    *space = '\0';
    const char* parameters = space + 1;
    if (isKeyComboHeld(keyText)) {
        platform::openProgram(ownPath().data(), parameters);
        while (isKeyComboHeld(keyText)) {
            platform::sleepFor(SelfStartPollMs);
        }
    }
    platform::sleepFor(SelfStartPollMs);
}
