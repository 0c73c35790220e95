// The studio at the DPI of its monitor: its fonts, the sizes its layout is
// made of, its first size on the screen, and where the editor's visible lines
// stand (for the line numbers beside them).

#include "front_end.h"

#include <richedit.h>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int DesignWidth = 1100;
constexpr int DesignHeight = 760;

// The width a push button needs for its text: the text and a margin each side.
int buttonWidth(HWND button, HFONT font, UiScale scale) {
    wchar_t label[128] = {};
    GetWindowTextW(button, label, 128);
    return textSize(font, label).cx + scaled(scale, 16);
}

// The line numbers' font: the editor's face, its cell as high as a line.
void makeGutterFont(int height) {
    if (studio.gutterFont != nullptr && lineHeight(studio.gutterFont) == height) {
        return;
    }
    if (studio.gutterFont != nullptr) {
        DeleteObject(studio.gutterFont);
    }
    LOGFONTW font{};
    font.lfHeight = height; // positive: the cell's height
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = CLEARTYPE_QUALITY;
    font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    lstrcpynW(font.lfFaceName, L"Consolas", LF_FACESIZE);
    studio.gutterFont = CreateFontIndirectW(&font);
}

int editorLineSpacing(HWND editor, LONG first, LONG second) {
    POINTL top{};
    POINTL below{};
    SendMessageW(editor, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&top), first);
    SendMessageW(editor, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&below), second);
    return below.y - top.y;
}

void setEditorPoints(HWND editor, int twips) {
    CHARFORMAT2W format{};
    format.cbSize = sizeof(format);
    format.dwMask = CFM_SIZE;
    format.yHeight = twips;
    // The default for text yet to come (a script loaded, a line typed), and
    // the text there is.
    SendMessageW(editor, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    SendMessageW(editor, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
}

} // namespace

void scaleEditorFont() {
    HWND editor = studio.editor;
    const UINT dpi = studio.scale.dpi;
    if (dpi != DesignDpi && GetWindowTextLengthW(editor) == 0) {
        // Two lines at the design size tell whether their height is the
        // font's at 96 DPI or at this one. Wine 8's control keeps 96.
        setEditorPoints(editor, EditorPoints * 20);
        SetWindowTextW(editor, L"0\r0");
        const int spacing = editorLineSpacing(editor, 0, 2);
        SetWindowTextW(editor, L"");
        HFONT atDesign = createFixedFont(EditorPoints, DesignDpi);
        HFONT atScale = createFixedFont(EditorPoints, dpi);
        studio.editorScalesItself =
            std::abs(spacing - lineHeight(atScale)) < std::abs(spacing - lineHeight(atDesign));
        DeleteObject(atDesign);
        DeleteObject(atScale);
    }
    const int twips = EditorPoints * 20;
    setEditorPoints(editor, studio.editorScalesItself
                                ? twips
                                : MulDiv(twips, static_cast<int>(dpi), DesignDpi));
}

void makeStudioFonts() {
    HFONT oldUi = studio.uiFont;
    studio.uiFont = createMessageFont(studio.scale.dpi);
    for (HWND control : studio.toolButtons) {
        setControlFont(control, studio.uiFont);
    }
    for (HWND control : {studio.problems, studio.commandList, studio.commandForm,
                         studio.commandText, studio.completion, studio.statusPlace,
                         studio.statusState, studio.statusFormat, studio.runLog}) {
        if (control != nullptr) {
            setControlFont(control, studio.uiFont);
        }
    }
    if (oldUi != nullptr) {
        DeleteObject(oldUi);
    }
    const int extent = scaled(studio.scale, 3000);
    for (HWND list : {studio.problems, studio.runLog}) {
        if (list != nullptr) {
            SendMessageW(list, LB_SETHORIZONTALEXTENT, extent, 0);
        }
    }
}

StudioMetrics studioMetrics() {
    const UiScale scale = studio.scale;
    StudioMetrics metrics;
    const int line = lineHeight(studio.uiFont);
    metrics.gap = scaled(scale, 4);
    metrics.buttonHeight = std::max(scaled(scale, 26), line + scaled(scale, 10));
    metrics.toolbarHeight = metrics.buttonHeight + scaled(scale, 4);
    for (HWND button : studio.toolButtons) {
        metrics.buttonWidths.push_back(
            std::max(scaled(scale, 64), buttonWidth(button, studio.uiFont, scale)));
    }
    metrics.statusHeight = line + scaled(scale, 8);
    metrics.problemsHeight = scaled(scale, 130);
    metrics.commandPaneWidth = scaled(scale, 300);
    metrics.commandTextHeight = scaled(scale, 110);
    RECT form{};
    if (studio.commandForm != nullptr) {
        GetWindowRect(studio.commandForm, &form);
    }
    metrics.commandFormHeight = std::max<int>(form.bottom - form.top, line + scaled(scale, 8));
    metrics.gutterWidth = gutterWidth();
    return metrics;
}

SIZE initialWindowSize(DWORD style) {
    const UINT dpi = systemDpi();
    const UiScale scale{dpi};
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    // The design size at the scale, but never larger than the screen offers.
    SIZE size =
        windowSizeForClient(scaled(scale, DesignWidth), scaled(scale, DesignHeight), style, 0, dpi);
    size.cx = std::min<LONG>(size.cx, (work.right - work.left) * 19 / 20);
    size.cy = std::min<LONG>(size.cy, (work.bottom - work.top) * 19 / 20);
    return size;
}

VisibleLines visibleLines() {
    VisibleLines lines;
    lines.first = static_cast<int>(SendMessageW(studio.editor, EM_GETFIRSTVISIBLELINE, 0, 0));
    const LRESULT start = SendMessageW(studio.editor, EM_LINEINDEX, lines.first, 0);
    POINTL at{};
    SendMessageW(studio.editor, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), start);
    lines.top = at.y;
    // Every line has the one height (one font, no wrapping): the second line's
    // place tells it. With one line only, the font's height does.
    const LRESULT next = SendMessageW(studio.editor, EM_LINEINDEX, lines.first + 1, 0);
    if (next > start) {
        POINTL below{};
        SendMessageW(studio.editor, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&below), next);
        lines.height = below.y - at.y;
    }
    if (lines.height <= 0) {
        HFONT font = createFixedFont(EditorPoints, studio.scale.dpi);
        lines.height = lineHeight(font);
        DeleteObject(font);
    }
    makeGutterFont(lines.height);
    return lines;
}
