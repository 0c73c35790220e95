// PutTextCb run in this process through the real clipboard, pasting into an
// edit control of our own.

#include "helpers/pointer.h"
#include "helpers/run_lines.h"
#include "support/e2e.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>

namespace {

constexpr int EditId = 7;

std::string clipboardText() {
    std::string text;
    if (!OpenClipboard(nullptr)) {
        ADD_FAILURE() << "cannot open the clipboard";
        return text;
    }
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* bytes = static_cast<const char*>(GlobalLock(data))) {
            text = bytes;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

void setClipboardText(const std::string& text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    ASSERT_NE(block, nullptr);
    std::memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    ASSERT_NE(SetClipboardData(CF_TEXT, block), nullptr);
    CloseClipboard();
}

std::string windowText(HWND window) {
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

class ExecutorClipboard : public ::testing::Test {
  protected:
    void SetUp() override {
        resetRunState();
        edit = window.addControl("edit", EditId, "", true, WS_BORDER | ES_AUTOHSCROLL);
        ASSERT_NE(edit, nullptr);
        ASSERT_TRUE(window.activate());
        // A click into the edit control gives it the keyboard focus.
        RECT rect{};
        GetWindowRect(edit, &rect);
        ASSERT_TRUE(
            e2e::movePointerSteadily({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}));
        e2e::runLines("LClick");
        ASSERT_TRUE(focusIs(edit));
    }

    // Focus belongs to the window's thread: ask that thread's input state.
    static bool focusIs(HWND control) {
        const DWORD thread = GetWindowThreadProcessId(control, nullptr);
        for (int tries = 0; tries < 200; ++tries) {
            GUITHREADINFO info{};
            info.cbSize = sizeof info;
            if (GetGUIThreadInfo(thread, &info) && info.hwndFocus == control) {
                return true;
            }
            Sleep(10);
        }
        return false;
    }

    // The edit control's text once it equals `expected`, or after a few seconds.
    std::string editTextWhen(const std::string& expected) {
        for (int tries = 0; tries < 100 && windowText(edit) != expected; ++tries) {
            Sleep(30);
        }
        return windowText(edit);
    }

    e2e::TestWindow window;
    HWND edit = nullptr;
};

TEST_F(ExecutorClipboard, PutTextCbLeavesGbkTextOnTheClipboardAndPastesIt) {
    const std::string gbk = "\xD6\xD0\xCE\xC4 text \xB0\xA1!";
    ASSERT_EQ(std::string("中文 text 啊!"), gbk);
    e2e::runLines("PutTextCb 中文 text 啊!");
    EXPECT_EQ(clipboardText(), gbk);
    EXPECT_EQ(editTextWhen(gbk), gbk);
}

TEST_F(ExecutorClipboard, PutTextCbWhileAnotherHolderHasTheClipboardTypesNothing) {
    setClipboardText("before");
    // Another holder keeps the clipboard open for the whole command. It opens it
    // for a window of its own: Wine lets a second opener without a window in
    // while the holder has none either.
    std::atomic<int> step{0};
    std::thread holder([&] {
        HWND owner = CreateWindowExA(0, "static", "e2e clipboard holder", 0, 0, 0, 10, 10, nullptr,
                                     nullptr, nullptr, nullptr);
        const bool opened = owner != nullptr && OpenClipboard(owner) != 0;
        step = opened ? 1 : -1;
        while (step == 1) {
            Sleep(10);
        }
        if (opened) {
            CloseClipboard();
        }
        if (owner != nullptr) {
            DestroyWindow(owner);
        }
    });
    while (step == 0) {
        Sleep(10);
    }
    const bool held = step == 1;
    if (held) {
        e2e::runLines("PutTextCb after");
    }
    step = 2;
    holder.join();
    ASSERT_TRUE(held) << "the holder thread could not open the clipboard";
    Sleep(300);
    EXPECT_EQ(windowText(edit), "");
    EXPECT_EQ(clipboardText(), "before");
}

} // namespace
