// demo_probe: looks at the desktop the demo plays on and tells, in UTF-8, what
// it sees, so that a Linux terminal shows it.
//
//   demo_probe windows                  the visible top-level windows: class and caption
//   demo_probe wait CLASS SECONDS       waits for a visible top-level window of CLASS and
//                                       prints its caption; exit code 1 when none came
//   demo_probe text CLASS               the caption of the window of CLASS and the text of
//                                       its edit control
//   demo_probe close CLASS              ends the process that owns the window of CLASS

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// Text of the ANSI code page (GBK on a Chinese system) as UTF-8.
std::string toUtf8(const std::string& ansi) {
    if (ansi.empty()) {
        return "";
    }
    int wideLength =
        MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(),
                        wideLength);
    int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

std::string windowText(HWND window) {
    // WM_GETTEXT works across processes for edit controls as well as captions.
    LRESULT length = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    LRESULT got = SendMessageA(window, WM_GETTEXT, static_cast<WPARAM>(text.size()),
                               reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(got));
    return text;
}

std::string className(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

BOOL CALLBACK printWindow(HWND window, LPARAM) {
    if (IsWindowVisible(window)) {
        std::printf("%-24s \"%s\"\n", className(window).c_str(),
                    toUtf8(windowText(window)).c_str());
    }
    return TRUE;
}

HWND visibleWindowOf(const char* windowClass) {
    HWND window = FindWindowA(windowClass, nullptr);
    return window != nullptr && IsWindowVisible(window) ? window : nullptr;
}

int usage() {
    std::fputs("usage: demo_probe windows | wait CLASS SECONDS | text CLASS | close CLASS\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "windows") == 0) {
        EnumWindows(printWindow, 0);
        return 0;
    }
    if (argc == 4 && std::strcmp(argv[1], "wait") == 0) {
        DWORD deadline = GetTickCount() + static_cast<DWORD>(std::atoi(argv[3])) * 1000;
        for (;;) {
            HWND window = visibleWindowOf(argv[2]);
            if (window != nullptr) {
                std::printf("%s\n", toUtf8(windowText(window)).c_str());
                return 0;
            }
            if (static_cast<LONG>(GetTickCount() - deadline) > 0) {
                std::fprintf(stderr, "demo_probe: no window of class %s\n", argv[2]);
                return 1;
            }
            Sleep(100);
        }
    }
    if (argc == 3 && std::strcmp(argv[1], "text") == 0) {
        HWND window = visibleWindowOf(argv[2]);
        if (window == nullptr) {
            std::fprintf(stderr, "demo_probe: no window of class %s\n", argv[2]);
            return 1;
        }
        HWND edit = FindWindowExA(window, nullptr, "Edit", nullptr);
        std::printf("caption: %s\n", toUtf8(windowText(window)).c_str());
        std::printf("text:    %s\n",
                    edit != nullptr ? toUtf8(windowText(edit)).c_str() : "(no edit control)");
        return edit != nullptr ? 0 : 1;
    }
    if (argc == 3 && std::strcmp(argv[1], "close") == 0) {
        HWND window = FindWindowA(argv[2], nullptr);
        DWORD processId = 0;
        if (window == nullptr || GetWindowThreadProcessId(window, &processId) == 0) {
            return 1;
        }
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId);
        if (process == nullptr) {
            return 1;
        }
        TerminateProcess(process, 0);
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
        return 0;
    }
    return usage();
}
