#pragma once
// The studio's Win32 front end: one window with the script in a rich edit
// control, the problems below it, the commands beside it and a status line.
// Everything it knows of scripts comes from the studio's core (the document,
// the check, the colours, the help), which uses the player's and the packer's
// own code.

#ifndef UNICODE
#define UNICODE
#endif
#include <windows.h>

#include "command_finder.h"
#include "runner/trace_protocol.h"
#include "studio_ids.h"
#include "text_codes.h"
#include "ui_scale.h"
#include "ui_text.h"
#include "workspace.h"

#include <cstdint>
#include <set>
#include <string>
#include <vector>

// Posted to the window when a run's player has ended; wParam the exit code.
constexpr UINT RunEndedMessage = WM_APP + 1;

// The Win32 side of a run: its process and the block that steers its player.
struct RunningScript {
    HANDLE process = nullptr;
    HANDLE waiter = nullptr;    // the thread that waits for the end
    std::wstring temporaryPath; // the packed player, removed at the end
    HANDLE mapping = nullptr;
    TraceControl* control = nullptr;
};

// The timers of the studio's window.
enum StudioTimer : UINT_PTR { RecoveryTimer = 1, TraceTimer = 2 };

struct Studio {
    HINSTANCE instance = nullptr;
    HWND window = nullptr;
    HWND editor = nullptr;
    HWND problems = nullptr;
    HWND commandFind = nullptr; // the find box over the command list
    HWND commandList = nullptr;
    HWND commandForm = nullptr;
    HWND commandText = nullptr;
    HWND completion = nullptr;
    HWND statusPlace = nullptr;
    HWND statusState = nullptr;
    HWND statusFormat = nullptr;
    std::vector<HWND> toolButtons;
    HFONT uiFont = nullptr;
    HFONT gutterFont = nullptr; // the line numbers: the editor's face and size
    UiScale scale;
    bool editorScalesItself = false; // the rich edit makes its font for the DPI
    HACCEL accelerators = nullptr;
    HMENU recentMenu = nullptr; // the File menu's recent files
    HWND findDialog = nullptr;
    UINT findMessage = 0;

    // What the studio knows; everything below is the editor control's
    // bookkeeping and the window's own resources.
    Workspace workspace;
    FILETIME savedWriteTime{};
    ULONGLONG savedSize = 0;
    bool askingAboutDisk = false;

    std::u16string mirror; // the editor's text as last seen
    // The lines the selection covered before the next change: where a change
    // the user makes can begin and end.
    int selectionFirstLine = 0;
    int selectionLastLine = 0;
    std::vector<bool> coloured;  // per line: colours applied since its last change
    bool applyingChange = false; // our own change of the editor: not a user's edit
    bool recordingUndo = true;
    std::vector<Problem> shownProblems;

    NameForm insertForm = NameForm::English;
    std::vector<FoundCommand> shownCommands; // the command list's rows
    std::vector<int> completionRows;
    std::vector<NameForm> completionForms;
    int completionStart = 0;

    RunningScript run;
    UINT traceMessage = 0;
    HWND gutter = nullptr;
    HWND runLog = nullptr;
    bool runLogShown = false;
    std::wstring recoveryPath;

    // Find and replace.
    FINDREPLACEW find{};
    wchar_t findWhat[256] = {};
    wchar_t replaceWith[256] = {};
};

extern Studio studio;

// A size of the window's design at 96 DPI in the window's pixels: every pixel
// size of the layout goes through here.
int scaled(int designPixels);
// The gutter's width at 96 DPI.
constexpr int GutterWidth = 52;

// Texts.
const char* text(TextId id);
std::wstring wideText(TextId id);
int showBox(const std::wstring& message, UINT flags);

// dialog.cpp: the one prompt of the studio, a field per labelled text.
struct DialogField {
    std::wstring label;
    std::wstring value; // shown at first; what the user left there afterwards
    bool digitsOnly = false;
};
// Modal over the studio's window; `width` in pixels at 96 DPI. True for OK.
bool askFields(const std::wstring& title, std::vector<DialogField>& fields, int width);

// editor.cpp: the editor and the document behind it.
HWND createEditor(HWND parent);
void setEditorText(const std::string& utf8Text); // a new document; history cleared
void onEditorChange();
// Reads the editor's whole text and brings the document up to date with it:
// before anything leaves the studio (a save, a run, the recovery copy).
void syncWithEditor();
void onSelectionChange();
void colourVisibleLines();
void applyChange(const TextChange& change); // undo, redo, replace, insert
void insertAtCursor(const std::wstring& text);
void undoEdit();
void redoEdit();
void refreshProblems();
// The lines an update of the workspace names get their colours again.
void markColoursStale(const WorkspaceUpdate& update);
void goToLine(int line); // 1-based
int cursorLine();        // 0-based
std::u16string editorText();
void showCompletion();
void acceptCompletion();
void hideCompletion();

// scale.cpp: the studio at its monitor's DPI.
constexpr int EditorPoints = 10; // the editor's font size
struct StudioMetrics {
    int gap = 4;
    int toolbarHeight = 30;
    int buttonHeight = 26;
    std::vector<int> buttonWidths; // per toolbar button, as its text needs
    int statusHeight = 22;
    int problemsHeight = 130;
    int commandPaneWidth = 300;
    int commandTextHeight = 110;
    int commandFormHeight = 24;
    int gutterWidth = 52;
};
// The message font for studio.scale, given to the controls, and the line
// numbers' font for the editor's line height; the old ones deleted.
void makeStudioFonts();
// Gives the editor its font for studio.scale, finding out first (while it is
// still empty) whether the control scales its points with the DPI itself.
void scaleEditorFont();
StudioMetrics studioMetrics();
// The window's first size: its design size at the system DPI, within the screen.
SIZE initialWindowSize(DWORD style);
// Where the editor's lines stand: the first visible line, its top in the
// editor's client area and the height of a line, asked of the editor once.
// The line numbers' font is made anew when the height is not its own.
struct VisibleLines {
    int first = 0;
    int top = 0;
    int height = 0;
};
VisibleLines visibleLines();
// The gutter's width: room for five digits of the line numbers beside the marks.
int gutterWidth();

// files.cpp: files, settings, recovery.
bool openScript(const std::wstring& path);
// The system's dialog to open a script or to save one, starting at `initial`;
// the chosen path, or empty when the user cancelled.
enum class ScriptDialog : std::uint8_t { Open, Save };
std::wstring chooseScriptFile(ScriptDialog purpose, const std::wstring& initial);
bool saveScript(bool askForName);
bool confirmDiscard(); // false: the user cancelled
void newScript();
void updateTitle();
void updateFormatStatus();
void loadSettings();
void saveSettings();
// Shows the window where it was last time, or as Windows says.
void restorePlacement(int show);
void rebuildRecentMenu();
void writeRecovery();
void removeRecovery();
void checkDiskChange();
std::wstring directoryOfProgram();

// run.cpp: Run and Make exe.
enum class RunKind { Whole, StepFromStart, Selection, FromCursor };
void startRun(RunKind kind);
void runScript();
void stopScript();
void onRunEnded(DWORD exitCode);
void makeExe();
// win32/exe_settings_dialog.cpp: Make exe's dialog of the exe's icon and
// version texts, prefilled with `settings`; on OK true with the values and the
// resources made of them (relative icon paths from `folder`, defaults named
// after `name`).
struct ExeSettings;
struct ExeResources;
bool askExeSettings(ExeSettings& settings, const std::string& folder, const std::string& name,
                    ExeResources& resources);
bool refuseWithErrors(TextId action); // true when the script has errors (told)
void setState(const std::wstring& state);
// Brings the window up to date with what an operation of the workspace says.
void applyUpdate(const WorkspaceUpdate& update);
// Menu checks and enabled states from the workspace.
void updateMenus();

// trace.cpp: the trace of a run, breakpoints, steps, the run log and the
// line numbers beside the editor.
void createDebugControls();
void onTraceMessage(WPARAM wParam, LPARAM lParam);
void onTraceTimer();
void toggleBreakpoint();
void stepScript(); // F10: one command; starts a run stopped before its first
void pauseScript();
bool continueScript(); // F5 while stopped: true when it went on
void invalidateGutter();
void toggleRunLog();
// The run's part of an update: log rows, the studio coming forward or stepping
// aside, the foreground given back, the orders to the player.
void applyTraceUpdate(const WorkspaceUpdate& update);
// Makes the trace block and the resource text for a run of `text` (UTF-8)
// whose player lines come from the editor lines `editorLines` (0-based, one per
// kept line). False with `error` set when the block cannot be made.
bool prepareTrace(const std::vector<int>& editorLines, bool stopAtFirst, std::string& resource,
                  std::string& error);
void endTrace();

// win32/command_pane.cpp: the find box, the command list and its help.
HWND createCommandFind(HWND parent, HFONT font);
void fillCommandList(); // the commands the find box finds, in the chosen form
void describeSelectedCommand();
void insertSelectedCommand();
void focusCommandFind();
void onCommandFindChange();
bool handleCommandFindKey(const MSG& message); // Up, Down, Enter, Esc in the find box

// win32/guide_opener.cpp: Help > User's guide in the studio's language.
void openGuide();

// find.cpp: find, replace, go to line.
void showFind(bool replace);
void findNext();
void onFindMessage(FINDREPLACEW* find);
void askGoToLine();

// picking.cpp, recording.cpp: pick from the screen, record into
// the script.
void initCapture(); // the picking hotkey, Ctrl+Shift+F11
void startPicking();
void endPicking();
bool isPicking();
void toggleRecording();
bool isRecording();
void askRecordOptions();
// Inserts whole lines (separated by '\r') on the cursor's line when it is
// empty, else on new lines after it, through insertAtCursor.
void insertLinesAfterCursor(const std::wstring& lines);

// studio_points.cpp: the script's points over the screen (Ctrl+Shift+P); the
// studio steps aside, a dragged mark rewrites its line.
void initPoints();
void togglePoints();
bool isShowingPoints();
// The editor line (0-based; -1 none) a traced run plays next: marked on the points.
void pointsRunAt(int line);
