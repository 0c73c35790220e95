// The plain player (no script) as a program, and what every player carries.

#include "support/e2e.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

TEST(PlainPlayer, EndsAtOnceWithCodeZeroAndShowsNoWindow) {
    e2e::RunningProgram player = e2e::startProgram(e2e::plainPlayerPath(), "", true);
    ASSERT_TRUE(player.started());
    const ULONGLONG start = GetTickCount64();
    player.resume();
    // Watch for any top-level window of the process, hidden ones included,
    // until it has ended.
    std::set<HWND> windows;
    while (player.running() && GetTickCount64() - start < 10000) {
        for (HWND window : e2e::topLevelWindowsOf(player.processId()))
            windows.insert(window);
    }
    const std::optional<DWORD> code = player.waitForExit(0);
    ASSERT_TRUE(code.has_value()) << "still running after 10 s";
    EXPECT_EQ(*code, 0u);
    EXPECT_LT(GetTickCount64() - start, 5000u);
    EXPECT_TRUE(windows.empty()) << windows.size() << " windows";
}

TEST(PlainPlayer, AWindowMadeByTheProcessIsSeenByTheWatch) {
    // The watch above would see a window: a program that makes one hidden
    // window, as a player with a script does, and keeps it until the watch
    // has seen it and the marker file is gone.
    const std::string marker = e2e::workDirectory() + "\\watched.marker";
    HANDLE file = CreateFileA(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    e2e::RunningProgram shower = e2e::startProgram(e2e::windowsPath(E2E_PLATFORM_PROBE),
                                                   "window e2e-watched \"" + marker + "\"", true);
    ASSERT_TRUE(shower.started());
    shower.resume();
    std::set<HWND> windows;
    const ULONGLONG start = GetTickCount64();
    while (windows.empty() && shower.running() && GetTickCount64() - start < 10000) {
        for (HWND window : e2e::topLevelWindowsOf(shower.processId()))
            windows.insert(window);
    }
    EXPECT_TRUE(shower.running()) << "the probe ended before its marker was gone";
    EXPECT_TRUE(DeleteFileA(marker.c_str())) << GetLastError();
    EXPECT_EQ(shower.waitForExit(10000), 0u);
    EXPECT_FALSE(windows.empty());
}

// A program's resource as bytes, without running it.
std::string resourceOf(const std::string& path, LPCSTR name, LPCSTR type, bool* found) {
    *found = false;
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module == nullptr)
        return "";
    std::string bytes;
    if (HRSRC info = FindResourceA(module, name, type)) {
        if (const void* data = LockResource(LoadResource(module, info))) {
            bytes.assign(static_cast<const char*>(data), SizeofResource(module, info));
            *found = true;
        }
    }
    FreeLibrary(module);
    return bytes;
}

// The process's manifest declares DPI awareness only: selecting version 6 of the
// common controls there would make the hidden owner window load comctl32 at every
// start. The second manifest selects it for the boxes.
TEST(PlayerResources, ManifestsDeclareDpiAwarenessAndSelectCommonControlsSixForTheBoxes) {
    const char* const dpiParts[] = {">true/pm</dpiAware>",
                                    ">PerMonitorV2, PerMonitor</dpiAwareness>"};
    const char* const controlsParts[] = {"name=\"Microsoft.Windows.Common-Controls\"",
                                         "version=\"6.0.0.0\"",
                                         "publicKeyToken=\"6595b64144ccf1df\""};
    bool found = false;
    const std::string process =
        resourceOf(e2e::plainPlayerPath(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24), &found);
    ASSERT_TRUE(found);
    for (const char* part : dpiParts)
        EXPECT_NE(process.find(part), std::string::npos) << part;
    EXPECT_EQ(process.find("Common-Controls"), std::string::npos);

    const std::string boxes =
        resourceOf(e2e::plainPlayerPath(), MAKEINTRESOURCEA(2), MAKEINTRESOURCEA(24), &found);
    ASSERT_TRUE(found);
    for (const char* part : controlsParts)
        EXPECT_NE(boxes.find(part), std::string::npos) << part;
}

// The start box's OK button is of comctl32's button class, as it was when the
// process's manifest selected version 6, not of the plain one this test makes.
TEST(PlayerResources, TheStartBoxHasTheButtonsOfCommonControlsSix) {
    e2e::RunningProgram run =
        e2e::startProgram(e2e::playerWithScript("box_controls", "Start\nEnd\n"));
    ASSERT_TRUE(run.started());
    HWND box = e2e::waitForMessageBox("开始", run.processId());
    ASSERT_NE(box, nullptr);
    HWND ok = GetDlgItem(box, IDOK);
    ASSERT_NE(ok, nullptr);
    const ULONG_PTR boxButton = GetClassLongPtrA(ok, GCW_ATOM);
    HWND plain =
        CreateWindowExA(0, "button", "plain", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(plain, nullptr);
    const ULONG_PTR plainButton = GetClassLongPtrA(plain, GCW_ATOM);
    DestroyWindow(plain);
    EXPECT_NE(boxButton, plainButton);
    EXPECT_TRUE(e2e::pressButton(box, IDOK));
    EXPECT_EQ(run.waitForExit(10000), 0u);
}

TEST(PlayerResources, IconGroup101HasSmallAndLargeImages) {
    for (const std::string& path :
         {e2e::plainPlayerPath(), e2e::builtPlayerPath("packed_probe_player")}) {
        HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr) << path;
        for (int size : {16, 32, 48}) {
            HANDLE icon = LoadImageA(module, MAKEINTRESOURCEA(101), IMAGE_ICON, size, size, 0);
            EXPECT_NE(icon, nullptr) << path << " " << size;
            ICONINFO info{};
            if (icon != nullptr && GetIconInfo(static_cast<HICON>(icon), &info)) {
                BITMAP bitmap{};
                GetObjectA(info.hbmColor, sizeof(bitmap), &bitmap);
                EXPECT_EQ(bitmap.bmWidth, size);
                DeleteObject(info.hbmColor);
                DeleteObject(info.hbmMask);
            }
            if (icon != nullptr)
                DestroyIcon(static_cast<HICON>(icon));
        }
        FreeLibrary(module);
    }
}

TEST(PlayerResources, OnlyAPackedPlayerHasAScript) {
    bool found = true;
    resourceOf(e2e::plainPlayerPath(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(10), &found);
    EXPECT_FALSE(found);
    resourceOf(e2e::builtPlayerPath("packed_probe_player"), MAKEINTRESOURCEA(1),
               MAKEINTRESOURCEA(10), &found);
    EXPECT_TRUE(found);
}

} // namespace
