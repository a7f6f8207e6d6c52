#pragma once

#include "commands/ActionId.h"

#include <span>

// The main window's menus and its toolbar as data. The menu bar, the toolbar, the customize
// dialog and the bars' chevrons are all built from these descriptions, so a command appears
// in the same place and form everywhere.

// A menu whose items the program fills while it runs; the description gives its fixed head.
enum class MenuId
{
    None,
    File,
    Edit,
    View,
    Go,
    Favorites,
    Groups,
    Options,
    Tools,
    Tabs,
    Help,
    NewBrowser, // File > New Browser, and the toolbar's New drop-down
    CloseAll,   // File > Close All, and the close button's context menu
    TextSize,   // View > Text Size, and the toolbar's Font drop-down
    SearchEngines,
    Mail,
    EditWith,
    ToolsFavorites, // Tools > Favorites
};

struct MenuEntry
{
    enum class Kind
    {
        Action,
        Separator,
        Submenu,
    };
    Kind kind = Kind::Action;
    ActionId action{};             // Kind::Action
    MenuId submenu = MenuId::None; // Kind::Submenu
};

struct MenuDescription
{
    MenuId id;
    const char* caption; // with its "&"
    const char* name;    // the object name
    std::span<const MenuEntry> entries;
};

namespace MenuLayout {
// The menu bar's menus, left to right.
std::span<const MenuDescription> menuBar();
// Any menu by its identity (the menu bar's and the submenus); null for MenuId::None.
const MenuDescription* menu(MenuId id);
} // namespace MenuLayout

// The main toolbar's buttons. The tag is fixed: the design order is the order of the tags,
// and the saved layout names buttons by tag.
struct ToolbarButton
{
    enum class Style
    {
        Button,
        DropDown, // a button with a menu beside it
        Check,
        Separator,
    };
    int tag;
    const char* name; // "tbNew", ...
    Style style;
    ActionId action{};              // none for a separator
    const char* text = "";          // the text under the picture
    MenuId dropDown = MenuId::None; // for Style::DropDown
};

namespace ToolbarLayout {
// Every button, in tag order (0 to 18).
std::span<const ToolbarButton> buttons();
const ToolbarButton* byTag(int tag);
} // namespace ToolbarLayout
