// The packer's console, its message box, and running a packed player.

#include "pack_windows.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

bool consoleOfItsOwn() {
    // Explorer starts a console program on a new console that holds only that
    // program; a command prompt's console also holds the prompt. Under Wine a
    // program started from a Linux shell has no console at all (0).
    DWORD processes[2];
    return GetConsoleProcessList(processes, 2) == 1;
}

unsigned short userUiLanguage() {
    return GetUserDefaultUILanguage();
}

void showReport(const std::string& text, ReportKind kind) {
    const UINT icon = kind == ReportKind::Failed   ? MB_ICONERROR
                      : kind == ReportKind::Warned ? MB_ICONWARNING
                                                   : MB_ICONINFORMATION;
    // The texts are GBK: code page 936, not the system's ANSI code page.
    const std::wstring wide = fromGbk(text);
    MessageBoxW(nullptr, wide.c_str(), L"pack", MB_OK | MB_SETFOREGROUND | icon);
}

ProgramRun runProgram(const std::string& path) {
    ProgramRun run;
    std::string commandLine = "\"" + path + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &info)) {
        run.error = "cannot start " + path + ": " + errorText(GetLastError());
        return run;
    }
    CloseHandle(info.hThread);
    // Ctrl+C on the console would end the packer and leave the temporary
    // player behind; the player has a break key of its own.
    SetConsoleCtrlHandler(nullptr, TRUE);
    WaitForSingleObject(info.hProcess, INFINITE);
    DWORD exitCode = 0;
    run.ran = GetExitCodeProcess(info.hProcess, &exitCode) != 0;
    if (!run.ran) {
        run.error = "cannot read the exit code of " + path + ": " + errorText(GetLastError());
    }
    run.exitCode = exitCode;
    CloseHandle(info.hProcess);
    SetConsoleCtrlHandler(nullptr, FALSE);
    return run;
}
