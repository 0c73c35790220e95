#include "click_target.h"

#include "helpers/pointer.h"

namespace bench {

bool aimAt(e2e::TestWindow& window) {
    if (window.handle() == nullptr || !window.activate())
        return false;
    RECT client{};
    GetClientRect(window.handle(), &client);
    POINT middle{client.right / 2, client.bottom / 2};
    ClientToScreen(window.handle(), &middle);
    return e2e::movePointerSteadily(middle);
}

bool waitForClick(const e2e::TestWindow& window, DWORD timeoutMs) {
    return window.waitFor(
        [](const std::vector<e2e::ReceivedMessage>& all) {
            for (const e2e::ReceivedMessage& message : all) {
                if (message.message == WM_LBUTTONDOWN || message.message == WM_LBUTTONDBLCLK)
                    return true;
            }
            return false;
        },
        timeoutMs);
}

} // namespace bench
