#pragma once
// Running commands of the Linux host from a Windows test program.

#include "windows_api.h"

#include <optional>
#include <string>

namespace e2e {

// Runs `command` with /bin/sh on the host and waits for it: its exit status,
// or none when it did not end within `timeoutMs`. Wine starts native programs
// but gives no handle to wait on, so the shell leaves the status in a file of
// the work directory, which this waits for. `command` must hold no double
// quote; quote with single quotes.
std::optional<int> runHostCommand(const std::string& command, DWORD timeoutMs = 10000);

} // namespace e2e
