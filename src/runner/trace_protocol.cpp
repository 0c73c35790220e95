#include "runner/trace_protocol.h"

#include <cstring>
#include <new>
#include <string_view>

namespace {

constexpr std::uintptr_t EventBits = 4;
constexpr std::uintptr_t EventMask = (1u << EventBits) - 1;
constexpr std::string_view ResourceMark = "ScriptStudioTrace ";

std::uint8_t* breakpointBytes(const TraceControl& control) {
    return reinterpret_cast<std::uint8_t*>(const_cast<TraceControl*>(&control) + 1);
}

} // namespace

std::uintptr_t traceWParam(TraceEvent event, std::int32_t line) {
    return (static_cast<std::uintptr_t>(static_cast<std::uint32_t>(line)) << EventBits) |
           static_cast<std::uintptr_t>(event);
}

TraceMessage decodeTraceMessage(std::uintptr_t wParam, std::intptr_t lParam) {
    TraceMessage message;
    message.event = static_cast<TraceEvent>(wParam & EventMask);
    message.line = static_cast<std::int32_t>(static_cast<std::uint32_t>(wParam >> EventBits));
    message.value = static_cast<std::uint32_t>(lParam);
    return message;
}

bool parseTraceResource(const char* bytes, std::size_t size, std::uintptr_t& window,
                        const char*& memoryName) {
    const std::size_t markLength = ResourceMark.size();
    if (size <= markLength || std::memcmp(bytes, ResourceMark.data(), markLength) != 0) {
        return false;
    }
    std::size_t at = markLength;
    std::uint64_t numbers[2] = {};
    for (std::uint64_t& number : numbers) {
        const std::size_t start = at;
        while (at < size && at - start < 20 && bytes[at] >= '0' && bytes[at] <= '9') {
            number = number * 10 + static_cast<std::uint64_t>(bytes[at] - '0');
            ++at;
        }
        if (at == start || at >= size || bytes[at] != ' ') {
            return false;
        }
        ++at;
    }
    // The name runs to a NUL inside the resource.
    const void* nul = std::memchr(bytes + at, '\0', size - at);
    if (numbers[0] != TraceVersion || nul == nullptr || nul == bytes + at) {
        return false;
    }
    window = static_cast<std::uintptr_t>(numbers[1]);
    memoryName = bytes + at;
    return true;
}

std::size_t traceControlSize(std::uint32_t lineCount) {
    return sizeof(TraceControl) + (static_cast<std::size_t>(lineCount) + 7) / 8;
}

TraceControl* initTraceControl(void* memory, std::uint32_t lineCount) {
    std::memset(memory, 0, traceControlSize(lineCount));
    auto* control = new (memory) TraceControl{TraceVersion, lineCount, {0}, {0}};
    return control;
}

bool traceBreakpoint(const TraceControl& control, std::int32_t line) {
    if (line < 1 || static_cast<std::uint32_t>(line) > control.lineCount) {
        return false;
    }
    std::uint8_t& byte = breakpointBytes(control)[(line - 1) / 8];
    return (std::atomic_ref<std::uint8_t>(byte).load(std::memory_order_relaxed) >>
                ((line - 1) % 8) &
            1) != 0;
}

void setTraceBreakpoint(TraceControl& control, std::int32_t line, bool on) {
    if (line < 1 || static_cast<std::uint32_t>(line) > control.lineCount) {
        return;
    }
    std::atomic_ref<std::uint8_t> byte(breakpointBytes(control)[(line - 1) / 8]);
    const auto bit = static_cast<std::uint8_t>(1u << ((line - 1) % 8));
    if (on) {
        byte.fetch_or(bit);
    } else {
        byte.fetch_and(static_cast<std::uint8_t>(~bit));
    }
}

bool traceStopsBefore(const TraceControl& control, std::int32_t line) {
    return control.mode.load() != static_cast<std::int32_t>(TraceMode::Run) ||
           traceBreakpoint(control, line);
}

void tracePause(TraceControl& control) {
    control.mode.store(static_cast<std::int32_t>(TraceMode::Pause));
}

void traceStep(TraceControl& control) {
    control.mode.store(static_cast<std::int32_t>(TraceMode::Step));
    control.serial.fetch_add(1);
}

void traceContinue(TraceControl& control) {
    control.mode.store(static_cast<std::int32_t>(TraceMode::Run));
    control.serial.fetch_add(1);
}
