// The test bed itself: a bed set up wrongly fails here first and loudly.

#include "support/e2e.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Bed, AnsiCodePageIsGbk) {
    EXPECT_EQ(GetACP(), 936u) << "run the tests with LC_ALL=zh_CN.UTF-8 (tests/e2e/winebed)";
}

TEST(Bed, AnsiFunctionsTakeGbkBytes) {
    // The literal is stored as GBK: 结束热键 is U+7ED3 U+675F U+70ED U+952E.
    const std::string text = "结束热键";
    ASSERT_EQ(text, "\xbd\xe1\xca\xf8\xc8\xc8\xbc\xfc");
    wchar_t wide[8] = {};
    ASSERT_EQ(MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.c_str(), -1, wide, 8), 5);
    EXPECT_EQ(wide[0], 0x7ED3);
    EXPECT_EQ(wide[1], 0x675F);
    EXPECT_EQ(wide[2], 0x70ED);
    EXPECT_EQ(wide[3], 0x952E);
}

TEST(Bed, VirtualDesktopIsFullHd) {
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1080);
}

TEST(Bed, MinimisingAWindowIsQuick) {
    // Without Wine's virtual desktop this waits about 2 s for a window manager.
    HWND window = CreateWindowExA(0, "button", "e2e minimise", WS_OVERLAPPEDWINDOW, 0, 0, 300, 100,
                                  nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    const ULONGLONG start = GetTickCount64();
    ShowWindow(window, SW_MINIMIZE);
    ShowWindow(window, SW_HIDE);
    const ULONGLONG elapsed = GetTickCount64() - start;
    DestroyWindow(window);
    EXPECT_LT(elapsed, 1000u);
}

TEST(Bed, KeysPressedAtTheServerAreHeldForThisProcess) {
    auto heldWithin = [](int key, bool held) {
        for (int tries = 0; tries < 100; ++tries) {
            if (((GetAsyncKeyState(key) & 0x8000) != 0) == held)
                return true;
            Sleep(20);
        }
        return false;
    };
    e2e::HeldKey f12("F12");
    EXPECT_TRUE(heldWithin(VK_F12, true));
    Sleep(300); // still held a while later, unlike an injected key
    EXPECT_TRUE(heldWithin(VK_F12, true));
    f12.release();
    EXPECT_TRUE(heldWithin(VK_F12, false));
}

TEST(Bed, ACrashingProgramEndsAtOnceWithItsExceptionCode) {
    // No debugger waits for someone to look at the crash.
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(e2e::runProgram(e2e::windowsPath(E2E_PLATFORM_PROBE), "crash now", 20000),
              static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
    EXPECT_LT(GetTickCount64() - start, 10000u);
}

} // namespace
