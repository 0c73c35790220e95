// Display scale: the functions newer than the oldest Windows 10 are looked up
// in user32 (and shcore) when first needed, so the programs start on any
// Windows 10 and under Wine, which has them all but GetDpiForMonitor's
// per-monitor answers (it gives the system DPI for every monitor).

#include "ui_scale.h"

namespace {

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using SystemParametersInfoForDpiFunction = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);
using AdjustWindowRectExForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
// GetDpiForMonitor(monitor, MDT_EFFECTIVE_DPI, &x, &y)
using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);

template <typename Function> Function procedure(const wchar_t* module, const char* name) {
    HMODULE loaded = GetModuleHandleW(module);
    if (loaded == nullptr) {
        loaded = LoadLibraryW(module);
    }
    if (loaded == nullptr) {
        return nullptr;
    }
    // Through the generic function pointer type, which any other converts from
    // and to without a warning about their types.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(loaded, name)));
}

GetDpiForWindowFunction getDpiForWindow() {
    static const auto function =
        procedure<GetDpiForWindowFunction>(L"user32.dll", "GetDpiForWindow");
    return function;
}

SystemParametersInfoForDpiFunction systemParametersInfoForDpi() {
    static const auto function =
        procedure<SystemParametersInfoForDpiFunction>(L"user32.dll", "SystemParametersInfoForDpi");
    return function;
}

AdjustWindowRectExForDpiFunction adjustWindowRectExForDpi() {
    static const auto function =
        procedure<AdjustWindowRectExForDpiFunction>(L"user32.dll", "AdjustWindowRectExForDpi");
    return function;
}

GetDpiForMonitorFunction getDpiForMonitor() {
    static const auto function =
        procedure<GetDpiForMonitorFunction>(L"shcore.dll", "GetDpiForMonitor");
    return function;
}

UINT usable(UINT dpi) {
    return dpi >= 48 && dpi <= 960 ? dpi : 0;
}

// The message font at the system DPI.
LOGFONTW systemMessageFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        LOGFONTW font{};
        font.lfHeight = -12;
        font.lfCharSet = DEFAULT_CHARSET;
        lstrcpynW(font.lfFaceName, L"MS Shell Dlg 2", LF_FACESIZE);
        return font;
    }
    return metrics.lfMessageFont;
}

} // namespace

UINT systemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen != nullptr) {
        ReleaseDC(nullptr, screen);
    }
    const UINT found = usable(static_cast<UINT>(dpi > 0 ? dpi : 0));
    return found != 0 ? found : DesignDpi;
}

UINT windowDpi(HWND window) {
    if (window != nullptr) {
        if (const auto function = getDpiForWindow()) {
            if (const UINT dpi = usable(function(window))) {
                return dpi;
            }
        }
        if (const auto function = getDpiForMonitor()) {
            UINT x = 0;
            UINT y = 0;
            HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
            if (monitor != nullptr && SUCCEEDED(function(monitor, 0, &x, &y))) {
                if (const UINT dpi = usable(y)) {
                    return dpi;
                }
            }
        }
    }
    return systemDpi();
}

HFONT createMessageFont(UINT dpi) {
    LOGFONTW font{};
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (const auto function = systemParametersInfoForDpi();
        function != nullptr &&
        function(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) {
        font = metrics.lfMessageFont;
    } else {
        font = systemMessageFont();
        font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(systemDpi()));
    }
    return CreateFontIndirectW(&font);
}

HFONT createFixedFont(int points, UINT dpi) {
    LOGFONTW font{};
    font.lfHeight = -MulDiv(points, static_cast<int>(dpi), 72);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = CLEARTYPE_QUALITY;
    font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    for (const wchar_t* face : {L"Consolas", L"Courier New"}) {
        lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
        HFONT made = CreateFontIndirectW(&font);
        // A face the system lacks is replaced by another; keep looking then.
        HDC screen = GetDC(nullptr);
        HGDIOBJ old = SelectObject(screen, made);
        wchar_t chosen[LF_FACESIZE] = {};
        GetTextFaceW(screen, LF_FACESIZE, chosen);
        SelectObject(screen, old);
        ReleaseDC(nullptr, screen);
        if (lstrcmpiW(chosen, face) == 0) {
            return made;
        }
        DeleteObject(made);
    }
    font.lfFaceName[0] = L'\0';
    return CreateFontIndirectW(&font);
}

SIZE textSize(HFONT font, std::wstring_view text) {
    SIZE size{};
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, font);
    RECT rect{0, 0, 0, 0};
    // DrawText, as the controls draw, with the system's font fallback for
    // characters the font lacks.
    DrawTextW(screen, text.data(), static_cast<int>(text.size()), &rect,
              DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    size.cx = rect.right - rect.left;
    size.cy = rect.bottom - rect.top;
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    return size;
}

int wrappedTextHeight(HFONT font, std::wstring_view text, int width) {
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, font);
    RECT rect{0, 0, width, 0};
    DrawTextW(screen, text.data(), static_cast<int>(text.size()), &rect,
              DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    return rect.bottom - rect.top;
}

int lineHeight(HFONT font) {
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(screen, &metrics);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    return static_cast<int>(metrics.tmHeight + metrics.tmExternalLeading);
}

SIZE windowSizeForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, UINT dpi) {
    RECT frame{0, 0, clientWidth, clientHeight};
    const auto function = adjustWindowRectExForDpi();
    if (function == nullptr || !function(&frame, style, FALSE, exStyle, dpi)) {
        frame = RECT{0, 0, clientWidth, clientHeight};
        AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    }
    return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

bool takeDpiChange(HWND window, UiScale& scale, WPARAM wParam, LPARAM lParam) {
    const UINT dpi = usable(HIWORD(wParam));
    if (const auto* suggested = reinterpret_cast<const RECT*>(lParam)) {
        SetWindowPos(window, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (dpi == 0 || dpi == scale.dpi) {
        return false;
    }
    scale.dpi = dpi;
    return true;
}

void setControlFont(HWND control, HFONT font) {
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}
