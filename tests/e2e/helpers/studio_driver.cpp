#include "helpers/studio_driver.h"

#include "helpers/wait_support.h"
#include "studio_ids.h"
#include "support/paths.h"

#include <gtest/gtest.h>
#include <shlobj.h>

namespace e2e {

namespace {

// Every test starts with no work left behind by an earlier test's studio
// (a studio ended by a test leaves its copy, as a crash does), which the
// studio would otherwise offer before anything else.
class NoLeftWork : public ::testing::Environment {
  public:
    void SetUp() override {
        char folder[MAX_PATH] = {};
        SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, folder);
        const std::string studio = std::string(folder) + "\\Script player\\Studio\\";
        WIN32_FIND_DATAA found{};
        HANDLE search = FindFirstFileA((studio + "recovery-*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) {
            return;
        }
        do {
            DeleteFileA((studio + found.cFileName).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
};

[[maybe_unused]] ::testing::Environment* const noLeftWork =
    ::testing::AddGlobalTestEnvironment(new NoLeftWork);

} // namespace

std::wstring wide(const std::string& text, UINT codePage) {
    const int length =
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wideText(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wideText.data(),
                        length);
    return wideText;
}

std::string narrow(const std::wstring& text, UINT codePage) {
    const int length = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                        length, nullptr, nullptr);
    return bytes;
}

namespace {

void sendKey(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof(input));
}

} // namespace

void press(WORD key, std::vector<WORD> modifiers) {
    for (WORD modifier : modifiers) {
        sendKey(modifier, false);
    }
    sendKey(key, false);
    sendKey(key, true);
    for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) {
        sendKey(*it, true);
    }
    Sleep(60);
}

void type(const std::string& text) {
    for (wchar_t character : wide(text)) {
        if (character == L'\n') {
            press(VK_RETURN);
            continue;
        }
        INPUT input[2] = {};
        for (int i = 0; i < 2; ++i) {
            input[i].type = INPUT_KEYBOARD;
            input[i].ki.wScan = character;
            input[i].ki.dwFlags = KEYEVENTF_UNICODE | (i == 1 ? KEYEVENTF_KEYUP : 0);
        }
        SendInput(2, input, sizeof(INPUT));
        Sleep(15);
    }
    Sleep(100);
}

namespace {

// A studio as on a machine where it never ran: the settings of an earlier
// studio (a window kept open while scripts run, its place, the recording
// options) would change what the test sees.
RunningProgram startFreshStudio(const std::string& arguments, const std::string& program) {
    RegDeleteTreeW(HKEY_CURRENT_USER, StudioSettingsKey);
    return startProgram(program.empty() ? windowsPath(E2E_STUDIO) : program, arguments);
}

} // namespace

StudioUnderTest::StudioUnderTest(const std::string& arguments, const std::string& studioPath)
    : program(startFreshStudio(arguments, studioPath)) {}

bool StudioUnderTest::waitForWindow() {
    window = waitForStudioWindow(program.processId());
    return window != nullptr;
}

bool StudioUnderTest::bringToFront() {
    if (IsIconic(window)) {
        ShowWindow(window, SW_RESTORE);
    }
    SetForegroundWindow(window);
    return waits::eventually([&] { return GetForegroundWindow() == window; });
}

std::string StudioUnderTest::title() const {
    wchar_t buffer[512] = {};
    GetWindowTextW(window, buffer, 512);
    return gbk(buffer);
}

std::vector<std::string> StudioUnderTest::problems() const {
    std::vector<std::string> rows;
    for (const std::wstring& row : studioProblems(window)) {
        rows.push_back(gbk(row));
    }
    return rows;
}

std::string StudioUnderTest::state() const {
    return gbk(controlText(StatusStateId));
}

} // namespace e2e
