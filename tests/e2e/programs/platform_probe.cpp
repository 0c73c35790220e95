// A helper program for the platform tests: does one thing through the platform
// layer and ends, so that the test can watch what only another process sees.
//
//   platform_probe end-process MARKER   a second thread keeps using a static
//                                       object while the main thread ends the
//                                       process with endProcess(); MARKER is
//                                       written if static destructors run
//   platform_probe return MARKER        main returns normally (no second thread)
//   platform_probe open FILE [PARAMS]   openProgram(FILE, PARAMS), then return
//   platform_probe touch FILE           creates FILE
//   platform_probe window TITLE FILE    makes a hidden top-level window and
//                                       keeps it until FILE is gone
//   platform_probe crash now            reads through a null pointer
//   platform_probe hold-clipboard FILE  opens the clipboard for a window of its
//                                       own, creates FILE, keeps the clipboard
//                                       open until FILE is gone

#include "platform/platform.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// Writes its marker file when destroyed, i.e. when the C runtime's clean-up runs.
struct DestructionTrace {
    std::string marker;
    ~DestructionTrace() {
        if (marker.empty())
            return;
        if (std::FILE* file = std::fopen(marker.c_str(), "w"))
            std::fclose(file);
    }
};

DestructionTrace trace;
volatile std::size_t observed = 0;

void keepReading() {
    for (;;) {
        observed = observed + trace.marker.size();
        platform::sleepFor(1);
    }
}

// Waits while FILE exists, at most some ten seconds. Asks for the attributes
// only: a file this program held open, even for a moment, could not be deleted
// by the test then (no delete sharing).
void waitWhileExists(const char* path) {
    for (int tries = 0; tries < 2000; ++tries) {
        if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
            return;
        platform::sleepFor(5);
    }
}

bool touch(const char* path) {
    std::FILE* file = std::fopen(path, "w");
    if (file == nullptr)
        return false;
    std::fclose(file);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        return 2;
    const char* mode = argv[1];
    if (std::strcmp(mode, "end-process") == 0 || std::strcmp(mode, "return") == 0) {
        trace.marker = argv[2];
        if (std::strcmp(mode, "return") == 0)
            return 0;
        platform::startThread(keepReading);
        platform::sleepFor(100);
        platform::endProcess();
    }
    if (std::strcmp(mode, "open") == 0) {
        platform::openProgram(argv[2], argc > 3 ? argv[3] : nullptr);
        return 0;
    }
    if (std::strcmp(mode, "touch") == 0)
        return touch(argv[2]) ? 0 : 3;
    if (std::strcmp(mode, "hold-clipboard") == 0) {
        // Wine lets two openers without a window share the clipboard; a program
        // that holds it as users' programs do names its window.
        HWND owner = reinterpret_cast<HWND>(platform::createWindow(
            "button", "e2e clipboard holder", platform::OverlappedWindowStyle,
            platform::DefaultPosition, 0, 300, 100));
        if (owner == nullptr || !OpenClipboard(owner) || !touch(argv[2]))
            return 3;
        waitWhileExists(argv[2]);
        CloseClipboard();
        return 0;
    }
    if (std::strcmp(mode, "crash") == 0) {
        volatile int* nowhere = nullptr;
        return *nowhere;
    }
    if (std::strcmp(mode, "window") == 0) {
        if (argc < 4 || platform::createWindow("button", argv[2], platform::OverlappedWindowStyle,
                                               platform::DefaultPosition, 0, 300, 100) == 0)
            return 3;
        waitWhileExists(argv[3]);
        return 0;
    }
    return 2;
}
