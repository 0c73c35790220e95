#include "paths.h"

#include "windows_api.h"

#include <gtest/gtest.h>

namespace e2e {

std::string windowsPath(std::string_view hostPath) {
    std::string path = "Z:";
    for (char c : hostPath)
        path += c == '/' ? '\\' : c;
    return path;
}

std::string plainPlayerPath() {
    return windowsPath(E2E_PLAIN_PLAYER);
}

std::string builtPlayerPath(std::string_view name) {
    return windowsPath(std::string(E2E_BINARY_DIR) + "/" + std::string(name) + ".exe");
}

std::string workDirectory() {
    const std::string directory = windowsPath(E2E_WORK_DIR);
    CreateDirectoryA(directory.c_str(), nullptr);
    return directory;
}

std::string playerWithScript(std::string_view name, std::string_view script) {
    const std::string path = workDirectory() + "\\" + std::string(name) + ".exe";
    // Wine cannot add a resource of size 0: a player built with one stands in.
    // (The packer stores an empty script as one NUL byte; this keeps the
    // resource of size 0 that a resource compiler makes covered too.)
    const std::string original =
        script.empty() ? builtPlayerPath("empty_script_player") : plainPlayerPath();
    if (!CopyFileA(original.c_str(), path.c_str(), FALSE)) {
        ADD_FAILURE() << "cannot copy the player to " << path << ": error " << GetLastError();
        return "";
    }
    if (script.empty())
        return path;
    HANDLE update = BeginUpdateResourceA(path.c_str(), FALSE);
    if (update == nullptr) {
        ADD_FAILURE() << "cannot open " << path << " for resource updates";
        return "";
    }
    const bool added =
        UpdateResourceA(update, MAKEINTRESOURCEA(10), MAKEINTRESOURCEA(1),
                        MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), const_cast<char*>(script.data()),
                        static_cast<DWORD>(script.size()));
    if (!EndUpdateResourceA(update, !added) || !added) {
        ADD_FAILURE() << "cannot embed the script into " << path;
        return "";
    }
    return path;
}

} // namespace e2e
