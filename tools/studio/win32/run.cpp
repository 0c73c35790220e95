// Run and Make exe: the script as the check judged it, packed by the packer's
// library into a copy of the player beside the studio.

#include "front_end.h"

#include "exe_settings.h"
#include "pack_options.h"
#include "pack_windows.h"
#include "studio_part.h"

#include <richedit.h>

#include <algorithm>

namespace {

std::wstring fileName(const std::wstring& path) {
    return fromU16(fileNameOf(toU16(path)));
}

// A path for the packer's library, which works in the ANSI code page: false
// when the path has characters that code page cannot hold.
bool ansiPath(const std::wstring& path, std::string& ansi) {
    return wideToAnsi(path, ansi);
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
    script = scriptBytes(studio.workspace.document, ok);
    if (!ok) {
        refuseWithErrors(action);
    }
    return ok;
}

// The script's setting lines made to say `settings`, as one change of the
// editor that Undo takes back whole.
void writeSettingLines(const ExeSettings& settings) {
    std::wstring now = fromU16(studio.mirror);
    std::replace(now.begin(), now.end(), L'\r', L'\n');
    const std::string gbk = toGbk(now);
    if (fromGbk(gbk) != now) {
        return; // not reached: the check refuses what GBK cannot hold
    }
    std::wstring written = fromGbk(writeExeSettings(gbk, settings));
    std::replace(written.begin(), written.end(), L'\n', L'\r');
    const TextChange change = findChange(studio.mirror, toU16(written));
    if (isEmptyChange(change)) {
        return;
    }
    closeStep(studio.workspace.history);
    applyChange(change);
    closeStep(studio.workspace.history);
}

DWORD WINAPI waitForEnd(void* process) {
    WaitForSingleObject(process, INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(process, &exitCode);
    PostMessageW(studio.window, RunEndedMessage, exitCode, 0);
    return 0;
}

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
    if (!documentHasErrors(studio.workspace.document)) {
        return false;
    }
    const std::wstring message = fromGbk(formatUiText(
        text(TextId::StudioRefused), {text(action), firstErrorText(studio.workspace.document)}));
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
        for (std::size_t i = 0; i < studio.workspace.document.lines.size(); ++i) {
            if (!studio.workspace.document.lines[i].text.empty()) {
                editorLines.push_back(static_cast<int>(i));
            }
        }
        return true;
    }
    CHARRANGE range{};
    SendMessageW(studio.editor, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    const int first =
        static_cast<int>(SendMessageW(studio.editor, EM_EXLINEFROMCHAR, 0, range.cpMin));
    int last = static_cast<int>(studio.workspace.document.lines.size()) - 1;
    if (kind == RunKind::Selection) {
        // A selection that ends at the start of a line leaves that line out.
        const LONG end = range.cpMax > range.cpMin ? range.cpMax - 1 : range.cpMax;
        last = static_cast<int>(SendMessageW(studio.editor, EM_EXLINEFROMCHAR, 0, end));
    }
    const RunPart part = assembleRunPart(studio.workspace.document, first, last);
    StudioDocument partDocument;
    partDocument.language = studio.workspace.language;
    partDocument.toGbk = studio.workspace.document.toGbk;
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
    if (studio.workspace.running) {
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
    const std::wstring path = fromAnsi(temporary);
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
    studio.run.waiter = CreateThread(nullptr, 0, waitForEnd, process.hProcess, 0, nullptr);
    applyUpdate(runStarted(studio.workspace, editorLines, GetTickCount64()));
    // Out of the way, so that the script's clicks and keys reach the windows
    // they are meant for.
    if (!studio.workspace.keepOpenWhileRunning) {
        runStepsAside(studio.workspace);
        ShowWindow(studio.window, SW_MINIMIZE);
    }
}

void stopScript() {
    if (studio.run.process == nullptr) {
        return;
    }
    applyUpdate(stopRequested(studio.workspace));
    TerminateProcess(studio.run.process, 1);
}

void onRunEnded(DWORD exitCode) {
    if (studio.run.process == nullptr) {
        return;
    }
    WaitForSingleObject(studio.run.waiter, 5000);
    CloseHandle(studio.run.waiter);
    CloseHandle(studio.run.process);
    std::string temporary;
    ansiPath(studio.run.temporaryPath, temporary);
    removeFile(temporary);
    endTrace();
    studio.run = RunningScript{};
    applyUpdate(runEnded(studio.workspace, exitCode, GetTickCount64()));
    pointsRunAt(-1);
}

void makeExe() {
    std::string script;
    if (!packableScript(TextId::StudioActionMakeExe, script)) {
        return;
    }
    if (studio.workspace.path.empty() && !saveScript(true)) {
        return;
    }
    const std::wstring path = fromU16(studio.workspace.path);
    std::string scriptPath;
    if (!ansiPath(path, scriptPath)) {
        sayFailure(TextId::StudioMakeFailed, toGbk(fileName(path)));
        return;
    }
    const std::string output = outputBesideScript(scriptPath);
    const std::string player = playerPath();
    const std::string outputName = toGbk(fileName(fromAnsi(output)));
    if (sameFile(output, player) || sameFile(output, scriptPath)) {
        sayFailure(TextId::StudioMakeNotPlayer, outputName);
        return;
    }
    if (fileExists(output) && !isPackedPlayer(output)) {
        sayFailure(TextId::StudioMakeNotPlayer, outputName);
        return;
    }
    // The exe's icon and version texts: the script's lines, as the dialog
    // leaves them.
    // A wrong line is told, not dropped by the dialog that would not show it.
    const ExeSettingsRead lines = readExeSettings(script, studio.workspace.language);
    if (!lines.problems.empty()) {
        sayFailure(TextId::StudioMakeFailed,
                   formatUiText(text(TextId::StudioProblemLine),
                                {std::to_string(lines.problems.front().fileLine)}) +
                       lines.problems.front().message);
        return;
    }
    ExeSettings settings = lines.settings;
    ExeResources resources;
    if (!askExeSettings(settings, folderOfPath(output), nameOfPath(output), resources)) {
        return;
    }
    writeSettingLines(settings);
    if (!packableScript(TextId::StudioActionMakeExe, script)) {
        return;
    }
    std::string error;
    if (!writeExePlayer(player, output, script, resources, error)) {
        sayFailure(TextId::StudioMakeFailed, outputName + ": " + error);
        return;
    }
    setState(fromGbk(formatUiText(text(TextId::StudioStateMade), {outputName})));
}
