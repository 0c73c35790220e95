// The spy's and the recorder's windows at the display scales users have (96,
// 120, 144 and 192 DPI), in English and Chinese: each program started once at
// the scale, as Windows starts it at that setting, and its window read as a
// user sees it: every button's and label's text fits, the window fits the
// 1920 x 1080 screen, the spy's facts keep all their rows and its magnifier grows with
// the scale. A screenshot of each is left in the work folder
// (scale-PROGRAM-DPI-LANGUAGE.png). And each window once more, moved to a
// monitor of another scale as the system tells it.

#include "helpers/pointer.h"
#include "helpers/wait_support.h"
#include "support/display_scale.h"
#include "support/e2e.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

using waits::eventually;

std::string scaleName(const ::testing::TestParamInfo<std::tuple<DWORD, const char*>>& info) {
    return std::to_string(std::get<0>(info.param)) + "_" + std::get<1>(info.param);
}

const auto Scales =
    ::testing::Combine(::testing::Values(DWORD{96}, DWORD{120}, DWORD{144}, DWORD{192}),
                       ::testing::Values("en", "zh"));

// The visible top-level window of the class that the process shows.
HWND windowOfClass(const e2e::RunningProgram& program, const char* windowClass) {
    HWND found = nullptr;
    eventually(
        [&] {
            for (HWND candidate : e2e::topLevelWindowsOf(program.processId())) {
                char name[64] = {};
                GetClassNameA(candidate, name, sizeof name);
                if (std::string(name) == windowClass && IsWindowVisible(candidate)) {
                    found = candidate;
                    return true;
                }
            }
            return false;
        },
        10000);
    return found;
}

void screenshot(const std::string& name) {
    e2e::runHostCommand(
        "import -window root '" + std::string(E2E_WORK_DIR) + "/scale-" + name + ".png'", 20000);
}

std::string joined(const std::vector<std::string>& problems) {
    std::string text;
    for (const std::string& problem : problems) {
        text += "  " + problem + "\n";
    }
    return text;
}

class SpyAtScale : public ::testing::TestWithParam<std::tuple<DWORD, const char*>> {};

TEST_P(SpyAtScale, EveryTextFitsTheFactsKeepTheirRowsAndTheMagnifierGrows) {
    const auto [dpi, language] = GetParam();
    ASSERT_TRUE(e2e::readRealPixels());
    // The pointer over a colour of its own, left of where the spy opens.
    constexpr COLORREF Colour = RGB(0x20, 0xA0, 0x40);
    e2e::TestWindow target({.title = "scale target",
                            .x = 20,
                            .y = 200,
                            .width = 300,
                            .height = 300,
                            .background = Colour});
    ASSERT_TRUE(e2e::movePointerSteadily(waits::screenPoint(target.handle(), 150, 150)));

    e2e::DisplayScale scale(dpi);
    e2e::RunningProgram spy = e2e::startProgram(E2E_SPY, std::string("--lang ") + language);
    HWND window = windowOfClass(spy, "ScriptPlayerSpy");
    scale.restore();
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(e2e::frameDpi(window), dpi) << "the spy does not run at the scale asked";

    // The facts: the seven rows of what is under the pointer, all within the
    // label, none broken.
    HWND facts = GetDlgItem(window, 112);
    ASSERT_NE(facts, nullptr);
    ASSERT_TRUE(eventually([&] { return e2e::textLines(facts).size() == 7; }));
    RECT factsRect{};
    GetClientRect(facts, &factsRect);
    EXPECT_LE(7 * e2e::controlLineHeight(facts, dpi), factsRect.bottom)
        << "the last rows of the facts are cut off";

    // The magnifier: 11 pixels, each drawn 12 design pixels square; at the
    // scale the area it covers grows with it, right to its corner.
    const int margin = MulDiv(8, static_cast<int>(dpi), 96);
    const int size = 11 * MulDiv(12, static_cast<int>(dpi), 96);
    POINT inside{margin + size - 2, margin + size - 2};
    POINT beyond{margin + size + 2, margin + 2};
    ClientToScreen(window, &inside);
    ClientToScreen(window, &beyond);
    HDC screen = GetDC(nullptr);
    EXPECT_TRUE(eventually([&] { return GetPixel(screen, inside.x, inside.y) == Colour; }))
        << "the magnifier does not reach its corner: " << std::hex
        << GetPixel(screen, inside.x, inside.y);
    EXPECT_NE(GetPixel(screen, beyond.x, beyond.y), Colour) << "the magnifier is too large";
    ReleaseDC(nullptr, screen);

    screenshot("spy-" + std::to_string(dpi) + "-" + language);
    const std::vector<std::string> problems = e2e::textsThatDoNotFit(window, dpi);
    EXPECT_TRUE(problems.empty()) << "texts that do not fit at " << dpi << " DPI:\n"
                                  << joined(problems);
    EXPECT_EQ(e2e::outsideScreen(window), "");
}

INSTANTIATE_TEST_SUITE_P(Scales, SpyAtScale, Scales, scaleName);

// What the system sends a window moved to a monitor of another scale (Wine,
// with one scale for every monitor, never does): the new DPI and the place it
// suggests, the window's rectangle grown by the ratio.
void changeDpi(HWND window, UINT dpi) {
    RECT suggested{};
    GetWindowRect(window, &suggested);
    suggested.right = suggested.left + MulDiv(suggested.right - suggested.left, dpi, 96);
    suggested.bottom = suggested.top + MulDiv(suggested.bottom - suggested.top, dpi, 96);
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

TEST(SpyAtScaleChange, MovedToAMonitorAt144DpiItsTextsStillFit) {
    ASSERT_TRUE(e2e::readRealPixels());
    e2e::RunningProgram spy = e2e::startProgram(E2E_SPY, "--lang zh");
    HWND window = windowOfClass(spy, "ScriptPlayerSpy");
    ASSERT_NE(window, nullptr);
    RECT before{};
    GetClientRect(window, &before);
    changeDpi(window, 144);
    RECT after{};
    GetClientRect(window, &after);
    EXPECT_GE(after.right, before.right * 3 / 2) << "the window did not grow with the scale";
    EXPECT_GE(after.bottom, before.bottom * 5 / 4) << "the window did not grow with the scale";
    screenshot("spy-changed-144-zh");
    const std::vector<std::string> problems = e2e::textsThatDoNotFit(window, 144);
    EXPECT_TRUE(problems.empty()) << "texts that do not fit after the change:\n"
                                  << joined(problems);
    EXPECT_EQ(e2e::outsideScreen(window), "");
}

class RecordWindowAtScale : public ::testing::TestWithParam<std::tuple<DWORD, const char*>> {};

TEST_P(RecordWindowAtScale, EveryTextFitsBeforeAndWhileRecording) {
    const auto [dpi, language] = GetParam();
    ASSERT_TRUE(e2e::readRealPixels());
    const std::string folder = e2e::workDirectory();
    const std::string name = std::to_string(dpi) + "-" + language;
    const std::string script = folder + "\\scale-record-" + name + ".txt";
    e2e::DisplayScale scale(dpi);
    e2e::RunningProgram record =
        e2e::startProgram(E2E_RECORDER, "\"" + script + "\" --lang " + language, false,
                          folder + "\\scale-record-" + name + ".err");
    HWND window = windowOfClass(record, "ScriptRecorder");
    scale.restore();
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(e2e::frameDpi(window), dpi) << "the recorder does not run at the scale asked";

    screenshot("record-" + name);
    std::vector<std::string> problems = e2e::textsThatDoNotFit(window, dpi);
    EXPECT_TRUE(problems.empty()) << "texts that do not fit at " << dpi << " DPI:\n"
                                  << joined(problems);
    EXPECT_EQ(e2e::outsideScreen(window), "");

    // Record: the text says how to stop and the button says Stop, in the same
    // controls, while the window waits minimised.
    HWND button = GetDlgItem(window, 1);
    wchar_t before[128] = {};
    GetWindowTextW(button, before, 128);
    SendMessageW(button, BM_CLICK, 0, 0);
    ASSERT_TRUE(eventually([&] {
        wchar_t now[128] = {};
        GetWindowTextW(button, now, 128);
        return std::wstring(now) != before;
    }));
    problems = e2e::textsThatDoNotFit(window, dpi);
    EXPECT_TRUE(problems.empty()) << "texts that do not fit while recording at " << dpi << " DPI:\n"
                                  << joined(problems);
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(record.waitForExit(20000), std::optional<DWORD>(0));
}

INSTANTIATE_TEST_SUITE_P(Scales, RecordWindowAtScale, Scales, scaleName);

TEST(RecordWindowAtScaleChange, MovedToAMonitorAt192DpiItsTextsStillFit) {
    ASSERT_TRUE(e2e::readRealPixels());
    const std::string folder = e2e::workDirectory();
    e2e::RunningProgram record =
        e2e::startProgram(E2E_RECORDER, "\"" + folder + "\\scale-record-changed.txt\" --lang en",
                          false, folder + "\\scale-record-changed.err");
    HWND window = windowOfClass(record, "ScriptRecorder");
    ASSERT_NE(window, nullptr);
    RECT before{};
    GetClientRect(window, &before);
    changeDpi(window, 192);
    RECT after{};
    GetClientRect(window, &after);
    EXPECT_GE(after.right, before.right * 2) << "the window did not grow with the scale";
    const std::vector<std::string> problems = e2e::textsThatDoNotFit(window, 192);
    EXPECT_TRUE(problems.empty()) << "texts that do not fit after the change:\n"
                                  << joined(problems);
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(record.waitForExit(20000), std::optional<DWORD>(0));
}

} // namespace
