// A bare window of ours with a multiline edit control holding a file: the
// floor of what a key typed into an editor of another process costs under
// Wine, for the studio's keystroke benchmark.
//
//   bench_edit_window FILE

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

HWND edit = nullptr;

// The edit control takes the focus whenever the window gets it, as in an editor.
LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETFOCUS && edit != nullptr) {
        SetFocus(edit);
        return 0;
    }
    if (message == WM_DESTROY)
        PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    std::string text;
    if (FILE* file = std::fopen(commandLine, "rb")) {
        char buffer[65536];
        for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
            text.append(buffer, got);
        std::fclose(file);
    }
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "BenchEditWindow";
    RegisterClassA(&windowClass);
    HWND window =
        CreateWindowExA(0, "BenchEditWindow", "bench edit window", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                        100, 100, 800, 600, nullptr, nullptr, instance, nullptr);
    edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE, 0, 0,
                           780, 560, window, reinterpret_cast<HMENU>(1), instance, nullptr);
    SendMessageA(edit, EM_SETLIMITTEXT, 0, 0);
    SetWindowTextA(edit, text.c_str());
    SetFocus(edit);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
