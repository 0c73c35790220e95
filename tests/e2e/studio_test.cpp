// The studio driven as a user drives it: keys sent with SendInput to its
// window, files given on its command line, and what it shows read from
// outside: the editor's text, the problems list, the status line, the title
// and its boxes.

#include "helpers/studio_driver.h"
#include "helpers/wait_support.h"
#include "studio_ids.h"
#include "support/e2e.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using e2e::gbk;
using e2e::press;
using e2e::StudioUnderTest;
using e2e::type;
using e2e::utf8Of;
using waits::eventually;

std::string readBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string joined(const std::vector<std::string>& rows) {
    std::string text;
    for (const std::string& row : rows) {
        text += row + "\n";
    }
    return text;
}

bool anyContains(const std::vector<std::string>& rows, const std::string& part) {
    for (const std::string& row : rows) {
        if (row.find(part) != std::string::npos) {
            return true;
        }
    }
    return false;
}

std::string recoveryFolder() {
    char folder[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, folder);
    return std::string(folder) + "\\Script player\\Studio";
}

// Every file of the recovery folder: copies, set-aside copies.
std::vector<std::string> recoveryFiles(const char* pattern = "recovery-*") {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((recoveryFolder() + "\\" + pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        names.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

void removeRecoveryCopies() {
    for (const std::string& name : recoveryFiles()) {
        DeleteFileA((recoveryFolder() + "\\" + name).c_str());
    }
}

bool anyRecoveryCopy() {
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((recoveryFolder() + "\\recovery-*.studio").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    FindClose(search);
    return true;
}

} // namespace

TEST(Studio, ChecksLinesAsTheyAreTypedAndSavesInTheFileSOwnEncoding) {
    const std::string path = e2e::workDirectory() + "\\studio_check.txt";
    const std::string original = utf8Of("Start No Box\r\n指针移至 10 10\r\nEnd\r\n"); // CR LF
    writeBytes(path, original);
    StudioUnderTest studio("--lang en \"" + path + "\"");
    ASSERT_TRUE(studio.waitForWindow());
    ASSERT_TRUE(eventually([&] {
        return studio.editorText() == "Start No Box\n指针移至 10 10\nEnd\n";
    })) << studio.editorText();
    EXPECT_TRUE(studio.problems().empty()) << joined(studio.problems());
    EXPECT_NE(gbk(studio.controlText(StatusFormatId)).find("UTF-8"), std::string::npos);

    ASSERT_TRUE(studio.bringToFront());
    press(VK_HOME, {VK_CONTROL});
    press(VK_DOWN);
    press(VK_DOWN);
    type("Dealy 100\n");
    ASSERT_TRUE(eventually([&] {
        return anyContains(studio.problems(), "line 3: error: no command matches this line");
    })) << joined(studio.problems());
    EXPECT_EQ(studio.title().rfind("*studio_check.txt", 0), 0u) << studio.title();

    // Mend it: "Dealy" becomes "Delay".
    press(VK_UP);
    press(VK_HOME);
    press(VK_RIGHT);
    press(VK_RIGHT);
    press(VK_DELETE);
    press(VK_DELETE);
    type("la");
    ASSERT_TRUE(eventually([&] { return studio.problems().empty(); })) << joined(studio.problems());

    press('S', {VK_CONTROL});
    ASSERT_TRUE(eventually([&] { return studio.title().rfind("studio_check.txt", 0) == 0; }))
        << studio.title();
    EXPECT_EQ(readBytes(path), utf8Of("Start No Box\r\n指针移至 10 10\r\nDelay 100\r\nEnd\r\n"));

    // Undo takes the mended word back to the typo, and the problem returns.
    press('Z', {VK_CONTROL});
    EXPECT_TRUE(eventually([&] {
        return anyContains(studio.problems(), "line 3: error: no command matches this line");
    })) << studio.editorText();
}

TEST(Studio, RunsTheScriptWithF5AndMakesAnExeWithF7) {
    e2e::TestWindow target({.title = "studio click target", .x = 300, .y = 200});
    ASSERT_TRUE(target.activate());
    RECT client{};
    GetClientRect(target.handle(), &client);
    POINT centre{client.right / 2, client.bottom / 2};
    ClientToScreen(target.handle(), &centre);
    const std::string path = e2e::workDirectory() + "\\studio_run.txt";
    const std::string exe = e2e::workDirectory() + "\\studio_run.exe";
    DeleteFileA(exe.c_str());
    writeBytes(path, "Start No Box\nTop Caption studio click target\nMoveTo " +
                         std::to_string(centre.x) + " " + std::to_string(centre.y) +
                         "\nDelay 400\nLClick\nDelay 200\nEnd\n");
    auto clicks = [&] {
        std::size_t count = 0;
        for (const e2e::ReceivedMessage& message : target.messages()) {
            count += message.message == WM_LBUTTONDOWN ? 1 : 0;
        }
        return count;
    };

    StudioUnderTest studio("--lang en \"" + path + "\"");
    ASSERT_TRUE(studio.waitForWindow());
    ASSERT_TRUE(eventually([&] { return !studio.editorText().empty(); }));
    ASSERT_TRUE(studio.bringToFront());
    press(VK_F5);
    ASSERT_TRUE(eventually([&] { return clicks() == 1; }, 15000)) << studio.state();
    ASSERT_TRUE(eventually(
        [&] { return studio.state().rfind("The passes ran out: exit code 0", 0) == 0; }, 15000))
        << studio.state();
    EXPECT_FALSE(IsIconic(studio.window)) << "the studio comes back when the script ends";

    ASSERT_TRUE(studio.bringToFront());
    press(VK_F7);
    ASSERT_TRUE(eventually([&] { return studio.state() == "Made studio_run.exe"; }))
        << studio.state();
    EXPECT_EQ(e2e::runProgram(exe), std::optional<DWORD>(0));
    EXPECT_TRUE(eventually([&] { return clicks() == 2; }));
}

TEST(Studio, GivesUnsavedWorkBackAfterItWasKilled) {
    removeRecoveryCopies();
    const std::string typed = "Start No Box\nLClick\nEnd";
    {
        StudioUnderTest first("--lang en");
        ASSERT_TRUE(first.waitForWindow());
        ASSERT_TRUE(first.bringToFront());
        type(typed);
        ASSERT_TRUE(eventually([&] { return first.editorText() == typed; })) << first.editorText();
        ASSERT_TRUE(eventually(anyRecoveryCopy, 10000));
        first.program.kill();
    }
    StudioUnderTest second("--lang en");
    HWND box = e2e::waitForMessageBox("Script Studio", second.program.processId());
    ASSERT_NE(box, nullptr);
    EXPECT_NE(e2e::messageBoxText(box).find("Get it back?"), std::string::npos);
    ASSERT_TRUE(e2e::pressButton(box, IDYES));
    ASSERT_TRUE(second.waitForWindow());
    EXPECT_TRUE(eventually([&] { return second.editorText() == typed; })) << second.editorText();
    EXPECT_EQ(second.title().rfind("*Untitled", 0), 0u) << second.title();
    second.program.kill();
    removeRecoveryCopies();
}

TEST(Studio, SpeaksChineseWhereTheUserInterfaceIsChinese) {
    if (PRIMARYLANGID(GetUserDefaultUILanguage()) != LANG_CHINESE) {
        GTEST_SKIP() << "the bed's user interface language is not Chinese";
    }
    StudioUnderTest chinese("");
    ASSERT_TRUE(chinese.waitForWindow());
    EXPECT_EQ(gbk(chinese.controlText(ToolButtonId + 3)), "运行 (F5)");
    ASSERT_TRUE(chinese.bringToFront());
    type("Start No Box\nDealy 5\nEnd");
    EXPECT_TRUE(eventually([&] { return anyContains(chinese.problems(), "第 2 行: 错误: "); }))
        << joined(chinese.problems());
    chinese.program.kill();

    StudioUnderTest english("--lang en");
    ASSERT_TRUE(english.waitForWindow());
    EXPECT_EQ(gbk(english.controlText(ToolButtonId + 3)), "Run (F5)");
}

TEST(Studio, RefusesFilesItCannotShowAndLeavesThemAsTheyAre) {
    const std::string binary = e2e::workDirectory() + "\\studio_binary.txt";
    const std::string bytes("MZ\x90\0\x03\0\0\0\x04\0\0\0\xff\xff\0\0", 16);
    writeBytes(binary, bytes);
    StudioUnderTest studio("--lang en \"" + binary + "\"");
    HWND box = e2e::waitForMessageBox("Script Studio", studio.program.processId());
    ASSERT_NE(box, nullptr);
    EXPECT_NE(e2e::messageBoxText(box).find(
                  "studio_binary.txt was not opened: the file holds binary data"),
              std::string::npos)
        << e2e::messageBoxText(box);
    ASSERT_TRUE(e2e::pressButton(box, IDOK));
    ASSERT_TRUE(studio.waitForWindow());
    EXPECT_EQ(studio.editorText(), "");
    EXPECT_EQ(studio.title().rfind("Untitled", 0), 0u) << studio.title();
    EXPECT_EQ(readBytes(binary), bytes);
}

namespace {

// The studio on `path` with unsaved work typed at its end, killed as a crash
// kills it once its recovery copy is there; the copy's name.
std::string killWithUnsavedWork(const std::string& arguments, const std::string& typed) {
    StudioUnderTest studio(arguments);
    if (!studio.waitForWindow() || !eventually([&] { return studio.title().size() > 0; }) ||
        !studio.bringToFront()) {
        return "";
    }
    press(VK_END, {VK_CONTROL});
    type(typed);
    if (!eventually([&] { return recoveryFiles("recovery-*.studio").size() == 1; }, 10000)) {
        return "";
    }
    const std::string name = recoveryFiles("recovery-*.studio")[0];
    studio.program.kill();
    return name;
}

// The studio takes keys at once: no box stands in the way.
bool takesTyping(StudioUnderTest& studio, const std::string& before) {
    if (!studio.waitForWindow() || !eventually([&] { return studio.editorText() == before; }) ||
        !studio.bringToFront()) {
        return false;
    }
    press(VK_END, {VK_CONTROL});
    type("LClick"); // no Y or N, which would answer a box
    return eventually([&] { return studio.editorText() == before + "LClick"; });
}

} // namespace

TEST(Studio, OffersUnsavedWorkAgainWhenStartedOnTheSameFile) {
    removeRecoveryCopies();
    const std::string path = e2e::workDirectory() + "\\studio_recover.txt";
    writeBytes(path, "Start No Box\r\nEnd\r\n");
    const std::string copy = killWithUnsavedWork("--lang en \"" + path + "\"", "Delay 100");
    ASSERT_FALSE(copy.empty());

    StudioUnderTest second("--lang en \"" + path + "\"");
    HWND box = e2e::waitForMessageBox("Script Studio", second.program.processId());
    ASSERT_NE(box, nullptr);
    const std::string question = e2e::messageBoxText(box);
    EXPECT_NE(question.find(path), std::string::npos) << question;
    EXPECT_NE(question.find("in place of the file"), std::string::npos) << question;
    ASSERT_TRUE(e2e::pressButton(box, IDYES));
    ASSERT_TRUE(second.waitForWindow());
    EXPECT_TRUE(eventually([&] { return second.editorText() == "Start No Box\nEnd\nDelay 100"; }))
        << second.editorText();
    EXPECT_EQ(second.title().rfind("*studio_recover.txt", 0), 0u) << second.title();
    // The copy is this studio's own now: the same one, no second beside it.
    EXPECT_EQ(recoveryFiles("recovery-*.studio"), std::vector<std::string>{copy});

    // Saved, the work is in the file and nothing is left to offer.
    ASSERT_TRUE(second.bringToFront());
    press('S', {VK_CONTROL});
    ASSERT_TRUE(eventually([&] { return second.title().rfind("studio_recover.txt", 0) == 0; }))
        << second.title();
    EXPECT_EQ(readBytes(path), "Start No Box\r\nEnd\r\nDelay 100");
    EXPECT_TRUE(recoveryFiles("recovery-*.studio").empty());
    second.program.kill();
    StudioUnderTest third("--lang en \"" + path + "\"");
    EXPECT_TRUE(takesTyping(third, "Start No Box\nEnd\nDelay 100"));
    third.program.kill();
    removeRecoveryCopies();
}

TEST(Studio, ADeclinedOfferAndADamagedCopyLeaveNothingToOffer) {
    removeRecoveryCopies();
    const std::string path = e2e::workDirectory() + "\\studio_decline.txt";
    writeBytes(path, "Start No Box\r\nEnd\r\n");
    ASSERT_FALSE(killWithUnsavedWork("--lang en \"" + path + "\"", "Delay 100").empty());
    // A copy cut short, as a full disk leaves one, from a studio long gone.
    const std::string damaged = "recovery-00000000000000ff.studio";
    writeBytes(recoveryFolder() + "\\" + damaged, "SPSTUDIO-RECOVERY-1\n\x40");

    StudioUnderTest second("--lang en \"" + path + "\"");
    HWND box = e2e::waitForMessageBox("Script Studio", second.program.processId());
    ASSERT_NE(box, nullptr);
    EXPECT_NE(e2e::messageBoxText(box).find(path), std::string::npos);
    ASSERT_TRUE(e2e::pressButton(box, IDNO));
    // The file as it is on disk, the declined copy gone, the damaged one set aside.
    ASSERT_TRUE(second.waitForWindow());
    EXPECT_TRUE(eventually([&] { return recoveryFiles("recovery-*.studio").empty(); }));
    EXPECT_EQ(recoveryFiles("recovery-*.damaged"), std::vector<std::string>{damaged + ".damaged"});
    EXPECT_EQ(second.editorText(), "Start No Box\nEnd\n");
    EXPECT_EQ(second.title().rfind("studio_decline.txt", 0), 0u) << second.title();
    second.program.kill();

    StudioUnderTest third("--lang en");
    EXPECT_TRUE(takesTyping(third, ""));
    third.program.kill();
    removeRecoveryCopies();
}
