// The release zip as a Windows user gets it: unpacked into an empty folder, its
// packer packs an example dropped on it and the packed player plays it; every
// program shows the version; README.txt, in Chinese and English, is what Notepad
// shows; both guides come with their pictures.

#include "helpers/pack_run.h"
#include "helpers/version_info.h"
#include "support/e2e.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string quoted(const std::string& path) {
    return "\"" + path + "\"";
}

// Unpacks the zip with the host's unzip into an empty folder; the folder the
// zip holds (Windows path).
std::string unpackedRelease() {
    const std::string linuxFolder = E2E_WORK_DIR "/release";
    const std::optional<int> status =
        e2e::runHostCommand("rm -rf '" + linuxFolder + "' && mkdir -p '" + linuxFolder +
                                "' && cd '" + linuxFolder + "' && unzip -q '" E2E_RELEASE_ZIP "'",
                            30000);
    EXPECT_EQ(status, 0) << "cannot unpack " E2E_RELEASE_ZIP;
    return e2e::windowsPath(linuxFolder) + "\\script-player-" E2E_VERSION;
}

// The files a guide's pictures name: the targets of "![...](NAME)".
std::vector<std::string> picturesOf(const std::string& guide) {
    std::vector<std::string> pictures;
    for (std::size_t at = guide.find("!["); at != std::string::npos; at = guide.find("![", at)) {
        const std::size_t open = guide.find("](", at);
        const std::size_t close = open == std::string::npos ? open : guide.find(')', open);
        if (close == std::string::npos) {
            break;
        }
        pictures.push_back(guide.substr(open + 2, close - open - 2));
        at = close;
    }
    return pictures;
}

std::string withoutOptionalPrograms(std::string listing) {
    for (const std::string optional : {" record.exe", " spy.exe", " studio.exe"}) {
        const std::size_t at = listing.find(optional);
        if (at != std::string::npos) {
            listing.erase(at, optional.size());
        }
    }
    return listing;
}

TEST(ReleaseZip, HoldsVersionedProgramsTheDocsAndAReadmeForNotepad) {
    const std::string top = unpackedRelease();
    const std::string listing = e2e::listFolder(top);
    EXPECT_EQ(withoutOptionalPrograms(listing), "LICENSE.txt README.txt pack.exe player.exe");
    // Both guides and both command references, with every picture they show.
    const std::string docs = e2e::listFolder(top + "\\docs");
    EXPECT_TRUE(docs.starts_with("commands.md commands.zh.md guide.md guide.zh.md ")) << docs;
    for (const char* guide : {"guide.md", "guide.zh.md"}) {
        const std::vector<std::string> pictures =
            picturesOf(e2e::readBytes(top + "\\docs\\" + guide).value_or(""));
        EXPECT_GE(pictures.size(), 4u) << guide;
        for (const std::string& picture : pictures) {
            EXPECT_NE((" " + docs + " ").find(" " + picture + " "), std::string::npos)
                << guide << " shows " << picture << ", which the zip lacks: " << docs;
        }
    }
    EXPECT_NE(e2e::listFolder(top + "\\examples").find("hello_box.txt"), std::string::npos);

    for (const char* program : {"player.exe", "pack.exe", "spy.exe", "record.exe", "studio.exe"}) {
        const std::string path = top + "\\" + program;
        if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
            continue; // spy.exe and record.exe once the build has them
        }
        SCOPED_TRACE(program);
        const e2e::VersionFacts facts = e2e::versionOf(path);
        ASSERT_TRUE(facts.found);
        EXPECT_EQ(facts.fileVersion, E2E_VERSION);
        EXPECT_EQ(facts.productVersion, E2E_VERSION);
        EXPECT_EQ(facts.fileVersionNumbers, E2E_VERSION ".0");
        EXPECT_EQ(facts.productName, "Script player");
        EXPECT_EQ(facts.originalName, program);
        EXPECT_FALSE(facts.description.empty());
    }

    const std::string readme = e2e::readBytes(top + "\\README.txt").value_or("");
    ASSERT_GT(readme.size(), 3u);
    EXPECT_EQ(readme.substr(0, 3), "\xEF\xBB\xBF");
    // The first line in Chinese and English (UTF-8), both parts in the file.
    const std::string chinese = reinterpret_cast<const char*>(u8"脚本播放器 ");
    const std::string windows = reinterpret_cast<const char*>(u8" Windows 版");
    EXPECT_EQ(readme.substr(3, readme.find('\r') - 3),
              chinese + E2E_VERSION + windows + " / Script player " E2E_VERSION " for Windows");
    EXPECT_NE(readme.find(reinterpret_cast<const char*>(u8"文件夹里有什么")), std::string::npos);
    EXPECT_NE(readme.find("What is in this folder"), std::string::npos);
    EXPECT_NE(readme.find("guide.zh.md"), std::string::npos);
    for (std::size_t at = readme.find('\n'); at != std::string::npos;
         at = readme.find('\n', at + 1)) {
        ASSERT_EQ(readme[at - 1], '\r') << "a line feed without CR at byte " << at;
    }
    const std::string licence = e2e::readBytes(top + "\\LICENSE.txt").value_or("");
    EXPECT_NE(licence.find("MIT License\r\n"), std::string::npos);
}

TEST(ReleaseZip, PacksADroppedExampleAndThePlayerPlaysIt) {
    const std::string top = unpackedRelease();
    const std::string script = top + "\\examples\\hello_box.txt";
    const std::string player = top + "\\examples\\hello_box.exe";
    e2e::PackRun pack = e2e::runPackerAt(top + "\\pack.exe", quoted(script));
    ASSERT_EQ(pack.exitCode, 0u) << pack.err;
    EXPECT_NE(pack.err.find("pack: wrote " + player), std::string::npos) << pack.err;

    // The example moves the pointer to (200, 150) and clicks there.
    e2e::TestWindow window({.title = "release click target", .x = 0, .y = 0});
    ASSERT_TRUE(window.activate());
    window.clearMessages();
    e2e::RunningProgram run = e2e::startProgram(player);
    ASSERT_TRUE(run.started());
    HWND box = e2e::waitForMessageBox("开始", run.processId());
    ASSERT_NE(box, nullptr) << "no start box";
    EXPECT_NE(e2e::messageBoxText(box).find("Hello box: press OK"), std::string::npos);
    ASSERT_TRUE(e2e::pressButton(box, IDOK));
    EXPECT_EQ(run.waitForExit(20000), 0u);
    EXPECT_TRUE(window.waitFor([](const std::vector<e2e::ReceivedMessage>& messages) {
        for (const e2e::ReceivedMessage& message : messages) {
            if (message.message == WM_LBUTTONDOWN) {
                return true;
            }
        }
        return false;
    })) << testing::PrintToString(e2e::describe(window.messages()));
}

} // namespace
