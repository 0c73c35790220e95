#pragma once
// The optional notification-area icon that shows a run and its pause state.

#include "platform/platform.h"

#include <cstdint>

enum class TrayMode : std::int32_t { Remove = 0, Add = 1, ShowRunning = 3, ShowPaused = 4 };

namespace TrayIcon {
// The icon record for `mode` owned by `window`, holding `icon`.
platform::NotifyIconRecord record(platform::WindowHandle window, platform::IconHandle icon);
// Adds, changes or removes the icon; does nothing unless the script asked for it.
void update(TrayMode mode);
} // namespace TrayIcon
