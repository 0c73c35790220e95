// A bare program that ends as soon as it sees ESC held, testing every
// millisecond: the floor of the break-key latency, and the working set of a
// process that does next to nothing under Wine.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // A hidden window, as the player has one: under Wine a process sees the keys
    // held at the X server only once it has a window.
    CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    while ((GetAsyncKeyState(VK_ESCAPE) & 0x8000) == 0)
        Sleep(1);
    return 0;
}
