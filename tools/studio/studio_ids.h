#pragma once
// The ids of the studio's controls and commands. The window's class name is
// StudioWindowClass. Tests find the controls by these ids, as tools that
// read windows do.

constexpr const wchar_t* StudioWindowClass = L"ScriptStudio";
// The small window that follows the pointer while picking from the screen.
constexpr const wchar_t* StudioPickerClass = L"ScriptStudioPicker";
// The studio's settings under HKEY_CURRENT_USER: the window's place, recent
// files, the command list's name form, the recording options.
constexpr const wchar_t* StudioSettingsKey = L"Software\\Script player\\Studio";

// Control and command ids.
enum StudioId : int {
    EditorId = 100,
    ProblemsId,
    CommandListId,
    CommandFormId,
    CommandTextId,
    CompletionId,
    StatusPlaceId,  // line and column, or the command's parameters
    StatusStateId,  // ready, running, ended
    StatusFormatId, // encoding and line ends
    ToolButtonId,   // + the button's index

    CmdNew = 1000,
    CmdOpen,
    CmdSave,
    CmdSaveAs,
    CmdExit,
    CmdUndo,
    CmdRedo,
    CmdCut,
    CmdCopy,
    CmdPaste,
    CmdSelectAll,
    CmdFind,
    CmdFindNext,
    CmdReplace,
    CmdGoToLine,
    CmdComplete,
    CmdInsertCommand,
    CmdNextProblem,
    CmdRun,
    CmdStop,
    CmdMakeExe,
    CmdKeepOpen,
    CmdEncodingUtf8,
    CmdEncodingUtf8Bom,
    CmdEncodingGbk,
    CmdLineEndsCrLf,
    CmdLineEndsLf,
    CmdFocusEditor,
    CmdFocusProblems,
    CmdFocusCommands,
    CmdAbout,
    CmdPick,
    CmdRecord,
    CmdRecordOptions,
    CmdToggleBreakpoint,
    CmdStep,
    CmdPause,
    CmdRunSelection,
    CmdRunFromCursor,
    CmdShowRunLog,
    CmdUserGuide,
    CmdShowPoints,
    GutterId = 2000,
    RunLogId,
    CommandFindId,         // the command list's find box
    CmdRecentFirst = 1100, // + index, up to RecentCount
    // Make exe's dialog: an edit for each exe setting, in the packer's order of
    // them (ExeField), and the icon's Browse button.
    ExeSettingEditId = 2100,
    ExeIconBrowseId = 2120,
};
