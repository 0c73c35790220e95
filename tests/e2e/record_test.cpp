// The recorder under Wine: it records what a test drives on the desktop with
// SendInput, packs the script, and the packed player plays it back to the same
// windows, which must see the same buttons and keys at the same places, in the
// same order, with the same pauses.

#include "helpers/desktop_input.h"
#include "helpers/pack_run.h"
#include "support/e2e.h"

#include <gtest/gtest.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace {

std::string recorderPath() {
    return e2e::windowsPath(E2E_RECORDER);
}

// The recorder, started with its standard output and error in a file.
struct Recorder {
    e2e::RunningProgram program;
    std::string errPath;

    std::string err() const { return e2e::readBytes(errPath).value_or(""); }

    // True once the recorder says it records (its hooks are in place).
    bool waitUntilRecording(DWORD timeoutMs = 20000) const {
        for (DWORD waited = 0; waited < timeoutMs; waited += 50) {
            if (err().find("record: recording") != std::string::npos) {
                return true;
            }
            if (!program.running()) {
                return false;
            }
            Sleep(50);
        }
        return false;
    }

    DWORD waitForExit(DWORD timeoutMs = 30000) {
        return program.waitForExit(timeoutMs).value_or(0xFFFFFFFF);
    }
};

void startRecorder(Recorder& recorder, const std::string& folder, const std::string& arguments) {
    recorder.errPath = folder + "\\record-stderr.txt";
    recorder.program = e2e::startProgram(recorderPath(), arguments, false, recorder.errPath);
    ASSERT_TRUE(recorder.program.started()) << arguments;
}

using e2e::button;
using e2e::click;
using e2e::key;
using e2e::movePointer;
using e2e::PassingMouseHook;
using e2e::tap;

POINT onScreen(const e2e::TestWindow& window, int x, int y) {
    POINT point{x, y};
    ClientToScreen(window.handle(), &point);
    return point;
}

// How long the pointer stays at a point before a click there. A person takes
// about that long; under Wine a click played much sooner after a move can land
// at the pointer's old position (a stale motion event of the test process).
constexpr DWORD SettleMs = 600;

// The user's task, done with pauses a person makes: a click, a double click, a
// drag, typed letters and CTRL+A in one window, then a click into a second
// window, which comes to the front, and keys and a right click there.
void driveTheDesktop(const e2e::TestWindow& first, const e2e::TestWindow& second) {
    movePointer(onScreen(first, 100, 80));
    Sleep(SettleMs);
    click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    Sleep(400);
    movePointer(onScreen(first, 300, 200));
    Sleep(SettleMs);
    click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    Sleep(40);
    click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    Sleep(400);
    movePointer(onScreen(first, 100, 300));
    Sleep(SettleMs);
    button(MOUSEEVENTF_LEFTDOWN);
    Sleep(150);
    movePointer(onScreen(first, 150, 320));
    Sleep(30);
    movePointer(onScreen(first, 250, 350));
    Sleep(30);
    movePointer(onScreen(first, 400, 380));
    Sleep(200);
    button(MOUSEEVENTF_LEFTUP);
    Sleep(400);
    for (WORD letter : {'A', 'B', 'C'}) {
        tap(letter);
        Sleep(15);
    }
    Sleep(400);
    key(VK_CONTROL, true);
    Sleep(20);
    tap('A');
    Sleep(20);
    key(VK_CONTROL, false);
    Sleep(400);
    movePointer(onScreen(second, 100, 100));
    Sleep(SettleMs);
    click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    Sleep(500);
    tap('X');
    Sleep(15);
    tap('1');
    Sleep(300);
    movePointer(onScreen(second, 200, 150));
    Sleep(SettleMs);
    click(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    Sleep(400);
}

bool isButton(UINT message) {
    return message >= WM_LBUTTONDOWN && message <= WM_MBUTTONDBLCLK;
}

bool isKey(UINT message) {
    return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN ||
           message == WM_SYSKEYUP;
}

struct Seen {
    std::string window;
    e2e::ReceivedMessage message;
};

// The button and key messages of both windows in the order they came.
std::vector<Seen> inputOf(const e2e::TestWindow& first, const e2e::TestWindow& second) {
    std::vector<Seen> seen;
    for (const auto& [name, window] : {std::pair{"first", &first}, std::pair{"second", &second}}) {
        for (const e2e::ReceivedMessage& message : window->messages()) {
            if (isButton(message.message) || isKey(message.message)) {
                seen.push_back({name, message});
            }
        }
    }
    std::stable_sort(seen.begin(), seen.end(), [](const Seen& left, const Seen& right) {
        return static_cast<LONG>(left.message.time - right.message.time) < 0;
    });
    return seen;
}

std::string describe(const Seen& seen) {
    std::string text = seen.window + " " + e2e::describe(seen.message);
    if (isButton(seen.message.message)) {
        text += " at " + std::to_string(GET_X_LPARAM(seen.message.lParam)) + "," +
                std::to_string(GET_Y_LPARAM(seen.message.lParam));
    }
    return text;
}

std::string describe(const std::vector<Seen>& all) {
    std::string text;
    for (const Seen& seen : all) {
        text += "  " + describe(seen) + " (" + std::to_string(seen.message.time) + ")\n";
    }
    return text;
}

} // namespace

TEST(Record, ARecordingPackedAndPlayedGivesTheWindowsTheSameInput) {
    const std::string folder = e2e::packFolder("record-round-trip");
    const std::string script = folder + "\\task.txt";
    const std::string packed = folder + "\\task.exe";
    e2e::TestWindow first({"record first target", 100, 100, 640, 480});
    e2e::TestWindow second({"record second target", 900, 150, 500, 400});
    ASSERT_TRUE(first.activate());

    Recorder recorder;
    startRecorder(recorder, folder, "\"" + script + "\" --seconds 60 --pack \"" + packed + "\"");
    ASSERT_TRUE(recorder.waitUntilRecording()) << recorder.err();
    first.clearMessages();
    second.clearMessages();
    driveTheDesktop(first, second);
    tap(VK_PAUSE); // the stop key
    ASSERT_EQ(recorder.waitForExit(), 0u) << recorder.err();
    // The stop key reached the window in front too, but it is not the user's
    // task: it must not be played.
    std::vector<Seen> recorded = inputOf(first, second);
    std::erase_if(recorded, [](const Seen& seen) {
        return isKey(seen.message.message) && seen.message.wParam == VK_PAUSE;
    });

    const std::string text = e2e::readBytes(script).value_or("");
    SCOPED_TRACE("the script:\n" + text + "the recorder said:\n" + recorder.err());
    // What the recording must hold, in the words of the script.
    for (const char* line :
         {"Start No Box\n", "Wait Caption record first target\n", "LClick\n", "LDBClick\n",
          "Push Down LBUTTON\n", "Push Up LBUTTON\n", "PutChar abc\n", "HotKey CTRL+A\n",
          "Wait Caption record second target\n", "PutChar x1\n", "RClick\n", "End\n"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line;
    }
    EXPECT_EQ(text.find("PAUSE"), std::string::npos) << "the stop key is in the script";

    // The same start: the first window in front, the pointer elsewhere.
    ASSERT_TRUE(first.activate());
    movePointer({20, 700});
    Sleep(300);
    first.clearMessages();
    second.clearMessages();
    std::vector<Seen> played;
    {
        PassingMouseHook hook;
        ASSERT_TRUE(hook.installed());
        ASSERT_EQ(e2e::runProgram(packed, "", 60000), std::optional<DWORD>(0));
        Sleep(300);
        played = inputOf(first, second);
    }

    SCOPED_TRACE("recorded:\n" + describe(recorded) + "played:\n" + describe(played));
    ASSERT_EQ(played.size(), recorded.size());
    ASSERT_GE(recorded.size(), 20u);
    for (std::size_t at = 0; at < recorded.size(); ++at) {
        const Seen& want = recorded[at];
        const Seen& got = played[at];
        SCOPED_TRACE(at);
        EXPECT_EQ(got.window, want.window);
        EXPECT_EQ(got.message.message, want.message.message);
        if (isKey(want.message.message)) {
            EXPECT_EQ(got.message.wParam, want.message.wParam);
        } else {
            EXPECT_LE(
                std::abs(GET_X_LPARAM(got.message.lParam) - GET_X_LPARAM(want.message.lParam)), 1);
            EXPECT_LE(
                std::abs(GET_Y_LPARAM(got.message.lParam) - GET_Y_LPARAM(want.message.lParam)), 1);
        }
        if (at > 0) {
            // A pause the user made is played as long (the Delay is rounded to
            // 10 ms); one below the threshold stays below it.
            const auto wantGap =
                static_cast<LONG>(want.message.time - recorded[at - 1].message.time);
            const auto gotGap = static_cast<LONG>(got.message.time - played[at - 1].message.time);
            if (wantGap >= 100) {
                EXPECT_LE(std::abs(gotGap - wantGap), 50) << wantGap << " ms played as " << gotGap;
            } else {
                EXPECT_LT(gotGap, 100 + 50) << wantGap << " ms played as " << gotGap;
            }
        }
    }
}

TEST(Record, NothingDoneGivesAValidScriptWithAnEmptyBodyInTheFormAndEncodingAsked) {
    const std::string folder = e2e::packFolder("record-empty");
    const std::string script = folder + "\\empty.txt";
    Recorder recorder;
    startRecorder(recorder, folder,
                  "\"" + script + "\" --seconds 1 --form chinese --encoding gbk --loop 2");
    ASSERT_EQ(recorder.waitForExit(), 0u) << recorder.err();
    EXPECT_NE(recorder.err().find("nothing was recorded"), std::string::npos) << recorder.err();
    const std::string text = e2e::readBytes(script).value_or("");
    // Start No Box, *Comment:, Loop Times 2 and End by their Chinese names, in GBK.
    EXPECT_EQ(text.substr(0, text.find('\n') + 1), "无提示框开始\n") << text;
    EXPECT_NE(text.find("\n*说明: Recorded "), std::string::npos) << text;
    EXPECT_NE(text.find("\n循环次数 2\n"), std::string::npos) << text;
    const std::string end = "\n结束\n";
    EXPECT_TRUE(text.size() > end.size() &&
                text.compare(text.size() - end.size(), end.size(), end) == 0)
        << text;
    EXPECT_FALSE(e2e::readBytes(script + ".part").has_value()) << "the temporary file is left";
    const e2e::PackRun listed = e2e::runPack("\"" + script + "\" --list --strict");
    EXPECT_EQ(listed.exitCode, 0u) << listed.err;
}

TEST(Record, BadCommandLinesWriteNothing) {
    const std::string folder = e2e::packFolder("record-usage");
    const std::string script = folder + "\\never.txt";
    Recorder recorder;
    startRecorder(recorder, folder, "\"" + script + "\" --stop-key NOSUCHKEY --seconds 1");
    EXPECT_EQ(recorder.waitForExit(), 2u) << recorder.err();
    EXPECT_NE(recorder.err().find("--stop-key"), std::string::npos) << recorder.err();
    EXPECT_FALSE(e2e::readBytes(script).has_value());
}
