#pragma once

#include "commands/MenuLayout.h"

#include <optional>
#include <span>

// What a key of the keyboard table (KeyTable) runs.
enum class KeyCommand
{
    None,    // not ours: the key goes on to its widget
    Swallow, // ours, and nothing to do (F10; Back without history)
    Focus,   // the focused field's own key (its edit keys, a dialog's Esc): it goes to that
             // field and to no shortcut of the window
    TabHome,
    FocusAddress,
    TabsMenu,
    FileMenu,
    EditMenu,
    ViewMenu,
    GoMenu,
    FavoritesMenu,
    GroupsMenu,
    OptionsMenu,
    ToolsMenu,
    HelpMenu,
    Back,
    Forward,
    NextTab,
    PreviousTab,
    Paste,
    Cut,
    Copy,
    Stop,
    StopAll,
    SelectAll,
    Find,
    Print,
    NewHome,
    NewBlank,
    NewPrivate,
    Open,
    FollowNextLink,
    TabSearch,
    SaveAs,
    Close,
    CloseAll,
    HelpTopics,
    ToggleSideBar,
    Refresh,
    RefreshComplete,
    RefreshAll,
    AddToGroup,
    SaveGroup,
    AddToPopupList,
    StickyName,
    FullScreen,
    ToggleLock,
    ToggleForeground,
    TabMenu, // the tab strip's context menu for the active tab, at its tab
    ZoomIn,
    ZoomOut,
    ZoomReset,
    DeveloperTools,
};

// An action and the command of the keyboard table it goes with: the key and the menu item
// do the same.
struct ActionCommand
{
    ActionId action;
    KeyCommand command;
};

// The menus the keyboard drops down.
struct MenuCommand
{
    KeyCommand command;
    MenuId menu;
};

namespace CommandBindings {
// Actions that run their command.
std::span<const ActionCommand> actionCommands();
// Commands that trigger their action.
std::span<const ActionCommand> keyActions();
// The menu item a command is, by either table.
std::optional<ActionId> actionFor(KeyCommand command);
std::span<const MenuCommand> menuCommands();
} // namespace CommandBindings
