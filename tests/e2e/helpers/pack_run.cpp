#include "helpers/pack_run.h"

#include "support/message_box.h"
#include "support/paths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace e2e {

namespace {

HANDLE inheritableFile(const std::string& path) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

} // namespace

namespace {

// Runs pack.exe; `onOwnConsole` starts it on a new console, as Explorer does,
// and then answers the message box it shows.
PackRun runPackWith(const std::string& packer, const std::string& arguments, DWORD timeoutMs,
                    bool onOwnConsole) {
    PackRun run;
    const std::string folder = workDirectory();
    // Fresh names for every run: the console host that Wine starts for a new
    // console may hold the files of the last run a moment longer.
    static int runs = 0;
    const std::string tag = std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++runs);
    const std::string outPath = folder + "\\pack-stdout-" + tag + ".txt";
    const std::string errPath = folder + "\\pack-stderr-" + tag + ".txt";
    HANDLE out = inheritableFile(outPath);
    HANDLE err = inheritableFile(errPath);
    if (out == INVALID_HANDLE_VALUE || err == INVALID_HANDLE_VALUE) {
        ADD_FAILURE() << "cannot make the output files in " << folder;
        return run;
    }
    std::string commandLine = "\"" + packer + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION info{};
    const BOOL started =
        CreateProcessA(packer.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                       onOwnConsole ? CREATE_NEW_CONSOLE : 0, nullptr, nullptr, &startup, &info);
    CloseHandle(out);
    CloseHandle(err);
    if (!started) {
        ADD_FAILURE() << "cannot start " << commandLine << ": error " << GetLastError();
        return run;
    }
    if (onOwnConsole) {
        HWND box = waitForMessageBox("pack", info.dwProcessId, timeoutMs);
        if (box == nullptr) {
            ADD_FAILURE() << commandLine << " showed no box";
        } else {
            run.boxText = messageBoxText(box);
            EXPECT_TRUE(pressButton(box, IDOK));
        }
    }
    if (WaitForSingleObject(info.hProcess, timeoutMs) == WAIT_OBJECT_0) {
        GetExitCodeProcess(info.hProcess, &run.exitCode);
    } else {
        ADD_FAILURE() << commandLine << " did not end within " << timeoutMs << " ms";
        TerminateProcess(info.hProcess, 1);
        WaitForSingleObject(info.hProcess, 5000);
    }
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    run.out = readBytes(outPath).value_or("");
    run.err = readBytes(errPath).value_or("");
    DeleteFileA(outPath.c_str());
    DeleteFileA(errPath.c_str());
    return run;
}

} // namespace

PackRun runPack(const std::string& arguments, DWORD timeoutMs) {
    return runPackWith(windowsPath(E2E_PACKER), arguments, timeoutMs, false);
}

PackRun runPackOnOwnConsole(const std::string& arguments, DWORD timeoutMs) {
    return runPackWith(windowsPath(E2E_PACKER), arguments, timeoutMs, true);
}

PackRun runPackerAt(const std::string& packer, const std::string& arguments, DWORD timeoutMs) {
    return runPackWith(packer, arguments, timeoutMs, false);
}

std::string packFolder(std::string_view name) {
    const std::string folder = workDirectory() + "\\" + std::string(name);
    CreateDirectoryA(folder.c_str(), nullptr);
    // Empty it: a folder left by an earlier run must not decide a test.
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
                const std::string file = folder + "\\" + found.cFileName;
                SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(file.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    return folder;
}

void writeBytes(const std::string& path, std::string_view bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << "cannot write " << path;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_EQ(written, bytes.size()) << path;
}

std::optional<std::string> readBytes(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        bytes.append(buffer, got);
    }
    CloseHandle(file);
    return bytes;
}

std::optional<std::string> scriptResource(const std::string& path) {
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module == nullptr) {
        return std::nullopt;
    }
    std::optional<std::string> bytes;
    if (HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(10))) {
        const void* data = LockResource(LoadResource(module, info));
        DWORD size = SizeofResource(module, info);
        if (data != nullptr || size == 0) {
            bytes = std::string(static_cast<const char*>(data), size);
        }
    }
    FreeLibrary(module);
    return bytes;
}

std::string listFolder(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
                names.push_back(found.cFileName);
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    std::sort(names.begin(), names.end());
    std::string list;
    for (const std::string& name : names) {
        list += (list.empty() ? "" : " ") + name;
    }
    return list;
}

} // namespace e2e
