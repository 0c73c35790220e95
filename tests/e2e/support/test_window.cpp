#include "test_window.h"

#include <gtest/gtest.h>

// <chrono> itself cannot be compiled with the GBK execution character set (its
// "µs" literal); <condition_variable> brings the durations.
#include <algorithm>
#include <cstdio>

namespace e2e {

namespace {

constexpr UINT RunWorkMessage = WM_APP + 1;
constexpr const char* WindowClass = "E2eTestWindow";
constexpr const char* SingleClickClass = "E2eTestWindowSingleClicks";

bool isRecorded(UINT message) {
    switch (message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_CHAR:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
    case WM_COMMAND:
        return true;
    default:
        return false;
    }
}

bool isKeyMessage(UINT message) {
    return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN ||
           message == WM_SYSKEYUP;
}

const char* messageName(UINT message) {
    switch (message) {
    case WM_KEYDOWN:
        return "WM_KEYDOWN";
    case WM_KEYUP:
        return "WM_KEYUP";
    case WM_SYSKEYDOWN:
        return "WM_SYSKEYDOWN";
    case WM_SYSKEYUP:
        return "WM_SYSKEYUP";
    case WM_CHAR:
        return "WM_CHAR";
    case WM_LBUTTONDOWN:
        return "WM_LBUTTONDOWN";
    case WM_LBUTTONUP:
        return "WM_LBUTTONUP";
    case WM_LBUTTONDBLCLK:
        return "WM_LBUTTONDBLCLK";
    case WM_RBUTTONDOWN:
        return "WM_RBUTTONDOWN";
    case WM_RBUTTONUP:
        return "WM_RBUTTONUP";
    case WM_RBUTTONDBLCLK:
        return "WM_RBUTTONDBLCLK";
    case WM_MBUTTONDOWN:
        return "WM_MBUTTONDOWN";
    case WM_MBUTTONUP:
        return "WM_MBUTTONUP";
    case WM_MBUTTONDBLCLK:
        return "WM_MBUTTONDBLCLK";
    case WM_COMMAND:
        return "WM_COMMAND";
    default:
        return "message";
    }
}

} // namespace

std::string describe(const ReceivedMessage& message) {
    char text[96];
    if (isKeyMessage(message.message) || message.message == WM_CHAR)
        std::snprintf(text, sizeof(text), "%s %02X", messageName(message.message),
                      static_cast<unsigned>(message.wParam));
    else if (message.message == WM_COMMAND)
        std::snprintf(text, sizeof(text), "WM_COMMAND id %u code %u",
                      static_cast<unsigned>(LOWORD(message.wParam)),
                      static_cast<unsigned>(HIWORD(message.wParam)));
    else
        std::snprintf(text, sizeof(text), "%s (%d, %d)", messageName(message.message),
                      static_cast<int>(static_cast<short>(LOWORD(message.lParam))),
                      static_cast<int>(static_cast<short>(HIWORD(message.lParam))));
    return text;
}

std::vector<std::string> describe(const std::vector<ReceivedMessage>& messages) {
    std::vector<std::string> texts;
    for (const ReceivedMessage& message : messages)
        texts.push_back(describe(message));
    return texts;
}

TestWindow::TestWindow(TestWindowOptions options) {
    thread = std::thread([this, options] { run(options); });
    std::unique_lock lock(mutex);
    changed.wait(lock, [this] { return ready; });
    if (window == nullptr)
        ADD_FAILURE() << "cannot create the test window: error " << GetLastError();
}

TestWindow::~TestWindow() {
    if (window != nullptr)
        PostMessageA(window, WM_CLOSE, 0, 0);
    thread.join();
}

void TestWindow::run(TestWindowOptions options) {
    const char* className = options.doubleClicks ? WindowClass : SingleClickClass;
    WNDCLASSA windowClass{};
    windowClass.style = options.doubleClicks ? CS_DBLCLKS : 0;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass); // fails harmlessly when already registered
    backgroundBrush = CreateSolidBrush(options.background == CLR_INVALID ? GetSysColor(COLOR_WINDOW)
                                                                         : options.background);

    HWND created = CreateWindowExA(
        0, className, options.title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, options.x, options.y,
        options.width, options.height, nullptr, nullptr, GetModuleHandleA(nullptr), this);
    {
        std::lock_guard lock(mutex);
        window = created;
        ready = true;
    }
    changed.notify_all();
    if (created == nullptr)
        return;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    if (backgroundBrush != nullptr)
        DeleteObject(backgroundBrush);
}

LRESULT CALLBACK TestWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self != nullptr && isRecorded(message))
        self->record(message, wParam, lParam);
    switch (message) {
    case RunWorkMessage:
        (*reinterpret_cast<const std::function<void()>*>(lParam))();
        return 0;
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_SYSCHAR:
        // Keep ALT and F10 from entering the menu loop: the window keeps the keys.
        return 0;
    case WM_ERASEBKGND:
        if (self != nullptr) {
            RECT client{};
            GetClientRect(window, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, self->backgroundBrush);
            return 1;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

void TestWindow::record(UINT message, WPARAM wParam, LPARAM lParam) {
    {
        std::lock_guard lock(mutex);
        received.push_back({message, wParam, lParam, static_cast<DWORD>(GetMessageTime())});
        ++changes;
    }
    changed.notify_all();
}

void TestWindow::onWindowThread(const std::function<void()>& work) {
    if (window != nullptr)
        SendMessageA(window, RunWorkMessage, 0, reinterpret_cast<LPARAM>(&work));
}

bool TestWindow::activate(DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        onWindowThread([this] {
            ShowWindow(window, SW_RESTORE);
            SetForegroundWindow(window);
            SetFocus(window);
        });
        if (GetForegroundWindow() == window)
            return true;
        if (GetTickCount64() >= deadline)
            return false;
        Sleep(50);
    }
}

HWND TestWindow::addControl(const std::string& className, int id, const std::string& text,
                            bool enabled, DWORD style) {
    HWND control = nullptr;
    onWindowThread([&] {
        // One control under the other, in the order they are made.
        const int row = controlCount++;
        control = CreateWindowExA(0, className.c_str(), text.c_str(),
                                  WS_CHILD | WS_VISIBLE | (enabled ? 0 : WS_DISABLED) | style, 10,
                                  10 + 40 * row, 300, 30, window,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                  GetModuleHandleA(nullptr), nullptr);
    });
    return control;
}

void TestWindow::setControlText(int id, const std::string& text) {
    onWindowThread([&] { SetDlgItemTextA(window, id, text.c_str()); });
}

HWND TestWindow::addControlAt(int parentId, const std::string& className, int id,
                              const std::string& text, RECT place, DWORD style) {
    HWND control = nullptr;
    onWindowThread([&] {
        HWND parent = parentId == 0 ? window : GetDlgItem(window, parentId);
        control = CreateWindowExA(
            0, className.c_str(), text.c_str(), WS_CHILD | WS_VISIBLE | style, place.left,
            place.top, place.right - place.left, place.bottom - place.top, parent,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
    });
    return control;
}

void TestWindow::enableControl(int id, bool enabled) {
    onWindowThread([&] { EnableWindow(GetDlgItem(window, id), enabled); });
}

std::vector<ReceivedMessage> TestWindow::messages() const {
    std::lock_guard lock(mutex);
    return received;
}

std::vector<ReceivedMessage> TestWindow::keyMessages() const {
    std::vector<ReceivedMessage> keys;
    for (const ReceivedMessage& message : messages())
        if (isKeyMessage(message.message))
            keys.push_back(message);
    return keys;
}

void TestWindow::clearMessages() {
    {
        std::lock_guard lock(mutex);
        received.clear();
        ++changes;
    }
    changed.notify_all();
}

bool TestWindow::waitFor(const std::function<bool(const std::vector<ReceivedMessage>&)>& done,
                         DWORD timeoutMs) const {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        std::vector<ReceivedMessage> copy;
        std::size_t seen = 0;
        {
            std::lock_guard lock(mutex);
            copy = received;
            seen = changes;
        }
        // Outside the lock: `done` may read the window itself.
        if (done(copy))
            return true;
        std::unique_lock lock(mutex);
        if (!changed.wait_until(lock, deadline, [&] { return changes != seen; }))
            return false;
    }
}

bool TestWindow::waitForCount(std::size_t count, DWORD timeoutMs) const {
    return waitFor([count](const std::vector<ReceivedMessage>& all) { return all.size() >= count; },
                   timeoutMs);
}

bool TestWindow::waitForKeyMessages(std::size_t count, DWORD timeoutMs) const {
    return waitFor(
        [count](const std::vector<ReceivedMessage>& all) {
            return static_cast<std::size_t>(
                       std::count_if(all.begin(), all.end(), [](const ReceivedMessage& message) {
                           return isKeyMessage(message.message);
                       })) >= count;
        },
        timeoutMs);
}

} // namespace e2e
