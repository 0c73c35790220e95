// The facts at a point of the screen, read the way the player reads them: the
// pixel through WaitColor's read, the executable through Wait Process's, the
// control text through the control waits' bounded read.

#include "spy_screen.h"

#include "platform/platform.h"
#include "runner/executor.h"
#include "script/line_writer.h"

#include <algorithm>
#include <cwchar>
#include <vector>

namespace {

platform::WindowHandle handleOf(HWND window) {
    return reinterpret_cast<platform::WindowHandle>(window);
}

// No text the spy turns into a line is longer than this many characters.
constexpr int WideTextLimit = 65536;

std::wstring wideWindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) {
        return {};
    }
    std::vector<wchar_t> buffer(static_cast<std::size_t>(std::min(length, WideTextLimit)) + 1);
    const int copied = GetWindowTextW(window, buffer.data(), static_cast<int>(buffer.size()));
    return std::wstring(buffer.data(), static_cast<std::size_t>(std::max(copied, 0)));
}

std::wstring wideClassName(HWND window) {
    wchar_t buffer[260];
    const int length = GetClassNameW(window, buffer, 260);
    return std::wstring(buffer, static_cast<std::size_t>(std::max(length, 0)));
}

TextFact textFact(const std::wstring& text) {
    TextFact fact;
    fact.present = true;
    GbkText gbk = gbkFromUtf16(
        std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size()),
        platform::utf16CharacterToGbk);
    fact.writable = gbk.ok;
    fact.gbk = std::move(gbk.bytes);
    fact.problem = std::move(gbk.reason);
    return fact;
}

bool isGroupBox(HWND window) {
    wchar_t name[16];
    if (GetClassNameW(window, name, 16) == 0 || _wcsicmp(name, L"Button") != 0) {
        return false;
    }
    return (GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

// The direct child of `parent` under the point: the first visible one in Z order
// that is no group box, else the first group box.
HWND childUnder(HWND parent, POINT point) {
    HWND groupBox = nullptr;
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        RECT rect{};
        if (!IsWindowVisible(child) || !GetWindowRect(child, &rect) || !PtInRect(&rect, point)) {
            continue;
        }
        if (!isGroupBox(child)) {
            return child;
        }
        if (groupBox == nullptr) {
            groupBox = child;
        }
    }
    return groupBox;
}

std::string describeControl(HWND control, UiLanguage language) {
    char className[260] = {};
    GetClassNameA(control, className, sizeof className);
    return formatUiText(uiText(TextId::SpyControlReading, language),
                        {className, readWindowText(handleOf(control)).text});
}

} // namespace

HWND controlAt(POINT point) {
    HWND top = WindowFromPoint(point);
    if (top == nullptr) {
        return nullptr;
    }
    top = GetAncestor(top, GA_ROOT);
    HWND deepest = nullptr;
    for (HWND parent = top; HWND child = childUnder(parent, point); parent = child) {
        deepest = child;
    }
    return deepest;
}

SpyFacts gatherFacts(POINT point, HWND front, KeyCombo key, UiLanguage language) {
    SpyFacts facts;
    facts.x = point.x;
    facts.y = point.y;
    facts.screenWidth = platform::screenWidth();
    facts.screenHeight = platform::screenHeight();
    if (point.x >= 0 && point.y >= 0 && point.x < facts.screenWidth &&
        point.y < facts.screenHeight) {
        facts.colour = screenColourText(point.x, point.y).text;
    }
    facts.key = key;

    if (front != nullptr && IsWindow(front)) {
        facts.haveWindow = true;
        facts.caption = textFact(wideWindowText(front));
        facts.className = textFact(wideClassName(front));
        // FindWindowA takes the first top-level window that matches: is it this one?
        if (facts.caption.writable && !facts.caption.gbk.empty()) {
            facts.captionFindsOther = FindWindowA(nullptr, facts.caption.gbk.c_str()) != front;
        }
        if (facts.className.writable && !facts.className.gbk.empty()) {
            facts.classFindsOther = FindWindowA(facts.className.gbk.c_str(), nullptr) != front;
        }
        facts.processId = platform::windowProcessId(handleOf(front));
        facts.exeName = processExeName(facts.processId).text;
    }

    HWND control = controlAt(point);
    if (control != nullptr) {
        facts.haveControl = true;
        facts.controlId = GetDlgCtrlID(control);
        facts.controlClass = textFact(wideClassName(control));
        facts.controlText = textFact(wideWindowText(control));
        facts.controlTextBytes = facts.controlText.gbk.size();
        facts.controlEnabled = IsWindowEnabled(control) != FALSE;
        facts.controlInFrontWindow = front != nullptr && GetAncestor(control, GA_ROOT) == front;
        facts.controlDirectChild = front != nullptr && GetParent(control) == front;
        HWND found = front != nullptr ? GetDlgItem(front, facts.controlId) : nullptr;
        facts.controlFoundFirst = found == control;
        if (found != nullptr && found != control) {
            facts.controlFoundInstead = describeControl(found, language);
        }
        if (facts.controlText.writable) {
            // The player's own read must give the same bytes, or the line would
            // compare other text.
            std::string asRead = readWindowText(handleOf(control)).text;
            if (facts.controlTextBytes <= PlayerTextLimit && asRead != facts.controlText.gbk) {
                facts.controlText.writable = false;
                facts.controlText.problem = uiText(TextId::SpyReadAsOtherBytes, language);
            }
        }
    }
    return facts;
}
