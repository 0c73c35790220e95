// Starting programs and the path of the running executable.

#include "platform/platform.h"
#include "platform/win32/handles.h"
#include "platform/win32/on_first_use.h"

#include <shellapi.h>

#include <algorithm>

namespace platform {

// Any box the system shows for a start that fails has the look of the player's.
void openProgram(const char* file, const char* parameters) {
    static const auto execute = win32::shellFunction<decltype(ShellExecuteA)>("ShellExecuteA");
    if (execute == nullptr)
        return;
    const ULONG_PTR cookie = win32::enterCommonControls();
    execute(nullptr, "open", file, parameters, nullptr, SW_SHOWNORMAL);
    win32::leaveCommonControls(cookie);
}

std::size_t ownExecutablePath(char* buffer, std::size_t capacity) {
    if (capacity == 0)
        return 0;
    const DWORD room = static_cast<DWORD>(std::min<std::size_t>(capacity, MAXDWORD));
    buffer[0] = '\0';
    const DWORD length = GetModuleFileNameA(nullptr, buffer, room);
    // A cut path fills the whole buffer; older systems leave it unterminated.
    if (length >= room) {
        buffer[room - 1] = '\0';
        return capacity;
    }
    buffer[length] = '\0';
    return length;
}

} // namespace platform
