#pragma once

#include "commands/KeyTable.h"

#include <QObject>

#include <functional>

// The main window's keyboard: it shows every key to the keyboard table (KeyTable) before
// any widget sees it, a page included, so that the program's keys keep working while the
// focus is inside a page.
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
    using Context = KeyContext;
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
