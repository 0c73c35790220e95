// The process entry of the player: no command line is read.

#include "runner/start_up.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstddef>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return startUp(); }

// The C++ runtime's last-chance handler names an uncaught exception's type on
// the standard error, demangled. A GUI program has no standard error to show it
// on, and the demangler is a third of the program's code: this stand-in keeps
// it out, and the handler prints nothing it could not print anyway.
extern "C" char* __cxa_demangle(const char*, char*, std::size_t*, int* status) {
    if (status != nullptr)
        *status = -2; // "not a valid mangled name": the handler shows the raw name
    return nullptr;
}
