// Run and Make exe: the script as the check judged it, packed by the packer's
// library into a copy of the player beside the studio.

#include "studio_win32.h"

#include "pack_options.h"
#include "pack_windows.h"
#include "studio_part.h"

#include <richedit.h>

namespace {

std::wstring fileName(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// A path for the packer's library, which works in the ANSI code page: false
// when the path has characters that code page cannot hold.
bool ansiPath(const std::wstring& path, std::string& ansi) {
    BOOL lost = FALSE;
    const int length =
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, path.c_str(),
                            static_cast<int>(path.size()), nullptr, 0, nullptr, &lost);
    ansi.assign(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, path.c_str(), static_cast<int>(path.size()),
                        ansi.data(), length, nullptr, &lost);
    return !lost;
}

std::wstring ansiToWide(const std::string& ansi) {
    const int length =
        MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), length);
    return wide;
}

void sayFailure(TextId id, const std::string& what) {
    const std::wstring message = fromGbk(formatUiText(text(id), {what}));
    setState(message);
    showBox(message, MB_OK | MB_ICONERROR);
}

std::string playerPath() {
    std::string path;
    ansiPath(directoryOfProgram() + L"player.exe", path);
    return path;
}

// The script's bytes, or false when the check finds errors (told).
bool packableScript(TextId action, std::string& script) {
    syncWithEditor();
    if (refuseWithErrors(action)) {
        return false;
    }
    bool ok = false;
    script = scriptBytes(studio.document, ok);
    if (!ok) {
        refuseWithErrors(action);
    }
    return ok;
}

DWORD WINAPI waitForEnd(void* process) {
    WaitForSingleObject(process, INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(process, &exitCode);
    PostMessageW(studio.window, RunEndedMessage, exitCode, 0);
    return 0;
}

std::string seconds(ULONGLONG milliseconds) {
    char buffer[32];
    wsprintfA(buffer, "%u.%u", static_cast<unsigned>(milliseconds / 1000),
              static_cast<unsigned>(milliseconds % 1000 / 100));
    return buffer;
}

bool stoppedByUser = false;

} // namespace

void runScript() {
    if (!continueScript()) {
        startRun(RunKind::Whole);
    }
}

void setState(const std::wstring& state) {
    SetWindowTextW(studio.statusState, state.c_str());
}

bool refuseWithErrors(TextId action) {
    if (!documentHasErrors(studio.document)) {
        return false;
    }
    const std::wstring message = fromGbk(
        formatUiText(text(TextId::StudioRefused), {text(action), firstErrorText(studio.document)}));
    setState(message);
    showBox(message, MB_OK | MB_ICONERROR);
    return true;
}

// The script to run and, for each line the player keeps, the editor line it
// came from (0-based): the whole script, or a part of it with the script's
// settings around it.
static bool scriptOfRun(RunKind kind, std::string& script, std::vector<int>& editorLines) {
    if (!packableScript(TextId::StudioActionRun, script)) {
        return false;
    }
    editorLines.clear();
    if (kind == RunKind::Whole || kind == RunKind::StepFromStart) {
        for (std::size_t i = 0; i < studio.document.lines.size(); ++i) {
            if (!studio.document.lines[i].text.empty()) {
                editorLines.push_back(static_cast<int>(i));
            }
        }
        return true;
    }
    CHARRANGE range{};
    SendMessageW(studio.editor, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    const int first =
        static_cast<int>(SendMessageW(studio.editor, EM_EXLINEFROMCHAR, 0, range.cpMin));
    int last = static_cast<int>(studio.document.lines.size()) - 1;
    if (kind == RunKind::Selection) {
        // A selection that ends at the start of a line leaves that line out.
        const LONG end = range.cpMax > range.cpMin ? range.cpMax - 1 : range.cpMax;
        last = static_cast<int>(SendMessageW(studio.editor, EM_EXLINEFROMCHAR, 0, end));
    }
    const RunPart part = assembleRunPart(studio.document, first, last);
    StudioDocument partDocument;
    partDocument.language = studio.language;
    partDocument.toGbk = studio.document.toGbk;
    setDocumentText(partDocument, part.text);
    bool ok = false;
    script = scriptBytes(partDocument, ok);
    for (std::size_t i = 0; i < partDocument.lines.size() && i < part.editorLine.size(); ++i) {
        if (!partDocument.lines[i].text.empty()) {
            editorLines.push_back(part.editorLine[i] - 1);
        }
    }
    return ok;
}

void startRun(RunKind kind) {
    if (studio.run.process != nullptr) {
        setState(wideText(TextId::StudioStateAlreadyRunning));
        return;
    }
    std::string script;
    std::vector<int> editorLines;
    if (!scriptOfRun(kind, script, editorLines)) {
        return;
    }
    std::string placeholder;
    std::string error;
    if (!makeTemporaryName(placeholder, error)) {
        sayFailure(TextId::StudioRunFailed, error);
        return;
    }
    const std::string temporary = placeholder + ".exe";
    std::string trace;
    bool written = prepareTrace(editorLines, kind == RunKind::StepFromStart, trace, error);
    written = written && writeTracedPlayer(playerPath(), temporary, script, trace, error);
    removeFile(placeholder);
    if (!written) {
        endTrace();
        sayFailure(TextId::StudioRunFailed, error);
        return;
    }
    const std::wstring path = ansiToWide(temporary);
    std::wstring commandLine = L"\"" + path + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        const std::string reason = errorText(GetLastError());
        removeFile(temporary);
        endTrace();
        sayFailure(TextId::StudioRunFailed, reason);
        return;
    }
    CloseHandle(process.hThread);
    studio.run.process = process.hProcess;
    studio.run.temporaryPath = path;
    studio.run.startedAt = GetTickCount64();
    studio.run.waiter = CreateThread(nullptr, 0, waitForEnd, process.hProcess, 0, nullptr);
    stoppedByUser = false;
    setState(wideText(TextId::StudioStateRunning));
    // Out of the way, so that the script's clicks and keys reach the windows
    // they are meant for.
    if (!studio.keepOpenWhileRunning) {
        studio.run.minimised = true;
        ShowWindow(studio.window, SW_MINIMIZE);
    }
}

void stopScript() {
    if (studio.run.process == nullptr) {
        return;
    }
    stoppedByUser = true;
    TerminateProcess(studio.run.process, 1);
}

void onRunEnded(DWORD exitCode) {
    if (studio.run.process == nullptr) {
        return;
    }
    const ULONGLONG ran = GetTickCount64() - studio.run.startedAt;
    WaitForSingleObject(studio.run.waiter, 5000);
    CloseHandle(studio.run.waiter);
    CloseHandle(studio.run.process);
    std::string temporary;
    ansiPath(studio.run.temporaryPath, temporary);
    removeFile(temporary);
    const bool minimised = studio.run.minimised;
    const std::wstring reason = endReasonText();
    endTrace();
    studio.run = RunningScript{};
    if (minimised) {
        ShowWindow(studio.window, SW_RESTORE);
        SetForegroundWindow(studio.window);
    }
    if (!stoppedByUser && !reason.empty()) {
        setState(fromGbk(formatUiText(text(TextId::StudioStateEndedWhy),
                                      {toGbk(reason), std::to_string(exitCode), seconds(ran)})));
        return;
    }
    const TextId state = stoppedByUser ? TextId::StudioStateStopped : TextId::StudioStateEnded;
    setState(fromGbk(formatUiText(text(state), {std::to_string(exitCode), seconds(ran)})));
}

void makeExe() {
    std::string script;
    if (!packableScript(TextId::StudioActionMakeExe, script)) {
        return;
    }
    if (studio.path.empty() && !saveScript(true)) {
        return;
    }
    std::string scriptPath;
    if (!ansiPath(studio.path, scriptPath)) {
        sayFailure(TextId::StudioMakeFailed, toGbk(fileName(studio.path)));
        return;
    }
    const std::string output = outputBesideScript(scriptPath);
    const std::string player = playerPath();
    const std::string outputName = toGbk(fileName(ansiToWide(output)));
    if (sameFile(output, player) || sameFile(output, scriptPath)) {
        sayFailure(TextId::StudioMakeNotPlayer, outputName);
        return;
    }
    if (fileExists(output) && !isPackedPlayer(output)) {
        sayFailure(TextId::StudioMakeNotPlayer, outputName);
        return;
    }
    std::string error;
    if (!writePackedPlayer(player, output, script, error)) {
        sayFailure(TextId::StudioMakeFailed, outputName + ": " + error);
        return;
    }
    setState(fromGbk(formatUiText(text(TextId::StudioStateMade), {outputName})));
}
