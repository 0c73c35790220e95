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

#include "runner/trace_protocol.h"
#include "studio_ids.h"
#include "text_codes.h"
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
    HWND commandList = nullptr;
    HWND commandForm = nullptr;
    HWND commandText = nullptr;
    HWND completion = nullptr;
    HWND statusPlace = nullptr;
    HWND statusState = nullptr;
    HWND statusFormat = nullptr;
    std::vector<HWND> toolButtons;
    HFONT font = nullptr;
    HFONT uiFont = nullptr;
    HACCEL accelerators = nullptr;
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

// Texts.
const char* text(TextId id);
std::wstring wideText(TextId id);
int showBox(const std::wstring& message, UINT flags);

// studio_editor.cpp: the editor and the document behind it.
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

// studio_files.cpp: files, settings, recovery.
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
void offerRecovery();
void checkDiskChange();
std::wstring directoryOfProgram();

// studio_run.cpp: Run and Make exe.
enum class RunKind { Whole, StepFromStart, Selection, FromCursor };
void startRun(RunKind kind);
void runScript();
void stopScript();
void onRunEnded(DWORD exitCode);
void makeExe();
bool refuseWithErrors(TextId action); // true when the script has errors (told)
void setState(const std::wstring& state);
// Brings the window up to date with what an operation of the workspace says.
void applyUpdate(const WorkspaceUpdate& update);
// Menu checks and enabled states from the workspace.
void updateMenus();

// studio_debug.cpp: the trace of a run, breakpoints, steps, the run log and the
// line numbers beside the editor.
void createDebugControls();
int gutterWidth();
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

// studio_find.cpp: find, replace, go to line.
void showFind(bool replace);
void findNext();
void onFindMessage(FINDREPLACEW* find);
void askGoToLine();

// studio_picking.cpp, studio_recording.cpp: pick from the screen, record into
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
