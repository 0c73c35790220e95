#pragma once
// A player as the studio starts it for a run: it carries the trace resource,
// which names a window of the benchmark that receives its posts. No shared
// block exists, so it never stops; it only posts.

#include "pack_windows.h"
#include "runner/trace_protocol.h"
#include "support/paths.h"
#include "support/windows_api.h"

#include <string>

namespace bench {

// The path of the traced player NAME.exe in the work folder, or "" when it
// could not be made.
inline std::string tracedPlayer(const std::string& name, const std::string& script, HWND window) {
    const std::string path = e2e::workDirectory() + "\\" + name + ".exe";
    std::string error;
    const std::string trace =
        traceResourceText(reinterpret_cast<std::uintptr_t>(window), "Local\\bench-no-block");
    return writeTracedPlayer(e2e::plainPlayerPath(), path, script, trace, error) ? path : "";
}

} // namespace bench
