// Top Class, Top Caption and WindowLeftTop.

#include "wait_test_support.h"

#include <string>
#include <vector>

namespace {

using WindowCommand = WaitTest;

TEST_F(WindowCommand, TopFindsTheWindowThenRestoresShowsAndRaisesIt) {
    struct Case {
        const char* line;
        const char* find;
        bool found;
    };
    const Case cases[] = {
        {"Top Class Notepad", "find Notepad|(null)", true},
        {"TCL notepad", "find notepad|(null)", true},
        {"Top Caption report.txt - Notepad", "find (null)|report.txt - Notepad", true},
        {"TCA report.txt - Notepad", "find (null)|report.txt - Notepad", true},
        {"Top Caption No Such Title", "find (null)|No Such Title", false},
        {"Top Caption report.txt", "find (null)|report.txt", false}, // whole titles only
        {"Top Class Notepad\r", "find Notepad\r|(null)", false},
        {"Top Caption report.txt - Notepad\r", "find (null)|report.txt - Notepad\r", false},
    };
    for (const Case& c : cases) {
        SetUp();
        auto other = fake::addWindow("Shell", "Desktop");                  // 100
        auto notepad = fake::addWindow("Notepad", "report.txt - Notepad"); // 101
        fake::setForeground(other);
        EXPECT_FALSE(execute(c.line)) << c.line;

        const std::string handle = c.found ? "101" : "0";
        EXPECT_EQ(fake::callTexts(),
                  (std::vector<std::string>{c.find, "show " + handle + " 9",
                                            "show " + handle + " 5", "front " + handle}))
            << c.line;
        EXPECT_EQ(platform::foregroundWindow(), c.found ? notepad : other) << c.line;
        EXPECT_EQ(fake::countCalls("sleep"), 0u) << c.line;
    }
}

TEST_F(WindowCommand, WindowLeftTopMovesTheForegroundWindowKeepingItsSize) {
    auto window = fake::addWindow("App", "App");
    fake::setWindowRect(window, {100, 100, 900, 700});
    fake::setForeground(window);
    EXPECT_FALSE(execute("WindowLeftTop "));

    EXPECT_EQ(fake::callTexts(),
              (std::vector<std::string>{"foreground?", "rect? 100", "place 100 0 0 800 600 64"}));
    platform::WindowRect rect = fake::windowRectOf(window);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, 800);
    EXPECT_EQ(rect.bottom, 600);
}

TEST_F(WindowCommand, WindowLeftTopWithoutAForegroundWindowDoesNothing) {
    EXPECT_FALSE(execute("WMLT "));
    EXPECT_EQ(fake::callTexts(), (std::vector<std::string>{"foreground?", "rect? 0"}));
}

} // namespace
