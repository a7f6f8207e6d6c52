#include "commands/KeyTable.h"

#include <algorithm>

namespace {

using C = KeyCommand;
constexpr Qt::KeyboardModifiers None{};
constexpr Qt::KeyboardModifiers Alt{Qt::AltModifier};
constexpr Qt::KeyboardModifiers Ctrl{Qt::ControlModifier};
constexpr Qt::KeyboardModifiers Shift{Qt::ShiftModifier};
constexpr Qt::KeyboardModifiers CtrlShift{Qt::ControlModifier | Qt::ShiftModifier};
constexpr Qt::KeyboardModifiers CtrlAlt{Qt::ControlModifier | Qt::AltModifier};
constexpr Qt::KeyboardModifiers All{Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier};

constexpr AltLetter AltLetters[] = {
    {Qt::Key_Home, C::TabHome},    {Qt::Key_D, C::FocusAddress}, {Qt::Key_S, C::TabsMenu},
    {Qt::Key_F, C::FileMenu},      {Qt::Key_E, C::EditMenu},     {Qt::Key_V, C::ViewMenu},
    {Qt::Key_G, C::GoMenu},        {Qt::Key_A, C::FavoritesMenu}, {Qt::Key_C, C::GroupsMenu},
    {Qt::Key_O, C::OptionsMenu},   {Qt::Key_T, C::ToolsMenu},    {Qt::Key_H, C::HelpMenu},
};

constexpr unsigned Tab = ActiveTab;

constexpr KeyRow Rows[] = {
    // Going from tab to tab and the clipboard's Shift keys work without a tab too.
    // Ctrl+Shift+Tab arrives as Backtab.
    {Qt::Key_Tab, CtrlShift, CtrlShift, Always, C::PreviousTab},
    {Qt::Key_Backtab, Ctrl, Ctrl, Always, C::PreviousTab},
    {Qt::Key_Tab, Ctrl, Ctrl, Always, C::NextTab},
    {Qt::Key_Insert, All, Shift, Always, C::Paste},
    {Qt::Key_Delete, All, Shift, Always, C::Cut},

    {Qt::Key_Escape, Shift, Shift, Tab, C::StopAll},
    {Qt::Key_Escape, None, None, Tab, C::Stop},
    // The keyboard's way to the tab menu. Elsewhere the page or the field has the Menu key,
    // and F10 does nothing.
    {Qt::Key_Menu, CtrlAlt, None, Tab | TabStrip, C::TabMenu},
    {Qt::Key_F10, All, Shift, Tab | TabStrip, C::TabMenu},
    // On the strip the arrow keys go from tab to tab, as on any row of tabs.
    {Qt::Key_Left, All, None, Tab | TabStrip, C::PreviousTab},
    {Qt::Key_Right, All, None, Tab | TabStrip, C::NextTab},
    // Back and Forward without history are still ours: the page must not take them.
    {Qt::Key_Left, Alt, Alt, Tab | AltKeys | CanGoBack, C::Back},
    {Qt::Key_Left, Alt, Alt, Tab | AltKeys, C::Swallow},
    {Qt::Key_Right, Alt, Alt, Tab | AltKeys | CanGoForward, C::Forward},
    {Qt::Key_Right, Alt, Alt, Tab | AltKeys, C::Swallow},

    {Qt::Key_Insert, Ctrl, Ctrl, Tab, C::Copy},
    {Qt::Key_C, Ctrl, Ctrl, Tab, C::Copy},
    {Qt::Key_V, Ctrl, Ctrl, Tab, C::Paste},
    {Qt::Key_X, Ctrl, Ctrl, Tab, C::Cut},
    {Qt::Key_A, Ctrl, Ctrl, Tab, C::SelectAll},
    {Qt::Key_F, Ctrl, Ctrl, Tab, C::Find},
    // Before Print, which Ctrl+P with Shift held would match too.
    {Qt::Key_P, CtrlShift, CtrlShift, Always, C::NewPrivate},
    {Qt::Key_P, Ctrl, Ctrl, Tab, C::Print},
    {Qt::Key_H, Ctrl, Ctrl, Tab, C::NewHome},
    {Qt::Key_N, Ctrl, Ctrl, Tab, C::NewBlank},
    {Qt::Key_O, Ctrl, Ctrl, Tab, C::Open},
    {Qt::Key_Q, Ctrl, Ctrl, Tab, C::FollowNextLink},
    {Qt::Key_S, CtrlShift, CtrlShift, Tab, C::SaveAs},
    {Qt::Key_S, Ctrl, Ctrl, Tab, C::TabSearch},
    {Qt::Key_W, CtrlShift, CtrlShift, Tab, C::CloseAll},
    {Qt::Key_W, Ctrl, Ctrl, Tab, C::Close},
    // Ctrl and plus, whichever key the layout puts it on (Shift+= on many); the keypad's too.
    {Qt::Key_Plus, CtrlAlt, Ctrl, Tab, C::ZoomIn},
    {Qt::Key_Equal, CtrlAlt, Ctrl, Tab, C::ZoomIn},
    {Qt::Key_Minus, CtrlAlt, Ctrl, Tab, C::ZoomOut},
    {Qt::Key_0, CtrlAlt, Ctrl, Tab, C::ZoomReset},
    {Qt::Key_I, CtrlShift, CtrlShift, Tab, C::DeveloperTools},
    {Qt::Key_F4, CtrlShift, CtrlShift, Tab, C::CloseAll},
    {Qt::Key_F4, Ctrl, Ctrl, Tab, C::Close},

    // The function keys, whatever else is held.
    {Qt::Key_F1, None, None, Tab, C::HelpTopics},
    {Qt::Key_F2, None, None, Tab | RenameTree, C::None}, // the tree renames its item
    {Qt::Key_F2, None, None, Tab, C::PreviousTab},
    {Qt::Key_F3, None, None, Tab, C::NextTab},
    {Qt::Key_F4, None, None, Tab, C::ToggleSideBar},
    {Qt::Key_F5, Shift, Shift, Tab, C::RefreshAll},
    {Qt::Key_F5, Ctrl, Ctrl, Tab, C::RefreshComplete},
    {Qt::Key_F5, None, None, Tab, C::Refresh},
    {Qt::Key_F6, None, None, Tab, C::AddToGroup},
    {Qt::Key_F7, None, None, Tab, C::SaveGroup},
    {Qt::Key_F8, None, None, Tab, C::AddToPopupList},
    {Qt::Key_F9, None, None, Tab, C::StickyName},
    {Qt::Key_F10, Shift, Shift, Tab | SideBarTree, C::None}, // the tree's context menu
    {Qt::Key_F10, None, None, Tab, C::Swallow},
    {Qt::Key_F11, None, None, Tab, C::FullScreen},
    {Qt::Key_F12, Ctrl, Ctrl, Tab, C::ToggleForeground},
    {Qt::Key_F12, None, None, Tab, C::ToggleLock},
};

bool holds(unsigned when, const KeyContext& c)
{
    const auto needs = [when](KeyCondition condition) { return (when & condition) != 0; };
    return (!needs(ActiveTab) || c.hasActiveTab) && (!needs(AltKeys) || !c.altShortcutsDisabled) &&
           (!needs(TabStrip) || c.tabStripFocused) && (!needs(CanGoBack) || c.canGoBack) &&
           (!needs(CanGoForward) || c.canGoForward) &&
           (!needs(RenameTree) || c.renameTreeFocused) &&
           (!needs(SideBarTree) || c.sideBarTreeFocused);
}

bool isEditCommand(KeyCommand command)
{
    return command == C::Cut || command == C::Copy || command == C::Paste ||
           command == C::SelectAll;
}

KeyCommand lookUp(int key, Qt::KeyboardModifiers modifiers, const KeyContext& context)
{
    if ((modifiers & Qt::AltModifier) && !context.altShortcutsDisabled) {
        for (const AltLetter& letter : AltLetters) {
            if (letter.key == key)
                return letter.command;
        }
    }
    const Qt::KeyboardModifiers held = modifiers & All;
    for (const KeyRow& row : Rows) {
        if (row.key == key && (held & row.care) == row.held && holds(row.when, context))
            return row.command;
    }
    return C::None;
}

} // namespace

std::span<const AltLetter> KeyTable::altLetters()
{
    return AltLetters;
}

std::span<const KeyRow> KeyTable::rows()
{
    return Rows;
}

bool KeyTable::isAltLetter(int key)
{
    return std::any_of(std::begin(AltLetters), std::end(AltLetters),
                       [key](const AltLetter& letter) { return letter.key == key; });
}

KeyCommand KeyTable::decide(int key, Qt::KeyboardModifiers modifiers, const KeyContext& context)
{
    const KeyCommand command = lookUp(key, modifiers, context);
    // A field of the window's own edits its own text, and a dialog shown over the page keeps
    // its edit keys even on a button; the page's edit keys would reach the page behind it.
    if ((context.textFieldFocused || context.dialogFocused) && isEditCommand(command))
        return C::Focus;
    // Esc inside a dialog closes the dialog; stopping the page would leave it open.
    if (context.dialogFocused && key == Qt::Key_Escape && command != C::None)
        return C::Focus;
    return command;
}
