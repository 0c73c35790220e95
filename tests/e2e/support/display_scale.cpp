#include "display_scale.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace e2e {

namespace {

constexpr const wchar_t* DesktopKey = L"Control Panel\\Desktop";

bool setLogPixels(DWORD dpi) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, DesktopKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const bool ok =
        RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                       sizeof dpi) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

std::string utf8(const std::wstring& text) {
    std::string bytes(text.size() * 3 + 1, '\0');
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes.data(),
                                           static_cast<int>(bytes.size()), nullptr, nullptr);
    bytes.resize(length > 0 ? static_cast<std::size_t>(length - 1) : 0);
    return bytes;
}

std::wstring className(HWND control) {
    wchar_t name[64] = {};
    GetClassNameW(control, name, 64);
    return name;
}

std::wstring windowText(HWND control) {
    const auto length = SendMessageW(control, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

// The control's font for this process. A font handle of another process is of
// no use here (under Wine 8 GetObjectW on a WM_GETFONT handle of another
// process fails), so the font is the one the system gives dialogs at the DPI,
// which our windows use; the stock font of a control that names none.
HFONT fontOf(HWND control, UINT dpi) {
    LOGFONTW font{};
    HGDIOBJ handle = reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0));
    if (handle != nullptr && GetObjectW(handle, sizeof font, &font) == sizeof font) {
        return CreateFontIndirectW(&font);
    }
    using ForDpi = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);
    const auto forDpi = reinterpret_cast<ForDpi>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "SystemParametersInfoForDpi")));
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (forDpi == nullptr || !forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) {
        return nullptr;
    }
    return CreateFontIndirectW(&metrics.lfMessageFont);
}

struct Measured {
    bool ok = false;
    SIZE size{};
    int lineHeight = 0;
};

// The text as the font draws it (DrawText, which falls back to other fonts for
// characters the font lacks, as the controls do), on one line or broken at
// words to fit `wrapWidth` when it is above 0.
Measured measure(HWND control, UINT dpi, const std::wstring& text, int wrapWidth) {
    Measured measured;
    HFONT font = fontOf(control, dpi);
    if (font == nullptr) {
        return measured;
    }
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, font);
    RECT rect{0, 0, std::max(wrapWidth, 0), 0};
    const UINT format = wrapWidth > 0 ? DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX
                                      : DT_CALCRECT | DT_SINGLELINE;
    DrawTextW(screen, text.c_str(), static_cast<int>(text.size()), &rect, format);
    TEXTMETRICW metrics{};
    GetTextMetricsW(screen, &metrics);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    DeleteObject(font);
    measured.ok = true;
    measured.size = SIZE{rect.right - rect.left, rect.bottom - rect.top};
    measured.lineHeight = static_cast<int>(metrics.tmHeight);
    return measured;
}

// The pixels a button's text may use: its client area less the frame, and a
// check box's or radio button's box.
RECT buttonTextArea(HWND control, LONG style, UINT dpi) {
    RECT client{};
    GetClientRect(control, &client);
    const LONG kind = style & BS_TYPEMASK;
    const bool boxed = kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX || kind == BS_RADIOBUTTON ||
                       kind == BS_AUTORADIOBUTTON || kind == BS_3STATE || kind == BS_AUTO3STATE;
    if (boxed) {
        // The box (13 pixels at 96 DPI) and the gap after it.
        client.left += MulDiv(16, static_cast<int>(dpi), 96);
    } else {
        InflateRect(&client, -MulDiv(3, static_cast<int>(dpi), 96), -2);
    }
    return client;
}

void checkControl(HWND control, UINT dpi, std::vector<std::string>& problems) {
    if (!IsWindowVisible(control)) {
        return;
    }
    const std::wstring name = className(control);
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    const std::wstring text = windowText(control);
    const std::string what = utf8(name) + " \"" + utf8(text) + "\"";
    RECT client{};
    GetClientRect(control, &client);
    auto complain = [&](const std::string& why) { problems.push_back(what + ": " + why); };
    auto fits = [&](const RECT& area, int wrapWidth) {
        const Measured measured = measure(control, dpi, text, wrapWidth);
        if (!measured.ok) {
            complain("its font cannot be read");
            return;
        }
        const int width = area.right - area.left;
        const int height = area.bottom - area.top;
        if (measured.size.cx > width || measured.size.cy > height) {
            complain("needs " + std::to_string(measured.size.cx) + " x " +
                     std::to_string(measured.size.cy) + " pixels, has " + std::to_string(width) +
                     " x " + std::to_string(height));
        }
    };
    if (lstrcmpiW(name.c_str(), L"Button") == 0) {
        if ((style & BS_TYPEMASK) == BS_GROUPBOX || text.empty()) {
            return;
        }
        fits(buttonTextArea(control, style, dpi), 0);
    } else if (lstrcmpiW(name.c_str(), L"Static") == 0) {
        const LONG kind = style & SS_TYPEMASK;
        if (text.empty() || (kind != SS_LEFT && kind != SS_CENTER && kind != SS_RIGHT &&
                             kind != SS_LEFTNOWORDWRAP && kind != SS_SIMPLE)) {
            return;
        }
        if (kind == SS_LEFTNOWORDWRAP || kind == SS_SIMPLE) {
            // Every line on its own row, none broken.
            const Measured lines = measure(control, dpi, text, 1 << 20);
            if (!lines.ok) {
                complain("its font cannot be read");
            } else if (lines.size.cx > client.right || lines.size.cy > client.bottom) {
                complain("its lines need " + std::to_string(lines.size.cx) + " x " +
                         std::to_string(lines.size.cy) + " pixels, has " +
                         std::to_string(client.right) + " x " + std::to_string(client.bottom));
            }
        } else {
            fits(client, client.right);
        }
    } else if (lstrcmpiW(name.c_str(), L"Edit") == 0 && (style & ES_MULTILINE) == 0) {
        // A one-line edit scrolls its text sideways; it must be tall enough.
        const Measured measured = measure(control, dpi, L"Ag", 0);
        if (!measured.ok) {
            complain("its font cannot be read");
        } else if (measured.lineHeight > client.bottom) {
            complain("a line is " + std::to_string(measured.lineHeight) + " pixels high, it has " +
                     std::to_string(client.bottom));
        }
    }
}

} // namespace

DisplayScale::DisplayScale(DWORD dpi) : set(setLogPixels(dpi)) {
    EXPECT_TRUE(set) << "cannot set LogPixels to " << dpi;
}

DisplayScale::~DisplayScale() {
    restore();
}

void DisplayScale::restore() {
    if (set) {
        EXPECT_TRUE(setLogPixels(96)) << "cannot set LogPixels back to 96";
        set = false;
    }
}

bool readRealPixels() {
    using SetContext = BOOL(WINAPI*)(HANDLE);
    using GetContext = HANDLE(WINAPI*)();
    using AreEqual = BOOL(WINAPI*)(HANDLE, HANDLE);
    HMODULE user = GetModuleHandleW(L"user32.dll");
    auto find = [&](const char* name) {
        return reinterpret_cast<void (*)()>(GetProcAddress(user, name));
    };
    const auto set = reinterpret_cast<SetContext>(find("SetProcessDpiAwarenessContext"));
    const auto get = reinterpret_cast<GetContext>(find("GetThreadDpiAwarenessContext"));
    const auto equal = reinterpret_cast<AreEqual>(find("AreDpiAwarenessContextsEqual"));
    if (set == nullptr || get == nullptr || equal == nullptr) {
        ADD_FAILURE() << "the system has no per-monitor DPI awareness";
        return false;
    }
    // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2, else _PER_MONITOR_AWARE.
    for (const auto context : {reinterpret_cast<HANDLE>(-4), reinterpret_cast<HANDLE>(-3)}) {
        if (set(context) || equal(get(), context)) {
            return true;
        }
    }
    ADD_FAILURE() << "cannot become per-monitor DPI aware: error " << GetLastError();
    return false;
}

std::vector<std::string> textsThatDoNotFit(HWND window, UINT dpi) {
    struct Walk {
        UINT dpi;
        std::vector<std::string> problems;
    } walk{dpi, {}};
    EnumChildWindows(
        window,
        [](HWND control, LPARAM data) -> BOOL {
            auto* walk = reinterpret_cast<Walk*>(data);
            checkControl(control, walk->dpi, walk->problems);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&walk));
    return walk.problems;
}

std::string outsideScreen(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    if (rect.left >= 0 && rect.top >= 0 && rect.right <= width && rect.bottom <= height) {
        return "";
    }
    return "the window (" + std::to_string(rect.left) + ", " + std::to_string(rect.top) + ") to (" +
           std::to_string(rect.right) + ", " + std::to_string(rect.bottom) +
           ") is not within the screen of " + std::to_string(width) + " x " +
           std::to_string(height);
}

std::vector<std::wstring> textLines(HWND control) {
    const std::wstring text = windowText(control);
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos;
         start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    lines.push_back(text.substr(start));
    return lines;
}

int controlLineHeight(HWND control, UINT dpi) {
    return measure(control, dpi, L"Ag", 0).lineHeight;
}

UINT frameDpi(HWND window) {
    using Adjust = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    const auto adjust = reinterpret_cast<Adjust>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
    RECT outer{};
    RECT client{};
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    const auto style = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE));
    for (UINT dpi = 72; adjust != nullptr && dpi <= 480; dpi += 24) {
        RECT frame = client;
        // A menu bar of one row, for a window that has one.
        if (adjust(&frame, style, GetMenu(window) != nullptr, exStyle, dpi) &&
            frame.right - frame.left == outer.right - outer.left &&
            frame.bottom - frame.top == outer.bottom - outer.top) {
            return dpi;
        }
    }
    return 0;
}

} // namespace e2e
