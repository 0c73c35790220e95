// Walking a snapshot of the running processes.

#include "platform/platform.h"
#include "platform/win32/handles.h"

#include <tlhelp32.h>

#include <cstring>

namespace platform {

using win32::fromHandle;
using win32::toHandle;

// The ANSI entry: the executable name is in the code page's bytes.
static_assert(sizeof(PROCESSENTRY32::szExeFile) == sizeof(ProcessEntry::exeFile));
static_assert(sizeof(PROCESSENTRY32::szExeFile[0]) == 1);

SnapshotHandle processSnapshot() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return 0;
    return fromHandle(snapshot);
}

static bool copyEntry(BOOL found, const PROCESSENTRY32& system, ProcessEntry& entry) {
    if (!found)
        return false;
    entry.processId = system.th32ProcessID;
    std::memcpy(entry.exeFile, system.szExeFile, sizeof(entry.exeFile));
    entry.exeFile[sizeof(entry.exeFile) - 1] = '\0';
    return true;
}

bool firstProcess(SnapshotHandle snapshot, ProcessEntry& entry) {
    PROCESSENTRY32 system{};
    system.dwSize = sizeof(system);
    return copyEntry(Process32First(toHandle<HANDLE>(snapshot), &system), system, entry);
}

bool nextProcess(SnapshotHandle snapshot, ProcessEntry& entry) {
    PROCESSENTRY32 system{};
    system.dwSize = sizeof(system);
    return copyEntry(Process32Next(toHandle<HANDLE>(snapshot), &system), system, entry);
}

void closeSnapshot(SnapshotHandle snapshot) {
    if (snapshot != 0)
        CloseHandle(toHandle<HANDLE>(snapshot));
}

} // namespace platform
