// Click ButtonText, Wait ButtonText and Wait ButtonEnable: waits on a control of
// the foreground window, named by a text "ID EXPECTED TEXT".

#include "platform/platform.h"
#include "runner/executor.h"
#include "script/parser.h"

#include <cstring>

namespace {

constexpr std::uint32_t EnablePollMs = 20;
constexpr std::uint32_t LeftButtonDownMessage = 0x0201;
constexpr std::uint32_t LeftButtonUpMessage = 0x0202;

} // namespace

WindowTextRead readWindowText(platform::WindowHandle window) {
    WindowTextRead result;
    platform::windowText(window, result.text, sizeof result.text);
    return result;
}

WindowTextRead readControlText(platform::WindowHandle window, std::int32_t id) {
    // A control that does not exist reads as the empty text.
    return readWindowText(platform::dialogItem(window, id));
}

void waitControlText(const char* text, bool click) {
    // The id is the leading number; the expected text is everything after the
    // first space. Without a space there is nothing to compare and the wait is
    // over at once.
    const std::int32_t id = readNumber(text);
    const char* space = std::strchr(text, ' ');
    platform::WindowHandle window;
    for (;;) {
        window = platform::foregroundWindow();
        WindowTextRead control = readControlText(window, id);
        if (space == nullptr || std::strcmp(control.text, space + 1) == 0) {
            break;
        }
    }
    if (click) {
        platform::sendDialogItemMessage(window, id, LeftButtonDownMessage);
        platform::sendDialogItemMessage(window, id, LeftButtonUpMessage);
    }
}

void waitControlEnabled(const char* text) {
    const std::int32_t id = readNumber(text);
    for (;;) {
        platform::WindowHandle window = platform::foregroundWindow();
        platform::sleepFor(EnablePollMs);
        platform::WindowHandle control = platform::dialogItem(window, id);
        if (control != 0 && platform::isWindowEnabled(control)) {
            return;
        }
    }
}
