#include "host.h"

#include "paths.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace e2e {

std::optional<int> runHostCommand(const std::string& command, DWORD timeoutMs) {
    if (command.find('"') != std::string::npos) {
        ADD_FAILURE() << "a host command cannot hold a double quote: " << command;
        return std::nullopt;
    }
    static int serial = 0;
    workDirectory();
    const std::string name = "host-" + std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(++serial) + ".status";
    const std::string hostStatus = std::string(E2E_WORK_DIR) + "/" + name;
    const std::string windowsStatus = windowsPath(hostStatus);
    DeleteFileA(windowsStatus.c_str());

    // The status is written under another name and then renamed, so the file
    // is complete whenever it exists.
    std::string commandLine = "Z:\\bin\\sh -c \"" + command + "; echo $? > '" + hostStatus +
                              ".part' && mv '" + hostStatus + ".part' '" + hostStatus + "'\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
        ADD_FAILURE() << "cannot start " << commandLine << ": error " << GetLastError();
        return std::nullopt;
    }
    // For a Linux program Wine gives no process handle, and the thread handle
    // it reports then is no handle of this process: close neither.
    if (info.hProcess != nullptr) {
        CloseHandle(info.hProcess);
        CloseHandle(info.hThread);
    }

    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (GetFileAttributesA(windowsStatus.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (GetTickCount64() >= deadline)
            return std::nullopt;
        Sleep(5);
    }
    int status = -1;
    if (std::FILE* file = std::fopen(windowsStatus.c_str(), "r")) {
        if (std::fscanf(file, "%d", &status) != 1)
            status = -1;
        std::fclose(file);
    }
    DeleteFileA(windowsStatus.c_str());
    return status;
}

} // namespace e2e
