#pragma once

#include <functional>

class QDialog;
class QWidget;

// A page's dialog inside the page's view instead of a window of its own: it hides and shows
// with its tab, the page under it takes no input, and the menus, the address box and the
// other tabs' widgets stay usable.
//
// What it holds up depends on how it waits. execInPage waits in a nested event loop, and
// when it is called from inside one of the engine's calls (a script dialog or a password
// question, which must be answered before the call returns) the engine does no work at all
// until it returns: no page of any tab loads or runs its scripts. Those questions are
// therefore put only for the page on the screen. showInPage returns at once and hands the
// answer over later, so the engine and every page go on meanwhile; questions whose answer
// the engine can take later (site permissions, certificate warnings) use it.
//
// `dialog` is made on the heap by the caller and owned from here on. `read` runs once the
// dialog is finished and before it goes, to take the answers out of its fields. Returns the
// dialog's result; Rejected when the view went away or left its window (its tab was closed)
// before the user answered. Without a view the dialog runs as an ordinary modal one.
int execInPage(QWidget* view, QDialog* dialog, const std::function<void(int result)>& read = {});

// The same without waiting: returns at once, and `done` runs once, when the user answers,
// before the dialog goes. When the view goes away or leaves its window first, the dialog goes
// with it and `done` never runs. Without a view the dialog is a window of its own.
void showInPage(QWidget* view, QDialog* dialog, std::function<void(int result)> done);

// Drops the dialogs that showInPage put over `view` and that are still open: `done` never
// runs for them.
void dropInPage(QWidget* view);
