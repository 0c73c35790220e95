// The process's work: load the embedded script, run it, report any failure.

#include "runner/start_up.h"

#include "platform/platform.h"
#include "runner/trace.h"
#include "script/resource_reader.h"
#include "script/script.h"

#include <utility>

std::int32_t startUp() {
    // Everything, the copy of the resource included, runs under one guard: an
    // allocation failure anywhere shows one box and ends the run normally.
    try {
        ResourceReader reader(platform::ownModule());
        if (!reader.load(ScriptResourceName, ScriptResourceType)) {
            return 0;
        }
        traceStartUp();
        Script script;
        // The script takes over the reader's copy of the resource and splits it
        // in place: one copy of the text for the whole run.
        script.splitOwnedLines(std::move(reader.data), reader.size);
        script.run();
    } catch (...) {
        platform::messageBox("读取脚本文件发生错误", "VELMO-TEK", platform::BoxOk);
    }
    return 0;
}
