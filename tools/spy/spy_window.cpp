// The spy window: always on top, refreshed ten times a second by a timer, with
// the magnifier, the facts, the ready lines and their copy buttons.

#include "spy_win32.h"

#include "ui_scale.h"

#include "keys/key_text.h"
#include "script/line_writer.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr UINT_PTR RefreshTimer = 1;
constexpr UINT RefreshMs = 100;
constexpr int FreezeHotKey = 1;
// Scroll Lock: hardly any program takes it, and it is not F10, which opens menus.
constexpr UINT FreezeKey = VK_SCROLL;

// The layout in 96-DPI design pixels, scaled to the window's DPI; widths and
// heights grow further where the texts in the window's font need more.
constexpr int Margin = 8;
constexpr int RowHeight = 24;
constexpr int LineCount = 13;
constexpr int ClientWidth = 640;
constexpr int FactRows = 7;    // the lines of factsText, one control each
constexpr int CheckWidth = 22; // a radio's or check box's box and the gap after it
constexpr int ButtonPadding = 16;
constexpr int Gap = 6;
constexpr DWORD WindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD WindowExStyle = WS_EX_TOPMOST;

// Control ids.
constexpr int FormRadioId = 100; // + 0, 1, 2
constexpr int CopyAllId = 110;
constexpr int FreezeId = 111;
constexpr int FactsId = 112;
constexpr int CopyButtonId = 200; // + row
constexpr int LineEditId = 300;   // + row

constexpr NameForm RadioForms[3] = {NameForm::Chinese, NameForm::English, NameForm::ShortCode};
constexpr TextId RadioLabels[3] = {TextId::SpyFormChinese, TextId::SpyFormEnglish,
                                   TextId::SpyFormCode};

struct SpyWindow {
    HWND window = nullptr;
    HWND facts = nullptr;
    HWND radios[3] = {};
    HWND freeze = nullptr;
    HWND status = nullptr;
    HWND copyAll = nullptr;
    HWND copyButtons[LineCount] = {};
    HWND lineEdits[LineCount] = {};
    std::wstring shown[LineCount];
    std::wstring shownFacts;
    HFONT font = nullptr;
    UiScale scale;
    SIZE clientSize{};
    Magnifier magnifier;
    RECT magnifierRect{};
    int magnifierZoom = MagnifierZoom;

    NameForm form = NameForm::English;
    UiLanguage language = UiLanguage::English;
    bool frozen = false;
    bool hotKey = false;
    bool holding = false;
    KeyCombo key = 0;
    HWND lastFront = nullptr;
    SpyFacts current;
    std::vector<SpyLine> lines;
};

SpyWindow spy;

// A text of the table in the spy's language, for a window.
std::wstring wideText(TextId id, std::initializer_list<std::string_view> arguments = {}) {
    return fromGbk(formatUiText(uiText(id, spy.language), arguments));
}

void setTextIfChanged(HWND control, std::wstring& shown, const std::wstring& text) {
    if (shown != text) {
        shown = text;
        SetWindowTextW(control, text.c_str());
    }
}

// The facts as GBK text: the table's texts and the facts' bytes, turned into
// UTF-16 once.
std::string factsText(const SpyFacts& facts) {
    const UiLanguage language = spy.language;
    auto line = [&](TextId id, std::initializer_list<std::string_view> arguments) {
        return formatUiText(uiText(id, language), arguments) + "\r\n";
    };
    auto shown = [&](const TextFact& text) {
        if (!text.present) {
            return std::string(uiText(TextId::SpyFactNone, language));
        }
        return text.writable ? "\"" + text.gbk + "\"" : "(" + text.problem + ")";
    };
    std::string text =
        line(TextId::SpyFactPointer,
             {std::to_string(facts.x), std::to_string(facts.y), std::to_string(facts.screenWidth),
              std::to_string(facts.screenHeight)});
    text +=
        line(TextId::SpyFactColour,
             {facts.colour.empty() ? uiText(TextId::SpyFactOffScreen, language) : facts.colour});
    if (facts.haveWindow) {
        text += line(TextId::SpyFactWindow, {shown(facts.caption), shown(facts.className)});
        text += line(
            TextId::SpyFactProcess,
            {std::to_string(facts.processId),
             facts.exeName.empty() ? uiText(TextId::SpyFactNotNamed, language) : facts.exeName});
    } else {
        text += line(TextId::SpyFactNoWindow, {}) + "\r\n";
    }
    if (facts.haveControl) {
        text += line(
            TextId::SpyFactControl,
            {std::to_string(facts.controlId), shown(facts.controlClass), shown(facts.controlText),
             uiText(facts.controlEnabled ? TextId::SpyFactEnabled : TextId::SpyFactDisabled,
                    language)});
    } else {
        text += line(TextId::SpyFactNoControl, {});
    }
    text += line(TextId::SpyFactKey,
                 {facts.key == 0 ? uiText(TextId::SpyFactPressKey, language) : keyText(facts.key)});
    text += uiText(TextId::SpyFactFreeze, language);
    if (!spy.hotKey) {
        text += uiText(TextId::SpyFactHotKeyTaken, language);
    }
    if (spy.frozen) {
        text += uiText(TextId::SpyFactFrozen, language);
    } else if (spy.holding) {
        text += uiText(TextId::SpyFactHolding, language);
    }
    return text;
}

void showLines() {
    spy.current.key = spy.key;
    spy.lines = spyLines(spy.current, spy.form, spy.language);
    for (int row = 0; row < LineCount && row < static_cast<int>(spy.lines.size()); ++row) {
        const SpyLine& line = spy.lines[static_cast<std::size_t>(row)];
        setTextIfChanged(spy.lineEdits[row], spy.shown[row],
                         fromGbk(spyRowText(line, spy.language)));
        EnableWindow(spy.copyButtons[row], !line.line.empty());
    }
    setTextIfChanged(spy.facts, spy.shownFacts, fromGbk(factsText(spy.current)));
}

void refresh() {
    POINT point{};
    GetCursorPos(&point);
    HWND under = WindowFromPoint(point);
    const bool overSpy = under != nullptr && GetAncestor(under, GA_ROOT) == spy.window;
    if (spy.frozen || overSpy) {
        if (spy.holding != overSpy) {
            spy.holding = overSpy;
            showLines();
        }
        return;
    }
    spy.holding = false;
    // The spy itself in front (it was clicked) stands for the window before it.
    HWND front = GetForegroundWindow();
    if (front == spy.window || front == nullptr) {
        front = spy.lastFront;
    } else {
        spy.lastFront = front;
    }
    spy.current = gatherFacts(point, front, spy.key, spy.language);
    captureMagnifier(spy.magnifier, point);
    InvalidateRect(spy.window, &spy.magnifierRect, FALSE);
    showLines();
}

void setFreeze(bool frozen) {
    spy.frozen = frozen;
    SendMessageW(spy.freeze, BM_SETCHECK, frozen ? BST_CHECKED : BST_UNCHECKED, 0);
    showLines();
}

// `what` tells what was copied (GBK).
void copy(const std::string& text, const std::string& what) {
    const bool ok = copyToClipboard(spy.window, text);
    SetWindowTextW(
        spy.status,
        (ok ? wideText(TextId::SpyCopied, {what}) : wideText(TextId::SpyClipboardBusy)).c_str());
}

void onCommand(int id) {
    if (id >= FormRadioId && id < FormRadioId + 3) {
        spy.form = RadioForms[id - FormRadioId];
        showLines();
    } else if (id == FreezeId) {
        setFreeze(SendMessageW(spy.freeze, BM_GETCHECK, 0, 0) == BST_CHECKED);
    } else if (id == CopyAllId) {
        copy(spyText(spy.lines, spy.form, spy.language),
             uiText(TextId::SpyCopiedAll, spy.language));
    } else if (id >= CopyButtonId && id < CopyButtonId + LineCount) {
        const auto row = static_cast<std::size_t>(id - CopyButtonId);
        if (row < spy.lines.size() && !spy.lines[row].line.empty()) {
            copy(spy.lines[row].line, "\"" + spy.lines[row].line + "\"");
        }
    }
}

// A key pressed while the spy has the focus: its code with the modifiers held,
// a modifier alone without its own bit.
void onKey(WPARAM virtualKey) {
    const auto key = static_cast<std::uint8_t>(virtualKey & 0xFF);
    struct Held {
        int virtualKey;
        KeyCombo bit;
    };
    const Held modifiers[] = {
        {VK_SHIFT, ShiftBit}, {VK_CONTROL, CtrlBit}, {VK_MENU, AltBit}, {VK_LWIN, WinBit}};
    KeyCombo code = key;
    for (const Held& modifier : modifiers) {
        if (modifier.virtualKey != key && GetKeyState(modifier.virtualKey) < 0) {
            code |= modifier.bit;
        }
    }
    spy.key = code;
    showLines();
}

HWND child(const wchar_t* className, const wchar_t* text, DWORD style, int id) {
    return CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
                           spy.window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr,
                           nullptr);
}

void createChildren() {
    spy.facts = child(L"STATIC", L"", SS_LEFTNOWORDWRAP | SS_NOPREFIX, FactsId);
    for (int i = 0; i < 3; ++i) {
        spy.radios[i] = child(L"BUTTON", wideText(RadioLabels[i]).c_str(),
                              BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP : 0), FormRadioId + i);
        if (RadioForms[i] == spy.form) {
            SendMessageW(spy.radios[i], BM_SETCHECK, BST_CHECKED, 0);
        }
    }
    spy.freeze =
        child(L"BUTTON", wideText(TextId::SpyFreeze).c_str(), BS_AUTOCHECKBOX | WS_GROUP, FreezeId);
    spy.copyAll = child(L"BUTTON", wideText(TextId::SpyCopyAll).c_str(), BS_PUSHBUTTON, CopyAllId);
    for (int row = 0; row < LineCount; ++row) {
        spy.copyButtons[row] =
            child(L"BUTTON", wideText(TextId::SpyCopy).c_str(), BS_PUSHBUTTON, CopyButtonId + row);
        spy.lineEdits[row] =
            child(L"EDIT", L"", ES_READONLY | ES_AUTOHSCROLL | WS_BORDER, LineEditId + row);
    }
    spy.status = child(L"STATIC", wideText(TextId::SpyCopyHint).c_str(),
                       SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, 0);
}

int textWidth(HWND control) {
    wchar_t text[256] = {};
    GetWindowTextW(control, text, 256);
    return textSize(spy.font, text).cx;
}

void place(HWND control, int x, int y, int width, int height) {
    SetWindowPos(control, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Makes the font for the window's DPI, gives it to every control and places
// them; the window's client area becomes spy.clientSize.
void layout() {
    const UiScale scale = spy.scale;
    HFONT old = spy.font;
    spy.font = createMessageFont(scale.dpi);
    EnumChildWindows(
        spy.window,
        [](HWND control, LPARAM) -> BOOL {
            setControlFont(control, spy.font);
            return TRUE;
        },
        0);
    if (old != nullptr) {
        DeleteObject(old);
    }

    const int margin = scaled(scale, Margin);
    const int gap = scaled(scale, Gap);
    const int line = lineHeight(spy.font);
    const int rowHeight = std::max(scaled(scale, RowHeight), line + scaled(scale, 10));
    const int controlHeight = rowHeight - scaled(scale, 2);
    const int padding = scaled(scale, ButtonPadding);
    const int check = scaled(scale, CheckWidth);

    spy.magnifierZoom = scaled(scale, MagnifierZoom);
    const int magnifierSize = MagnifiedPixels * spy.magnifierZoom;
    spy.magnifierRect = {margin, margin, margin + magnifierSize, margin + magnifierSize};
    const int factsHeight = std::max(magnifierSize, FactRows * line);

    // The row of options: the radios, the freeze box, and Copy all at the right.
    int radioWidths[3] = {};
    int optionsWidth = margin;
    for (int i = 0; i < 3; ++i) {
        radioWidths[i] = std::max(scaled(scale, 90), textWidth(spy.radios[i]) + check);
        optionsWidth += radioWidths[i] + gap;
    }
    const int freezeWidth = std::max(scaled(scale, 170), textWidth(spy.freeze) + check);
    const int copyAllWidth = std::max(scaled(scale, 90), textWidth(spy.copyAll) + padding);
    optionsWidth += gap + freezeWidth + gap * 2 + copyAllWidth + margin;
    const int width = std::max(scaled(scale, ClientWidth), optionsWidth);

    const int factsLeft = margin * 2 + magnifierSize;
    place(spy.facts, factsLeft, margin, width - factsLeft - margin, factsHeight);
    int y = margin * 2 + factsHeight;
    int x = margin;
    for (int i = 0; i < 3; ++i) {
        place(spy.radios[i], x, y, radioWidths[i], controlHeight);
        x += radioWidths[i] + gap;
    }
    place(spy.freeze, x + gap, y, freezeWidth, controlHeight);
    place(spy.copyAll, width - margin - copyAllWidth, y - scaled(scale, 1), copyAllWidth,
          rowHeight);

    y += rowHeight + scaled(scale, 4);
    const int copyWidth = std::max(scaled(scale, 50), textWidth(spy.copyButtons[0]) + padding);
    for (int row = 0; row < LineCount; ++row) {
        place(spy.copyButtons[row], margin, y, copyWidth, controlHeight);
        place(spy.lineEdits[row], margin + copyWidth + gap, y, width - margin * 2 - copyWidth - gap,
              controlHeight);
        y += rowHeight;
    }
    const int statusHeight = line + scaled(scale, 4);
    place(spy.status, margin, y + scaled(scale, 2), width - margin * 2, statusHeight);
    spy.clientSize = SIZE{width, y + scaled(scale, 2) + statusHeight + margin};
    InvalidateRect(spy.window, nullptr, TRUE);
}

// The window's size for its client area at its DPI.
SIZE windowSize() {
    return windowSizeForClient(spy.clientSize.cx, spy.clientSize.cy, WindowStyle, WindowExStyle,
                               spy.scale.dpi);
}

LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        spy.window = window;
        spy.magnifier = createMagnifier();
        spy.scale = scaleForWindow(window);
        createChildren();
        layout();
        spy.hotKey = RegisterHotKey(window, FreezeHotKey, 0, FreezeKey) != FALSE;
        SetTimer(window, RefreshTimer, RefreshMs, nullptr);
        return 0;
    }
    case WM_TIMER:
        if (wParam == RefreshTimer) {
            refresh();
        }
        return 0;
    case WM_HOTKEY:
        if (wParam == FreezeHotKey) {
            setFreeze(!spy.frozen);
        }
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) {
            onCommand(LOWORD(wParam));
        }
        return 0;
    case WM_CTLCOLORSTATIC:
        // Read-only edits and labels on the window's colour.
        SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        paintMagnifier(spy.magnifier, dc, POINT{spy.magnifierRect.left, spy.magnifierRect.top},
                       spy.magnifierZoom);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_DPICHANGED:
        // Moved to a monitor of another scale, or the scale changed: the
        // suggested place, then the layout and the size for the new DPI.
        if (takeDpiChange(window, spy.scale, wParam, lParam)) {
            layout();
            const SIZE size = windowSize();
            SetWindowPos(window, nullptr, 0, 0, size.cx, size.cy,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        return 0;
    case WM_DESTROY:
        KillTimer(window, RefreshTimer);
        if (spy.hotKey) {
            UnregisterHotKey(window, FreezeHotKey);
        }
        destroyMagnifier(spy.magnifier);
        DeleteObject(spy.font);
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

bool isKeyMessage(UINT message) {
    return message == WM_KEYDOWN || message == WM_SYSKEYDOWN || message == WM_KEYUP ||
           message == WM_SYSKEYUP || message == WM_CHAR || message == WM_SYSCHAR;
}

} // namespace

int runSpyWindow(HINSTANCE instance, NameForm form, UiLanguage language) {
    spy.form = form;
    spy.language = language;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(101));
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = L"ScriptPlayerSpy";
    if (RegisterClassExW(&windowClass) == 0) {
        return 1;
    }
    // Made hidden at its DPI, then sized for its layout and placed in the top
    // right corner of the work area, away from where most windows open.
    HWND window = CreateWindowExW(WindowExStyle, windowClass.lpszClassName,
                                  wideText(TextId::SpyTitle).c_str(), WindowStyle, 0, 0,
                                  ClientWidth, ClientWidth, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return 1;
    }
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const SIZE size = windowSize();
    const int margin = scaled(spy.scale, Margin) * 2;
    const int x = std::max<int>(work.left, work.right - size.cx - margin);
    const int y = std::max<int>(work.top, std::min<int>(work.top + margin, work.bottom - size.cy));
    SetWindowPos(window, nullptr, x, y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(window, SW_SHOWNORMAL);
    refresh();

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        // Every key goes to the key lines, none to the spy's own controls (no
        // menu on ALT, no button pressed by SPACE).
        if (isKeyMessage(message.message) &&
            (message.hwnd == window || IsChild(window, message.hwnd))) {
            if (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) {
                onKey(message.wParam);
            }
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
