#pragma once

#include "commands/CommandBindings.h"

#include <QObject>

#include <functional>

// The main window's keyboard table. It sees every key before any widget, a page included,
// so that the program's keys keep working while the focus is inside a page.
//
// Two things of the classic message loop have no counterpart here and are left out: the
// conversion of the IntelliMouse roll message (wheels arrive as ordinary wheel events),
// and the hand-off of dialog navigation keys to the page (the engine gets its keys from
// the toolkit directly). A close request from another program is the window manager's
// close, which is the user's close, so it is not swallowed either.
class KeyDispatcher final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(KeyDispatcher)

public:
    using Command = KeyCommand;

    // What the table needs to know of the window at the moment of the key.
    struct Context
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

    // The table itself: which command a key press with these modifiers runs.
    static Command decide(int key, Qt::KeyboardModifiers modifiers, const Context& context);

    using ContextSource = std::function<Context()>;
    using Runner = std::function<void(Command)>;

    // Watches the application's keys for `window`; keys reach the table only while that
    // window is the active one (a dialog in front gets its keys untouched).
    KeyDispatcher(QWidget* window, ContextSource context, Runner runner, QObject* parent = nullptr);
    ~KeyDispatcher() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_window;
    ContextSource m_context;
    Runner m_runner;
};
