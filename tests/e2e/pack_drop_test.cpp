// pack.exe as a user without a console uses it: a script dropped on it (no -o)
// gives SCRIPT.exe beside it, a file of another kind is never replaced, the
// outcome is shown in a message box when the packer has a console of its own,
// and --run tries a script without leaving a file.

#include "helpers/pack_run.h"
#include "support/e2e.h"
#include "ui_text.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace {

std::string quoted(const std::string& path) {
    return "\"" + path + "\"";
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(PackDrop, WritesScriptExeBesideTheScriptAndReplacesOnlyAPackedPlayer) {
    const std::string folder = e2e::packFolder("drop");
    const std::string script = folder + "\\clicks.txt";
    const std::string packed = folder + "\\clicks.exe";
    e2e::writeBytes(script, "Start No Box\nDelay 1\nEnd\n");
    e2e::PackRun first = e2e::runPack(quoted(script));
    ASSERT_EQ(first.exitCode, 0u) << first.err;
    EXPECT_EQ(first.err, "pack: wrote " + packed + " (3 lines, 25 bytes of script, 0 warnings)\n");
    EXPECT_EQ(e2e::scriptResource(packed), "Start No Box\nDelay 1\nEnd\n");
    EXPECT_EQ(e2e::runProgram(packed), 0u);

    // Dropped again after an edit: the packed player is replaced.
    e2e::writeBytes(script, "Start No Box\nDelay 2\nEnd\n");
    ASSERT_EQ(e2e::runPack(quoted(script)).exitCode, 0u);
    EXPECT_EQ(e2e::scriptResource(packed), "Start No Box\nDelay 2\nEnd\n");

    // A name without an extension gets ".exe" appended.
    e2e::writeBytes(folder + "\\bare", "Start No Box\nEnd\n");
    ASSERT_EQ(e2e::runPack(quoted(folder + "\\bare")).exitCode, 0u);
    EXPECT_EQ(e2e::scriptResource(folder + "\\bare.exe"), "Start No Box\nEnd\n");

    // Files of other kinds under the name stay as they were: a text, a program
    // that is not a player (the packer itself), a player without a script.
    const std::string packer = *e2e::readBytes(e2e::windowsPath(E2E_PACKER));
    const std::string plain = *e2e::readBytes(e2e::plainPlayerPath());
    for (const std::string& other : {std::string("notes, not a program\r\n"), packer, plain}) {
        e2e::writeBytes(packed, other);
        e2e::PackRun refused = e2e::runPack(quoted(script));
        EXPECT_EQ(refused.exitCode, 3u);
        EXPECT_EQ(refused.err, "pack: " + packed +
                                   " already exists and is not a packed player; it stays "
                                   "unchanged (rename it, or give -o OUT.exe)\n");
        EXPECT_EQ(e2e::readBytes(packed), other);
    }
    EXPECT_EQ(e2e::listFolder(folder), "bare bare.exe clicks.exe clicks.txt");
}

TEST(PackDrop, OnAConsoleOfItsOwnItShowsTheOutcomeInABox) {
    const std::string folder = e2e::packFolder("drop-box");
    const std::string script = folder + "\\warned.txt";
    e2e::writeBytes(script, "Start No Box\nMoveTo 10\nEnd\n");
    // The bed's UI language may be Chinese, which the box would speak.
    e2e::PackRun done = e2e::runPackOnOwnConsole(quoted(script) + " --lang en");
    EXPECT_EQ(done.exitCode, 0u);
    // The console gets what it always gets; the box shows the same lines.
    ASSERT_TRUE(contains(done.err, script + ": line 2")) << done.err;
    ASSERT_TRUE(contains(done.err, "pack: wrote " + folder + "\\warned.exe")) << done.err;
    EXPECT_EQ(done.boxText + "\n", done.err);

    e2e::writeBytes(folder + "\\broken.txt", "Start No Box\nDelay 1\nno such command\nEnd\n");
    e2e::PackRun rejected =
        e2e::runPackOnOwnConsole(quoted(folder + "\\broken.txt") + " --lang en");
    EXPECT_EQ(rejected.exitCode, 1u);
    EXPECT_TRUE(contains(rejected.boxText, "broken.txt: line 3")) << rejected.boxText;
    EXPECT_TRUE(contains(rejected.boxText, "no such command")) << rejected.boxText;
    EXPECT_TRUE(contains(rejected.boxText, "pack: 1 error; nothing written")) << rejected.boxText;
    EXPECT_EQ(rejected.boxText + "\n", rejected.err);

    // Started by double-click, with nothing dropped on it.
    e2e::PackRun bare = e2e::runPackOnOwnConsole("--lang en");
    EXPECT_EQ(bare.exitCode, 2u);
    EXPECT_EQ(bare.err, "pack: no script file given (pack --help shows the usage)\n");
    EXPECT_EQ(bare.boxText, "pack: no script file given (pack --help shows the usage)\n\n"
                            "Drop a script file on pack.exe to pack it into an .exe.");
    EXPECT_EQ(e2e::listFolder(folder), "broken.txt warned.exe warned.txt");

    // In Chinese, the console and the box alike; the command's name and the
    // line stay as written.
    e2e::PackRun chinese = e2e::runPackOnOwnConsole(quoted(folder + "\\broken.txt") + " --lang zh");
    EXPECT_EQ(chinese.exitCode, 1u);
    EXPECT_EQ(chinese.boxText + "\n", chinese.err);
    const std::string noCommand =
        formatUiText(uiText(TextId::CheckNoCommand, UiLanguage::Chinese), {""});
    EXPECT_TRUE(contains(chinese.boxText, noCommand + "：\"no such command\"")) << chinese.boxText;
    EXPECT_TRUE(contains(chinese.boxText, "pack：1 个错误；未写入任何文件")) << chinese.boxText;
}

// The files a --run left in the folder for temporary files.
std::string temporaryFiles() {
    char folder[MAX_PATH + 1];
    GetTempPathA(sizeof folder, folder);
    return e2e::listFolder(folder);
}

TEST(PackRunOption, GivesThePlayersExitCodeAndLeavesNoFile) {
    const std::string folder = e2e::packFolder("run-option");
    const std::string trace = folder + "\\trace.txt";
    SetEnvironmentVariableA("E2E_RUN_TRACE", trace.c_str());
    const std::string before = temporaryFiles();
    e2e::writeBytes(folder + "\\size.txt", "Start No Box\nDelay 5\nEnd\n");
    e2e::PackRun run = e2e::runPack("--run " + quoted(folder + "\\size.txt") + " --player " +
                                    quoted(e2e::windowsPath(E2E_SCRIPT_SIZE_EXIT)));
    SetEnvironmentVariableA("E2E_RUN_TRACE", nullptr);
    // The stand-in player ends with the size of the script it carries.
    EXPECT_EQ(run.exitCode, 25u) << run.err;
    EXPECT_TRUE(contains(run.err, "pack: the player ended with exit code 25")) << run.err;
    const std::string ran = e2e::readBytes(trace).value_or("");
    ASSERT_FALSE(ran.empty()) << "the player did not run";
    EXPECT_EQ(GetFileAttributesA(ran.c_str()), INVALID_FILE_ATTRIBUTES) << ran << " is left";
    EXPECT_EQ(temporaryFiles(), before);
    EXPECT_EQ(e2e::listFolder(folder), "size.txt trace.txt");

    // A rejected script does not run.
    e2e::writeBytes(folder + "\\bad.txt", "Start No Box\nbogus\nEnd\n");
    EXPECT_EQ(e2e::runPack("--run " + quoted(folder + "\\bad.txt")).exitCode, 1u);
    EXPECT_EQ(temporaryFiles(), before);
}

TEST(PackRunOption, WaitsForTheRealPlayerToEnd) {
    const std::string folder = e2e::packFolder("run-player");
    e2e::writeBytes(folder + "\\box.txt", "开始\n*说明: --run\nDelay 1\nEnd\n");
    const std::string before = temporaryFiles();
    std::string err;
    std::thread answer([&] {
        // The start box of the player that pack.exe started and waits for.
        HWND box = e2e::waitForMessageBox("开始");
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(contains(e2e::messageBoxText(box), "--run"));
        EXPECT_TRUE(e2e::pressButton(box, IDOK));
    });
    e2e::PackRun run = e2e::runPack("--run " + quoted(folder + "\\box.txt"));
    answer.join();
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(temporaryFiles(), before);
}

} // namespace
