// Reading files and comparing paths.

#include "pack_windows.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstring>

namespace {

std::string fullPathOf(const std::string& path) {
    char buffer[MAX_PATH * 4];
    DWORD length = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    if (length == 0 || length >= sizeof buffer) {
        return path;
    }
    return std::string(buffer, length);
}

struct FileIdentity {
    bool known = false;
    BY_HANDLE_FILE_INFORMATION info{};
};

FileIdentity identityOf(const std::string& path) {
    FileIdentity identity;
    HANDLE file =
        CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return identity;
    }
    identity.known = GetFileInformationByHandle(file, &identity.info) != 0;
    CloseHandle(file);
    return identity;
}

} // namespace

std::string errorText(unsigned long error) {
    char buffer[512];
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, buffer, sizeof buffer, nullptr);
    std::string text(buffer, length);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' ||
                             text.back() == '.')) {
        text.pop_back();
    }
    if (text.empty()) {
        text = "error " + std::to_string(error);
    }
    return text;
}

FileRead readWholeFile(const std::string& path) {
    FileRead result;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        result.error = errorText(GetLastError());
        return result;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size)) {
        result.error = errorText(GetLastError());
        CloseHandle(file);
        return result;
    }
    // Scripts and players are small; anything near this is not one of them.
    constexpr LONGLONG Largest = 256LL * 1024 * 1024;
    if (size.QuadPart > Largest) {
        result.error = "the file is larger than 256 MB";
        CloseHandle(file);
        return result;
    }
    result.bytes.resize(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    while (done < result.bytes.size()) {
        DWORD got = 0;
        DWORD want = static_cast<DWORD>(std::min<std::size_t>(result.bytes.size() - done, 1 << 20));
        if (!ReadFile(file, result.bytes.data() + done, want, &got, nullptr)) {
            result.error = errorText(GetLastError());
            CloseHandle(file);
            return result;
        }
        if (got == 0) {
            break; // the file shrank while it was read
        }
        done += got;
    }
    result.bytes.resize(done);
    CloseHandle(file);
    result.ok = true;
    return result;
}

bool sameFile(const std::string& first, const std::string& second) {
    FileIdentity a = identityOf(first);
    FileIdentity b = identityOf(second);
    if (a.known && b.known && a.info.dwVolumeSerialNumber == b.info.dwVolumeSerialNumber &&
        a.info.nFileIndexHigh == b.info.nFileIndexHigh &&
        a.info.nFileIndexLow == b.info.nFileIndexLow) {
        return true;
    }
    return lstrcmpiA(fullPathOf(first).c_str(), fullPathOf(second).c_str()) == 0;
}

std::string packerPath() {
    char buffer[MAX_PATH * 4];
    DWORD length = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    if (length == 0 || length >= sizeof buffer) {
        return "";
    }
    return std::string(buffer, length);
}

std::string packerDirectory() {
    std::string path = packerPath();
    std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool makeTemporaryName(std::string& placeholder, std::string& error) {
    char folder[MAX_PATH + 1];
    const DWORD length = GetTempPathA(sizeof folder, folder);
    if (length == 0 || length > MAX_PATH) {
        error = "cannot find the folder for temporary files: " + errorText(GetLastError());
        return false;
    }
    char name[MAX_PATH];
    if (GetTempFileNameA(folder, "run", 0, name) == 0) {
        error = "cannot create a temporary file in " + std::string(folder) + ": " +
                errorText(GetLastError());
        return false;
    }
    placeholder = name;
    return true;
}

bool fileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool removeFile(const std::string& path) {
    // The image of a process that has just ended can stay mapped for a moment,
    // and the file cannot be deleted until it is unmapped.
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (DeleteFileA(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND) {
            return true;
        }
        Sleep(20);
    }
    return false;
}
