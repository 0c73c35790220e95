// The notification-area icon: running or paused picture, tip, no click handling.

#include "runner/tray_icon.h"

#include "runner/run_state.h"

#include <cstring>

namespace {

constexpr std::uint32_t TrayFlags = 7; // message, icon and tip
constexpr std::uint32_t TrayCallbackMessage = 2025;
constexpr int RunningPicture = 137;
constexpr int PausedPicture = 109;
constexpr char TrayTip[] = "脚本执行器";

std::uint32_t notifyMessage(TrayMode mode) {
    switch (mode) {
    case TrayMode::Remove:
        return platform::NotifyDelete;
    case TrayMode::Add:
        return platform::NotifyAdd;
    default:
        return platform::NotifyModify;
    }
}

} // namespace

platform::NotifyIconRecord TrayIcon::record(platform::WindowHandle window,
                                            platform::IconHandle icon) {
    platform::NotifyIconRecord record;
    std::memset(&record, 0, sizeof record);
    record.cbSize = sizeof record;
    record.hWnd = window;
    record.uID = 0;
    record.uFlags = TrayFlags;
    record.uCallbackMessage = TrayCallbackMessage;
    record.hIcon = icon;
    static_assert(sizeof TrayTip <= sizeof record.szTip);
    std::memcpy(record.szTip, TrayTip, sizeof TrayTip);
    return record;
}

void TrayIcon::update(TrayMode mode) {
    if (runState.showTrayIcon == 0) {
        return;
    }
    platform::IconHandle icon = platform::extractSmallIcon(
        "shell32.dll", mode == TrayMode::ShowPaused ? PausedPicture : RunningPicture);
    platform::notifyIcon(notifyMessage(mode),
                         record(runState.hiddenWindow.load(std::memory_order_relaxed), icon));
    // The notification area keeps its own copy of the picture.
    if (icon != 0) {
        platform::destroyIcon(icon);
    }
}
