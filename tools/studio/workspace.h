#pragma once
// What the studio knows, in one record: the script and its file, the undo
// history, the breakpoints, the run and its trace, the mode and the window to
// give the foreground back to when a stopped run goes on. Its operations change
// it and say what the window must bring up to date; the Win32 front end turns
// messages into these calls and applies what they return. Nothing here needs
// Windows: window handles are opaque numbers.

#include "runner/trace_protocol.h"
#include "studio_document.h"
#include "studio_edits.h"
#include "studio_file.h"
#include "ui_text.h"

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

constexpr std::size_t RecentCount = 8;

enum class StudioMode : std::uint8_t { Editing, Running, Stopped, Picking, Recording, Points };

// The run's trace as the traced player told it.
struct RunTrace {
    std::vector<int> editorLineOf; // per player line (from 1 at index 1): the editor line, 0-based
    int line = -1;                 // the editor line of the command playing or stopped before
    bool stopped = false;
    bool waiting = false; // the command on `line` has not come back yet
    std::int32_t pass = 0;
    std::uint64_t commandStartedAt = 0; // milliseconds, the front end's clock
    TraceEnd end = TraceEnd::PassesDone;
    bool ended = false;
};

struct Workspace {
    UiLanguage language = UiLanguage::English;
    // The script and its file: an empty path for a new one.
    StudioDocument document;
    UndoHistory history;
    std::u16string path;
    TextFormat format;
    bool modified = false;
    bool recoveryDirty = false; // the recovery copy is behind the document

    std::set<int> breakpoints; // editor lines, 0-based
    std::vector<std::u16string> recent;
    bool keepOpenWhileRunning = false;

    bool running = false;
    bool runMinimised = false; // the studio stepped aside for the run
    bool stoppedByUser = false;
    std::uint64_t runStartedAt = 0;
    RunTrace trace;
    bool picking = false;
    bool recording = false;
    bool pointsShown = false; // the points layer is over the screen

    std::uintptr_t ownWindow = 0; // the studio's window
    // The window that was in front when the run stopped; 0 when none.
    std::uintptr_t foreground = 0;
};

// What the steered player must be told.
enum class TraceOrder : std::uint8_t { None, Pause, Step, Continue };

// What the window must bring up to date after an operation.
struct WorkspaceUpdate {
    bool title = false;        // the title's file name and modified mark
    bool formatStatus = false; // encoding and line ends: status line and menu checks
    bool gutter = false;       // breakpoints or the playing line
    bool menus = false;        // the mode or an option changed: menu states
    bool recentMenu = false;
    bool saveSettings = false;
    bool problems = false; // the problems list may have changed
    // The lines to colour again: every line after a new text; else the lines
    // an edit replaced (`lines`, when linesReplaced) and `recolour`, the lines
    // that became or stopped being the first or last kept line.
    bool allLines = false;
    bool linesReplaced = false;
    LineChange lines;
    std::vector<int> recolour;
    bool hasState = false;
    std::string state;                // the status line's state text, GBK
    std::vector<std::string> logRows; // rows for the run log, GBK
    int showLine = -1;                // an editor line to scroll to and put the cursor on
    bool comeForward = false;         // the studio comes to the front (a run stopped or ended)
    bool stepAside = false;           // the studio goes out of the way (a run goes on)
    // The window to bring to the front before the player's next command; 0: none.
    std::uintptr_t giveForegroundTo = 0;
    TraceOrder order = TraceOrder::None;
    // A breakpoint that the running player must learn of (player line, from 1).
    std::int32_t breakpointPlayerLine = 0;
    bool breakpointOn = false;
};

StudioMode workspaceMode(const Workspace& workspace);

// The document.
// A new text in the editor (a new script, an opened file): history and
// breakpoints start afresh.
WorkspaceUpdate loadText(Workspace& workspace, std::string_view utf8Text, GbkConverter toGbk);
// A change the user (or a command of ours) made to the editor's text, which
// now reads `now` (lines separated by '\r', as the editor holds them).
WorkspaceUpdate applyEdit(Workspace& workspace, const TextChange& change, const std::u16string& now,
                          bool recordUndo);
WorkspaceUpdate setEncoding(Workspace& workspace, SourceEncoding encoding, bool byteOrderMark);
WorkspaceUpdate setLineEnds(Workspace& workspace, LineEndStyle style);
// The file's result: a new script, one opened or saved at `path` (`stateText`
// names it), work taken back from a recovery copy.
WorkspaceUpdate newFile(Workspace& workspace);
WorkspaceUpdate fileOpened(Workspace& workspace, const std::u16string& path,
                           const TextFormat& format);
WorkspaceUpdate fileSaved(Workspace& workspace, const std::u16string& path);
WorkspaceUpdate workRecovered(Workspace& workspace, const std::u16string& path,
                              const TextFormat& format);
// The file changed on disk and the user kept the studio's text.
WorkspaceUpdate keptOverDisk(Workspace& workspace);
// The file's name for the title and questions ("Untitled" when it has none).
std::u16string fileNameOf(const std::u16string& path);
// "*name - Studio": `untitled` and `studioName` in the front end's words.
std::u16string titleOf(const Workspace& workspace, const std::u16string& untitled,
                       const std::u16string& studioName);

// Recent files: the newest first, each once (names compared without regard
// to ASCII case, as Windows compares them), at most RecentCount.
WorkspaceUpdate rememberRecent(Workspace& workspace, const std::u16string& path);
WorkspaceUpdate toggleKeepOpen(Workspace& workspace);

// Breakpoints.
WorkspaceUpdate toggleBreakpoint(Workspace& workspace, int line);
// A change of the editor's text (which now reads `now`): breakpoints move with
// their lines. A change that leaves as many lines as before moves none; a
// line the change removed loses its breakpoint; a line that lines were put in
// front of (Enter at its start) takes its breakpoint along.
void moveBreakpoints(Workspace& workspace, const TextChange& change, const std::u16string& now);
// The player line of an editor line in the run; 0 when the run does not play it.
std::int32_t playerLineOf(const Workspace& workspace, int editorLine);

// The run. `editorLines` holds for each line the player keeps the editor line
// it came from; `now` is the front end's clock in milliseconds.
WorkspaceUpdate runStarted(Workspace& workspace, const std::vector<int>& editorLines,
                           std::uint64_t now);
// The studio stepped aside (minimised) for the run.
void runStepsAside(Workspace& workspace);
// What the traced player posted; `foreground` the window in front as it came.
WorkspaceUpdate traceEvent(Workspace& workspace, const TraceMessage& message, std::uint64_t now,
                           std::uintptr_t foreground);
WorkspaceUpdate traceTick(const Workspace& workspace, std::uint64_t now);
// Continue, Step and Pause: `order` None when the run is not where they apply.
WorkspaceUpdate continueRun(Workspace& workspace);
WorkspaceUpdate stepRun(Workspace& workspace);
WorkspaceUpdate pauseRun(const Workspace& workspace);
// The window to give the foreground back to is gone: said on the status line.
WorkspaceUpdate foregroundGone(Workspace& workspace);
WorkspaceUpdate stopRequested(Workspace& workspace);
WorkspaceUpdate runEnded(Workspace& workspace, std::uint32_t exitCode, std::uint64_t now);
// The reason the traced player gave for its end; empty when it gave none.
std::string endReasonText(const Workspace& workspace);

// Picking and recording.
WorkspaceUpdate setPicking(Workspace& workspace, bool on);
WorkspaceUpdate setRecording(Workspace& workspace, bool on);
// The script's points shown over the screen (a run may play meanwhile).
WorkspaceUpdate setPointsShown(Workspace& workspace, bool on);
