// The platform operations that only another process can observe, through the
// platform_probe program.

#include "platform/platform.h"
#include "support/e2e.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string probePath() {
    return e2e::windowsPath(E2E_PLATFORM_PROBE);
}

// A fresh path in the work directory; no file there yet.
std::string freshFile(const std::string& name) {
    const std::string path = e2e::workDirectory() + "\\" + name;
    DeleteFileA(path.c_str());
    return path;
}

bool fileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

TEST(PlatformProcess, EndProcessEndsWithCodeZeroAndRunsNoStaticDestructor) {
    const std::string marker = freshFile("end-process.marker");
    EXPECT_EQ(e2e::runProgram(probePath(), "end-process \"" + marker + "\""), 0u);
    EXPECT_FALSE(fileExists(marker)) << "static objects were destroyed under the other thread";
}

TEST(PlatformProcess, AReturningProgramDoesRunStaticDestructors) {
    // The other side of the test above: the trace would show a clean-up.
    const std::string marker = freshFile("return.marker");
    EXPECT_EQ(e2e::runProgram(probePath(), "return \"" + marker + "\""), 0u);
    EXPECT_TRUE(fileExists(marker));
}

TEST(PlatformProcess, OpenProgramStartsTheFileWithItsParameters) {
    const std::string marker = freshFile("opened.marker");
    EXPECT_EQ(e2e::runProgram(probePath(), "open \"" + probePath() + "\" \"touch " + marker + "\""),
              0u);
    // The started program is not waited for; it shows up soon after.
    bool created = false;
    for (int tries = 0; tries < 200 && !created; ++tries) {
        created = fileExists(marker);
        Sleep(50);
    }
    EXPECT_TRUE(created);
}

TEST(PlatformProcess, AClipboardHeldOpenByAnotherProgramCannotBeOpened) {
    const std::string marker = freshFile("clipboard.marker");
    e2e::RunningProgram holder =
        e2e::startProgram(probePath(), "hold-clipboard \"" + marker + "\"");
    ASSERT_TRUE(holder.started());
    for (int tries = 0; tries < 400 && !fileExists(marker); ++tries)
        Sleep(25);
    ASSERT_TRUE(fileExists(marker)) << "the probe did not open the clipboard";
    EXPECT_FALSE(platform::openClipboard());
    // Lets the probe close the clipboard and end.
    EXPECT_TRUE(DeleteFileA(marker.c_str())) << GetLastError();
    EXPECT_EQ(holder.waitForExit(10000), 0u);
    EXPECT_TRUE(platform::openClipboard());
    platform::closeClipboard();
}

} // namespace
