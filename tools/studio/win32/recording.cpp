// Recording into the script with the recorder's own hooks, intake and
// translation: the studio steps aside, records until the stop key (PAUSE
// unless the recording options name another) and inserts the lines at the
// cursor, where the check takes them like typed ones. A blank script gets the
// whole script record.exe would write; a script with lines gets the body only.

#include "front_end.h"

#include "pack_windows.h"
#include "record_intake.h"
#include "studio_capture.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr UINT DrainMs = 50;
const wchar_t* const OptionsValue = L"RecordOptions";

struct StudioRecorder {
    bool active = false;
    Intake intake;
    StudioRecordOptions settings;
    UINT_PTR drainTimer = 0;
    UINT_PTR endTimer = 0;
};

StudioRecorder recorder;

std::wstring storedOptions() {
    wchar_t value[512] = {};
    DWORD size = sizeof(value) - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CURRENT_USER, StudioSettingsKey, OptionsValue, RRF_RT_REG_SZ, nullptr,
                     value, &size) != ERROR_SUCCESS) {
        return {};
    }
    return value;
}

void storeOptions(const std::wstring& options) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, StudioSettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
        return;
    }
    RegSetValueExW(key, OptionsValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(options.c_str()),
                   static_cast<DWORD>((options.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

std::string dateTimeNow() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u", now.wYear, now.wMonth, now.wDay,
                  now.wHour, now.wMinute);
    return text;
}

void failed(const std::string& reason) {
    const std::wstring message = fromGbk(formatUiText(text(TextId::StudioRecordFailed), {reason}));
    setState(message);
    showBox(message, MB_OK | MB_ICONERROR);
}

void finishRecording(bool stopKeyPressed);

void CALLBACK onDrainTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (recorder.active && takeIntoRecording(recorder.intake)) {
        finishRecording(true);
    }
}

void CALLBACK onEndTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (recorder.active) {
        finishRecording(false);
    }
}

void finishRecording(bool stopKeyPressed) {
    KillTimer(nullptr, recorder.drainTimer);
    if (recorder.endTimer != 0) {
        KillTimer(nullptr, recorder.endTimer);
    }
    stopCapture();
    Recording& recording = recorder.intake.recording;
    if (!stopKeyPressed) {
        takeIntoRecording(recorder.intake); // the last events before the hooks went
        recording.endTime = GetTickCount();
    }
    recorder.active = false;
    applyUpdate(setRecording(studio.workspace, false));
    ShowWindow(studio.window, SW_RESTORE);
    SetForegroundWindow(studio.window);
    SetFocus(studio.editor);

    RecordOptions& options = recorder.settings.options;
    options.translate.comment =
        recordingComment(dateTimeNow(), recording.screenWidth, recording.screenHeight);
    const Translation translation = translateRecording(recording, options.translate);
    const bool wholeScript = studio.workspace.document.firstKept < 0;
    const NameForm form = recorder.settings.formGiven ? options.form : studio.insertForm;
    const RenderedScript lines = recordedInsertion(translation, wholeScript, form);
    if (!lines.ok) {
        failed(lines.problem);
        return;
    }
    if (translation.bodySteps == 0) {
        setState(wideText(TextId::StudioStateRecordedNothing));
        return;
    }
    std::wstring inserted = fromGbk(lines.text);
    inserted.pop_back(); // the last line feed: the lines go between the script's own
    for (wchar_t& character : inserted) {
        character = character == L'\n' ? L'\r' : character;
    }
    if (wholeScript) {
        SendMessageW(studio.editor, EM_SETSEL, 0, -1);
        insertAtCursor(inserted);
    } else {
        insertLinesAfterCursor(inserted);
    }
    const auto lineCount = std::count(lines.text.begin(), lines.text.end(), '\n');
    std::string state =
        formatUiText(text(TextId::StudioStateRecorded),
                     {std::to_string(lineCount), std::to_string(recording.events.size())});
    if (translation.unreachable > 0) {
        state += "; " + formatUiText(text(TextId::StudioRecordOffScreen),
                                     {std::to_string(translation.unreachable)});
    }
    setState(fromGbk(state));
}

} // namespace

bool isRecording() {
    return recorder.active;
}

void toggleRecording() {
    if (recorder.active) {
        finishRecording(false);
        return;
    }
    if (studio.run.process != nullptr) {
        setState(wideText(TextId::StudioStateAlreadyRunning));
        return;
    }
    endPicking();
    recorder.settings = parseStudioRecordOptions(toGbk(storedOptions()));
    if (!recorder.settings.ok) {
        failed(recorder.settings.error);
        return;
    }
    const RecordOptions& options = recorder.settings.options;
    beginIntake(recorder.intake, options.translate.stopKey);
    DWORD error = 0;
    if (!startCapture(error)) {
        failed(errorText(error));
        return;
    }
    recorder.intake.recording.startTime = GetTickCount();
    recorder.active = true;
    applyUpdate(setRecording(studio.workspace, true));
    recorder.drainTimer = SetTimer(nullptr, 0, DrainMs, onDrainTimer);
    recorder.endTimer =
        options.seconds > 0 ? SetTimer(nullptr, 0, options.seconds * 1000, onEndTimer) : 0;
    setState(fromGbk(formatUiText(text(TextId::StudioStateRecording), {options.stopKey})));
    // Aside, so that the recorded clicks and keys go to the user's windows.
    ShowWindow(studio.window, SW_MINIMIZE);
}

void askRecordOptions() {
    std::vector<DialogField> fields{
        {wideText(TextId::StudioRecordOptionsPrompt), storedOptions(), false}};
    const bool accepted = askFields(wideText(TextId::StudioRecordOptionsTitle), fields, 520);
    const std::wstring typed = fields[0].value;
    if (!accepted) {
        return;
    }
    const StudioRecordOptions checked = parseStudioRecordOptions(toGbk(typed));
    if (!checked.ok) {
        showBox(fromGbk(formatUiText(text(TextId::StudioRecordOptionsBad), {checked.error})),
                MB_OK | MB_ICONERROR);
        return;
    }
    storeOptions(typed);
}
