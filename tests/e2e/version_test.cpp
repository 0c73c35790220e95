// The version resource that Explorer's Properties show, read back the way
// Explorer reads it, in the player, the packer and a player the packer made;
// and pack --version and spy --version.

#include "helpers/pack_run.h"
#include "helpers/version_info.h"
#include "support/e2e.h"

#include <gtest/gtest.h>

#include <string>

namespace {

void expectVersion(const std::string& path, const std::string& description,
                   const std::string& originalName, const std::string& product = "Script player",
                   const std::string& version = E2E_VERSION ".0",
                   const std::string& text = E2E_VERSION) {
    SCOPED_TRACE(path);
    const e2e::VersionFacts facts = e2e::versionOf(path);
    ASSERT_TRUE(facts.found) << "no version resource";
    EXPECT_EQ(facts.fileVersionNumbers, version);
    EXPECT_EQ(facts.productVersionNumbers, version);
    EXPECT_EQ(facts.fileVersion, text);
    EXPECT_EQ(facts.productVersion, text);
    EXPECT_EQ(facts.description, description);
    EXPECT_EQ(facts.productName, product);
    EXPECT_EQ(facts.originalName, originalName);
}

TEST(Version, EveryProgramCarriesTheVersionAndAPackedPlayerNamesItsScript) {
    expectVersion(e2e::plainPlayerPath(), "Script player", "player.exe");
    expectVersion(e2e::windowsPath(E2E_PACKER), "Script player packer", "pack.exe");
    expectVersion(e2e::windowsPath(E2E_SPY), "Script player window spy", "spy.exe");

    // Packed twice, so a script that is replaced names the new script; the
    // icon and the manifest stay.
    const std::string folder = e2e::packFolder("version");
    e2e::writeBytes(folder + "\\first.txt", "Start No Box\nDelay 1\nEnd\n");
    e2e::writeBytes(folder + "\\second.txt", "Start No Box\nDelay 2\nDelay 3\nEnd\n");
    const std::string once = folder + "\\once.exe";
    const std::string twice = folder + "\\twice.exe";
    ASSERT_EQ(e2e::runPack("\"" + folder + "\\first.txt\" -o \"" + once + "\"").exitCode, 0u);
    ASSERT_EQ(e2e::runPack("\"" + folder + "\\second.txt\" -o \"" + twice + "\" --player \"" +
                           once + "\"")
                  .exitCode,
              0u);
    for (const std::string& packed : {once, twice}) {
        const std::string name = packed == once ? "first" : "second";
        expectVersion(packed, name, name + ".exe", name, "1.0.0.0", "1.0.0.0");
        HMODULE data = LoadLibraryExA(packed.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(data, nullptr);
        EXPECT_NE(FindResourceA(data, MAKEINTRESOURCEA(101), MAKEINTRESOURCEA(14)), nullptr)
            << packed << ": no icon group 101";
        EXPECT_NE(FindResourceA(data, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24)), nullptr)
            << packed << ": no manifest";
        FreeLibrary(data);
    }
    EXPECT_EQ(e2e::scriptResource(twice), "Start No Box\nDelay 2\nDelay 3\nEnd\n");
}

TEST(Version, PackPrintsItsVersionAndWritesNothingElse) {
    e2e::PackRun run = e2e::runPack("--version");
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.out, "pack " E2E_VERSION " (Script player)\n");
    EXPECT_EQ(run.err, "");
}

// The spy is a GUI program; its --version still reaches the pipe it was given.
TEST(Version, SpyPrintsItsVersion) {
    e2e::PackRun run = e2e::runPackerAt(e2e::windowsPath(E2E_SPY), "--version");
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.out, "spy " E2E_VERSION " (Script player)\n");
    EXPECT_EQ(run.err, "");
}

} // namespace
