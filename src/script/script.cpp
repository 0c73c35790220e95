#include "script/script.h"

#include "runner/run_state.h"

#include <cstdint>
#include <cstdlib>
#include <new>
#include <type_traits>
#include <utility>

// calloc creates the records without running a constructor; that is sound
// because a Command is trivially copyable and destructible, and what the
// records are then is what their bytes say.
static_assert(std::is_trivially_copyable_v<Command> && std::is_trivially_destructible_v<Command>);

void FreeCommands::operator()(Command* commands) const {
    std::free(commands);
}

CommandArray allocateCommands(std::size_t count) {
    void* records = std::calloc(count > 0 ? count : 1, sizeof(Command));
    if (records == nullptr) {
        throw std::bad_alloc();
    }
    return CommandArray(static_cast<Command*>(records));
}

Script::Script() {
    runState.breakKey = ByteString(DefaultBreakKey);
    runState.pauseKey = ByteString();
}

namespace {

void allocateForLines(Script& script) {
    const LineList& lines = script.lines;
    if (lines.size() > static_cast<std::size_t>(INT32_MAX)) {
        throw std::bad_alloc(); // more lines than a line number can count
    }
    script.lineCount = static_cast<std::int32_t>(lines.size());
    // Zeroed, so a slot the parser does not write reads as 0 and no text.
    script.commands = allocateCommands(lines.size());
}

} // namespace

void Script::splitLines(const char* text) {
    lines.split(text);
    allocateForLines(*this);
}

void Script::splitOwnedLines(std::unique_ptr<char[]> text, std::size_t size) {
    lines.splitOwned(std::move(text), size);
    allocateForLines(*this);
}
