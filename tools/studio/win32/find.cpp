// Find, replace and go to line.

#include "front_end.h"

#include "find_text.h"

#include <richedit.h>

#include <algorithm>

namespace {

std::u16string searched() {
    return toU16(std::wstring(studio.findWhat));
}

bool findFrom(bool down) {
    CHARRANGE range{};
    SendMessageW(studio.editor, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    const bool matchCase = (studio.find.Flags & FR_MATCHCASE) != 0;
    const std::size_t from =
        down ? static_cast<std::size_t>(range.cpMax) : static_cast<std::size_t>(range.cpMin);
    const std::u16string what = searched();
    const std::size_t at = findText(studio.mirror, what, from, down, matchCase);
    if (at == std::u16string::npos) {
        setState(fromGbk(formatUiText(text(TextId::StudioNotFound), {toGbk(studio.findWhat)})));
        MessageBeep(MB_ICONWARNING);
        return false;
    }
    CHARRANGE found{static_cast<LONG>(at), static_cast<LONG>(at + what.size())};
    SendMessageW(studio.editor, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&found));
    SendMessageW(studio.editor, EM_SCROLLCARET, 0, 0);
    return true;
}

bool selectionMatches() {
    CHARRANGE range{};
    SendMessageW(studio.editor, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    const std::u16string what = searched();
    return static_cast<std::size_t>(range.cpMax - range.cpMin) == what.size() &&
           matchesAt(studio.mirror, static_cast<std::size_t>(range.cpMin), what,
                     (studio.find.Flags & FR_MATCHCASE) != 0);
}

// Every match replaced as one step of the undo history.
void replaceAll() {
    const std::u16string what = searched();
    const std::u16string with = toU16(std::wstring(studio.replaceWith));
    if (what.empty()) {
        return;
    }
    const Replacement replacement =
        replaceAllChange(studio.mirror, what, with, (studio.find.Flags & FR_MATCHCASE) != 0);
    const int count = replacement.count;
    if (count > 0) {
        closeStep(studio.workspace.history);
        applyChange(replacement.change);
        closeStep(studio.workspace.history);
    }
    setState(fromGbk(formatUiText(text(TextId::StudioReplaced), {std::to_string(count)})));
}

} // namespace

void showFind(bool replace) {
    if (studio.findDialog != nullptr) {
        DestroyWindow(studio.findDialog);
        studio.findDialog = nullptr;
    }
    CHARRANGE range{};
    SendMessageW(studio.editor, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    if (range.cpMax > range.cpMin && range.cpMax - range.cpMin < 255) {
        const std::u16string selected =
            studio.mirror.substr(static_cast<std::size_t>(range.cpMin),
                                 static_cast<std::size_t>(range.cpMax - range.cpMin));
        if (selected.find(u'\r') == std::u16string::npos) {
            lstrcpynW(studio.findWhat, fromU16(selected).c_str(), 256);
        }
    }
    studio.find = FINDREPLACEW{};
    studio.find.lStructSize = sizeof(studio.find);
    studio.find.hwndOwner = studio.window;
    studio.find.Flags = FR_DOWN;
    studio.find.lpstrFindWhat = studio.findWhat;
    studio.find.wFindWhatLen = 256;
    studio.find.lpstrReplaceWith = studio.replaceWith;
    studio.find.wReplaceWithLen = 256;
    studio.findDialog = replace ? ReplaceTextW(&studio.find) : FindTextW(&studio.find);
}

void findNext() {
    if (studio.findWhat[0] == L'\0') {
        showFind(false);
        return;
    }
    findFrom((studio.find.Flags & FR_DOWN) != 0 || studio.find.lStructSize == 0);
}

void onFindMessage(FINDREPLACEW* find) {
    if ((find->Flags & FR_DIALOGTERM) != 0) {
        studio.findDialog = nullptr;
        return;
    }
    if ((find->Flags & FR_FINDNEXT) != 0) {
        findFrom((find->Flags & FR_DOWN) != 0);
    } else if ((find->Flags & FR_REPLACE) != 0) {
        if (selectionMatches()) {
            insertAtCursor(studio.replaceWith);
        }
        findFrom(true);
    } else if ((find->Flags & FR_REPLACEALL) != 0) {
        replaceAll();
    }
}

void askGoToLine() {
    const int lines = static_cast<int>(studio.workspace.document.lines.size());
    std::vector<DialogField> fields{
        {fromGbk(formatUiText(text(TextId::StudioGoToLinePrompt), {std::to_string(lines)})),
         std::to_wstring(cursorLine() + 1), true}};
    if (askFields(wideText(TextId::StudioGoToLineTitle), fields, 320)) {
        goToLine(_wtoi(fields[0].value.c_str()));
    }
}
