// A top-level window in a process of its own, for the tests of the window
// commands and of Wait Process:
//   wait_window_helper CLASS TITLE X Y WIDTH HEIGHT FRONT
// FRONT 1 brings the window to the front at once. The program ends when the
// window is closed.

#include "support/windows_api.h"

#include <cstdlib>

namespace {

LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 8) {
        return 2;
    }
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = argv[1];
    if (RegisterClassA(&windowClass) == 0) {
        return 3;
    }
    HWND window = CreateWindowExA(0, argv[1], argv[2], WS_OVERLAPPEDWINDOW, std::atoi(argv[3]),
                                  std::atoi(argv[4]), std::atoi(argv[5]), std::atoi(argv[6]),
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (window == nullptr) {
        return 4;
    }
    ShowWindow(window, std::atoi(argv[7]) != 0 ? SW_SHOW : SW_SHOWNOACTIVATE);
    if (std::atoi(argv[7]) != 0) {
        SetForegroundWindow(window);
    }
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
