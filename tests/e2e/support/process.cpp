#include "process.h"

#include <gtest/gtest.h>

#include <utility>

namespace e2e {

RunningProgram::RunningProgram(RunningProgram&& other) noexcept
    : process(std::exchange(other.process, nullptr)), thread(std::exchange(other.thread, nullptr)),
      id(std::exchange(other.id, 0)) {}

RunningProgram& RunningProgram::operator=(RunningProgram&& other) noexcept {
    if (this != &other) {
        release();
        process = std::exchange(other.process, nullptr);
        thread = std::exchange(other.thread, nullptr);
        id = std::exchange(other.id, 0);
    }
    return *this;
}

RunningProgram::~RunningProgram() {
    release();
}

void RunningProgram::release() {
    if (running())
        kill();
    if (thread != nullptr)
        CloseHandle(thread);
    if (process != nullptr)
        CloseHandle(process);
    process = thread = nullptr;
}

void RunningProgram::resume() {
    if (thread != nullptr)
        ResumeThread(thread);
}

std::optional<DWORD> RunningProgram::waitForExit(DWORD timeoutMs) {
    if (process == nullptr || WaitForSingleObject(process, timeoutMs) != WAIT_OBJECT_0)
        return std::nullopt;
    DWORD code = 0;
    if (!GetExitCodeProcess(process, &code))
        return std::nullopt;
    return code;
}

bool RunningProgram::running() const {
    return process != nullptr && WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
}

void RunningProgram::kill() {
    if (process == nullptr)
        return;
    TerminateProcess(process, 1);
    WaitForSingleObject(process, 5000);
}

RunningProgram startProgram(const std::string& path, const std::string& arguments, bool suspended,
                            const std::string& outputPath) {
    std::string commandLine = "\"" + path + "\"";
    if (!arguments.empty())
        commandLine += " " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    HANDLE output = INVALID_HANDLE_VALUE;
    if (!outputPath.empty()) {
        SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        output = CreateFileA(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (output == INVALID_HANDLE_VALUE) {
            ADD_FAILURE() << "cannot make " << outputPath << ": error " << GetLastError();
            return RunningProgram();
        }
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = output;
        startup.hStdError = output;
    }
    PROCESS_INFORMATION info{};
    RunningProgram program;
    const BOOL started = CreateProcessA(
        path.c_str(), commandLine.data(), nullptr, nullptr, output != INVALID_HANDLE_VALUE,
        suspended ? CREATE_SUSPENDED : 0, nullptr, nullptr, &startup, &info);
    const DWORD error = GetLastError();
    if (output != INVALID_HANDLE_VALUE)
        CloseHandle(output);
    if (!started) {
        ADD_FAILURE() << "cannot start " << commandLine << ": error " << error;
        return program;
    }
    program.process = info.hProcess;
    program.thread = info.hThread;
    program.id = info.dwProcessId;
    return program;
}

std::optional<DWORD> runProgram(const std::string& path, const std::string& arguments,
                                DWORD timeoutMs) {
    RunningProgram program = startProgram(path, arguments);
    if (!program.started())
        return std::nullopt;
    return program.waitForExit(timeoutMs);
}

std::vector<HWND> topLevelWindowsOf(DWORD processId) {
    struct Search {
        DWORD processId;
        std::vector<HWND> found;
    } search{processId, {}};
    EnumWindows(
        [](HWND window, LPARAM parameter) -> BOOL {
            auto& search = *reinterpret_cast<Search*>(parameter);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == search.processId)
                search.found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace e2e
