#include "app/KeyDispatcher.h"

#include "app/FocusedField.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace {

using Command = KeyDispatcher::Command;

Command altLetter(int key)
{
    switch (key) {
    case Qt::Key_Home:
        return Command::TabHome;
    case Qt::Key_D:
        return Command::FocusAddress;
    case Qt::Key_S:
        return Command::TabsMenu;
    case Qt::Key_F:
        return Command::FileMenu;
    case Qt::Key_E:
        return Command::EditMenu;
    case Qt::Key_V:
        return Command::ViewMenu;
    case Qt::Key_G:
        return Command::GoMenu;
    case Qt::Key_A:
        return Command::FavoritesMenu;
    case Qt::Key_C:
        return Command::GroupsMenu;
    case Qt::Key_O:
        return Command::OptionsMenu;
    case Qt::Key_T:
        return Command::ToolsMenu;
    case Qt::Key_H:
        return Command::HelpMenu;
    default:
        return Command::None;
    }
}

Command ctrlKey(int key, bool shift)
{
    switch (key) {
    case Qt::Key_Insert:
    case Qt::Key_C:
        return Command::Copy;
    case Qt::Key_V:
        return Command::Paste;
    case Qt::Key_X:
        return Command::Cut;
    case Qt::Key_A:
        return Command::SelectAll;
    case Qt::Key_F:
        return Command::Find;
    case Qt::Key_P:
        return Command::Print;
    case Qt::Key_H:
        return Command::NewHome;
    case Qt::Key_N:
        return Command::NewBlank;
    case Qt::Key_O:
        return Command::Open;
    case Qt::Key_Q:
        return Command::FollowNextLink;
    case Qt::Key_S:
        return shift ? Command::SaveAs : Command::TabSearch;
    case Qt::Key_W:
    case Qt::Key_F4:
        return shift ? Command::CloseAll : Command::Close;
    default:
        return Command::None;
    }
}

Command functionKey(int key, Qt::KeyboardModifiers modifiers, const KeyDispatcher::Context& context)
{
    const bool ctrl = modifiers & Qt::ControlModifier;
    const bool shift = modifiers & Qt::ShiftModifier;
    switch (key) {
    case Qt::Key_F1:
        return Command::HelpTopics;
    case Qt::Key_F2:
        // The Favorites and SorvelGroups trees rename their item with F2.
        return context.renameTreeFocused ? Command::None : Command::PreviousTab;
    case Qt::Key_F3:
        return Command::NextTab;
    case Qt::Key_F4:
        return Command::ToggleSideBar;
    case Qt::Key_F5:
        if (shift)
            return Command::RefreshAll;
        return ctrl ? Command::RefreshComplete : Command::Refresh;
    case Qt::Key_F6:
        return Command::AddToGroup;
    case Qt::Key_F7:
        return Command::SaveGroup;
    case Qt::Key_F8:
        return Command::AddToPopupList;
    case Qt::Key_F9:
        return Command::StickyName;
    case Qt::Key_F10:
        // Shift+F10 is a side bar tree's context menu.
        return shift && context.sideBarTreeFocused ? Command::None : Command::Swallow;
    case Qt::Key_F11:
        return Command::FullScreen;
    case Qt::Key_F12:
        return ctrl ? Command::ToggleForeground : Command::ToggleLock;
    default:
        return Command::None;
    }
}

bool isEditCommand(Command command)
{
    return command == Command::Cut || command == Command::Copy || command == Command::Paste ||
           command == Command::SelectAll;
}

Command decideForPage(int key, Qt::KeyboardModifiers modifiers,
                      const KeyDispatcher::Context& context)
{
    const bool alt = modifiers & Qt::AltModifier;
    const bool ctrl = modifiers & Qt::ControlModifier;
    const bool shift = modifiers & Qt::ShiftModifier;
    const bool altKeys = alt && !context.altShortcutsDisabled;

    if (altKeys) {
        const Command command = altLetter(key);
        if (command != Command::None)
            return command;
    }
    // Ctrl+Shift+Tab arrives as Backtab.
    if (ctrl && (key == Qt::Key_Tab || key == Qt::Key_Backtab))
        return shift || key == Qt::Key_Backtab ? Command::PreviousTab : Command::NextTab;
    if (shift && !ctrl && !alt && key == Qt::Key_Insert)
        return Command::Paste;
    if (shift && !ctrl && !alt && key == Qt::Key_Delete)
        return Command::Cut;

    if (!context.hasActiveTab)
        return Command::None;

    if (key == Qt::Key_Escape)
        return shift ? Command::StopAll : Command::Stop;
    // The keyboard's way to the tab menu. Elsewhere, the page or the field has the Menu key,
    // and F10 does nothing.
    if (context.tabStripFocused && !ctrl && !alt &&
        (key == Qt::Key_Menu || (key == Qt::Key_F10 && shift)))
        return Command::TabMenu;
    // On the strip the arrow keys go from tab to tab, as on any row of tabs.
    if (context.tabStripFocused && !ctrl && !alt && !shift &&
        (key == Qt::Key_Left || key == Qt::Key_Right))
        return key == Qt::Key_Right ? Command::NextTab : Command::PreviousTab;
    if (altKeys && key == Qt::Key_Left)
        return context.canGoBack ? Command::Back : Command::Swallow;
    if (altKeys && key == Qt::Key_Right)
        return context.canGoForward ? Command::Forward : Command::Swallow;
    if (ctrl) {
        const Command command = ctrlKey(key, shift);
        if (command != Command::None)
            return command;
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12)
        return functionKey(key, modifiers, context);
    return Command::None;
}

} // namespace

KeyDispatcher::Command KeyDispatcher::decide(int key, Qt::KeyboardModifiers modifiers,
                                             const Context& context)
{
    const Command command = decideForPage(key, modifiers, context);
    // A field of the window's own edits its own text, and a dialog shown over the page keeps
    // its edit keys even on a button; the page's edit keys would reach the page behind it.
    if ((context.textFieldFocused || context.dialogFocused) && isEditCommand(command))
        return Command::Focus;
    // Esc inside a dialog closes the dialog; stopping the page would leave it open.
    if (context.dialogFocused && key == Qt::Key_Escape && command != Command::None)
        return Command::Focus;
    return command;
}

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
    const Command command = decide(key->key(), key->modifiers(), context);

    if (type == QEvent::ShortcutOverride) {
        // Claiming the key here keeps the window's own shortcuts from running it a second
        // time. With the Alt keys switched off, Alt+letter is claimed as well, so that the
        // menu bar's mnemonics stay quiet and the page gets the key.
        const bool mutedAlt = context.altShortcutsDisabled &&
                              (key->modifiers() & Qt::AltModifier) &&
                              altLetter(key->key()) != Command::None;
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
