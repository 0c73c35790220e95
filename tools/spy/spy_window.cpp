// The spy window: always on top, refreshed ten times a second by a timer, with
// the magnifier, the facts, the ready lines and their copy buttons.

#include "spy_win32.h"

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

constexpr int Margin = 8;
constexpr int RowHeight = 24;
constexpr int LineCount = 13;
constexpr int ClientWidth = 640;

// Control ids.
constexpr int FormRadioId = 100; // + 0, 1, 2
constexpr int CopyAllId = 110;
constexpr int FreezeId = 111;
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
    HWND copyButtons[LineCount] = {};
    HWND lineEdits[LineCount] = {};
    std::wstring shown[LineCount];
    std::wstring shownFacts;
    HFONT font = nullptr;
    Magnifier magnifier;
    RECT magnifierRect{};

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

HWND child(const wchar_t* className, const wchar_t* text, DWORD style, int x, int y, int width,
           int height, int id) {
    HWND control = CreateWindowExW(
        0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, spy.window,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(spy.font), TRUE);
    return control;
}

void createChildren() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    spy.font = CreateFontIndirectW(&metrics.lfMessageFont);

    const int magnifierSize = MagnifierSize;
    spy.magnifierRect = {Margin, Margin, Margin + magnifierSize, Margin + magnifierSize};
    const int factsLeft = Margin * 2 + magnifierSize;
    spy.facts = child(L"STATIC", L"", SS_LEFT | SS_NOPREFIX, factsLeft, Margin,
                      ClientWidth - factsLeft - Margin, magnifierSize, 0);

    int y = Margin * 2 + magnifierSize;
    int x = Margin;
    for (int i = 0; i < 3; ++i) {
        spy.radios[i] =
            child(L"BUTTON", wideText(RadioLabels[i]).c_str(),
                  BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP : 0), x, y, 90, 22, FormRadioId + i);
        if (RadioForms[i] == spy.form) {
            SendMessageW(spy.radios[i], BM_SETCHECK, BST_CHECKED, 0);
        }
        x += 95;
    }
    spy.freeze = child(L"BUTTON", wideText(TextId::SpyFreeze).c_str(), BS_AUTOCHECKBOX | WS_GROUP,
                       x + 10, y, 170, 22, FreezeId);
    child(L"BUTTON", wideText(TextId::SpyCopyAll).c_str(), BS_PUSHBUTTON, ClientWidth - Margin - 90,
          y - 1, 90, 24, CopyAllId);

    y += 30;
    for (int row = 0; row < LineCount; ++row) {
        spy.copyButtons[row] = child(L"BUTTON", wideText(TextId::SpyCopy).c_str(), BS_PUSHBUTTON,
                                     Margin, y, 50, RowHeight - 2, CopyButtonId + row);
        spy.lineEdits[row] =
            child(L"EDIT", L"", ES_READONLY | ES_AUTOHSCROLL | WS_BORDER, Margin + 56, y,
                  ClientWidth - Margin * 2 - 56, RowHeight - 2, LineEditId + row);
        y += RowHeight;
    }
    spy.status = child(L"STATIC", wideText(TextId::SpyCopyHint).c_str(),
                       SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, Margin, y + 4,
                       ClientWidth - Margin * 2, 20, 0);
}

LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        spy.window = window;
        spy.magnifier = createMagnifier();
        createChildren();
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
        paintMagnifier(spy.magnifier, dc, POINT{spy.magnifierRect.left, spy.magnifierRect.top});
        EndPaint(window, &paint);
        return 0;
    }
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
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    const int clientHeight = Margin * 3 + MagnifierSize + 30 + LineCount * RowHeight + 28;
    RECT frame{0, 0, ClientWidth, clientHeight};
    AdjustWindowRectEx(&frame, style, FALSE, WS_EX_TOPMOST);
    // In the top right corner of the work area, away from where most windows open.
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int width = frame.right - frame.left;
    HWND window = CreateWindowExW(
        WS_EX_TOPMOST, windowClass.lpszClassName, wideText(TextId::SpyTitle).c_str(), style,
        std::max<int>(work.left, work.right - width - Margin * 2), work.top + Margin * 2, width,
        frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return 1;
    }
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
