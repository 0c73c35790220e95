#include "message_box.h"

#include <vector>

namespace e2e {

namespace {

struct BoxSearch {
    const std::string* caption;
    DWORD processId;
    HWND found;
};

BOOL CALLBACK matchBox(HWND window, LPARAM parameter) {
    auto& search = *reinterpret_cast<BoxSearch*>(parameter);
    char className[16] = {};
    GetClassNameA(window, className, sizeof(className));
    if (std::string(className) != "#32770" || !IsWindowVisible(window))
        return TRUE;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (search.processId != 0 && owner != search.processId)
        return TRUE;
    std::vector<char> title(search.caption->size() + 2);
    const int length = GetWindowTextA(window, title.data(), static_cast<int>(title.size()));
    if (std::string(title.data(), length) != *search.caption)
        return TRUE;
    search.found = window;
    return FALSE;
}

} // namespace

HWND waitForMessageBox(const std::string& caption, DWORD processId, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        BoxSearch search{&caption, processId, nullptr};
        EnumWindows(matchBox, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr)
            return search.found;
        if (GetTickCount64() >= deadline)
            return nullptr;
        Sleep(20);
    }
}

std::string messageBoxText(HWND box) {
    std::vector<char> text(65536);
    const UINT length = GetDlgItemTextA(box, 0xFFFF, text.data(), static_cast<int>(text.size()));
    return std::string(text.data(), length);
}

bool hasButton(HWND box, int buttonId) {
    return GetDlgItem(box, buttonId) != nullptr;
}

bool pressButton(HWND box, int buttonId) {
    HWND button = GetDlgItem(box, buttonId);
    if (button == nullptr)
        return false;
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, &result) != 0;
}

} // namespace e2e
