// The executables pack.exe writes are well-formed: the header checksum the
// system computes for their bytes, no stale signature, and a signature made
// after packing that verifies and leaves the exe playing its script.

#include "helpers/pack_run.h"
#include "helpers/version_info.h"
#include "support/e2e.h"
#include "support/host.h"

#include <imagehlp.h>

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

std::string quoted(const std::string& path) {
    return "\"" + path + "\"";
}

// The Linux path of a file under Wine's drive Z:, for host commands.
std::string hostPath(const std::string& windows) {
    std::string path = windows.substr(2);
    for (char& c : path) {
        c = c == '\\' ? '/' : c;
    }
    return path;
}

// The checksum the header holds and the one the system computes.
void expectChecksum(const std::string& path) {
    SCOPED_TRACE(path);
    DWORD stored = 0;
    DWORD computed = 0;
    ASSERT_EQ(MapFileAndCheckSumA(path.c_str(), &stored, &computed), CHECKSUM_SUCCESS);
    EXPECT_NE(stored, 0u);
    EXPECT_EQ(stored, computed);
}

// The size of the security directory entry: the certificate table's.
DWORD certificateSize(const std::string& path) {
    const std::optional<std::string> bytes = e2e::readBytes(path);
    if (!bytes || bytes->size() < 0x200) {
        ADD_FAILURE() << path << " cannot be read";
        return 0;
    }
    DWORD pe = 0;
    std::memcpy(&pe, bytes->data() + 0x3C, 4);
    const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS64*>(bytes->data() + pe);
    return headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_SECURITY].Size;
}

// Plays the exe: its start box shows the script's comment; OK ends it.
void expectPlays(const std::string& exe, const std::string& comment) {
    SCOPED_TRACE(exe);
    e2e::RunningProgram run = e2e::startProgram(exe);
    ASSERT_TRUE(run.started());
    HWND box = e2e::waitForMessageBox("开始", run.processId());
    ASSERT_NE(box, nullptr) << "no start box";
    EXPECT_EQ(e2e::messageBoxText(box).substr(0, comment.size()), comment);
    ASSERT_TRUE(e2e::pressButton(box, IDOK));
    EXPECT_EQ(run.waitForExit(10000), 0u);
}

TEST(PackImage, EveryWrittenExeHasItsChecksumAndASignedOneIsSignedAfresh) {
    const std::string folder = e2e::packFolder("image");
    e2e::writeBytes(folder + "\\first.txt", "Start\n*Comment: first\nDelay 1\nEnd\n");
    e2e::writeBytes(folder + "\\second.txt", "Start\n*Comment: second\nDelay 1\nEnd\n");
    const std::string first = folder + "\\first.exe";
    ASSERT_EQ(e2e::runPack(quoted(folder + "\\first.txt") + " -o " + quoted(first)).exitCode, 0u);
    expectChecksum(first);
    // Packed again from the packed exe.
    const std::string repacked = folder + "\\repacked.exe";
    ASSERT_EQ(e2e::runPack(quoted(folder + "\\second.txt") + " -o " + quoted(repacked) +
                           " --player " + quoted(first))
                  .exitCode,
              0u);
    expectChecksum(repacked);

    // Signed afterwards, as an author does, with a throwaway certificate.
    const std::string host = hostPath(folder);
    const std::string make =
        "cd '" + host +
        "' && openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=pack-test"
        " -keyout key.pem -out cert.pem >/dev/null 2>&1 && osslsigncode sign -certs cert.pem"
        " -key key.pem -n 'pack test' -in first.exe -out signed.exe >sign.log 2>&1";
    ASSERT_EQ(e2e::runHostCommand(make, 60000), 0) << "openssl or osslsigncode failed";
    const std::string signedExe = folder + "\\signed.exe";
    ASSERT_NE(certificateSize(signedExe), 0u);
    // The certificate is not trusted by any root; the signature itself must match.
    EXPECT_EQ(e2e::runHostCommand("cd '" + host +
                                      "' && osslsigncode verify -CAfile cert.pem -in signed.exe"
                                      " >verify.log 2>&1",
                                  60000),
              0)
        << e2e::readBytes(folder + "\\verify.log").value_or("");
    expectPlays(signedExe, "first");

    // The signed exe packed again: no certificate left, the right checksum,
    // and it plays the new script.
    const std::string resigned = folder + "\\from-signed.exe";
    e2e::PackRun run = e2e::runPack(quoted(folder + "\\second.txt") + " -o " + quoted(resigned) +
                                    " --player " + quoted(signedExe));
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(certificateSize(resigned), 0u);
    expectChecksum(resigned);
    const std::optional<std::string> fromSigned = e2e::readBytes(resigned);
    EXPECT_EQ(fromSigned, e2e::readBytes(repacked)) << "the signature left a trace";
    expectPlays(resigned, "second");
}

// An .ico file of the first `count` images of `ico`, and those images.
std::string firstImages(const std::string& ico, int count, std::vector<std::string>& images) {
    std::string out = ico.substr(0, 4);
    out += static_cast<char>(count);
    out += '\0';
    std::string data;
    for (int i = 0; i < count; ++i) {
        std::string entry = ico.substr(6 + 16 * i, 16);
        DWORD size = 0;
        DWORD offset = 0;
        std::memcpy(&size, entry.data() + 8, 4);
        std::memcpy(&offset, entry.data() + 12, 4);
        images.push_back(ico.substr(offset, size));
        const DWORD at = 6 + 16 * count + static_cast<DWORD>(data.size());
        std::memcpy(entry.data() + 12, &at, 4);
        out += entry;
        data += images.back();
    }
    return out + data;
}

std::optional<std::string> resource(HMODULE module, int name, int type) {
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(name), MAKEINTRESOURCEA(type));
    if (found == nullptr) {
        return std::nullopt;
    }
    const char* data = static_cast<const char*>(LockResource(LoadResource(module, found)));
    return std::string(data, SizeofResource(module, found));
}

TEST(PackImage, TheScriptsLinesAndTheOptionsGiveTheExeItsIconAndVersionTexts) {
    const std::string folder = e2e::packFolder("authored");
    const std::optional<std::string> playerIcon = e2e::readBytes(e2e::windowsPath(E2E_PLAYER_ICON));
    ASSERT_TRUE(playerIcon.has_value());
    std::vector<std::string> images;
    e2e::writeBytes(folder + "\\small.ico", firstImages(*playerIcon, 2, images));
    const std::string script = "Start\nREM Exe Icon: small.ico\nREM Exe Description: Daily\n"
                               "rem exe company: 示例公司\nREM Exe File Version: 2.5.0.65535\n"
                               "*Comment: authored\nEnd\n";
    e2e::writeBytes(folder + "\\report.txt", script);
    const std::string exe = folder + "\\report.exe";
    const std::string command = quoted(folder + "\\report.txt") + " -o " + quoted(exe) +
                                " --description \"Report tool\" --copyright \"(c) ACME\"";
    e2e::PackRun run = e2e::runPack(command);
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_NE(run.err.find("pack: the exe's icon: " + folder + "\\small.ico (2 images)"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("pack: the exe's file description: Report tool\n"), std::string::npos)
        << run.err;

    const e2e::VersionFacts facts = e2e::versionOf(exe);
    ASSERT_TRUE(facts.found);
    EXPECT_EQ(facts.description, "Report tool"); // the option over the line
    EXPECT_EQ(facts.productName, "report");      // the script's name
    EXPECT_EQ(facts.company, "示例公司");
    EXPECT_EQ(facts.copyright, "(c) ACME");
    EXPECT_EQ(facts.fileVersionNumbers, "2.5.0.65535");
    EXPECT_EQ(facts.productVersionNumbers, "2.5.0.65535");
    EXPECT_EQ(facts.fileVersion, "2.5.0.65535");
    EXPECT_EQ(facts.originalName, "report.exe");

    // The player's own icon has every size Explorer asks for, 256 as a PNG.
    HMODULE player =
        LoadLibraryExA(e2e::plainPlayerPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(player, nullptr);
    const std::optional<std::string> playerGroup = resource(player, 101, 14);
    ASSERT_TRUE(playerGroup.has_value());
    std::string sides;
    for (std::size_t i = 0; 6 + 14 * (i + 1) <= playerGroup->size(); ++i) {
        sides += std::to_string(static_cast<unsigned char>((*playerGroup)[6 + 14 * i])) + " ";
    }
    EXPECT_EQ(sides, "16 20 24 32 40 48 64 0 ");
    EXPECT_EQ(resource(player, 8, 3).value_or("").substr(0, 4), "\x89PNG");
    FreeLibrary(player);

    HMODULE data = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(data, nullptr);
    const std::optional<std::string> group = resource(data, 101, 14);
    ASSERT_TRUE(group.has_value());
    ASSERT_EQ(group->size(), 6u + 14 * 2);
    EXPECT_EQ((*group)[4], 2);
    EXPECT_EQ(resource(data, 1, 3), images[0]);
    EXPECT_EQ(resource(data, 2, 3), images[1]);
    EXPECT_EQ(resource(data, 3, 3), std::nullopt) << "an image of the player's icon stayed";
    FreeLibrary(data);
    expectChecksum(exe);
    expectPlays(exe, "authored");

    // The same script, settings and player give the same bytes.
    const std::string again = folder + "\\again.exe";
    ASSERT_EQ(e2e::runPack(quoted(folder + "\\report.txt") + " -o " + quoted(again) +
                           " --description \"Report tool\" --copyright \"(c) ACME\"")
                  .exitCode,
              0u);
    EXPECT_EQ(e2e::readBytes(again), e2e::readBytes(exe));
}

TEST(PackImage, BadIconOrVersionWritesNothingAndLeavesTheOldExeWhole) {
    const std::string folder = e2e::packFolder("authored-bad");
    e2e::writeBytes(folder + "\\a.txt", "Start\n*Comment: a\nEnd\n");
    const std::string exe = folder + "\\a.exe";
    ASSERT_EQ(e2e::runPack(quoted(folder + "\\a.txt") + " -o " + quoted(exe)).exitCode, 0u);
    const std::optional<std::string> before = e2e::readBytes(exe);

    e2e::writeBytes(folder + "\\not.ico", "GIF89a, not an icon at all");
    e2e::PackRun run = e2e::runPack(quoted(folder + "\\a.txt") + " -o " + quoted(exe) + " --icon " +
                                    quoted(folder + "\\not.ico"));
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_NE(run.err.find("not.ico is not an icon file"), std::string::npos) << run.err;

    run = e2e::runPack(quoted(folder + "\\a.txt") + " -o " + quoted(exe) + " --file-version 1.2.3");
    EXPECT_EQ(run.exitCode, 2u);
    EXPECT_NE(run.err.find("not four numbers up to 65535"), std::string::npos) << run.err;

    e2e::writeBytes(folder + "\\b.txt", "Start\nREM Exe Product Version: 1.0.0.65536\nEnd\n");
    run = e2e::runPack(quoted(folder + "\\b.txt") + " -o " + quoted(exe) + " --lang zh");
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_NE(run.err.find("第 2 行：错误：exe 的产品版本“1.0.0.65536”不是四个不超过 65535 的数字"),
              std::string::npos)
        << run.err;

    EXPECT_EQ(e2e::readBytes(exe), before) << "the old exe changed";
    EXPECT_EQ(e2e::listFolder(folder), "a.exe a.txt b.txt not.ico");
}

} // namespace
