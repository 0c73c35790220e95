#include "helpers/studio_window.h"

#include "studio_ids.h"

namespace e2e {

namespace {

struct Search {
    DWORD processId;
    HWND window;
};

BOOL CALLBACK findStudio(HWND window, LPARAM into) {
    auto* search = reinterpret_cast<Search*>(into);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (owner == search->processId && std::wstring(className) == StudioWindowClass &&
        IsWindowVisible(window)) {
        search->window = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND waitForStudioWindow(DWORD processId, DWORD timeoutMs) {
    const ULONGLONG start = GetTickCount64();
    do {
        Search search{processId, nullptr};
        EnumWindows(findStudio, reinterpret_cast<LPARAM>(&search));
        if (search.window != nullptr) {
            return search.window;
        }
        Sleep(20);
    } while (GetTickCount64() - start < timeoutMs);
    return nullptr;
}

std::wstring studioControlText(HWND studio, int id) {
    HWND control = GetDlgItem(studio, id);
    DWORD_PTR length = 0;
    SendMessageTimeoutW(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length);
    std::wstring text(length + 1, L'\0');
    DWORD_PTR got = 0;
    SendMessageTimeoutW(control, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, 2000, &got);
    text.resize(got);
    return text;
}

std::wstring studioEditorText(HWND studio) {
    const std::wstring text = studioControlText(studio, EditorId);
    std::wstring lines;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r') {
            lines += L'\n';
            i += i + 1 < text.size() && text[i + 1] == L'\n' ? 1 : 0;
        } else {
            lines += text[i];
        }
    }
    return lines;
}

int studioProblemCount(HWND studio) {
    return static_cast<int>(SendMessageW(GetDlgItem(studio, ProblemsId), LB_GETCOUNT, 0, 0));
}

std::vector<std::wstring> studioProblems(HWND studio) {
    HWND list = GetDlgItem(studio, ProblemsId);
    std::vector<std::wstring> rows;
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, i, 0);
        std::wstring row(static_cast<std::size_t>(length) + 1, L'\0');
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(row.data()));
        row.resize(static_cast<std::size_t>(length));
        rows.push_back(row);
    }
    return rows;
}

} // namespace e2e
