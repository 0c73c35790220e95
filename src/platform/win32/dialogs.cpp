// Message boxes without an owner window.

#include "platform/platform.h"
#include "platform/win32/handles.h"
#include "platform/win32/on_first_use.h"

namespace platform {

static_assert(BoxOk == MB_OK);
static_assert(BoxOkCancel == MB_OKCANCEL);
static_assert(AnswerOk == IDOK);

// In the look of version 6 of the common controls.
int messageBox(const char* text, const char* caption, std::uint32_t buttons) {
    const ULONG_PTR cookie = win32::enterCommonControls();
    const int answer = MessageBoxA(nullptr, text, caption, buttons);
    win32::leaveCommonControls(cookie);
    return answer;
}

} // namespace platform
