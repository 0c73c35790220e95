// The version resource that Explorer's Properties show, read back the way
// Explorer reads it, in the player, the packer and a player the packer made;
// and pack --version.

#include "helpers/pack_run.h"
#include "support/e2e.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct VersionFacts {
    bool found = false;
    std::string fileVersionNumbers; // VS_FIXEDFILEINFO, "1.2.3.0"
    std::string productVersionNumbers;
    std::string fileVersion; // the strings of block 040904B0
    std::string productVersion;
    std::string description;
    std::string productName;
    std::string originalName;
};

std::string numbers(DWORD high, DWORD low) {
    return std::to_string(HIWORD(high)) + "." + std::to_string(LOWORD(high)) + "." +
           std::to_string(HIWORD(low)) + "." + std::to_string(LOWORD(low));
}

VersionFacts versionOf(const std::string& path) {
    VersionFacts facts;
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0) {
        return facts;
    }
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data())) {
        return facts;
    }
    void* value = nullptr;
    UINT length = 0;
    if (VerQueryValueA(block.data(), "\\", &value, &length) && length >= sizeof(VS_FIXEDFILEINFO)) {
        const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
        facts.found = fixed->dwSignature == 0xFEEF04BD;
        facts.fileVersionNumbers = numbers(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
        facts.productVersionNumbers = numbers(fixed->dwProductVersionMS, fixed->dwProductVersionLS);
    }
    auto text = [&](const char* name) {
        const std::string key = std::string("\\StringFileInfo\\040904B0\\") + name;
        if (!VerQueryValueA(block.data(), key.c_str(), &value, &length) || length == 0) {
            return std::string();
        }
        return std::string(static_cast<const char*>(value));
    };
    facts.fileVersion = text("FileVersion");
    facts.productVersion = text("ProductVersion");
    facts.description = text("FileDescription");
    facts.productName = text("ProductName");
    facts.originalName = text("OriginalFilename");
    return facts;
}

void expectVersion(const std::string& path, const std::string& description,
                   const std::string& originalName) {
    SCOPED_TRACE(path);
    const VersionFacts facts = versionOf(path);
    ASSERT_TRUE(facts.found) << "no version resource";
    EXPECT_EQ(facts.fileVersionNumbers, E2E_VERSION ".0");
    EXPECT_EQ(facts.productVersionNumbers, E2E_VERSION ".0");
    EXPECT_EQ(facts.fileVersion, E2E_VERSION);
    EXPECT_EQ(facts.productVersion, E2E_VERSION);
    EXPECT_EQ(facts.description, description);
    EXPECT_EQ(facts.productName, "Script player");
    EXPECT_EQ(facts.originalName, originalName);
}

TEST(Version, EveryProgramCarriesTheVersionAndAPackedPlayerKeepsIt) {
    expectVersion(e2e::plainPlayerPath(), "Script player", "player.exe");
    expectVersion(e2e::windowsPath(E2E_PACKER), "Script player packer", "pack.exe");

    // Packed twice, so a script that is replaced keeps it too; the icon and
    // the manifest stay as well.
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
        expectVersion(packed, "Script player", "player.exe");
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

} // namespace
