// The studio driven as a user drives it: keys sent with SendInput to its
// window, files given on its command line, and what it shows read from
// outside: the editor's text, the problems list, the status line, the title
// and its boxes.

#include "exe_settings.h"
#include "helpers/studio_driver.h"
#include "helpers/version_info.h"
#include "helpers/wait_support.h"
#include "studio_ids.h"
#include "support/e2e.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
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
    // Make exe's dialog, left as it is: the exe named after the script.
    ASSERT_NE(e2e::waitForMessageBox("Make exe", studio.program.processId()), nullptr);
    press(VK_RETURN);
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
        // The keys may still be on their way on a busy machine.
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

std::vector<std::string> commandRows(HWND studio) {
    HWND list = GetDlgItem(studio, CommandListId);
    std::vector<std::string> rows;
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t row[256] = {};
        if (SendMessageW(list, LB_GETTEXTLEN, i, 0) < 255) {
            SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(row));
        }
        rows.push_back(gbk(row));
    }
    return rows;
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

TEST(Studio, FindsACommandAsItsNameIsTypedAndInsertsItReadyForItsParameters) {
    const std::string path = e2e::workDirectory() + "\\studio_commands.txt";
    writeBytes(path, "Start No Box\nEnd\n");
    StudioUnderTest studio("--lang en \"" + path + "\"");
    ASSERT_TRUE(studio.waitForWindow());
    ASSERT_TRUE(eventually([&] { return !studio.editorText().empty(); }));
    ASSERT_TRUE(studio.bringToFront());

    // Each command once: PutChar has two rows in the table.
    const std::vector<std::string> all = commandRows(studio.window);
    EXPECT_EQ(std::count(all.begin(), all.end(), "PutChar"), 1) << joined(all);

    // F1, "Top", Enter: the first line's command follows it, the cursor after
    // its name and the parameters on the status line.
    press(VK_F1);
    type("Top");
    ASSERT_TRUE(eventually([&] {
        const std::vector<std::string> rows = commandRows(studio.window);
        return !rows.empty() && rows.front() == "Top Caption";
    })) << joined(commandRows(studio.window));
    EXPECT_EQ(gbk(studio.controlText(CommandFindId)), "Top");
    press(VK_RETURN);
    ASSERT_TRUE(eventually([&] {
        return studio.editorText() == "Start No Box\nTop Caption \nEnd\n";
    })) << studio.editorText();
    EXPECT_NE(gbk(studio.controlText(StatusPlaceId)).find("Line 2, column 13   Top Caption "),
              std::string::npos)
        << gbk(studio.controlText(StatusPlaceId));
    type("studio click target");
    EXPECT_TRUE(eventually([&] {
        return studio.editorText() == "Start No Box\nTop Caption studio click target\nEnd\n";
    })) << studio.editorText();

    // A Chinese name, as the input method gives its characters: PutChar by its
    // second Chinese name, which its help lists among its other names; Down
    // moves in the list while the find box keeps the focus.
    press(VK_F1);
    type("输出字母");
    ASSERT_TRUE(eventually([&] {
        const std::vector<std::string> rows = commandRows(studio.window);
        return rows.size() == 1 && rows.front() == "PutChar  (输出字母)";
    })) << joined(commandRows(studio.window));
    EXPECT_NE(gbk(studio.controlText(CommandTextId)).find("Also: 输出字母"), std::string::npos)
        << gbk(studio.controlText(CommandTextId));
    press(VK_F1);
    type("Wait");
    ASSERT_TRUE(eventually([&] { return commandRows(studio.window).size() > 2; }));
    press(VK_DOWN);
    std::string second = commandRows(studio.window)[1];
    second = second.substr(0, second.find("  ("));
    EXPECT_NE(gbk(studio.controlText(CommandTextId)).find(second), std::string::npos)
        << second << " / " << gbk(studio.controlText(CommandTextId));
    press(VK_ESCAPE);
    type("*");
    EXPECT_TRUE(eventually([&] {
        return studio.editorText() == "Start No Box\nTop Caption studio click target*\nEnd\n";
    })) << studio.editorText();
}

TEST(Studio, MakesAnExeWithTheIconAndVersionTextsOfItsDialogAndKeepsThemInTheScript) {
    const std::string folder = e2e::workDirectory();
    const std::string path = folder + "\\studio_exe.txt";
    const std::string exe = folder + "\\studio_exe.exe";
    DeleteFileA(exe.c_str());
    ASSERT_TRUE(CopyFileA(e2e::windowsPath(E2E_ICON).c_str(), (folder + "\\studio_exe.ico").c_str(),
                          FALSE));
    writeBytes(folder + "\\studio_exe_bad.ico", "not an icon");
    writeBytes(path, "Start No Box\nREM Exe Company: Old Co\nLClick\nEnd\n");
    StudioUnderTest studio("--lang en \"" + path + "\"");
    ASSERT_TRUE(studio.waitForWindow());
    ASSERT_TRUE(eventually([&] { return !studio.editorText().empty(); }));
    ASSERT_TRUE(studio.bringToFront());
    press(VK_F7);
    HWND dialog = e2e::waitForMessageBox("Make exe", studio.program.processId());
    ASSERT_NE(dialog, nullptr);
    auto field = [&](ExeField which) {
        return GetDlgItem(dialog, ExeSettingEditId + static_cast<int>(which));
    };
    auto fill = [&](ExeField which, const std::string& value) {
        SendMessageW(field(which), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>(e2e::wide(value).c_str()));
    };
    auto pressOk = [&] { PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0); };
    // Prefilled from the script's line.
    wchar_t company[64] = {};
    SendMessageW(field(ExeField::Company), WM_GETTEXT, 64, reinterpret_cast<LPARAM>(company));
    EXPECT_EQ(gbk(company), "Old Co");

    // Wrong input: the packer's message, the dialog stays and no exe is made.
    fill(ExeField::FileVersion, "2.3.4.70000");
    pressOk();
    HWND box = e2e::waitForMessageBox("Script Studio", studio.program.processId());
    ASSERT_NE(box, nullptr);
    EXPECT_NE(e2e::messageBoxText(box).find("\"2.3.4.70000\" is not four numbers up to 65535"),
              std::string::npos)
        << e2e::messageBoxText(box);
    ASSERT_TRUE(e2e::pressButton(box, IDOK));
    fill(ExeField::FileVersion, "2.3.4.5");
    fill(ExeField::Icon, "studio_exe_bad.ico");
    pressOk();
    box = e2e::waitForMessageBox("Script Studio", studio.program.processId());
    ASSERT_NE(box, nullptr);
    EXPECT_NE(e2e::messageBoxText(box).find("studio_exe_bad.ico"), std::string::npos)
        << e2e::messageBoxText(box);
    ASSERT_TRUE(e2e::pressButton(box, IDOK));
    EXPECT_TRUE(IsWindow(dialog));
    EXPECT_EQ(GetFileAttributesA(exe.c_str()), INVALID_FILE_ATTRIBUTES);

    fill(ExeField::Icon, "studio_exe.ico");
    fill(ExeField::Description, "Fills the weekly form");
    fill(ExeField::Product, "Form filler");
    fill(ExeField::Company, "");
    fill(ExeField::Copyright, "(c) 2026 Example");
    fill(ExeField::ProductVersion, "2.3.0.0");
    fill(ExeField::OriginalName, "filler.exe");
    pressOk();
    ASSERT_TRUE(eventually([&] { return studio.state() == "Made studio_exe.exe"; }))
        << studio.state();
    const e2e::VersionFacts facts = e2e::versionOf(exe);
    ASSERT_TRUE(facts.found);
    EXPECT_EQ(facts.description, "Fills the weekly form");
    EXPECT_EQ(facts.productName, "Form filler");
    EXPECT_EQ(facts.copyright, "(c) 2026 Example");
    EXPECT_EQ(facts.fileVersionNumbers, "2.3.4.5");
    EXPECT_EQ(facts.productVersion, "2.3.0.0");
    EXPECT_EQ(facts.originalName, "filler.exe");
    EXPECT_EQ(facts.company, "");

    // The script keeps them: the company's line is gone, the others follow the first line.
    const std::string lines = "Start No Box\n"
                              "REM Exe Icon: studio_exe.ico\n"
                              "REM Exe Description: Fills the weekly form\n"
                              "REM Exe Product: Form filler\n"
                              "REM Exe Copyright: (c) 2026 Example\n"
                              "REM Exe File Version: 2.3.4.5\n"
                              "REM Exe Product Version: 2.3.0.0\n"
                              "REM Exe Original Name: filler.exe\n"
                              "LClick\nEnd\n";
    EXPECT_EQ(studio.editorText(), lines);
    // One edit: Undo takes all of it back.
    ASSERT_TRUE(studio.bringToFront());
    press('Z', {VK_CONTROL});
    EXPECT_TRUE(eventually([&] {
        return studio.editorText() == "Start No Box\nREM Exe Company: Old Co\nLClick\nEnd\n";
    })) << studio.editorText();
}

namespace {

// Closes the windows whose caption holds `part`: the program the studio
// opened the guide with, whichever it is.
void closeWindowsNamed(const std::string& part) {
    struct Search {
        std::string part;
        std::vector<HWND> found;
    } search{part, {}};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* search = reinterpret_cast<Search*>(data);
            wchar_t caption[512] = {};
            GetWindowTextW(window, caption, 512);
            if (gbk(caption).find(search->part) != std::string::npos) {
                search->found.push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    for (HWND window : search.found) {
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
}

} // namespace

TEST(Studio, OpensTheUserSGuideInItsLanguageFromTheHelpMenu) {
    // A studio laid out as the release's zip lays it out: docs beside it.
    const std::string folder = e2e::workDirectory() + "\\guide_bed";
    CreateDirectoryA(folder.c_str(), nullptr);
    CreateDirectoryA((folder + "\\docs").c_str(), nullptr);
    ASSERT_TRUE(
        CopyFileA(e2e::windowsPath(E2E_STUDIO).c_str(), (folder + "\\studio.exe").c_str(), FALSE));
    writeBytes(folder + "\\docs\\guide.zh.md", utf8Of("# 用户指南\n"));
    writeBytes(folder + "\\docs\\guide.md", "# User's guide\n");
    {
        StudioUnderTest chinese("--lang zh", folder + "\\studio.exe");
        ASSERT_TRUE(chinese.waitForWindow());
        ASSERT_TRUE(chinese.bringToFront());
        press('H', {VK_MENU});
        press('U');
        EXPECT_TRUE(eventually([&] {
            return chinese.state() == "已打开指南 " + folder + "\\docs\\guide.zh.md";
        })) << chinese.state();
        chinese.program.kill();
    }
    closeWindowsNamed("guide.zh.md");

    // Without the guide (and no source tree above): a box says where it looked.
    DeleteFileA((folder + "\\docs\\guide.zh.md").c_str());
    DeleteFileA((folder + "\\docs\\guide.md").c_str());
    StudioUnderTest english("--lang en", folder + "\\studio.exe");
    ASSERT_TRUE(english.waitForWindow());
    ASSERT_TRUE(english.bringToFront());
    press('H', {VK_MENU});
    press('U');
    HWND box = e2e::waitForMessageBox("Script Studio", english.program.processId());
    ASSERT_NE(box, nullptr);
    EXPECT_NE(e2e::messageBoxText(box).find(folder + "\\docs\\guide.md"), std::string::npos)
        << e2e::messageBoxText(box);
    ASSERT_TRUE(e2e::pressButton(box, IDOK));
    EXPECT_EQ(english.state(), "The user's guide is not found");
    english.program.kill();
    DeleteFileA((folder + "\\studio.exe").c_str());
}
