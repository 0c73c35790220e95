// The studio's points under Wine: the places of a 10,000-line script with
// 2,000 of them found and the points layer shown with its first full draw,
// against a bare layered window of the same size drawn once; both in this
// process, alternately, in the same run. And the processor time the layer
// takes while nothing moves.

#include "points.h"
#include "benchmarks.h"
#include "points_layer.h"
#include "report.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace bench {

namespace {

constexpr int ScriptLines = 10000;
constexpr int LinesPerPlace = 5;
constexpr int Runs = 7;
constexpr DWORD IdleMs = 1000;

bool asciiOnly(std::string_view, std::string&) {
    return false; // the script is ASCII
}

// Groups of five lines, each with one place: three of four a MoveTo with its
// click, the fourth a WaitColor; spread over the screen.
std::string benchScript(int width, int height) {
    std::string script = "Start No Box\n";
    for (int group = 0; group < ScriptLines / LinesPerPlace; ++group) {
        const int x = (group * 97) % width;
        const int y = (group * 61) % height;
        if (group % 4 == 3) {
            script += "WaitColor " + std::to_string(x) + " " + std::to_string(y) + " 000000\n";
        } else {
            script += "MoveTo " + std::to_string(x) + " " + std::to_string(y) + "\n";
        }
        script += group % 4 == 3 ? "REM colour\n" : "LClick\n";
        script += "Delay 10\nREM a comment\nHotKey CTRL+S\n";
    }
    script += "End";
    return script;
}

void pumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

LRESULT CALLBACK bareProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

// A layered window over the virtual screen with one full 32-bit picture
// handed to it, shown, then destroyed: milliseconds until shown.
std::optional<double> bareLayeredWindow() {
    const POINT origin{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN)};
    SIZE size{GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    const double start = nowMs();
    HWND window = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_TOOLWINDOW,
                                  L"BenchBareLayer", L"", WS_POPUP, origin.x, origin.y, size.cx,
                                  size.cy, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (window == nullptr)
        return std::nullopt;
    HDC screen = GetDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    POINT source{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UpdateLayeredWindow(window, nullptr, const_cast<POINT*>(&origin), &size, dc, &source, 0, &blend,
                        ULW_ALPHA);
    ShowWindow(window, SW_SHOW);
    GdiFlush();
    const double elapsed = nowMs() - start;
    pumpMessages();
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    DestroyWindow(window);
    pumpMessages();
    return elapsed;
}

double processorMs() {
    FILETIME created, ended, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
    const auto ms = [](const FILETIME& time) {
        return static_cast<double>((static_cast<unsigned long long>(time.dwHighDateTime) << 32) |
                                   time.dwLowDateTime) /
               10000.0;
    };
    return ms(kernel) + ms(user);
}

} // namespace

bool pointsBenchmark() {
    WNDCLASSW bareClass{};
    bareClass.lpfnWndProc = bareProcedure;
    bareClass.hInstance = GetModuleHandleW(nullptr);
    bareClass.lpszClassName = L"BenchBareLayer";
    if (RegisterClassW(&bareClass) == 0)
        return couldNot("register the bare layered window's class");

    const PointerScreen screen{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    StudioDocument document;
    document.toGbk = asciiOnly;
    setDocumentText(document, benchScript(screen.width, screen.height));

    std::vector<double> shown;
    std::vector<double> bare;
    std::size_t placeCount = 0;
    for (int run = 0; run < Runs; ++run) {
        const std::optional<double> baseline = bareLayeredWindow();
        if (!baseline)
            return couldNot("make the bare layered window");
        bare.push_back(*baseline);

        const double start = nowMs();
        const std::vector<Place> places = findPlaces(document, screen);
        if (!showPointsLayer(places, PointsLayerEvents{}))
            return couldNot("show the points layer");
        GdiFlush();
        shown.push_back(nowMs() - start);
        placeCount = places.size();
        pumpMessages();
        if (run + 1 == Runs) {
            // Nothing moves: the layer should take no processor time.
            const double before = processorMs();
            const double idleStart = nowMs();
            while (nowMs() - idleStart < IdleMs) {
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
                pumpMessages();
            }
            const double idle = processorMs() - before;
            hidePointsLayer();
            pumpMessages();
            const double showMedian = median(shown);
            const double bareMedian = median(bare);
            printFigure({.name = "studio: show the points of a 10,000-line script, 2,000 places",
                         .baseline = bareMedian,
                         .baselineUnit = "ms",
                         .baselineNote = "bare layered window of the same size, drawn once",
                         .value = showMedian,
                         .valueUnit = "ms",
                         .valueNote = "places found, layer shown and fully drawn, median of " +
                                      std::to_string(Runs),
                         .ratio = showMedian / bareMedian,
                         .target = "<= 100 ms",
                         .verdict = showMedian <= 100 ? Verdict::Met : Verdict::Missed});
            printDetail("places: " + std::to_string(placeCount));
            printSeries("shown ms", shown);
            printSeries("bare ms", bare);
            char idleText[96];
            std::snprintf(idleText, sizeof idleText,
                          "processor time while shown and idle for %lu ms: %.1f ms",
                          static_cast<unsigned long>(IdleMs), idle);
            printDetail(idleText);
        } else {
            hidePointsLayer();
            pumpMessages();
        }
    }
    return true;
}

} // namespace bench
