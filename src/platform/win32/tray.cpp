// The notification-area icon and the small icons it shows.

#include "platform/platform.h"
#include "platform/win32/handles.h"
#include "platform/win32/on_first_use.h"

#include <shellapi.h>

#include <cstddef>
#include <cstring>

namespace platform {

using win32::fromHandle;
using win32::toHandle;

static_assert(NotifyAdd == NIM_ADD);
static_assert(NotifyModify == NIM_MODIFY);
static_assert(NotifyDelete == NIM_DELETE);

// The record is the system's first version of NOTIFYICONDATAA, field for field.
static_assert(sizeof(NotifyIconRecord) == NOTIFYICONDATAA_V1_SIZE);
static_assert(offsetof(NotifyIconRecord, cbSize) == offsetof(NOTIFYICONDATAA, cbSize));
static_assert(offsetof(NotifyIconRecord, hWnd) == offsetof(NOTIFYICONDATAA, hWnd));
static_assert(offsetof(NotifyIconRecord, uID) == offsetof(NOTIFYICONDATAA, uID));
static_assert(offsetof(NotifyIconRecord, uFlags) == offsetof(NOTIFYICONDATAA, uFlags));
static_assert(offsetof(NotifyIconRecord, uCallbackMessage) ==
              offsetof(NOTIFYICONDATAA, uCallbackMessage));
static_assert(offsetof(NotifyIconRecord, hIcon) == offsetof(NOTIFYICONDATAA, hIcon));
static_assert(offsetof(NotifyIconRecord, szTip) == offsetof(NOTIFYICONDATAA, szTip));

IconHandle extractSmallIcon(const char* file, int index) {
    static const auto extract = win32::shellFunction<decltype(ExtractIconExA)>("ExtractIconExA");
    HICON small = nullptr;
    if (extract != nullptr)
        extract(file, index, nullptr, &small, 1);
    return fromHandle(small);
}

void destroyIcon(IconHandle icon) {
    if (icon != 0)
        DestroyIcon(toHandle<HICON>(icon));
}

bool notifyIcon(std::uint32_t message, const NotifyIconRecord& record) {
    NOTIFYICONDATAA data{};
    data.cbSize = record.cbSize;
    data.hWnd = toHandle<HWND>(record.hWnd);
    data.uID = record.uID;
    data.uFlags = record.uFlags;
    data.uCallbackMessage = record.uCallbackMessage;
    data.hIcon = toHandle<HICON>(record.hIcon);
    std::memcpy(data.szTip, record.szTip, sizeof(record.szTip));
    // The first version's tip is 64 bytes; keep it terminated inside them.
    data.szTip[sizeof(record.szTip) - 1] = '\0';
    static const auto notify =
        win32::shellFunction<decltype(Shell_NotifyIconA)>("Shell_NotifyIconA");
    return notify != nullptr && notify(message, &data) != 0;
}

} // namespace platform
