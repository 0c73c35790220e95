// The clipboard and the movable global memory blocks it takes.

#include "platform/platform.h"
#include "platform/win32/handles.h"

namespace platform {

using win32::fromHandle;
using win32::toHandle;

bool openClipboard() {
    return OpenClipboard(nullptr) != 0;
}

void emptyClipboard() {
    EmptyClipboard();
}

MemoryHandle allocateSharedMemory(std::size_t size) {
    static_assert((GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE) == 0x2042);
    return fromHandle(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE, size));
}

char* lockMemory(MemoryHandle memory) {
    return static_cast<char*>(GlobalLock(toHandle<HGLOBAL>(memory)));
}

void unlockMemory(MemoryHandle memory) {
    GlobalUnlock(toHandle<HGLOBAL>(memory));
}

void freeMemory(MemoryHandle memory) {
    GlobalFree(toHandle<HGLOBAL>(memory));
}

bool setClipboardText(MemoryHandle memory) {
    return SetClipboardData(CF_TEXT, toHandle<HANDLE>(memory)) != nullptr;
}

void closeClipboard() {
    CloseClipboard();
}

} // namespace platform
