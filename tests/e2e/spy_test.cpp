// The window spy over a test window of known caption, class, colour and
// buttons: `spy --at` gives the exact lines for each part, and those lines,
// packed by the packer and played, act on that same window.

#include "helpers/pack_run.h"
#include "helpers/pointer.h"
#include "helpers/wait_support.h"
#include "runner/pointer_scale.h"
#include "support/e2e.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using waits::buttonClicks;
using waits::eventually;
using waits::screenPoint;

constexpr int OkId = 1001;
constexpr int CancelId = 1002;
constexpr int GroupId = 1003;
constexpr int NestedId = 1004;
constexpr int TwinId = 1005; // two direct children share it
constexpr COLORREF Background = RGB(0x12, 0x34, 0x56);
constexpr const char* Caption = "spy target window";

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

// The spy's lines for a screen point, in its fixed order (13 of them).
std::vector<std::string> spyAt(POINT point, const std::string& more = "") {
    e2e::PackRun run =
        e2e::runPackerAt(e2e::windowsPath(E2E_SPY),
                         "--at " + std::to_string(point.x) + " " + std::to_string(point.y) + more);
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    std::vector<std::string> lines = splitLines(run.out);
    EXPECT_EQ(lines.size(), 13u) << run.out;
    lines.resize(13);
    return lines;
}

// The window with an empty coloured area at the right, OK and Cancel, a group box
// with a button inside it, and two buttons with the same id.
class SpyWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        okButton = window.addControlAt(0, "button", OkId, "OK", {10, 10, 150, 40});
        window.addControlAt(0, "button", CancelId, "Cancel", {10, 50, 150, 80});
        window.addControlAt(0, "button", GroupId, "Options", {10, 90, 250, 190}, BS_GROUPBOX);
        nestedButton =
            window.addControlAt(GroupId, "button", NestedId, "Nested", {20, 30, 160, 60});
        twinA = window.addControlAt(0, "button", TwinId, "Twin A", {10, 200, 150, 230});
        twinB = window.addControlAt(0, "button", TwinId, "Twin B", {10, 240, 150, 270});
        ASSERT_NE(nestedButton, nullptr);
        ASSERT_TRUE(window.activate());
        char name[64] = {};
        GetClassNameA(window.handle(), name, sizeof name);
        className = name;
    }

    static POINT centreOf(HWND control) {
        RECT rect{};
        GetWindowRect(control, &rect);
        return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }

    e2e::TestWindow window{{.title = Caption,
                            .x = 200,
                            .y = 150,
                            .width = 700,
                            .height = 500,
                            .background = Background}};
    HWND okButton = nullptr;
    HWND nestedButton = nullptr;
    HWND twinA = nullptr;
    HWND twinB = nullptr;
    std::string className;
    // An empty spot of the client area, away from every control; its x and y
    // both land a pixel short when written as they are.
    POINT spot() const { return screenPoint(window.handle(), 500, 300); }
};

std::string moveToFor(POINT point) {
    std::int32_t x = -1;
    std::int32_t y = -1;
    EXPECT_TRUE(moveToCoordinate(point.x, GetSystemMetrics(SM_CXSCREEN), x));
    EXPECT_TRUE(moveToCoordinate(point.y, GetSystemMetrics(SM_CYSCREEN), y));
    return "MoveTo " + std::to_string(x) + " " + std::to_string(y);
}

TEST_F(SpyWindow, LinesForThePointerTheColourAndTheWindowInFront) {
    const POINT at = spot();
    const std::string point = std::to_string(at.x) + " " + std::to_string(at.y);
    const std::vector<std::string> lines = spyAt(at);
    EXPECT_EQ(lines[0], moveToFor(at));
    EXPECT_EQ(lines[1], "WaitColor " + point + " 123456");
    EXPECT_EQ(lines[2], "WaitNotColor " + point + " 123456");
    EXPECT_EQ(lines[3], std::string("Wait Caption ") + Caption);
    EXPECT_EQ(lines[4], std::string("Top Caption ") + Caption);
    EXPECT_EQ(lines[5], "Top Class " + className);
    EXPECT_EQ(lines[6], "Wait Process spy_tests.exe");
    EXPECT_EQ(lines[7], "REM Click ButtonText: not available: no control under the pointer");
    EXPECT_EQ(lines[10], "REM Wait Key: not available: press a key while the spy has the focus");

    const std::vector<std::string> codes = spyAt(at, " --form code");
    EXPECT_EQ(codes[1], "WCR " + point + " 123456");
    EXPECT_EQ(codes[5], "TCL " + className);
    const std::vector<std::string> chinese = spyAt(at, " --form chinese --utf8");
    EXPECT_EQ(chinese[4], std::string("\xE6\xBF\x80\xE6\xB4\xBB\xE7\xAA\x97\xE5\x8F\xA3\xE6\xA0"
                                      "\x87\xE9\xA2\x98 ") + // 激活窗口标题 in UTF-8
                              Caption);
}

TEST_F(SpyWindow, ControlsAreGivenByIdOrSaidToBeUnreachable) {
    const std::vector<std::string> ok = spyAt(centreOf(okButton));
    EXPECT_EQ(ok[7], "Click ButtonText 1001 OK");
    EXPECT_EQ(ok[8], "Wait ButtonText 1001 OK");
    EXPECT_EQ(ok[9], "Wait ButtonEnable 1001");

    const std::vector<std::string> nested = spyAt(centreOf(nestedButton));
    for (int row : {7, 8, 9}) {
        EXPECT_EQ(nested[row].rfind("REM ", 0), 0u) << nested[row];
        EXPECT_NE(nested[row].find("cannot be reached: the control is not a direct child"),
                  std::string::npos)
            << nested[row];
    }

    // Whichever twin GetDlgItem finds is the one the id reaches; the other is not.
    HWND first = GetDlgItem(window.handle(), TwinId);
    ASSERT_TRUE(first == twinA || first == twinB);
    HWND second = first == twinA ? twinB : twinA;
    char firstText[32] = {};
    GetWindowTextA(first, firstText, sizeof firstText);
    EXPECT_EQ(spyAt(centreOf(first))[7], std::string("Click ButtonText 1005 ") + firstText);
    const std::string hidden = spyAt(centreOf(second))[8];
    EXPECT_NE(hidden.find("has the id 1005 and GetDlgItem finds it first (a Button reading \"" +
                          std::string(firstText) + "\")"),
              std::string::npos)
        << hidden;
}

TEST_F(SpyWindow, ACaptionFindWindowMatchesToAnotherWindowFirstIsFlagged) {
    e2e::TestWindow other({.title = Caption, .x = 1200, .y = 600, .width = 300, .height = 200});
    // Topmost, the other window comes first in FindWindowA's search.
    SetWindowPos(other.handle(), HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ASSERT_TRUE(window.activate());
    ASSERT_EQ(FindWindowA(nullptr, Caption), other.handle());
    const std::vector<std::string> lines = spyAt(spot());
    EXPECT_EQ(lines[3], std::string("Wait Caption ") + Caption); // compares the caption in front
    EXPECT_EQ(lines[4], std::string("REM Top Caption: flagged: FindWindowA finds another window "
                                    "with this caption first, so the line would bring that one "
                                    "to the front: Top Caption ") +
                            Caption);
    EXPECT_EQ(lines[5].rfind("REM Top Class: flagged:", 0), 0u) << lines[5];
}

TEST_F(SpyWindow, AControlTextGbkCannotHoldIsNotWritable) {
    // A Unicode control keeps the character; the window's own controls are ANSI
    // and would turn it into question marks. Another process reads its text
    // without a message to this thread.
    HWND label = CreateWindowExW(0, L"STATIC", L"smile \U0001F600", WS_CHILD | WS_VISIBLE, 400, 20,
                                 200, 30, window.handle(), reinterpret_cast<HMENU>(1006),
                                 GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(label, nullptr);
    const std::vector<std::string> lines = spyAt(centreOf(label));
    for (int row : {7, 8}) {
        EXPECT_NE(lines[row].find(": not writable: the character U+1F600 at position 7 has no "
                                  "GBK form"),
                  std::string::npos)
            << lines[row];
    }
    EXPECT_EQ(lines[9], "Wait ButtonEnable 1006"); // the id alone is fine
    DestroyWindow(label);
}

// Packs `body` between Start No Box and End with the packer and plays it.
std::optional<DWORD> packAndPlay(const std::string& name, const std::string& body) {
    const std::string folder = e2e::packFolder("spy_" + name);
    const std::string source = folder + "\\script.txt";
    const std::string player = folder + "\\" + name + ".exe";
    e2e::writeBytes(source, "Start No Box\n" + body + "End\n");
    e2e::PackRun pack = e2e::runPack("\"" + source + "\" -o \"" + player + "\" --strict");
    EXPECT_EQ(pack.exitCode, 0u) << pack.out << pack.err;
    if (pack.exitCode != 0) {
        return std::nullopt;
    }
    return e2e::runProgram(player, "", 20000);
}

TEST_F(SpyWindow, TheLinesPackedAndPlayedActOnTheSameWindow) {
    const std::vector<std::string> atSpot = spyAt(spot());
    const std::vector<std::string> atOk = spyAt(centreOf(okButton));

    // WaitColor returns, then Click ButtonText clicks the button.
    EXPECT_EQ(packAndPlay("click", atSpot[1] + "\n" + atOk[7] + "\n"), std::optional<DWORD>(0));
    EXPECT_TRUE(eventually([&] { return buttonClicks(window, OkId) == 1; }));

    // Top Class brings the window back to the front.
    // Of another class than the window, which Top Class names.
    e2e::TestWindow cover({.title = "spy cover window", .x = 300, .y = 300, .doubleClicks = false});
    ASSERT_TRUE(cover.activate());
    ASSERT_NE(GetForegroundWindow(), window.handle());
    EXPECT_EQ(packAndPlay("top_class", atSpot[5] + "\n"), std::optional<DWORD>(0));
    EXPECT_TRUE(eventually([&] { return GetForegroundWindow() == window.handle(); }));

    // MoveTo lands on the very pixel the spy was asked about. Under Wine a move
    // that warps the X pointer may fall back unless made twice, and the player
    // lives a moment after it so that the pointer stays there.
    ASSERT_TRUE(e2e::movePointerSteadily({40, 40}));
    EXPECT_EQ(packAndPlay("move", atSpot[0] + "\nDelay 200\n" + atSpot[0] + "\nDelay 300\n"),
              std::optional<DWORD>(0));
    const POINT target = spot();
    POINT cursor{};
    EXPECT_TRUE(eventually([&] {
        GetCursorPos(&cursor);
        return cursor.x == target.x && cursor.y == target.y;
    })) << "the pointer is at ("
        << cursor.x << ", " << cursor.y << "), not (" << target.x << ", " << target.y << ")";
}

// The spy window itself, started as a user starts it; ended with the record.
// In English unless asked otherwise: the bed's UI language may be Chinese.
class SpyProgram {
  public:
    explicit SpyProgram(const std::string& arguments = "--lang en")
        : run(e2e::startProgram(E2E_SPY, arguments)) {
        EXPECT_TRUE(eventually(
            [&] {
                for (HWND candidate : e2e::topLevelWindowsOf(run.processId())) {
                    char name[32] = {};
                    GetClassNameA(candidate, name, sizeof name);
                    if (std::string(name) == "ScriptPlayerSpy" && IsWindowVisible(candidate)) {
                        window = candidate;
                        return true;
                    }
                }
                return false;
            },
            10000));
    }

    // The text of a row's line (0 to 12), or of another control of the spy.
    std::wstring rowText(int row) const { return controlText(300 + row); }
    std::wstring controlText(int id) const {
        wchar_t text[512] = {};
        SendMessageW(GetDlgItem(window, id), WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
        return text;
    }
    void click(int id) const { SendMessageW(GetDlgItem(window, id), BM_CLICK, 0, 0); }
    bool rowBecomes(int row, const std::wstring& text) const {
        return eventually([&] { return rowText(row) == text; }, 10000);
    }

    e2e::RunningProgram run;
    HWND window = nullptr;
};

// A text of the spy's window for a failure message (UTF-8).
std::string narrow(const std::wstring& text) {
    std::string bytes(text.size() * 3 + 1, '\0');
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes.data(),
                                           static_cast<int>(bytes.size()), nullptr, nullptr);
    bytes.resize(length > 0 ? static_cast<std::size_t>(length - 1) : 0);
    return bytes;
}

std::wstring clipboardUnicode() {
    std::wstring text;
    if (OpenClipboard(nullptr)) {
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            text = static_cast<const wchar_t*>(GlobalLock(data));
            GlobalUnlock(data);
        }
        CloseClipboard();
    }
    return text;
}

std::string clipboardBytes() {
    std::string text;
    if (OpenClipboard(nullptr)) {
        if (HANDLE data = GetClipboardData(CF_TEXT)) {
            text = static_cast<const char*>(GlobalLock(data));
            GlobalUnlock(data);
        }
        CloseClipboard();
    }
    return text;
}

TEST_F(SpyWindow, TheSpyWindowFollowsThePointerCopiesAndTakesKeys) {
    const POINT ok = centreOf(okButton);
    ASSERT_TRUE(e2e::movePointerSteadily(ok));
    SpyProgram spy;
    ASSERT_NE(spy.window, nullptr);
    // The spy comes up in front, as a user sees it, and may get there after its
    // window is visible. Once it is there, bring the test window forward, as a
    // user clicks into the window to spy on; the spy only knows the window in
    // front from what it has seen in front.
    eventually([&] { return GetForegroundWindow() == spy.window; }, 3000);
    ASSERT_TRUE(window.activate());
    ASSERT_TRUE(spy.rowBecomes(7, L"Click ButtonText 1001 OK")) << narrow(spy.rowText(7));

    // Copy: the line as Unicode and as GBK text.
    OpenClipboard(nullptr);
    EmptyClipboard();
    CloseClipboard();
    spy.click(207);
    EXPECT_TRUE(eventually([] { return clipboardUnicode() == L"Click ButtonText 1001 OK"; }));
    EXPECT_EQ(clipboardBytes(), "Click ButtonText 1001 OK");

    // The Chinese form rewrites every line; Copy all gives what spy --at prints,
    // with CR LF line ends.
    spy.click(100);
    ASSERT_TRUE(spy.rowBecomes(7, L"等待按钮文字并点击 1001 OK"));
    spy.click(110);
    std::string expected;
    ASSERT_TRUE(window.activate()); // --at takes the window in front as it is
    POINT pointer{};                // within a pixel of the button's centre
    GetCursorPos(&pointer);
    for (const std::string& line : spyAt(pointer, " --form chinese")) {
        expected += line + "\r\n";
    }
    EXPECT_TRUE(eventually([&] { return clipboardBytes() == expected; }))
        << clipboardBytes() << "\n"
        << expected;

    // A key pressed while the spy has the focus, with a modifier held.
    SetForegroundWindow(spy.window);
    ASSERT_TRUE(eventually([&] { return GetForegroundWindow() == spy.window; }));
    {
        e2e::HeldKey ctrl("ctrl");
        e2e::tapAtServer("F5");
    }
    EXPECT_TRUE(spy.rowBecomes(10, L"判断按键则继续 CTRL+F5")) << narrow(spy.rowText(10));
    // The spy in front stands for the window before it.
    EXPECT_EQ(spy.rowText(7), L"等待按钮文字并点击 1001 OK");

    // Scroll Lock freezes the display: the pointer moves, the lines stay.
    spy.click(101); // English
    ASSERT_TRUE(spy.rowBecomes(7, L"Click ButtonText 1001 OK"));
    const std::wstring okMove = spy.rowText(0);
    e2e::tapAtServer("Scroll_Lock");
    ASSERT_TRUE(eventually([&] {
        return SendMessageW(GetDlgItem(spy.window, 111), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }));
    ASSERT_TRUE(e2e::movePointerSteadily(spot()));
    Sleep(500);
    EXPECT_EQ(spy.rowText(0), okMove);
    EXPECT_EQ(spy.rowText(7), L"Click ButtonText 1001 OK");
    e2e::tapAtServer("Scroll_Lock");
    EXPECT_TRUE(
        spy.rowBecomes(7, L"[Click ButtonText: not available] no control under the pointer"));

    // Over the spy itself the display holds still too.
    RECT spyRect{};
    GetWindowRect(spy.window, &spyRect);
    ASSERT_TRUE(e2e::movePointerSteadily({spyRect.left + 60, spyRect.bottom - 40}));
    Sleep(500);
    EXPECT_EQ(spy.rowText(7), L"[Click ButtonText: not available] no control under the pointer");
}

TEST_F(SpyWindow, TheWindowSpeaksChineseOrEnglishAsAsked) {
    ASSERT_TRUE(e2e::movePointerSteadily(spot())); // over no control
    struct Case {
        const char* arguments;
        const wchar_t* copyAll;
        const wchar_t* noControl;
    };
    const Case cases[] = {
        {"--lang zh", L"全部复制", L"[Click ButtonText: 无法取得] 指针下没有控件"},
        {"--lang en", L"Copy all",
         L"[Click ButtonText: not available] no control under the pointer"},
    };
    for (const Case& c : cases) {
        SpyProgram spy(c.arguments);
        ASSERT_NE(spy.window, nullptr);
        EXPECT_EQ(spy.controlText(110), c.copyAll) << c.arguments;
        EXPECT_TRUE(spy.rowBecomes(7, c.noControl)) << narrow(spy.rowText(7));
    }
}

} // namespace
