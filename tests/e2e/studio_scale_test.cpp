// The studio at the display scales users have (96, 120, 144 and 192 DPI), in
// English and Chinese, started once per scale and language on a script of
// English and Chinese lines, and read as a user sees it: every button's and
// label's text fits (the status line's with its lower part), the window fits
// the 1920 x 1080 screen, and each line number beside the editor stands within
// its line, read off the screen's pixels against where the editor says its
// lines are. A screenshot of each is left in the work folder
// (scale-studio-DPI-LANGUAGE.png).

#include "helpers/studio_driver.h"
#include "helpers/wait_support.h"
#include "studio_ids.h"
#include "support/display_scale.h"
#include "support/e2e.h"

#include <gtest/gtest.h>

#include <richedit.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

namespace {

using waits::eventually;

std::string scaleName(const ::testing::TestParamInfo<std::tuple<DWORD, const char*>>& info) {
    return std::to_string(std::get<0>(info.param)) + "_" + std::get<1>(info.param);
}

// English and Chinese lines in turn, so that a Chinese line's height is seen.
std::string writeScript(const std::string& path) {
    std::string text = "Start\r\n";
    for (int i = 0; i < 30; ++i) {
        text += i % 2 == 0 ? "Delay 100\r\n" : "\xE5\xBB\xB6\xE6\x97\xB6 100\r\n"; // 延时 (UTF-8)
    }
    text += "End\r\n";
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file != nullptr) {
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
    }
    return text;
}

// The top of each of the editor's first `count` lines on the screen, as the
// editor itself places them.
std::vector<int> lineTops(HWND editor, int count) {
    std::vector<int> tops;
    POINT origin{0, 0};
    ClientToScreen(editor, &origin);
    for (int line = 0; line < count; ++line) {
        const LRESULT start = SendMessageW(editor, EM_LINEINDEX, line, 0);
        // The edit control's form (a character index in, the place packed in
        // the result), which works across processes.
        const LRESULT place = SendMessageW(editor, EM_POSFROMCHAR, start, 0);
        tops.push_back(origin.y + static_cast<short>(HIWORD(place)));
    }
    return tops;
}

// The rows of the screen (from `top` to `bottom`) where the gutter's numbers
// have ink, as runs [first, last] of rows: the right two thirds of the gutter,
// where the numbers are, against the gutter's own background.
std::vector<std::pair<int, int>> inkRuns(HWND gutter, int top, int bottom) {
    RECT place{};
    GetWindowRect(gutter, &place);
    const int left = place.left + (place.right - place.left) / 3;
    const int width = place.right - left;
    const int height = bottom - top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, left, top, SRCCOPY);
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    const std::uint32_t background = pixels[0] & 0xFFFFFF;
    std::vector<std::pair<int, int>> runs;
    for (int y = 0; y < height; ++y) {
        bool ink = false;
        for (int x = 0; x < width && !ink; ++x) {
            ink = (pixels[y * width + x] & 0xFFFFFF) != background;
        }
        if (!ink) {
            continue;
        }
        if (!runs.empty() && runs.back().second == top + y - 1) {
            runs.back().second = top + y;
        } else {
            runs.emplace_back(top + y, top + y);
        }
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return runs;
}

std::string joined(const std::vector<std::string>& problems) {
    std::string text;
    for (const std::string& problem : problems) {
        text += "  " + problem + "\n";
    }
    return text;
}

class StudioAtScale : public ::testing::TestWithParam<std::tuple<DWORD, const char*>> {};

TEST_P(StudioAtScale, EveryTextFitsAndTheLineNumbersStandBesideTheirLines) {
    const auto [dpi, language] = GetParam();
    ASSERT_TRUE(e2e::readRealPixels());
    const std::string name = std::to_string(dpi) + "-" + language;
    const std::string script = e2e::workDirectory() + "\\scale-studio-" + name + ".txt";
    writeScript(script);

    e2e::DisplayScale scale(dpi);
    e2e::StudioUnderTest studio("--lang " + std::string(language) + " \"" + script + "\"");
    ASSERT_TRUE(studio.waitForWindow());
    scale.restore();
    ASSERT_EQ(e2e::frameDpi(studio.window), dpi) << "the studio does not run at the scale asked";
    ASSERT_TRUE(studio.bringToFront());
    HWND editor = GetDlgItem(studio.window, EditorId);
    HWND gutter = GetDlgItem(studio.window, GutterId);
    ASSERT_NE(editor, nullptr);
    ASSERT_NE(gutter, nullptr);
    ASSERT_TRUE(eventually([&] { return SendMessageW(editor, EM_GETLINECOUNT, 0, 0) >= 30; }));

    const std::vector<std::string> problems = e2e::textsThatDoNotFit(studio.window, dpi);
    EXPECT_TRUE(problems.empty()) << "texts that do not fit at " << dpi << " DPI:\n"
                                  << joined(problems);
    EXPECT_EQ(e2e::outsideScreen(studio.window), "");

    // The editor's lines, English and Chinese alike, each as high as the next.
    RECT editorClient{};
    GetClientRect(editor, &editorClient);
    const std::vector<int> probe = lineTops(editor, 3);
    const int height = probe[1] - probe[0];
    ASSERT_GT(height, 0);
    const int shown = std::min(12, static_cast<int>(editorClient.bottom / height) - 1);
    ASSERT_GE(shown, 4);
    const std::vector<int> tops = lineTops(editor, shown + 1);
    for (int line = 1; line <= shown; ++line) {
        EXPECT_EQ(tops[line] - tops[line - 1], height) << "line " << line + 1;
    }

    // One run of ink per number, each within its line's rows.
    std::vector<std::pair<int, int>> runs;
    EXPECT_TRUE(eventually([&] {
        runs = inkRuns(gutter, tops[0], tops[shown]);
        return static_cast<int>(runs.size()) == shown;
    })) << runs.size()
        << " runs of ink in the gutter beside " << shown << " lines";
    e2e::runHostCommand("import -window root '" + std::string(E2E_WORK_DIR) + "/scale-studio-" +
                            name + ".png'",
                        20000);
    for (std::size_t i = 0; i < runs.size() && static_cast<int>(i) < shown; ++i) {
        EXPECT_GE(runs[i].first, tops[i]) << "the number of line " << i + 1 << " starts above it";
        EXPECT_LT(runs[i].second, tops[i + 1])
            << "the number of line " << i + 1 << " reaches into the next line";
    }
}

INSTANTIATE_TEST_SUITE_P(Scales, StudioAtScale,
                         ::testing::Combine(::testing::Values(DWORD{96}, DWORD{120}, DWORD{144},
                                                              DWORD{192}),
                                            ::testing::Values("en", "zh")),
                         scaleName);

} // namespace
