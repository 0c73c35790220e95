// The studio's workspace driven as a user drives the window: typing, marking
// lines, saving, a traced run that stops, steps and goes on, and what each
// step tells the window to bring up to date.

#include "command_line.h"
#include "commands.h"
#include "find_text.h"
#include "problem_rows.h"
#include "studio_test_support.h"
#include "text_codes.h"
#include "workspace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <span>
#include <utility>

#include <string>
#include <vector>

namespace {

// The user's change of the editor's text from `before` to `after` (lines
// separated by '\r', as the editor holds them).
WorkspaceUpdate edit(Workspace& workspace, std::u16string& text, const std::u16string& after) {
    const WorkspaceUpdate update = applyEdit(workspace, findChange(text, after), after, true);
    text = after;
    return update;
}

std::string english(TextId id, std::initializer_list<std::string_view> values = {}) {
    return formatUiText(uiText(id, UiLanguage::English), values);
}

TraceMessage message(TraceEvent event, std::int32_t line, std::uint32_t value = 0) {
    return TraceMessage{event, line, value};
}

TEST(StudioWorkspace, EditsMarkTheFileAndMoveBreakpointsWithTheirLines) {
    Workspace workspace;
    std::u16string text = u"Start\rDelay 100\rLClick\rEnd";
    WorkspaceUpdate update =
        loadText(workspace, "Start\nDelay 100\nLClick\nEnd", studio_test::utf8CharacterToGbk);
    EXPECT_TRUE(update.allLines);
    EXPECT_TRUE(update.problems);
    update = fileOpened(workspace, u"C:\\Scripts\\clicks.txt", TextFormat{});
    EXPECT_FALSE(workspace.modified);
    EXPECT_EQ(titleOf(workspace, u"Untitled", u"Studio"), u"clicks.txt - Studio");
    EXPECT_TRUE(update.recentMenu);
    EXPECT_EQ(workspace.recent, std::vector<std::u16string>{u"C:\\Scripts\\clicks.txt"});

    // Breakpoints on LClick (line 2) and End (line 3).
    update = toggleBreakpoint(workspace, 2);
    EXPECT_EQ(update.state, english(TextId::StudioBreakpointSet, {"3"}));
    toggleBreakpoint(workspace, 3);

    // Two lines typed above them: the first keystroke marks the file modified
    // (the title changes once), the breakpoints move down with their lines.
    update = edit(workspace, text, u"Start\rDelay 100\rM\rLClick\rEnd");
    EXPECT_TRUE(update.title);
    EXPECT_TRUE(workspace.modified);
    EXPECT_TRUE(workspace.recoveryDirty);
    EXPECT_EQ(titleOf(workspace, u"Untitled", u"Studio"), u"*clicks.txt - Studio");
    EXPECT_EQ(workspace.breakpoints, (std::set<int>{3, 4}));
    update = edit(workspace, text, u"Start\rDelay 100\rMoveTo 10 10\rMoveTo 20 20\rLClick\rEnd");
    EXPECT_FALSE(update.title);
    EXPECT_TRUE(update.linesReplaced);
    EXPECT_EQ(update.lines.firstLine, 2);
    EXPECT_EQ(update.lines.removedLines, 1);
    EXPECT_EQ(update.lines.insertedLines, 2);
    EXPECT_EQ(workspace.breakpoints, (std::set<int>{4, 5}));
    EXPECT_EQ(workspace.document.lines[4].text, "LClick");

    // Typing inside the breakpoint's line keeps it; removing the line takes it away.
    edit(workspace, text, u"Start\rDelay 100\rMoveTo 10 10\rMoveTo 20 20\rLClick \rEnd");
    EXPECT_EQ(workspace.breakpoints, (std::set<int>{4, 5}));
    edit(workspace, text, u"Start\rDelay 100\rMoveTo 10 10\rMoveTo 20 20\rEnd");
    EXPECT_EQ(workspace.breakpoints, (std::set<int>{4}));
    EXPECT_EQ(workspace.document.lines[4].text, "End");

    // The undo history holds the user's changes.
    EXPECT_FALSE(workspace.history.undo.empty());

    // Saving under another name: saved, newest first in the recent files.
    update = fileSaved(workspace, u"C:\\Scripts\\moves.txt");
    EXPECT_FALSE(workspace.modified);
    EXPECT_FALSE(workspace.recoveryDirty);
    EXPECT_TRUE(update.title);
    EXPECT_EQ(workspace.recent,
              (std::vector<std::u16string>{u"C:\\Scripts\\moves.txt", u"C:\\Scripts\\clicks.txt"}));

    // An encoding chosen is a change to save; choosing it again is none.
    update = setEncoding(workspace, SourceEncoding::Gbk, false);
    EXPECT_TRUE(update.formatStatus);
    EXPECT_TRUE(workspace.modified);
    fileSaved(workspace, u"C:\\Scripts\\moves.txt");
    setEncoding(workspace, SourceEncoding::Gbk, false);
    EXPECT_FALSE(workspace.modified);

    // A new text starts without breakpoints or history.
    loadText(workspace, "", studio_test::utf8CharacterToGbk);
    newFile(workspace);
    EXPECT_TRUE(workspace.breakpoints.empty());
    EXPECT_TRUE(workspace.history.undo.empty());
    EXPECT_EQ(titleOf(workspace, u"Untitled", u"Studio"), u"Untitled - Studio");
}

TEST(StudioWorkspace, RecentFilesKeepEachFileOnceNewestFirst) {
    Workspace workspace;
    for (int i = 0; i < 10; ++i) {
        rememberRecent(workspace, u"C:\\s" + utf8ToUtf16(std::to_string(i)) + u".txt");
    }
    ASSERT_EQ(workspace.recent.size(), RecentCount);
    EXPECT_EQ(workspace.recent.front(), u"C:\\s9.txt");
    EXPECT_EQ(workspace.recent.back(), u"C:\\s2.txt");
    // The same file in other letters' case is the same file on Windows.
    rememberRecent(workspace, u"c:\\S5.TXT");
    ASSERT_EQ(workspace.recent.size(), RecentCount);
    EXPECT_EQ(workspace.recent.front(), u"c:\\S5.TXT");
    EXPECT_EQ(std::count(workspace.recent.begin(), workspace.recent.end(), u"C:\\s5.txt"), 0);
}

// A run that stops at a breakpoint, steps once, goes on and ends: the trace's
// states, the window the studio gives the foreground back to, the player's orders.
TEST(StudioWorkspace, ATracedRunGivesTheForegroundBackWhereverItGoesOn) {
    constexpr std::uintptr_t Studio = 0x100;
    constexpr std::uintptr_t Notepad = 0x200;
    Workspace workspace;
    workspace.ownWindow = Studio;
    loadText(workspace, "Start\n\nActivate Notepad\nClick OK\nClick Cancel\nEnd",
             studio_test::utf8CharacterToGbk);
    toggleBreakpoint(workspace, 3);
    EXPECT_EQ(workspaceMode(workspace), StudioMode::Editing);

    // Player lines 1 to 5 come from editor lines 0, 2, 3, 4, 5.
    WorkspaceUpdate update = runStarted(workspace, {0, 2, 3, 4, 5}, 1000);
    runStepsAside(workspace);
    EXPECT_EQ(workspaceMode(workspace), StudioMode::Running);
    EXPECT_EQ(update.state, english(TextId::StudioStateRunning));
    EXPECT_EQ(playerLineOf(workspace, 3), 3);
    EXPECT_EQ(playerLineOf(workspace, 1), 0);

    // Continue and Step apply only to a stopped run.
    EXPECT_EQ(continueRun(workspace).order, TraceOrder::None);
    EXPECT_EQ(stepRun(workspace).order, TraceOrder::None);
    EXPECT_EQ(pauseRun(workspace).order, TraceOrder::Pause);

    update = traceEvent(workspace, message(TraceEvent::CommandStarted, 2, 1), 1200, Studio);
    EXPECT_TRUE(workspace.trace.waiting);
    EXPECT_EQ(workspace.trace.line, 2);
    ASSERT_EQ(update.logRows.size(), 1u);
    // A command that takes a while shows on the status line as it plays.
    update = traceTick(workspace, 3700);
    EXPECT_EQ(update.state, english(TextId::StudioStatePlaying, {"3", "Activate Notepad", "2.5"}));
    traceEvent(workspace, message(TraceEvent::CommandDone, 2), 3700, Notepad);

    // Stopped before Click OK with Notepad in front: the studio comes forward.
    update = traceEvent(workspace, message(TraceEvent::Stopped, 3), 3800, Notepad);
    EXPECT_EQ(workspaceMode(workspace), StudioMode::Stopped);
    EXPECT_TRUE(update.comeForward);
    EXPECT_EQ(update.showLine, 3);
    EXPECT_EQ(update.state, english(TextId::StudioStateStoppedBefore, {"4", "Click OK"}));
    EXPECT_FALSE(traceTick(workspace, 5000).hasState);

    // A breakpoint set while stopped reaches the player by its line.
    update = toggleBreakpoint(workspace, 5);
    EXPECT_EQ(update.breakpointPlayerLine, 5);
    EXPECT_TRUE(update.breakpointOn);

    // Step: the studio steps aside and Notepad comes back before the command.
    update = stepRun(workspace);
    EXPECT_EQ(update.order, TraceOrder::Step);
    EXPECT_TRUE(update.stepAside);
    EXPECT_EQ(update.giveForegroundTo, Notepad);
    EXPECT_EQ(workspaceMode(workspace), StudioMode::Running);
    EXPECT_EQ(stepRun(workspace).order, TraceOrder::None) << "one step per stop";

    // The step's end: the user had brought the studio forward by then; the
    // window to give back stays Notepad.
    traceEvent(workspace, message(TraceEvent::CommandStarted, 3, 1), 4000, Notepad);
    traceEvent(workspace, message(TraceEvent::CommandDone, 3), 4010, Notepad);
    traceEvent(workspace, message(TraceEvent::Stopped, 4), 4020, Studio);
    update = continueRun(workspace);
    EXPECT_EQ(update.order, TraceOrder::Continue);
    EXPECT_EQ(update.giveForegroundTo, Notepad);
    EXPECT_EQ(update.state, english(TextId::StudioStateRunning));

    // Notepad is gone by the next stop's Continue: the status line says so.
    traceEvent(workspace, message(TraceEvent::Stopped, 5), 4500, Notepad);
    update = continueRun(workspace);
    EXPECT_EQ(update.giveForegroundTo, Notepad);
    update = foregroundGone(workspace);
    EXPECT_EQ(update.state, english(TextId::StudioForegroundGone));
    EXPECT_EQ(workspace.foreground, 0u);

    // The end: why, then the studio comes back, editing again.
    update = traceEvent(workspace, message(TraceEvent::Ended, 5, 1), 4600, Notepad);
    ASSERT_EQ(update.logRows.size(), 1u);
    EXPECT_EQ(update.logRows[0], english(TextId::StudioEndPassesDone, {"6"}));
    update = runEnded(workspace, 0, 5000);
    EXPECT_TRUE(update.comeForward);
    EXPECT_EQ(update.state, english(TextId::StudioStateEndedWhy,
                                    {english(TextId::StudioEndPassesDone, {"6"}), "0", "4.0"}));
    EXPECT_EQ(workspaceMode(workspace), StudioMode::Editing);
    EXPECT_EQ(workspace.trace.line, -1);
    // A message that comes after the end changes nothing.
    traceEvent(workspace, message(TraceEvent::Stopped, 2), 5100, Notepad);
    EXPECT_EQ(workspaceMode(workspace), StudioMode::Editing);
}

TEST(StudioWorkspace, ARunStoppedByTheUserSaysSoAndAKeptOpenStudioStaysPut) {
    Workspace workspace;
    loadText(workspace, "Delay 5000", studio_test::utf8CharacterToGbk);
    EXPECT_TRUE(toggleKeepOpen(workspace).saveSettings);
    runStarted(workspace, {0}, 0);
    // Not stepped aside: a stop does not bring the studio forward.
    EXPECT_FALSE(traceEvent(workspace, message(TraceEvent::Stopped, 1), 10, 0x300).comeForward);
    EXPECT_FALSE(continueRun(workspace).stepAside);
    stopRequested(workspace);
    const WorkspaceUpdate update = runEnded(workspace, 1, 1500);
    EXPECT_FALSE(update.comeForward);
    EXPECT_EQ(update.state, english(TextId::StudioStateStopped, {"1", "1.5"}));
    EXPECT_FALSE(workspace.running);
}

TEST(StudioTextCodes, Utf8AndUtf16RoundTripAndBadInputBecomesReplacement) {
    const std::string utf8 = "Click \xe7\xa1\xae\xe5\xae\x9a \xf0\x9f\x98\x80!";
    const std::u16string utf16 = utf8ToUtf16(utf8);
    EXPECT_EQ(utf16, u"Click 确定 \U0001F600!");
    EXPECT_EQ(utf16ToUtf8(utf16), utf8);
    // A lone surrogate, a cut sequence, an overlong form and a stray
    // continuation byte each give one U+FFFD.
    EXPECT_EQ(utf16ToUtf8(std::u16string(u"a") + char16_t(0xD800) + u"b"), "a\xef\xbf\xbd"
                                                                           "b");
    EXPECT_EQ(utf8ToUtf16("a\xe7\xa1"), u"a\uFFFD\uFFFD");
    EXPECT_EQ(utf8ToUtf16("\xc0\xaf"), u"\uFFFD\uFFFD");
    EXPECT_EQ(utf8ToUtf16("\x80z"), u"\uFFFDz");
    EXPECT_EQ(utf8ToUtf16("\xed\xa0\x80"), u"\uFFFD\uFFFD\uFFFD");
}

} // namespace

namespace {

void collectMenuCommands(std::span<const MenuItem> items, std::vector<int>& into) {
    for (const MenuItem& item : items) {
        if (item.kind == MenuItemKind::Command) {
            into.push_back(item.command);
        } else if (item.kind == MenuItemKind::Submenu) {
            collectMenuCommands(item.items, into);
        }
    }
}

bool enabled(int id, const Workspace& workspace) {
    return commandEnabled(*commandRow(id), workspace);
}

bool checked(int id, const Workspace& workspace) {
    return commandChecked(*commandRow(id), workspace);
}

// The menus, keys and toolbar come from one table: every command is in a menu
// once, no key does two things, and the states follow the workspace.
TEST(StudioCommands, MenusKeysAndStatesComeFromTheOneTable) {
    std::vector<int> inMenus;
    for (const Menu& menu : menuBar()) {
        collectMenuCommands(menu.items, inMenus);
    }
    std::set<int> ids;
    std::set<std::pair<int, int>> keys;
    for (const CommandRow& row : commandRows()) {
        EXPECT_TRUE(ids.insert(row.id).second) << "two rows for command " << row.id;
        EXPECT_EQ(std::count(inMenus.begin(), inMenus.end(), row.id), 1) << row.id;
        for (const CommandKey& key : {row.key, row.otherKey}) {
            if (key.key != 0) {
                EXPECT_TRUE(keys.insert({key.modifiers, key.key}).second)
                    << "key " << key.key << " of command " << row.id << " is taken";
            }
        }
    }
    EXPECT_EQ(inMenus.size(), ids.size());
    for (StudioId id : toolbarCommands()) {
        ASSERT_NE(commandRow(id), nullptr);
        EXPECT_TRUE(commandRow(id)->hasTool) << id;
    }

    Workspace workspace;
    loadText(workspace, "Delay 10\nDelay 10", studio_test::utf8CharacterToGbk);
    EXPECT_FALSE(enabled(CmdStop, workspace));
    EXPECT_FALSE(enabled(CmdPause, workspace));
    EXPECT_TRUE(checked(CmdEncodingUtf8, workspace));
    EXPECT_TRUE(checked(CmdLineEndsCrLf, workspace));
    setEncoding(workspace, SourceEncoding::Gbk, false);
    setLineEnds(workspace, LineEndStyle::Lf);
    EXPECT_FALSE(checked(CmdEncodingUtf8, workspace));
    EXPECT_TRUE(checked(CmdEncodingGbk, workspace));
    EXPECT_TRUE(checked(CmdLineEndsLf, workspace));
    toggleKeepOpen(workspace);
    EXPECT_TRUE(checked(CmdKeepOpen, workspace));

    runStarted(workspace, {0, 1}, 0);
    EXPECT_TRUE(enabled(CmdStop, workspace));
    EXPECT_TRUE(enabled(CmdPause, workspace));
    traceEvent(workspace, TraceMessage{TraceEvent::Stopped, 2, 0}, 5, 0);
    EXPECT_FALSE(enabled(CmdPause, workspace)) << "nothing to pause when stopped";
    EXPECT_TRUE(enabled(CmdStop, workspace));
    runEnded(workspace, 0, 10);
    EXPECT_FALSE(enabled(CmdStop, workspace));

    setRecording(workspace, true);
    EXPECT_EQ(workspaceMode(workspace), StudioMode::Recording);
    EXPECT_TRUE(checked(CmdRecord, workspace));
    setRecording(workspace, false);
    setPicking(workspace, true);
    EXPECT_EQ(workspaceMode(workspace), StudioMode::Picking);
}

} // namespace

namespace {

TEST(StudioCommandLine, LanguageVersionScriptAndTheWrongArgumentTold) {
    StudioArguments arguments = parseStudioArguments({u"--lang", u"zh", u"C:\\脚本\\点击.txt"});
    EXPECT_EQ(arguments.language, u"zh");
    EXPECT_EQ(arguments.script, u"C:\\脚本\\点击.txt");
    EXPECT_FALSE(arguments.version);
    EXPECT_TRUE(arguments.error.empty());

    EXPECT_TRUE(parseStudioArguments({u"--version"}).version);
    // A language the studio does not speak, an unknown option, --lang without
    // a value: the last wrong one is told; a script name is never an option.
    EXPECT_EQ(parseStudioArguments({u"--lang", u"fr"}).error, u"--lang fr");
    arguments = parseStudioArguments({u"--lang", u"de", u"--quiet", u"a.txt", u"--lang"});
    EXPECT_EQ(arguments.error, u"--lang");
    EXPECT_EQ(arguments.script, u"a.txt");
    EXPECT_TRUE(parseStudioArguments({}).script.empty());
}

} // namespace

namespace {

// Find either way with wrap-around, then Replace all: one change, which the
// workspace takes as one undo step that gives the whole text back.
TEST(StudioFind, FindWrapsAndReplaceAllIsOneUndoStep) {
    std::u16string text = u"LClick\rDelay 100\rlclick\rDelay 100\rLCLICK";
    EXPECT_EQ(findText(text, u"lclick", 0, true, false), 0u);
    EXPECT_EQ(findText(text, u"lclick", 1, true, false), 17u);
    EXPECT_EQ(findText(text, u"lclick", 1, true, true), 17u);
    EXPECT_EQ(findText(text, u"lclick", 18, true, true), 17u) << "wraps to the only match";
    EXPECT_EQ(findText(text, u"LClick", 1, true, true), 0u) << "wraps past the end";
    EXPECT_EQ(findText(text, u"lclick", 17, false, false), 0u) << "up from a match";
    EXPECT_EQ(findText(text, u"lclick", 0, false, false), 34u) << "up wraps to the end";
    EXPECT_EQ(findText(text, u"RClick", 0, true, false), std::u16string::npos);
    EXPECT_EQ(findText(text, u"", 0, true, false), std::u16string::npos);
    EXPECT_EQ(findText(u"ab", u"abc", 0, true, false), std::u16string::npos);

    Workspace workspace;
    loadText(workspace, "LClick\nDelay 100\nlclick\nDelay 100\nLCLICK",
             studio_test::utf8CharacterToGbk);
    toggleBreakpoint(workspace, 4);
    const std::u16string before = text;
    const Replacement replacement = replaceAllChange(text, u"lclick", u"RClick", false);
    ASSERT_EQ(replacement.count, 3);
    closeStep(workspace.history);
    edit(workspace, text,
         text.substr(0, replacement.change.at) + replacement.change.inserted +
             text.substr(replacement.change.at + replacement.change.removed.size()));
    closeStep(workspace.history);
    EXPECT_EQ(text, u"RClick\rDelay 100\rRClick\rDelay 100\rRClick");
    EXPECT_EQ(workspace.document.lines[2].text, "RClick");
    EXPECT_EQ(workspace.breakpoints, std::set<int>{4}) << "no line came or went";
    EXPECT_EQ(replaceAllChange(text, u"RClick", u"RClick", true).count, 3);
    EXPECT_EQ(replaceAllChange(text, u"rclick", u"x", true).count, 0);

    TextChange inverse;
    ASSERT_TRUE(takeUndo(workspace.history, inverse));
    const std::u16string undone = text.substr(0, inverse.at) + inverse.inserted +
                                  text.substr(inverse.at + inverse.removed.size());
    EXPECT_EQ(undone, before);
    EXPECT_FALSE(takeUndo(workspace.history, inverse)) << "one step for every replacement";
}

} // namespace

namespace {

// The problems list kept by replaying only the changed rows stays equal to the
// document's problems through a session of edits, and an edit in one line
// changes only that line's rows.
TEST(StudioProblemRows, OnlyTheChangedRowsAreReplaced) {
    Workspace workspace;
    std::u16string text = u"Start\rBogus one\rLClick\rBogus two\rEnd";
    loadText(workspace, "Start\nBogus one\nLClick\nBogus two\nEnd",
             studio_test::utf8CharacterToGbk);
    std::vector<Problem> shown;
    auto refresh = [&] {
        const std::vector<Problem> now = documentProblems(workspace.document);
        const ProblemRowsChange rows = problemRowsChange(shown, now);
        shown.erase(shown.begin() + static_cast<std::ptrdiff_t>(rows.first),
                    shown.begin() + static_cast<std::ptrdiff_t>(rows.first + rows.removed));
        shown.insert(shown.begin() + static_cast<std::ptrdiff_t>(rows.first),
                     now.begin() + static_cast<std::ptrdiff_t>(rows.first),
                     now.begin() + static_cast<std::ptrdiff_t>(rows.first + rows.inserted));
        EXPECT_EQ(shown.size(), now.size());
        for (std::size_t i = 0; i < now.size() && i < shown.size(); ++i) {
            EXPECT_TRUE(sameProblem(shown[i], now[i])) << i;
        }
        return rows;
    };
    ProblemRowsChange rows = refresh();
    ASSERT_GE(shown.size(), 2u) << "two unknown commands";
    EXPECT_EQ(rows.first, 0u);
    EXPECT_EQ(rows.removed, 0u);

    // Mending one line replaces its row only.
    const std::size_t before = shown.size();
    edit(workspace, text, u"Start\rLClick\rLClick\rBogus two\rEnd");
    rows = refresh();
    EXPECT_EQ(rows.removed, 1u);
    EXPECT_EQ(rows.inserted, 0u);
    EXPECT_EQ(shown.size(), before - 1);
    // Nothing new: no rows touched.
    edit(workspace, text, u"Start\rLClick\rLClick \rBogus two\rEnd");
    rows = refresh();
    EXPECT_EQ(rows.removed + rows.inserted, 0u);
    // A bad line added above: its row comes in and the row below names the
    // line's new number.
    edit(workspace, text, u"Start\rBogus three\rLClick\rLClick \rBogus two\rEnd");
    rows = refresh();
    EXPECT_EQ(rows.removed, 1u);
    EXPECT_EQ(rows.inserted, 2u);
    EXPECT_EQ(shown.back().line, 5);
    edit(workspace, text, u"");
    refresh();
}

} // namespace
