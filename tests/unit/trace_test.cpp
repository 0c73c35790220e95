// The studio's trace: a traced player's messages, its stops before a
// breakpoint, Pause and Step, and a player without the trace resource that
// posts nothing.

#include "platform/fake/fake.h"
#include "runner/run_state.h"
#include "runner/start_up.h"
#include "runner/trace_protocol.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr platform::ModuleHandle Module = 7;
constexpr platform::WindowHandle StudioWindow = 4242;
constexpr const char* Memory = "Local\\trace-test";

struct Posted {
    TraceEvent event;
    std::int32_t line;
    std::uint32_t value;
    bool operator==(const Posted&) const = default;
};

void PrintTo(const Posted& posted, std::ostream* out) {
    *out << static_cast<int>(posted.event) << "@" << posted.line << ":" << posted.value;
}

// The messages the player posted to the studio's window, decoded.
std::vector<Posted> posted() {
    std::vector<Posted> messages;
    for (const std::string& call : fake::callTexts({"post "})) {
        unsigned long long window = 0, wParam = 0;
        unsigned message = 0;
        long long lParam = 0;
        std::sscanf(call.c_str(), "post %llu %u %llu %lld", &window, &message, &wParam, &lParam);
        EXPECT_EQ(window, StudioWindow);
        const TraceMessage decoded = decodeTraceMessage(static_cast<std::uintptr_t>(wParam),
                                                        static_cast<std::intptr_t>(lParam));
        messages.push_back({decoded.event, decoded.line, decoded.value});
    }
    return messages;
}

// A player module with `script` and, when `traced`, the trace resource and its
// block; returns the block (null when not traced).
TraceControl* preparePlayer(const std::string& script, bool traced, std::uint32_t lines = 8) {
    fake::reset();
    resetRunState();
    fake::setOwnModule(Module);
    fake::setResource(Module, 1, 10, script);
    if (!traced) {
        return nullptr;
    }
    fake::setResource(Module, TraceResourceName, 10, traceResourceText(StudioWindow, Memory));
    void* memory = fake::addSharedMemory(Memory, traceControlSize(lines));
    return initTraceControl(memory, lines);
}

constexpr auto Started = TraceEvent::CommandStarted;
constexpr auto Done = TraceEvent::CommandDone;

TEST(Trace, MessagesAndTheResourceSurviveTheirEncoding) {
    for (std::int32_t line : {1, 2, 12345, 0x7FFFFFF}) {
        for (TraceEvent event :
             {Started, Done, TraceEvent::Stopped, TraceEvent::Resumed, TraceEvent::Ended}) {
            const TraceMessage message = decodeTraceMessage(traceWParam(event, line), 77);
            EXPECT_EQ(message.event, event);
            EXPECT_EQ(message.line, line);
            EXPECT_EQ(message.value, 77u);
        }
    }
    const std::string text = traceResourceText(0x10024, "Local\\x-1");
    std::uintptr_t window = 0;
    const char* name = nullptr;
    ASSERT_TRUE(parseTraceResource(text.data(), text.size(), window, name));
    EXPECT_EQ(window, 0x10024u);
    EXPECT_STREQ(name, "Local\\x-1");
    // Cut anywhere, or from another version, it is refused.
    for (std::size_t size = 0; size + 1 < text.size(); ++size) {
        EXPECT_FALSE(parseTraceResource(text.data(), size, window, name)) << size;
    }
    const std::string other = "ScriptStudioTrace 2 5 name";
    EXPECT_FALSE(parseTraceResource(other.c_str(), other.size() + 1, window, name));
}

TEST(Trace, ATracedRunPostsEachCommandAndWhyItEnded) {
    preparePlayer("SNB\nLoop Times 2\nLClick\nDelay 5\nEnd", true);
    EXPECT_EQ(startUp(), 0);
    const std::vector<Posted> expected = {
        {Started, 3, 1},
        {Done, 3, 0},
        {Started, 4, 1},
        {Done, 4, 0},
        {Started, 3, 2},
        {Done, 3, 0},
        {Started, 4, 2},
        {Done, 4, 0},
        {TraceEvent::Ended, 0, static_cast<std::uint32_t>(TraceEnd::PassesDone)}};
    EXPECT_EQ(posted(), expected);
}

TEST(Trace, APlayerWithoutTheResourcePostsNothing) {
    preparePlayer("SNB\nLClick\nEnd", false);
    EXPECT_EQ(startUp(), 0);
    EXPECT_EQ(fake::countCalls("mouse 0006"), 1u);
    EXPECT_TRUE(posted().empty());
}

TEST(Trace, ABreakpointStopsTheRunUntilTheStudioLetsItGo) {
    TraceControl* control = preparePlayer("SNB\nLClick\nRClick\nLClick\nEnd", true);
    setTraceBreakpoint(*control, 3, true);
    // At 1 s the studio steps once, at 2 s it lets the run go on.
    fake::atTime(1000, [control] {
        EXPECT_EQ(fake::countCalls("mouse 0006"), 1u); // stopped before RClick
        EXPECT_EQ(fake::countCalls("mouse 0018"), 0u);
        traceStep(*control);
    });
    fake::atTime(2000, [control] {
        EXPECT_EQ(fake::countCalls("mouse 0018"), 1u); // the step played RClick only
        EXPECT_EQ(fake::countCalls("mouse 0006"), 1u);
        traceContinue(*control);
    });
    EXPECT_EQ(startUp(), 0);
    EXPECT_EQ(fake::countCalls("mouse 0006"), 2u);
    const std::vector<Posted> expected = {
        {Started, 2, 1},
        {Done, 2, 0},
        {TraceEvent::Stopped, 3, 1},
        {TraceEvent::Resumed, 3, 1},
        {Started, 3, 1},
        {Done, 3, 0},
        {TraceEvent::Stopped, 4, 1},
        {TraceEvent::Resumed, 4, 1},
        {Started, 4, 1},
        {Done, 4, 0},
        {TraceEvent::Ended, 0, static_cast<std::uint32_t>(TraceEnd::PassesDone)}};
    EXPECT_EQ(posted(), expected);
    EXPECT_GE(fake::now(), 2000u);
}

TEST(Trace, APausedRunStopsBeforeItsNextCommand) {
    TraceControl* control = preparePlayer("SNB\nDelay 500\nLClick\nEnd", true);
    fake::atTime(100, [control] { tracePause(*control); });
    fake::atTime(3000, [control] { traceContinue(*control); });
    EXPECT_EQ(startUp(), 0);
    const std::vector<Posted> all = posted();
    ASSERT_GE(all.size(), 3u);
    EXPECT_EQ(all[2], (Posted{TraceEvent::Stopped, 3, 1}));
    EXPECT_EQ(fake::countCalls("mouse 0006"), 1u);
    EXPECT_GE(fake::now(), 3000u);
}

} // namespace
