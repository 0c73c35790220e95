#include "record_intake.h"

#include "text_codes.h"

namespace {

bool isOwnWindow(HWND window) {
    DWORD process = 0;
    return window != nullptr && GetWindowThreadProcessId(window, &process) != 0 &&
           process == GetCurrentProcessId();
}

bool onOwnWindow(POINT point) {
    return isOwnWindow(GetAncestor(WindowFromPoint(point), GA_ROOT));
}

// The caption index of the window in front; 0 for none, one without a caption
// and the program's own.
std::uint32_t windowIndex(Intake& intake, HWND front) {
    if (front == intake.lastFront) {
        return intake.lastWindow;
    }
    intake.lastFront = front;
    intake.lastWindow = 0;
    if (front == nullptr || isOwnWindow(front)) {
        return 0;
    }
    wchar_t caption[512];
    const int length = GetWindowTextW(front, caption, 512);
    const std::string text = gbkPrefix(caption, length);
    if (text.empty()) {
        return 0;
    }
    std::vector<std::string>& captions = intake.recording.captions;
    for (std::uint32_t index = 1; index < captions.size(); ++index) {
        if (captions[index] == text) {
            intake.lastWindow = index;
            return index;
        }
    }
    captions.push_back(text);
    intake.lastWindow = static_cast<std::uint32_t>(captions.size() - 1);
    return intake.lastWindow;
}

} // namespace

std::string gbkPrefix(const wchar_t* text, int length) {
    std::string out;
    for (int at = 0; at < length;) {
        const int width = IS_HIGH_SURROGATE(text[at]) && at + 1 < length ? 2 : 1;
        std::string bytes;
        if (!wideToGbk(std::wstring_view(text + at, static_cast<std::size_t>(width)), bytes) ||
            bytes.empty()) {
            break;
        }
        out += bytes;
        at += width;
    }
    return out;
}

void beginIntake(Intake& intake, KeyCombo stopKey) {
    intake = Intake{};
    intake.stopKey = stopKey;
    Recording& recording = intake.recording;
    recording.screenWidth = GetSystemMetrics(SM_CXSCREEN);
    recording.screenHeight = GetSystemMetrics(SM_CYSCREEN);
    recording.metrics.doubleClickTime = GetDoubleClickTime();
    recording.metrics.doubleClickWidth = GetSystemMetrics(SM_CXDOUBLECLK);
    recording.metrics.doubleClickHeight = GetSystemMetrics(SM_CYDOUBLECLK);
    recording.metrics.dragWidth = GetSystemMetrics(SM_CXDRAG);
    recording.metrics.dragHeight = GetSystemMetrics(SM_CYDRAG);
    recording.startTime = GetTickCount();
}

bool takeIntoRecording(Intake& intake) {
    intake.batch.clear();
    takeCaptured(intake.batch);
    for (const CapturedEvent& captured : intake.batch) {
        RecordedEvent event;
        event.kind = captured.kind;
        event.key = captured.key;
        event.injected = captured.injected;
        event.time = captured.time;
        event.x = captured.point.x;
        event.y = captured.point.y;
        const bool isKey = event.kind == EventKind::KeyDown || event.kind == EventKind::KeyUp;
        if (isKey) {
            if (pressesStopKey(intake.held, event, intake.stopKey)) {
                intake.recording.endTime = event.time;
                return true;
            }
            noteKeyEvent(intake.held, event);
            if (isOwnWindow(captured.front)) {
                continue;
            }
        }
        if (event.kind == EventKind::ButtonDown && onOwnWindow(captured.point)) {
            intake.ownButtons |= event.key;
            continue;
        }
        if (event.kind == EventKind::ButtonUp && (intake.ownButtons & event.key) != 0) {
            intake.ownButtons &= ~static_cast<unsigned>(event.key);
            continue;
        }
        event.window = windowIndex(intake, captured.front);
        intake.recording.events.push_back(event);
    }
    return false;
}

void dropLastClick(Intake& intake) {
    std::vector<RecordedEvent>& events = intake.recording.events;
    for (std::size_t at = events.size(); at-- > 0;) {
        if (events[at].kind == EventKind::ButtonDown) {
            events.resize(at);
            break;
        }
    }
}
