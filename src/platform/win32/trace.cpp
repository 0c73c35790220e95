// What the studio's trace needs: a registered message, posting it to the
// studio's window, and the studio's shared block.

#include "platform/platform.h"
#include "platform/win32/handles.h"

namespace platform {

std::uint32_t registerWindowMessage(const char* name) {
    return RegisterWindowMessageA(name);
}

bool postMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                 std::intptr_t lParam) {
    return PostMessageA(win32::toHandle<HWND>(window), message, wParam, lParam) != 0;
}

void* openSharedMemory(const char* name) {
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ | FILE_MAP_WRITE, FALSE, name);
    if (mapping == nullptr)
        return nullptr;
    // The view keeps the memory alive after the handle is gone.
    void* view = MapViewOfFile(mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, 0);
    CloseHandle(mapping);
    return view;
}

} // namespace platform
