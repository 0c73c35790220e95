// The studio's files: opening and saving scripts with the packer's rules, the
// recovery copy of unsaved work, the settings kept in the registry (window
// place, recent files, options) and files changed by other programs.

#include "front_end.h"

#include "pack_windows.h"
#include "studio_recovery.h"

#include <algorithm>

namespace {

constexpr std::size_t LongestPath = 32000;

std::wstring fileName(const std::wstring& path) {
    return fromU16(fileNameOf(toU16(path)));
}

std::wstring displayName() {
    return studio.workspace.path.empty() ? wideText(TextId::StudioUntitled)
                                         : fromU16(fileNameOf(studio.workspace.path));
}

std::wstring scriptPath() {
    return fromU16(studio.workspace.path);
}

struct FileFacts {
    bool ok = false;
    FILETIME writeTime{};
    ULONGLONG size = 0;
};

FileFacts factsOf(const std::wstring& path) {
    FileFacts facts;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
        facts.ok = true;
        facts.writeTime = data.ftLastWriteTime;
        facts.size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
    return facts;
}

void refuseToOpen(const std::string& name, const OpenedText& opened) {
    showBox(fromGbk(formatUiText(text(TextId::StudioOpenRefused),
                                 {name, openProblemText(opened, studio.workspace.language)})),
            MB_OK | MB_ICONERROR);
}

// The whole file, or false with the reason told to the user.
bool readFile(const std::wstring& path, std::string& bytes) {
    const std::string name = toGbk(fileName(path));
    if (path.size() >= LongestPath) {
        showBox(fromGbk(formatUiText(text(TextId::StudioPathTooLong), {name})),
                MB_OK | MB_ICONERROR);
        return false;
    }
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        showBox(fromGbk(formatUiText(text(TextId::StudioCannotRead),
                                     {toGbk(path), errorText(GetLastError())})),
                MB_OK | MB_ICONERROR);
        return false;
    }
    LARGE_INTEGER size{};
    GetFileSizeEx(file, &size);
    if (static_cast<unsigned long long>(size.QuadPart) > MaxScriptFileBytes) {
        CloseHandle(file);
        OpenedText tooLarge;
        tooLarge.problem = OpenProblem::TooLarge;
        refuseToOpen(name, tooLarge);
        return false;
    }
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    DWORD got = 0;
    const bool read = bytes.empty() || (ReadFile(file, bytes.data(),
                                                 static_cast<DWORD>(bytes.size()), &got, nullptr) &&
                                        got == bytes.size());
    const DWORD error = GetLastError();
    CloseHandle(file);
    if (!read) {
        showBox(
            fromGbk(formatUiText(text(TextId::StudioCannotRead), {toGbk(path), errorText(error)})),
            MB_OK | MB_ICONERROR);
        return false;
    }
    return true;
}

// Writes the bytes to PATH.part and renames it over PATH: the old file stays
// whole until the new one is complete.
bool writeFileWhole(const std::wstring& path, const std::string& bytes, DWORD& error) {
    const std::wstring part = path + L".part";
    HANDLE file = CreateFileW(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        return false;
    }
    DWORD written = 0;
    bool ok = bytes.empty() ||
              (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
               written == bytes.size());
    ok = ok && FlushFileBuffers(file);
    error = GetLastError();
    CloseHandle(file);
    if (ok && !MoveFileExW(part.c_str(), path.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = GetLastError();
        ok = false;
    }
    if (!ok) {
        DeleteFileW(part.c_str());
    }
    return ok;
}

bool readSetting(HKEY key, const wchar_t* name, std::wstring& value) {
    wchar_t buffer[LongestPath / 8] = {};
    DWORD size = sizeof(buffer) - sizeof(wchar_t);
    DWORD type = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ) {
        return false;
    }
    value = buffer;
    return true;
}

WINDOWPLACEMENT savedPlacement{};
bool hasSavedPlacement = false;

} // namespace

std::wstring directoryOfProgram() {
    wchar_t path[MAX_PATH * 2] = {};
    GetModuleFileNameW(nullptr, path, static_cast<DWORD>(sizeof(path) / sizeof(path[0])));
    std::wstring directory = path;
    directory.erase(directory.find_last_of(L"\\/") + 1);
    return directory;
}

void updateTitle() {
    const std::wstring title =
        fromU16(titleOf(studio.workspace, toU16(wideText(TextId::StudioUntitled)),
                        toU16(wideText(TextId::StudioName))));
    SetWindowTextW(studio.window, title.c_str());
}

void updateFormatStatus() {
    std::string status = std::string(encodingName(studio.workspace.format)) + "   " +
                         lineEndName(studio.workspace.format.lineEnds);
    if (studio.workspace.format.mixedLineEnds) {
        status += "   " + std::string(text(TextId::StudioMixedLineEnds));
    }
    SetWindowTextW(studio.statusFormat, fromGbk(status).c_str());
}

namespace {

// The editor holds what is now on disk at `path`: the studio's title, recent
// files and recovery copy follow, and the status line says `state` of `name`.
void holdFile(const std::wstring& path, const WorkspaceUpdate& update, TextId state,
              const std::string& name) {
    const FileFacts facts = factsOf(path);
    studio.savedWriteTime = facts.writeTime;
    studio.savedSize = facts.size;
    applyUpdate(update);
    removeRecovery();
    setState(fromGbk(formatUiText(text(state), {name})));
}

} // namespace

std::wstring chooseScriptFile(ScriptDialog purpose, const std::wstring& initial) {
    wchar_t name[MAX_PATH * 4] = {};
    lstrcpynW(name, initial.c_str(), static_cast<int>(sizeof(name) / sizeof(name[0])));
    const std::wstring filter = wideText(TextId::StudioFilterScripts) + L'\0' + L"*.txt" + L'\0' +
                                wideText(TextId::StudioFilterAll) + L'\0' + L"*.*" + L'\0' + L'\0';
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = studio.window;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = name;
    dialog.nMaxFile = static_cast<DWORD>(sizeof(name) / sizeof(name[0]));
    if (purpose == ScriptDialog::Save) {
        dialog.lpstrDefExt = L"txt";
        dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
        return GetSaveFileNameW(&dialog) ? std::wstring(name) : std::wstring();
    }
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    return GetOpenFileNameW(&dialog) ? std::wstring(name) : std::wstring();
}

void newScript() {
    setEditorText("");
    studio.savedSize = 0;
    applyUpdate(newFile(studio.workspace));
}

bool openScript(const std::wstring& path) {
    std::string bytes;
    if (!readFile(path, bytes)) {
        return false;
    }
    const OpenedText opened = decodeScriptFile(bytes, gbkToUtf8);
    const std::string name = toGbk(fileName(path));
    if (opened.problem != OpenProblem::None) {
        refuseToOpen(name, opened);
        return false;
    }
    setEditorText(opened.text);
    holdFile(path, fileOpened(studio.workspace, toU16(path), opened.format),
             TextId::StudioStateOpened, name);
    return true;
}

bool saveScript(bool askForName) {
    std::wstring path = scriptPath();
    if (askForName || path.empty()) {
        path = chooseScriptFile(ScriptDialog::Save, path);
        if (path.empty()) {
            return false;
        }
    }
    const std::string nameGbk = toGbk(fileName(path));
    syncWithEditor();
    const EncodedFile encoded = encodeScriptFile(documentText(studio.workspace.document),
                                                 studio.workspace.format, utf8CharacterToGbk);
    if (!encoded.ok) {
        showBox(
            fromGbk(formatUiText(text(TextId::StudioSaveRefused),
                                 {nameGbk, saveProblemText(encoded, studio.workspace.language)})),
            MB_OK | MB_ICONERROR);
        return false;
    }
    if (path.size() >= LongestPath) {
        showBox(fromGbk(formatUiText(text(TextId::StudioPathTooLong), {nameGbk})),
                MB_OK | MB_ICONERROR);
        return false;
    }
    DWORD error = 0;
    if (!writeFileWhole(path, encoded.bytes, error)) {
        showBox(
            fromGbk(formatUiText(text(TextId::StudioSaveFailed), {toGbk(path), errorText(error)})),
            MB_OK | MB_ICONERROR);
        return false;
    }
    holdFile(path, fileSaved(studio.workspace, toU16(path)), TextId::StudioStateSaved, nameGbk);
    return true;
}

bool confirmDiscard() {
    if (!studio.workspace.modified) {
        return true;
    }
    const int answer =
        showBox(fromGbk(formatUiText(text(TextId::StudioAskSave), {toGbk(displayName())})),
                MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDCANCEL) {
        return false;
    }
    return answer == IDNO || saveScript(false);
}

void checkDiskChange() {
    if (studio.workspace.path.empty() || studio.askingAboutDisk) {
        return;
    }
    const FileFacts facts = factsOf(scriptPath());
    if (!facts.ok || (CompareFileTime(&facts.writeTime, &studio.savedWriteTime) == 0 &&
                      facts.size == studio.savedSize)) {
        return;
    }
    // Asked once per change on disk.
    studio.savedWriteTime = facts.writeTime;
    studio.savedSize = facts.size;
    studio.askingAboutDisk = true;
    const TextId question =
        studio.workspace.modified ? TextId::StudioDiskChangedModified : TextId::StudioDiskChanged;
    const int answer = showBox(fromGbk(formatUiText(text(question), {toGbk(scriptPath())})),
                               MB_YESNO | MB_ICONQUESTION);
    studio.askingAboutDisk = false;
    if (answer == IDYES) {
        openScript(scriptPath());
    } else {
        // Kept as it is in the studio: it differs from the file now.
        applyUpdate(keptOverDisk(studio.workspace));
    }
}

void rebuildRecentMenu() {
    HMENU recent = studio.recentMenu;
    if (recent == nullptr) {
        return;
    }
    while (GetMenuItemCount(recent) > 0) {
        DeleteMenu(recent, 0, MF_BYPOSITION);
    }
    for (std::size_t i = 0; i < studio.workspace.recent.size(); ++i) {
        const std::wstring item =
            L"&" + std::to_wstring(i + 1) + L" " + fromU16(studio.workspace.recent[i]);
        AppendMenuW(recent, MF_STRING, CmdRecentFirst + i, item.c_str());
    }
    if (studio.workspace.recent.empty()) {
        AppendMenuW(recent, MF_STRING | MF_GRAYED, 0, wideText(TextId::StudioNoRecent).c_str());
    }
}

void loadSettings() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, StudioSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return;
    }
    for (int i = 0; i < static_cast<int>(RecentCount); ++i) {
        std::wstring value;
        if (readSetting(key, (L"Recent" + std::to_wstring(i + 1)).c_str(), value) &&
            !value.empty()) {
            studio.workspace.recent.push_back(toU16(value));
        }
    }
    DWORD keepOpen = 0;
    DWORD size = sizeof(keepOpen);
    if (RegQueryValueExW(key, L"KeepOpenWhileRunning", nullptr, nullptr,
                         reinterpret_cast<BYTE*>(&keepOpen), &size) == ERROR_SUCCESS) {
        studio.workspace.keepOpenWhileRunning = keepOpen != 0;
    }
    size = sizeof(savedPlacement);
    hasSavedPlacement =
        RegQueryValueExW(key, L"Placement", nullptr, nullptr,
                         reinterpret_cast<BYTE*>(&savedPlacement), &size) == ERROR_SUCCESS &&
        size == sizeof(savedPlacement) && savedPlacement.length == sizeof(savedPlacement);
    RegCloseKey(key);
}

void saveSettings() {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, StudioSettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
        return;
    }
    for (int i = 0; i < static_cast<int>(RecentCount); ++i) {
        const std::wstring name = L"Recent" + std::to_wstring(i + 1);
        const std::wstring value =
            static_cast<std::size_t>(i) < studio.workspace.recent.size()
                ? fromU16(studio.workspace.recent[static_cast<std::size_t>(i)])
                : L"";
        RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }
    const DWORD keepOpen = studio.workspace.keepOpenWhileRunning ? 1 : 0;
    RegSetValueExW(key, L"KeepOpenWhileRunning", 0, REG_DWORD,
                   reinterpret_cast<const BYTE*>(&keepOpen), sizeof(keepOpen));
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (studio.window != nullptr && !studio.workspace.runMinimised &&
        GetWindowPlacement(studio.window, &placement)) {
        RegSetValueExW(key, L"Placement", 0, REG_BINARY, reinterpret_cast<const BYTE*>(&placement),
                       sizeof(placement));
    }
    RegCloseKey(key);
}

void restorePlacement(int show) {
    if (hasSavedPlacement) {
        WINDOWPLACEMENT placement = savedPlacement;
        if (placement.showCmd == SW_SHOWMINIMIZED || placement.showCmd == SW_MINIMIZE) {
            placement.showCmd = SW_SHOWNORMAL;
        }
        SetWindowPlacement(studio.window, &placement);
        // A place on a screen that is gone: back onto the one there is.
        RECT place;
        GetWindowRect(studio.window, &place);
        if (MonitorFromRect(&place, MONITOR_DEFAULTTONULL) == nullptr) {
            SetWindowPos(studio.window, nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        }
        ShowWindow(studio.window, placement.showCmd);
    } else {
        ShowWindow(studio.window, show);
    }
    UpdateWindow(studio.window);
}

void writeRecovery() {
    if (!studio.workspace.recoveryDirty) {
        return;
    }
    studio.workspace.recoveryDirty = false;
    if (!studio.workspace.modified) {
        removeRecovery();
        return;
    }
    if (studio.recoveryPath.empty()) {
        return; // no lock of a copy could be taken: no copy
    }
    syncWithEditor();
    RecoveryRecord record{utf16ToUtf8(studio.workspace.path), studio.workspace.format,
                          documentText(studio.workspace.document)};
    DWORD error = 0;
    writeFileWhole(studio.recoveryPath, encodeRecovery(record), error);
}

void removeRecovery() {
    if (!studio.recoveryPath.empty()) {
        DeleteFileW(studio.recoveryPath.c_str());
    }
}
