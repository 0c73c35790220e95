// record: records clicks, keys and pauses on the desktop and writes them as a
// script that the player plays back. See RecordUsage for the command line.

#include "record_intake.h"
#include "record_options.h"
#include "record_translate.h"

#include "pack_checks.h"
#include "pack_windows.h"
#include "pe_image.h"
#include "program_version.h"
#include "text_codes.h"
#include "ui_scale.h"
#include "ui_text.h"

#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;

constexpr UINT TrayMessage = WM_APP + 1;
constexpr UINT_PTR DrainTimer = 1;
constexpr UINT_PTR EndTimer = 2;
constexpr UINT DrainInterval = 50; // ms
constexpr int RecordButtonId = 1;
constexpr int StatusTextId = 2;
constexpr int IconId = 101;
// The window's layout in 96-DPI design pixels, scaled to its DPI; the text and
// the button grow further where their texts need it.
constexpr int ClientWidth = 360;
constexpr int Margin = 12;
constexpr int ButtonWidth = 100;
constexpr int ButtonHeight = 30;
constexpr int ButtonPadding = 20;
constexpr DWORD WindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD WindowExStyle = WS_EX_TOPMOST;

enum class StopReason { StopKey, Seconds, Button, Tray };

struct Session {
    RecordOptions options;
    bool console = false; // messages go to standard error, not into boxes
    HWND window = nullptr;
    HWND button = nullptr;
    HWND status = nullptr;
    HFONT font = nullptr;
    UiScale scale;
    bool recording = false;
    bool finished = false;
    int exitCode = 0;
    Intake intake;
    std::string report; // what the box at the end says
    // The messages: English on a console, which programs read, unless --lang
    // says otherwise; the window, the tray icon and the boxes speak the user's
    // language.
    UiLanguage language = UiLanguage::English;
    UiLanguage windowLanguage = UiLanguage::English;
};

Session session;

std::string message(TextId id, std::initializer_list<std::string_view> arguments = {}) {
    return formatUiText(uiText(id, session.language), arguments);
}

std::wstring windowText(TextId id, std::initializer_list<std::string_view> arguments = {}) {
    return fromGbk(formatUiText(uiText(id, session.windowLanguage), arguments));
}

// Standard error when the recorder was started with one (a console or a
// redirection); otherwise the text is kept for the box at the end.
void say(const std::string& line) {
    if (session.console) {
        DWORD written = 0;
        const std::string text = line + "\r\n";
        WriteFile(GetStdHandle(STD_ERROR_HANDLE), text.data(), static_cast<DWORD>(text.size()),
                  &written, nullptr);
    } else {
        session.report += line + "\n";
    }
}

void print(const std::string& text) {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()),
              &written, nullptr);
}

bool usableHandle(DWORD which) {
    HANDLE handle = GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
           GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

// A GUI program started from a command prompt has no standard handles; it
// takes the prompt's console for its messages.
bool findConsole() {
    if (usableHandle(STD_ERROR_HANDLE)) {
        return true;
    }
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) {
        return false;
    }
    HANDLE out =
        CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE) {
        return false;
    }
    SetStdHandle(STD_ERROR_HANDLE, out);
    if (!usableHandle(STD_OUTPUT_HANDLE)) {
        SetStdHandle(STD_OUTPUT_HANDLE, out);
    }
    return true;
}

void showBox(const std::string& text, UINT icon) {
    MessageBoxW(session.window, fromGbk(text).c_str(), L"record", MB_OK | icon);
}

void stopRecording(StopReason reason);

// Takes the hooks' events into the recording; the stop key ends it.
void drain() {
    if (session.recording && takeIntoRecording(session.intake)) {
        stopRecording(StopReason::StopKey);
    }
}

void setTrayIcon(bool show) {
    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = session.window;
    icon.uID = 1;
    if (!show) {
        Shell_NotifyIconW(NIM_DELETE, &icon);
        return;
    }
    icon.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
    icon.uCallbackMessage = TrayMessage;
    icon.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IconId));
    const std::wstring tip = windowText(TextId::RecordTrayTip);
    lstrcpynW(icon.szTip, tip.c_str(), static_cast<int>(std::size(icon.szTip)));
    Shell_NotifyIconW(NIM_ADD, &icon);
}

std::string localDateTime(const char* format) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    char text[64];
    std::snprintf(text, sizeof text, format, now.wYear, now.wMonth, now.wDay, now.wHour,
                  now.wMinute, now.wSecond);
    return text;
}

// Writes the whole file under a temporary name beside it and then renames it,
// so the file is either the old one or the new one, never half of one.
bool writeFileWhole(const std::string& path, const std::string& bytes, std::string& error) {
    const std::string temporary = path + ".part";
    HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = "cannot write " + temporary + ": " + errorText(GetLastError());
        return false;
    }
    DWORD written = 0;
    const bool ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size() && FlushFileBuffers(file);
    const DWORD writeError = GetLastError();
    CloseHandle(file);
    if (!ok) {
        DeleteFileA(temporary.c_str());
        error = "cannot write " + temporary + ": " + errorText(writeError);
        return false;
    }
    if (!MoveFileExA(temporary.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = "cannot rename " + temporary + " to " + path + ": " + errorText(GetLastError());
        DeleteFileA(temporary.c_str());
        return false;
    }
    return true;
}

// "1 line", "2 lines": `one` is the row for a count of one, the row after it
// the one for any other count.
std::string plural(std::size_t count, TextId one) {
    const TextId id = count == 1 ? one : static_cast<TextId>(static_cast<int>(one) + 1);
    return message(id, {std::to_string(count)});
}

// Packs the script as pack does: the player's own checks first, errors refuse.
bool packRecording(const std::string& script) {
    const RecordOptions& options = session.options;
    for (const Finding& finding : checkScript(script, session.language)) {
        say(options.output + ": " + formatFinding(finding, session.language));
        if (finding.kind == FindingKind::Error) {
            say(message(TextId::RecordNotPacked));
            return false;
        }
    }
    const std::string player =
        options.player.empty() ? packerDirectory() + "player.exe" : options.player;
    if (sameFile(options.pack, player) || sameFile(options.pack, options.output) ||
        sameFile(options.pack, packerPath())) {
        say(message(TextId::RecordPackNamesOwnFile, {options.pack}));
        return false;
    }
    FileRead image = readWholeFile(player);
    if (!image.ok) {
        say(message(TextId::RecordCannotReadPlayer, {player, image.error}));
        return false;
    }
    const std::string problem = executableProblem(image.bytes);
    if (!problem.empty()) {
        say(message(TextId::RecordPlayerInvalid, {player, problem}));
        return false;
    }
    // The exe's own icon and version texts, as pack takes them; a relative
    // icon path from the folder the recorder was started in.
    const ExePreparation exe =
        prepareExe(options.exe, "", nameOfPath(options.pack), session.language);
    if (!exe.ok) {
        say(message(TextId::RecordPackFailed, {exe.error, options.pack}));
        return false;
    }
    std::string error;
    if (!writeExePlayer(player, options.pack, script, exe.resources, error)) {
        say(message(TextId::RecordPackFailed, {error, options.pack}));
        return false;
    }
    say(message(TextId::RecordPacked, {options.pack}));
    return true;
}

int writeRecording() {
    RecordOptions& options = session.options;
    Recording& recording = session.intake.recording;
    options.translate.comment = recordingComment(localDateTime("%04u-%02u-%02u %02u:%02u"),
                                                 recording.screenWidth, recording.screenHeight);
    const Translation translation = translateRecording(recording, options.translate);
    const RenderedScript script = renderScript(translation.steps, options.form);
    if (!script.ok) {
        say(message(TextId::RecordNothingWritten, {script.problem}));
        return ExitFailed;
    }
    std::string bytes = script.text;
    if (!options.gbk && !gbkToUtf8(script.text, bytes)) {
        say(message(TextId::RecordNotUtf8));
        return ExitFailed;
    }
    std::string error;
    if (!writeFileWhole(options.output, bytes, error)) {
        say(message(TextId::RecordNothingWritten, {error}));
        return ExitFailed;
    }
    if (translation.bodySteps == 0) {
        say(message(TextId::RecordEmpty, {options.output}));
    } else {
        say(message(TextId::RecordWrote,
                    {options.output, plural(translation.steps.size(), TextId::CountLine),
                     plural(recording.events.size(), TextId::CountEvent)}));
    }
    if (translation.unreachable > 0) {
        say(message(
            TextId::RecordLeftOut,
            {plural(static_cast<std::size_t>(translation.unreachable), TextId::CountPoint)}));
    }
    if (!options.pack.empty() && !packRecording(script.text)) {
        return ExitFailed;
    }
    return 0;
}

void finish(int exitCode) {
    session.finished = true;
    session.exitCode = exitCode;
    if (!session.console && !session.report.empty()) {
        showBox(session.report, exitCode == 0 ? MB_ICONINFORMATION : MB_ICONERROR);
    }
    PostQuitMessage(exitCode);
}

void stopRecording(StopReason reason) {
    if (!session.recording) {
        return;
    }
    KillTimer(session.window, DrainTimer);
    KillTimer(session.window, EndTimer);
    stopCapture();
    if (reason != StopReason::StopKey) {
        takeIntoRecording(session.intake); // the last events before the hooks went
        session.intake.recording.endTime = GetTickCount();
    }
    session.recording = false;
    setTrayIcon(false);
    if (reason == StopReason::Tray) {
        // The click on the tray icon that stopped the recording is no part of it.
        dropLastClick(session.intake);
    }
    finish(writeRecording());
}

bool startRecording() {
    beginIntake(session.intake, session.options.translate.stopKey);
    DWORD error = 0;
    if (!startCapture(error)) {
        const std::string text = message(TextId::RecordNoHooks, {errorText(error)});
        if (session.console) {
            say(text);
        } else {
            showBox(text, MB_ICONERROR);
        }
        return false;
    }
    session.intake.recording.startTime = GetTickCount();
    session.recording = true;
    setTrayIcon(true);
    SetTimer(session.window, DrainTimer, DrainInterval, nullptr);
    const std::string& stopKey = session.options.stopKey;
    if (session.options.seconds > 0) {
        SetTimer(session.window, EndTimer, session.options.seconds * 1000, nullptr);
        say(message(TextId::RecordRecordingFor,
                    {std::to_string(session.options.seconds), stopKey}));
    } else {
        say(message(TextId::RecordRecording, {stopKey}));
    }
    if (session.button != nullptr) {
        SetWindowTextW(session.button, windowText(TextId::RecordStopButton).c_str());
        SetWindowTextW(session.status,
                       windowText(TextId::RecordRecordingStatus, {stopKey}).c_str());
        ShowWindow(session.window, SW_MINIMIZE);
    }
    return true;
}

// Makes the font for the window's DPI, places the text and the button and sizes
// the window for them. The text is tall enough for the prompt and for what it
// says while recording.
void layoutWindow() {
    const UiScale scale = session.scale;
    HFONT old = session.font;
    session.font = createMessageFont(scale.dpi);
    setControlFont(session.status, session.font);
    setControlFont(session.button, session.font);
    if (old != nullptr) {
        DeleteObject(old);
    }
    const std::string& stopKey = session.options.stopKey;
    const std::wstring button = windowText(TextId::RecordButton);
    const std::wstring stopButton = windowText(TextId::RecordStopButton);
    const int textsWidth = static_cast<int>(
        std::max(textSize(session.font, button).cx, textSize(session.font, stopButton).cx));
    const int buttonWidth =
        std::max(scaled(scale, ButtonWidth), textsWidth + scaled(scale, ButtonPadding));
    const int buttonHeight =
        std::max(scaled(scale, ButtonHeight), lineHeight(session.font) + scaled(scale, 10));
    const int margin = scaled(scale, Margin);
    const int width = std::max(scaled(scale, ClientWidth), buttonWidth + margin * 2);
    const int textWidth = width - margin * 2;
    const int textHeight = std::max(
        wrappedTextHeight(session.font, windowText(TextId::RecordPrompt, {stopKey}), textWidth),
        wrappedTextHeight(session.font, windowText(TextId::RecordRecordingStatus, {stopKey}),
                          textWidth));
    SetWindowPos(session.status, nullptr, margin, margin, textWidth, textHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    const int buttonTop = margin + textHeight + scaled(scale, 6);
    SetWindowPos(session.button, nullptr, (width - buttonWidth) / 2, buttonTop, buttonWidth,
                 buttonHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    const SIZE size = windowSizeForClient(width, buttonTop + buttonHeight + margin, WindowStyle,
                                          WindowExStyle, scale.dpi);
    SetWindowPos(session.window, nullptr, 0, 0, size.cx, size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        if (wParam == DrainTimer) {
            drain();
        } else if (wParam == EndTimer) {
            stopRecording(StopReason::Seconds);
        }
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == RecordButtonId && HIWORD(wParam) == BN_CLICKED) {
            if (session.recording) {
                stopRecording(StopReason::Button);
            } else if (!session.finished && !startRecording()) {
                finish(ExitFailed);
            }
        }
        return 0;
    case TrayMessage:
        if (lParam == WM_LBUTTONUP || lParam == WM_RBUTTONUP) {
            stopRecording(StopReason::Tray);
        }
        return 0;
    case WM_DPICHANGED:
        if (takeDpiChange(window, session.scale, wParam, lParam) && session.button != nullptr) {
            layoutWindow();
        }
        return 0;
    case WM_CLOSE:
        if (session.recording) {
            stopRecording(StopReason::Button);
        } else if (!session.finished) {
            finish(0);
        }
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

bool makeWindow(bool visible) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IconId));
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"ScriptRecorder";
    if (RegisterClassW(&windowClass) == 0) {
        return false;
    }
    session.window =
        CreateWindowExW(WindowExStyle, L"ScriptRecorder", windowText(TextId::RecordTitle).c_str(),
                        WindowStyle, CW_USEDEFAULT, CW_USEDEFAULT, ClientWidth, ClientWidth,
                        nullptr, nullptr, instance, nullptr);
    if (session.window == nullptr) {
        return false;
    }
    if (!visible) {
        return true;
    }
    session.scale = scaleForWindow(session.window);
    session.status = CreateWindowExW(
        0, L"static", windowText(TextId::RecordPrompt, {session.options.stopKey}).c_str(),
        WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, session.window,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(StatusTextId)), instance, nullptr);
    session.button = CreateWindowExW(
        0, L"button", windowText(TextId::RecordButton).c_str(),
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0, 0, 0, session.window,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(RecordButtonId)), instance, nullptr);
    layoutWindow();
    ShowWindow(session.window, SW_SHOWNORMAL);
    UpdateWindow(session.window);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    session.console = findConsole();
    std::vector<std::string> arguments(argv + 1, argv + argc);
    const std::string_view chosen = languageArgument(arguments);
    session.windowLanguage = chooseUiLanguage(chosen, GetUserDefaultUILanguage());
    session.language =
        session.console && chosen.empty() ? UiLanguage::English : session.windowLanguage;
    ParsedRecordOptions parsed = parseRecordArguments(arguments);
    if (!parsed.ok) {
        const std::string text = message(TextId::RecordUsageError, {parsed.error});
        if (session.console) {
            say(text);
        } else {
            showBox(text, MB_ICONERROR);
        }
        return ExitUsage;
    }
    session.options = parsed.options;
    if (session.options.mode == RecordMode::Help) {
        if (session.console) {
            print(message(TextId::RecordUsage));
        } else {
            showBox(uiText(TextId::RecordUsage, session.windowLanguage), MB_ICONINFORMATION);
        }
        return 0;
    }
    if (session.options.mode == RecordMode::Version) {
        const std::string text = "record " PROGRAM_VERSION " (" PROGRAM_PRODUCT_NAME ")\n";
        if (session.console) {
            print(text);
        } else {
            showBox(text, MB_ICONINFORMATION);
        }
        return 0;
    }
    if (session.options.output.empty()) {
        session.options.output = localDateTime("record-%04u%02u%02u-%02u%02u%02u.txt");
    }

    const bool unattended = session.options.seconds > 0;
    if (!makeWindow(!unattended)) {
        say(message(TextId::RecordNoWindow, {errorText(GetLastError())}));
        return ExitFailed;
    }
    if (unattended && !startRecording()) {
        return ExitFailed;
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(session.window, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    if (session.recording) {
        stopRecording(StopReason::Button);
    }
    setTrayIcon(false);
    if (session.font != nullptr) {
        DeleteObject(session.font);
    }
    return session.exitCode;
}
