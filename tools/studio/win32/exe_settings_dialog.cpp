// Make exe's dialog: the exe's icon and version texts, prefilled from the
// script's setting lines and checked by the packer's own rules before the
// dialog closes. The dialog is made from a template in memory and laid out
// by the measured size of its texts in its font, so it fits at any scale.

#include "front_end.h"

#include "exe_settings.h"
#include "pack_windows.h"

#include <commdlg.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace {

constexpr std::array<TextId, ExeFieldCount> FieldLabels = {
    TextId::StudioExeIcon,           TextId::StudioExeDescription,  TextId::StudioExeProduct,
    TextId::StudioExeCompany,        TextId::StudioExeCopyright,    TextId::StudioExeFileVersion,
    TextId::StudioExeProductVersion, TextId::StudioExeOriginalName,
};

struct DialogState {
    ExeSettings settings;
    std::string folder; // the script's, where a relative icon path starts
    std::string name;   // the exe's name without its extension
    ExeResources resources;
    HFONT font = nullptr;
};

HWND addControl(HWND dialog, const wchar_t* className, const std::wstring& text, DWORD style,
                int id, RECT place, HFONT font, DWORD exStyle = 0) {
    HWND control = CreateWindowExW(
        exStyle, className, text.c_str(), WS_CHILD | WS_VISIBLE | style, place.left, place.top,
        place.right - place.left, place.bottom - place.top, dialog,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), studio.instance, nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

SIZE measure(HDC dc, const std::wstring& text) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

void layOut(HWND dialog, DialogState& state) {
    HDC dc = GetDC(dialog);
    HGDIOBJ old = SelectObject(dc, state.font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int line = metrics.tmHeight;
    const int gap = std::max(4, line / 2);
    const int rowHeight = line + gap;
    int labelWidth = 0;
    for (TextId label : FieldLabels) {
        labelWidth = std::max<int>(labelWidth, measure(dc, wideText(label)).cx);
    }
    const std::wstring browse = wideText(TextId::StudioExeBrowse);
    const std::wstring ok = wideText(TextId::StudioExeOk);
    const std::wstring cancel = wideText(TextId::StudioExeCancel);
    const int buttonWidth =
        std::max({measure(dc, browse).cx, measure(dc, ok).cx, measure(dc, cancel).cx}) + 3 * line;
    const int buttonHeight = line + gap;
    const int editWidth = std::max<int>(measure(dc, L"M").cx * 32, buttonWidth * 2);
    const std::wstring intro = wideText(TextId::StudioExeIntro);
    const int width = gap * 2 + labelWidth + gap + editWidth + gap + buttonWidth;
    RECT introPlace{gap * 2, gap * 2, width, gap * 2};
    DrawTextW(dc, intro.c_str(), -1, &introPlace, DT_CALCRECT | DT_WORDBREAK);
    SelectObject(dc, old);
    ReleaseDC(dialog, dc);

    addControl(dialog, L"static", intro, 0, -1, introPlace, state.font);
    int y = introPlace.bottom + gap;
    const int editLeft = gap * 2 + labelWidth + gap;
    for (int i = 0; i < ExeFieldCount; ++i) {
        const std::wstring label = wideText(FieldLabels[static_cast<std::size_t>(i)]);
        addControl(dialog, L"static", label, SS_LEFT, -1,
                   RECT{gap * 2, y + gap / 2 + 2, editLeft - gap, y + gap / 2 + 2 + line},
                   state.font);
        addControl(dialog, L"edit", fromGbk(state.settings.values[static_cast<std::size_t>(i)]),
                   WS_TABSTOP | ES_AUTOHSCROLL, ExeSettingEditId + i,
                   RECT{editLeft, y, editLeft + editWidth, y + line + gap}, state.font,
                   WS_EX_CLIENTEDGE);
        if (i == static_cast<int>(ExeField::Icon)) {
            addControl(dialog, L"button", browse, WS_TABSTOP | BS_PUSHBUTTON, ExeIconBrowseId,
                       RECT{editLeft + editWidth + gap, y, editLeft + editWidth + gap + buttonWidth,
                            y + buttonHeight},
                       state.font);
        }
        y += rowHeight + gap / 2;
    }
    y += gap;
    const int right = editLeft + editWidth + gap + buttonWidth;
    addControl(dialog, L"button", cancel, WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL,
               RECT{right - buttonWidth, y, right, y + buttonHeight}, state.font);
    addControl(dialog, L"button", ok, WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK,
               RECT{right - 2 * buttonWidth - gap, y, right - buttonWidth - gap, y + buttonHeight},
               state.font);
    RECT frame{0, 0, right + gap * 2, y + buttonHeight + gap * 2};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_EXSTYLE)));
    RECT owner{};
    GetWindowRect(studio.window, &owner);
    const int frameWidth = frame.right - frame.left;
    const int frameHeight = frame.bottom - frame.top;
    SetWindowPos(dialog, nullptr, owner.left + (owner.right - owner.left - frameWidth) / 2,
                 owner.top + (owner.bottom - owner.top - frameHeight) / 2, frameWidth, frameHeight,
                 SWP_NOZORDER);
}

std::wstring editText(HWND dialog, int id) {
    HWND edit = GetDlgItem(dialog, id);
    const int length = GetWindowTextLengthW(edit);
    std::wstring value(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(edit, value.data(), length + 1);
    value.resize(static_cast<std::size_t>(length));
    return value;
}

// An icon file chosen with the system's dialog; a path inside the script's
// folder is kept relative to it, so that the script and its icon move together.
void browseForIcon(HWND dialog, const DialogState& state) {
    wchar_t path[MAX_PATH * 4] = {};
    std::wstring filter = wideText(TextId::StudioExeIconFilter);
    filter += L'\0';
    filter += L"*.ico";
    filter += L'\0';
    OPENFILENAMEW choose{};
    choose.lStructSize = sizeof(choose);
    choose.hwndOwner = dialog;
    choose.lpstrFilter = filter.c_str();
    choose.lpstrFile = path;
    choose.nMaxFile = static_cast<DWORD>(sizeof(path) / sizeof(path[0]));
    choose.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameW(&choose)) {
        return;
    }
    std::wstring chosen = path;
    const std::wstring folder = fromAnsi(state.folder);
    if (!folder.empty() && chosen.size() > folder.size() &&
        CompareStringOrdinal(chosen.c_str(), static_cast<int>(folder.size()), folder.c_str(),
                             static_cast<int>(folder.size()), TRUE) == CSTR_EQUAL) {
        chosen = chosen.substr(folder.size());
    }
    SetDlgItemTextW(dialog, ExeSettingEditId + static_cast<int>(ExeField::Icon), chosen.c_str());
}

// The values typed, checked as the packer checks them; false with the
// packer's message shown when one is wrong, and the dialog stays.
bool acceptValues(HWND dialog, DialogState& state) {
    ExeSettings settings;
    for (int i = 0; i < ExeFieldCount; ++i) {
        const std::wstring typed = editText(dialog, ExeSettingEditId + i);
        std::wstring value = typed;
        while (!value.empty() && (value.front() == L' ' || value.front() == L'\t')) {
            value.erase(value.begin());
        }
        while (!value.empty() && (value.back() == L' ' || value.back() == L'\t')) {
            value.pop_back();
        }
        const std::string gbk = toGbk(value);
        std::string problem;
        if (value.empty()) {
            problem.clear(); // not given: the default
        } else if (fromGbk(gbk) != value) {
            problem = formatUiText(text(TextId::ExeNotGbk),
                                   {text(ExeFields[static_cast<std::size_t>(i)].label)});
        } else {
            problem = exeSettingProblem(static_cast<ExeField>(i), gbk, studio.workspace.language);
        }
        if (!problem.empty()) {
            MessageBoxW(dialog, fromGbk(problem).c_str(), wideText(TextId::StudioName).c_str(),
                        MB_OK | MB_ICONERROR);
            SetFocus(GetDlgItem(dialog, ExeSettingEditId + i));
            return false;
        }
        settings.values[static_cast<std::size_t>(i)] = gbk;
    }
    ExePreparation prepared =
        prepareExe(settings, state.folder, state.name, studio.workspace.language);
    if (!prepared.ok) {
        MessageBoxW(dialog, fromGbk(prepared.error).c_str(), wideText(TextId::StudioName).c_str(),
                    MB_OK | MB_ICONERROR);
        return false;
    }
    state.settings = settings;
    state.resources = std::move(prepared.resources);
    return true;
}

INT_PTR CALLBACK dialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    DialogState* state = reinterpret_cast<DialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        state = reinterpret_cast<DialogState*>(lParam);
        layOut(dialog, *state);
        // The caption last: a dialog found by it is whole.
        SetWindowTextW(dialog, wideText(TextId::StudioExeTitle).c_str());
        SetFocus(GetDlgItem(dialog, ExeSettingEditId + static_cast<int>(ExeField::Description)));
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            if (acceptValues(dialog, *state)) {
                EndDialog(dialog, IDOK);
            }
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        case ExeIconBrowseId:
            browseForIcon(dialog, *state);
            return TRUE;
        default:
            return FALSE;
        }
    default:
        return FALSE;
    }
}

// A dialog template without controls: they are made when it opens, measured.
std::vector<std::uint16_t> emptyTemplate() {
    std::vector<std::uint16_t> words(sizeof(DLGTEMPLATE) / 2 + 3, 0);
    auto* dialog = reinterpret_cast<DLGTEMPLATE*>(words.data());
    dialog->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    dialog->cx = 100;
    dialog->cy = 50;
    // No menu, the dialog class, no title: three empty words after it.
    return words;
}

} // namespace

bool askExeSettings(ExeSettings& settings, const std::string& folder, const std::string& name,
                    ExeResources& resources) {
    DialogState state;
    state.settings = settings;
    state.folder = folder;
    state.name = name;
    state.font = studio.uiFont;
    const std::vector<std::uint16_t> words = emptyTemplate();
    const INT_PTR answer =
        DialogBoxIndirectParamW(studio.instance, reinterpret_cast<const DLGTEMPLATE*>(words.data()),
                                studio.window, dialogProcedure, reinterpret_cast<LPARAM>(&state));
    if (answer != IDOK) {
        return false;
    }
    settings = state.settings;
    resources = std::move(state.resources);
    return true;
}
