// Text out of the spy: to a console, a pipe or a file, and to the clipboard.

#include "spy_win32.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// The standard handle to write to: the one the program was started with when
// it is a pipe or file, else the console of the parent (a GUI program gets
// none of its own); null when there is neither.
HANDLE outputHandle(bool toError, bool& console) {
    const DWORD which = toError ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE;
    HANDLE handle = GetStdHandle(which);
    DWORD mode = 0;
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE &&
        GetFileType(handle) != FILE_TYPE_UNKNOWN) {
        console = GetConsoleMode(handle, &mode) != FALSE;
        return handle;
    }
    static HANDLE parentConsole = nullptr;
    if (parentConsole == nullptr && AttachConsole(ATTACH_PARENT_PROCESS)) {
        parentConsole =
            CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    }
    if (parentConsole == nullptr || parentConsole == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    console = true;
    return parentConsole;
}

} // namespace

void printText(const std::string& gbk, bool utf8, bool toError) {
    bool console = false;
    HANDLE handle = outputHandle(toError, console);
    if (handle == nullptr) {
        return;
    }
    if (console) {
        const std::wstring wide = fromGbk(gbk);
        DWORD written = 0;
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    const std::string bytes = utf8 ? toUtf8(fromGbk(gbk)) : gbk;
    DWORD written = 0;
    WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

namespace {

bool putOnClipboard(UINT format, const void* data, std::size_t size) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (memory == nullptr) {
        return false;
    }
    void* target = GlobalLock(memory);
    if (target == nullptr) {
        GlobalFree(memory);
        return false;
    }
    std::memcpy(target, data, size);
    GlobalUnlock(memory);
    if (SetClipboardData(format, memory) == nullptr) {
        GlobalFree(memory);
        return false;
    }
    return true; // the clipboard owns the block now
}

} // namespace

bool copyToClipboard(HWND owner, const std::string& gbk) {
    std::string text;
    for (char byte : gbk) {
        if (byte == '\n') {
            text += '\r';
        }
        text += byte;
    }
    const std::wstring wide = fromGbk(text);
    if (!OpenClipboard(owner)) {
        return false;
    }
    EmptyClipboard();
    // Both forms, so that a program reading either gets the same characters.
    bool ok = putOnClipboard(CF_UNICODETEXT, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
    ok = putOnClipboard(CF_TEXT, text.c_str(), text.size() + 1) && ok;
    CloseClipboard();
    return ok;
}
