#pragma once

#include "commands/CommandBindings.h"

#include <Qt>

#include <span>

// What the keyboard table needs to know of the window at the moment of a key.
struct KeyContext
{
    bool altShortcutsDisabled = false;
    bool hasActiveTab = true;
    bool canGoBack = false;
    bool canGoForward = false;
    bool renameTreeFocused = false;  // a tree where F2 renames (Favorites, SorvelGroups)
    bool sideBarTreeFocused = false; // a side bar tree (Shift+F10 is its menu)
    // The keyboard is in one of the window's own text fields, not in the page.
    bool textFieldFocused = false;
    // The keyboard is inside a dialog, one shown inside a page's view included.
    bool dialogFocused = false;
    // The keyboard is on the tab strip: its context-menu keys open the tab menu.
    bool tabStripFocused = false;
};

// When a row of the table applies, besides its key and modifiers.
enum KeyCondition : unsigned {
    Always = 0,
    ActiveTab = 1 << 0,    // a tab is open
    AltKeys = 1 << 1,      // the Alt keys are the program's, not left to the page
    TabStrip = 1 << 2,     // the keyboard is on the tab strip
    CanGoBack = 1 << 3,    // the active tab has somewhere to go back to
    CanGoForward = 1 << 4, // ... and forward to
    RenameTree = 1 << 5,   // a tree that renames with F2 has the keyboard
    SideBarTree = 1 << 6,  // a side bar tree has the keyboard
};

// One row: the key, the modifiers looked at (`care`) and which of them must be held
// (`held`); the others may be held or not. The first row that matches decides.
struct KeyRow
{
    int key;
    Qt::KeyboardModifiers care;
    Qt::KeyboardModifiers held;
    unsigned when;
    KeyCommand command;
};

// Alt and a letter (or Home), whatever else is held, while the Alt keys are the program's.
struct AltLetter
{
    int key;
    KeyCommand command;
};

namespace KeyTable {
std::span<const AltLetter> altLetters();
std::span<const KeyRow> rows();
// Alt+`key` is one of the program's Alt keys (claimed even while they are left to the page,
// so that the menu bar's mnemonics stay quiet and the page gets the key).
bool isAltLetter(int key);
// Which command a key press with these modifiers runs.
KeyCommand decide(int key, Qt::KeyboardModifiers modifiers, const KeyContext& context);
} // namespace KeyTable
