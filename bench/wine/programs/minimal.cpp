// The minimal C++ GUI program the player is held against for its start-up and
// its size: the same build (static, small code, stripped, GUI subsystem) and the
// same outline as the player's entry, C++ exceptions and a message box for one
// that escapes, around no work at all.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    try {
        // Never true when the benchmarks start it; the compiler cannot know.
        if (commandLine[0] == '!')
            throw commandLine;
    } catch (...) {
        MessageBoxA(nullptr, "failed", "minimal", MB_OK);
    }
    return 0;
}
