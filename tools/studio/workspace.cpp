// The studio's workspace: every rule of what changes with an edit, a file, a
// breakpoint and a run's trace, and what the window must show for it.

#include "workspace.h"

#include "text_codes.h"

#include <algorithm>
#include <cstdio>

namespace {

std::string number(int value) {
    return std::to_string(value);
}

std::string seconds(std::uint64_t milliseconds) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%llu.%llu",
                  static_cast<unsigned long long>(milliseconds / 1000),
                  static_cast<unsigned long long>(milliseconds % 1000 / 100));
    return buffer;
}

const char* text(const Workspace& workspace, TextId id) {
    return uiText(id, workspace.language);
}

void say(WorkspaceUpdate& update, std::string state) {
    update.hasState = true;
    update.state = std::move(state);
}

// The editor line's text in GBK, as the status line and the log quote it; a
// character GBK lacks shows as '?'.
std::string lineText(const Workspace& workspace, int line) {
    const StudioDocument& document = workspace.document;
    if (line < 0 || line >= static_cast<int>(document.lines.size()) || document.toGbk == nullptr) {
        return "";
    }
    const std::string& utf8 = document.lines[static_cast<std::size_t>(line)].text;
    std::string gbk;
    std::size_t i = 0;
    while (i < utf8.size()) {
        std::size_t length = 1;
        while (i + length < utf8.size() &&
               (static_cast<unsigned char>(utf8[i + length]) & 0xC0) == 0x80) {
            ++length;
        }
        if (!document.toGbk(std::string_view(utf8).substr(i, length), gbk)) {
            gbk.push_back('?');
        }
        i += length;
    }
    return gbk;
}

int editorLineOf(const Workspace& workspace, std::int32_t playerLine) {
    const std::vector<int>& lines = workspace.trace.editorLineOf;
    if (playerLine < 1 || static_cast<std::size_t>(playerLine) >= lines.size()) {
        return -1;
    }
    return lines[static_cast<std::size_t>(playerLine)];
}

void markModified(Workspace& workspace, WorkspaceUpdate& update) {
    if (!workspace.modified) {
        workspace.modified = true;
        update.title = true;
    }
    workspace.recoveryDirty = true;
}

void holdFile(Workspace& workspace, WorkspaceUpdate& update, const std::u16string& path) {
    workspace.path = path;
    workspace.modified = false;
    workspace.recoveryDirty = false;
    update.title = true;
    update.formatStatus = true;
    const WorkspaceUpdate recent = rememberRecent(workspace, path);
    update.recentMenu = recent.recentMenu;
    update.saveSettings = recent.saveSettings;
}

char16_t lowerAscii(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool samePath(const std::u16string& a, const std::u16string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](char16_t x, char16_t y) { return lowerAscii(x) == lowerAscii(y); });
}

std::string sinceStart(const Workspace& workspace, std::uint64_t now) {
    return seconds(now - workspace.runStartedAt);
}

} // namespace

StudioMode workspaceMode(const Workspace& workspace) {
    if (workspace.running) {
        return workspace.trace.stopped ? StudioMode::Stopped : StudioMode::Running;
    }
    if (workspace.picking) {
        return StudioMode::Picking;
    }
    if (workspace.recording) {
        return StudioMode::Recording;
    }
    if (workspace.pointsShown) {
        return StudioMode::Points;
    }
    return StudioMode::Editing;
}

WorkspaceUpdate loadText(Workspace& workspace, std::string_view utf8Text, GbkConverter toGbk) {
    WorkspaceUpdate update;
    workspace.document.language = workspace.language;
    workspace.document.toGbk = toGbk;
    setDocumentText(workspace.document, utf8Text);
    workspace.history = UndoHistory{};
    workspace.breakpoints.clear();
    update.allLines = true;
    update.problems = true;
    update.gutter = true;
    return update;
}

WorkspaceUpdate applyEdit(Workspace& workspace, const TextChange& change, const std::u16string& now,
                          bool recordUndo) {
    WorkspaceUpdate update;
    if (isEmptyChange(change)) {
        return update;
    }
    if (recordUndo) {
        recordChange(workspace.history, change);
    }
    const LineChange lines = linesOfChange(now, change);
    std::vector<std::string> inserted;
    for (const std::u16string& line : linesOf(now, lines.firstLine, lines.insertedLines)) {
        inserted.push_back(utf16ToUtf8(line));
    }
    const int keptBefore[2] = {workspace.document.firstKept, workspace.document.lastKept};
    replaceLines(workspace.document, lines.firstLine, lines.removedLines, inserted);
    moveBreakpoints(workspace, change, now);
    update.gutter = true;
    update.linesReplaced = true;
    update.lines = lines;
    // The first and last lines carry warnings of their own place in the script.
    const int count = static_cast<int>(workspace.document.lines.size());
    for (int line : {keptBefore[0], keptBefore[1], workspace.document.firstKept,
                     workspace.document.lastKept}) {
        if (line >= 0 && line < count &&
            std::find(update.recolour.begin(), update.recolour.end(), line) ==
                update.recolour.end()) {
            update.recolour.push_back(line);
        }
    }
    update.problems = true;
    markModified(workspace, update);
    return update;
}

WorkspaceUpdate setEncoding(Workspace& workspace, SourceEncoding encoding, bool byteOrderMark) {
    WorkspaceUpdate update;
    update.formatStatus = true;
    if (workspace.format.encoding != encoding || workspace.format.byteOrderMark != byteOrderMark) {
        workspace.format.encoding = encoding;
        workspace.format.byteOrderMark = byteOrderMark;
        markModified(workspace, update);
        update.title = true;
    }
    return update;
}

WorkspaceUpdate setLineEnds(Workspace& workspace, LineEndStyle style) {
    WorkspaceUpdate update;
    update.formatStatus = true;
    if (workspace.format.lineEnds != style || workspace.format.mixedLineEnds) {
        workspace.format.lineEnds = style;
        workspace.format.mixedLineEnds = false;
        markModified(workspace, update);
        update.title = true;
    }
    return update;
}

WorkspaceUpdate newFile(Workspace& workspace) {
    WorkspaceUpdate update;
    workspace.path.clear();
    workspace.format = TextFormat{};
    workspace.modified = false;
    workspace.recoveryDirty = false;
    update.title = true;
    update.formatStatus = true;
    return update;
}

WorkspaceUpdate fileOpened(Workspace& workspace, const std::u16string& path,
                           const TextFormat& format) {
    WorkspaceUpdate update;
    workspace.format = format;
    holdFile(workspace, update, path);
    return update;
}

WorkspaceUpdate fileSaved(Workspace& workspace, const std::u16string& path) {
    WorkspaceUpdate update;
    workspace.format.mixedLineEnds = false;
    holdFile(workspace, update, path);
    return update;
}

WorkspaceUpdate workRecovered(Workspace& workspace, const std::u16string& path,
                              const TextFormat& format) {
    WorkspaceUpdate update;
    workspace.path = path;
    workspace.format = format;
    workspace.modified = true;
    workspace.recoveryDirty = true;
    update.title = true;
    update.formatStatus = true;
    return update;
}

WorkspaceUpdate keptOverDisk(Workspace& workspace) {
    WorkspaceUpdate update;
    markModified(workspace, update);
    update.title = true;
    return update;
}

std::u16string fileNameOf(const std::u16string& path) {
    const std::size_t slash = path.find_last_of(u"\\/");
    return slash == std::u16string::npos ? path : path.substr(slash + 1);
}

std::u16string titleOf(const Workspace& workspace, const std::u16string& untitled,
                       const std::u16string& studioName) {
    return (workspace.modified ? u"*" : u"") +
           (workspace.path.empty() ? untitled : fileNameOf(workspace.path)) + u" - " + studioName;
}

WorkspaceUpdate rememberRecent(Workspace& workspace, const std::u16string& path) {
    WorkspaceUpdate update;
    std::vector<std::u16string>& recent = workspace.recent;
    recent.erase(std::remove_if(recent.begin(), recent.end(),
                                [&](const std::u16string& other) { return samePath(other, path); }),
                 recent.end());
    recent.insert(recent.begin(), path);
    if (recent.size() > RecentCount) {
        recent.resize(RecentCount);
    }
    update.recentMenu = true;
    update.saveSettings = true;
    return update;
}

WorkspaceUpdate toggleKeepOpen(Workspace& workspace) {
    WorkspaceUpdate update;
    workspace.keepOpenWhileRunning = !workspace.keepOpenWhileRunning;
    update.menus = true;
    update.saveSettings = true;
    return update;
}

WorkspaceUpdate toggleBreakpoint(Workspace& workspace, int line) {
    WorkspaceUpdate update;
    const bool on = workspace.breakpoints.count(line) == 0;
    if (on) {
        workspace.breakpoints.insert(line);
    } else {
        workspace.breakpoints.erase(line);
    }
    // A run that plays already takes it from its next command on.
    if (workspace.running) {
        update.breakpointPlayerLine = playerLineOf(workspace, line);
        update.breakpointOn = on;
    }
    update.gutter = true;
    say(update, formatUiText(text(workspace, on ? TextId::StudioBreakpointSet
                                                : TextId::StudioBreakpointCleared),
                             {number(line + 1)}));
    return update;
}

void moveBreakpoints(Workspace& workspace, const TextChange& change, const std::u16string& now) {
    if (workspace.breakpoints.empty() || isEmptyChange(change)) {
        return;
    }
    const auto breaks = [](const std::u16string& text) {
        return static_cast<int>(std::count(text.begin(), text.end(), u'\r'));
    };
    const std::size_t at = std::min(change.at, now.size());
    const int first = static_cast<int>(
        std::count(now.begin(), now.begin() + static_cast<std::ptrdiff_t>(at), u'\r'));
    const bool atLineStart = at == 0 || now[at - 1] == u'\r';
    const int removed = breaks(change.removed);
    const int inserted = breaks(change.inserted);
    // As many lines as before (typing in a line, Replace all over lines):
    // every mark stays on its line.
    if (removed == inserted) {
        return;
    }
    // A line whose start the change took away goes with its breakpoint.
    const bool removedToLineEnd = !change.removed.empty() && change.removed.back() == u'\r';
    std::set<int> moved;
    for (int line : workspace.breakpoints) {
        if (line < first) {
            moved.insert(line);
        } else if (line == first && removed == 0) {
            // Text put in front of the line's start moves the line down.
            moved.insert(atLineStart ? first + inserted : first);
        } else if (line == first) {
            if (!atLineStart) {
                moved.insert(first);
            }
        } else if (line == first + removed) {
            if (removedToLineEnd) {
                moved.insert(first + inserted);
            }
        } else if (line > first + removed) {
            moved.insert(line - removed + inserted);
        }
    }
    workspace.breakpoints = std::move(moved);
}

std::int32_t playerLineOf(const Workspace& workspace, int editorLine) {
    const std::vector<int>& lines = workspace.trace.editorLineOf;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        if (lines[i] == editorLine) {
            return static_cast<std::int32_t>(i);
        }
    }
    return 0;
}

WorkspaceUpdate runStarted(Workspace& workspace, const std::vector<int>& editorLines,
                           std::uint64_t now) {
    WorkspaceUpdate update;
    workspace.running = true;
    workspace.runMinimised = false;
    workspace.stoppedByUser = false;
    workspace.runStartedAt = now;
    workspace.foreground = 0;
    workspace.trace = RunTrace{};
    workspace.trace.editorLineOf.assign(1, -1);
    workspace.trace.editorLineOf.insert(workspace.trace.editorLineOf.end(), editorLines.begin(),
                                        editorLines.end());
    update.menus = true;
    update.gutter = true;
    say(update, text(workspace, TextId::StudioStateRunning));
    return update;
}

void runStepsAside(Workspace& workspace) {
    workspace.runMinimised = true;
}

WorkspaceUpdate traceEvent(Workspace& workspace, const TraceMessage& message, std::uint64_t now,
                           std::uintptr_t foreground) {
    WorkspaceUpdate update;
    if (!workspace.running) {
        return update;
    }
    RunTrace& trace = workspace.trace;
    const int line = editorLineOf(workspace, message.line);
    switch (message.event) {
    case TraceEvent::CommandStarted:
        trace.line = line;
        trace.pass = static_cast<std::int32_t>(message.value);
        trace.commandStartedAt = now;
        trace.waiting = true;
        trace.stopped = false;
        update.logRows.push_back(formatUiText(
            text(workspace, TextId::StudioLogCommand),
            {sinceStart(workspace, now), number(line + 1), lineText(workspace, line)}));
        break;
    case TraceEvent::CommandDone: {
        trace.waiting = false;
        const std::uint64_t took = now - trace.commandStartedAt;
        // A command that took a while (a wait, a delay) gets its time logged.
        if (took >= 100) {
            update.logRows.push_back(
                formatUiText(text(workspace, TextId::StudioLogDone),
                             {sinceStart(workspace, now), number(line + 1), seconds(took)}));
        }
        break;
    }
    case TraceEvent::Stopped:
        trace.line = line;
        trace.stopped = true;
        trace.waiting = false;
        // The window the script was working in, to be given back when the run
        // goes on. The studio's own window is nothing to give back: a stop
        // with the studio in front keeps the window noted before.
        if (foreground != 0 && foreground != workspace.ownWindow) {
            workspace.foreground = foreground;
        }
        update.comeForward = workspace.runMinimised;
        update.showLine = line;
        update.menus = true;
        say(update, formatUiText(text(workspace, TextId::StudioStateStoppedBefore),
                                 {number(line + 1), lineText(workspace, line)}));
        update.logRows.push_back(formatUiText(
            text(workspace, TextId::StudioLogStopped),
            {sinceStart(workspace, now), number(line + 1), lineText(workspace, line)}));
        break;
    case TraceEvent::Resumed:
        trace.stopped = false;
        update.menus = true;
        break;
    case TraceEvent::Ended:
        trace.ended = true;
        trace.end = static_cast<TraceEnd>(message.value);
        if (trace.end == TraceEnd::SyntaxError) {
            trace.line = line;
        }
        update.logRows.push_back(endReasonText(workspace));
        break;
    }
    update.gutter = true;
    return update;
}

WorkspaceUpdate traceTick(const Workspace& workspace, std::uint64_t now) {
    WorkspaceUpdate update;
    const RunTrace& trace = workspace.trace;
    if (!workspace.running || trace.stopped || !trace.waiting || trace.line < 0) {
        return update;
    }
    std::string state = formatUiText(text(workspace, TextId::StudioStatePlaying),
                                     {number(trace.line + 1), lineText(workspace, trace.line),
                                      seconds(now - trace.commandStartedAt)});
    if (trace.pass > 1) {
        state += formatUiText(text(workspace, TextId::StudioStatePass), {number(trace.pass)});
    }
    say(update, std::move(state));
    return update;
}

namespace {

// The run goes on from a stop: the studio steps aside and the window that was
// in front when it stopped comes back before the player's next command.
WorkspaceUpdate goOn(Workspace& workspace, TraceOrder order) {
    WorkspaceUpdate update;
    if (!workspace.running || !workspace.trace.stopped) {
        return update;
    }
    update.order = order;
    update.stepAside = workspace.runMinimised;
    update.giveForegroundTo = workspace.foreground;
    update.menus = true;
    workspace.trace.stopped = false;
    return update;
}

} // namespace

WorkspaceUpdate continueRun(Workspace& workspace) {
    WorkspaceUpdate update = goOn(workspace, TraceOrder::Continue);
    if (update.order != TraceOrder::None) {
        say(update, text(workspace, TextId::StudioStateRunning));
    }
    return update;
}

WorkspaceUpdate stepRun(Workspace& workspace) {
    return goOn(workspace, TraceOrder::Step);
}

WorkspaceUpdate pauseRun(const Workspace& workspace) {
    WorkspaceUpdate update;
    if (workspace.running && !workspace.trace.stopped) {
        update.order = TraceOrder::Pause;
    }
    return update;
}

WorkspaceUpdate foregroundGone(Workspace& workspace) {
    WorkspaceUpdate update;
    workspace.foreground = 0;
    say(update, text(workspace, TextId::StudioForegroundGone));
    return update;
}

WorkspaceUpdate stopRequested(Workspace& workspace) {
    WorkspaceUpdate update;
    if (workspace.running) {
        workspace.stoppedByUser = true;
    }
    return update;
}

WorkspaceUpdate runEnded(Workspace& workspace, std::uint32_t exitCode, std::uint64_t now) {
    WorkspaceUpdate update;
    if (!workspace.running) {
        return update;
    }
    const std::string ran = seconds(now - workspace.runStartedAt);
    const std::string reason = endReasonText(workspace);
    update.comeForward = workspace.runMinimised;
    update.menus = true;
    update.gutter = true;
    if (!workspace.stoppedByUser && !reason.empty()) {
        say(update, formatUiText(text(workspace, TextId::StudioStateEndedWhy),
                                 {reason, std::to_string(exitCode), ran}));
    } else {
        say(update,
            formatUiText(text(workspace, workspace.stoppedByUser ? TextId::StudioStateStopped
                                                                 : TextId::StudioStateEnded),
                         {std::to_string(exitCode), ran}));
    }
    workspace.running = false;
    workspace.runMinimised = false;
    workspace.stoppedByUser = false;
    workspace.foreground = 0;
    workspace.trace = RunTrace{};
    return update;
}

std::string endReasonText(const Workspace& workspace) {
    const RunTrace& trace = workspace.trace;
    if (!trace.ended) {
        return "";
    }
    TextId id = TextId::StudioEndPassesDone;
    switch (trace.end) {
    case TraceEnd::PassesDone:
        id = TextId::StudioEndPassesDone;
        break;
    case TraceEnd::BreakKey:
        id = TextId::StudioEndBreakKey;
        break;
    case TraceEnd::WaitEnded:
        id = TextId::StudioEndWait;
        break;
    case TraceEnd::StartCancelled:
        id = TextId::StudioEndStartCancelled;
        break;
    case TraceEnd::StartColourMismatch:
        id = TextId::StudioEndStartColour;
        break;
    case TraceEnd::SyntaxError:
        id = TextId::StudioEndSyntaxError;
        break;
    }
    return formatUiText(text(workspace, id), {number(trace.line + 1)});
}

WorkspaceUpdate setPicking(Workspace& workspace, bool on) {
    WorkspaceUpdate update;
    workspace.picking = on;
    update.menus = true;
    return update;
}

WorkspaceUpdate setRecording(Workspace& workspace, bool on) {
    WorkspaceUpdate update;
    workspace.recording = on;
    update.menus = true;
    return update;
}

WorkspaceUpdate setPointsShown(Workspace& workspace, bool on) {
    WorkspaceUpdate update;
    workspace.pointsShown = on;
    update.menus = true;
    return update;
}
