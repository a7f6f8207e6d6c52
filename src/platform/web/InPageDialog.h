#pragma once

#include <functional>

class QDialog;
class QWidget;

// Runs a page's dialog inside the page's view instead of as a window of its own, so that
// it blocks only that page: other tabs, the menus and the address box go on working, and
// the dialog hides and shows with its tab. A page that asks in a loop can hold up its own
// tab, not the program.
//
// `dialog` is made on the heap by the caller and owned from here on. `read` runs once the
// dialog is finished and before it goes, to take the answers out of its fields. Returns the
// dialog's result; Rejected when the view went away or left its window (its tab was closed)
// before the user answered. Without a view the dialog runs as an ordinary modal one.
int execInPage(QWidget* view, QDialog* dialog, const std::function<void(int result)>& read = {});

// The same without waiting: returns at once, and `done` runs when the user answers, before
// the dialog goes. When the view goes away or leaves its window first, the dialog goes
// with it and `done` never runs. Without a view the dialog is a window of its own.
void showInPage(QWidget* view, QDialog* dialog, std::function<void(int result)> done);
