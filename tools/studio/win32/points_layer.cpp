// The points layer: one layered window over the virtual screen, drawn into a
// 32-bit bitmap of its size and handed to the system with UpdateLayeredWindow;
// what lies outside the marks is fully transparent. The window itself takes
// no input (WS_EX_TRANSPARENT): clicks and keys go to the windows below. A
// low-level mouse hook of the layer's thread takes the presses that fall on a
// mark, and the moves and release that follow, and lets everything else pass;
// a keyboard hook takes Esc. (Under Wine 8 a layered window's transparent
// pixels still take the clicks, and a window region of thousands of marks is
// more than the X server takes in one request: neither can let clicks through.)
// The hooks run only on input, so nothing is polled. Each mark leaves the
// pixel it stands on uncovered, for the eye, the magnifier and the colour read.
// A change redraws the rectangle it touches and hands only that on.

#include "points_layer.h"
#include "spy_screen.h"
#include "text_codes.h"
#include "ui_text.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

constexpr wchar_t LayerClass[] = L"ScriptPointsLayer";
constexpr int MaxMarkRects = 16;
// The layer is a grid of windows, each showing its part of the one picture:
// Wine gives a layered window the shape of its opaque pixels in one X request,
// and one window with the marks of thousands of places is more than the X
// server takes in one (the program then ends with an X error).
constexpr int TileColumns = 4;
constexpr int TileRows = 4;
constexpr int TileCount = TileColumns * TileRows;
// Posted to the layer by its hooks, so that handlers run outside them.
constexpr UINT MarkPressed = WM_APP + 1;
constexpr UINT MarkMoved = WM_APP + 2;
constexpr UINT MarkReleased = WM_APP + 3;
constexpr UINT EscapePressed = WM_APP + 4;
// A click passed through to a window below: the layer goes over it again once
// that window has come forward.
constexpr UINT ClickPassed = WM_APP + 5;
constexpr UINT_PTR RaiseTimer = 1;
constexpr UINT RaiseDelayMs = 150;

struct Mark {
    Place place;
    std::uint32_t colourNow = 0;
    bool over = true; // the colour wait would be over now
    RECT rects[MaxMarkRects] = {};
    int rectCount = 0;
    RECT bounds{};
    RECT label{};
    RECT swatches{}; // expected, then now; empty for no colour place
    RECT notOver{};  // empty unless the wait would not be over
    std::wstring text;
};

struct Layer {
    HWND window = nullptr; // the first tile, which the hooks post to
    HWND tiles[TileCount] = {};
    RECT tileRects[TileCount] = {}; // in layer coordinates
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ oldBitmap = nullptr;
    std::uint32_t* bits = nullptr;
    POINT origin{}; // the virtual screen's top left corner
    SIZE size{};
    int dpi = 96;
    HFONT font = nullptr;
    HGDIOBJ oldFont = nullptr;
    std::vector<Mark> marks;
    PointsLayerEvents events;
    int currentLine = 0;
    // A press on a mark, and the drag it became.
    int pressed = -1;
    POINT pressedAt{};
    bool dragging = false;
    Magnifier magnifier;
    RECT magnifierRect{}; // empty while no drag
    HHOOK mouseHook = nullptr;
    HHOOK keyHook = nullptr;
};

Layer layer;
UiLanguage language = UiLanguage::English;

std::wstring layerText(TextId id) {
    return fromGbk(uiText(id, language));
}

int scaled(int value) {
    return MulDiv(value, layer.dpi, 96);
}

bool isEmpty(const RECT& rect) {
    return rect.right <= rect.left || rect.bottom <= rect.top;
}

RECT unite(const RECT& a, const RECT& b) {
    if (isEmpty(a)) {
        return b;
    }
    if (isEmpty(b)) {
        return a;
    }
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

bool meets(const RECT& a, const RECT& b) {
    RECT both;
    return IntersectRect(&both, &a, &b) != FALSE;
}

COLORREF frameColour(const Mark& mark) {
    if (!mark.place.played || !mark.place.placed) {
        return RGB(128, 128, 128);
    }
    switch (mark.place.kind) {
    case PlaceKind::MoveTo:
        return RGB(0, 90, 220);
    case PlaceKind::MoveToRelWin:
        return RGB(150, 60, 200);
    default:
        return RGB(230, 110, 0);
    }
}

const wchar_t* clickWord(ClickKind kind) {
    switch (kind) {
    case ClickKind::Single:
        return L" L";
    case ClickKind::Double:
        return L" LL";
    case ClickKind::Right:
        return L" R";
    case ClickKind::Middle:
        return L" M";
    }
    return L"";
}

std::wstring labelText(const Place& place) {
    std::wstring text = std::to_wstring(place.line);
    for (const PlaceClick& click : place.clicks) {
        text += clickWord(click.kind);
    }
    if (place.kind == PlaceKind::MoveToRelWin) {
        text += layerText(place.placed ? TextId::StudioPointsWindowInFront
                                       : TextId::StudioPointsNoWindow);
    } else if (!place.placed) {
        text += layerText(TextId::StudioPointsScreenEdge);
    }
    if (!place.played) {
        text += layerText(TextId::StudioPointsNotPlayed);
    }
    return text;
}

// The colour a line expects as a value, when it is six hexadecimal digits.
bool expectedColour(const std::string& text, COLORREF& colour) {
    if (text.size() != 6) {
        return false;
    }
    unsigned value = 0;
    for (char digit : text) {
        value <<= 4;
        if (digit >= '0' && digit <= '9') {
            value |= static_cast<unsigned>(digit - '0');
        } else if (digit >= 'A' && digit <= 'F') {
            value |= static_cast<unsigned>(digit - 'A' + 10);
        } else if (digit >= 'a' && digit <= 'f') {
            value |= static_cast<unsigned>(digit - 'a' + 10);
        } else {
            return false;
        }
    }
    colour = RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
    return true;
}

void addRect(Mark& mark, RECT rect) {
    if (mark.rectCount < MaxMarkRects && !isEmpty(rect)) {
        mark.rects[mark.rectCount++] = rect;
        mark.bounds = unite(mark.bounds, rect);
    }
}

// The frame around the pixel leaves a square of `hole` pixels each side of it
// clear, wider than the magnifier reaches.
void layoutMark(Mark& mark) {
    mark.rectCount = 0;
    mark.bounds = {};
    const int cx = mark.place.pixelX - layer.origin.x;
    const int cy = mark.place.pixelY - layer.origin.y;
    const int hole = std::max(MagnifiedPixels / 2 + 1, scaled(6));
    const int thick = std::max(2, scaled(2));
    const int outer = hole + thick;
    const int tick = scaled(6);
    addRect(mark, RECT{cx - outer, cy - outer, cx + outer + 1, cy - hole});
    addRect(mark, RECT{cx - outer, cy + hole + 1, cx + outer + 1, cy + outer + 1});
    addRect(mark, RECT{cx - outer, cy - hole, cx - hole, cy + hole + 1});
    addRect(mark, RECT{cx + hole + 1, cy - hole, cx + outer + 1, cy + hole + 1});
    const int half = thick / 2;
    addRect(mark, RECT{cx - half, cy - outer - tick, cx - half + thick, cy - outer});
    addRect(mark, RECT{cx - half, cy + outer + 1, cx - half + thick, cy + outer + 1 + tick});
    addRect(mark, RECT{cx - outer - tick, cy - half, cx - outer, cy - half + thick});
    addRect(mark, RECT{cx + outer + 1, cy - half, cx + outer + 1 + tick, cy - half + thick});

    mark.text = labelText(mark.place);
    SIZE extent{};
    GetTextExtentPoint32W(layer.dc, mark.text.c_str(), static_cast<int>(mark.text.size()), &extent);
    const int pad = scaled(3);
    const int height = extent.cy + 2 * pad;
    const int left = cx + outer + scaled(4);
    const int top = cy - outer - height;
    mark.label = RECT{left, top, left + extent.cx + 2 * pad, top + height};
    addRect(mark, mark.label);
    mark.swatches = {};
    mark.notOver = {};
    if (isColourPlace(mark.place)) {
        mark.swatches = RECT{mark.label.right, top, mark.label.right + 2 * height, top + height};
        addRect(mark, mark.swatches);
        if (!mark.over) {
            mark.notOver =
                RECT{mark.swatches.right, top, mark.swatches.right + height, top + height};
            addRect(mark, mark.notOver);
        }
    }
    if (mark.place.line == layer.currentLine && layer.currentLine != 0) {
        const int ring = std::max(3, scaled(3));
        RECT all = mark.bounds;
        InflateRect(&all, ring + 1, ring + 1);
        addRect(mark, RECT{all.left, all.top, all.right, all.top + ring});
        addRect(mark, RECT{all.left, all.bottom - ring, all.right, all.bottom});
        addRect(mark, RECT{all.left, all.top + ring, all.left + ring, all.bottom - ring});
        addRect(mark, RECT{all.right - ring, all.top + ring, all.right, all.bottom - ring});
    }
}

void fill(const RECT& rect, COLORREF colour) {
    SetDCBrushColor(layer.dc, colour);
    FillRect(layer.dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void drawMark(const Mark& mark) {
    const COLORREF frame = frameColour(mark);
    for (int i = 0; i < mark.rectCount; ++i) {
        fill(mark.rects[i], frame);
    }
    if (mark.place.line == layer.currentLine && layer.currentLine != 0) {
        for (int i = mark.rectCount - 4; i < mark.rectCount; ++i) {
            fill(mark.rects[i], RGB(255, 215, 0));
        }
    }
    RECT label = mark.label;
    fill(label, frame);
    const int border = std::max(1, scaled(1));
    InflateRect(&label, -border, -border);
    fill(label, RGB(255, 255, 255));
    SetTextColor(layer.dc, mark.place.played ? RGB(20, 20, 20) : RGB(110, 110, 110));
    SetBkMode(layer.dc, TRANSPARENT);
    DrawTextW(layer.dc, mark.text.c_str(), static_cast<int>(mark.text.size()), &label,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (!isEmpty(mark.swatches)) {
        RECT expected = mark.swatches;
        expected.right = (expected.left + expected.right) / 2;
        RECT now = mark.swatches;
        now.left = expected.right;
        fill(mark.swatches, frame);
        InflateRect(&expected, -border, -border);
        InflateRect(&now, -border, -border);
        COLORREF wanted;
        if (expectedColour(mark.place.colour, wanted)) {
            fill(expected, wanted);
        } else {
            // No colour a pixel can have: grey with a question mark.
            fill(expected, RGB(200, 200, 200));
            DrawTextW(layer.dc, L"?", 1, &expected, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        }
        fill(now, mark.colourNow & 0xFFFFFF);
    }
    if (!isEmpty(mark.notOver)) {
        // The wait would not be over: a white cross on red.
        fill(mark.notOver, RGB(220, 0, 0));
        RECT cross = mark.notOver;
        SetTextColor(layer.dc, RGB(255, 255, 255));
        DrawTextW(layer.dc, L"X", 1, &cross, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
}

void opaque(const RECT& rect, const RECT& clip) {
    RECT part;
    if (!IntersectRect(&part, &rect, &clip)) {
        return;
    }
    for (LONG y = part.top; y < part.bottom; ++y) {
        std::uint32_t* row = layer.bits + static_cast<std::size_t>(y) * layer.size.cx;
        for (LONG x = part.left; x < part.right; ++x) {
            row[x] |= 0xFF000000u;
        }
    }
}

void present(const RECT& dirty) {
    GdiFlush();
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    for (int tile = 0; tile < TileCount; ++tile) {
        const RECT& area = layer.tileRects[tile];
        RECT part;
        if (layer.tiles[tile] == nullptr || !IntersectRect(&part, &dirty, &area)) {
            continue;
        }
        POINT target{layer.origin.x + area.left, layer.origin.y + area.top};
        SIZE size{area.right - area.left, area.bottom - area.top};
        POINT source{area.left, area.top};
        OffsetRect(&part, -area.left, -area.top);
        UPDATELAYEREDWINDOWINFO info{};
        info.cbSize = sizeof info;
        info.pptDst = &target;
        info.psize = &size;
        info.hdcSrc = layer.dc;
        info.pptSrc = &source;
        info.pblend = &blend;
        info.dwFlags = ULW_ALPHA;
        info.prcDirty = &part;
        if (!UpdateLayeredWindowIndirect(layer.tiles[tile], &info)) {
            UpdateLayeredWindow(layer.tiles[tile], nullptr, &target, &size, layer.dc, &source, 0,
                                &blend, ULW_ALPHA);
        }
    }
}

// Draws again what lies in `dirty` (layer coordinates) and hands it on.
void redraw(RECT dirty) {
    const RECT all{0, 0, layer.size.cx, layer.size.cy};
    if (!IntersectRect(&dirty, &dirty, &all)) {
        return;
    }
    for (LONG y = dirty.top; y < dirty.bottom; ++y) {
        std::memset(layer.bits + static_cast<std::size_t>(y) * layer.size.cx + dirty.left, 0,
                    static_cast<std::size_t>(dirty.right - dirty.left) * sizeof(std::uint32_t));
    }
    const int saved = SaveDC(layer.dc);
    IntersectClipRect(layer.dc, dirty.left, dirty.top, dirty.right, dirty.bottom);
    for (const Mark& mark : layer.marks) {
        if (meets(mark.bounds, dirty)) {
            drawMark(mark);
        }
    }
    if (!isEmpty(layer.magnifierRect) && meets(layer.magnifierRect, dirty)) {
        fill(layer.magnifierRect, RGB(20, 20, 20));
        const int border = std::max(1, scaled(1));
        paintMagnifier(layer.magnifier, layer.dc,
                       POINT{layer.magnifierRect.left + border, layer.magnifierRect.top + border});
    }
    RestoreDC(layer.dc, saved);
    // GDI leaves the alpha alone: every pixel a mark covers is made opaque.
    for (const Mark& mark : layer.marks) {
        if (meets(mark.bounds, dirty)) {
            for (int i = 0; i < mark.rectCount; ++i) {
                opaque(mark.rects[i], dirty);
            }
        }
    }
    opaque(layer.magnifierRect, dirty);
    present(dirty);
}

// The colours now of the colour places, read off the screen in one copy of the
// rectangle they span. Each mark leaves its own pixel uncovered.
void readColours() {
    RECT span{};
    for (const Mark& mark : layer.marks) {
        if (isColourPlace(mark.place)) {
            span = unite(span, RECT{mark.place.pixelX, mark.place.pixelY, mark.place.pixelX + 1,
                                    mark.place.pixelY + 1});
        }
    }
    if (isEmpty(span)) {
        return;
    }
    const RECT screen{layer.origin.x, layer.origin.y, layer.origin.x + layer.size.cx,
                      layer.origin.y + layer.size.cy};
    RECT readable{};
    IntersectRect(&readable, &span, &screen);
    const LONG width = std::max<LONG>(readable.right - readable.left, 1);
    const LONG height = std::max<LONG>(readable.bottom - readable.top, 1);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* pixels = nullptr;
    HDC screenDc = GetDC(nullptr);
    HDC copy = CreateCompatibleDC(screenDc);
    HBITMAP bitmap = CreateDIBSection(screenDc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    HGDIOBJ old = SelectObject(copy, bitmap);
    const bool copied =
        pixels != nullptr && !isEmpty(readable) &&
        BitBlt(copy, 0, 0, width, height, screenDc, readable.left, readable.top, SRCCOPY) != FALSE;
    GdiFlush();
    for (Mark& mark : layer.marks) {
        if (!isColourPlace(mark.place)) {
            continue;
        }
        const POINT at{mark.place.pixelX, mark.place.pixelY};
        std::uint32_t colour = 0xFFFFFFFF; // as GetPixel gives a pixel off the screen
        if (PtInRect(&readable, at)) {
            if (copied) {
                const std::uint32_t bgr = static_cast<const std::uint32_t*>(
                    pixels)[(at.y - readable.top) * width + (at.x - readable.left)];
                colour = ((bgr >> 16) & 0xFF) | (bgr & 0xFF00) | ((bgr & 0xFF) << 16);
            } else {
                colour = GetPixel(screenDc, at.x, at.y);
            }
        }
        mark.colourNow = colour;
        mark.over = waitOverNow(mark.place, colour);
    }
    SelectObject(copy, old);
    DeleteObject(bitmap);
    DeleteDC(copy);
    ReleaseDC(nullptr, screenDc);
}

Mark markOf(const Place& place) {
    Mark mark;
    mark.place = place;
    return mark;
}

void setMarks(const std::vector<Place>& places) {
    layer.marks.clear();
    layer.marks.reserve(places.size());
    for (const Place& place : places) {
        layer.marks.push_back(markOf(place));
    }
    readColours();
    for (Mark& mark : layer.marks) {
        layoutMark(mark);
    }
}

int markAt(POINT point) {
    for (int index = static_cast<int>(layer.marks.size()) - 1; index >= 0; --index) {
        const Mark& mark = layer.marks[index];
        if (!PtInRect(&mark.bounds, point)) {
            continue;
        }
        for (int i = 0; i < mark.rectCount; ++i) {
            if (PtInRect(&mark.rects[i], point)) {
                return index;
            }
        }
    }
    return -1;
}

// Moves the pressed mark to the pixel under the pointer, with the magnifier
// below and to the right of it (or wherever it fits on the screen).
void dragTo(POINT client) {
    Mark& mark = layer.marks[layer.pressed];
    RECT dirty = unite(mark.bounds, layer.magnifierRect);
    mark.place.pixelX = client.x + layer.origin.x;
    mark.place.pixelY = client.y + layer.origin.y;
    layoutMark(mark);
    const int border = std::max(1, scaled(1));
    const int size = MagnifierSize + 2 * border;
    const int gap = scaled(28);
    int left = client.x + gap;
    int top = client.y + gap;
    if (left + size > layer.size.cx) {
        left = client.x - gap - size;
    }
    if (top + size > layer.size.cy) {
        top = client.y - gap - size;
    }
    layer.magnifierRect = RECT{left, top, left + size, top + size};
    captureMagnifier(layer.magnifier, POINT{mark.place.pixelX, mark.place.pixelY});
    dirty = unite(dirty, unite(mark.bounds, layer.magnifierRect));
    redraw(dirty);
}

void endDrag() {
    RECT dirty = layer.magnifierRect;
    if (layer.dragging) {
        destroyMagnifier(layer.magnifier);
    }
    layer.magnifierRect = {};
    layer.dragging = false;
    layer.pressed = -1;
    if (!isEmpty(dirty)) {
        redraw(dirty);
    }
}

void pressed(POINT client) {
    layer.pressed = markAt(client);
    layer.pressedAt = client;
    layer.dragging = false;
}

void moved(POINT client) {
    if (layer.pressed < 0) {
        return;
    }
    if (!layer.dragging) {
        if (std::abs(client.x - layer.pressedAt.x) <= GetSystemMetrics(SM_CXDRAG) &&
            std::abs(client.y - layer.pressedAt.y) <= GetSystemMetrics(SM_CYDRAG)) {
            return;
        }
        layer.dragging = true;
        layer.magnifier = createMagnifier();
    }
    dragTo(client);
}

void released(POINT client) {
    if (layer.pressed < 0) {
        return;
    }
    const int index = layer.pressed;
    const bool dragged = layer.dragging;
    if (dragged) {
        dragTo(client);
    }
    const Place place = layer.marks[index].place;
    endDrag();
    // Last: a handler may update or hide the layer.
    const PointsLayerEvents events = layer.events;
    if (dragged && events.markDropped != nullptr) {
        events.markDropped(events.context, place.line, place.pixelX, place.pixelY);
    } else if (!dragged && events.markClicked != nullptr) {
        events.markClicked(events.context, place.line);
    }
}

POINT clientPoint(LPARAM lParam) {
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

LPARAM clientParam(POINT screen) {
    return MAKELPARAM(static_cast<short>(screen.x - layer.origin.x),
                      static_cast<short>(screen.y - layer.origin.y));
}

// Above every window again. A window that comes to the front (the user clicked
// it through the layer) is raised over the layer under Wine 8, topmost or not.
void keepOnTop() {
    for (HWND tile : layer.tiles) {
        if (tile != nullptr) {
            SetWindowPos(tile, HWND_TOPMOST, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
        }
    }
}

// A press on a mark is the layer's, with the moves and the release after it;
// the release is posted with the pointer's place, the moves only when the
// layer has drawn the last one (a drag skips the moves it falls behind).
LRESULT CALLBACK mouseHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && layer.window != nullptr) {
        const auto* event = reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
        const POINT client{event->pt.x - layer.origin.x, event->pt.y - layer.origin.y};
        if (wParam == WM_LBUTTONDOWN && layer.pressed < 0 && markAt(client) >= 0) {
            layer.pressed = markAt(client);
            PostMessageW(layer.window, MarkPressed, 0, clientParam(event->pt));
            return 1;
        }
        if (layer.pressed < 0 &&
            (wParam == WM_LBUTTONUP || wParam == WM_RBUTTONUP || wParam == WM_MBUTTONUP)) {
            PostMessageW(layer.window, ClickPassed, 0, 0);
        }
        if (layer.pressed >= 0 && wParam == WM_MOUSEMOVE) {
            PostMessageW(layer.window, MarkMoved, 0, clientParam(event->pt));
        } else if (layer.pressed >= 0 && wParam == WM_LBUTTONUP) {
            PostMessageW(layer.window, MarkReleased, 0, clientParam(event->pt));
            return 1;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK keyHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && layer.window != nullptr &&
        reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam)->vkCode == VK_ESCAPE) {
        if (wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN) {
            PostMessageW(layer.window, EscapePressed, 0, 0);
        }
        return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK layerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case MarkPressed: {
        const int index = layer.pressed;
        pressed(clientPoint(lParam));
        layer.pressed = index;
        return 0;
    }
    case MarkMoved: {
        // Only the newest move counts.
        MSG newer;
        while (PeekMessageW(&newer, window, MarkMoved, MarkMoved, PM_REMOVE)) {
            lParam = newer.lParam;
        }
        moved(clientPoint(lParam));
        return 0;
    }
    case MarkReleased:
        released(clientPoint(lParam));
        return 0;
    case ClickPassed:
        SetTimer(window, RaiseTimer, RaiseDelayMs, nullptr);
        return 0;
    case WM_TIMER:
        if (wParam == RaiseTimer) {
            KillTimer(window, RaiseTimer);
            keepOnTop();
        }
        return 0;
    case EscapePressed: {
        if (layer.pressed >= 0) {
            endDrag();
        }
        const PointsLayerEvents events = layer.events;
        if (events.escapePressed != nullptr) {
            events.escapePressed(events.context);
        }
        return 0;
    }
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void destroyTiles() {
    for (HWND& tile : layer.tiles) {
        if (tile != nullptr) {
            DestroyWindow(tile);
        }
        tile = nullptr;
    }
    layer.window = nullptr;
}

bool createLayer() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    if (!GetClassInfoW(instance, LayerClass, &windowClass)) {
        windowClass.lpfnWndProc = layerProcedure;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        windowClass.lpszClassName = LayerClass;
        if (RegisterClassW(&windowClass) == 0) {
            return false;
        }
    }
    layer.origin = POINT{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN)};
    layer.size = SIZE{GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    for (int tile = 0; tile < TileCount; ++tile) {
        const int column = tile % TileColumns;
        const int row = tile / TileColumns;
        RECT& area = layer.tileRects[tile];
        area =
            RECT{layer.size.cx * column / TileColumns, layer.size.cy * row / TileRows,
                 layer.size.cx * (column + 1) / TileColumns, layer.size.cy * (row + 1) / TileRows};
        layer.tiles[tile] = CreateWindowExW(
            WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE,
            LayerClass, L"Script points", WS_POPUP, layer.origin.x + area.left,
            layer.origin.y + area.top, area.right - area.left, area.bottom - area.top, nullptr,
            nullptr, instance, nullptr);
        if (layer.tiles[tile] == nullptr) {
            destroyTiles();
            return false;
        }
    }
    layer.window = layer.tiles[0];
    HDC screen = GetDC(nullptr);
    layer.dpi = GetDeviceCaps(screen, LOGPIXELSY);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = layer.size.cx;
    info.bmiHeader.biHeight = -layer.size.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    layer.dc = CreateCompatibleDC(screen);
    layer.bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (layer.bitmap == nullptr) {
        destroyTiles();
        DeleteDC(layer.dc);
        layer = Layer{};
        return false;
    }
    layer.bits = static_cast<std::uint32_t*>(bits);
    layer.oldBitmap = SelectObject(layer.dc, layer.bitmap);
    layer.font = CreateFontW(-MulDiv(9, layer.dpi, 72), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                             DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             ANTIALIASED_QUALITY, DEFAULT_PITCH, L"Tahoma");
    layer.oldFont = SelectObject(layer.dc, layer.font);
    return true;
}

int indexOfLine(int line) {
    for (std::size_t index = 0; index < layer.marks.size(); ++index) {
        if (layer.marks[index].place.line == line) {
            return static_cast<int>(index);
        }
    }
    return -1;
}

// The hooks that take presses on the marks and Esc, out (true) or in.
void setHooks(bool paused) {
    if (layer.window == nullptr) {
        return;
    }
    if (paused) {
        if (layer.pressed >= 0) {
            endDrag();
        }
        if (layer.mouseHook != nullptr) {
            UnhookWindowsHookEx(layer.mouseHook);
        }
        if (layer.keyHook != nullptr) {
            UnhookWindowsHookEx(layer.keyHook);
        }
        layer.mouseHook = nullptr;
        layer.keyHook = nullptr;
    } else if (layer.mouseHook == nullptr) {
        HINSTANCE instance = GetModuleHandleW(nullptr);
        layer.mouseHook = SetWindowsHookExW(WH_MOUSE_LL, mouseHook, instance, 0);
        layer.keyHook = SetWindowsHookExW(WH_KEYBOARD_LL, keyHook, instance, 0);
    }
}

} // namespace

bool showPointsLayer(const std::vector<Place>& places, const PointsLayerEvents& events) {
    if (layer.window == nullptr && !createLayer()) {
        return false;
    }
    layer.events = events;
    layer.pressed = -1;
    setMarks(places);
    redraw(RECT{0, 0, layer.size.cx, layer.size.cy});
    for (HWND tile : layer.tiles) {
        ShowWindow(tile, SW_SHOWNOACTIVATE);
    }
    setHooks(false);
    return true;
}

void updatePointsLayer(const std::vector<Place>& places) {
    if (layer.window == nullptr) {
        return;
    }
    setMarks(places);
    redraw(RECT{0, 0, layer.size.cx, layer.size.cy});
}

void updatePointsLayerPlace(const Place& place) {
    if (layer.window == nullptr) {
        return;
    }
    int index = indexOfLine(place.line);
    RECT dirty{};
    if (index < 0) {
        layer.marks.push_back(markOf(place));
        index = static_cast<int>(layer.marks.size()) - 1;
    } else {
        dirty = layer.marks[index].bounds;
        layer.marks[index].place = place;
    }
    Mark& mark = layer.marks[index];
    if (isColourPlace(mark.place)) {
        HDC screen = GetDC(nullptr);
        mark.colourNow = GetPixel(screen, mark.place.pixelX, mark.place.pixelY);
        ReleaseDC(nullptr, screen);
        mark.over = waitOverNow(mark.place, mark.colourNow);
    }
    layoutMark(mark);
    redraw(unite(dirty, mark.bounds));
}

void markCurrentPoint(int line) {
    if (layer.window == nullptr || line == layer.currentLine) {
        return;
    }
    RECT dirty{};
    const int before = indexOfLine(layer.currentLine);
    layer.currentLine = line;
    for (int index : {before, indexOfLine(line)}) {
        if (index >= 0) {
            dirty = unite(dirty, layer.marks[index].bounds);
            layoutMark(layer.marks[index]);
            dirty = unite(dirty, layer.marks[index].bounds);
        }
    }
    redraw(dirty);
}

void hidePointsLayer() {
    if (layer.window == nullptr) {
        return;
    }
    if (layer.dragging) {
        destroyMagnifier(layer.magnifier);
    }
    setHooks(true);
    destroyTiles();
    SelectObject(layer.dc, layer.oldFont);
    SelectObject(layer.dc, layer.oldBitmap);
    DeleteObject(layer.font);
    DeleteObject(layer.bitmap);
    DeleteDC(layer.dc);
    layer = Layer{};
}

void setPointsLayerLanguage(UiLanguage uiLanguage) {
    language = uiLanguage;
}

bool pointsLayerShown() {
    return layer.window != nullptr;
}
