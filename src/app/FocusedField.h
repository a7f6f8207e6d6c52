#pragma once

#include "commands/CommandBindings.h"

class QWidget;

// The window's own text fields (the address box, the side bar's find boxes, the fields of a
// dialog shown inside a page) keep their edit keys: Cut, Copy, Paste and Select All act on
// the field that has the keyboard, not on the page behind it.
namespace FocusedField {

// A line edit, spin box, text edit or editable combo box: a field that edits or shows text
// of its own. The page's view is none of these.
bool isTextField(const QWidget* focus);
// The focus is inside a dialog, one shown inside a page's view included: its Esc is the
// dialog's.
bool insideDialog(const QWidget* focus);
// Runs Cut, Copy, Paste or Select All on `focus` when it is a text field; false when it is
// none, and the command is someone else's.
bool edit(QWidget* focus, KeyCommand command);

} // namespace FocusedField
