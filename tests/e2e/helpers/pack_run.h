#pragma once
// Running the packer from an end-to-end test and looking at what it made.

#include "support/windows_api.h"

#include <optional>
#include <string>
#include <string_view>

namespace e2e {

struct PackRun {
    DWORD exitCode = 0xFFFFFFFF; // that value also when it did not end in time
    std::string out;             // its standard output, byte for byte
    std::string err;             // its standard error
    std::string boxText;         // the text of its message box (runPackOnOwnConsole)
};

// Runs pack.exe with `arguments` (a command line tail) and collects its output.
PackRun runPack(const std::string& arguments, DWORD timeoutMs = 30000);
// The same on a console of its own, as when a script is dropped on pack.exe in
// Explorer: the packer's message box is read into boxText and answered with OK.
// Fails the calling test when no box comes.
PackRun runPackOnOwnConsole(const std::string& arguments, DWORD timeoutMs = 30000);
// Runs another pack.exe (Windows path) than the build's.
PackRun runPackerAt(const std::string& packer, const std::string& arguments,
                    DWORD timeoutMs = 30000);

// A fresh folder for one test's files (Windows path, no trailing backslash).
std::string packFolder(std::string_view name);

void writeBytes(const std::string& path, std::string_view bytes);
// The whole file; none when it cannot be read.
std::optional<std::string> readBytes(const std::string& path);

// The script resource (type 10, id 1) of an executable; none when it has none.
std::optional<std::string> scriptResource(const std::string& path);

// The names of the files in a folder, sorted.
std::string listFolder(const std::string& folder);

} // namespace e2e
