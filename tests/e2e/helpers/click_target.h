#pragma once
// A test window under the pointer, for the clicks a player makes to land on.

#include "helpers/pointer.h"
#include "support/test_window.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace e2e {

// The left presses among the messages. Two clicks close together arrive as a
// press and a double click: the double click counts as the second press.
inline std::size_t leftPresses(const std::vector<ReceivedMessage>& messages) {
    std::size_t presses = 0;
    for (const ReceivedMessage& message : messages) {
        presses += message.message == WM_LBUTTONDOWN || message.message == WM_LBUTTONDBLCLK;
    }
    return presses;
}

class ClickTarget {
  public:
    // The window in front, with the pointer held steady over the middle of its
    // client area; `aimed` tells whether both worked.
    explicit ClickTarget(TestWindowOptions options) : window(std::move(options)) {
        RECT client{};
        GetClientRect(window.handle(), &client);
        centre = {client.right / 2, client.bottom / 2};
        ClientToScreen(window.handle(), &centre);
        aimed = window.handle() != nullptr && window.activate() && movePointerSteadily(centre);
        EXPECT_TRUE(aimed) << "the pointer is not over the click target";
    }

    std::size_t clicks() const { return leftPresses(window.messages()); }
    bool waitForClicks(std::size_t count, DWORD timeoutMs = 10000) const {
        return window.waitFor(
            [count](const std::vector<ReceivedMessage>& messages) {
                return leftPresses(messages) >= count;
            },
            timeoutMs);
    }
    // The centre as a script writes a point: "x y".
    std::string point() const { return std::to_string(centre.x) + " " + std::to_string(centre.y); }

    TestWindow window;
    POINT centre{};
    bool aimed = false;
};

} // namespace e2e
