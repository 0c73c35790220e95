#pragma once
// Starting a program under test and waiting for its end.

#include "windows_api.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

// A started program. Ending the record ends the program if it still runs, so a
// failing test leaves nothing behind on the shared desktop.
class RunningProgram {
  public:
    RunningProgram() = default;
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;
    RunningProgram(RunningProgram&& other) noexcept;
    RunningProgram& operator=(RunningProgram&& other) noexcept;
    ~RunningProgram();

    bool started() const { return process != nullptr; }
    DWORD processId() const { return id; }
    HANDLE processHandle() const { return process; }

    // Lets a program started suspended run.
    void resume();
    // The exit code, once the program has ended within `timeoutMs`; none otherwise.
    std::optional<DWORD> waitForExit(DWORD timeoutMs);
    bool running() const;
    // Ends the program at once (exit code 1) and waits for it to go.
    void kill();

  private:
    friend RunningProgram startProgram(const std::string&, const std::string&, bool,
                                       const std::string&);
    void release();
    HANDLE process = nullptr;
    HANDLE thread = nullptr;
    DWORD id = 0;
};

// Starts `path` with the command line `"path" arguments`. Check started(): on
// failure the calling test has been failed already. For Windows programs only:
// Wine gives no handle to wait on for a Linux program (see host.h). With an
// `outputPath`, the program's standard output and error go to that file (made
// anew), as on a console redirected to it.
RunningProgram startProgram(const std::string& path, const std::string& arguments = "",
                            bool suspended = false, const std::string& outputPath = "");

// Starts the program and waits for its end: its exit code, or none when it
// did not end within `timeoutMs` (it is then ended) or could not be started.
std::optional<DWORD> runProgram(const std::string& path, const std::string& arguments = "",
                                DWORD timeoutMs = 20000);

// The top-level windows, hidden ones included, that belong to the process.
std::vector<HWND> topLevelWindowsOf(DWORD processId);

} // namespace e2e
