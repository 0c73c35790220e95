// PutTextCb: puts the text on the clipboard as CF_TEXT and pastes it with CTRL+V.

#include "platform/platform.h"
#include "runner/executor.h"

#include <cstring>

namespace {

constexpr std::uint32_t PasteSettleMs = 100;
constexpr std::uint8_t ControlKey = 0x11;
constexpr std::uint8_t VKey = 0x56;

// Copies the text with its NUL into a new block and hands the block to the open
// clipboard. On failure no block is left behind.
bool placeOnClipboard(const char* text) {
    const std::size_t size = std::strlen(text) + 1;
    const platform::MemoryHandle block = platform::allocateSharedMemory(size);
    if (block == 0) {
        return false;
    }
    char* bytes = platform::lockMemory(block);
    if (bytes == nullptr) {
        platform::freeMemory(block);
        return false;
    }
    std::memcpy(bytes, text, size);
    platform::unlockMemory(block);
    if (!platform::setClipboardText(block)) {
        platform::freeMemory(block); // refused: still ours to release
        return false;
    }
    return true;
}

} // namespace

void pasteText(const char* text) {
    if (!platform::openClipboard()) {
        return; // another program holds it: leave its content alone
    }
    platform::emptyClipboard();
    const bool placed = placeOnClipboard(text);
    platform::closeClipboard();
    if (!placed) {
        return;
    }
    platform::sleepFor(PasteSettleMs);
    platform::sendKeyEvent(ControlKey, 0);
    platform::sendKeyEvent(VKey, 0);
    platform::sendKeyEvent(VKey, platform::KeyUpFlag);
    platform::sendKeyEvent(ControlKey, platform::KeyUpFlag);
    platform::sleepFor(PasteSettleMs);
}
