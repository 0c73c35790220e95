// Message boxes without an owner window.

#include "platform/platform.h"
#include "platform/win32/handles.h"

namespace platform {

static_assert(BoxOk == MB_OK);
static_assert(BoxOkCancel == MB_OKCANCEL);
static_assert(AnswerOk == IDOK);

int messageBox(const char* text, const char* caption, std::uint32_t buttons) {
    return MessageBoxA(nullptr, text, caption, buttons);
}

} // namespace platform
