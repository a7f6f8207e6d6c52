#include "app/FocusedField.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace {

// The line edit that holds the text of a combo box or spin box, or the line edit itself.
QLineEdit* lineEditOf(QWidget* focus)
{
    if (auto* edit = qobject_cast<QLineEdit*>(focus))
        return edit;
    if (auto* combo = qobject_cast<QComboBox*>(focus))
        return combo->isEditable() ? combo->lineEdit() : nullptr;
    // A spin box keeps its line edit to itself.
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(focus))
        return spin->findChild<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly);
    return nullptr;
}

template<typename Edit> void editText(Edit& edit, KeyCommand command)
{
    switch (command) {
    case KeyCommand::Cut:
        return edit.cut();
    case KeyCommand::Copy:
        return edit.copy();
    case KeyCommand::Paste:
        return edit.paste();
    default:
        return edit.selectAll();
    }
}

} // namespace

bool FocusedField::isTextField(const QWidget* focus)
{
    auto* widget = const_cast<QWidget*>(focus);
    return lineEditOf(widget) || qobject_cast<QTextEdit*>(widget) ||
           qobject_cast<QPlainTextEdit*>(widget);
}

bool FocusedField::insideDialog(const QWidget* focus)
{
    for (const QWidget* up = focus; up; up = up->parentWidget()) {
        if (qobject_cast<const QDialog*>(up))
            return true;
    }
    return false;
}

bool FocusedField::edit(QWidget* focus, KeyCommand command)
{
    if (QLineEdit* line = lineEditOf(focus)) {
        editText(*line, command);
        return true;
    }
    if (auto* text = qobject_cast<QTextEdit*>(focus)) {
        editText(*text, command);
        return true;
    }
    if (auto* plain = qobject_cast<QPlainTextEdit*>(focus)) {
        editText(*plain, command);
        return true;
    }
    return false;
}
