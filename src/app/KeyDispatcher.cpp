#include "app/KeyDispatcher.h"

#include "app/FocusedField.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

KeyDispatcher::KeyDispatcher(QWidget* window, ContextSource context, Runner runner, QObject* parent)
    : QObject(parent)
    , m_window(window)
    , m_context(std::move(context))
    , m_runner(std::move(runner))
{
    qApp->installEventFilter(this);
}

KeyDispatcher::~KeyDispatcher()
{
    qApp->removeEventFilter(this);
}

bool KeyDispatcher::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride)
        return QObject::eventFilter(watched, event);
    if (QApplication::activeWindow() != m_window)
        return false;
    // Every key event passes through here once per receiver up the parent chain.
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != m_window)
        return false;

    const auto* key = static_cast<QKeyEvent*>(event);
    Context context = m_context();
    // A key the focused widget leaves comes by again for each parent: the decision is taken
    // for the widget with the focus each time, so that a key a dialog's button leaves does
    // not reach the page after all.
    const QWidget* focus = QApplication::focusWidget();
    const QWidget* at = focus && focus->window() == m_window ? focus : widget;
    context.textFieldFocused = FocusedField::isTextField(at);
    context.dialogFocused = FocusedField::insideDialog(at);
    const Command command = KeyTable::decide(key->key(), key->modifiers(), context);

    if (type == QEvent::ShortcutOverride) {
        // Claiming the key here keeps the window's own shortcuts from running it a second
        // time. With the Alt keys switched off, Alt+letter is claimed as well, so that the
        // menu bar's mnemonics stay quiet and the page gets the key.
        const bool mutedAlt = context.altShortcutsDisabled &&
                              (key->modifiers() & Qt::AltModifier) &&
                              KeyTable::isAltLetter(key->key());
        if (command != Command::None || mutedAlt) {
            event->accept();
            return true;
        }
        return false;
    }
    if (command == Command::None || command == Command::Focus)
        return false;
    m_runner(command);
    return true;
}
