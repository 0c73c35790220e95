#include "script/script.h"

#include "runner/run_state.h"

#include <cstring>

Script::Script() {
    runState.breakKey = ByteString("ESC");
    runState.pauseKey = ByteString();
}

void Script::splitLines(const char* text) {
    lines.clear();
    lineCount = 0;
    if (text == nullptr) {
        text = "";
    }
    const char* end = text + std::strlen(text); // a NUL byte ends the script
    const char* start = text;
    for (;;) {
        const char* feed = static_cast<const char*>(std::memchr(start, '\n', end - start));
        const char* lineEnd = feed != nullptr ? feed : end;
        if (lineEnd > start) {
            lines.emplace_back(start, static_cast<std::size_t>(lineEnd - start));
        }
        if (feed == nullptr) {
            break;
        }
        start = feed + 1;
    }
    lineCount = static_cast<std::int32_t>(lines.size());
    // Value-initialised, so a slot the parser does not write reads as 0 and no text.
    commands = std::make_unique<Command[]>(lines.size());
}
