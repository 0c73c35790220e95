#pragma once
// How a started program was started: the program writes its command line and
// its own path to the file named by the environment variable E2E_RECORD_ARGS_FILE
// (inherited from the test that starts it), and the test reads them back.

#include "support/windows_api.h"

#include <optional>
#include <string>

namespace e2e {

constexpr const char* RecordFileVariable = "E2E_RECORD_ARGS_FILE";

struct RecordedStart {
    std::string commandLine;
    std::string modulePath;
};

// In the started program. Writes "COMMAND LINE\nMODULE PATH\n" under a temporary
// name and then renames it, so a reader never sees half of it. False when the
// variable is unset or the file cannot be written.
inline bool recordCommandLine() {
    char file[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA(RecordFileVariable, file, sizeof file);
    if (length == 0 || length >= sizeof file) {
        return false;
    }
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, sizeof module);
    const std::string text = std::string(GetCommandLineA()) + "\n" + module + "\n";
    const std::string temporary = std::string(file) + ".part";
    HANDLE out = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const bool ok =
        WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
        written == text.size();
    CloseHandle(out);
    return ok && MoveFileExA(temporary.c_str(), file, MOVEFILE_REPLACE_EXISTING);
}

// In the test: waits for the file, reads it and deletes it; none on timeout.
inline std::optional<RecordedStart> waitForRecordedStart(const std::string& file, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        HANDLE in = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
        if (in != INVALID_HANDLE_VALUE) {
            std::string text;
            char chunk[4096];
            DWORD got = 0;
            while (ReadFile(in, chunk, sizeof chunk, &got, nullptr) && got > 0) {
                text.append(chunk, got);
            }
            CloseHandle(in);
            DeleteFileA(file.c_str());
            const std::size_t first = text.find('\n');
            const std::size_t second = text.find('\n', first + 1);
            if (first == std::string::npos || second == std::string::npos) {
                return std::nullopt;
            }
            return RecordedStart{text.substr(0, first), text.substr(first + 1, second - first - 1)};
        }
        if (GetTickCount64() >= deadline) {
            return std::nullopt;
        }
        Sleep(50);
    }
}

// The arguments part of a command line: what follows the program name (quoted
// or not) and the one space that separates them.
inline std::string argumentsOf(const std::string& commandLine) {
    std::size_t at = 0;
    if (!commandLine.empty() && commandLine[0] == '"') {
        const std::size_t closing = commandLine.find('"', 1);
        at = closing == std::string::npos ? commandLine.size() : closing + 1;
    } else {
        at = commandLine.find(' ');
        at = at == std::string::npos ? commandLine.size() : at;
    }
    if (at < commandLine.size() && commandLine[at] == ' ') {
        ++at;
    }
    return commandLine.substr(at);
}

} // namespace e2e
