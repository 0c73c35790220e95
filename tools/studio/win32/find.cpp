// Find, replace and go to line.

#include "front_end.h"

#include "find_text.h"

#include <richedit.h>

#include <algorithm>

namespace {

std::u16string searched() {
    return toU16(std::wstring(studio.findWhat));
}

bool findFrom(bool down) {
    CHARRANGE range{};
    SendMessageW(studio.editor, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    const bool matchCase = (studio.find.Flags & FR_MATCHCASE) != 0;
    const std::size_t from =
        down ? static_cast<std::size_t>(range.cpMax) : static_cast<std::size_t>(range.cpMin);
    const std::u16string what = searched();
    const std::size_t at = findText(studio.mirror, what, from, down, matchCase);
    if (at == std::u16string::npos) {
        setState(fromGbk(formatUiText(text(TextId::StudioNotFound), {toGbk(studio.findWhat)})));
        MessageBeep(MB_ICONWARNING);
        return false;
    }
    CHARRANGE found{static_cast<LONG>(at), static_cast<LONG>(at + what.size())};
    SendMessageW(studio.editor, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&found));
    SendMessageW(studio.editor, EM_SCROLLCARET, 0, 0);
    return true;
}

bool selectionMatches() {
    CHARRANGE range{};
    SendMessageW(studio.editor, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    const std::u16string what = searched();
    return static_cast<std::size_t>(range.cpMax - range.cpMin) == what.size() &&
           matchesAt(studio.mirror, static_cast<std::size_t>(range.cpMin), what,
                     (studio.find.Flags & FR_MATCHCASE) != 0);
}

// Every match replaced as one step of the undo history.
void replaceAll() {
    const std::u16string what = searched();
    const std::u16string with = toU16(std::wstring(studio.replaceWith));
    if (what.empty()) {
        return;
    }
    const Replacement replacement =
        replaceAllChange(studio.mirror, what, with, (studio.find.Flags & FR_MATCHCASE) != 0);
    const int count = replacement.count;
    if (count > 0) {
        closeStep(studio.workspace.history);
        applyChange(replacement.change);
        closeStep(studio.workspace.history);
    }
    setState(fromGbk(formatUiText(text(TextId::StudioReplaced), {std::to_string(count)})));
}

// The go-to-line prompt: a small modal window with one edit field.
struct Prompt {
    HWND window = nullptr;
    HWND edit = nullptr;
    bool done = false;
    bool accepted = false;
};
Prompt prompt;

LRESULT CALLBACK promptProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            prompt.accepted = LOWORD(wParam) == IDOK;
            prompt.done = true;
        }
        return 0;
    case WM_CLOSE:
        prompt.done = true;
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

void showFind(bool replace) {
    if (studio.findDialog != nullptr) {
        DestroyWindow(studio.findDialog);
        studio.findDialog = nullptr;
    }
    CHARRANGE range{};
    SendMessageW(studio.editor, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    if (range.cpMax > range.cpMin && range.cpMax - range.cpMin < 255) {
        const std::u16string selected =
            studio.mirror.substr(static_cast<std::size_t>(range.cpMin),
                                 static_cast<std::size_t>(range.cpMax - range.cpMin));
        if (selected.find(u'\r') == std::u16string::npos) {
            lstrcpynW(studio.findWhat, fromU16(selected).c_str(), 256);
        }
    }
    studio.find = FINDREPLACEW{};
    studio.find.lStructSize = sizeof(studio.find);
    studio.find.hwndOwner = studio.window;
    studio.find.Flags = FR_DOWN;
    studio.find.lpstrFindWhat = studio.findWhat;
    studio.find.wFindWhatLen = 256;
    studio.find.lpstrReplaceWith = studio.replaceWith;
    studio.find.wReplaceWithLen = 256;
    studio.findDialog = replace ? ReplaceTextW(&studio.find) : FindTextW(&studio.find);
}

void findNext() {
    if (studio.findWhat[0] == L'\0') {
        showFind(false);
        return;
    }
    findFrom((studio.find.Flags & FR_DOWN) != 0 || studio.find.lStructSize == 0);
}

void onFindMessage(FINDREPLACEW* find) {
    if ((find->Flags & FR_DIALOGTERM) != 0) {
        studio.findDialog = nullptr;
        return;
    }
    if ((find->Flags & FR_FINDNEXT) != 0) {
        findFrom((find->Flags & FR_DOWN) != 0);
    } else if ((find->Flags & FR_REPLACE) != 0) {
        if (selectionMatches()) {
            insertAtCursor(studio.replaceWith);
        }
        findFrom(true);
    } else if ((find->Flags & FR_REPLACEALL) != 0) {
        replaceAll();
    }
}

void askGoToLine() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSW promptClass{};
        promptClass.lpfnWndProc = promptProcedure;
        promptClass.hInstance = studio.instance;
        promptClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        promptClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        promptClass.lpszClassName = L"ScriptStudioPrompt";
        RegisterClassW(&promptClass);
        registered = true;
    }
    const int lines = static_cast<int>(studio.workspace.document.lines.size());
    RECT owner;
    GetWindowRect(studio.window, &owner);
    prompt = Prompt{};
    prompt.window = CreateWindowExW(
        WS_EX_DLGMODALFRAME, L"ScriptStudioPrompt", wideText(TextId::StudioGoToLineTitle).c_str(),
        WS_POPUP | WS_CAPTION | WS_SYSMENU, owner.left + 120, owner.top + 120, 320, 140,
        studio.window, nullptr, studio.instance, nullptr);
    auto child = [&](const wchar_t* className, const std::wstring& label, DWORD style, int id,
                     int x, int y, int width, int height) {
        HWND control = CreateWindowExW(
            className == std::wstring(L"edit") ? WS_EX_CLIENTEDGE : 0, className, label.c_str(),
            WS_CHILD | WS_VISIBLE | style, x, y, width, height, prompt.window,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), studio.instance, nullptr);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(studio.uiFont), FALSE);
        return control;
    };
    child(L"static",
          fromGbk(formatUiText(text(TextId::StudioGoToLinePrompt), {std::to_string(lines)})), 0, -1,
          10, 10, 290, 20);
    const int current = cursorLine() + 1;
    prompt.edit =
        child(L"edit", std::to_wstring(current), WS_TABSTOP | ES_NUMBER, 10, 10, 34, 120, 24);
    child(L"button", wideText(TextId::StudioOk), WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, 140, 34, 75,
          26);
    child(L"button", wideText(TextId::StudioCancel), WS_TABSTOP, IDCANCEL, 222, 34, 75, 26);
    EnableWindow(studio.window, FALSE);
    ShowWindow(prompt.window, SW_SHOW);
    SetFocus(prompt.edit);
    SendMessageW(prompt.edit, EM_SETSEL, 0, -1);
    MSG message;
    while (!prompt.done && GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN) {
            prompt.accepted = true;
            prompt.done = true;
            continue;
        }
        if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE) {
            prompt.done = true;
            continue;
        }
        if (!IsDialogMessageW(prompt.window, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    wchar_t typed[16] = {};
    GetWindowTextW(prompt.edit, typed, 16);
    EnableWindow(studio.window, TRUE);
    DestroyWindow(prompt.window);
    SetForegroundWindow(studio.window);
    if (prompt.accepted) {
        goToLine(_wtoi(typed));
    }
}
