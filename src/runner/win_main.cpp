// The process entry of the player: no command line is read.

#include "platform/platform.h"
#include "runner/start_up.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstddef>
#include <new>

// The run's end ends the process at once, with exit code 0, like every other
// end: returning would let the C runtime destroy RunState's key texts while the
// monitor thread may still be reading them.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    startUp();
    platform::endProcess();
}

// The C++ runtime's last-chance handler names an uncaught exception's type on
// the standard error, demangled. A GUI program has no standard error to show it
// on, and the demangler is a third of the program's code: this stand-in keeps
// it out, and the handler prints nothing it could not print anyway.
extern "C" char* __cxa_demangle(const char*, char*, std::size_t*, int* status) {
    if (status != nullptr)
        *status = -2; // "not a valid mangled name": the handler shows the raw name
    return nullptr;
}

// A container asked to grow beyond its largest size reports it through this
// library hook. The library's own version builds a std::length_error, which
// brings in the library's exception classes and string code, another third of
// the program. Such a size is an allocation that cannot succeed: it is reported
// as one, and the guard around the run shows its box.
namespace std {
[[noreturn]] void __throw_length_error(const char*) {
    throw std::bad_alloc();
}
} // namespace std
