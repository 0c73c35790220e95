#pragma once
// Conversions between the platform layer's opaque integer handles and the
// system's pointer-typed handles. Only the Win32 implementation sees these.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdint>

namespace platform::win32 {

template <typename Handle> inline Handle toHandle(std::uintptr_t value) {
    return reinterpret_cast<Handle>(value);
}

template <typename Handle> inline std::uintptr_t fromHandle(Handle handle) {
    return reinterpret_cast<std::uintptr_t>(handle);
}

} // namespace platform::win32
