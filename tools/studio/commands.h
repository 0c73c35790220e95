#pragma once
// Every command of the studio in one table: its id, its menu text, its keys,
// its toolbar button and when it can be used. The menus, the accelerators and
// the toolbar are made from it, and the menus' checks and enabled states are
// set from the workspace by it. Nothing here needs Windows (keys are virtual
// key codes).

#include "studio_ids.h"
#include "ui_text.h"
#include "workspace.h"

#include <cstdint>
#include <span>

// Modifier bits of a key.
enum KeyModifier : std::uint8_t { NoModifier = 0, Ctrl = 1, Shift = 2 };

struct CommandKey {
    std::uint8_t modifiers = NoModifier;
    std::uint16_t key = 0; // a virtual key code; 0: none
};

struct CommandRow {
    StudioId id;
    TextId menuText;
    CommandKey key;
    CommandKey otherKey;                  // a second key for the same command
    TextId toolText = TextId::StudioName; // with hasTool: the toolbar button's text
    bool hasTool = false;
    bool (*enabled)(const Workspace&) = nullptr; // null: always
    bool (*checked)(const Workspace&) = nullptr; // null: never checked
    bool radio = false;                          // checked with a bullet, one of a group
};

std::span<const CommandRow> commandRows();
const CommandRow* commandRow(int id);
// The toolbar's commands, left to right.
std::span<const StudioId> toolbarCommands();

// The menu bar: menus of items; an item is a command, a separator, the recent
// files or the encoding submenu.
enum class MenuItemKind : std::uint8_t { Command, Separator, RecentFiles, Submenu };
struct MenuItem {
    MenuItemKind kind = MenuItemKind::Command;
    StudioId command = CmdNew;
    TextId text = TextId::StudioName;  // of a submenu or of the recent files
    std::span<const MenuItem> items{}; // of a submenu
};
struct Menu {
    TextId text;
    std::span<const MenuItem> items;
};
std::span<const Menu> menuBar();

// Whether the command can be used now, and whether its menu item is checked.
bool commandEnabled(const CommandRow& row, const Workspace& workspace);
bool commandChecked(const CommandRow& row, const Workspace& workspace);
