// studio: one window to write a script, check it as it is typed, run it and
// make it into an exe. The window, its message switch, menus, keys and layout;
// the editor, the files and the runs are in the other files of win32/.
//
//   studio [--lang zh|en] [SCRIPT]
//   studio --version

#include "front_end.h"

#include "command_line.h"
#include "commands.h"
#include "program_version.h"
#include "recovery_start.h"
#include "studio_help.h"

#include <commctrl.h>
#include <richedit.h>
#include <shellapi.h>

#include <cstdio>
#include <span>
#include <vector>

Studio studio;

namespace {

// The order of the name forms in the command pane's list of forms.
constexpr NameForm PaneForms[3] = {NameForm::Chinese, NameForm::English, NameForm::ShortCode};
constexpr TextId PaneFormLabels[3] = {TextId::StudioFormChinese, TextId::StudioFormEnglish,
                                      TextId::StudioFormCode};

void appendItems(HMENU menu, std::span<const MenuItem> items) {
    for (const MenuItem& item : items) {
        switch (item.kind) {
        case MenuItemKind::Separator:
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            break;
        case MenuItemKind::Command:
            AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(item.command),
                        wideText(commandRow(item.command)->menuText).c_str());
            break;
        case MenuItemKind::RecentFiles:
            studio.recentMenu = CreatePopupMenu();
            AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(studio.recentMenu),
                        wideText(item.text).c_str());
            break;
        case MenuItemKind::Submenu: {
            HMENU submenu = CreatePopupMenu();
            appendItems(submenu, item.items);
            AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu),
                        wideText(item.text).c_str());
            break;
        }
        }
    }
}

HMENU createMenus() {
    HMENU bar = CreateMenu();
    for (const Menu& menu : menuBar()) {
        HMENU popup = CreatePopupMenu();
        appendItems(popup, menu.items);
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), wideText(menu.text).c_str());
    }
    return bar;
}

ACCEL accelerator(const CommandKey& key, int command) {
    BYTE flags = FVIRTKEY;
    flags |= (key.modifiers & Ctrl) != 0 ? FCONTROL : 0;
    flags |= (key.modifiers & Shift) != 0 ? FSHIFT : 0;
    return ACCEL{flags, key.key, static_cast<WORD>(command)};
}

HACCEL createAccelerators() {
    std::vector<ACCEL> keys;
    for (const CommandRow& row : commandRows()) {
        for (const CommandKey& key : {row.key, row.otherKey}) {
            if (key.key != 0) {
                keys.push_back(accelerator(key, row.id));
            }
        }
    }
    return CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size()));
}

HWND createChild(const wchar_t* className, const std::wstring& text, DWORD style, int id,
                 DWORD exStyle = 0) {
    HWND control = CreateWindowExW(
        exStyle, className, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10,
        studio.window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), studio.instance, nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(studio.uiFont), FALSE);
    return control;
}

// Every pixel size of the window's layout, from its design at 96 DPI.
void layout() {
    const StudioMetrics metrics = studioMetrics();
    const int gap = metrics.gap;
    RECT client;
    GetClientRect(studio.window, &client);
    const int width = client.right;
    const int height = client.bottom;
    int x = gap;
    for (std::size_t i = 0; i < studio.toolButtons.size(); ++i) {
        MoveWindow(studio.toolButtons[i], x, (metrics.toolbarHeight - metrics.buttonHeight) / 2,
                   metrics.buttonWidths[i], metrics.buttonHeight, TRUE);
        x += metrics.buttonWidths[i] + gap;
    }
    const int top = metrics.toolbarHeight;
    const int bottom = height - metrics.statusHeight;
    const int paneLeft = std::max(width - metrics.commandPaneWidth, width / 2);
    const int editorWidth = paneLeft - gap;
    const int problemsTop = std::max(top + 10 * gap, bottom - metrics.problemsHeight);
    const int gutter = metrics.gutterWidth;
    MoveWindow(studio.gutter, 0, top, gutter, problemsTop - top - gap, TRUE);
    MoveWindow(studio.editor, gutter, top, editorWidth - gutter, problemsTop - top - gap, TRUE);
    // The run log, when shown, takes the right half below the script.
    const int problemsWidth = studio.runLogShown ? editorWidth / 2 - gap / 2 : editorWidth;
    MoveWindow(studio.problems, 0, problemsTop, problemsWidth, bottom - problemsTop, TRUE);
    MoveWindow(studio.runLog, problemsWidth + gap, problemsTop, editorWidth - problemsWidth - gap,
               bottom - problemsTop, TRUE);
    const int paneWidth = width - paneLeft;
    // A drop-down list's height is that of its list; its field's is the font's.
    MoveWindow(studio.commandForm, paneLeft, top, paneWidth, metrics.commandFormHeight * 8, TRUE);
    const int findTop = top + metrics.commandFormHeight + gap;
    MoveWindow(studio.commandFind, paneLeft, findTop, paneWidth, metrics.commandFormHeight, TRUE);
    const int listTop = findTop + metrics.commandFormHeight + gap;
    const int textTop = std::max(listTop + 10 * gap, bottom - metrics.commandTextHeight);
    MoveWindow(studio.commandList, paneLeft, listTop, paneWidth, textTop - listTop - gap, TRUE);
    MoveWindow(studio.commandText, paneLeft, textTop, paneWidth, bottom - textTop, TRUE);
    const int third = width / 3;
    const int statusTop = bottom + gap / 2;
    const int statusHeight = metrics.statusHeight - gap / 2;
    MoveWindow(studio.statusPlace, gap, statusTop, third - gap, statusHeight, TRUE);
    MoveWindow(studio.statusState, third, statusTop, third + third / 2, statusHeight, TRUE);
    MoveWindow(studio.statusFormat, third + third + third / 2, statusTop,
               width - third * 2 - third / 2 - gap, statusHeight, TRUE);
}

void createControls() {
    studio.scale = scaleForWindow(studio.window);
    makeStudioFonts();
    const std::span<const StudioId> tools = toolbarCommands();
    for (std::size_t i = 0; i < tools.size(); ++i) {
        studio.toolButtons.push_back(
            createChild(L"button", wideText(commandRow(tools[i])->toolText), BS_PUSHBUTTON,
                        ToolButtonId + static_cast<int>(i)));
    }
    studio.editor = createEditor(studio.window);
    createDebugControls();
    studio.problems = createChild(
        L"listbox", L"", WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
        ProblemsId, WS_EX_CLIENTEDGE);
    SendMessageW(studio.problems, LB_SETHORIZONTALEXTENT, scaled(studio.scale, 3000), 0);
    studio.commandForm =
        createChild(L"combobox", L"", CBS_DROPDOWNLIST | WS_TABSTOP | WS_VSCROLL, CommandFormId);
    for (TextId label : PaneFormLabels) {
        SendMessageW(studio.commandForm, CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(wideText(label).c_str()));
    }
    studio.commandFind = createCommandFind(studio.window, studio.uiFont);
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
    if (control == studio.commandFind) {
        if (code == EN_CHANGE) {
            onCommandFindChange();
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
        id = toolbarCommands()[static_cast<std::size_t>(id - ToolButtonId)];
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
        if (GetFocus() == studio.commandList || GetFocus() == studio.commandFind) {
            insertSelectedCommand();
        } else {
            focusCommandFind();
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
        focusCommandFind();
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
    case CmdUserGuide:
        openGuide();
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
    case WM_DPICHANGED:
        if (takeDpiChange(window, studio.scale, wParam, lParam)) {
            makeStudioFonts();
            scaleEditorFont();
            layout();
            invalidateGutter();
        }
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
    if (handleCommandFindKey(message)) {
        return true;
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

StudioArguments readArguments() {
    int count = 0;
    wchar_t** values = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::u16string> arguments;
    for (int i = 1; values != nullptr && i < count; ++i) {
        arguments.push_back(toU16(values[i]));
    }
    LocalFree(values);
    return parseStudioArguments(arguments);
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

int scaled(int designPixels) {
    return scaled(studio.scale, designPixels);
}

void updateMenus() {
    HMENU menu = GetMenu(studio.window);
    for (const CommandRow& row : commandRows()) {
        const bool enabled = commandEnabled(row, studio.workspace);
        EnableMenuItem(menu, row.id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
        const bool checked = commandChecked(row, studio.workspace);
        if (row.radio && checked) {
            CheckMenuRadioItem(menu, row.id, row.id, row.id, MF_BYCOMMAND);
        } else if (row.checked != nullptr) {
            CheckMenuItem(menu, row.id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
        }
    }
    const std::span<const StudioId> tools = toolbarCommands();
    for (std::size_t i = 0; i < tools.size() && i < studio.toolButtons.size(); ++i) {
        EnableWindow(studio.toolButtons[i],
                     commandEnabled(*commandRow(tools[i]), studio.workspace));
    }
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
    if (update.menus || update.formatStatus) {
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
    const StudioArguments arguments = readArguments();
    studio.workspace.language =
        chooseUiLanguage(utf16ToUtf8(arguments.language), GetUserDefaultUILanguage());
    if (arguments.version) {
        printToConsole(std::string("studio ") + PROGRAM_VERSION + "\n");
        return 0;
    }
    if (!arguments.error.empty()) {
        MessageBoxW(nullptr,
                    fromGbk(formatUiText(text(TextId::StudioBadArgument),
                                         {toGbk(fromU16(arguments.error))}))
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
    const SIZE size = initialWindowSize(WS_OVERLAPPEDWINDOW);
    HWND window =
        CreateWindowExW(0, windowClass.lpszClassName, L"", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                        CW_USEDEFAULT, size.cx, size.cy, nullptr, createMenus(), instance, nullptr);
    if (window == nullptr) {
        return 1;
    }
    studio.accelerators = createAccelerators();
    rebuildRecentMenu();
    updateMenus();
    newScript();
    restorePlacement(show);
    // The script as a full path: the same file the studio's recovery copies
    // and recent files name, whatever folder the studio was started in.
    std::wstring script = fromU16(arguments.script);
    if (!script.empty()) {
        wchar_t full[MAX_PATH * 4] = {};
        const DWORD length = GetFullPathNameW(
            script.c_str(), static_cast<DWORD>(sizeof(full) / sizeof(full[0])), full, nullptr);
        if (length > 0 && length < sizeof(full) / sizeof(full[0])) {
            script = full;
        }
        openScript(script);
    }
    startRecovery(script);
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
