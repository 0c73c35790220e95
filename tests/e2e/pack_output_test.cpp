// What pack.exe writes: the script resource of the packed player, byte for
// byte, and nothing at all when it refuses.

#include "helpers/pack_run.h"
#include "support/e2e.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

// UTF-8 bytes of a u8 literal (the test's own narrow literals are GBK).
std::string utf8(std::u8string_view text) {
    return std::string(text.begin(), text.end());
}

std::string quoted(const std::string& path) {
    return "\"" + path + "\"";
}

std::string packCommand(const std::string& script, const std::string& output,
                        const std::string& extra = "") {
    return quoted(script) + " -o " + quoted(output) + (extra.empty() ? "" : " " + extra);
}

TEST(PackOutput, GbkAndUtf8ScriptsGiveTheSameResourceBytes) {
    const std::string folder = e2e::packFolder("encodings");
    // The same script twice: as GBK bytes (this file's literals) and as UTF-8.
    const std::string gbk = "开始\n*说明: 你好，世界\nPutTextCb 中文文本\nEnd\n";
    const std::string utf8Text = utf8(u8"开始\n*说明: 你好，世界\nPutTextCb 中文文本\nEnd\n");
    ASSERT_NE(gbk, utf8Text);
    e2e::writeBytes(folder + "\\gbk.txt", gbk);
    e2e::writeBytes(folder + "\\utf8.txt", utf8Text);
    e2e::writeBytes(folder + "\\bom.txt", "\xEF\xBB\xBF" + utf8Text);

    for (const char* name : {"gbk", "utf8", "bom"}) {
        const std::string script = folder + "\\" + name + ".txt";
        const std::string output = folder + "\\" + name + ".exe";
        e2e::PackRun run = e2e::runPack(packCommand(script, output));
        ASSERT_EQ(run.exitCode, 0u) << name << ": " << run.err;
        EXPECT_EQ(e2e::scriptResource(output), gbk) << name;
    }
    // Told which way a file was read.
    EXPECT_NE(e2e::runPack(packCommand(folder + "\\utf8.txt", folder + "\\again.exe"))
                  .err.find("read as UTF-8 and converted to GBK"),
              std::string::npos);
    // Asked for GBK, UTF-8 bytes go in as they are (here only inside texts,
    // where the parser does not look at them).
    const std::string textsOnly = utf8(u8"Start\n*Comment: 你好\nPutTextCb 中文\nEnd\n");
    e2e::writeBytes(folder + "\\texts.txt", textsOnly);
    e2e::PackRun forced = e2e::runPack(
        packCommand(folder + "\\texts.txt", folder + "\\forced.exe", "--encoding gbk"));
    ASSERT_EQ(forced.exitCode, 0u) << forced.err;
    EXPECT_EQ(e2e::scriptResource(folder + "\\forced.exe"), textsOnly);
}

TEST(PackOutput, CharacterWithoutGbkFormIsAnErrorNamingItsPlace) {
    const std::string folder = e2e::packFolder("no-gbk");
    e2e::writeBytes(folder + "\\emoji.txt", utf8(u8"Start\nPutTextCb ab😀\nEnd\n"));
    e2e::PackRun run = e2e::runPack(packCommand(folder + "\\emoji.txt", folder + "\\emoji.exe"));
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_NE(run.err.find("line 2, column 13"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("U+1F600"), std::string::npos) << run.err;
    EXPECT_EQ(e2e::listFolder(folder), "emoji.txt");

    e2e::writeBytes(folder + "\\utf16.txt", std::string("\xFF\xFES\0t\0", 6));
    e2e::PackRun utf16 = e2e::runPack(packCommand(folder + "\\utf16.txt", folder + "\\u.exe"));
    EXPECT_EQ(utf16.exitCode, 1u);
    EXPECT_NE(utf16.err.find("UTF-16"), std::string::npos) << utf16.err;
}

TEST(PackOutput, CrLfBecomesLfUnlessKeepCrIsGiven) {
    const std::string folder = e2e::packFolder("line-ends");
    const std::string crlf = "Start No Box\r\nDelay 10\r\nLClick\r\nEnd\r\n";
    e2e::writeBytes(folder + "\\crlf.txt", crlf);

    e2e::PackRun normalised = e2e::runPack(packCommand(folder + "\\crlf.txt", folder + "\\lf.exe"));
    ASSERT_EQ(normalised.exitCode, 0u) << normalised.err;
    EXPECT_EQ(e2e::scriptResource(folder + "\\lf.exe"), "Start No Box\nDelay 10\nLClick\nEnd\n");
    EXPECT_NE(normalised.err.find("4 lines ended in CR LF and now end in LF"), std::string::npos)
        << normalised.err;

    e2e::PackRun kept =
        e2e::runPack(packCommand(folder + "\\crlf.txt", folder + "\\cr.exe", "--keep-cr"));
    ASSERT_EQ(kept.exitCode, 0u) << kept.err;
    EXPECT_EQ(e2e::scriptResource(folder + "\\cr.exe"), crlf);
    EXPECT_EQ(kept.err.find("CR LF"), std::string::npos) << kept.err;
}

TEST(PackOutput, RejectedScriptLeavesAnExistingOutputUnchanged) {
    const std::string folder = e2e::packFolder("rejected");
    const std::string before = "not a player, but it must stay as it is";
    e2e::writeBytes(folder + "\\out.exe", before);
    e2e::writeBytes(folder + "\\bad.txt", "Start\n\nDelay 10\nDealy 20\nEnd\n");

    e2e::PackRun run = e2e::runPack(packCommand(folder + "\\bad.txt", folder + "\\out.exe"));
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_NE(run.err.find("line 4 (player line 3): error: no command matches this line: "
                           "\"Dealy 20\""),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("nothing written"), std::string::npos) << run.err;
    EXPECT_EQ(e2e::readBytes(folder + "\\out.exe"), before);
    // No temporary file is left behind either.
    EXPECT_EQ(e2e::listFolder(folder), "bad.txt out.exe");

    // A warning with --strict is refused the same way.
    e2e::writeBytes(folder + "\\warn.txt", "Start\nBreak Key F13X\nLClick\nEnd\n");
    e2e::PackRun strict =
        e2e::runPack(packCommand(folder + "\\warn.txt", folder + "\\out.exe", "--strict"));
    EXPECT_EQ(strict.exitCode, 1u);
    EXPECT_NE(strict.err.find("1 warning with --strict; nothing written"), std::string::npos)
        << strict.err;
    EXPECT_EQ(e2e::readBytes(folder + "\\out.exe"), before);
}

TEST(PackOutput, PackingAgainReplacesTheOutputAndItsScript) {
    const std::string folder = e2e::packFolder("replace");
    e2e::writeBytes(folder + "\\one.txt", "Start No Box\nDelay 1\nEnd\n");
    e2e::writeBytes(folder + "\\two.txt", "Start No Box\nDelay 2\nLClick\nEnd\n");
    ASSERT_EQ(e2e::runPack(packCommand(folder + "\\one.txt", folder + "\\p.exe")).exitCode, 0u);
    ASSERT_EQ(e2e::runPack(packCommand(folder + "\\two.txt", folder + "\\p.exe")).exitCode, 0u);
    EXPECT_EQ(e2e::scriptResource(folder + "\\p.exe"), "Start No Box\nDelay 2\nLClick\nEnd\n");
    EXPECT_EQ(e2e::listFolder(folder), "one.txt p.exe two.txt");

    // A packed player can serve as the player: its script is replaced, not doubled.
    e2e::PackRun repack = e2e::runPack(packCommand(folder + "\\one.txt", folder + "\\q.exe",
                                                   "--player " + quoted(folder + "\\p.exe")));
    ASSERT_EQ(repack.exitCode, 0u) << repack.err;
    EXPECT_EQ(e2e::scriptResource(folder + "\\q.exe"), "Start No Box\nDelay 1\nEnd\n");
}

TEST(PackOutput, ExtractGivesBackThePackedBytes) {
    const std::string folder = e2e::packFolder("extract");
    const std::string script = "开始\n*说明: 取回\nDelay 5\n结束\n";
    e2e::writeBytes(folder + "\\s.txt", script);
    ASSERT_EQ(e2e::runPack(packCommand(folder + "\\s.txt", folder + "\\s.exe")).exitCode, 0u);
    e2e::PackRun extract = e2e::runPack("--extract " + quoted(folder + "\\s.exe"));
    EXPECT_EQ(extract.exitCode, 0u) << extract.err;
    EXPECT_EQ(extract.out, script);

    // The plain player carries no script.
    e2e::PackRun plain = e2e::runPack("--extract " + quoted(e2e::plainPlayerPath()));
    EXPECT_EQ(plain.exitCode, 1u);
    EXPECT_NE(plain.err.find("carries no script"), std::string::npos) << plain.err;
}

TEST(PackOutput, EmptyScriptGivesAPlayerThatEndsAtOnce) {
    const std::string folder = e2e::packFolder("empty");
    e2e::writeBytes(folder + "\\empty.txt", "");
    e2e::PackRun run = e2e::runPack(packCommand(folder + "\\empty.txt", folder + "\\e.exe"));
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_NE(run.err.find("warning: the script has no lines"), std::string::npos) << run.err;
    // A resource cannot be empty: the script is one NUL, where the player stops reading.
    EXPECT_EQ(e2e::scriptResource(folder + "\\e.exe"), std::string(1, '\0'));
    EXPECT_EQ(e2e::listFolder(folder), "e.exe empty.txt");

    e2e::PackRun extract = e2e::runPack("--extract " + quoted(folder + "\\e.exe"));
    EXPECT_EQ(extract.exitCode, 0u) << extract.err;
    EXPECT_EQ(extract.out, "");

    // The player ends at once with code 0 and shows no box.
    e2e::RunningProgram player = e2e::startProgram(folder + "\\e.exe", "", true);
    ASSERT_TRUE(player.started());
    const ULONGLONG start = GetTickCount64();
    player.resume();
    int boxes = 0;
    while (player.running() && GetTickCount64() - start < 10000) {
        for (HWND window : e2e::topLevelWindowsOf(player.processId())) {
            char name[16] = {};
            GetClassNameA(window, name, sizeof name);
            boxes += std::string(name) == "#32770" ? 1 : 0;
        }
    }
    EXPECT_EQ(player.waitForExit(0), std::optional<DWORD>(0));
    EXPECT_LT(GetTickCount64() - start, 5000u);
    EXPECT_EQ(boxes, 0);
}

TEST(PackOutput, NeverWritesOverItsInputOrThePlayer) {
    const std::string folder = e2e::packFolder("same-file");
    const std::string script = "Start No Box\nDelay 1\nEnd\n";
    e2e::writeBytes(folder + "\\s.txt", script);
    e2e::PackRun overScript = e2e::runPack(packCommand(folder + "\\s.txt", folder + "\\S.TXT"));
    EXPECT_EQ(overScript.exitCode, 2u);
    EXPECT_NE(overScript.err.find("is the script itself"), std::string::npos) << overScript.err;
    EXPECT_EQ(e2e::readBytes(folder + "\\s.txt"), script);

    // The player given with --player, and the one beside the packer.
    ASSERT_TRUE(
        CopyFileA(e2e::plainPlayerPath().c_str(), (folder + "\\player.exe").c_str(), FALSE));
    const std::optional<std::string> player = e2e::readBytes(folder + "\\player.exe");
    e2e::PackRun overPlayer =
        e2e::runPack(packCommand(folder + "\\s.txt", folder + "\\.\\player.exe",
                                 "--player " + quoted(folder + "\\player.exe")));
    EXPECT_EQ(overPlayer.exitCode, 2u);
    EXPECT_NE(overPlayer.err.find("is the player itself"), std::string::npos) << overPlayer.err;
    EXPECT_EQ(e2e::readBytes(folder + "\\player.exe"), player);

    const std::optional<std::string> plain = e2e::readBytes(e2e::plainPlayerPath());
    e2e::PackRun overPlain = e2e::runPack(packCommand(folder + "\\s.txt", e2e::plainPlayerPath()));
    EXPECT_EQ(overPlain.exitCode, 2u) << overPlain.err;
    EXPECT_EQ(e2e::readBytes(e2e::plainPlayerPath()), plain);
}

TEST(PackOutput, UsageAndFileErrorsGiveOneLineAndAnExitCode) {
    const std::string folder = e2e::packFolder("failures");
    e2e::writeBytes(folder + "\\s.txt", "Start No Box\nDelay 1\nEnd\n");
    e2e::writeBytes(folder + "\\fake.exe", "MZ but nothing else that a program has");
    // An output that is a folder: the failure comes after the temporary file exists.
    const std::string directory = folder + "\\dir.exe";
    CreateDirectoryA(directory.c_str(), nullptr);
    e2e::writeBytes(directory + "\\inside.txt", "stays");
    struct Case {
        std::string arguments;
        DWORD exitCode;
        std::string expected;
    };
    const Case cases[] = {
        {"", 2, "no script file given"},
        // Without -o the output's name is made up: a folder under it is refused.
        {quoted(folder + "\\dir.txt"), 3, "dir.exe already exists and is not a packed player"},
        {quoted(folder + "\\s.txt") + " -o x.exe --fast", 2, "unknown option --fast"},
        {packCommand(folder + "\\missing.txt", folder + "\\m.exe"), 3, "cannot read the script"},
        {packCommand(folder + "\\s.txt", folder + "\\m.exe",
                     "--player " + quoted(folder + "\\nothing.exe")),
         3, "cannot read the player"},
        {packCommand(folder + "\\s.txt", folder + "\\m.exe",
                     "--player " + quoted(folder + "\\fake.exe")),
         3, "is not a valid executable"},
        {packCommand(folder + "\\s.txt", folder + "\\m.exe",
                     "--player " + quoted(folder + "\\s.txt")),
         3, "is not a valid executable: it has no MZ header"},
        {"--extract " + quoted(folder + "\\s.txt"), 3, "is not a valid executable"},
        {packCommand(folder + "\\s.txt", folder + "\\no-such-folder\\m.exe"), 3, "is unchanged"},
        {packCommand(folder + "\\s.txt", directory), 3, "cannot replace " + directory + ": "},
        {packCommand(folder + "\\s.txt", directory), 3, "; " + directory + " is unchanged"},
    };
    for (const Case& c : cases) {
        e2e::PackRun run = e2e::runPack(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments << ": " << run.err;
        EXPECT_NE(run.err.find(c.expected), std::string::npos) << c.arguments << ": " << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_TRUE(run.out.empty()) << run.out;
    }
    // No temporary file is left, and the folder is as it was.
    EXPECT_EQ(e2e::listFolder(folder), "fake.exe s.txt");
    EXPECT_NE(GetFileAttributesA(directory.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_EQ(e2e::listFolder(directory), "inside.txt");
    EXPECT_EQ(e2e::readBytes(directory + "\\inside.txt"), "stays");
}

} // namespace
