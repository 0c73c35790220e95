#include "record_capture.h"

namespace {

// Room for a minute of 1,000 moves a second before the queue first grows; it is
// emptied every few tens of milliseconds.
constexpr std::size_t QueueReserve = 65536;

SRWLOCK queueLock = SRWLOCK_INIT;
std::vector<CapturedEvent> queue;

HANDLE captureThread = nullptr;
DWORD captureThreadId = 0;
HHOOK mouseHook = nullptr;
HHOOK keyboardHook = nullptr;
DWORD installError = 0;
HANDLE installed = nullptr;

void push(const CapturedEvent& event) {
    AcquireSRWLockExclusive(&queueLock);
    queue.push_back(event);
    ReleaseSRWLockExclusive(&queueLock);
}

LRESULT CALLBACK mouseProcedure(int code, WPARAM message, LPARAM data) {
    if (code == HC_ACTION) {
        const auto* mouse = reinterpret_cast<const MSLLHOOKSTRUCT*>(data);
        CapturedEvent event;
        bool wanted = true;
        switch (message) {
        case WM_MOUSEMOVE:
            event.kind = EventKind::Move;
            break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            event.kind = EventKind::ButtonDown;
            break;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            event.kind = EventKind::ButtonUp;
            break;
        default:
            wanted = false; // the wheel and the X buttons: the player has no command for them
            break;
        }
        if (wanted) {
            event.key = message == WM_LBUTTONDOWN || message == WM_LBUTTONUP   ? LeftButton
                        : message == WM_RBUTTONDOWN || message == WM_RBUTTONUP ? RightButton
                        : message == WM_MBUTTONDOWN || message == WM_MBUTTONUP ? MiddleButton
                                                                               : 0;
            event.injected = (mouse->flags & LLMHF_INJECTED) != 0;
            event.time = mouse->time;
            event.point = mouse->pt;
            // A button event that follows a pointer placed without a move event
            // can come without its position.
            if (event.kind != EventKind::Move && event.point.x == 0 && event.point.y == 0) {
                GetCursorPos(&event.point);
            }
            event.front = GetForegroundWindow();
            push(event);
        }
    }
    return CallNextHookEx(nullptr, code, message, data);
}

LRESULT CALLBACK keyboardProcedure(int code, WPARAM message, LPARAM data) {
    if (code == HC_ACTION) {
        const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
        CapturedEvent event;
        event.kind = message == WM_KEYDOWN || message == WM_SYSKEYDOWN ? EventKind::KeyDown
                                                                       : EventKind::KeyUp;
        event.key = static_cast<std::uint8_t>(key->vkCode);
        event.injected = (key->flags & LLKHF_INJECTED) != 0;
        event.time = key->time;
        event.front = GetForegroundWindow();
        push(event);
    }
    return CallNextHookEx(nullptr, code, message, data);
}

DWORD WINAPI captureMain(void*) {
    MSG message;
    // Make the thread's message queue before anyone posts to it.
    PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    mouseHook = SetWindowsHookExW(WH_MOUSE_LL, mouseProcedure, instance, 0);
    if (mouseHook != nullptr) {
        keyboardHook = SetWindowsHookExW(WH_KEYBOARD_LL, keyboardProcedure, instance, 0);
    }
    if (mouseHook == nullptr || keyboardHook == nullptr) {
        installError = GetLastError();
        if (mouseHook != nullptr) {
            UnhookWindowsHookEx(mouseHook);
            mouseHook = nullptr;
        }
        SetEvent(installed);
        return 1;
    }
    SetEvent(installed);
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        DispatchMessageW(&message);
    }
    UnhookWindowsHookEx(keyboardHook);
    UnhookWindowsHookEx(mouseHook);
    keyboardHook = nullptr;
    mouseHook = nullptr;
    return 0;
}

} // namespace

bool startCapture(DWORD& error) {
    queue.reserve(QueueReserve);
    installed = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    captureThread = CreateThread(nullptr, 0, captureMain, nullptr, 0, &captureThreadId);
    if (captureThread == nullptr) {
        error = GetLastError();
        return false;
    }
    WaitForSingleObject(installed, INFINITE);
    if (installError != 0 || mouseHook == nullptr) {
        error = installError != 0 ? installError : ERROR_HOOK_NOT_INSTALLED;
        WaitForSingleObject(captureThread, INFINITE);
        CloseHandle(captureThread);
        captureThread = nullptr;
        return false;
    }
    return true;
}

void takeCaptured(std::vector<CapturedEvent>& into) {
    AcquireSRWLockExclusive(&queueLock);
    into.insert(into.end(), queue.begin(), queue.end());
    queue.clear();
    ReleaseSRWLockExclusive(&queueLock);
}

void stopCapture() {
    if (captureThread == nullptr) {
        return;
    }
    PostThreadMessageW(captureThreadId, WM_QUIT, 0, 0);
    WaitForSingleObject(captureThread, 5000);
    CloseHandle(captureThread);
    captureThread = nullptr;
}
