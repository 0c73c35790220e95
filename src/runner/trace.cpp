// The trace of a run started by the studio: posted messages, and the stops the
// studio asks for through the shared block.

#include "runner/trace.h"

#include "platform/platform.h"

namespace {

// How often a stopped run looks whether the studio lets it go on.
constexpr std::uint32_t StoppedPollMs = 50;

struct Tracer {
    bool on = false;
    platform::WindowHandle window = 0;
    std::uint32_t message = 0;
    TraceControl* control = nullptr;
};

Tracer tracer;

void post(TraceEvent event, std::int32_t line, std::uint32_t value) {
    platform::postMessage(tracer.window, tracer.message, traceWParam(event, line),
                          static_cast<std::intptr_t>(value));
}

} // namespace

void traceStartUp() {
    const unsigned char* bytes = nullptr;
    std::uint32_t size = 0;
    if (!platform::findResource(platform::ownModule(), TraceResourceName, 10, bytes, size)) {
        return;
    }
    std::uintptr_t window = 0;
    const char* memoryName = nullptr;
    if (!parseTraceResource(reinterpret_cast<const char*>(bytes), size, window, memoryName)) {
        return;
    }
    tracer.window = window;
    tracer.message = platform::registerWindowMessage(TraceMessageName);
    auto* control = static_cast<TraceControl*>(platform::openSharedMemory(memoryName));
    if (control != nullptr && control->version == TraceVersion) {
        tracer.control = control;
    }
    tracer.on = tracer.message != 0;
}

void traceBeforeCommand(std::int32_t line, std::int32_t pass) {
    if (!tracer.on) {
        return;
    }
    if (tracer.control != nullptr && traceStopsBefore(*tracer.control, line)) {
        const std::int32_t serial = tracer.control->serial.load();
        post(TraceEvent::Stopped, line, static_cast<std::uint32_t>(pass));
        // The break key still ends the run: the monitor thread watches it.
        while (tracer.control->serial.load() == serial) {
            platform::sleepFor(StoppedPollMs);
        }
        post(TraceEvent::Resumed, line, static_cast<std::uint32_t>(pass));
    }
    post(TraceEvent::CommandStarted, line, static_cast<std::uint32_t>(pass));
}

void traceAfterCommand(std::int32_t line) {
    if (tracer.on) {
        post(TraceEvent::CommandDone, line, 0);
    }
}

void traceEnd(TraceEnd reason, std::int32_t line) {
    if (tracer.on) {
        post(TraceEvent::Ended, line, static_cast<std::uint32_t>(reason));
    }
}
