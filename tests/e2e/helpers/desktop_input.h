#pragma once
// Input as a device gives it, sent with SendInput from the test process, and a
// low-level mouse hook for playing recorded or picked positions under Wine.

#include "runner/pointer_scale.h"
#include "support/windows_api.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace e2e {

inline void sendInput(INPUT input) {
    ASSERT_EQ(SendInput(1, &input, sizeof input), 1u);
}

// An absolute move that lands on the screen pixel, as MoveTo computes it.
inline void movePointer(POINT screen) {
    const auto width = static_cast<std::uint32_t>(GetSystemMetrics(SM_CXSCREEN));
    const auto height = static_cast<std::uint32_t>(GetSystemMetrics(SM_CYSCREEN));
    std::int32_t x = 0;
    std::int32_t y = 0;
    ASSERT_TRUE(moveToCoordinate(screen.x, width, x) && moveToCoordinate(screen.y, height, y));
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>(toAbsolute(x, width));
    input.mi.dy = static_cast<LONG>(toAbsolute(y, height));
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    sendInput(input);
}

inline void button(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    sendInput(input);
}

inline void click(DWORD downFlag, DWORD upFlag) {
    button(downFlag);
    Sleep(20);
    button(upFlag);
}

inline void key(WORD virtualKey, bool down) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    sendInput(input);
}

inline void tap(WORD virtualKey) {
    key(virtualKey, true);
    Sleep(10);
    key(virtualKey, false);
}

// A low-level mouse hook that passes everything on, in place while the player
// plays, as the recorder's hooks were while the test drove the desktop.
//
// Under Wine, a pointer move grabs the X pointer for a moment, and the desktop
// window's process relays the crossing event of that grab with the pointer's
// old position. Without a low-level hook that relay races with the move and
// can win, so a click played 600 ms after its MoveTo lands at the previous
// point. With a hook in place every move and click passes through the hook's
// thread in order, and every click lands. Windows relays nothing of the kind.
class PassingMouseHook {
  public:
    PassingMouseHook() {
        thread = CreateThread(nullptr, 0, run, this, 0, &threadId);
        WaitForSingleObject(ready, 5000);
    }
    PassingMouseHook(const PassingMouseHook&) = delete;
    PassingMouseHook& operator=(const PassingMouseHook&) = delete;
    ~PassingMouseHook() {
        PostThreadMessageW(threadId, WM_QUIT, 0, 0);
        WaitForSingleObject(thread, 5000);
        CloseHandle(thread);
        CloseHandle(ready);
    }
    bool installed() const { return hooked; }

  private:
    static LRESULT CALLBACK pass(int code, WPARAM wParam, LPARAM lParam) {
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static DWORD WINAPI run(void* self) {
        auto* hook = static_cast<PassingMouseHook*>(self);
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE); // the thread's queue
        HHOOK handle = SetWindowsHookExW(WH_MOUSE_LL, pass, GetModuleHandleW(nullptr), 0);
        hook->hooked = handle != nullptr;
        SetEvent(hook->ready);
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        }
        if (handle != nullptr) {
            UnhookWindowsHookEx(handle);
        }
        return 0;
    }

    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = nullptr;
    DWORD threadId = 0;
    bool hooked = false;
};

} // namespace e2e
