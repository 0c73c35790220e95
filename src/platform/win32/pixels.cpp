// Pixels of the whole screen.

#include "platform/platform.h"
#include "platform/win32/handles.h"

namespace platform {

using win32::fromHandle;
using win32::toHandle;

static_assert(CLR_INVALID == 0xFFFFFFFF);

ContextHandle screenContext() {
    return fromHandle(GetDC(nullptr));
}

std::uint32_t pixelColor(ContextHandle context, std::int32_t x, std::int32_t y) {
    return GetPixel(toHandle<HDC>(context), x, y);
}

void releaseScreenContext(ContextHandle context) {
    ReleaseDC(nullptr, toHandle<HDC>(context));
}

} // namespace platform
