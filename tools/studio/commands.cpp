// The studio's command table and its menus.

#include "commands.h"

namespace {

// Virtual key codes, as Windows numbers them.
enum Vk : std::uint16_t {
    VkSpace = 0x20,
    VkF1 = 0x70,
    VkF3 = 0x72,
    VkF5 = 0x74,
    VkF6 = 0x75,
    VkF7 = 0x76,
    VkF8 = 0x77,
    VkF9 = 0x78,
    VkF10 = 0x79,
    VkF11 = 0x7A,
};

constexpr CommandKey key(std::uint8_t modifiers, std::uint16_t code) {
    return CommandKey{modifiers, code};
}

bool running(const Workspace& workspace) {
    return workspace.running;
}

bool playing(const Workspace& workspace) {
    return workspace.running && !workspace.trace.stopped;
}

bool keepOpen(const Workspace& workspace) {
    return workspace.keepOpenWhileRunning;
}

bool recording(const Workspace& workspace) {
    return workspace.recording;
}

bool pointsShown(const Workspace& workspace) {
    return workspace.pointsShown;
}

bool utf8(const Workspace& workspace) {
    return workspace.format.encoding == SourceEncoding::Utf8 && !workspace.format.byteOrderMark;
}

bool utf8Bom(const Workspace& workspace) {
    return workspace.format.encoding == SourceEncoding::Utf8 && workspace.format.byteOrderMark;
}

bool gbk(const Workspace& workspace) {
    return workspace.format.encoding == SourceEncoding::Gbk;
}

bool crLf(const Workspace& workspace) {
    return workspace.format.lineEnds != LineEndStyle::Lf;
}

bool lf(const Workspace& workspace) {
    return workspace.format.lineEnds == LineEndStyle::Lf;
}

using T = TextId;

constexpr CommandRow Rows[] = {
    {CmdNew, T::StudioMenuNew, key(Ctrl, 'N'), {}, T::StudioToolNew, true},
    {CmdOpen, T::StudioMenuOpen, key(Ctrl, 'O'), {}, T::StudioToolOpen, true},
    {CmdSave, T::StudioMenuSave, key(Ctrl, 'S'), {}, T::StudioToolSave, true},
    {CmdSaveAs, T::StudioMenuSaveAs, key(Ctrl | Shift, 'S'), {}},
    {CmdExit, T::StudioMenuExit, {}, {}},
    {CmdUndo, T::StudioMenuUndo, key(Ctrl, 'Z'), {}},
    {CmdRedo, T::StudioMenuRedo, key(Ctrl, 'Y'), key(Ctrl | Shift, 'Z')},
    {CmdCut, T::StudioMenuCut, key(Ctrl, 'X'), {}},
    {CmdCopy, T::StudioMenuCopy, key(Ctrl, 'C'), {}},
    {CmdPaste, T::StudioMenuPaste, key(Ctrl, 'V'), {}},
    {CmdSelectAll, T::StudioMenuSelectAll, key(Ctrl, 'A'), {}},
    {CmdFind, T::StudioMenuFind, key(Ctrl, 'F'), {}},
    {CmdFindNext, T::StudioMenuFindNext, key(NoModifier, VkF3), {}},
    {CmdReplace, T::StudioMenuReplace, key(Ctrl, 'H'), {}},
    {CmdGoToLine, T::StudioMenuGoToLine, key(Ctrl, 'G'), {}},
    {CmdComplete, T::StudioMenuComplete, key(Ctrl, VkSpace), {}},
    {CmdInsertCommand, T::StudioMenuInsertCommand, {}, {}, T::StudioToolCommands, true},
    {CmdNextProblem, T::StudioMenuNextProblem, key(NoModifier, VkF8), {}},
    {CmdRun, T::StudioMenuRun, key(NoModifier, VkF5), {}, T::StudioToolRun, true},
    {CmdStop, T::StudioMenuStop, key(Shift, VkF5), {}, T::StudioToolStop, true, running},
    {CmdMakeExe, T::StudioMenuMakeExe, key(NoModifier, VkF7), {}, T::StudioToolMakeExe, true},
    {CmdToggleBreakpoint, T::StudioMenuBreakpoint, key(NoModifier, VkF9), {}},
    {CmdStep, T::StudioMenuStep, key(NoModifier, VkF10), {}},
    {CmdPause, T::StudioMenuPause, key(NoModifier, VkF11), {}, T::StudioName, false, playing},
    {CmdRunSelection, T::StudioMenuRunSelection, key(Ctrl, VkF5), {}},
    {CmdRunFromCursor, T::StudioMenuRunFromCursor, key(Ctrl, VkF10), {}},
    {CmdKeepOpen, T::StudioMenuKeepOpen, {}, {}, T::StudioName, false, nullptr, keepOpen},
    {CmdPick, T::StudioMenuPick, {}, {}},
    {CmdShowPoints,
     T::StudioMenuShowPoints,
     key(Ctrl | Shift, 'P'),
     {},
     T::StudioToolPoints,
     true,
     nullptr,
     pointsShown},
    {CmdRecord, T::StudioMenuRecord, {}, {}, T::StudioToolRecord, true, nullptr, recording},
    {CmdRecordOptions, T::StudioMenuRecordOptions, {}, {}},
    {CmdEncodingUtf8, T::StudioMenuUtf8, {}, {}, T::StudioName, false, nullptr, utf8, true},
    {CmdEncodingUtf8Bom,
     T::StudioMenuUtf8Bom,
     {},
     {},
     T::StudioName,
     false,
     nullptr,
     utf8Bom,
     true},
    {CmdEncodingGbk, T::StudioMenuGbk, {}, {}, T::StudioName, false, nullptr, gbk, true},
    {CmdLineEndsCrLf, T::StudioMenuCrLf, {}, {}, T::StudioName, false, nullptr, crLf, true},
    {CmdLineEndsLf, T::StudioMenuLf, {}, {}, T::StudioName, false, nullptr, lf, true},
    {CmdFocusEditor, T::StudioMenuFocusEditor, key(Shift, VkF6), {}},
    {CmdFocusProblems, T::StudioMenuFocusProblems, key(NoModifier, VkF6), {}},
    {CmdFocusCommands, T::StudioMenuFocusCommands, key(NoModifier, VkF1), {}},
    {CmdShowRunLog, T::StudioMenuRunLog, key(Ctrl, 'L'), {}},
    {CmdUserGuide, T::StudioMenuGuide, {}, {}},
    {CmdAbout, T::StudioMenuAbout, {}, {}},
};

constexpr StudioId Toolbar[] = {CmdNew,     CmdOpen,          CmdSave,   CmdRun,       CmdStop,
                                CmdMakeExe, CmdInsertCommand, CmdRecord, CmdShowPoints};

constexpr MenuItem item(StudioId id) {
    return MenuItem{MenuItemKind::Command, id};
}
constexpr MenuItem Separator{MenuItemKind::Separator, CmdNew};

constexpr MenuItem EncodingItems[] = {
    item(CmdEncodingUtf8), item(CmdEncodingUtf8Bom), item(CmdEncodingGbk), Separator,
    item(CmdLineEndsCrLf), item(CmdLineEndsLf),
};

constexpr MenuItem FileItems[] = {
    item(CmdNew),
    item(CmdOpen),
    item(CmdSave),
    item(CmdSaveAs),
    Separator,
    MenuItem{MenuItemKind::RecentFiles, CmdNew, T::StudioMenuRecent},
    MenuItem{MenuItemKind::Submenu, CmdNew, T::StudioMenuEncoding, EncodingItems},
    Separator,
    item(CmdExit),
};

constexpr MenuItem EditItems[] = {
    item(CmdUndo),        item(CmdRedo),      Separator, item(CmdCut),      item(CmdCopy),
    item(CmdPaste),       item(CmdSelectAll), Separator, item(CmdFind),     item(CmdFindNext),
    item(CmdReplace),     item(CmdGoToLine),  Separator, item(CmdComplete), item(CmdInsertCommand),
    item(CmdNextProblem),
};

constexpr MenuItem ScriptItems[] = {
    item(CmdRun),
    item(CmdStop),
    item(CmdMakeExe),
    Separator,
    item(CmdToggleBreakpoint),
    item(CmdStep),
    item(CmdPause),
    item(CmdRunSelection),
    item(CmdRunFromCursor),
    Separator,
    item(CmdKeepOpen),
    Separator,
    item(CmdPick),
    item(CmdShowPoints),
    item(CmdRecord),
    item(CmdRecordOptions),
};

constexpr MenuItem ViewItems[] = {
    item(CmdFocusEditor),
    item(CmdFocusProblems),
    item(CmdFocusCommands),
    item(CmdShowRunLog),
};

constexpr MenuItem HelpItems[] = {item(CmdUserGuide), item(CmdAbout)};

constexpr Menu Bar[] = {
    {T::StudioMenuFile, FileItems},     {T::StudioMenuEdit, EditItems},
    {T::StudioMenuScript, ScriptItems}, {T::StudioMenuView, ViewItems},
    {T::StudioMenuHelp, HelpItems},
};

} // namespace

std::span<const CommandRow> commandRows() {
    return Rows;
}

const CommandRow* commandRow(int id) {
    for (const CommandRow& row : Rows) {
        if (row.id == id) {
            return &row;
        }
    }
    return nullptr;
}

std::span<const StudioId> toolbarCommands() {
    return Toolbar;
}

std::span<const Menu> menuBar() {
    return Bar;
}

bool commandEnabled(const CommandRow& row, const Workspace& workspace) {
    return row.enabled == nullptr || row.enabled(workspace);
}

bool commandChecked(const CommandRow& row, const Workspace& workspace) {
    return row.checked != nullptr && row.checked(workspace);
}
