// The one prompt of the studio: a modal window over the studio's own with a
// label and an edit field per field, OK and Cancel. Enter is OK, Escape is
// Cancel. Every prompt the studio shows (go to line, the recording options)
// is one of these.

#include "front_end.h"

namespace {

constexpr const wchar_t* PromptClass = L"ScriptStudioPrompt";
// The design at 96 DPI.
constexpr int Margin = 10;
constexpr int LabelHeight = 34;
constexpr int EditHeight = 24;
constexpr int ButtonWidth = 80;
constexpr int ButtonHeight = 26;
constexpr int FieldGap = 8;

struct PromptState {
    bool done = false;
    bool accepted = false;
};
PromptState* current = nullptr;

LRESULT CALLBACK promptProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (current != nullptr && message == WM_COMMAND &&
        (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        current->accepted = LOWORD(wParam) == IDOK;
        current->done = true;
        return 0;
    }
    if (current != nullptr && message == WM_CLOSE) {
        current->done = true;
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void registerClass() {
    static bool registered = false;
    if (registered) {
        return;
    }
    WNDCLASSW promptClass{};
    promptClass.lpfnWndProc = promptProcedure;
    promptClass.hInstance = studio.instance;
    promptClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    promptClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    promptClass.lpszClassName = PromptClass;
    RegisterClassW(&promptClass);
    registered = true;
}

} // namespace

bool askFields(const std::wstring& title, std::vector<DialogField>& fields, int width) {
    registerClass();
    const int margin = scaled(Margin);
    const int labelHeight = scaled(LabelHeight);
    const int editHeight = scaled(EditHeight);
    const int fieldGap = scaled(FieldGap);
    const int buttonWidth = scaled(ButtonWidth);
    const int buttonHeight = scaled(ButtonHeight);
    const int inner = scaled(width) - 2 * margin;
    const int fieldsHeight =
        static_cast<int>(fields.size()) * (labelHeight + editHeight + fieldGap);
    RECT frame{0, 0, scaled(width), fieldsHeight + buttonHeight + 3 * margin};
    AdjustWindowRectEx(&frame, WS_POPUP | WS_CAPTION | WS_SYSMENU, FALSE, WS_EX_DLGMODALFRAME);
    RECT owner;
    GetWindowRect(studio.window, &owner);
    HWND prompt = CreateWindowExW(
        WS_EX_DLGMODALFRAME, PromptClass, title.c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU,
        owner.left + scaled(100), owner.top + scaled(120), frame.right - frame.left,
        frame.bottom - frame.top, studio.window, nullptr, studio.instance, nullptr);
    auto child = [&](const wchar_t* className, const std::wstring& label, DWORD style, int id,
                     int x, int y, int w, int h) {
        HWND control = CreateWindowExW(
            className == std::wstring(L"edit") ? WS_EX_CLIENTEDGE : 0, className, label.c_str(),
            WS_CHILD | WS_VISIBLE | style, x, y, w, h, prompt,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), studio.instance, nullptr);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(studio.uiFont), FALSE);
        return control;
    };
    std::vector<HWND> edits;
    int y = margin;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        child(L"static", fields[i].label, 0, -1, margin, y, inner, labelHeight);
        y += labelHeight;
        const DWORD style = WS_TABSTOP | ES_AUTOHSCROLL | (fields[i].digitsOnly ? ES_NUMBER : 0);
        edits.push_back(child(L"edit", fields[i].value, style, static_cast<int>(10 + i), margin, y,
                              inner, editHeight));
        y += editHeight + fieldGap;
    }
    y += margin - fieldGap;
    child(L"button", wideText(TextId::StudioCancel), WS_TABSTOP, IDCANCEL,
          margin + inner - buttonWidth, y, buttonWidth, buttonHeight);
    child(L"button", wideText(TextId::StudioOk), WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK,
          margin + inner - 2 * buttonWidth - margin, y, buttonWidth, buttonHeight);

    PromptState state;
    PromptState* outer = current;
    current = &state;
    EnableWindow(studio.window, FALSE);
    ShowWindow(prompt, SW_SHOW);
    if (!edits.empty()) {
        SetFocus(edits.front());
        SendMessageW(edits.front(), EM_SETSEL, 0, -1);
    }
    MSG message;
    while (!state.done && GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN) {
            state.accepted = state.done = true;
            continue;
        }
        if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE) {
            state.done = true;
            continue;
        }
        if (!IsDialogMessageW(prompt, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const int length = GetWindowTextLengthW(edits[i]);
        std::wstring typed(static_cast<std::size_t>(length) + 1, L'\0');
        GetWindowTextW(edits[i], typed.data(), length + 1);
        typed.resize(static_cast<std::size_t>(length));
        fields[i].value = typed;
    }
    current = outer;
    EnableWindow(studio.window, TRUE);
    DestroyWindow(prompt);
    SetForegroundWindow(studio.window);
    return state.accepted;
}
