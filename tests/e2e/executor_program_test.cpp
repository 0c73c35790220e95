// Excute and If Key run in this process through the real shell: the started
// programs record how they were started (helpers/record_args.h).

#include "helpers/record_args.h"
#include "helpers/run_lines.h"
#include "support/e2e.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>

namespace {

// If Key starts a second copy of the running executable, which here is this
// test program. Started with this marker it records how it was started and ends
// before any test runs.
constexpr const char* SelfStartMarker = "e2e-started-by-if-key";

[[maybe_unused]] const bool startedByIfKey = [] {
    if (std::strstr(GetCommandLineA(), SelfStartMarker) != nullptr) {
        ExitProcess(e2e::recordCommandLine() ? 0 : 2);
    }
    return false;
}();

std::string recordFile(const char* name) {
    const std::string file = e2e::workDirectory() + "\\" + name;
    DeleteFileA(file.c_str());
    SetEnvironmentVariableA(e2e::RecordFileVariable, file.c_str());
    return file;
}

std::string ownPath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    return path;
}

bool sameFile(const std::string& a, const std::string& b) {
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

class ExecutorProgram : public ::testing::Test {
  protected:
    void SetUp() override { resetRunState(); }
};

TEST_F(ExecutorProgram, ExcuteSplitsAtTheFirstSpace) {
    const std::string file = recordFile("excute_plain.txt");
    const std::string program = e2e::windowsPath(E2E_RECORD_ARGS);
    ASSERT_EQ(program.find(' '), std::string::npos);
    e2e::runLines("Excute " + program + " one  two \"three four\"");
    const auto started = e2e::waitForRecordedStart(file, 20000);
    ASSERT_TRUE(started);
    EXPECT_TRUE(sameFile(started->modulePath, program)) << started->modulePath;
    EXPECT_EQ(e2e::argumentsOf(started->commandLine), "one  two \"three four\"")
        << started->commandLine;
}

TEST_F(ExecutorProgram, ExcuteStartsAQuotedPathWithSpaces) {
    const std::string directory = e2e::workDirectory() + "\\dir with space";
    CreateDirectoryA(directory.c_str(), nullptr);
    const std::string program = directory + "\\record args.exe";
    ASSERT_TRUE(CopyFileA(e2e::windowsPath(E2E_RECORD_ARGS).c_str(), program.c_str(), FALSE));

    const std::string file = recordFile("excute_quoted.txt");
    e2e::runLines("运行 \"" + program + "\" -a -b");
    auto started = e2e::waitForRecordedStart(file, 20000);
    ASSERT_TRUE(started);
    EXPECT_TRUE(sameFile(started->modulePath, program)) << started->modulePath;
    EXPECT_EQ(e2e::argumentsOf(started->commandLine), "-a -b") << started->commandLine;

    // The closing quote as the last byte: no parameters at all.
    e2e::runLines("Excute \"" + program + "\"");
    started = e2e::waitForRecordedStart(file, 20000);
    ASSERT_TRUE(started);
    EXPECT_EQ(e2e::argumentsOf(started->commandLine), "") << started->commandLine;
}

TEST_F(ExecutorProgram, ExcutePassesAParameterTextLongerThanAKilobyteWhole) {
    const std::string file = recordFile("excute_long.txt");
    std::string parameters;
    for (int word = 0; parameters.size() < 1500; ++word) {
        parameters += "word" + std::to_string(word) + " ";
    }
    parameters += "end";
    e2e::runLines("Excute " + e2e::windowsPath(E2E_RECORD_ARGS) + " " + parameters);
    const auto started = e2e::waitForRecordedStart(file, 20000);
    ASSERT_TRUE(started);
    EXPECT_EQ(e2e::argumentsOf(started->commandLine), parameters);
}

// Runs one command on a thread of its own: If Key holds the run while its
// combination stays down.
class CommandThread {
  public:
    CommandThread(const std::string& line) {
        e2e::loadScript(script, line);
        thread = std::thread([this] {
            script.execute(script.commands[0]);
            done = true;
        });
    }
    ~CommandThread() { thread.join(); }
    bool finishedWithin(DWORD timeoutMs) {
        for (DWORD waited = 0; !done && waited < timeoutMs; waited += 10) {
            Sleep(10);
        }
        return done;
    }

  private:
    Script script;
    std::atomic<bool> done{false};
    std::thread thread;
};

bool heldWithin(int virtualKey, bool held, DWORD timeoutMs) {
    for (DWORD waited = 0; waited <= timeoutMs; waited += 20) {
        if (((GetAsyncKeyState(virtualKey) & 0x8000) != 0) == held) {
            return true;
        }
        Sleep(20);
    }
    return false;
}

TEST_F(ExecutorProgram, IfKeyHeldStartsASecondCopyAndWaitsForTheRelease) {
    const std::string file = recordFile("if_key.txt");
    e2e::HeldKey f8("F8");
    ASSERT_TRUE(heldWithin(VK_F8, true, 2000));
    {
        CommandThread command(std::string("If Key f8 ") + SelfStartMarker + " first  second");
        const auto started = e2e::waitForRecordedStart(file, 20000);
        EXPECT_FALSE(command.finishedWithin(300)) << "returned while the key is still held";
        f8.release();
        EXPECT_TRUE(command.finishedWithin(5000)) << "still waiting after the release";
        ASSERT_TRUE(started);
        EXPECT_TRUE(sameFile(started->modulePath, ownPath())) << started->modulePath;
        EXPECT_EQ(e2e::argumentsOf(started->commandLine),
                  std::string(SelfStartMarker) + " first  second");
    }
}

TEST_F(ExecutorProgram, IfKeyNotHeldStartsNothing) {
    const std::string file = recordFile("if_key_idle.txt");
    ASSERT_TRUE(heldWithin(VK_F8, false, 2000));
    {
        CommandThread command(std::string("If Key F8 ") + SelfStartMarker);
        EXPECT_TRUE(command.finishedWithin(2000));
    }
    EXPECT_FALSE(e2e::waitForRecordedStart(file, 1500));
}

} // namespace
