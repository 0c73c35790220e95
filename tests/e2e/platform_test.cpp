// The Win32 platform layer on the real system (Wine), called in this process.

#include "platform/platform.h"
#include "support/e2e.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>

namespace {

using platform::WindowHandle;

WindowHandle handleOf(HWND window) {
    return reinterpret_cast<WindowHandle>(window);
}

// ---- Resources ----------------------------------------------------------------

std::string resourceBytes(int name, int type, bool* found = nullptr) {
    const unsigned char* bytes = nullptr;
    std::uint32_t size = 0;
    const bool ok = platform::findResource(platform::ownModule(), name, type, bytes, size);
    if (found != nullptr)
        *found = ok;
    return ok ? std::string(reinterpret_cast<const char*>(bytes), size) : std::string();
}

TEST(PlatformResources, OwnModuleIsTheExecutable) {
    EXPECT_EQ(platform::ownModule(),
              reinterpret_cast<platform::ModuleHandle>(GetModuleHandleA(nullptr)));
}

TEST(PlatformResources, FindsEachResourceWithItsExactBytes) {
    struct Case {
        int name;
        int type;
        bool found;
        std::string bytes;
    };
    const Case cases[] = {
        {201, 10, true, "first line\r\nsecond line\n\xbd\xe1\xca\xf8\n"},
        {202, 10, true, ""},
        {203, 10, true, std::string("ab\0cd", 5)},
        {204, 300, true, "other type"},
        {204, 10, false, ""}, // the id exists under another type only
        {205, 10, false, ""}, // absent
    };
    for (const Case& c : cases) {
        bool found = false;
        const std::string bytes = resourceBytes(c.name, c.type, &found);
        EXPECT_EQ(found, c.found) << "resource " << c.name << " of type " << c.type;
        EXPECT_EQ(bytes, c.bytes) << "resource " << c.name << " of type " << c.type;
    }
}

TEST(PlatformResources, IdsThatAreNoIntegerResourceIdAreNotFound) {
    // 65537 and 1 share their low 16 bits; this module does have resource 1.
    bool found = false;
    resourceBytes(1, 10, &found);
    ASSERT_TRUE(found);
    for (int name : {65537, 0, -1}) {
        resourceBytes(name, 10, &found);
        EXPECT_FALSE(found) << name;
    }
    resourceBytes(1, 10 + 65536, &found);
    EXPECT_FALSE(found);
}

TEST(PlatformResources, NoModuleHasNoResources) {
    const unsigned char* bytes = nullptr;
    std::uint32_t size = 0;
    EXPECT_FALSE(platform::findResource(0, 1, 10, bytes, size));
}

// ---- Programs -----------------------------------------------------------------

TEST(PlatformPrograms, OwnExecutablePathIsBoundedAndTerminated) {
    char full[MAX_PATH] = {};
    const DWORD fullLength = GetModuleFileNameA(nullptr, full, MAX_PATH);
    ASSERT_GT(fullLength, 8u);
    ASSERT_LT(fullLength, static_cast<DWORD>(MAX_PATH));

    char buffer[MAX_PATH + 16];
    std::memset(buffer, 'x', sizeof(buffer));
    EXPECT_EQ(platform::ownExecutablePath(buffer, sizeof(buffer)), fullLength);
    EXPECT_STREQ(buffer, full);

    // Cut: the result equals the capacity and the text is terminated inside it.
    std::memset(buffer, 'x', sizeof(buffer));
    EXPECT_EQ(platform::ownExecutablePath(buffer, 8), 8u);
    EXPECT_EQ(std::string(buffer), std::string(full, 7));
    EXPECT_EQ(buffer[8], 'x');

    std::memset(buffer, 'x', sizeof(buffer));
    EXPECT_EQ(platform::ownExecutablePath(buffer, fullLength), fullLength);
    EXPECT_EQ(std::string(buffer), std::string(full, fullLength - 1));

    std::memset(buffer, 'x', sizeof(buffer));
    EXPECT_EQ(platform::ownExecutablePath(buffer, fullLength + 1), fullLength);
    EXPECT_STREQ(buffer, full);

    std::memset(buffer, 'x', sizeof(buffer));
    EXPECT_EQ(platform::ownExecutablePath(buffer, 0), 0u);
    EXPECT_EQ(buffer[0], 'x');
}

// ---- Windows ------------------------------------------------------------------

TEST(PlatformWindows, WindowTextIsBoundedAndTerminated) {
    const std::string longTitle(300, 'T');
    e2e::TestWindow window({.title = longTitle});
    const WindowHandle handle = handleOf(window.handle());

    char buffer[512];
    std::memset(buffer, 'x', sizeof(buffer));
    EXPECT_EQ(platform::windowText(handle, buffer, 256), 255u);
    EXPECT_EQ(std::string(buffer), std::string(255, 'T'));
    EXPECT_EQ(buffer[256], 'x');

    std::memset(buffer, 'x', sizeof(buffer));
    EXPECT_EQ(platform::windowText(handle, buffer, sizeof(buffer)), 300u);
    EXPECT_EQ(std::string(buffer), longTitle);

    std::memset(buffer, 'x', sizeof(buffer));
    EXPECT_EQ(platform::windowText(handle, buffer, 1), 0u);
    EXPECT_EQ(buffer[0], '\0');

    std::memset(buffer, 'x', sizeof(buffer));
    EXPECT_EQ(platform::windowText(handle, buffer, 0), 0u);
    EXPECT_EQ(buffer[0], 'x');

    std::memset(buffer, 'x', sizeof(buffer));
    EXPECT_EQ(platform::windowText(0, buffer, sizeof(buffer)), 0u);
    EXPECT_EQ(buffer[0], '\0');
}

TEST(PlatformWindows, GbkTitlesAreFoundAndReadByteForByte) {
    const std::string title = "脚本执行器 测试";
    e2e::TestWindow window({.title = title});
    EXPECT_EQ(platform::findWindow(nullptr, title.c_str()), handleOf(window.handle()));
    EXPECT_EQ(platform::findWindow("E2eTestWindow", title.c_str()), handleOf(window.handle()));
    char buffer[256];
    EXPECT_EQ(platform::windowText(handleOf(window.handle()), buffer, sizeof(buffer)),
              title.size());
    EXPECT_EQ(std::string(buffer), title);
    EXPECT_EQ(platform::findWindow(nullptr, "no window has this title"), 0u);
}

TEST(PlatformWindows, CreatesAHiddenButtonWindowOfThisProcess) {
    const WindowHandle window =
        platform::createWindow("button", "e2e created", platform::OverlappedWindowStyle,
                               platform::DefaultPosition, 0, 300, 100);
    ASSERT_NE(window, 0u);
    HWND system = reinterpret_cast<HWND>(window);
    EXPECT_FALSE(IsWindowVisible(system));
    EXPECT_EQ(GetParent(system), nullptr);
    char className[16] = {};
    GetClassNameA(system, className, sizeof(className));
    EXPECT_STRCASEEQ(className, "button");
    EXPECT_EQ(platform::windowProcessId(window), GetCurrentProcessId());
    platform::updateWindow(window);
    platform::showWindow(window, platform::ShowMinimize);
    platform::showWindow(window, platform::ShowHide);
    EXPECT_FALSE(IsWindowVisible(system));
    DestroyWindow(system);
    EXPECT_EQ(platform::windowProcessId(window), 0u);
}

TEST(PlatformWindows, MovesAndSizesAWindow) {
    e2e::TestWindow window({.x = 100, .y = 100, .width = 800, .height = 600});
    const WindowHandle handle = handleOf(window.handle());
    platform::WindowRect rect;
    ASSERT_TRUE(platform::windowRect(handle, rect));
    EXPECT_EQ(rect.right - rect.left, 800);
    EXPECT_EQ(rect.bottom - rect.top, 600);

    platform::setWindowPosition(handle, 0, 0, 800, 600, platform::PositionShowWindow);
    ASSERT_TRUE(platform::windowRect(handle, rect));
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, 800);
    EXPECT_EQ(rect.bottom, 600);
    EXPECT_FALSE(platform::windowRect(0, rect));
}

TEST(PlatformWindows, NoWindowHasNoProcessControlsOrText) {
    // Where there is no foreground window the player asks about window 0.
    EXPECT_EQ(platform::windowProcessId(0), 0u);
    EXPECT_EQ(platform::dialogItem(0, 1), 0u);
    EXPECT_EQ(platform::dialogItem(0, 0xFFFF), 0u);
    EXPECT_FALSE(platform::isWindowEnabled(0));
    char text[16] = "x";
    EXPECT_EQ(platform::windowText(0, text, sizeof(text)), 0u);
    EXPECT_STREQ(text, "");
}

TEST(PlatformWindows, ForegroundWindowFollowsActivation) {
    e2e::TestWindow first({.title = "e2e first"});
    e2e::TestWindow second({.title = "e2e second", .x = 300});
    ASSERT_TRUE(first.activate());
    EXPECT_EQ(platform::foregroundWindow(), handleOf(first.handle()));

    platform::showWindow(handleOf(second.handle()), platform::ShowRestore);
    platform::showWindow(handleOf(second.handle()), platform::ShowShow);
    platform::setForegroundWindow(handleOf(second.handle()));
    // The change reaches the window's thread as a message: allow it a moment.
    for (int tries = 0; tries < 100 && platform::foregroundWindow() != handleOf(second.handle());
         ++tries)
        Sleep(20);
    EXPECT_EQ(platform::foregroundWindow(), handleOf(second.handle()));
}

TEST(PlatformWindows, ControlsAreFoundTestedAndClicked) {
    e2e::TestWindow window;
    window.addControl("button", 1001, "OK");
    window.addControl("button", 1002, "Later", false);
    const WindowHandle handle = handleOf(window.handle());

    const WindowHandle enabled = platform::dialogItem(handle, 1001);
    const WindowHandle disabled = platform::dialogItem(handle, 1002);
    ASSERT_NE(enabled, 0u);
    ASSERT_NE(disabled, 0u);
    EXPECT_EQ(platform::dialogItem(handle, 1003), 0u);
    EXPECT_TRUE(platform::isWindowEnabled(enabled));
    EXPECT_FALSE(platform::isWindowEnabled(disabled));
    EXPECT_FALSE(platform::isWindowEnabled(0));

    char text[16];
    EXPECT_EQ(platform::windowText(enabled, text, sizeof(text)), 2u);
    EXPECT_STREQ(text, "OK");

    platform::sendDialogItemMessage(handle, 1001, WM_LBUTTONDOWN);
    platform::sendDialogItemMessage(handle, 1001, WM_LBUTTONUP);
    EXPECT_TRUE(window.waitFor([](const std::vector<e2e::ReceivedMessage>& messages) {
        for (const e2e::ReceivedMessage& message : messages)
            if (message.message == WM_COMMAND && LOWORD(message.wParam) == 1001 &&
                HIWORD(message.wParam) == BN_CLICKED)
                return true;
        return false;
    })) << testing::PrintToString(e2e::describe(window.messages()));
}

// ---- Input --------------------------------------------------------------------

TEST(PlatformInput, ScreenIsTheDesktopSize) {
    EXPECT_EQ(platform::screenWidth(), 1920);
    EXPECT_EQ(platform::screenHeight(), 1080);
}

TEST(PlatformInput, SetsAndReadsTheCursor) {
    platform::setCursorPosition({200, 300});
    const platform::ScreenPoint point = platform::cursorPosition();
    EXPECT_EQ(point.x, 200);
    EXPECT_EQ(point.y, 300);
}

TEST(PlatformInput, AbsoluteMouseMoveLandsOnTheScaledPoint) {
    platform::setCursorPosition({10, 10});
    // (960, 540) on 1920 x 1080, scaled to 65,535 as the player computes it.
    platform::sendMouseEvent(0x8001, 32767, 32767);
    const platform::ScreenPoint point = platform::cursorPosition();
    EXPECT_NEAR(point.x, 960, 1);
    EXPECT_NEAR(point.y, 540, 1);
}

TEST(PlatformInput, KeyEventsReachTheFocusedWindow) {
    e2e::TestWindow window;
    ASSERT_TRUE(window.activate());
    platform::sendKeyEvent(0x41, 0);
    platform::sendKeyEvent(0x41, platform::KeyUpFlag);
    platform::sendKeyEvent(VK_F9, 0);
    platform::sendKeyEvent(VK_F9, platform::KeyUpFlag);
    window.waitForKeyMessages(4);
    const auto keys = e2e::describe(window.keyMessages());
    EXPECT_EQ(keys, (std::vector<std::string>{"WM_KEYDOWN 41", "WM_KEYUP 41", "WM_KEYDOWN 78",
                                              "WM_KEYUP 78"}));
}

TEST(PlatformInput, MouseClicksReachTheWindowUnderThePointer) {
    e2e::TestWindow window({.x = 100, .y = 100, .width = 400, .height = 300});
    ASSERT_TRUE(window.activate());
    POINT client{50, 60};
    ClientToScreen(window.handle(), &client);
    platform::setCursorPosition({client.x, client.y});
    platform::sendMouseEvent(0x0006, 0, 0); // left down and up in one event
    platform::sendMouseEvent(0x0018, 0, 0); // right
    platform::sendMouseEvent(0x0060, 0, 0); // middle
    ASSERT_TRUE(window.waitForCount(6));
    EXPECT_EQ(e2e::describe(window.messages()),
              (std::vector<std::string>{"WM_LBUTTONDOWN (50, 60)", "WM_LBUTTONUP (50, 60)",
                                        "WM_RBUTTONDOWN (50, 60)", "WM_RBUTTONUP (50, 60)",
                                        "WM_MBUTTONDOWN (50, 60)", "WM_MBUTTONUP (50, 60)"}));
}

TEST(PlatformInput, KeysHeldAtTheServerAreDown) {
    auto downWithin = [](std::uint8_t key, bool down) {
        for (int tries = 0; tries < 100; ++tries) {
            if (platform::isKeyDown(key) == down)
                return true;
            Sleep(20);
        }
        return false;
    };
    ASSERT_TRUE(downWithin(VK_F11, false));
    e2e::HeldKey key("F11");
    EXPECT_TRUE(downWithin(VK_F11, true));
    key.release();
    EXPECT_TRUE(downWithin(VK_F11, false));
}

// ---- Pixels -------------------------------------------------------------------

TEST(PlatformPixels, ReadsRedInTheLowByteAndInvalidOffTheScreen) {
    e2e::TestWindow window(
        {.x = 200, .y = 200, .width = 300, .height = 200, .background = RGB(0xFF, 0x00, 0x00)});
    ASSERT_TRUE(window.activate());
    POINT centre{150, 100};
    ClientToScreen(window.handle(), &centre);

    const platform::ContextHandle screen = platform::screenContext();
    ASSERT_NE(screen, 0u);
    std::uint32_t colour = 0;
    for (int tries = 0; tries < 100 && colour != 0x0000FF; ++tries) {
        colour = platform::pixelColor(screen, centre.x, centre.y);
        Sleep(20);
    }
    EXPECT_EQ(colour, 0x0000FFu);
    EXPECT_EQ(platform::pixelColor(screen, -1, -1), 0xFFFFFFFFu);
    EXPECT_EQ(platform::pixelColor(screen, 1920, 1080), 0xFFFFFFFFu);
    platform::releaseScreenContext(screen);
}

// ---- Clipboard ----------------------------------------------------------------

std::string clipboardText() {
    std::string text;
    if (!OpenClipboard(nullptr))
        return "(cannot open)";
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* bytes = static_cast<const char*>(GlobalLock(data))) {
            text = bytes;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

TEST(PlatformClipboard, GbkTextGoesToTheClipboardByteForByte) {
    const std::string text = "按确定开始运行 abc";
    ASSERT_TRUE(platform::openClipboard());
    platform::emptyClipboard();
    const platform::MemoryHandle memory = platform::allocateSharedMemory(text.size() + 1);
    ASSERT_NE(memory, 0u);
    char* bytes = platform::lockMemory(memory);
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(std::string(bytes, text.size() + 1), std::string(text.size() + 1, '\0'))
        << "the block is zeroed";
    std::memcpy(bytes, text.c_str(), text.size() + 1);
    platform::unlockMemory(memory);
    EXPECT_TRUE(platform::setClipboardText(memory));
    platform::closeClipboard();
    EXPECT_EQ(clipboardText(), text);
}

// ---- Processes ----------------------------------------------------------------

TEST(PlatformProcesses, SnapshotListsThisProcessByExecutableName) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string ownName = std::strrchr(path, '\\') + 1;

    const platform::SnapshotHandle snapshot = platform::processSnapshot();
    ASSERT_NE(snapshot, 0u);
    platform::ProcessEntry entry;
    int count = 0;
    std::string found;
    for (bool more = platform::firstProcess(snapshot, entry); more;
         more = platform::nextProcess(snapshot, entry)) {
        ++count;
        ASSERT_NE(std::memchr(entry.exeFile, '\0', sizeof(entry.exeFile)), nullptr);
        if (entry.processId == GetCurrentProcessId())
            found = entry.exeFile;
    }
    platform::closeSnapshot(snapshot);
    EXPECT_GT(count, 1);
    EXPECT_STRCASEEQ(found.c_str(), ownName.c_str());
}

// ---- Threads ------------------------------------------------------------------

std::atomic<DWORD> procedureThread{0};

TEST(PlatformThreads, StartThreadRunsTheProcedureOnAnotherThread) {
    procedureThread = 0;
    platform::startThread([] { procedureThread = GetCurrentThreadId(); });
    for (int tries = 0; tries < 200 && procedureThread == 0; ++tries)
        Sleep(10);
    EXPECT_NE(procedureThread, 0u);
    EXPECT_NE(procedureThread, GetCurrentThreadId());
}

// ---- Message boxes ------------------------------------------------------------

TEST(PlatformDialogs, MessageBoxShowsGbkTextAndReturnsTheButtonPressed) {
    struct Case {
        std::uint32_t buttons;
        int press;
        int answer;
    };
    const Case cases[] = {
        {platform::BoxOk, IDOK, platform::AnswerOk},
        {platform::BoxOkCancel, IDOK, platform::AnswerOk},
        {platform::BoxOkCancel, IDCANCEL, IDCANCEL},
    };
    const std::string caption = "开始";
    const std::string text = "按确定开始运行,结束热键[ESC]";
    for (const Case& c : cases) {
        std::atomic<int> answer{-1};
        std::thread shower(
            [&] { answer = platform::messageBox(text.c_str(), caption.c_str(), c.buttons); });
        HWND box = e2e::waitForMessageBox(caption, GetCurrentProcessId());
        if (box != nullptr) {
            EXPECT_EQ(e2e::messageBoxText(box), text);
            EXPECT_EQ(e2e::hasButton(box, IDCANCEL), c.buttons == platform::BoxOkCancel);
            EXPECT_TRUE(e2e::pressButton(box, c.press));
        } else {
            ADD_FAILURE() << "no box captioned " << caption;
        }
        shower.join();
        EXPECT_EQ(answer, c.answer);
    }
}

// ---- Notification area --------------------------------------------------------

TEST(PlatformTray, AddsChangesAndRemovesAnIcon) {
    const WindowHandle owner =
        platform::createWindow("button", "e2e tray owner", platform::OverlappedWindowStyle,
                               platform::DefaultPosition, 0, 300, 100);
    ASSERT_NE(owner, 0u);
    const platform::IconHandle running = platform::extractSmallIcon("shell32.dll", 137);
    const platform::IconHandle paused = platform::extractSmallIcon("shell32.dll", 109);
    EXPECT_NE(running, 0u);
    EXPECT_NE(paused, 0u);
    EXPECT_EQ(platform::extractSmallIcon("shell32.dll", 100000), 0u);

    platform::NotifyIconRecord record{};
    record.cbSize = sizeof(record);
    record.hWnd = owner;
    record.uFlags = 7;
    record.uCallbackMessage = 2025;
    record.hIcon = running;
    std::strcpy(record.szTip, "脚本执行器");
    EXPECT_TRUE(platform::notifyIcon(platform::NotifyAdd, record));
    record.hIcon = paused;
    EXPECT_TRUE(platform::notifyIcon(platform::NotifyModify, record));
    EXPECT_TRUE(platform::notifyIcon(platform::NotifyDelete, record));

    platform::destroyIcon(running);
    platform::destroyIcon(paused);
    DestroyWindow(reinterpret_cast<HWND>(owner));
}

} // namespace
