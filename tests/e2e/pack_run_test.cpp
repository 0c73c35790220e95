// Players made by pack.exe run the script they carry.

#include "helpers/pack_run.h"
#include "support/e2e.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Strings = std::vector<std::string>;

std::string utf8(std::u8string_view text) {
    return std::string(text.begin(), text.end());
}

// Packs `script` (file bytes) into NAME.exe of a fresh folder; its path.
std::string packed(const std::string& name, const std::string& script) {
    const std::string folder = e2e::packFolder("run-" + name);
    const std::string source = folder + "\\" + name + ".txt";
    const std::string output = folder + "\\" + name + ".exe";
    e2e::writeBytes(source, script);
    e2e::PackRun run = e2e::runPack("\"" + source + "\" -o \"" + output + "\" --strict");
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    return output;
}

TEST(PackedPlayer, ShowsTheStartBoxOfItsScriptAndRunsOnOk) {
    // Written in UTF-8 with CR LF line ends, as a Windows editor may save it.
    const std::string player =
        packed("start-box", utf8(u8"开始\r\n*说明: 打包测试\r\nBreak Key f12\r\nPauseKey F9\r\n"
                                 u8"Delay 10\r\nEnd\r\n"));
    e2e::RunningProgram run = e2e::startProgram(player);
    ASSERT_TRUE(run.started());
    HWND box = e2e::waitForMessageBox("开始", run.processId());
    ASSERT_NE(box, nullptr) << "no start box";
    EXPECT_EQ(e2e::messageBoxText(box), "打包测试\r\n----------------------------\n"
                                        "按确定开始运行,结束热键[F12]暂停热键[F9]");
    ASSERT_TRUE(e2e::pressButton(box, IDOK));
    EXPECT_EQ(run.waitForExit(10000), 0u);
}

TEST(PackedPlayer, CancelOnTheStartBoxEndsIt) {
    const std::string player = packed("cancel", "Start\nDelay 60000\nEnd\n");
    e2e::RunningProgram run = e2e::startProgram(player);
    ASSERT_TRUE(run.started());
    HWND box = e2e::waitForMessageBox("开始", run.processId());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(e2e::messageBoxText(box), "按确定开始运行,结束热键[ESC]");
    ASSERT_TRUE(e2e::pressButton(box, IDCANCEL));
    EXPECT_EQ(run.waitForExit(5000), 0u);
}

TEST(PackedPlayer, TypesIntoTheForegroundWindow) {
    const std::string player =
        packed("typing", "Start No Box\nREM types two letters, a digit and Enter\nPutChar aB1\n"
                         "HotKey ENTER\nEnd\n");
    e2e::TestWindow window;
    ASSERT_TRUE(window.activate());
    window.clearMessages();
    e2e::RunningProgram run = e2e::startProgram(player);
    ASSERT_TRUE(run.started());
    EXPECT_EQ(run.waitForExit(10000), 0u);
    window.waitFor([](const std::vector<e2e::ReceivedMessage>& all) {
        std::size_t keys = 0;
        for (const e2e::ReceivedMessage& message : all) {
            keys += message.message == WM_KEYDOWN || message.message == WM_KEYUP;
        }
        return keys >= 8;
    });
    Sleep(100);
    EXPECT_EQ(e2e::describe(window.keyMessages()),
              (Strings{"WM_KEYDOWN 41", "WM_KEYUP 41", "WM_KEYDOWN 42", "WM_KEYUP 42",
                       "WM_KEYDOWN 31", "WM_KEYUP 31", "WM_KEYDOWN 0D", "WM_KEYUP 0D"}));
}

} // namespace
