// Sleeping, the second thread and the end of the process.

#include "platform/platform.h"
#include "platform/win32/handles.h"

namespace platform {

void sleepFor(std::uint32_t milliseconds) {
    Sleep(milliseconds);
}

static DWORD WINAPI threadEntry(LPVOID parameter) {
    reinterpret_cast<void (*)()>(parameter)();
    return 0;
}

void startThread(void (*procedure)()) {
    HANDLE thread =
        CreateThread(nullptr, 0, threadEntry, reinterpret_cast<LPVOID>(procedure), 0, nullptr);
    if (thread != nullptr)
        CloseHandle(thread);
}

// ExitProcess stops the other threads before the C runtime's clean-up, so no
// static object is destroyed while the monitor thread still reads it.
void endProcess() {
    ExitProcess(0);
}

} // namespace platform
