// studio: one window to write a script, check it as it is typed, run it and
// make it into an exe. The window, its menus, keys and layout; the editor, the
// files and the runs are in the other studio_*.cpp files.
//
//   studio [--lang zh|en] [SCRIPT]
//   studio --version

#include "studio_win32.h"

#include "program_version.h"
#include "studio_help.h"

#include <commctrl.h>
#include <richedit.h>
#include <shellapi.h>

#include <cstdio>

Studio studio;

namespace {

constexpr int ToolbarHeight = 30;
constexpr int StatusHeight = 22;
constexpr int ProblemsHeight = 130;
constexpr int CommandPaneWidth = 300;
constexpr int CommandTextHeight = 110;
constexpr int Gap = 4;

struct ToolButton {
    TextId label;
    int command;
};
constexpr ToolButton ToolButtons[] = {
    {TextId::StudioToolNew, CmdNew},
    {TextId::StudioToolOpen, CmdOpen},
    {TextId::StudioToolSave, CmdSave},
    {TextId::StudioToolRun, CmdRun},
    {TextId::StudioToolStop, CmdStop},
    {TextId::StudioToolMakeExe, CmdMakeExe},
    {TextId::StudioToolCommands, CmdInsertCommand},
    {TextId::StudioToolRecord, CmdRecord},
    {TextId::StudioToolPoints, CmdShowPoints},
};

// The order of the name forms in the command pane's list of forms.
constexpr NameForm PaneForms[3] = {NameForm::Chinese, NameForm::English, NameForm::ShortCode};
constexpr TextId PaneFormLabels[3] = {TextId::StudioFormChinese, TextId::StudioFormEnglish,
                                      TextId::StudioFormCode};

void appendItem(HMENU menu, int command, TextId label) {
    AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(command), wideText(label).c_str());
}

HMENU createMenus() {
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    appendItem(file, CmdNew, TextId::StudioMenuNew);
    appendItem(file, CmdOpen, TextId::StudioMenuOpen);
    appendItem(file, CmdSave, TextId::StudioMenuSave);
    appendItem(file, CmdSaveAs, TextId::StudioMenuSaveAs);
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    HMENU recent = CreatePopupMenu();
    AppendMenuW(file, MF_POPUP, reinterpret_cast<UINT_PTR>(recent),
                wideText(TextId::StudioMenuRecent).c_str());
    HMENU encoding = CreatePopupMenu();
    appendItem(encoding, CmdEncodingUtf8, TextId::StudioMenuUtf8);
    appendItem(encoding, CmdEncodingUtf8Bom, TextId::StudioMenuUtf8Bom);
    appendItem(encoding, CmdEncodingGbk, TextId::StudioMenuGbk);
    AppendMenuW(encoding, MF_SEPARATOR, 0, nullptr);
    appendItem(encoding, CmdLineEndsCrLf, TextId::StudioMenuCrLf);
    appendItem(encoding, CmdLineEndsLf, TextId::StudioMenuLf);
    AppendMenuW(file, MF_POPUP, reinterpret_cast<UINT_PTR>(encoding),
                wideText(TextId::StudioMenuEncoding).c_str());
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    appendItem(file, CmdExit, TextId::StudioMenuExit);
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file),
                wideText(TextId::StudioMenuFile).c_str());

    HMENU edit = CreatePopupMenu();
    appendItem(edit, CmdUndo, TextId::StudioMenuUndo);
    appendItem(edit, CmdRedo, TextId::StudioMenuRedo);
    AppendMenuW(edit, MF_SEPARATOR, 0, nullptr);
    appendItem(edit, CmdCut, TextId::StudioMenuCut);
    appendItem(edit, CmdCopy, TextId::StudioMenuCopy);
    appendItem(edit, CmdPaste, TextId::StudioMenuPaste);
    appendItem(edit, CmdSelectAll, TextId::StudioMenuSelectAll);
    AppendMenuW(edit, MF_SEPARATOR, 0, nullptr);
    appendItem(edit, CmdFind, TextId::StudioMenuFind);
    appendItem(edit, CmdFindNext, TextId::StudioMenuFindNext);
    appendItem(edit, CmdReplace, TextId::StudioMenuReplace);
    appendItem(edit, CmdGoToLine, TextId::StudioMenuGoToLine);
    AppendMenuW(edit, MF_SEPARATOR, 0, nullptr);
    appendItem(edit, CmdComplete, TextId::StudioMenuComplete);
    appendItem(edit, CmdInsertCommand, TextId::StudioMenuInsertCommand);
    appendItem(edit, CmdNextProblem, TextId::StudioMenuNextProblem);
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(edit),
                wideText(TextId::StudioMenuEdit).c_str());

    HMENU script = CreatePopupMenu();
    appendItem(script, CmdRun, TextId::StudioMenuRun);
    appendItem(script, CmdStop, TextId::StudioMenuStop);
    appendItem(script, CmdMakeExe, TextId::StudioMenuMakeExe);
    AppendMenuW(script, MF_SEPARATOR, 0, nullptr);
    appendItem(script, CmdToggleBreakpoint, TextId::StudioMenuBreakpoint);
    appendItem(script, CmdStep, TextId::StudioMenuStep);
    appendItem(script, CmdPause, TextId::StudioMenuPause);
    appendItem(script, CmdRunSelection, TextId::StudioMenuRunSelection);
    appendItem(script, CmdRunFromCursor, TextId::StudioMenuRunFromCursor);
    AppendMenuW(script, MF_SEPARATOR, 0, nullptr);
    appendItem(script, CmdKeepOpen, TextId::StudioMenuKeepOpen);
    AppendMenuW(script, MF_SEPARATOR, 0, nullptr);
    appendItem(script, CmdPick, TextId::StudioMenuPick);
    appendItem(script, CmdShowPoints, TextId::StudioMenuShowPoints);
    appendItem(script, CmdRecord, TextId::StudioMenuRecord);
    appendItem(script, CmdRecordOptions, TextId::StudioMenuRecordOptions);
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(script),
                wideText(TextId::StudioMenuScript).c_str());

    HMENU view = CreatePopupMenu();
    appendItem(view, CmdFocusEditor, TextId::StudioMenuFocusEditor);
    appendItem(view, CmdFocusProblems, TextId::StudioMenuFocusProblems);
    appendItem(view, CmdFocusCommands, TextId::StudioMenuFocusCommands);
    appendItem(view, CmdShowRunLog, TextId::StudioMenuRunLog);
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(view),
                wideText(TextId::StudioMenuView).c_str());

    HMENU help = CreatePopupMenu();
    appendItem(help, CmdAbout, TextId::StudioMenuAbout);
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help),
                wideText(TextId::StudioMenuHelp).c_str());
    return bar;
}

HACCEL createAccelerators() {
    ACCEL keys[] = {
        {FCONTROL | FVIRTKEY, 'N', CmdNew},
        {FCONTROL | FVIRTKEY, 'O', CmdOpen},
        {FCONTROL | FVIRTKEY, 'S', CmdSave},
        {FCONTROL | FSHIFT | FVIRTKEY, 'S', CmdSaveAs},
        {FCONTROL | FVIRTKEY, 'Z', CmdUndo},
        {FCONTROL | FVIRTKEY, 'Y', CmdRedo},
        {FCONTROL | FSHIFT | FVIRTKEY, 'Z', CmdRedo},
        {FCONTROL | FVIRTKEY, 'X', CmdCut},
        {FCONTROL | FVIRTKEY, 'C', CmdCopy},
        {FCONTROL | FVIRTKEY, 'V', CmdPaste},
        {FCONTROL | FVIRTKEY, 'A', CmdSelectAll},
        {FCONTROL | FVIRTKEY, 'F', CmdFind},
        {FVIRTKEY, VK_F3, CmdFindNext},
        {FCONTROL | FVIRTKEY, 'H', CmdReplace},
        {FCONTROL | FVIRTKEY, 'G', CmdGoToLine},
        {FCONTROL | FVIRTKEY, VK_SPACE, CmdComplete},
        {FVIRTKEY, VK_F1, CmdFocusCommands},
        {FVIRTKEY, VK_F5, CmdRun},
        {FSHIFT | FVIRTKEY, VK_F5, CmdStop},
        {FVIRTKEY, VK_F6, CmdFocusProblems},
        {FSHIFT | FVIRTKEY, VK_F6, CmdFocusEditor},
        {FVIRTKEY, VK_F7, CmdMakeExe},
        {FVIRTKEY, VK_F8, CmdNextProblem},
        {FVIRTKEY, VK_F9, CmdToggleBreakpoint},
        {FVIRTKEY, VK_F10, CmdStep},
        {FVIRTKEY, VK_F11, CmdPause},
        {FCONTROL | FVIRTKEY, VK_F5, CmdRunSelection},
        {FCONTROL | FVIRTKEY, VK_F10, CmdRunFromCursor},
        {FCONTROL | FVIRTKEY, 'L', CmdShowRunLog},
        {FCONTROL | FSHIFT | FVIRTKEY, 'P', CmdShowPoints},
    };
    return CreateAcceleratorTableW(keys, static_cast<int>(sizeof(keys) / sizeof(keys[0])));
}

HWND createChild(const wchar_t* className, const std::wstring& text, DWORD style, int id,
                 DWORD exStyle = 0) {
    HWND control = CreateWindowExW(
        exStyle, className, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10,
        studio.window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), studio.instance, nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(studio.uiFont), FALSE);
    return control;
}

void fillCommandList() {
    SendMessageW(studio.commandList, WM_SETREDRAW, FALSE, 0);
    const LRESULT selected = SendMessageW(studio.commandList, LB_GETCURSEL, 0, 0);
    SendMessageW(studio.commandList, LB_RESETCONTENT, 0, 0);
    for (int row = 0; row < CommandTableRowCount; ++row) {
        std::string name = commandName(studio.insertForm, row);
        while (!name.empty() && name.back() == ' ') {
            name.pop_back();
        }
        SendMessageW(studio.commandList, LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(fromGbk(name).c_str()));
    }
    SendMessageW(studio.commandList, LB_SETCURSEL, selected == LB_ERR ? 0 : selected, 0);
    SendMessageW(studio.commandList, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(studio.commandList, nullptr, TRUE);
}

// The three names, the parameters and what the selected command does.
void describeSelectedCommand() {
    const LRESULT row = SendMessageW(studio.commandList, LB_GETCURSEL, 0, 0);
    if (row == LB_ERR || row < 0 || row >= CommandTableRowCount) {
        SetWindowTextW(studio.commandText, L"");
        return;
    }
    const int index = static_cast<int>(row);
    const CommandHelp& help = commandHelp(index);
    const int language = studio.workspace.language == UiLanguage::Chinese ? 1 : 0;
    std::string description = std::string(commandName(NameForm::Chinese, index)) + " | " +
                              commandName(NameForm::English, index) + " | " +
                              commandName(NameForm::ShortCode, index) + "\r\n" +
                              text(TextId::StudioParameters) + help.parameters[language] + "\r\n" +
                              help.description[language];
    SetWindowTextW(studio.commandText, fromGbk(description).c_str());
}

// Inserts the selected command at the start of a new line after the cursor's
// line (or on the cursor's line when it is empty), in the chosen name form.
void insertSelectedCommand() {
    const LRESULT row = SendMessageW(studio.commandList, LB_GETCURSEL, 0, 0);
    if (row == LB_ERR) {
        return;
    }
    const std::wstring name = fromGbk(commandName(studio.insertForm, static_cast<int>(row)));
    const int line = cursorLine();
    const LRESULT start = SendMessageW(studio.editor, EM_LINEINDEX, line, 0);
    const LRESULT length = SendMessageW(studio.editor, EM_LINELENGTH, start, 0);
    SetFocus(studio.editor);
    if (length == 0) {
        SendMessageW(studio.editor, EM_SETSEL, start, start);
        insertAtCursor(name);
    } else {
        SendMessageW(studio.editor, EM_SETSEL, start + length, start + length);
        insertAtCursor(L"\r" + name);
    }
}

void layout() {
    RECT client;
    GetClientRect(studio.window, &client);
    const int width = client.right;
    const int height = client.bottom;
    int x = Gap;
    for (HWND button : studio.toolButtons) {
        MoveWindow(button, x, 2, 96, ToolbarHeight - 4, TRUE);
        x += 96 + Gap;
    }
    const int top = ToolbarHeight;
    const int bottom = height - StatusHeight;
    const int paneLeft = std::max(width - CommandPaneWidth, width / 2);
    const int editorWidth = paneLeft - Gap;
    const int problemsTop = std::max(top + 40, bottom - ProblemsHeight);
    const int gutter = gutterWidth();
    MoveWindow(studio.gutter, 0, top, gutter, problemsTop - top - Gap, TRUE);
    MoveWindow(studio.editor, gutter, top, editorWidth - gutter, problemsTop - top - Gap, TRUE);
    // The run log, when shown, takes the right half below the script.
    const int problemsWidth = studio.runLogShown ? editorWidth / 2 - Gap / 2 : editorWidth;
    MoveWindow(studio.problems, 0, problemsTop, problemsWidth, bottom - problemsTop, TRUE);
    MoveWindow(studio.runLog, problemsWidth + Gap, problemsTop, editorWidth - problemsWidth - Gap,
               bottom - problemsTop, TRUE);
    const int paneWidth = width - paneLeft;
    MoveWindow(studio.commandForm, paneLeft, top, paneWidth, 200, TRUE);
    const int listTop = top + 28;
    const int textTop = std::max(listTop + 40, bottom - CommandTextHeight);
    MoveWindow(studio.commandList, paneLeft, listTop, paneWidth, textTop - listTop - Gap, TRUE);
    MoveWindow(studio.commandText, paneLeft, textTop, paneWidth, bottom - textTop, TRUE);
    const int third = width / 3;
    MoveWindow(studio.statusPlace, Gap, bottom + 2, third - Gap, StatusHeight - 4, TRUE);
    MoveWindow(studio.statusState, third, bottom + 2, third + third / 2, StatusHeight - 4, TRUE);
    MoveWindow(studio.statusFormat, third + third + third / 2, bottom + 2,
               width - third * 2 - third / 2 - Gap, StatusHeight - 4, TRUE);
}

void createControls() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    studio.uiFont = CreateFontIndirectW(&metrics.lfMessageFont);
    for (std::size_t i = 0; i < sizeof(ToolButtons) / sizeof(ToolButtons[0]); ++i) {
        studio.toolButtons.push_back(createChild(L"button", wideText(ToolButtons[i].label),
                                                 BS_PUSHBUTTON,
                                                 ToolButtonId + static_cast<int>(i)));
    }
    studio.editor = createEditor(studio.window);
    createDebugControls();
    studio.problems = createChild(
        L"listbox", L"", WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
        ProblemsId, WS_EX_CLIENTEDGE);
    SendMessageW(studio.problems, LB_SETHORIZONTALEXTENT, 3000, 0);
    studio.commandForm =
        createChild(L"combobox", L"", CBS_DROPDOWNLIST | WS_TABSTOP | WS_VSCROLL, CommandFormId);
    for (TextId label : PaneFormLabels) {
        SendMessageW(studio.commandForm, CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(wideText(label).c_str()));
    }
    studio.commandList =
        createChild(L"listbox", L"", WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                    CommandListId, WS_EX_CLIENTEDGE);
    studio.commandText = createChild(L"edit", L"", ES_MULTILINE | ES_READONLY | WS_VSCROLL,
                                     CommandTextId, WS_EX_CLIENTEDGE);
    studio.statusPlace = createChild(L"static", L"", SS_LEFTNOWORDWRAP, StatusPlaceId);
    studio.statusState = createChild(L"static", L"", SS_LEFTNOWORDWRAP, StatusStateId);
    studio.statusFormat = createChild(L"static", L"", SS_LEFTNOWORDWRAP, StatusFormatId);
    // The command pane starts in the script language of the studio's language.
    studio.insertForm =
        studio.workspace.language == UiLanguage::Chinese ? NameForm::Chinese : NameForm::English;
    for (int i = 0; i < 3; ++i) {
        if (PaneForms[i] == studio.insertForm) {
            SendMessageW(studio.commandForm, CB_SETCURSEL, i, 0);
        }
    }
    fillCommandList();
    describeSelectedCommand();
    setState(wideText(TextId::StudioStateReady));
}

void goToSelectedProblem() {
    const LRESULT index = SendMessageW(studio.problems, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR || static_cast<std::size_t>(index) >= studio.shownProblems.size()) {
        return;
    }
    const int line = studio.shownProblems[static_cast<std::size_t>(index)].line;
    if (line > 0) {
        goToLine(line);
    }
    SetFocus(studio.editor);
}

void nextProblem() {
    if (studio.shownProblems.empty()) {
        return;
    }
    const int line = cursorLine() + 1;
    std::size_t next = 0;
    for (std::size_t i = 0; i < studio.shownProblems.size(); ++i) {
        if (studio.shownProblems[i].line > line) {
            next = i;
            break;
        }
    }
    SendMessageW(studio.problems, LB_SETCURSEL, next, 0);
    goToSelectedProblem();
}

void editCommand(UINT message) {
    HWND focus = GetFocus();
    if (focus == studio.editor && message == WM_PASTE) {
        // Text only: the script is plain text.
        SendMessageW(studio.editor, EM_PASTESPECIAL, CF_UNICODETEXT, 0);
        return;
    }
    if (focus == studio.editor && message == EM_SETSEL) {
        SendMessageW(studio.editor, EM_SETSEL, 0, -1);
        return;
    }
    if (focus != nullptr) {
        SendMessageW(focus, message, message == EM_SETSEL ? 0 : 0, message == EM_SETSEL ? -1 : 0);
    }
}

void onCommand(int id, int code, HWND control) {
    if (control == studio.problems && code == LBN_DBLCLK) {
        goToSelectedProblem();
        return;
    }
    if (control == studio.commandList) {
        if (code == LBN_SELCHANGE) {
            describeSelectedCommand();
        } else if (code == LBN_DBLCLK) {
            insertSelectedCommand();
        }
        return;
    }
    if (control == studio.commandForm && code == CBN_SELCHANGE) {
        const LRESULT index = SendMessageW(studio.commandForm, CB_GETCURSEL, 0, 0);
        if (index >= 0 && index < 3) {
            studio.insertForm = PaneForms[index];
            fillCommandList();
            describeSelectedCommand();
        }
        return;
    }
    if (control == studio.completion && code == LBN_DBLCLK) {
        acceptCompletion();
        return;
    }
    if (control == studio.editor) {
        if (code == EN_CHANGE) {
            onEditorChange();
        } else if (code == EN_VSCROLL) {
            colourVisibleLines();
            invalidateGutter();
        } else if (code == EN_UPDATE) {
            invalidateGutter();
        }
        return;
    }
    if (id >= ToolButtonId && id < ToolButtonId + static_cast<int>(studio.toolButtons.size())) {
        id = ToolButtons[id - ToolButtonId].command;
        SetFocus(studio.editor);
    }
    if (id >= CmdRecentFirst && id < CmdRecentFirst + static_cast<int>(RecentCount)) {
        const std::size_t index = static_cast<std::size_t>(id - CmdRecentFirst);
        if (index < studio.workspace.recent.size() && confirmDiscard()) {
            const std::wstring path = fromU16(studio.workspace.recent[index]);
            openScript(path);
        }
        return;
    }
    switch (id) {
    case CmdNew:
        if (confirmDiscard()) {
            newScript();
        }
        break;
    case CmdOpen: {
        if (!confirmDiscard()) {
            break;
        }
        const std::wstring path = chooseScriptFile(ScriptDialog::Open, L"");
        if (!path.empty()) {
            openScript(path);
        }
        break;
    }
    case CmdSave:
        saveScript(false);
        break;
    case CmdSaveAs:
        saveScript(true);
        break;
    case CmdExit:
        PostMessageW(studio.window, WM_CLOSE, 0, 0);
        break;
    case CmdUndo:
        if (GetFocus() == studio.editor) {
            undoEdit();
        } else {
            editCommand(WM_UNDO);
        }
        break;
    case CmdRedo:
        redoEdit();
        break;
    case CmdCut:
        editCommand(WM_CUT);
        break;
    case CmdCopy:
        editCommand(WM_COPY);
        break;
    case CmdPaste:
        editCommand(WM_PASTE);
        break;
    case CmdSelectAll:
        editCommand(EM_SETSEL);
        break;
    case CmdFind:
        showFind(false);
        break;
    case CmdFindNext:
        findNext();
        break;
    case CmdReplace:
        showFind(true);
        break;
    case CmdGoToLine:
        askGoToLine();
        break;
    case CmdComplete:
        showCompletion();
        break;
    case CmdInsertCommand:
        if (GetFocus() == studio.commandList) {
            insertSelectedCommand();
        } else {
            SetFocus(studio.commandList);
        }
        break;
    case CmdNextProblem:
        nextProblem();
        break;
    case CmdRun:
        runScript();
        break;
    case CmdStop:
        stopScript();
        break;
    case CmdToggleBreakpoint:
        toggleBreakpoint();
        break;
    case CmdStep:
        stepScript();
        break;
    case CmdPause:
        pauseScript();
        break;
    case CmdRunSelection:
        startRun(RunKind::Selection);
        break;
    case CmdRunFromCursor:
        startRun(RunKind::FromCursor);
        break;
    case CmdShowRunLog:
        toggleRunLog();
        break;
    case CmdMakeExe:
        makeExe();
        break;
    case CmdKeepOpen:
        applyUpdate(toggleKeepOpen(studio.workspace));
        break;
    case CmdEncodingUtf8:
        applyUpdate(setEncoding(studio.workspace, SourceEncoding::Utf8, false));
        break;
    case CmdEncodingUtf8Bom:
        applyUpdate(setEncoding(studio.workspace, SourceEncoding::Utf8, true));
        break;
    case CmdEncodingGbk:
        applyUpdate(setEncoding(studio.workspace, SourceEncoding::Gbk, false));
        break;
    case CmdLineEndsCrLf:
        applyUpdate(setLineEnds(studio.workspace, LineEndStyle::CrLf));
        break;
    case CmdLineEndsLf:
        applyUpdate(setLineEnds(studio.workspace, LineEndStyle::Lf));
        break;
    case CmdFocusEditor:
        SetFocus(studio.editor);
        break;
    case CmdFocusProblems:
        SetFocus(GetFocus() == studio.problems ? studio.commandList : studio.problems);
        break;
    case CmdFocusCommands:
        SetFocus(studio.commandList);
        break;
    case CmdPick:
        startPicking();
        break;
    case CmdShowPoints:
        togglePoints();
        break;
    case CmdRecord:
        toggleRecording();
        break;
    case CmdRecordOptions:
        askRecordOptions();
        break;
    case CmdAbout:
        showBox(fromGbk(formatUiText(text(TextId::StudioAbout), {PROGRAM_VERSION})),
                MB_OK | MB_ICONINFORMATION);
        break;
    default:
        break;
    }
}

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == studio.traceMessage && studio.traceMessage != 0) {
        onTraceMessage(wParam, lParam);
        return 0;
    }
    if (message == studio.findMessage && studio.findMessage != 0) {
        onFindMessage(reinterpret_cast<FINDREPLACEW*>(lParam));
        return 0;
    }
    switch (message) {
    case WM_CREATE:
        studio.window = window;
        createControls();
        initCapture();
        initPoints();
        DragAcceptFiles(window, TRUE);
        return 0;
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED) {
            layout();
            colourVisibleLines();
        }
        return 0;
    case WM_SETFOCUS:
        SetFocus(studio.editor);
        return 0;
    case WM_COMMAND:
        onCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->hwndFrom == studio.editor && header->code == EN_SELCHANGE) {
            onSelectionChange();
        }
        return 0;
    }
    case WM_DROPFILES: {
        HDROP drop = reinterpret_cast<HDROP>(wParam);
        wchar_t name[MAX_PATH * 4] = {};
        const UINT length =
            DragQueryFileW(drop, 0, name, static_cast<UINT>(sizeof(name) / sizeof(name[0])));
        DragFinish(drop);
        if (length > 0 && confirmDiscard()) {
            openScript(name);
        }
        return 0;
    }
    case WM_ACTIVATEAPP:
        if (wParam) {
            PostMessageW(window, WM_APP + 2, 0, 0);
        }
        return 0;
    case WM_APP + 2:
        checkDiskChange();
        return 0;
    case WM_TIMER:
        if (wParam == TraceTimer) {
            onTraceTimer();
        } else if (wParam == RecoveryTimer) {
            writeRecovery();
        }
        return 0;
    case RunEndedMessage:
        onRunEnded(static_cast<DWORD>(wParam));
        return 0;
    case WM_CLOSE:
        if (confirmDiscard()) {
            stopScript();
            saveSettings();
            removeRecovery();
            DestroyWindow(window);
        }
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

// Keys the controls do not handle themselves: Enter on a problem or a command,
// the completion list's keys. True when the message was handled.
bool handleKey(const MSG& message) {
    if (message.message != WM_KEYDOWN) {
        return false;
    }
    if (message.hwnd == studio.completion) {
        if (message.wParam == VK_RETURN || message.wParam == VK_TAB) {
            acceptCompletion();
            return true;
        }
        if (message.wParam == VK_ESCAPE) {
            hideCompletion();
            return true;
        }
        return false;
    }
    if (message.wParam != VK_RETURN) {
        return false;
    }
    if (message.hwnd == studio.problems) {
        goToSelectedProblem();
        return true;
    }
    if (message.hwnd == studio.commandList) {
        insertSelectedCommand();
        return true;
    }
    return false;
}

struct Arguments {
    std::wstring language;
    std::wstring script;
    bool version = false;
    std::wstring error;
};

Arguments readArguments() {
    Arguments arguments;
    int count = 0;
    wchar_t** values = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 1; values != nullptr && i < count; ++i) {
        const std::wstring value = values[i];
        if (value == L"--version") {
            arguments.version = true;
        } else if (value == L"--lang" && i + 1 < count) {
            arguments.language = values[++i];
            if (!isUiLanguageOption(toGbk(arguments.language))) {
                arguments.error = L"--lang " + arguments.language;
            }
        } else if (value.rfind(L"--", 0) == 0) {
            arguments.error = value;
        } else {
            arguments.script = value;
        }
    }
    LocalFree(values);
    return arguments;
}

// Writes to the console the studio was started from, if any.
void printToConsole(const std::string& line) {
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        DWORD written = 0;
        HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
        WriteFile(output, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    }
}

} // namespace

const char* text(TextId id) {
    return uiText(id, studio.workspace.language);
}

std::wstring wideText(TextId id) {
    return fromGbk(text(id));
}

void updateMenus() {
    CheckMenuItem(GetMenu(studio.window), CmdKeepOpen,
                  studio.workspace.keepOpenWhileRunning ? MF_CHECKED : MF_UNCHECKED);
    CheckMenuItem(GetMenu(studio.window), CmdShowPoints,
                  studio.workspace.pointsShown ? MF_CHECKED : MF_UNCHECKED);
}

void applyUpdate(const WorkspaceUpdate& update) {
    if (update.title) {
        updateTitle();
    }
    if (update.formatStatus) {
        updateFormatStatus();
    }
    if (update.allLines || update.linesReplaced || !update.recolour.empty()) {
        markColoursStale(update);
        colourVisibleLines();
    }
    if (update.problems) {
        refreshProblems();
    }
    if (update.gutter) {
        invalidateGutter();
    }
    if (update.recentMenu) {
        rebuildRecentMenu();
    }
    if (update.menus) {
        updateMenus();
    }
    if (update.saveSettings) {
        saveSettings();
    }
    if (update.hasState) {
        setState(fromGbk(update.state));
    }
    applyTraceUpdate(update);
}

int showBox(const std::wstring& message, UINT flags) {
    return MessageBoxW(studio.window, message.c_str(), wideText(TextId::StudioName).c_str(), flags);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    const Arguments arguments = readArguments();
    studio.workspace.language =
        chooseUiLanguage(toGbk(arguments.language), GetUserDefaultUILanguage());
    if (arguments.version) {
        printToConsole(std::string("studio ") + PROGRAM_VERSION + "\n");
        return 0;
    }
    if (!arguments.error.empty()) {
        MessageBoxW(nullptr,
                    fromGbk(formatUiText(text(TextId::StudioBadArgument), {toGbk(arguments.error)}))
                        .c_str(),
                    wideText(TextId::StudioName).c_str(), MB_OK | MB_ICONERROR);
        return 2;
    }
    studio.instance = instance;
    studio.findMessage = RegisterWindowMessageW(FINDMSGSTRINGW);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(101));
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = StudioWindowClass;
    RegisterClassExW(&windowClass);

    loadSettings();
    HWND window =
        CreateWindowExW(0, windowClass.lpszClassName, L"", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                        CW_USEDEFAULT, 1100, 760, nullptr, createMenus(), instance, nullptr);
    if (window == nullptr) {
        return 1;
    }
    studio.accelerators = createAccelerators();
    rebuildRecentMenu();
    updateMenus();
    newScript();
    restorePlacement(show);
    if (!arguments.script.empty()) {
        openScript(arguments.script);
    } else {
        offerRecovery();
    }
    SetTimer(window, RecoveryTimer, 3000, nullptr);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (studio.findDialog != nullptr && IsDialogMessageW(studio.findDialog, &message)) {
            continue;
        }
        if (handleKey(message)) {
            continue;
        }
        if (TranslateAcceleratorW(window, studio.accelerators, &message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
