// The command pane beside the editor: a find box over the list of commands,
// the list filtered as the user types, the help of the selected command, and
// its insertion into the script with the cursor where its parameters go.

#include "front_end.h"

#include "command_finder.h"
#include "studio_help.h"

#include <commctrl.h>

#include <algorithm>

namespace {

// The list's text for a found command: its name in the chosen form, and the
// name that matched when that is another one ("WaitColor  (Wait Color)").
std::string rowText(const FoundCommand& found, bool filtered) {
    std::string text = commandNameText(found.row, studio.insertForm);
    const std::string matched = commandNameText(found.matchedRow, found.form);
    if (filtered && matched != text) {
        text += "  (" + matched + ")";
    }
    return text;
}

int selectedIndex() {
    const LRESULT index = SendMessageW(studio.commandList, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR || index < 0 ||
        index >= static_cast<LRESULT>(studio.shownCommands.size())) {
        return -1;
    }
    return static_cast<int>(index);
}

std::string filterText() {
    const int length = GetWindowTextLengthW(studio.commandFind);
    std::wstring typed(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(studio.commandFind, typed.data(), length + 1);
    typed.resize(static_cast<std::size_t>(length));
    return toGbk(typed);
}

} // namespace

HWND createCommandFind(HWND parent, HFONT font) {
    HWND find = CreateWindowExW(
        WS_EX_CLIENTEDGE, L"edit", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0,
        10, 10, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(CommandFindId)),
        studio.instance, nullptr);
    SendMessageW(find, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    const std::wstring cue = wideText(TextId::StudioCommandFindCue);
    SendMessageW(find, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(cue.c_str()));
    return find;
}

void fillCommandList() {
    const int before = selectedIndex();
    const int selectedRow =
        before < 0 ? -1 : studio.shownCommands[static_cast<std::size_t>(before)].row;
    const std::string typed = studio.commandFind != nullptr ? filterText() : std::string();
    studio.shownCommands = findCommands(typed);
    const bool filtered = typed.find_first_not_of(' ') != std::string::npos;

    SendMessageW(studio.commandList, WM_SETREDRAW, FALSE, 0);
    SendMessageW(studio.commandList, LB_RESETCONTENT, 0, 0);
    int select = 0;
    for (std::size_t i = 0; i < studio.shownCommands.size(); ++i) {
        const FoundCommand& found = studio.shownCommands[i];
        SendMessageW(studio.commandList, LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(fromGbk(rowText(found, filtered)).c_str()));
        // A new filter selects its best match; a new name form keeps the command.
        if (!filtered && found.row == selectedRow) {
            select = static_cast<int>(i);
        }
    }
    if (!studio.shownCommands.empty()) {
        SendMessageW(studio.commandList, LB_SETCURSEL, select, 0);
    }
    SendMessageW(studio.commandList, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(studio.commandList, nullptr, TRUE);
}

// The command's names, its other names, the parameters and what it does.
void describeSelectedCommand() {
    const int index = selectedIndex();
    if (index < 0) {
        SetWindowTextW(studio.commandText, fromGbk(text(TextId::StudioCommandNoneFound)).c_str());
        return;
    }
    const int row = studio.shownCommands[static_cast<std::size_t>(index)].row;
    const CommandHelp& help = commandHelp(row);
    const int language = studio.workspace.language == UiLanguage::Chinese ? 1 : 0;
    std::string description = commandNameText(row, NameForm::Chinese) + " | " +
                              commandNameText(row, NameForm::English) + " | " +
                              commandNameText(row, NameForm::ShortCode) + "\r\n";
    const std::string others = otherCommandNames(row);
    if (!others.empty()) {
        description += text(TextId::StudioCommandOtherNames) + others + "\r\n";
    }
    description += std::string(text(TextId::StudioParameters)) + help.parameters[language] +
                   "\r\n" + help.description[language];
    SetWindowTextW(studio.commandText, fromGbk(description).c_str());
}

// Inserts the selected command at the start of a new line after the cursor's
// line (or on the cursor's line when it is empty), in the chosen name form,
// with the cursor where its parameters go; the status line then shows them.
void insertSelectedCommand() {
    const int index = selectedIndex();
    if (index < 0) {
        return;
    }
    const int row = studio.shownCommands[static_cast<std::size_t>(index)].row;
    const CommandInsertion insertion =
        commandInsertion(row, studio.insertForm, studio.workspace.language);
    const std::wstring name = fromGbk(insertion.text);
    const std::wstring beforeCursor = fromGbk(insertion.text.substr(0, insertion.cursor));
    const int line = cursorLine();
    const LRESULT start = SendMessageW(studio.editor, EM_LINEINDEX, line, 0);
    const LRESULT length = SendMessageW(studio.editor, EM_LINELENGTH, start, 0);
    SetFocus(studio.editor);
    LRESULT lineStart = start;
    if (length == 0) {
        SendMessageW(studio.editor, EM_SETSEL, start, start);
        insertAtCursor(name);
    } else {
        SendMessageW(studio.editor, EM_SETSEL, start + length, start + length);
        insertAtCursor(L"\r" + name);
        lineStart = start + length + 1;
    }
    const LRESULT cursor = lineStart + static_cast<LRESULT>(beforeCursor.size());
    SendMessageW(studio.editor, EM_SETSEL, cursor, cursor);
    // The editor told of the cursor before the document held the new line.
    onSelectionChange();
}

void focusCommandFind() {
    SetFocus(studio.commandFind);
    SendMessageW(studio.commandFind, EM_SETSEL, 0, -1);
}

void onCommandFindChange() {
    fillCommandList();
    describeSelectedCommand();
}

bool handleCommandFindKey(const MSG& message) {
    if (message.message != WM_KEYDOWN || message.hwnd != studio.commandFind) {
        return false;
    }
    switch (message.wParam) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT: {
        // The list moves; the find box keeps the focus and what was typed.
        const int count = static_cast<int>(studio.shownCommands.size());
        if (count == 0) {
            return true;
        }
        const int step = message.wParam == VK_UP      ? -1
                         : message.wParam == VK_DOWN  ? 1
                         : message.wParam == VK_PRIOR ? -8
                                                      : 8;
        const int at = std::clamp(std::max(selectedIndex(), 0) + step, 0, count - 1);
        SendMessageW(studio.commandList, LB_SETCURSEL, at, 0);
        describeSelectedCommand();
        return true;
    }
    case VK_RETURN:
        insertSelectedCommand();
        return true;
    case VK_ESCAPE:
        SetFocus(studio.editor);
        return true;
    default:
        return false;
    }
}
