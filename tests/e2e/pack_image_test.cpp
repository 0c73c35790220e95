// The executables pack.exe writes are well-formed: the header checksum the
// system computes for their bytes, no stale signature, and a signature made
// after packing that verifies and leaves the exe playing its script.

#include "helpers/pack_run.h"
#include "support/e2e.h"
#include "support/host.h"

#include <imagehlp.h>

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>

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

} // namespace
