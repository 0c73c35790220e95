#include "recovery_lock.h"

#include <windows.h>

namespace {

std::wstring lockPathOf(const std::wstring& copyPath) {
    return copyPath.substr(0, copyPath.size() - (sizeof(".studio") - 1)) + L".lock";
}

// Opens (creating when missing) a lock file that nobody else may open while
// it is held and that goes when it is closed.
HANDLE openLock(const std::wstring& path, DWORD disposition) {
    return CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, disposition,
                       FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

bool endsWithStudio(const wchar_t* name) {
    const std::wstring text = name;
    const std::wstring end = L".studio";
    return text.size() > end.size() &&
           CompareStringOrdinal(text.c_str() + text.size() - end.size(), -1, end.c_str(), -1,
                                TRUE) == CSTR_EQUAL;
}

} // namespace

bool takeRecoveryLock(const std::wstring& folder, RecoveryLock& lock) {
    releaseRecoveryLock(lock);
    const unsigned long long base =
        (static_cast<unsigned long long>(GetCurrentProcessId()) << 32) ^ GetTickCount64();
    for (unsigned attempt = 0; attempt < 64; ++attempt) {
        wchar_t id[32] = {};
        wsprintfW(id, L"%08x%08x", static_cast<unsigned>((base + attempt) >> 32),
                  static_cast<unsigned>(base + attempt));
        const std::wstring copy = folder + L"\\recovery-" + id + L".studio";
        // A name whose copy or lock is there already belongs to another studio.
        if (GetFileAttributesW(copy.c_str()) != INVALID_FILE_ATTRIBUTES) {
            continue;
        }
        HANDLE file = openLock(lockPathOf(copy), CREATE_NEW);
        if (file == INVALID_HANDLE_VALUE) {
            if (GetLastError() == ERROR_FILE_EXISTS || GetLastError() == ERROR_SHARING_VIOLATION) {
                continue;
            }
            return false;
        }
        lock.file = file;
        lock.copyPath = copy;
        return true;
    }
    return false;
}

void releaseRecoveryLock(RecoveryLock& lock) {
    if (lock.file != nullptr) {
        CloseHandle(static_cast<HANDLE>(lock.file));
    }
    lock.file = nullptr;
    lock.copyPath.clear();
}

std::vector<LeftCopy> findLeftCopies(const std::wstring& folder) {
    std::vector<LeftCopy> left;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder + L"\\recovery-*.studio").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return left;
    }
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
            !endsWithStudio(found.cFileName)) {
            continue;
        }
        const std::wstring copy = folder + L"\\" + found.cFileName;
        // Held by a running studio (this one too): a sharing violation. Any
        // other failure leaves the copy alone as well.
        HANDLE file = openLock(lockPathOf(copy), OPEN_ALWAYS);
        if (file == INVALID_HANDLE_VALUE) {
            continue;
        }
        LeftCopy entry;
        entry.lock.file = file;
        entry.lock.copyPath = copy;
        entry.writeTime = (static_cast<std::uint64_t>(found.ftLastWriteTime.dwHighDateTime) << 32) |
                          found.ftLastWriteTime.dwLowDateTime;
        left.push_back(std::move(entry));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return left;
}
