// A whole run of any script, against the fake platform: compile pass, start
// mode, owner window, passes, every command with whatever parameters the text
// gives. The first input byte switches platform failures on (clipboard, memory,
// snapshot, window) and chooses the answer of the start box; the second names a
// key that is down from 100 ms on (the break key, say); the rest is the script.
// The virtual clock and the number of platform calls are bounded, so a wait
// that never ends stops the input; a script that loops without end, or more
// than a few times, gets a last line that makes it loop twice. Properties: besides the sanitizers'
// own checks, every message box is the syntax box, with a bounded text, or the start box; a run
// that is not cut short leaves no memory block, screen context or icon behind and removes its tray
// icon last.

#include "check.h"

#include "platform/fake/fake.h"
#include "runner/run_state.h"
#include "script/script.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr std::size_t MessageLimit = 65535;

void setUpWorld(std::uint8_t switches, std::uint8_t heldKey) {
    fake::reset();
    resetRunState();
    fake::setTimeLimit(3000, 4000);
    fake::Failures& failures = fake::failures();
    failures.openClipboard = (switches & 0x01) != 0;
    failures.allocateMemory = (switches & 0x02) != 0;
    failures.lockMemory = (switches & 0x04) != 0;
    failures.setClipboard = (switches & 0x08) != 0;
    failures.snapshot = (switches & 0x10) != 0;
    failures.createWindow = (switches & 0x20) != 0;
    fake::setMessageBoxAnswer((switches & 0x40) != 0 ? 2 : platform::AnswerOk);
    fake::holdKey(heldKey, 100);

    // A desktop for the waits to look at: a window in front with two controls,
    // another process coming to the front later, and a few coloured pixels.
    platform::WindowHandle editor = fake::addWindow("Notepad", "Untitled - Notepad", 4321);
    platform::WindowHandle tool = fake::addWindow("ToolClass", "Tool", 1234);
    fake::addControl(editor, 1, "OK");
    fake::addControl(editor, 2, "Cancel", false);
    fake::setForeground(editor);
    fake::setForeground(tool, 200);
    fake::addProcess(4321, "notepad.exe");
    fake::addProcess(1234, "tool.exe");
    fake::setPixel(10, 20, 0x0000FF);
    fake::setPixel(100, 200, 0xFF00FF, 50);
}

// Whether the compiled script loops without end or more than a few times. Its
// passes would then never return (or take billions of passes) on the fake when
// the body makes no platform call at all (only settings, say): neither the
// virtual clock nor the call count bounds such passes, and the player spins
// through them until the monitor thread sees the break key, which does not
// run here.
bool loopsTooOften(const std::string& text) {
    fake::reset();
    resetRunState();
    Script probe;
    probe.splitLines(text.c_str());
    try {
        probe.compile();
    } catch (const fake::ProcessEnded&) {
        return false;
    }
    constexpr std::int32_t FewPasses = 8;
    return (runState.loopEnabled != 0 && runState.loopCount < 0) || runState.loopCount > FewPasses;
}

std::string boxText(const std::string& call) {
    // "box CAPTION|TEXT|BUTTONS"
    const std::size_t first = call.find('|');
    const std::size_t last = call.rfind('|');
    FUZZ_CHECK(first != std::string::npos && last > first);
    return call.substr(first + 1, last - first - 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    std::string text(reinterpret_cast<const char*>(data + 2), size - 2);
    if (loopsTooOften(text)) {
        text = text.substr(0, text.find('\0')) + "\nLoop Times 2"; // two passes instead
    }
    setUpWorld(data[0], data[1]);

    bool cutShort = false;
    bool ended = false;
    {
        Script script;
        script.splitLines(text.c_str());
        try {
            script.run();
        } catch (const fake::ProcessEnded&) {
            ended = true;
        } catch (const fake::TimeLimitReached&) {
            cutShort = true;
        }
    }

    for (const std::string& call : fake::callTexts({"box "})) {
        const bool syntax = call.rfind("box 错误|第", 0) == 0;
        FUZZ_CHECK(syntax || call.rfind("box 开始|", 0) == 0);
        FUZZ_CHECK(!syntax || boxText(call).size() <= MessageLimit);
    }
    FUZZ_CHECK(fake::countCalls("box ") <= 1);
    if (!cutShort) {
        FUZZ_CHECK(fake::liveMemoryBlocks() == 0);
        FUZZ_CHECK(fake::liveScreenContexts() == 0);
        FUZZ_CHECK(fake::liveIcons() == 0);
    }
    if (!cutShort && !ended && runState.showTrayIcon != 0) {
        const std::vector<fake::NotifyCall>& notifies = fake::notifyCalls();
        FUZZ_CHECK(!notifies.empty());
        FUZZ_CHECK(notifies.front().message == platform::NotifyAdd);
        FUZZ_CHECK(notifies.back().message == platform::NotifyDelete);
    }
    return 0;
}
